// The search run on a small corpus written with the writer: the early ends
// and their order, AND and OR, variant folding, the cut to the scope and
// the tally.
#include "corpus/filelistformat.h"
#include "session/searchrun.h"

#include <gtest/gtest.h>

#include "base/unicode.h"
#include "engine/codeconverter.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

namespace fs = std::filesystem;
using codexa::writer::CatalogueRecord;
using codexa::writer::PostingCollector;

struct Page {
  std::string name;
  std::u16string text;
};

// 經部 (1) > 論語 (2) > 卷一 (3: pages 0-1), 卷二 (4: page 2);
// 集部 (5) > 楚辭 (6) > 卷一 (7: page 3). Variant group 學/学.
const Page kPages[] = {
    {"經部\\論語\\卷一\\0001.htm", u"學而時習之"},
    {"經部\\論語\\卷一\\0002.htm", u"学而不思"},
    {"經部\\論語\\卷二\\0001.htm", u"時習"},
    {"集部\\楚辭\\卷一\\0001.htm", u"學習學"},
};
const std::vector<CatalogueRecord> kCatalogue = {
    {u"經部", 1, 1, 3, 1}, {u"論語", 2, 1, 3, 1}, {u"卷一", 3, 1, 2, 1}, {u"卷二", 3, 3, 1, 1},
    {u"集部", 1, 4, 1, 1}, {u"楚辭", 2, 4, 1, 1}, {u"卷一", 3, 4, 1, 1},
};
const std::vector<std::vector<uint32_t>> kGroups = {{0x5B78, 0x5B66}};  // 學 学

class SearchRunTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    m_pDir = new codexa::writer::ScratchDir;
    std::string error;
    std::vector<codexa::writer::StoredPage> stored;
    PostingCollector postings;
    for (uint32_t p = 0; p < std::size(kPages); ++p) {
      std::string text;
      Utf16ToUtf8(kPages[p].text, text);
      stored.push_back({kPages[p].name, "<html><body><table><tr><TD>" + text + "</TD></tr></table></body></html>"});
      for (uint32_t i = 0; i < kPages[p].text.size(); ++i) {
        const char16_t unit = kPages[p].text[i];
        postings.Add(CharToIndexCode(unit), p, i);
        if (unit == kGroups[0][0] || unit == kGroups[0][1]) postings.Add(kFirstGroupCode, p, i);
      }
    }
    ASSERT_TRUE(codexa::writer::WriteFileList(m_pDir->path(), kCorpusName, stored, 100, error)) << error;
    ASSERT_TRUE(codexa::writer::WriteIndex(m_pDir->path(), kCorpusName, postings.Finish(), {}, error)) << error;
    ASSERT_TRUE(codexa::writer::WriteVariantTable(m_pDir->path(), kGroups, error)) << error;
    ASSERT_TRUE(codexa::writer::WriteCatalogue(m_pDir->path(), kCatalogue, error)) << error;
  }
  static void TearDownTestSuite() { delete m_pDir; }
  void SetUp() override {
    ASSERT_TRUE(m_index.Open(m_pDir->path(), kCorpusNameUtf16, SearchTarget::kFullText));
    std::ostringstream diagnostics;
    ASSERT_TRUE(m_catalogue.Load(m_pDir->path() / "zemo.dir", {}, diagnostics));
  }

  static std::vector<uint32_t> PagesOf(const CSearchRun& run) {
    std::vector<uint32_t> pages;
    for (const SearchNodeTag& entry : run.Entries()) pages.push_back(entry.pageNumber);
    return pages;
  }

  static codexa::writer::ScratchDir* m_pDir;
  CIndex m_index;
  CCatalogue m_catalogue;
};
codexa::writer::ScratchDir* SearchRunTest::m_pDir = nullptr;

struct RunCase {
  const char* name;
  std::u16string text;  // as typed
  SearchMode mode;
  bool variants;
  int scope;  // a record; 0 and records without a node give no scope
  SearchStatus status;
  std::vector<uint32_t> pages;
  uint64_t hits;
};

