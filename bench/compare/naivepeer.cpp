#include "bench/compare/naivepeer.h"

namespace compare {

uint32_t QueryPlaces(std::string_view page, const Query& query) {
  uint32_t total = 0;
  for (const Keyword& keyword : query.keywords) {
    const uint32_t places = CountPlaces(page, keyword);
    if (places == 0 && query.isAnd) return 0;
    total += places;
  }
  return total;
}

bool NaivePeer::Build(const std::vector<std::string>& pages, std::string&) {
  m_pPages = &pages;
  m_nBytes = 0;
  for (const std::string& page : pages) m_nBytes += page.size();
  return true;
}

Summary NaivePeer::Search(const Query& query) {
  Summary summary{0, 0};
  for (const std::string& page : *m_pPages) {
    if (const uint32_t places = QueryPlaces(page, query)) {
      ++summary.pages;
      summary.hits += places;
    }
  }
  return summary;
}

std::vector<PageHits> NaivePeer::Check(const Query& query) {
  std::vector<PageHits> result;
  for (uint32_t page = 0; page < m_pPages->size(); ++page) {
    if (const uint32_t places = QueryPlaces((*m_pPages)[page], query)) result.push_back({page, places});
  }
  return result;
}

}  // namespace compare
