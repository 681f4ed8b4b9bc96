// The page a builder writes, cut the way the renderer cuts it, and the
// positions the index gives its characters.
#include "tools/build/pagelayout.h"

#include <gtest/gtest.h>

#include "corpus/pagesplit.h"
#include "tools/build/indexedtext.h"
#include "tools/build/utf8.h"

namespace codexa::build {
namespace {

PageContent Sample() {
  return {"關雎",
          {NoteParagraph("佚名"),
           {{{RunKind::kMainText, "關關雎鳩，"}, {RunKind::kAnnotation, "（一作X）"}, {RunKind::kMainText, "在河"}}},
           MainParagraph("窈窕<淑>女")}};
}

// The characters of `text` as the scan reports them.
std::string Chars(const std::vector<IndexedChar>& chars, size_t from, size_t count) {
  std::string out;
  for (size_t i = from; i < from + count; ++i) AppendUtf8(chars[i].codePoint, out);
  return out;
}

TEST(PageLayout, TextCellFollowsTheFileNumberParity) {
  for (int fileNumber : {1, 2, 7, 10}) {
    const std::string html = LayOutPage({Sample()}, {"詩經", "周南"}, fileNumber);
    std::vector<HTMLNode> nodes;
    SplitPage(html, nodes);
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].text, "關雎");
    const std::string& text = nodes[fileNumber % 2 == 0 ? 1 : 2].text;
    const std::string& fold = nodes[fileNumber % 2 == 0 ? 2 : 1].text;
    EXPECT_NE(text.find("關關雎鳩"), std::string::npos) << fileNumber;
    EXPECT_NE(fold.find("詩經"), std::string::npos) << fileNumber;
    EXPECT_EQ(fold.find("關關"), std::string::npos) << fileNumber;

    std::vector<FilterItem> runs;
    SplitRuns(text, runs);
    // heading + 佚名 note, main, note, main
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[1].kind, RunKind::kAnnotation);
    EXPECT_EQ(runs[1].text, "佚名");
    EXPECT_EQ(runs[3].text, "（一作Ｘ）");
    EXPECT_NE(runs[4].text.find("窈窕＜淑＞女"), std::string::npos) << "markup characters are shown, not parsed";
  }
}

TEST(PageLayout, IndexHoldsTheSelectedCellWithGapsAtTags) {
  for (int fileNumber : {1, 2}) {
    const std::string name = "a\\b\\c\\" + std::to_string(fileNumber) + ".htm";
    std::vector<IndexedChar> chars;
    ScanIndexedText(LayOutPage({Sample()}, {"詩經", "周南"}, fileNumber), CellSelector(name), chars);
    // 關雎 | 佚名 | 關關雎鳩， | （一作Ｘ） | 在河 | 窈窕＜淑＞女
    ASSERT_EQ(chars.size(), 2u + 2 + 5 + 5 + 2 + 6) << fileNumber;
    EXPECT_EQ(Chars(chars, 0, 4), "關雎佚名");
    EXPECT_EQ(Chars(chars, 4, 5), "關關雎鳩，");
    EXPECT_EQ(Chars(chars, 14, 2), "在河");
    EXPECT_EQ(chars[2].kind, RunKind::kAnnotation);
    EXPECT_EQ(chars[4].kind, RunKind::kMainText);
    EXPECT_EQ(chars[9].kind, RunKind::kAnnotation);
    EXPECT_EQ(chars[14].kind, RunKind::kMainText);
    for (size_t i = 1; i < chars.size(); ++i) {
      const uint32_t step = chars[i].position - chars[i - 1].position;
      // Within a run and paragraph neighbours are adjacent; wherever a tag
      // stands between two characters they lie more than a keyword apart.
      const bool sameStretch = (i >= 5 && i <= 8) || i == 1 || i == 3 || (i >= 10 && i <= 13) || i == 15 ||
                               (i >= 17 && i <= 21);
      if (sameStretch) {
        EXPECT_EQ(step, 1u) << i;
      } else {
        EXPECT_GT(step, 600u) << i;
      }
    }
  }
}

