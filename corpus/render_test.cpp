#include "corpus/render.h"

#include <gtest/gtest.h>

#include "corpus/filelist.h"
#include "corpus/filelistformat.h"
#include "corpus/markup_testing.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using codexa::testing::A;
using codexa::testing::C;
using codexa::testing::kNote;
using codexa::testing::kNoteEnd;
using codexa::testing::O;
using codexa::writer::ScratchDir;
using codexa::writer::StoredPage;

// The frame, spelled out here so that a change to it shows.
const std::string kHead =
    "<html><head>\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
const std::string kLeft =
    "</title></head><div align=\"center\"><center><BODY>\t\t<TABLE border=1 cellPadding=0 cellSpacing=1 "
    "class=wd_gray height=477 width=635 bordercolor=\"#FFCC66\">\t\t<tr>  <TD height=477 width=80 vAlign=top "
    "align=\"center\" background=\"../Back.gif\">";
const std::string kMiddle = "</TD>\t\t<TD height=477 width=450 vAlign=top align=\"center\">";
const std::string kTail = "</TD> \t\t</tr></table></div></div>\t\t</center></BODY></html>";

std::string Framed(const std::string& title, const std::string& first, const std::string& second) {
  return kHead + title + kLeft + first + kMiddle + second + kTail;
}

// A stored page of the builder's shape around two cells.
std::string StoredHtml(const std::string& first, const std::string& second) {
  return "<html><head><meta charset=utf-8><title>詩</title></head><body><table><tr><TD class=n>" + first +
         "</TD><TD>" + second + "</TD></tr></table></body></html>";
}

const std::string kFirstCell = "甲乙" + kNote + "甲注" + kNoteEnd + "乙";
const std::string kSecondCell = "甲丙<br>";

class RenderPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    const std::string html = StoredHtml(kFirstCell, kSecondCell);
    const std::vector<StoredPage> pages = {
        {"卷一\\0002.htm", html},  // even: first cell
        {"卷一\\0003.htm", html},  // odd: second cell
        {"卷一\\frontmatter", html},  // no file number: first cell
        {"卷一\\0004.htm", StoredHtml("甲" + kNote + "注甲", "")},  // annotation left open
    };
    ASSERT_TRUE(codexa::writer::WriteFileList(m_dir.path(), kCorpusName, pages, 100, error)) << error;
    ASSERT_TRUE(m_list.Open(m_dir.path(), kCorpusNameUtf16));
  }

  ScratchDir m_dir;
  CFileList m_list;
};

TEST_F(RenderPageTest, KeywordsCellsAndDisplayCodes) {
  // 甲 then 乙 over the whole first cell.
  const std::string kBothKeywords = Framed(
      "詩", A(0) + O + "甲" + C + A(2) + O + "乙" + C + kNote + A(1) + O + "甲" + C + "注" + kNoteEnd + A(3) + O + "乙" + C,
      kSecondCell);
  const struct {
    const char* name;
    uint32_t page;
    std::u16string keywords;
    int displayCode;
    std::string expected;
    int anchors;
  } cases[] = {
      {"repeated keyword applied once; later keywords continue the numbering", 0, u"甲\u3000乙 甲", 0,
       kBothKeywords, 4},
      {"a repeat between keywords does not stop later ones", 0, u"甲 甲 乙", 0, kBothKeywords, 4},
      {"main text only", 0, u"甲", 1,
       Framed("詩", A(0) + O + "甲" + C + "乙" + kNote + "甲注" + kNoteEnd + "乙", kSecondCell), 1},
      {"annotations only", 0, u"甲", 2,
       Framed("詩", "甲乙" + kNote + A(0) + O + "甲" + C + "注" + kNoteEnd + "乙", kSecondCell), 1},
      {"odd file number: the second cell", 1, u"甲", 0, Framed("詩", kFirstCell, A(0) + O + "甲" + C + "丙<br>"), 1},
      {"no file number: the first cell", 2, u"丙", 0, Framed("詩", kFirstCell, kSecondCell), 0},
      {"an open annotation gains its </font>", 3, u"甲", 0,
       Framed("詩", A(0) + O + "甲" + C + kNote + "注" + A(1) + O + "甲" + C + kNoteEnd, ""), 2},
      {"a later keyword nests inside an earlier highlight", 0, u"甲乙　乙", 1,
       Framed("詩", A(0) + O + "甲" + A(1) + O + "乙" + C + C + kNote + "甲注" + kNoteEnd + A(2) + O + "乙" + C,
              kSecondCell),
       3},
      {"no match: the frame around the texts as stored", 0, u"丁", 0, Framed("詩", kFirstCell, kSecondCell), 0},
      {"another display code leaves the cell empty", 0, u"甲", 3, Framed("詩", "", kSecondCell), 0},
  };
  for (const auto& c : cases) {
    std::string output = "previous page";
    EXPECT_EQ(m_list.RenderPage(c.page, output, c.keywords, static_cast<DisplayCode>(c.displayCode)), c.anchors) << c.name;
    EXPECT_EQ(output, c.expected) << c.name;
  }
}

