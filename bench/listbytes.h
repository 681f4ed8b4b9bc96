// The bytes of index lists a query makes the engine read, for rates of
// bytes per second: a keyword that is a run of one or two characters reads
// one page-count list (when the index has the table); any other keyword
// the position lists of its characters, counted whole (an upper bound where
// the cursors skip).
#ifndef CODEXA_BENCH_LISTBYTES_H_
#define CODEXA_BENCH_LISTBYTES_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/codeconverter.h"
#include "engine/index.h"

namespace codexa::bench {

// The byte length of a position list: its records, followed through the
// block chain.
inline uint64_t PositionListLength(const PostingSource& source, uint32_t block, uint32_t lastPage) {
  uint64_t length = 0;
  uint32_t offset = 0, page = 0;
  size_t hops = source.size / kPostingBlockSize + 1;
  const auto next = [&](uint8_t& b) {
    if (offset == kPostingBlockSize) {
      if (block >= source.chainLength || hops-- == 0) return false;
      block = source.chain[block];
      offset = 0;
    }
    const uint64_t at = uint64_t{block} * kPostingBlockSize + offset++;
    if (at >= source.size) return false;
    b = source.data[at];
    ++length;
    return true;
  };
  for (;;) {
    uint8_t b0, b1, b2, lo, hi;
    if (!next(b0)) return length;
    uint32_t delta = b0;
    if (b0 >= 0x80) {
      if (!next(b1)) return length;
      delta = b0 < 0xC0 ? ((b0 & 0x3F) << 8) | b1 : 0;
      if (b0 >= 0xC0) {
        if (!next(b2)) return length;
        delta = ((b0 & 0x3F) << 16) | (b1 << 8) | b2;
      }
    }
    if (!next(lo) || !next(hi)) return length;
    page += delta;
    for (uint32_t i = (hi << 8) | lo; i > 0; --i) {
      if (!next(b0)) return length;
    }
    if (page == lastPage) return length;
  }
}

// One keyword, as code points.
inline uint64_t KeywordBytes(const CIndex& index, const std::vector<uint32_t>& keyword, bool variants) {
  std::vector<int32_t> codes;
  bool wildcard = false;
  for (const uint32_t c : keyword) {
    wildcard = wildcard || c == '?' || c == '*' || c == 0xFF1F;
    int32_t code = CharToIndexCode(c);
    if (code < 0) continue;
    if (variants) index.variants().FindVariantGroup(c, code);
    codes.push_back(code);
  }
  PageCountList list;
  const NgramTable& table = index.ngramTable();
  const NgramTable::Lookup found = wildcard || codes.empty() || codes.size() > 2 ? NgramTable::Lookup::kUnusable
                                   : codes.size() == 1 ? table.Single(codes[0], list)
                                                       : table.Pair(codes[0], codes[1], list);
  if (found != NgramTable::Lookup::kUnusable) return found == NgramTable::Lookup::kFound ? list.size() : 0;
  uint64_t bytes = 0;
  for (const int32_t code : codes) {
    uint32_t first, last;
    if (index.ListOf(code, first, last)) bytes += PositionListLength(index.postingSource(), first, last);
  }
  return bytes;
}

// A query of keywords separated by spaces (U+0020 or U+3000).
inline uint64_t ListBytesRead(const CIndex& index, const std::vector<uint32_t>& query, bool variants) {
  uint64_t bytes = 0;
  std::vector<uint32_t> keyword;
  for (size_t i = 0; i <= query.size(); ++i) {
    if (i < query.size() && query[i] != ' ' && query[i] != 0x3000) {
      keyword.push_back(query[i]);
      continue;
    }
    if (!keyword.empty()) bytes += KeywordBytes(index, keyword, variants);
    keyword.clear();
  }
  return bytes;
}

}  // namespace codexa::bench

#endif  // CODEXA_BENCH_LISTBYTES_H_
