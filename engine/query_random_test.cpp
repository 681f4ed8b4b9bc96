// Randomized cross-check of the query evaluation against a brute-force
// reading of each page's indexed characters, on seeded generated corpora
// whose lists are laid out in interleaved, shuffled blocks, with and
// without the page-count table.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/codeconverter.h"
#include "writer/openedcorpus_testing.h"

namespace {

using codexa::testing::Hits;
using codexa::testing::OpenedCorpus;

// Characters of the generated texts. The first ones also make keywords;
// the fillers never do.
const std::u32string kKeywordCharacters = U"甲乙丙丁弌乚乛";
const std::u32string kFillers = U"戊己";
constexpr char32_t kNoCode = U'\u3002';
constexpr char32_t kWide = U'\U00020001';
// 甲 with 弌, 乙 with 乚 and 乛, 丙 with 己 (a filler, so that a folded 丙
// meets it in long runs), 丁 with 乛 (whose first group is 乙's).
const std::vector<std::vector<uint32_t>> kGroups = {
    {U'弌', U'甲'}, {U'乙', U'乚', U'乛'}, {U'己', U'丙'}, {U'丁', U'乛'}};
constexpr size_t kMaxGap = 300;

// What a keyword character matches: itself, or with folding every member
// of its first group.
bool Matches(char32_t keyword, char32_t text, bool variants) {
  if (keyword == text) return true;
  if (!variants) return false;
  for (const auto& group : kGroups) {
    if (std::find(group.begin(), group.end(), keyword) == group.end()) continue;
    return std::find(group.begin(), group.end(), text) != group.end();
  }
  return false;
}

struct Term {
  int position;  // keyword position
  char32_t character;
};

// The keyword's characters with an index code, by keyword position, split
// into segments at "*"; segments without characters are left out.
std::vector<std::vector<Term>> Segments(const std::u32string& keyword) {
  std::vector<std::vector<Term>> segments(1);
  int position = 0;
  for (const char32_t c : keyword) {
    if (c == U'*') {
      if (!segments.back().empty()) segments.emplace_back();
    } else if (c == U'?' || c == U'\uFF1F') {
      ++position;
    } else if (CharToIndexCode(c) >= 0) {
      segments.back().push_back({position++, c});
    }
  }
  if (segments.back().empty()) segments.pop_back();
  return segments;
}

// The number of matches of `keyword` in `text` (the page's indexed
// characters) by the stated meaning: inside a segment every character and
// every "?" takes one position; between segments, the first character after
// a "*" stands at least one position (plus one per "?" between) and at most
// 300 further after the last one before it. Each start of the first segment
// that has a completion counts once.
uint32_t BruteCount(const std::u32string& keyword, const std::u32string& text, bool variants) {
  const std::vector<std::vector<Term>> segments = Segments(keyword);
  if (segments.empty()) return 0;
  // s: the text position that keyword position 0 would take.
  const int lowest = -segments.back().back().position;
  const int highest = static_cast<int>(text.size());
  const auto occurs = [&](const std::vector<Term>& segment, int s) {
    for (const Term& term : segment) {
      const int at = s + term.position;
      if (at < 0 || at >= highest || !Matches(term.character, text[at], variants)) return false;
    }
    return true;
  };
  const size_t span = static_cast<size_t>(highest - lowest + 1);
  std::vector<bool> completable(span, false);
  for (size_t k = segments.size(); k-- > 0;) {
    std::vector<bool> here(span, false);
    for (int s = lowest; s <= highest; ++s) {
      if (!occurs(segments[k], s)) continue;
      if (k + 1 == segments.size()) {
        here[s - lowest] = true;
        continue;
      }
      const Term& last = segments[k].back();
      const Term& first = segments[k + 1].front();
      const int minimum = first.position - last.position;
      for (int distance = minimum; distance <= minimum + static_cast<int>(kMaxGap); ++distance) {
        const int next = s + last.position + distance - first.position;
        if (next > highest) break;
        if (completable[next - lowest]) {
          here[s - lowest] = true;
          break;
        }
      }
    }
    completable.swap(here);
  }
  return static_cast<uint32_t>(std::count(completable.begin(), completable.end(), true));
}

Hits BruteKeyword(const std::u32string& keyword, const std::vector<std::u32string>& texts, bool variants) {
  Hits hits;
  for (uint32_t page = 0; page < texts.size(); ++page) {
    if (const uint32_t count = BruteCount(keyword, texts[page], variants)) hits.emplace_back(page, count);
  }
  return hits;
}

Hits BruteQuery(const std::vector<std::u32string>& keywords, bool isAnd, const std::vector<std::u32string>& texts,
                bool variants) {
  Hits result;
  for (size_t k = 0; k < keywords.size(); ++k) {
    const Hits hits = BruteKeyword(keywords[k], texts, variants);
    if (isAnd && k > 0) {
      Hits kept;
      for (const auto& [page, count] : hits) {
        for (const auto& [oldPage, oldCount] : result) {
          if (oldPage == page) kept.emplace_back(page, count + oldCount);
        }
      }
      result = kept;
    } else if (isAnd) {
      result = hits;
    } else {
      for (const auto& [page, count] : hits) {
        auto old = std::find_if(result.begin(), result.end(), [&](const auto& e) { return e.first == page; });
        if (old != result.end()) {
          old->second += count;
        } else {
          result.emplace_back(page, count);
        }
      }
    }
  }
  return result;
}

// The indexed characters of a text: what the positions count.
std::u32string Indexed(const std::u32string& text) {
  std::u32string indexed;
  for (const char32_t c : text) {
    if (CharToIndexCode(c) >= 0) indexed += c;
  }
  return indexed;
}

class Generator {
 public:
  explicit Generator(uint32_t seed) : m_random(seed) {}

  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_random); }
  bool OneIn(size_t n) { return Below(n) == 0; }

  char32_t TextCharacter() {
    const size_t roll = Below(100);
    if (roll < 60) return kKeywordCharacters[Below(roll < 40 ? 2 : kKeywordCharacters.size())];
    if (roll < 95) return kFillers[Below(kFillers.size())];
    return roll < 98 ? kNoCode : kWide;
  }

  // Dense pages of random characters, and sparse ones of short pieces
  // separated by filler runs around the gap's limits.
  std::u32string Page() {
    std::u32string text;
    if (OneIn(2)) {
      for (size_t n = Below(700); n > 0; --n) text += TextCharacter();
      return text;
    }
    static constexpr size_t kRuns[] = {0, 1, 2, 50, 250, 298, 299, 300, 301, 302, 350};
    for (size_t pieces = 1 + Below(5); pieces > 0; --pieces) {
      for (size_t n = 1 + Below(3); n > 0; --n) text += kKeywordCharacters[Below(4)];
      text.append(kRuns[Below(std::size(kRuns))], kFillers[0]);
    }
    return text;
  }

  std::u32string PlainKeyword() {
    std::u32string keyword;
    for (size_t n = 1 + Below(4); n > 0; --n) {
      const size_t roll = Below(10);
      keyword += roll < 2 ? U'?' : roll < 3 ? (OneIn(2) ? U'\uFF1F' : kNoCode) : kKeywordCharacters[Below(5)];
    }
    return keyword;
  }

  std::u32string GapKeyword() {
    std::u32string keyword = OneIn(4) ? U"*" : U"";
    for (size_t segments = 2 + Below(2); segments > 0; --segments) {
      for (size_t n = 1 + Below(2); n > 0; --n) keyword += OneIn(5) ? U'?' : kKeywordCharacters[Below(4)];
      if (segments > 1) keyword += OneIn(5) ? U"**" : U"*";
    }
    return keyword;
  }

 private:
  std::mt19937 m_random;
};