TEST(PageLayout, PiecesOnOnePageStayApart) {
  // The second piece has no title: a line break still keeps it off the
  // first piece's last line.
  const PagePieces pieces = {{"甲", {MainParagraph("春眠不覺曉")}}, {"", {MainParagraph("處處聞啼鳥")}}, {"丙", {}}};
  const std::string html = LayOutPage(pieces, {"書", "卷"}, 2);
  std::vector<HTMLNode> nodes;
  SplitPage(html, nodes);
  EXPECT_EQ(nodes[0].text, "甲　等");
  std::vector<IndexedChar> chars;
  ScanIndexedText(html, 0, chars);
  ASSERT_EQ(chars.size(), 12u);
  EXPECT_EQ(Chars(chars, 0, 12), "甲春眠不覺曉處處聞啼鳥丙");
  for (size_t i : {1, 6, 11}) EXPECT_GT(chars[i].position - chars[i - 1].position, 600u) << i;
  EXPECT_EQ(chars[7].position - chars[6].position, 1u);
}

TEST(PageLayout, CellSelectorFromStoredName) {
  EXPECT_EQ(CellSelector("集部\\御定全唐詩\\卷一\\0001.htm"), 1);
  EXPECT_EQ(CellSelector("集部\\御定全唐詩\\卷一\\0002.htm"), 0);
  EXPECT_EQ(CellSelector("no-number"), 0);
}

TEST(Paginate, PiecesStayWholeWhereTheyFit) {
  PageContent piece{"題", {MainParagraph("一二三四"), MainParagraph("五六七八"), MainParagraph("九十")}};
  EXPECT_EQ(Paginate(piece, 100).size(), 1u);

  const std::vector<PageContent> pages = Paginate(piece, 9);  // title + 4 + 4 fits, the rest goes on
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].title, "題");
  EXPECT_EQ(pages[0].paragraphs.size(), 2u);
  EXPECT_EQ(pages[1].title, "題（二）");
  EXPECT_EQ(pages[1].paragraphs.size(), 1u);

  // A paragraph longer than the budget is not cut.
  const std::vector<PageContent> m_long = Paginate({"", {MainParagraph(std::string(30, 'x'))}}, 5);
  ASSERT_EQ(m_long.size(), 1u);
  EXPECT_EQ(PageLength(m_long[0]), 30u);
}

// Pieces of the given lengths (a one-character title and a paragraph),
// packed with a budget of 10: the titles on each page.
TEST(PagePacker, PiecesGoOnTheCurrentPageWhileTheyFit) {
  struct Case {
    std::vector<std::vector<size_t>> pieces;  // paragraph lengths of each piece
    std::vector<std::string> pages;           // titles per page, joined
  };
  const Case cases[] = {
      {{{2}, {2}, {2}}, {"甲乙丙"}},
      {{{5}, {5}}, {"甲", "乙"}},
      {{{3}, {5}}, {"甲乙"}},  // 4 + 6 fill the budget exactly
      // A long piece starts a page and is cut at its paragraphs; the piece
      // after it joins its last part.
      {{{2}, {4, 4, 4}, {1}}, {"甲", "乙", "乙（二）丙"}},
      // A paragraph alone longer than the budget stays whole.
      {{{30}, {1}}, {"甲", "乙"}},
  };
  const char* titles[] = {"甲", "乙", "丙"};
  for (const Case& c : cases) {
    PagePacker packer(10);
    std::vector<PagePieces> pages;
    for (size_t i = 0; i < c.pieces.size(); ++i) {
      PageContent piece{titles[i], {}};
      for (size_t length : c.pieces[i]) piece.paragraphs.push_back(MainParagraph(std::string(length, 'x')));
      packer.Add(std::move(piece), pages);
    }
    packer.Flush(pages);
    EXPECT_TRUE(packer.empty());
    std::vector<std::string> got;
    for (const PagePieces& page : pages) {
      got.emplace_back();
      for (const PageContent& piece : page) got.back() += piece.title;
    }
    EXPECT_EQ(got, c.pages) << c.pages.back();
  }
}

}  // namespace
}  // namespace codexa::build
