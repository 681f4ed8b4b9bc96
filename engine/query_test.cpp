#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/index_testing.h"
#include "engine/indexformat.h"
#include "writer/openedcorpus_testing.h"

namespace {

using codexa::testing::Hits;
using codexa::testing::OpenedCorpus;

// Test texts are written with letters that stand for characters:
// A B C D E X ideographs (E never occurs in a corpus), a a variant form of A,
// "." U+3002 (no index code), "_" U+3000, "!" U+FF1F, "#" U+FF0A, S U+20000.
char32_t CharacterOf(char letter) {
  switch (letter) {
    case 'A': return U'\u7532';
    case 'B': return U'\u4E59';
    case 'C': return U'\u4E19';
    case 'D': return U'\u4E01';
    case 'E': return U'\u5DF1';
    case 'X': return U'\u620A';
    case 'a': return U'\u5F0C';
    case '.': return U'\u3002';
    case '_': return U'\u3000';
    case '!': return U'\uFF1F';
    case '#': return U'\uFF0A';
    case 'S': return U'\U00020000';
    default: return static_cast<unsigned char>(letter);
  }
}

std::u32string T(std::string_view letters) {
  std::u32string text;
  for (const char letter : letters) text += CharacterOf(letter);
  return text;
}

std::u16string Q(std::string_view letters) { return codexa::writer::Utf32ToUtf16(T(letters)); }

std::string Xs(size_t n) { return std::string(n, 'X'); }

TEST(QueryKeyword, FindsWhatEachKeywordMeans) {
  std::string abcd;
  for (size_t i = 0; i < 400; ++i) abcd += "ABCD"[i % 4];
  const struct {
    const char* what;
    std::vector<std::string> pages;
    std::string keyword;
    Hits expected;
  } cases[] = {
      {"? is exactly one character", {"AXB", "AB", "AXXB", "AXBACB"}, "A?B", {{0, 1}, {3, 2}}},
      {"a trailing ? asks for nothing after", {"AB", "ABX", "XAB"}, "AB?", {{0, 1}, {1, 1}, {2, 1}}},
      {"a leading ? asks for nothing before", {"A", "XA"}, "?A", {{0, 1}, {1, 1}}},
      {"* spans 0 to 300 characters", {"A" + Xs(300) + "B", "A" + Xs(301) + "B", "AB", "BA"}, "A*B", {{0, 1}, {2, 1}}},
      {"** is one *", {"A" + Xs(300) + "B", "A" + Xs(301) + "B", "AB", "BA"}, "A**B", {{0, 1}, {2, 1}}},
      {"leading * has no effect", {"A", "XAXA", "B"}, "**A", {{0, 1}, {1, 2}}},
      {"one leading *", {"A", "XAXA", "B"}, "*A", {{0, 1}, {1, 2}}},
      {"trailing * has no effect", {"XA", "B"}, "A*", {{0, 1}}},
      {"overlapping matches count", {"AAA", "AA", "A"}, "AA", {{0, 2}, {1, 1}}},
      {"repeated pairs count", {"ABAB", "BA"}, "AB", {{0, 2}}},
      {"U+3002 is dropped from keyword and text", {"AB", "A.B", "AXB"}, "A.B", {{0, 1}, {1, 1}}},
      {"U+FF1F acts as ?", {"AXB", "AB"}, "A!B", {{0, 1}}},
      {"U+FF0A is an ordinary character", {"A#B", "AXB", "AB"}, "A#B", {{0, 1}}},
      {"a character beyond U+FFFF is one character", {"XSX", "ASB", "X"}, "A?B", {{1, 1}}},
      {"and can be searched", {"XSX", "ASB", "X"}, "S", {{0, 1}, {1, 1}}},
      {"a keyword of any length", {abcd, "ABCD"}, abcd.substr(0, 350), {{0, 13}}},
      {"each first segment with a completion counts once", {"AAB", "ABB", "A" + Xs(301) + "AB"}, "A*B",
       {{0, 2}, {1, 1}, {2, 1}}},
      {"? before * widens the gap's lower and upper end",
       {"AXB", "AB", "A" + Xs(301) + "B", "A" + Xs(302) + "B"},
       "A?*B",
       {{0, 1}, {2, 1}}},
      {"a too far B does not hide a later one that reaches C", {"AB" + Xs(250) + "B" + Xs(100) + "C"}, "A*B*C",
       {{0, 1}}},
      {"a too far page does not hide the next page", {"A" + Xs(301) + "BC", "ABXBC"}, "A*BC", {{1, 1}}},
      {"the second segment needs its own alignment", {"ABXC", "AXBC", "AB" + Xs(299) + "BC"}, "A*BC", {{1, 1}, {2, 1}}},
  };
  for (const auto& c : cases) {
    std::vector<std::u32string> pages;
    for (const std::string& page : c.pages) pages.push_back(T(page));
    OpenedCorpus corpus(pages);
    EXPECT_EQ(corpus.And(Q(c.keyword)), c.expected) << c.what;
    EXPECT_EQ(corpus.Or(Q(c.keyword)), c.expected) << c.what;
  }
}

class QueryCombination : public ::testing::Test {
 protected:
  OpenedCorpus m_corpus{{T("ABXCD"), T("AB"), T("CD"), T("ABABXCD"), T("X"), T("ABCD")}};
};

TEST_F(QueryCombination, AndOrOrderAndCounts) {
  const struct {
    bool isAnd;
    std::string query;
    Hits expected;
  } cases[] = {
      {true, "AB CD", {{0, 2}, {3, 3}, {5, 2}}},
      {true, "CD AB", {{0, 2}, {3, 3}, {5, 2}}},
      {true, "  AB   CD ", {{0, 2}, {3, 3}, {5, 2}}},
      {false, "CD AB", {{0, 2}, {2, 1}, {3, 3}, {5, 2}, {1, 1}}},
      {false, "AB CD", {{0, 2}, {1, 1}, {3, 3}, {5, 2}, {2, 1}}},
      {false, "AB AB", {{0, 2}, {1, 2}, {3, 4}, {5, 2}}},
      {true, "AB_CD", {{5, 1}}},  // U+3000 handed to SearchAnd separates nothing
      {true, "AB ?*", {}},        // a keyword without terms empties AND
      {true, "?* AB", {}},
      {false, "AB ?*", {{0, 1}, {1, 1}, {3, 2}, {5, 1}}},  // and leaves OR as it was
      {false, "?* AB", {{0, 1}, {1, 1}, {3, 2}, {5, 1}}},
      {true, "AB E", {}},  // E has no list
      {false, "E AB", {{0, 1}, {1, 1}, {3, 2}, {5, 1}}},
      {true, "AB E CD", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.isAnd ? m_corpus.And(Q(c.query)) : m_corpus.Or(Q(c.query)), c.expected)
        << (c.isAnd ? "AND " : "OR ") << c.query;
  }
}

TEST_F(QueryCombination, SpacesOfTheQueryBecomeIdeographicSpaces) {
  std::u16string query = Q(" AB  CD");
  m_corpus.index().SearchAnd(query, false);
  EXPECT_EQ(query, Q("_AB__CD"));
  query = Q("AB CD");
  m_corpus.index().SearchOr(query, false);
  EXPECT_EQ(query, Q("AB_CD"));
}

TEST_F(QueryCombination, RefusedQueryChangesNothing) {
  const Hits before = m_corpus.And(Q("AB"));
  ASSERT_FALSE(before.empty());
  for (const std::u16string& refused : {Q("AB") + u"1", Q("AB ") + u"c", Q("AB") + u"\tCD", std::u16string(),
                                        std::u16string(u"  "), Q("AB ") + std::u16string(1, u'\0')}) {
    std::u16string query = refused;
    m_corpus.index().SearchAnd(query, false);
    EXPECT_EQ(m_corpus.Result(), before);
    m_corpus.index().SearchOr(query, false);
    EXPECT_EQ(m_corpus.Result(), before);
    EXPECT_EQ(query, refused);
  }
}

TEST(QueryCheck, CountsKeywordsOrRefuses) {
  const struct {
    std::u16string query;
    int keywords;
  } cases[] = {
      {u"甲乙 丙丁", 2},
      {u"\u3000甲乙\u3000\u3000丙 ", 2},
      {u"?* *", 2},
      {u"\uFF21\uFF11", 1},  // full-width letter and digit pass
      {u"甲乙1", 0},
      {u"甲a", 0},
      {u"甲\t乙", 0},
      {u"甲\u00FF", 0},
      {u"甲\u0100", 1},
      {u"", 0},
      {u" \u3000 ", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CIndex::CheckQuery(c.query), c.keywords) << c.keywords;
}

TEST(QueryVariants, FoldingFindsEveryMemberOfTheGroup) {
  OpenedCorpus corpus({T("A"), T("a"), T("aA"), T("B")}, {{CharacterOf('a'), CharacterOf('A')}});
  EXPECT_EQ(corpus.And(Q("A"), false), (Hits{{0, 1}, {2, 1}}));
  EXPECT_EQ(corpus.And(Q("A"), true), (Hits{{0, 1}, {1, 1}, {2, 2}}));
  EXPECT_EQ(corpus.And(Q("a"), true), (Hits{{0, 1}, {1, 1}, {2, 2}}));
  EXPECT_EQ(corpus.And(Q("AA"), true), (Hits{{2, 1}}));
  EXPECT_EQ(corpus.And(Q("AA"), false), Hits{});
  EXPECT_EQ(corpus.And(Q("B"), true), (Hits{{3, 1}}));
}

TEST(QueryVariants, GroupsWithoutACodeDoNotFold) {
  // Groups from number 11,935 on have no list: their members keep their own.
  std::vector<std::vector<uint32_t>> groups(kGroupCodeCapacity);
  for (uint32_t n = 0; n < kGroupCodeCapacity; ++n) groups[n] = {0xF0000 + n};
  groups.push_back({CharacterOf('A'), CharacterOf('a')});
  groups.push_back({CharacterOf('B')});
  OpenedCorpus corpus({T("A"), T("a"), T("B")}, groups);
  EXPECT_EQ(corpus.And(Q("A"), true), (Hits{{0, 1}}));
  EXPECT_EQ(corpus.And(Q("a"), true), (Hits{{1, 1}}));
  EXPECT_EQ(corpus.And(Q("B"), true), (Hits{{2, 1}}));
}

TEST(QueryClosedIndex, GivesAnEmptyResult) {
  OpenedCorpus corpus({T("AB")});
  ASSERT_EQ(corpus.And(Q("AB")), (Hits{{0, 1}}));
  corpus.index().Close();
  EXPECT_EQ(corpus.And(Q("AB")), Hits{});
  EXPECT_EQ(corpus.Or(Q("AB A*B")), Hits{});

  CIndex never;
  std::u16string query = Q("AB CD");
  never.SearchOr(query, true);
  EXPECT_TRUE(never.GetPageArray().empty());
  EXPECT_EQ(never.GetResultCount(), 0u);
}

// The engine's count of list bytes, against the lists as the writer made
// them and the page-count lists the table hands out.
TEST(QueryListBytes, CountsTheListsTheSearchRead) {
  std::vector<std::u32string> pages;
  for (int i = 0; i < 300; ++i) pages.push_back(T(i % 3 == 0 ? "ABAB" : "CAD"));
  codexa::writer::TextCorpusWriter writer;
  for (const std::u32string& page : pages) writer.AddPage(page);
  const auto code = [](char letter) { return CharToIndexCode(CharacterOf(letter)); };
  const uint64_t listOfA = writer.lists().at(code('A')).bytes.size();

  OpenedCorpus plain(pages, {}, 1, /*pageCountTable=*/false);
  plain.And(Q("A"));  // one term: its list read to the end
  EXPECT_EQ(CIndexTesting::ListBytesRead(plain.index()), listOfA);
  plain.And(Q("E A"));  // E has no list: the intersection is empty before A
  EXPECT_EQ(CIndexTesting::ListBytesRead(plain.index()), 0u);

  OpenedCorpus table(pages);
  const NgramTable& ngrams = CIndexTesting::NgramTableOf(table.index());
  PageCountList single, pair;
  ASSERT_EQ(ngrams.Single(code('A'), single), NgramTable::Lookup::kFound);
  ASSERT_EQ(ngrams.Pair(code('A'), code('B'), pair), NgramTable::Lookup::kFound);
  table.And(Q("A"));
  EXPECT_EQ(CIndexTesting::ListBytesRead(table.index()), single.size());
  table.Or(Q("A AB"));  // each keyword's page-count list once
  EXPECT_EQ(CIndexTesting::ListBytesRead(table.index()), single.size() + pair.size());
  EXPECT_LT(single.size(), listOfA);

  table.index().Close();
  table.And(Q("A"));
  EXPECT_EQ(CIndexTesting::ListBytesRead(table.index()), 0u);
}

// An AND starts from its rarest keyword and looks for the others only on
// its pages: a keyword on every page then costs a few records, not its list.
TEST(QueryListBytes, AndReadsTheCommonKeywordOnlyOnTheRarePages) {
  // Enough pages that the common keyword's list, however tightly coded,
  // outweighs a few records read on the rare page.
  std::vector<std::u32string> pages(30000, T("ABABCA"));
  pages[15000] = T("XABC");
  OpenedCorpus corpus(pages);
  const auto code = [](char letter) { return CharToIndexCode(CharacterOf(letter)); };
  PageCountList single;
  ASSERT_EQ(CIndexTesting::NgramTableOf(corpus.index()).Single(code('A'), single), NgramTable::Lookup::kFound);
  for (const std::string query : {"A X", "X A", "AB X", "X A?C", "X ABC", "A X A"}) {
    const Hits expected = query.find('C') != std::string::npos || query.find('B') != std::string::npos
                              ? Hits{{15000, 2}}
                              : Hits{{15000, query.size() == 5 ? 3u : 2u}};
    EXPECT_EQ(corpus.And(Q(query)), expected) << query;
    EXPECT_LT(CIndexTesting::ListBytesRead(corpus.index()), single.size() / 4) << query;
  }
}

// A keyword with "?" or "*" that has two characters side by side is matched
// only on the pages that hold that pair, though its characters are on all.
TEST(QueryListBytes, AdjacentCharactersNarrowAnyKeyword) {
  std::vector<std::u32string> pages(30000, T("ACBDCA"));
  pages[15000] = T("ABXCA");
  OpenedCorpus corpus(pages);
  PageCountList single;
  ASSERT_EQ(CIndexTesting::NgramTableOf(corpus.index()).Single(CharToIndexCode(CharacterOf('A')), single),
            NgramTable::Lookup::kFound);
  for (const std::string query : {"AB*C", "A?XC", "AB?C*A", "AB*X*A"}) {
    EXPECT_EQ(corpus.And(Q(query)), (Hits{{15000, 1}})) << query;
    EXPECT_LT(CIndexTesting::ListBytesRead(corpus.index()), single.size() / 4) << query;
  }
}

// Patches the 32-bit value at `offset` of a file in little-endian order.
void Patch32(const codexa::writer::ScratchDir& dir, std::string_view name, size_t offset, uint32_t value) {
  std::string bytes = dir.Read(name);
  ASSERT_LE(offset + 4, bytes.size());
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
  dir.Write(name, bytes);
}

TEST(QueryCorruptIndex, SearchesEndWithoutReadingOutside) {
  static const std::string kHeader = IndexHeaderName();
  // Lists of several blocks, so that chains matter.
  std::vector<std::u32string> pages;
  for (int i = 0; i < 60; ++i) pages.push_back(T("ABXAB" + Xs(i) + "CDAC" + std::string(400, "AB"[i % 2])));
  const uint32_t codeOfA = static_cast<uint32_t>(CharToIndexCode(CharacterOf('A')));
  const struct {
    const char* what;
    std::function<void(const codexa::writer::ScratchDir&)> corrupt;
  } cases[] = {
      {"every block chains to itself",
       [](const codexa::writer::ScratchDir& dir) {
         const size_t blocks = (dir.Read(kHeader).size() - kHeaderTablesSize) / 4;
         for (uint32_t b = 0; b < blocks; ++b) Patch32(dir, kHeader, ChainEntryAt(b), b);
       }},
      {"the posting file is cut short",
       [](const codexa::writer::ScratchDir& dir) {
         const std::string postings = IndexPostingName();
         const std::string bytes = dir.Read(postings);
         dir.Write(postings, bytes.substr(0, bytes.size() / 3 + 17));
       }},
      {"a list starts beyond the posting file",
       [codeOfA](const codexa::writer::ScratchDir& dir) {
         Patch32(dir, kHeader, FirstBlockEntryAt(codeOfA), 0x7FFFFFFF);
       }},
      {"a last page the list never reaches",
       [codeOfA](const codexa::writer::ScratchDir& dir) {
         Patch32(dir, kHeader, LastPageEntryAt(codeOfA), 0xFFFFFFFF);
       }},
  };
  for (const auto& c : cases) {
    OpenedCorpus corpus(pages, {}, 7);
    corpus.index().Close();
    c.corrupt(corpus.dir());
    ASSERT_TRUE(corpus.index().Open(corpus.dir().path(), kCorpusNameUtf16, SearchTarget::kFullText)) << c.what;
    for (const char* query : {"A", "AB", "A?C", "A*C", "A*B*C", "AB CD", "D?A"}) {
      const Hits hits = corpus.And(Q(query));
      for (size_t i = 1; i < hits.size(); ++i) EXPECT_LT(hits[i - 1].first, hits[i].first) << c.what << query;
      corpus.Or(Q(query));
    }
  }
}

}  // namespace
