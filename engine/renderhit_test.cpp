#include <gtest/gtest.h>

#include "base/unicode.h"
#include "corpus/markup_testing.h"
#include "engine/index.h"
#include "engine/index_testing.h"
#include "engine/indexformat.h"
#include "engine/variantexpand_testing.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using codexa::testing::A;
using codexa::testing::C;
using codexa::testing::kNote;
using codexa::testing::JoinedVariantForms;
using codexa::testing::O;
using codexa::writer::ScratchDir;


std::string Page(const std::string& first) {
  return "<title>詩</title><TD>" + first + "</TD><TD>丙</TD>";
}

// The 40-character keyword and two other spellings of it: every character
// in its other form, and the two forms taking turns.
std::u16string LongKeyword(int spelling) {
  std::u16string keyword;
  for (char16_t i = 0; i < 40; ++i) {
    bool other = spelling == 1 || (spelling == 2 && i % 2 == 1);
    keyword += static_cast<char16_t>((other ? 0x9010 : 0x4E10) + i);
  }
  return keyword;
}

std::string Utf8(std::u16string_view text) {
  std::string bytes;
  Utf16ToUtf8(text, bytes);
  return bytes;
}

const std::string kLongPage = Utf8(LongKeyword(0)) + "、" + Utf8(LongKeyword(1)) + "、" + Utf8(LongKeyword(2)) +
                              "、" + Utf8(LongKeyword(0).substr(0, 39)) + "一";

class RenderHitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    const std::vector<codexa::writer::StoredPage> pages = {
        {"卷\\0002.htm", Page("弌弍一二" + kNote + "一二</font>")},
        {"卷\\0004.htm", Page(kLongPage)},
        {"卷\\0006.htm", Page("一二三四五六七八九十弌弍弎亖")},
    };
    ASSERT_TRUE(codexa::writer::WriteFileList(m_dir.path(), kCorpusName, pages, 100, error)) << error;
    codexa::writer::PostingCollector collector;
    collector.Add(0, 0, 0);
    ASSERT_TRUE(
        codexa::writer::WriteIndex(m_dir.path(), IndexBaseName(SearchTarget::kFullText), collector.Finish(), {}, error))
        << error;
    std::vector<std::vector<uint32_t>> groups = {
        {0x4E00, 0x5F0C}, {0x4E8C, 0x5F0D}, {0x4E09, 0x5F0E}, {0x56DB, 0x4E96}};
    for (uint32_t i = 0; i < 40; ++i) groups.push_back({0x4E10 + i, 0x9010 + i});
    ASSERT_TRUE(codexa::writer::WriteVariantTable(m_dir.path(), groups, error)) << error;
    ASSERT_TRUE(m_index.Open(m_dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
  }

  // What the file list renders for exactly this keyword text.
  std::string RenderedPage(uint32_t page, std::u16string_view keywords, DisplayCode displayCode, int& anchors) {
    std::string output;
    anchors = CIndexTesting::FileListOf(m_index).RenderPage(page, output, keywords, displayCode);
    return output;
  }

  ScratchDir m_dir;
  CIndex m_index;
};

TEST_F(RenderHitTest, WithoutVariantsTheTextGoesThroughUnchanged) {
  for (DisplayCode displayCode : {DisplayCode::kFullText, DisplayCode::kMainText, DisplayCode::kAnnotations}) {
    std::string output;
    int anchors = -1;
    const std::string expected = RenderedPage(0, u"一 二", displayCode, anchors);
    EXPECT_EQ(m_index.RenderHit(0, output, u"一 二", displayCode, false), anchors);
    EXPECT_EQ(output, expected);
  }
}

TEST_F(RenderHitTest, VariantFormsComeInTheirOrder) {
  std::string output;
  // 一二, 一弍, 弌二, 弌弍: the first and the last occur in the main text.
  EXPECT_EQ(m_index.RenderHit(0, output, u"一二", DisplayCode::kMainText, true), 2);
  EXPECT_EQ(output, "<html><head>\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>詩"
                    "</title></head><div align=\"center\"><center><BODY>\t\t<TABLE border=1 cellPadding=0 "
                    "cellSpacing=1 class=wd_gray height=477 width=635 bordercolor=\"#FFCC66\">\t\t<tr>  <TD "
                    "height=477 width=80 vAlign=top align=\"center\" background=\"../Back.gif\">" +
                        A(1) + O + "弌弍" + C + A(0) + O + "一二" + C + kNote +
                        "一二</font></TD>\t\t<TD height=477 width=450 vAlign=top align=\"center\">丙</TD> "
                        "\t\t</tr></table></div></div>\t\t</center></BODY></html>");
}

TEST_F(RenderHitTest, SameAsTheJoinedFormsWhereTheyAreFew) {
  const CVariantTable& table = CIndexTesting::VariantsOf(m_index);
  const std::u16string queries[] = {
      u"一二",            // the four forms of the example
      u"三五",            // 三 has a group, 五 none: two forms
      u"七八",            // no grouped character: one form
      u"一二三四五六\u3000二一三四六五",  // 4,096 joined forms of 13 characters, 128 keywords
      u"一*三 ?二",
  };
  for (const std::u16string& query : queries) {
    for (DisplayCode displayCode : {DisplayCode::kFullText, DisplayCode::kAnnotations}) {
      int anchors = -1;
      const std::string expected = RenderedPage(2, JoinedVariantForms(table, query), displayCode, anchors);
      std::string output;
      EXPECT_EQ(m_index.RenderHit(2, output, query, displayCode, true), anchors) << Utf8(query);
      EXPECT_EQ(output, expected) << Utf8(query);
    }
  }
}

TEST_F(RenderHitTest, LongKeywordMarksEverySpelling) {
  std::string output;
  // 2^40 forms: the keyword is matched with its characters folded.
  EXPECT_EQ(m_index.RenderHit(1, output, LongKeyword(0) + u" 一", DisplayCode::kFullText, true), 4);
  const std::string cell = A(0) + O + Utf8(LongKeyword(0)) + C + "、" + A(1) + O + Utf8(LongKeyword(1)) + C + "、" +
                           A(2) + O + Utf8(LongKeyword(2)) + C + "、" + Utf8(LongKeyword(0).substr(0, 39)) + A(3) +
                           O + "一" + C;
  EXPECT_NE(output.find("<TD height=477 width=80 vAlign=top align=\"center\" background=\"../Back.gif\">" + cell +
                        "</TD>"),
            std::string::npos)
      << output;
}

TEST_F(RenderHitTest, UnreadablePagesAndAClosedIndexRenderNothing) {
  std::string output = "kept";
  EXPECT_EQ(m_index.RenderHit(3, output, LongKeyword(0), DisplayCode::kFullText, true), 0);
  EXPECT_EQ(m_index.RenderHit(3, output, u"一", DisplayCode::kFullText, true), 0);
  m_index.Close();
  EXPECT_EQ(m_index.RenderHit(0, output, u"一", DisplayCode::kFullText, true), 0);
  EXPECT_EQ(m_index.RenderHit(0, output, u"一", DisplayCode::kFullText, false), 0);
  EXPECT_EQ(output, "kept");
}

}  // namespace