TEST_F(SearchRunTest, Runs) {
  const RunCase cases[] = {
      {"one keyword, variants folded", u"學", SearchMode::kAnd, true, 1, SearchStatus::kDone, {0, 1}, 2},
      {"variants apart", u"學", SearchMode::kAnd, false, 1, SearchStatus::kDone, {0}, 1},
      {"cut to another category", u"學", SearchMode::kAnd, true, 5, SearchStatus::kDone, {3}, 2},
      {"cut to a volume", u"習", SearchMode::kAnd, true, 4, SearchStatus::kDone, {2}, 1},
      {"and, ideographic space", u"時　習", SearchMode::kAnd, true, 1, SearchStatus::kDone, {0, 2}, 4},
      {"or", u"思 之", SearchMode::kOr, true, 1, SearchStatus::kDone, {0, 1}, 2},
      {"and: no page has both", u"思 之", SearchMode::kAnd, true, 1, SearchStatus::kDone, {}, 0},
      {"nothing in scope", u"思", SearchMode::kAnd, true, 5, SearchStatus::kDone, {}, 0},
      {"empty", u"", SearchMode::kAnd, true, 1, SearchStatus::kBlankKeyword, {}, 0},
      {"only spaces", u"　 　", SearchMode::kOr, true, 1, SearchStatus::kBlankKeyword, {}, 0},
      {"latin letters", u"學abc", SearchMode::kAnd, true, 1, SearchStatus::kRefusedKeyword, {}, 0},
      {"digits", u"12", SearchMode::kAnd, true, 1, SearchStatus::kRefusedKeyword, {}, 0},
      // The scope comes first: a blank keyword without one is a missing scope.
      {"no scope before a blank keyword", u"", SearchMode::kAnd, true, 0, SearchStatus::kNoScope, {}, 0},
      {"record beyond the catalogue", u"學", SearchMode::kAnd, true, 99, SearchStatus::kNoScope, {}, 0},
      {"negative record", u"學", SearchMode::kAnd, true, -1, SearchStatus::kNoScope, {}, 0},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    CSearchRun run(KeywordOfText(c.text), c.mode, c.variants);
    EXPECT_EQ(run.Run(m_index, m_catalogue.FindNodeByRecord(c.scope)), c.status);
    EXPECT_EQ(PagesOf(run), c.pages);
    EXPECT_EQ(run.TotalHits(), c.hits);
    uint64_t sum = 0;
    for (const SearchNodeTag& entry : run.Entries()) sum += entry.hitCount;
    EXPECT_EQ(sum, c.hits);
    EXPECT_EQ(run.Mode(), c.mode);
    EXPECT_EQ(run.Variants(), c.variants);
  }
}

// An early end leaves the engine's result as the last search left it.
TEST_F(SearchRunTest, EarlyEndsLeaveTheEngineAlone) {
  CSearchRun first(u"學", SearchMode::kAnd, true);
  ASSERT_EQ(first.Run(m_index, m_catalogue.FindNodeByRecord(1)), SearchStatus::kDone);
  const std::vector<uint32_t> pages = m_index.GetPageArray();
  ASSERT_FALSE(pages.empty());
  for (const char16_t* text : {u" ", u"學a"}) {
    CSearchRun run(text, SearchMode::kOr, true);
    EXPECT_NE(run.Run(m_index, m_catalogue.FindNodeByRecord(1)), SearchStatus::kDone);
    EXPECT_EQ(m_index.GetPageArray(), pages);
  }
  CSearchRun noScope(u"思", SearchMode::kAnd, true);
  EXPECT_EQ(noScope.Run(m_index, nullptr), SearchStatus::kNoScope);
  EXPECT_EQ(m_index.GetPageArray(), pages);
}

// The steps by themselves, in codexa-search's order: the keyword before
// the engine, the scope after it.
TEST_F(SearchRunTest, StepsAndTheEnginesSpelling) {
  CSearchRun run(KeywordOfText(u"時 習"), SearchMode::kAnd, true);
  ASSERT_EQ(run.Check(), SearchStatus::kDone);
  run.Evaluate(m_index);
  EXPECT_EQ(m_index.GetPageArray(), (std::vector<uint32_t>{0, 2}));
  // Hits are opened with the engine's spelling of the keyword.
  EXPECT_EQ(run.Keyword(), u"時\u3000習");
  run.CutToScope(m_index, *m_catalogue.FindNodeByRecord(4));
  EXPECT_EQ(PagesOf(run), (std::vector<uint32_t>{2}));
  EXPECT_EQ(run.Tally(), "全部で 1 頁で、2 箇所でした。");
  run.CutToScope(m_index, *m_catalogue.FindNodeByRecord(5));
  EXPECT_EQ(run.Tally(), "全部で 0 頁で、0 箇所でした。");
}

TEST(SearchRunText, KeywordChecksAndMessages) {
  const std::pair<std::u16string, SearchStatus> checks[] = {
      {u"", SearchStatus::kBlankKeyword},       {u"   ", SearchStatus::kBlankKeyword},
      {u"\u3000", SearchStatus::kRefusedKeyword},  // not read through KeywordOfText: not a plain space
      {u"學 ? *", SearchStatus::kDone},         {u"學\t", SearchStatus::kRefusedKeyword},
      {u"é", SearchStatus::kRefusedKeyword},    {u"學\u3000習", SearchStatus::kDone},
  };
  for (const auto& [keyword, status] : checks) EXPECT_EQ(CheckKeyword(keyword), status);
  EXPECT_EQ(KeywordOfText(u"\u3000學\u3000 習"), u" 學  習");
  EXPECT_TRUE(HoldsNoKeyword(KeywordOfText(u"\u3000 ")));
  EXPECT_FALSE(HoldsNoKeyword(u"\u3000"));

  EXPECT_EQ(MessageOf(SearchStatus::kDone), nullptr);
  EXPECT_STREQ(MessageOf(SearchStatus::kNoScope), "検索範囲をまた指定していません。");
  EXPECT_STREQ(MessageOf(SearchStatus::kBlankKeyword), "何かキーワードを入力して検索をして下さい。");
  EXPECT_STREQ(MessageOf(SearchStatus::kRefusedKeyword), "キーワードに使えない文字が含まれています。");
  EXPECT_EQ(TallyText(250, 1234567890123), "全部で 250 頁で、1234567890123 箇所でした。");
}

}  // namespace
