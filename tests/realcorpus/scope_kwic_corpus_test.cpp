// The whole corpus as a scope and the keyword-in-context lines, checked on
// the default corpus against the engine's own result: the whole-corpus
// scope lists every page of the raw result once, with its count, and
// labels it as its category's scope does; the lines of a page are exactly
// its hits, each read from the page's text.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "base/unicode.h"
#include "corpus/catalogue.h"
#include "corpus/filelistformat.h"
#include "engine/index.h"
#include "session/searchrun.h"

namespace {

namespace fs = std::filesystem;

struct Query {
  std::u16string keyword;
  SearchMode mode;
  bool variants;
};
const Query kQueries[] = {
    {u"床前明月光", SearchMode::kAnd, true}, {u"明月", SearchMode::kAnd, false}, {u"長安 故人", SearchMode::kOr, false},
    {u"白雲", SearchMode::kAnd, true},      {u"之", SearchMode::kAnd, false},
};

class ScopeKwicCorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = CODEXA_DEFAULT_CORPUS;
    if (!fs::exists(m_dir / FileListHeaderName())) GTEST_SKIP() << "no default corpus in " << m_dir;
    ASSERT_TRUE(m_index.Open(m_dir, kCorpusNameUtf16, SearchTarget::kFullText));
    ASSERT_TRUE(m_catalogue.Load(m_dir / kCatalogueFileName, {}));
  }

  fs::path m_dir;
  CIndex m_index;
  CCatalogue m_catalogue;
};

TEST_F(ScopeKwicCorpusTest, WholeCorpusListsTheRawResultLabelledByCategory) {
  for (const Query& q : kQueries) {
    SCOPED_TRACE(static_cast<int>(&q - kQueries));
    CSearchRun run(q.keyword, q.mode, q.variants);
    run.Evaluate(m_index);
    std::map<uint32_t, uint32_t> raw;
    uint64_t rawTotal = 0;
    for (std::size_t i = 0; i < m_index.GetPageArray().size(); ++i) {
      raw[m_index.GetPageArray()[i]] += m_index.GetCountArray()[i];
      rawTotal += m_index.GetCountArray()[i];
    }
    ASSERT_FALSE(raw.empty());
    run.CutToScope(m_index, m_catalogue.Root());
    EXPECT_EQ(run.TotalHits(), rawTotal);
    // The entries are labelled as they are read: kept here to point into.
    const std::vector<SearchNodeTag> entries = run.Entries().Labelled();
    std::map<uint32_t, const SearchNodeTag*> whole;
    for (const SearchNodeTag& e : entries) EXPECT_TRUE(whole.emplace(e.pageNumber, &e).second);
    ASSERT_EQ(whole.size(), raw.size());
    for (const auto& [page, count] : raw) EXPECT_EQ(whole.at(page)->hitCount, count);
    // The three categories together give the same entries, labels included.
    std::size_t inCategories = 0;
    for (const auto& category : m_catalogue.Root().children) {
      CSearchRun part(q.keyword, q.mode, q.variants);
      part.Evaluate(m_index);
      part.CutToScope(m_index, *category);
      inCategories += part.Entries().size();
      for (const SearchNodeTag& e : part.Entries()) {
        const SearchNodeTag& w = *whole.at(e.pageNumber);
        EXPECT_EQ(w.category, e.category);
        EXPECT_EQ(w.title, e.title);
        EXPECT_EQ(w.volume, e.volume);
        EXPECT_EQ(w.fileNumber, e.fileNumber);
      }
    }
    EXPECT_EQ(inCategories, raw.size());
  }
}

TEST_F(ScopeKwicCorpusTest, KwicLinesAreThePagesHitsReadFromItsText) {
  // Keywords without wildcards: the engine counts each match once, and a
  // match never crosses a tag, so the lines of a page are as many.
  for (const Query& q : kQueries) {
    std::u16string keyword = q.keyword;
    if (q.mode == SearchMode::kAnd) {
      m_index.SearchAnd(keyword, q.variants);
    } else {
      m_index.SearchOr(keyword, q.variants);
    }
    const std::vector<uint32_t> pages = m_index.GetPageArray();
    const std::vector<uint32_t> counts = m_index.GetCountArray();
    std::vector<KwicLine> lines;
    for (std::size_t i = 0; i < pages.size() && i < 300; ++i) {
      ASSERT_TRUE(m_index.FindOccurrences(pages[i], keyword, DisplayCode::kFullText, q.variants, 12, lines));
      EXPECT_EQ(lines.size(), counts[i]) << "page " << pages[i];
      std::string text;
      ASSERT_TRUE(m_index.ReadPage(pages[i], text));
      for (const KwicLine& line : lines) {
        EXPECT_NE(text.find(line.left + line.hit + line.right), std::string::npos) << line.hit;
        EXPECT_EQ(line.left.find('<'), std::string::npos);
        EXPECT_EQ(line.right.find('<'), std::string::npos);
      }
    }
  }
}

}  // namespace
