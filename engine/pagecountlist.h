// One page-count list: the pages that hold a character or a pair of
// characters, ascending, each with its number of occurrences. The list's
// layout is in engine/indexformat.h ("A page-count list"); the table that
// finds a list is engine/ngramtable.h.
//
// Decoding trusts nothing: a block whose header or extent does not fit,
// or whose pages would not ascend or would reach the table's page bound,
// ends the list there, so a damaged list gives fewer entries, never a wrong
// read, and never more entries than the corpus has pages.
#ifndef CODEXA_ENGINE_PAGECOUNTLIST_H_
#define CODEXA_ENGINE_PAGECOUNTLIST_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/hitarrays.h"

// The bytes of one list, followed by at least kNgramPadding readable bytes
// (the decoder loads eight bytes at a time). A list of one page held once
// has no bytes: the table's directory holds that page, in `onlyPage`.
struct PageCountList {
  const uint8_t* begin = nullptr;
  const uint8_t* end = nullptr;
  std::optional<uint32_t> onlyPage;
  // Every page is below it (the table's page bound): a list that says
  // otherwise is damaged, and its entries never outnumber the pages.
  uint64_t pageBound = uint64_t{1} << 32;
  size_t size() const { return static_cast<size_t>(end - begin); }
};

// Appends the entries of `list` to `hits`: pages strictly ascending, counts
// above zero.
void DecodePageCounts(const PageCountList& list, HitArrays& hits);

// Appends the entries of `list` whose pages `within` (ascending) holds.
// Only the blocks whose span of pages (from their first page to the next
// block's) holds a page of `within` are decoded; the others are stepped
// over by their heads (and flags), and `within` is galloped through to
// each block's first page; a block's counts are decoded only when one of
// its pages is kept. Answers the bytes of the list it read. A block
// stepped over is checked by its head and extent only, and one decoded
// must end below the next block's first page, so on a damaged list the two
// decoders may stop at different blocks (neither reads outside the list).
uint64_t DecodePageCountsWithin(const PageCountList& list, const std::vector<uint32_t>& within, HitArrays& hits);

// Appends the pages of `within` (ascending) that `list` holds to `pages`,
// as DecodePageCountsWithin keeps them, without their counts: a block's
// pages are decoded, its counts neither decoded nor read (what narrowing
// the pages of a longer keyword needs). Answers the bytes of the list it
// read.
uint64_t DecodePagesWithin(const PageCountList& list, const std::vector<uint32_t>& within,
                           std::vector<uint32_t>& pages);

// The number of blocks of `list` (0 for one without bytes): stepping over
// its blocks costs a head read each.
uint64_t PageCountBlocks(const PageCountList& list);

// ---- the table's numbers (shared with the writer)

// A number in groups of seven bits, least significant first, the high bit
// of each byte telling that another follows; at most five bytes (35 bits).
void AppendTableNumber(uint64_t value, std::string& out);
// Reads one number at `at`, moving `at` past it. False when it runs past
// `end` or takes more than five bytes. Inline: a pair's lookup reads a
// few of them in turn, most of them a byte long.
inline bool ReadTableNumber(const uint8_t*& at, const uint8_t* end, uint64_t& value) {
  value = 0;
  const uint8_t* p = at;
  for (int shift = 0; shift < 35; shift += 7) {
    if (p == end) return false;
    const uint8_t byte = *p++;
    value |= uint64_t{byte & 0x7Fu} << shift;
    if (byte < 0x80) {
      at = p;
      return true;
    }
  }
  return false;
}

#endif  // CODEXA_ENGINE_PAGECOUNTLIST_H_
