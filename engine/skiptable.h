// Skip data for posting lists: where a cursor may jump to reach a page
// without reading every record header before it.
//
// The builder puts a skip table for each long list into the posting blocks
// that no chain reaches, located through the spare header slots of the
// list's code; the layout is in engine/indexformat.h. There is an entry for
// every kSkipInterval-th record of the list. A reader of the plain format
// never looks at any of this, and files without it (zeros in both slots)
// are read the plain way. The engine trusts none of it: a table whose
// header does not match is ignored, and a cursor checks every entry before
// it jumps (see CPostingCursor::SkipToward).
#ifndef CODEXA_ENGINE_SKIPTABLE_H_
#define CODEXA_ENGINE_SKIPTABLE_H_

#include <cstddef>
#include <cstdint>

#include "base/coding.h"
#include "engine/indexformat.h"

// One list's skip table inside the mapped posting file.
class SkipTable {
 public:
  // Finds the table of `code` from its two header table entries. False
  // (and an empty table) when there is none or its header does not fit.
  bool Open(const uint8_t* postings, size_t size, uint16_t format, uint32_t location, int32_t code) {
    m_nCount = 0;
    if (format != kSkipFormat || location == 0) return false;
    const uint64_t start = uint64_t{location} * kSkipAlign;
    if (start > size || size - start < kSkipHeaderSize) return false;
    const uint8_t* header = postings + start;
    const uint64_t count = LoadLE32(header + 8);
    if (LoadLE32(header) != kSkipMagic || LoadLE32(header + 4) != static_cast<uint32_t>(code) ||
        LoadLE32(header + 12) != kSkipInterval || count > (size - start - kSkipHeaderSize) / kSkipEntrySize) {
      return false;
    }
    m_pEntries = header + kSkipHeaderSize;
    m_nCount = static_cast<uint32_t>(count);
    return m_nCount != 0;
  }

  // What LastEntriesBelow answers for a target below every entry's page.
  static constexpr uint32_t kNoEntry = UINT32_MAX;

  // For each of the `n` targets, the last entry whose previous page is
  // below it, or kNoEntry (the entries' pages ascend). The searches take
  // their halving steps side by side, each a load and a conditional move:
  // the loads of one step do not wait on each other, so on a table out of
  // the cache their misses overlap, and no step waits on a guessed branch.
  void LastEntriesBelow(const uint32_t* targets, size_t n, uint32_t* entries) const {
    for (size_t k = 0; k < n; ++k) entries[k] = 0;
    for (uint32_t length = m_nCount; length > 1;) {
      const uint32_t half = length / 2;
      for (size_t k = 0; k < n; ++k) {
        entries[k] = PageBefore(entries[k] + half) < targets[k] ? entries[k] + half : entries[k];
      }
      length -= half;
    }
    for (size_t k = 0; k < n; ++k) {
      if (m_nCount == 0 || PageBefore(entries[k]) >= targets[k]) entries[k] = kNoEntry;
    }
  }

  uint32_t size() const { return m_nCount; }
  // The first field of entry i alone, what a search reads.
  uint32_t PageBefore(uint32_t i) const { return LoadLE32(m_pEntries + size_t{i} * kSkipEntrySize); }
  SkipEntry operator[](uint32_t i) const {
    const uint8_t* entry = m_pEntries + size_t{i} * kSkipEntrySize;
    return {LoadLE32(entry), LoadLE32(entry + 4), LoadLE32(entry + 8)};
  }

 private:
  const uint8_t* m_pEntries = nullptr;
  uint32_t m_nCount = 0;
};

#endif  // CODEXA_ENGINE_SKIPTABLE_H_
