// Skip data for posting lists: where a cursor may jump to reach a page
// without reading every record header before it.
//
// The index format leaves two header tables to the builder (the 16-bit
// table and the second 32-bit table) and never reads posting blocks that
// no chain reaches. The builder puts a skip table for each long list into
// such blocks, after the last block of any list:
//
//   16-bit table[code]  kSkipFormat when the code has a skip table
//   32-bit table[code]  the table's byte offset in "-idx.m" / kSkipAlign
//   table               header: kSkipMagic, code, entry count, interval
//                       entries: (page before the record, byte offset of
//                       the record's header within the list, the block
//                       that holds that byte), 32-bit little-endian each
//
// There is an entry for every kSkipInterval-th record of the list. A reader
// of the plain format never looks at any of this, and files without it
// (zeros in both tables) are read the plain way. The engine trusts none of
// it: a table whose header does not match is ignored, and a cursor checks
// every entry before it jumps (see CPostingCursor::SkipTo).
#ifndef CODEXA_ENGINE_SKIPTABLE_H_
#define CODEXA_ENGINE_SKIPTABLE_H_

#include <cstddef>
#include <cstdint>

constexpr uint16_t kSkipFormat = 1;
constexpr uint32_t kSkipMagic = 0x4B535843;  // "CXSK" in file order
constexpr uint32_t kSkipAlign = 16;
constexpr uint32_t kSkipInterval = 32;
constexpr uint32_t kSkipHeaderSize = 16;
constexpr uint32_t kSkipEntrySize = 12;

struct SkipEntry {
  uint32_t pageBefore;  // the page of the record before; 0 for the first
  uint32_t offset;      // where the record's header starts in the list
  uint32_t block;       // the block that holds that byte
};

// One list's skip table inside the mapped posting file.
class SkipTable {
 public:
  // Finds the table of `code` from its two header table entries. False
  // (and an empty table) when there is none or its header does not fit.
  bool Open(const uint8_t* postings, size_t size, uint16_t format, uint32_t location, int32_t code) {
    count_ = 0;
    if (format != kSkipFormat || location == 0) return false;
    const uint64_t start = uint64_t{location} * kSkipAlign;
    if (start > size || size - start < kSkipHeaderSize) return false;
    const uint8_t* header = postings + start;
    const uint64_t count = Read32(header + 8);
    if (Read32(header) != kSkipMagic || Read32(header + 4) != static_cast<uint32_t>(code) ||
        Read32(header + 12) != kSkipInterval || count > (size - start - kSkipHeaderSize) / kSkipEntrySize) {
      return false;
    }
    entries_ = header + kSkipHeaderSize;
    count_ = static_cast<uint32_t>(count);
    return count_ != 0;
  }

  uint32_t size() const { return count_; }
  SkipEntry operator[](uint32_t i) const {
    const uint8_t* entry = entries_ + size_t{i} * kSkipEntrySize;
    return {Read32(entry), Read32(entry + 4), Read32(entry + 8)};
  }

 private:
  static uint32_t Read32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  }
  const uint8_t* entries_ = nullptr;
  uint32_t count_ = 0;
};

#endif  // CODEXA_ENGINE_SKIPTABLE_H_
