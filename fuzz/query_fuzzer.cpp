// Query texts alone, on a fixed valid index: any UTF-16 units, lone
// surrogates included, through CheckQuery, SearchAnd and SearchOr with and
// without variant folding.
//
// Queries without "*" are compared with a plain scan of the page texts
// (every keyword character at consecutive positions, "?" any one
// character, overlapping matches counted); for every query the AND result
// must be the OR result's pages that every keyword shares.
//
// Input: flags (byte: 1 variants), then the query as UTF-16 units, low
// byte first.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "corpus/filelistformat.h"
#include "engine/codeconverter.h"
#include "engine/index.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/require.h"
#include "writer/scratchdir.h"
#include "writer/textcorpus.h"

namespace {

using Result = std::vector<std::pair<uint32_t, uint32_t>>;  // page, count

// U+4E02 stands in two groups; the first decides.
const std::vector<std::vector<uint32_t>> kGroups = {{0x4E00, 0x5F0C}, {0x4E01, 0x4E02}, {0x4E02, 0x4E03}};
// Page characters, the common ones first: a few CJK characters and their
// variants, one outside the BMP, a kana and a compatibility ideograph.
const char32_t kPageCharacters[] = {0x4E00, 0x4E01, 0x4E02, 0x4E03, 0x5F0C, 0x20000, 0x3042, 0xF900};
constexpr uint32_t kPageCount = 120;

// Pseudo-random page texts, up to 450 characters so that "*" gaps of 300
// both fit and overflow. The rare characters stand on every seventh page
// only, so that searches with them skip over most records of the common
// characters' lists (long enough to carry skip tables).
std::vector<std::u32string> PageTexts() {
  std::vector<std::u32string> pages;
  uint32_t state = 12345;
  auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
  for (uint32_t p = 0; p < kPageCount; ++p) {
    std::u32string text(next() % 451, U' ');
    for (char32_t& c : text) c = kPageCharacters[p % 7 == 0 && next() % 4 == 0 ? next() % 8 : next() % 3];
    pages.push_back(text);
  }
  return pages;
}

struct Corpus {
  codexa::writer::ScratchDir dir;
  std::vector<std::u32string> pages = PageTexts();
  CIndex index;

  Corpus() {
    codexa::writer::TextCorpusWriter writer(kGroups);
    for (const std::u32string& page : pages) writer.AddPage(page, false);
    std::string error;
    FUZZ_REQUIRE(writer.Write(dir.path(), {.interleave = true, .seed = 7}, error));
    FUZZ_REQUIRE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
  }
};

Result Search(CIndex& index, std::u16string query, bool orMode, bool variants) {
  if (orMode) {
    index.SearchOr(query, variants);
  } else {
    index.SearchAnd(query, variants);
  }
  const std::vector<uint32_t>& pages = index.GetPageArray();
  const std::vector<uint32_t>& counts = index.GetCountArray();
  FUZZ_REQUIRE(pages.size() == counts.size() && pages.size() == index.GetResultCount());
  Result result;
  for (size_t i = 0; i < pages.size(); ++i) result.emplace_back(pages[i], counts[i]);
  return result;
}

// One keyword as the scan sees it: each indexed character with its
// keyword position ("?" takes a position, unindexed characters none).
struct Literal {
  uint32_t position;
  char32_t character;
};

std::vector<Literal> Literals(std::u16string_view keyword) {
  std::vector<Literal> literals;
  uint32_t position = 0;
  for (size_t i = 0; i < keyword.size(); ++i) {
    char32_t c = keyword[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < keyword.size() && keyword[i + 1] >= 0xDC00 && keyword[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (keyword[++i] - 0xDC00);
    }
    if (c == u'?' || c == 0xFF1F) {
      ++position;
    } else if (CharToIndexCode(c) >= 0) {
      literals.push_back({position++, c});
    }
  }
  return literals;
}

bool Matches(char32_t wanted, char32_t seen, bool variants) {
  if (!variants) return wanted == seen;
  for (const std::vector<uint32_t>& group : kGroups) {
    if (std::find(group.begin(), group.end(), wanted) != group.end()) {
      return std::find(group.begin(), group.end(), seen) != group.end();
    }
  }
  return wanted == seen;
}

// The pages holding the keyword, ascending, with the number of places.
Result ScanKeyword(const std::vector<std::u32string>& pages, std::u16string_view keyword, bool variants) {
  const std::vector<Literal> literals = Literals(keyword);
  Result result;
  if (literals.empty()) return result;
  for (uint32_t p = 0; p < pages.size(); ++p) {
    const std::u32string& text = pages[p];
    uint32_t places = 0;
    for (size_t start = 0; start < text.size(); ++start) {
      places += std::all_of(literals.begin(), literals.end(), [&](const Literal& l) {
        const size_t at = start + l.position - literals.front().position;
        return at < text.size() && Matches(l.character, text[at], variants);
      });
    }
    if (places > 0) result.emplace_back(p, places);
  }
  return result;
}

std::vector<std::u16string> SplitAtSpaces(std::u16string_view query) {
  std::vector<std::u16string> keywords;
  for (size_t start = 0; start < query.size();) {
    const size_t end = std::min(query.find(u' ', start), query.size());
    if (end > start) keywords.emplace_back(query.substr(start, end - start));
    start = end + 1;
  }
  return keywords;
}

Result ScanQuery(const std::vector<std::u32string>& pages, std::u16string_view query, bool orMode, bool variants) {
  Result combined;
  bool first = true;
  for (const std::u16string& keyword : SplitAtSpaces(query)) {
    const Result found = ScanKeyword(pages, keyword, variants);
    if (orMode) {
      const size_t before = combined.size();
      for (const auto& entry : found) {
        auto old = std::find_if(combined.begin(), combined.begin() + before,
                                [&](auto& e) { return e.first == entry.first; });
        if (old != combined.begin() + before) {
          old->second += entry.second;
        } else {
          combined.push_back(entry);
        }
      }
    } else if (first) {
      combined = found;
    } else {
      Result kept;
      for (const auto& entry : found) {
        auto old = std::find_if(combined.begin(), combined.end(), [&](auto& e) { return e.first == entry.first; });
        if (old != combined.end()) kept.emplace_back(entry.first, entry.second + old->second);
      }
      combined = kept;
    }
    first = false;
  }
  return combined;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Corpus corpus;
  codexa::fuzz::FuzzInput input(data, size);
  const bool variants = input.Byte() & 1;
  const std::u16string query = codexa::fuzz::Utf16Units(input.Rest());

  const Result before = Search(corpus.index, u"\u4E00", false, false);
  const bool accepted = CIndex::CheckQuery(query) > 0;
  const Result andResult = Search(corpus.index, query, false, variants);
  if (!accepted) {
    FUZZ_REQUIRE(andResult == before);
    return 0;
  }
  FUZZ_REQUIRE(std::is_sorted(andResult.begin(), andResult.end()));
  const Result orResult = Search(corpus.index, query, true, variants);
  for (const auto& entry : andResult) {
    FUZZ_REQUIRE(std::find(orResult.begin(), orResult.end(), entry) != orResult.end());
  }
  const bool scannable = query.find(u'*') == std::u16string::npos &&
                         std::ranges::all_of(SplitAtSpaces(query), [](auto& k) { return k.size() <= 250; });
  if (scannable) {
    FUZZ_REQUIRE(andResult == ScanQuery(corpus.pages, query, false, variants));
    FUZZ_REQUIRE(orResult == ScanQuery(corpus.pages, query, true, variants));
  }
  return 0;
}
