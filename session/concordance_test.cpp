// The concordance on a small corpus written with the writer: rows in list
// order, lines read lazily, and the two context orders.
#include "session/concordance.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/unicode.h"
#include "corpus/filelistformat.h"
#include "engine/codeconverter.h"
#include "session/export.h"
#include "session/searchrun.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using codexa::writer::PostingCollector;

// Two pages of one volume, files 2 and 3 (the first cell holds the text
// of file 2, the second that of file 3).
const std::u16string kTexts[] = {u"丙學甲丁學", u"甲學乙"};

class ConcordanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    std::vector<codexa::writer::StoredPage> stored;
    PostingCollector postings;
    for (uint32_t p = 0; p < std::size(kTexts); ++p) {
      std::string text;
      Utf16ToUtf8(kTexts[p], text);
      const std::string cells = p == 0 ? "<TD>" + text + "</TD><TD></TD>" : "<TD></TD><TD>" + text + "</TD>";
      stored.push_back({"經部\\論語\\卷一\\000" + std::to_string(p + 2) + ".htm",
                        "<html><head><title>論語</title></head><body><table><tr>" + cells + "</tr></table></body></html>"});
      for (uint32_t i = 0; i < kTexts[p].size(); ++i) postings.Add(CharToIndexCode(kTexts[p][i]), p, i);
    }
    ASSERT_TRUE(codexa::writer::WriteFileList(m_dir.path(), kCorpusName, stored, 100, error)) << error;
    ASSERT_TRUE(codexa::writer::WriteIndex(m_dir.path(), kCorpusName, postings.Finish(), {}, error)) << error;
    ASSERT_TRUE(codexa::writer::WriteVariantTable(m_dir.path(), {}, error)) << error;
    ASSERT_TRUE(codexa::writer::WriteCatalogue(
        m_dir.path(), {{u"經部", 1, 1, 2, 2}, {u"論語", 2, 1, 2, 2}, {u"卷一", 3, 1, 2, 2}}, error))
        << error;
    ASSERT_TRUE(m_index.Open(m_dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
    ASSERT_TRUE(m_catalogue.Load(m_dir / kCatalogueFileName, {}));
  }

  CConcordance Concordance(std::u16string keyword) {
    CSearchRun run(std::move(keyword), SearchMode::kAnd, false);
    EXPECT_EQ(run.Run(m_index, &m_catalogue.Root()), SearchStatus::kDone);
    return CConcordance(run.Entries().Labelled(), run.Keyword(), DisplayCode::kFullText, false, 2);
  }

  std::vector<KwicLine> Lines(CConcordance& concordance) {
    std::vector<KwicLine> lines;
    for (std::size_t row = 0; row < concordance.RowCount(); ++row) lines.push_back(concordance.Line(m_index, row));
    return lines;
  }

  codexa::writer::ScratchDir m_dir;
  CIndex m_index;
  CCatalogue m_catalogue;
};

TEST_F(ConcordanceTest, RowsInListOrderAndSortedByEitherContext) {
  CConcordance concordance = Concordance(u"學");
  ASSERT_EQ(concordance.RowCount(), 3u);
  const KwicLine first{"丙", "學", "甲丁"}, second{"甲丁", "學", "", 1}, third{"甲", "學", "乙"};
  EXPECT_EQ(Lines(concordance), (std::vector<KwicLine>{first, second, third}));
  EXPECT_EQ(concordance.Entry(2).fileNumber, 3);
  EXPECT_EQ(concordance.Line(m_index, 1).anchor, 1);
  // Before the hit, read from the hit outwards: 丁甲 < 丙 < 甲.
  concordance.Sort(m_index, ConcordanceOrder::kLeftContext);
  EXPECT_EQ(Lines(concordance), (std::vector<KwicLine>{second, first, third}));
  EXPECT_EQ(concordance.Line(m_index, 0).anchor, 1);
  // After the hit: "" < 乙 < 甲丁.
  concordance.Sort(m_index, ConcordanceOrder::kRightContext);
  EXPECT_EQ(Lines(concordance), (std::vector<KwicLine>{second, third, first}));
  EXPECT_EQ(concordance.Entry(1).pageNumber, 1u);
  concordance.Sort(m_index, ConcordanceOrder::kList);
  EXPECT_EQ(Lines(concordance), (std::vector<KwicLine>{first, second, third}));
}

TEST_F(ConcordanceTest, AStoppedSortKeepsTheOrderShown) {
  CConcordance concordance = Concordance(u"學");
  concordance.Sort(m_index, ConcordanceOrder::kRightContext);
  const std::vector<KwicLine> shown = Lines(concordance);
  std::vector<std::size_t> reported;
  const auto stopAtTheEnd = [&reported](std::size_t done, std::size_t total) {
    reported.push_back(done);
    return done < total;
  };
  EXPECT_FALSE(concordance.Sort(m_index, ConcordanceOrder::kLeftContext, stopAtTheEnd));
  EXPECT_EQ(Lines(concordance), shown);
  // Every page is read before the last report, which may still stop it.
  EXPECT_EQ(reported, (std::vector<std::size_t>{0, 2}));
  EXPECT_FALSE(concordance.Sort(m_index, ConcordanceOrder::kList, [](std::size_t, std::size_t) { return false; }));
  EXPECT_EQ(Lines(concordance), shown);
  EXPECT_TRUE(concordance.Sort(m_index, ConcordanceOrder::kList, [](std::size_t, std::size_t) { return true; }));
  EXPECT_NE(Lines(concordance), shown);
}

TEST_F(ConcordanceTest, EmptyResultAndUnreadablePages) {
  EXPECT_EQ(Concordance(u"戊").RowCount(), 0u);
  // A page the engine cannot read keeps its rows, with empty lines.
  CConcordance concordance({SearchNodeTag{u"經部", u"論語", u"卷一", 99, 2, 2}}, u"學", DisplayCode::kFullText,
                           false, 2);
  ASSERT_EQ(concordance.RowCount(), 2u);
  EXPECT_EQ(concordance.Line(m_index, 1), KwicLine{});
}

TEST_F(ConcordanceTest, ExportWritesEveryRowInItsOrderAndCanBeStopped) {
  CConcordance concordance = Concordance(u"學");
  concordance.Sort(m_index, ConcordanceOrder::kRightContext);
  std::ostringstream out;
  std::vector<std::size_t> reported;
  EXPECT_TRUE(ExportConcordance(m_index, concordance, ExportFormat::kTsv, out, [&](std::size_t done, std::size_t total) {
    EXPECT_EQ(total, 3u);
    reported.push_back(done);
    return true;
  }));
  EXPECT_EQ(out.str(),
            "類別\t書名\t巻\t頁\t前文脈\t用例\t後文脈\n"
            "經部\t論語\t卷一\t2\t甲丁\t學\t\n"
            "經部\t論語\t卷一\t3\t甲\t學\t乙\n"
            "經部\t論語\t卷一\t2\t丙\t學\t甲丁\n");
  EXPECT_EQ(reported, (std::vector<std::size_t>{0, 3}));
  std::ostringstream stopped;
  EXPECT_FALSE(ExportConcordance(m_index, concordance, ExportFormat::kCsv, stopped,
                                 [](std::size_t, std::size_t) { return false; }));
  EXPECT_EQ(stopped.str(), "類別,書名,巻,頁,前文脈,用例,後文脈\r\n");
}

}  // namespace
