#include "corpus/kwic.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "corpus/markup_testing.h"
#include "corpus/render.h"

namespace {

using codexa::testing::kNote;
using codexa::testing::kNoteEnd;

// A stored page of the builder's shape; the fold column in the other cell
// holds the keywords too, and must never show.
std::string StoredHtml(const std::string& first, const std::string& second) {
  return "<html><head><title>詩</title></head><body><table><tr><TD>" + first + "</TD><TD>" + second +
         "</TD></tr></table></body></html>";
}

std::vector<KwicLine> Lines(const std::string& cell, std::u16string_view keywords, std::size_t context,
                            DisplayCode display = DisplayCode::kFullText) {
  return PageOccurrences(StoredHtml(cell, "明月光卷一"), "卷一\\0002.htm", KeywordPatterns(keywords), display,
                         context);
}

TEST(KwicTest, OccurrencesWithContextsCutAtTags) {
  struct Case {
    const char* what;
    std::string cell;
    std::u16string keywords;
    std::size_t context;
    std::vector<KwicLine> lines;
  };
  const std::string note = "甲乙" + kNote + "甲注" + kNoteEnd + "乙";
  const Case cases[] = {
      {"context either side", "<h4>靜夜思</h4>床前明月光<br>疑是地上霜", u"明月", 2, {{"床前", "明月", "光"}}},
      {"a line break ends both contexts",
       "床前明月光<br>疑是地上霜",
       u"光 疑",
       5,
       {{"床前明月", "光", ""}, {"", "疑", "是地上霜", 1}}},
      {"a heading ends them too", "<h4>靜夜思</h4>床前", u"思 床", 5, {{"靜夜", "思", ""}, {"", "床", "前", 1}}},
      {"neighbouring hits stay in each other's context",
       "月明月",
       u"月",
       3,
       {{"", "月", "明月"}, {"月明", "月", "", 1}}},
      {"an annotation is a paragraph of its own", note, u"甲", 9, {{"", "甲", "乙"}, {"", "甲", "注", 1}}},
      {"'*' match is one occurrence", "白日依山盡黃河入海流", u"日*河", 1, {{"白", "日依山盡黃河", "入"}}},
      {"'?' match is one occurrence", "明朗月光", u"明?月", 1, {{"", "明朗月", "光"}}},
      {"each keyword's matches count, in text order; 月光's mark cuts 明月",
       "明月光",
       u"月光 明月",
       1,
       {{"", "明月", "光", 0}, {"明", "月光", "", 0}}},
      {"no context asked", "床前明月光", u"明", 0, {{"", "明", ""}}},
      {"no hit in the selected cell", "無", u"明月", 3, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Lines(c.cell, c.keywords, c.context), c.lines);
  }
}

TEST(KwicTest, DisplayCodeAndCellChooseTheRuns) {
  const std::string cell = "甲乙" + kNote + "甲注" + kNoteEnd;
  EXPECT_EQ(Lines(cell, u"甲", 1, DisplayCode::kMainText), (std::vector<KwicLine>{{"", "甲", "乙"}}));
  EXPECT_EQ(Lines(cell, u"甲", 1, DisplayCode::kAnnotations), (std::vector<KwicLine>{{"", "甲", "注"}}));
  // An odd file number selects the second cell.
  EXPECT_EQ(PageOccurrences(StoredHtml(cell, "丙甲"), "卷一\\0003.htm", KeywordPatterns(u"甲"),
                            DisplayCode::kFullText, 1),
            (std::vector<KwicLine>{{"丙", "甲", ""}}));
}

TEST(KwicTest, AsManyOccurrencesAsTheRendererAnchorsForPlainKeywords) {
  const std::string cell = "<h4>月夜</h4>明月光<br>月" + kNote + "月注" + kNoteEnd + "明月";
  for (std::u16string keywords : {u"月", u"明月", u"夜 光", u"注"}) {
    const std::string page = StoredHtml(cell, "");
    std::string rendered;
    const int anchors =
        RenderPatterns(page, "卷一\\0002.htm", KeywordPatterns(keywords), DisplayCode::kFullText, rendered);
    EXPECT_EQ(static_cast<int>(Lines(cell, keywords, 2).size()), anchors);
  }
}

// A line's anchor is the one the rendered page writes just before the
// match's first piece, with wildcards and several keywords too.
TEST(KwicTest, EveryLineNamesTheAnchorBeforeItsHit) {
  const std::string cell = "明朗月光明月<br>白日依山盡黃河" + kNote + "明夜月" + kNoteEnd + "明明月月";
  const std::u16string queries[] = {u"明?月", u"明??月", u"日*河", u"光 明?月", u"明 日*黃?", u"?明"};
  for (std::size_t query = 0; query < std::size(queries); ++query) {
    SCOPED_TRACE(query);
    const std::u16string& keywords = queries[query];
    const std::string page = StoredHtml(cell, "");
    std::string rendered;
    const int anchors =
        RenderPatterns(page, "卷一\\0002.htm", KeywordPatterns(keywords), DisplayCode::kFullText, rendered);
    std::set<int> named;
    for (const KwicLine& line : Lines(cell, keywords, 2)) {
      EXPECT_TRUE(named.insert(line.anchor).second) << line.hit;
      ASSERT_LT(line.anchor, anchors) << line.hit;
      char name[32];
      std::snprintf(name, sizeof name, "<a name=\"%04d\"></a>", line.anchor);
      const std::string firstChar = line.hit.substr(0, 3);
      EXPECT_NE(rendered.find(name + std::string(kHighlightOpen) + firstChar), std::string::npos) << line.hit;
    }
    EXPECT_FALSE(named.empty());
  }
}

// Where an earlier keyword's mark cuts a later keyword's match, the page
// writes no anchor for that match and numbers the later keyword's next
// matches lower: each line still names an anchor the page writes, inside
// its hit where there is one.
TEST(KwicTest, LinesCutByAnotherKeywordOpenAtAnchorsThePageWrites) {
  struct Case {
    std::string cell;
    std::u16string keywords;
    std::vector<int> anchors;  // of the lines, in text order
  };
  const Case cases[] = {
      // 月 takes anchors 0 and 1; 明月 is cut at 4 and opens at 月's 1.
      {"明朗月光明月", u"月 明月", {0, 1, 1}},
      // 明月光 is cut by 月 (anchor 0); 明朗光 writes 1 to 3, not 4 to 6.
      {"明月光，明朗光", u"月 明?光", {0, 0, 1}},
      // The cut 明月 has no anchor inside it and opens at 朗明's before it;
      // the note's 明月 is whole and writes 1, not 2.
      {"朗明月" + kNote + "明月" + kNoteEnd, u"朗明 明月", {0, 0, 1}},
      // No overlap: counted as before.
      {"明朗光，清月", u"月 明?光", {1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    std::string rendered;
    const int written = RenderPatterns(StoredHtml(c.cell, ""), "卷一\\0002.htm", KeywordPatterns(c.keywords),
                                       DisplayCode::kFullText, rendered);
    std::vector<int> anchors;
    for (const KwicLine& line : Lines(c.cell, c.keywords, 2)) {
      anchors.push_back(line.anchor);
      EXPECT_LT(line.anchor, written) << line.hit;
    }
    EXPECT_EQ(anchors, c.anchors);
  }
}

TEST(KwicTest, UnclosedTagsAndEmptyPagesEndCleanly) {
  EXPECT_TRUE(PageOccurrences("", "", KeywordPatterns(u"明"), DisplayCode::kFullText, 3).empty());
  // The unclosed tag runs into the next cell; its text stays out of the line.
  const std::vector<KwicLine> lines = Lines("甲明<b", u"明", 2);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), (KwicLine{"甲", "明", ""}));
  EXPECT_TRUE(Lines("甲明", u"明", 2, static_cast<DisplayCode>(7)).empty());
}

}  // namespace
