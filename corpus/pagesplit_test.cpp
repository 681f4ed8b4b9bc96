#include "corpus/pagesplit.h"

#include <gtest/gtest.h>

void PrintTo(const FilterItem& item, std::ostream* os) { *os << "{" << static_cast<int>(item.kind) << ", \"" << item.text << "\"}"; }

namespace {

struct PageCase {
  const char* name;
  std::string page;
  std::string title, first, second;
};

TEST(SplitPageTest, CutsTitleAndTwoCells) {
  const PageCase cases[] = {
      {"plain", "<title>T</title><tr><TD>A</TD><TD>B</TD></tr>", "T", "A", "B"},
      {"lower-case cells are ordinary tags", "<title>T</title><td>A</td><td>B</td>", "T", "", ""},
      {"tags inside a cell stay", "<title>T</title><TD width=1>x<br>y</TD><TD>B</TD>", "T", "x<br>y", "B"},
      {"head, meta and text between cells dropped",
       "<html><head><meta charset=utf-8>junk<title lang=zh>T</title>mid<TD>A</TD>between<TD>B</TD>after",
       "T", "A", "B"},
      {"only the first title counts; a later </title> starts over before the cells",
       "<title>T</title><TD>A</TD><title>U</title><TD>B</TD>", "T", "AB", ""},
      {"a TD inside a cell is dropped, its first /TD ends the cell",
       "<title>T</title><TD>a<TD>b</TD>c</TD><TD>B</TD>", "T", "ab", "B"},
      {"</title> must be the whole tag", "<title>T</title x><TD>A</TD>", "T</title x>A", "", ""},
      {"no title: cells are never reached", "<TD>A</TD><TD>B</TD>", "", "", ""},
      {"a '>' outside a tag is text, a second '<' belongs to the tag",
       "<title>a>b</title><TD>x<y<z>w</TD><TD></TD>", "a>b", "x<y<z>w", ""},
      {"a tag open at the end is dropped", "<title>T</title><TD>A<b", "T", "A", ""},
      {"empty page", "", "", "", ""},
  };
  for (const PageCase& c : cases) {
    std::vector<HTMLNode> nodes;
    SplitPage(c.page, nodes);
    ASSERT_EQ(nodes.size(), 3u) << c.name;
    EXPECT_EQ(nodes[0].text, c.title) << c.name;
    EXPECT_EQ(nodes[1].text, c.first) << c.name;
    EXPECT_EQ(nodes[2].text, c.second) << c.name;
  }
}

TEST(SplitPageTest, AppendsToTheCallersList) {
  std::vector<HTMLNode> nodes(1);
  SplitPage("<title>T</title>", nodes);
  ASSERT_EQ(nodes.size(), 4u);
  EXPECT_EQ(nodes[1].text, "T");
}

struct RunsCase {
  const char* name;
  std::string cell;
  std::vector<FilterItem> runs;
};

TEST(SplitRunsTest, SeparatesMainTextAndAnnotations) {
  const std::string open = "<font size=-1 color=\"#993366\">";
  constexpr RunKind M = RunKind::kMainText, A = RunKind::kAnnotation;
  const RunsCase cases[] = {
      {"annotation between main text", "a" + open + "n</font>b", {{"a", M}, {"n", A}, {"b", M}}},
      {"cell beginning with an annotation", open + "n</font>b", {{"", M}, {"n", A}, {"b", M}}},
      {"</font> in main text stays", "a</font>b", {{"a</font>b", M}}},
      {"extra attribute: an ordinary tag", "a<font size=-1 color=\"#993366\" x>n</font>",
       {{"a<font size=-1 color=\"#993366\" x>n</font>", M}}},
      {"other spacing: an ordinary tag", "a<font size=-1  color=\"#993366\">n", {{"a<font size=-1  color=\"#993366\">n", M}}},
      {"upper case: an ordinary tag", "a<FONT size=-1 color=\"#993366\">n", {{"a<FONT size=-1 color=\"#993366\">n", M}}},
      {"annotation without </font> runs to the end", "a" + open + "n<br>m", {{"a", M}, {"n<br>m", A}}},
      {"annotations do not nest", open + "x" + open + "y</font>z</font>",
       {{"", M}, {"x", A}, {"y", A}, {"z</font>", M}}},
      {"empty runs are kept", open + "</font>", {{"", M}, {"", A}, {"", M}}},
      {"no annotations", "plain<br>text", {{"plain<br>text", M}}},
      {"empty cell", "", {{"", M}}},
  };
  for (const RunsCase& c : cases) {
    std::vector<FilterItem> runs;
    SplitRuns(c.cell, runs);
    EXPECT_EQ(runs, c.runs) << c.name;
  }
}

}  // namespace