class QueryCrossCheck : public ::testing::TestWithParam<std::tuple<uint32_t, bool>> {};

TEST_P(QueryCrossCheck, AgreesWithBruteForce) {
  const auto [seed, pageCountTable] = GetParam();
  Generator generate(seed);
  std::vector<std::u32string> pages;
  for (int i = 0; i < 120; ++i) pages.push_back(generate.Page());
  OpenedCorpus corpus(pages, kGroups, seed, pageCountTable);
  std::vector<std::u32string> indexed;
  for (const std::u32string& page : pages) indexed.push_back(Indexed(page));

  for (int round = 0; round < 150; ++round) {
    std::vector<std::u32string> keywords;
    const bool withGaps = round % 2 == 1;
    for (size_t n = 1 + generate.Below(3); n > 0; --n) {
      keywords.push_back(withGaps ? generate.GapKeyword() : generate.PlainKeyword());
    }
    const bool isAnd = generate.OneIn(2);
    const bool variants = generate.OneIn(2);
    std::u32string query;
    for (const std::u32string& keyword : keywords) query += (query.empty() ? U"" : U" ") + keyword;
    const Hits expected = BruteQuery(keywords, isAnd, indexed, variants);
    const std::u16string text = codexa::writer::Utf32ToUtf16(query);
    const Hits actual = isAnd ? corpus.And(text, variants) : corpus.Or(text, variants);
    ASSERT_EQ(actual, expected) << (isAnd ? "AND " : "OR ") << (variants ? "folded " : "") << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, QueryCrossCheck,
                         ::testing::Combine(::testing::Values(1u, 2u, 3u, 20261210u), ::testing::Bool()));

}  // namespace
