#include "engine/ngramtable.h"

#include "base/coding.h"
#include "engine/codeconverter.h"

namespace {

// The fields of a group, in file order.
struct Group {
  uint32_t firstSecond;     // the second code of its first pair
  uint32_t directoryBegin;  // where its entries start in the directory
  uint32_t listBegin;       // where its first new list starts
};

Group GroupAt(const uint8_t* groups, uint32_t index) {
  const uint8_t* at = groups + size_t{index} * kNgramGroupSize;
  return {LoadLE32(at), LoadLE32(at + 4), LoadLE32(at + 8)};
}

}  // namespace

bool NgramTable::Open(const uint8_t* postings, size_t size, uint16_t format, uint32_t location) {
  *this = NgramTable();
  if (format != kNgramFormat || location == 0) return false;
  const uint64_t start = uint64_t{location} * kNgramAlign;
  if (start > size || size - start < kNgramHeaderSize) return false;
  const uint8_t* header = postings + start;
  const uint64_t available = size - start - kNgramHeaderSize;
  const uint64_t groupCount = LoadLE32(header + 12);
  const uint64_t listBytes = LoadLE64(header + 16);
  const uint64_t directoryBytes = LoadLE32(header + 24);
  const uint64_t tableBytes =
      (uint64_t{kIndexCodeCount} + 1) * 8 + (groupCount + 1) * kNgramGroupSize + directoryBytes;
  if (LoadLE32(header) != kNgramMagic || LoadLE32(header + 4) != kNgramVersion ||
      LoadLE32(header + 8) != static_cast<uint32_t>(kIndexCodeCount) || groupCount == UINT32_MAX ||
      listBytes > available || tableBytes + kNgramPadding > available - listBytes) {
    return false;
  }
  m_pSingle = header + kNgramHeaderSize;
  m_pGroupStart = m_pSingle + (size_t{kIndexCodeCount} + 1) * 4;
  m_pGroups = m_pGroupStart + (size_t{kIndexCodeCount} + 1) * 4;
  m_pDirectory = m_pGroups + (groupCount + 1) * kNgramGroupSize;
  m_pLists = m_pDirectory + directoryBytes;
  m_nGroupCount = static_cast<uint32_t>(groupCount);
  m_nDirectoryBytes = static_cast<uint32_t>(directoryBytes);
  m_nListBytes = listBytes;
  m_nPageBound = LoadLE32(header + 28);
  return true;
}

NgramTable::Lookup NgramTable::ListAt(uint64_t from, uint64_t to, PageCountList& list) const {
  if (from > to || to > m_nListBytes) return Lookup::kUnusable;
  list = {m_pLists + from, m_pLists + to, {}, m_nPageBound};
  return from == to ? Lookup::kAbsent : Lookup::kFound;
}

NgramTable::Lookup NgramTable::Single(int32_t code, PageCountList& list) const {
  if (!IsOpen() || code < 0 || code >= kIndexCodeCount) return Lookup::kUnusable;
  const uint8_t* entry = m_pSingle + size_t(code) * 4;
  return ListAt(LoadLE32(entry), LoadLE32(entry + 4), list);
}

bool NgramTable::FindGroup(int32_t first, uint32_t second, uint32_t& group, Lookup& failed) const {
  const uint8_t* start = m_pGroupStart + size_t(first) * 4;
  uint32_t low = LoadLE32(start), high = LoadLE32(start + 4);
  failed = Lookup::kUnusable;
  if (low > high || high > m_nGroupCount) return false;
  failed = Lookup::kAbsent;
  // The last group whose first pair does not come after `second`.
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    if (GroupAt(m_pGroups, middle).firstSecond <= second) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low == LoadLE32(start)) return false;
  group = low - 1;
  return true;
}

// Reads the group's entries in turn up to `second`'s.
NgramTable::Lookup NgramTable::FindInGroup(uint32_t group, uint32_t second, PageCountList& list) const {
  const Group here = GroupAt(m_pGroups, group), next = GroupAt(m_pGroups, group + 1);
  if (here.directoryBegin >= next.directoryBegin || next.directoryBegin > m_nDirectoryBytes) {
    return Lookup::kUnusable;
  }
  const uint8_t* at = m_pDirectory + here.directoryBegin;
  const uint8_t* const end = m_pDirectory + next.directoryBegin;
  uint64_t code = here.firstSecond, listAt = here.listBegin;
  for (bool firstEntry = true; at < end; firstEntry = false) {
    uint64_t step = 0, reference = 0;
    if (!firstEntry && (!ReadTableNumber(at, end, step) || step == 0)) return Lookup::kUnusable;
    code += step;
    if (code > second) return Lookup::kAbsent;
    if (!ReadTableNumber(at, end, reference)) return Lookup::kUnusable;
    const uint64_t kind = reference & 3, value = reference >> 2;
    uint64_t from = listAt, length = value;
    if (kind == kNgramSameList) {
      from = value;
      if (!ReadTableNumber(at, end, length)) return Lookup::kUnusable;
    } else if (kind == kNgramNextList) {
      listAt += length;
    } else if (kind != kNgramOnlyPage) {
      return Lookup::kUnusable;
    }
    if (code < second) continue;
    if (kind != kNgramOnlyPage) return length == 0 ? Lookup::kUnusable : ListAt(from, from + length, list);
    if (value >= m_nPageBound) return Lookup::kUnusable;
    list = {nullptr, nullptr, static_cast<uint32_t>(value), m_nPageBound};
    return Lookup::kFound;
  }
  return Lookup::kAbsent;
}

NgramTable::Lookup NgramTable::Pair(int32_t first, int32_t second, PageCountList& list) const {
  if (!IsOpen() || first < 0 || first >= kIndexCodeCount || second < 0) return Lookup::kUnusable;
  uint32_t group = 0;
  Lookup failed;
  if (!FindGroup(first, static_cast<uint32_t>(second), group, failed)) return failed;
  return FindInGroup(group, static_cast<uint32_t>(second), list);
}
