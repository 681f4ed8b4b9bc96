#include "writer/pairdirectory.h"

#include "base/coding.h"
#include "engine/codeconverter.h"
#include "engine/indexformat.h"
#include "engine/pagecountlist.h"

namespace codexa::writer {

void PairDirectory::AppendGroup(uint32_t second, uint64_t listsBefore) {
  if (m_entries.size() > UINT32_MAX || listsBefore > UINT32_MAX) m_bOverflow = true;
  AppendLE32(second, m_groups);
  AppendLE32(static_cast<uint32_t>(m_entries.size()), m_groups);
  AppendLE32(static_cast<uint32_t>(listsBefore), m_groups);
}

void PairDirectory::StartEntry(int32_t first, int32_t second, uint64_t listsBefore) {
  const auto code = static_cast<uint32_t>(second);
  if (first == m_nFirst && m_nInGroup < kNgramGroupPairs) {
    AppendTableNumber(code - m_nSecond, m_entries);
    ++m_nInGroup;
  } else {
    for (; m_nNextStart <= first; ++m_nNextStart) AppendLE32(m_nGroupCount, m_groupStarts);
    AppendGroup(code, listsBefore);
    ++m_nGroupCount;
    m_nInGroup = 1;
  }
  m_nFirst = first;
  m_nSecond = code;
}

void PairDirectory::AddOnlyPage(int32_t first, int32_t second, uint32_t page, uint64_t listsBefore) {
  StartEntry(first, second, listsBefore);
  AppendTableNumber(uint64_t{page} << 2 | kNgramOnlyPage, m_entries);
}

void PairDirectory::AddList(int32_t first, int32_t second, const PageCountStore::Place& place,
                            uint64_t listsBefore) {
  StartEntry(first, second, listsBefore);
  if (place.written) {
    AppendTableNumber(place.length << 2 | kNgramNextList, m_entries);
  } else {
    AppendTableNumber(place.offset << 2 | kNgramSameList, m_entries);
    AppendTableNumber(place.length, m_entries);
  }
  // Groups hold where lists start in 32 bits.
  if (place.offset + place.length > UINT32_MAX) m_bOverflow = true;
}

bool PairDirectory::Finish(uint64_t listBytes) {
  for (; m_nNextStart <= kIndexCodeCount; ++m_nNextStart) AppendLE32(m_nGroupCount, m_groupStarts);
  AppendGroup(0, listBytes);
  return !m_bOverflow && m_nGroupCount < UINT32_MAX;
}

}  // namespace codexa::writer
