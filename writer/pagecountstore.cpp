#include "writer/pagecountstore.h"

#include <functional>
#include <string_view>

#include "writer/pagecountencoder.h"

namespace codexa::writer {

PageCountStore::Place PageCountStore::Append(const std::vector<uint32_t>& pages, const std::vector<uint32_t>& counts) {
  return Put(pages, counts, false);
}

PageCountStore::Place PageCountStore::Share(const std::vector<uint32_t>& pages, const std::vector<uint32_t>& counts) {
  return Put(pages, counts, true);
}

PageCountStore::Place PageCountStore::Put(const std::vector<uint32_t>& pages, const std::vector<uint32_t>& counts,
                                          bool mayShare) {
  m_list.clear();
  AppendPageCountList(pages, counts, m_list);
  const Place place{m_bytes.size(), m_list.size(), true};
  // The first list with a hash keeps it; a later one with the same hash but
  // other bytes is written again.
  const auto [first, added] = m_byHash.try_emplace(std::hash<std::string_view>{}(m_list), place);
  if (mayShare && !added && std::string_view(m_bytes).substr(first->second.offset, first->second.length) == m_list) {
    return {first->second.offset, first->second.length, false};
  }
  m_bytes += m_list;
  return place;
}

}  // namespace codexa::writer
