#include "bench/compare/codexapeer.h"

#include <algorithm>
#include <chrono>

#include "engine/codeconverter.h"

namespace compare {

namespace {

// The byte length of a list: its records, followed through the block chain.
uint64_t ListLength(const PostingSource& source, uint32_t block, uint32_t lastPage) {
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

}  // namespace

bool CodexaPeer::Build(const std::vector<std::string>&, std::string& error) {
  if (index_.Open(corpus_, u"Index", kTargetFullText)) return true;
  error = "the corpus in " + corpus_.string() + " does not open";
  return false;
}

uint64_t CodexaPeer::IndexBytes() const {
  return std::filesystem::file_size(corpus_ / "Index-idx.h") + std::filesystem::file_size(corpus_ / "Index-idx.m");
}

double CodexaPeer::Reopen() {
  index_.Close();
  const auto start = std::chrono::steady_clock::now();
  index_.Open(corpus_, u"Index", kTargetFullText);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void CodexaPeer::Run(const Query& query) {
  // A copy: the engine overwrites the separators it reads.
  std::u16string text = query.utf16;
  query.isAnd ? index_.SearchAnd(text, query.variants) : index_.SearchOr(text, query.variants);
}

Summary CodexaPeer::Search(const Query& query) {
  Run(query);
  Summary summary{index_.GetResultCount(), 0};
  for (const uint32_t count : index_.GetCountArray()) summary.hits += count;
  return summary;
}

std::vector<PageHits> CodexaPeer::Check(const Query& query) {
  Run(query);
  std::vector<PageHits> result;
  for (size_t i = 0; i < index_.GetResultCount(); ++i) {
    result.push_back({index_.GetPageArray()[i], index_.GetCountArray()[i]});
  }
  // An OR result comes keyword by keyword; the comparison wants page order.
  std::sort(result.begin(), result.end(), [](const PageHits& a, const PageHits& b) { return a.page < b.page; });
  return result;
}

// For a keyword of one or two characters in a row, the engine reads one
// page-count list (when the index has the table); for any other keyword,
// the position lists of its characters (their whole length: an upper
// bound where the cursors skip).
uint64_t CodexaPeer::ListBytes(const Query& query) const {
  uint64_t bytes = 0;
  std::string_view text = query.text;
  while (!text.empty()) {
    const size_t space = std::min(text.find(' '), text.size());
    std::vector<int32_t> codes;
    bool wildcard = false;
    for (const uint32_t c : DecodeUtf8(text.substr(0, space))) {
      wildcard = wildcard || c == '?' || c == '*' || c == 0xFF1F;
      int32_t code = CharToIndexCode(c);
      if (code < 0) continue;
      if (query.variants) index_.variants().FindVariantGroup(c, code);
      codes.push_back(code);
    }
    text.remove_prefix(std::min(space + 1, text.size()));
    PageCountList list;
    const NgramTable& table = index_.ngramTable();
    const NgramTable::Lookup found = wildcard || codes.empty() || codes.size() > 2 ? NgramTable::Lookup::kUnusable
                                     : codes.size() == 1 ? table.Single(codes[0], list)
                                                         : table.Pair(codes[0], codes[1], list);
    if (found != NgramTable::Lookup::kUnusable) {
      bytes += found == NgramTable::Lookup::kFound ? list.size() : 0;
      continue;
    }
    for (const int32_t code : codes) {
      uint32_t first, last;
      if (index_.ListOf(code, first, last)) bytes += ListLength(index_.postingSource(), first, last);
    }
  }
  return bytes;
}

}  // namespace compare
