// Page-count lists of single codes and of adjacent code pairs: which pages
// hold a character (or two characters one position apart) and how often.
//
// The position lists answer every query, but a one- or two-character
// keyword then costs a walk over every position of its characters. The
// builder therefore adds, for each code and for each pair of codes that
// stand at adjacent positions, the list of (page, number of occurrences).
// A one-character keyword is then one such list, a two-character keyword
// the list of its pair, and a longer keyword is looked for only on the
// pages that hold all of its pairs.
//
// The table lies in posting blocks that no chain reaches, located through
// the spare header-table entries of kNgramTableCode (a code no character
// maps to):
//
//   16-bit table[kNgramTableCode]  kNgramFormat
//   32-bit table[kNgramTableCode]  the table's byte offset in "-idx.m" / 16
//
//   header      kNgramMagic, kNgramVersion, code count (kIndexCodeCount),
//               pair count P, list bytes B (64 bits), 8 bytes zero
//   single      (code count + 1) x 32 bits: list offsets; code c's list is
//               [single[c], single[c + 1])
//   pairStart   (code count + 1) x 32 bits: the pairs whose first code is
//               c are entries [pairStart[c], pairStart[c + 1])
//   pairs       (P + 1) x (second code, list offset), 32 bits each, by
//               second code within a first code; pair i's list is
//               [offset[i], offset[i + 1]); the last entry closes the last
//   lists       B bytes, then 8 zero bytes
//
// A list is a run of blocks of up to kNgramBlockEntries entries, pages
// ascending from 0:
//
//   byte        width codes: bits 0-1 of the page steps, bits 2-3 of the
//               counts (0, 1, 2: numbers of 1, 2, 4 bytes), bits 4-7 zero
//   byte        the number of entries n (1 or more)
//   n numbers   page steps: each page minus the one before (the first
//               block's first: the page itself)
//   n numbers   counts
//
// Fixed widths within a block let the engine read many entries at once;
// each block takes the widths its largest numbers need.
//
// Which pairs are there. At every position the page holds the character's
// own code and the codes of its variant groups. For each two adjacent
// positions the table has the pair of own codes, and every pair that a
// keyword can form with variant folding: of group codes, or of the own
// code where the character has no group (no two characters share an own
// code, so folding leaves an own code alone only for such a character). A
// pair that is not in the table occurs nowhere.
//
// All numbers are little-endian. The engine trusts none of it: a table
// whose header or extent does not fit is ignored, a list whose bounds do
// not fit is not used, and the keyword is then answered from the position
// lists alone, the way files without the table are read.
#ifndef CODEXA_ENGINE_NGRAMTABLE_H_
#define CODEXA_ENGINE_NGRAMTABLE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t kNgramTableCode = 84149;
constexpr uint16_t kNgramFormat = 2;
constexpr uint32_t kNgramMagic = 0x474E5843;  // "CXNG" in file order
constexpr uint32_t kNgramVersion = 1;
constexpr uint32_t kNgramAlign = 16;
constexpr uint32_t kNgramHeaderSize = 32;
constexpr uint32_t kNgramPadding = 8;
constexpr uint32_t kNgramBlockEntries = 64;

// Pages and their counts in two arrays of equal length, the layout of the
// engine's result.
struct HitArrays {
  std::vector<uint32_t> pages;
  std::vector<uint32_t> counts;
  void Add(uint32_t page, uint32_t count) {
    pages.push_back(page);
    counts.push_back(count);
  }
  void Clear() {
    pages.clear();
    counts.clear();
  }
  size_t size() const { return pages.size(); }
};

// The bytes of one page-count list.
struct PageCountList {
  const uint8_t* begin = nullptr;
  const uint8_t* end = nullptr;
  size_t size() const { return static_cast<size_t>(end - begin); }
};

// Appends the entries of `list` to `hits`: pages strictly ascending, counts
// above zero (entries that break either rule are passed over).
void DecodePageCounts(const PageCountList& list, HitArrays& hits);

class NgramTable {
 public:
  enum class Lookup { kFound, kAbsent, kUnusable };

  // Finds the table from the two header-table entries of kNgramTableCode.
  // False (and an empty table) when there is none or it does not fit.
  bool Open(const uint8_t* postings, size_t size, uint16_t format, uint32_t location);
  bool IsOpen() const { return lists_ != nullptr; }

  // The list of one code; kAbsent when the code occurs nowhere. `list` is
  // set only for kFound.
  Lookup Single(int32_t code, PageCountList& list) const;
  // The list of `first` followed by `second` at the next position.
  Lookup Pair(int32_t first, int32_t second, PageCountList& list) const;

 private:
  Lookup ListAt(uint32_t from, uint32_t to, PageCountList& list) const;

  const uint8_t* single_ = nullptr;
  const uint8_t* pairStart_ = nullptr;
  const uint8_t* pairs_ = nullptr;
  const uint8_t* lists_ = nullptr;
  uint32_t pairCount_ = 0;
  uint64_t listBytes_ = 0;
};

#endif  // CODEXA_ENGINE_NGRAMTABLE_H_
