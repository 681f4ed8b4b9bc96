#include "engine/skiptable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/codeconverter.h"
#include "engine/index_testing.h"
#include "engine/indexformat.h"
#include "engine/postingcursor.h"
#include "writer/openedcorpus_testing.h"

namespace {

using codexa::testing::Hits;
using codexa::testing::OpenedCorpus;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

uint32_t Read32(const std::string& bytes, size_t at) {
  return LoadLE32(reinterpret_cast<const uint8_t*>(bytes.data() + at));
}

void Write32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Pages of a small alphabet, so that every character's list runs to
// thousands of records; a few pages skip a character.
std::vector<std::u32string> Pages(uint32_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::u32string> pages;
  const std::u32string alphabet = U"天地玄黃宇宙洪荒";
  for (uint32_t p = 0; p < count; ++p) {
    std::u32string page;
    const size_t length = 1 + random() % 40;
    for (size_t i = 0; i < length; ++i) page += alphabet[random() % (p % 7 == 0 ? 4 : alphabet.size())];
    pages.push_back(page);
  }
  return pages;
}

// How a walk uses the skip table.
enum class Jumps {
  kNone,       // reads every record
  kSearched,   // SkipToward searches the table
  kPlanned,    // SkipToward is given the entries LastEntriesBelow found
  kMisplanned  // ... given the entry for the target after, or none
};

// A cursor on the list of one character of an opened corpus, with or
// without the list's skip table (taken from a header that may be altered).
class ListFixture {
 public:
  ListFixture(OpenedCorpus& corpus, char32_t character) : m_corpus(corpus), m_nCode(CharToIndexCode(character)) {
    m_strHeader = ReadFile(corpus.dir().path() / IndexHeaderName());
    m_strPostings = ReadFile(corpus.dir().path() / IndexPostingName());
    EXPECT_TRUE(CIndexTesting::ListOf(corpus.index(), m_nCode, m_nFirst, m_nLast));
  }

  std::string& postings() { return m_strPostings; }
  uint32_t lastPage() const { return m_nLast; }
  uint32_t Location() const { return Read32(m_strHeader, SideLocationEntryAt(m_nCode)); }

  // The page and the number of positions of the record the cursor reaches
  // for each target in turn (UINT32_MAX once the list is complete).
  std::vector<std::pair<uint32_t, uint32_t>> Walk(const std::vector<uint32_t>& targets, Jumps jumps) {
    SkipTable table = Table(jumps != Jumps::kNone);
    std::vector<uint32_t> planned(targets.size());
    table.LastEntriesBelow(targets.data(), targets.size(), planned.data());
    if (jumps == Jumps::kMisplanned) {
      planned.erase(planned.begin());
      planned.push_back(SkipTable::kNoEntry);
    }
    CPostingCursor cursor;
    cursor.Start(m_source, m_nFirst, m_nLast, table);
    std::vector<std::pair<uint32_t, uint32_t>> reached;
    for (size_t k = 0; k < targets.size(); ++k) {
      const uint32_t target = targets[k];
      if (cursor.page() < target) {
        jumps >= Jumps::kPlanned ? cursor.SkipToward(target, planned[k]) : cursor.SkipToward(target);
      }
      bool complete = false;
      while (cursor.page() < target && !complete) {
        complete = cursor.AtEnd() || !cursor.SkipRestOfPage() || !cursor.NextRecordHeader();
      }
      if (complete) {
        reached.emplace_back(UINT32_MAX, 0);
        break;
      }
      reached.emplace_back(cursor.page(), cursor.remaining());
    }
    return reached;
  }

  // The list's skip table in the postings as they are now (empty without
  // `open`).
  SkipTable Table(bool open) {
    m_source = CIndexTesting::PostingSourceOf(m_corpus.index());
    m_source.data = reinterpret_cast<const uint8_t*>(m_strPostings.data());
    m_source.size = m_strPostings.size();
    SkipTable table;
    if (open) {
      const uint16_t format =
          LoadLE16(reinterpret_cast<const uint8_t*>(m_strHeader.data() + SideFormatEntryAt(m_nCode)));
      table.Open(m_source.data, m_source.size, format, Location(), m_nCode);
    }
    return table;
  }