TEST_F(RenderPageTest, NothingToRenderLeavesTheOutputAlone) {
  const struct {
    const char* name;
    uint32_t page;
    std::u16string keywords;
  } cases[] = {
      {"empty keyword text", 0, u""},
      {"separators only", 0, u" \u3000 "},
      {"page beyond the list", 4, u"甲"},
      {"page far beyond the list", 0xFFFFFFFF, u"甲"},
  };
  for (const auto& c : cases) {
    std::string output = "kept";
    EXPECT_EQ(m_list.RenderPage(c.page, output, c.keywords, DisplayCode::kFullText), 0) << c.name;
    EXPECT_EQ(output, "kept") << c.name;
  }
  m_list.Close();
  std::string output = "kept";
  EXPECT_EQ(m_list.RenderPage(0, output, u"甲", DisplayCode::kFullText), 0);
  EXPECT_EQ(output, "kept");
}

TEST_F(RenderPageTest, EntryOutsideTheTextFileRendersNothing) {
  m_list.Close();
  std::string header = m_dir.Read(FileListHeaderName());
  // Page 1's end offset, far past the text file.
  const size_t endField = 268 + 1 * 108 + 100;
  header[endField + 3] = '\x7F';
  m_dir.Write(FileListHeaderName(), header);
  ASSERT_TRUE(m_list.Open(m_dir.path(), kCorpusNameUtf16));
  std::string output = "kept";
  EXPECT_EQ(m_list.RenderPage(1, output, u"甲", DisplayCode::kFullText), 0);
  EXPECT_EQ(output, "kept");
  EXPECT_EQ(m_list.RenderPage(0, output, u"甲", DisplayCode::kFullText), 2);
}

TEST(RenderKeywordTest, RenderingAPassAgainKeepsTheFrame) {
  const std::string page = StoredHtml(kFirstCell, kSecondCell);
  std::string once, twice;
  int counter = 0;
  RenderKeyword(page, once, "乙", 0, DisplayCode::kFullText, counter);
  RenderKeyword(once, twice, "丁", 0, DisplayCode::kFullText, counter);
  EXPECT_EQ(twice, once);
  EXPECT_EQ(counter, 2);
}

// A malformed tag in a note that holds a keyword and a "</title>": were the
// keyword highlighted inside it, the next keyword's pass would read that
// "</title>" as a tag of its own and drop the rest of the cell, anchors
// included.
TEST(RenderPatternsTest, KeywordInsideATagKeepsEveryAnchor) {
  const std::string page = StoredHtml(kNote + "</fon一丁</title>丁<h4>一", "");
  std::string output;
  const int anchors =
      RenderPatterns(page, "卷一\\0002.htm", KeywordPatterns(u"丁 一"), DisplayCode::kFullText, output);
  EXPECT_EQ(anchors, 2);
  EXPECT_NE(output.find(kNote + "</fon一丁</title>" + A(0) + O + "丁" + C + "<h4>" + A(1) + O + "一" + C + kNoteEnd),
            std::string::npos)
      << output;
}

}  // namespace