 private:
  OpenedCorpus& m_corpus;
  int32_t m_nCode;
  std::string m_strHeader, m_strPostings;
  uint32_t m_nFirst = 0, m_nLast = 0;
  PostingSource m_source;
};

std::vector<uint32_t> Targets(uint32_t lastPage, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint32_t> targets{0, 1, 31, 32, 33, 64};
  for (uint32_t t = 65; t < lastPage; t += 1 + random() % 150) targets.push_back(t);
  targets.insert(targets.end(), {lastPage, lastPage + 1});
  return targets;
}

TEST(SkipTableTest, JumpsReachTheRecordsThatReadingOnReaches) {
  for (const uint32_t seed : {1u, 2u, 3u}) {
    OpenedCorpus corpus(Pages(3000, seed), {}, seed);
    for (const char32_t character : {U'天', U'荒'}) {
      ListFixture list(corpus, character);
      ASSERT_NE(list.Location(), 0u) << "the writer gave a long list no skip table";
      for (const uint32_t walk : {1u, 2u}) {
        const std::vector<uint32_t> targets = Targets(list.lastPage(), seed * 10 + walk);
        const auto plain = list.Walk(targets, Jumps::kNone);
        for (const Jumps jumps : {Jumps::kSearched, Jumps::kPlanned, Jumps::kMisplanned}) {
          EXPECT_EQ(list.Walk(targets, jumps), plain) << "seed " << seed << ", jumps " << static_cast<int>(jumps);
        }
      }
    }
  }
}

TEST(SkipTableTest, DamagedTableIsReadPlainly) {
  OpenedCorpus corpus(Pages(3000, 7), {}, 7);
  ListFixture list(corpus, U'天');
  const size_t table = size_t{list.Location()} * kSkipAlign;
  const size_t entry = table + kSkipHeaderSize + 3 * kSkipEntrySize;  // the fourth entry
  // The first target makes a fresh cursor jump to the damaged entry.
  std::vector<uint32_t> targets{Read32(list.postings(), entry) + 1};
  for (const uint32_t target : Targets(list.lastPage(), 5)) {
    if (target > targets.front()) targets.push_back(target);
  }
  const auto plain = list.Walk(targets, Jumps::kNone);
  const struct {
    const char* what;
    size_t at;
    uint32_t value;
  } damages[] = {
      {"magic", table, 0},
      {"code", table + 4, 12345},
      {"count past the file", table + 8, 0x7FFFFFFF},
      {"interval", table + 12, 5},
      {"page going back", entry, 0},
      {"page at the list's end", entry, list.lastPage()},
      {"block past the file", entry + 8, 0x00FFFFFF},
  };
  const std::string intact = list.postings();
  for (const auto& damage : damages) {
    list.postings() = intact;
    Write32(list.postings(), damage.at, damage.value);
    for (const Jumps jumps : {Jumps::kSearched, Jumps::kPlanned, Jumps::kMisplanned}) {
      EXPECT_EQ(list.Walk(targets, jumps), plain) << damage.what << ", jumps " << static_cast<int>(jumps);
    }
  }
}

TEST(SkipTableTest, LastEntriesBelowFindsWhatAScanFinds) {
  OpenedCorpus corpus(Pages(3000, 3), {}, 3);
  ListFixture list(corpus, U'地');
  const SkipTable table = list.Table(true);
  ASSERT_GT(table.size(), 4u);
  std::vector<uint32_t> targets = Targets(list.lastPage(), 9);
  for (uint32_t i = 0; i < table.size(); ++i) {
    targets.push_back(table.PageBefore(i));
    targets.push_back(table.PageBefore(i) + 1);
  }
  std::vector<uint32_t> found(targets.size());
  table.LastEntriesBelow(targets.data(), targets.size(), found.data());
  for (size_t k = 0; k < targets.size(); ++k) {
    uint32_t expected = SkipTable::kNoEntry;
    for (uint32_t i = 0; i < table.size() && table.PageBefore(i) < targets[k]; ++i) expected = i;
    EXPECT_EQ(found[k], expected) << "target " << targets[k];
  }
  // An empty table has no entry for any target.
  SkipTable().LastEntriesBelow(targets.data(), targets.size(), found.data());
  EXPECT_EQ(found[0], SkipTable::kNoEntry);
  EXPECT_EQ(found.back(), SkipTable::kNoEntry);
}

TEST(SkipTableTest, QueriesAgreeWithAndWithoutSkipTables) {
  const std::vector<std::vector<uint32_t>> groups = {{U'天', U'宙'}};
  OpenedCorpus corpus(Pages(4000, 11), groups, 11);
  const std::u16string queries[] = {u"天地", u"荒天地", u"天?玄", u"天*荒", u"黃*宇*洪", u"天地 洪荒", u"玄黃宇宙洪"};
  std::vector<Hits> withSkip;
  for (const auto& query : queries) {
    withSkip.push_back(corpus.And(query));
    withSkip.push_back(corpus.And(query, true));
  }
  withSkip.push_back(corpus.Or(u"天地 洪荒"));

  // The same files with both tables zeroed: a plain index.
  const auto headerPath = corpus.dir().path() / IndexHeaderName();
  std::string header = ReadFile(headerPath);
  std::fill(header.begin() + kSideFormatTableAt, header.begin() + kLastPageTableAt, '\0');
  WriteFile(headerPath, header);
  corpus.index().Close();
  ASSERT_TRUE(corpus.index().Open(corpus.dir().path(), kCorpusNameUtf16, SearchTarget::kFullText));
  size_t i = 0;
  for (const auto& query : queries) {
    EXPECT_EQ(corpus.And(query), withSkip[i++]);
    EXPECT_EQ(corpus.And(query, true), withSkip[i++]);
    EXPECT_FALSE(withSkip[i - 2].empty());
  }
  EXPECT_EQ(corpus.Or(u"天地 洪荒"), withSkip[i]);
}

}  // namespace
