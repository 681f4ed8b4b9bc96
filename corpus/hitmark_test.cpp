#include "corpus/hitmark.h"

#include <gtest/gtest.h>

#include "corpus/markup_testing.h"

namespace {

using codexa::testing::A;
using codexa::testing::C;
using codexa::testing::O;

TEST(MarkRunTest, WorkedExampleWithLiteralBytes) {
  // Keyword A?C over x A b C y, the counter at 5.
  int counter = 5;
  EXPECT_EQ(MarkRun("x甲丁丙y", "甲?丙", counter),
            "x<a name=\"0005\"></a><b style='color:red;background:#D9D9D9;'>甲</b>"
            "<b style='color:red;background:#D9D9D9;'><a name=\"0006\"></a>丁</b>"
            "<a name=\"0007\"></a><b style='color:red;background:#D9D9D9;'>丙</b>y");
  EXPECT_EQ(counter, 8);
}

struct MarkCase {
  const char* name;
  std::string keyword;
  std::string run;
  int counterBefore;
  std::string expected;
  int counterAfter;
};

TEST(MarkRunTest, MatchesAndMarks) {
  const std::string a0 = A(0), a1 = A(1), a2 = A(2), a3 = A(3);
  const MarkCase cases[] = {
      {"AB in ABAB: two matches", "甲乙", "甲乙甲乙", 3, A(3) + O + "甲乙" + C + A(4) + O + "甲乙" + C, 5},
      {"AA in AAA: the third stays plain", "甲甲", "甲甲甲", 0, a0 + O + "甲甲" + C + "甲", 1},
      {"?A as A", "?甲", "x甲y甲", 0, "x" + a0 + O + "甲" + C + "y" + a1 + O + "甲" + C, 2},
      {"A? as A", "甲?", "x甲y甲", 0, "x" + a0 + O + "甲" + C + "y" + a1 + O + "甲" + C, 2},
      {"A?? as A", "甲??", "x甲y甲", 0, "x" + a0 + O + "甲" + C + "y" + a1 + O + "甲" + C, 2},
      {"*A as A, a paragraph before it only delays", "*甲", "<p>甲<h4>甲", 0,
       "<p>" + a0 + O + "甲" + C + "<h4>" + a1 + O + "甲" + C, 2},
      {"A*B in one paragraph: the gap stays plain", "甲*乙", "甲丁<br>乙", 0,
       a0 + O + "甲" + C + "丁<br>" + a1 + O + "乙" + C, 2},
      {"A*B across <p>, then in one paragraph", "甲*乙", "甲<p>乙甲丁乙", 0,
       "甲<p>乙" + a0 + O + "甲" + C + "丁" + a1 + O + "乙" + C, 2},
      {"A*B across <h4>", "甲*乙", "甲<h4>乙", 0, "甲<h4>乙", 0},
      {"A*?B as A*B", "甲*?乙", "甲丁乙", 0, a0 + O + "甲" + C + "丁" + a1 + O + "乙" + C, 2},
      {"A?B with a one-byte character between", "甲?乙", "甲x乙", 0, "甲x乙", 0},
      {"A??B: the stretch is six bytes", "甲??乙", "甲丁丁乙", 0,
       a0 + O + "甲" + C + O + a1 + "丁丁" + C + a2 + O + "乙" + C, 3},
      {"'?' stretch past the end", "甲?乙", "甲丁", 0, "甲丁", 0},
      {"no match: unchanged, counter untouched", "丙", "甲乙", 7, "甲乙", 7},
      {"empty run", "甲", "", 0, "", 0},
      // A failed attempt does not swallow a later match.
      {"A?B*C over A X A M B C", "甲?乙*丙", "甲戊甲丁乙丙", 0,
       "甲戊" + a0 + O + "甲" + C + O + a1 + "丁" + C + a2 + O + "乙" + C + a3 + O + "丙" + C, 4},
      {"A*B*C over A <p> A B C", "甲*乙*丙", "甲<p>甲乙丙", 0,
       "甲<p>" + a0 + O + "甲" + C + a1 + O + "乙" + C + a2 + O + "丙" + C, 3},
      {"'?' misplaced: the next attempt may start inside this one", "甲甲?乙", "甲甲甲丁乙", 0,
       "甲" + a0 + O + "甲甲" + C + O + a1 + "丁" + C + a2 + O + "乙" + C, 3},
      // Text inside a tag is markup, never a match: highlighting there would
      // split the tag.
      {"inside a tag: unmarked, the text after it marked", "丁", "</x丁</title>丁", 0,
       "</x丁</title>" + a0 + O + "丁" + C, 1},
      {"piece reaching into a tag", "丁<", "丁<p>", 0, "丁<p>", 0},
      {"A*B: the B inside a tag is passed over", "甲*乙", "甲<b乙>乙", 0,
       a0 + O + "甲" + C + "<b乙>" + a1 + O + "乙" + C, 2},
      // Keywords without text leave the run as it is, and the loop ends.
      {"only wildcards", "*?*", "甲乙", 0, "甲乙", 0},
      {"empty keyword", "", "甲乙", 0, "甲乙", 0},
      // Anchors from 10,000 on are written whole.
      {"five-digit anchors", "甲", "甲甲", 9999,
       "<a name=\"9999\"></a>" + O + "甲" + C + "<a name=\"10000\"></a>" + O + "甲" + C, 10001},
  };
  for (const MarkCase& c : cases) {
    int counter = c.counterBefore;
    EXPECT_EQ(MarkRun(c.run, c.keyword, counter), c.expected) << c.name;
    EXPECT_EQ(counter, c.counterAfter) << c.name;
  }
}

struct CompileCase {
  std::string keyword;
  Pattern pattern;
};

PatternPiece Piece(PieceKind kind, std::string bytes, int gap) { return PatternPiece{kind, std::move(bytes), gap, {}}; }

TEST(CompilePatternTest, PiecesKindsAndGaps) {
  const CompileCase cases[] = {
      {"甲", {Piece(PieceKind::PIECE_FIRST, "甲", 1)}},
      {"甲乙?丙*丁", {Piece(PieceKind::PIECE_FIRST, "甲乙", 1), Piece(PieceKind::PIECE_AFTER_QMARK, "丙", 1), Piece(PieceKind::PIECE_AFTER_STAR, "丁", 1)}},
      {"甲??丙", {Piece(PieceKind::PIECE_FIRST, "甲", 1), Piece(PieceKind::PIECE_AFTER_QMARK, "丙", 2)}},
      {"?甲", {Piece(PieceKind::PIECE_FIRST, "甲", 2)}},
      {"甲?", {Piece(PieceKind::PIECE_FIRST, "甲", 1)}},
      {"*甲", {Piece(PieceKind::PIECE_AFTER_STAR, "甲", 1)}},
      {"甲**乙*", {Piece(PieceKind::PIECE_FIRST, "甲", 1), Piece(PieceKind::PIECE_AFTER_STAR, "乙", 1)}},
      {"甲*?乙", {Piece(PieceKind::PIECE_FIRST, "甲", 1), Piece(PieceKind::PIECE_AFTER_STAR, "乙", 2)}},
      {"甲*??*乙", {Piece(PieceKind::PIECE_FIRST, "甲", 1), Piece(PieceKind::PIECE_AFTER_STAR, "乙", 1)}},
      {"*?*", {}},
      {"", {}},
  };
  for (const CompileCase& c : cases) EXPECT_EQ(CompilePattern(c.keyword), c.pattern) << c.keyword;
}

KeywordAtom Text(Spellings spellings) { return KeywordAtom{0, std::move(spellings)}; }
KeywordAtom Wild(char wildcard) { return KeywordAtom{wildcard, {}}; }

TEST(CompileAtomsTest, FoldedStretchesKeepPlainTextTogether) {
  Pattern pattern = CompileAtoms({Text({"一", "弌"}), Text({"乙"}), Text({"丙"}), Wild('?'), Text({"丁"})});
  ASSERT_EQ(pattern.size(), 2u);
  EXPECT_EQ(pattern[0].bytes, "一乙丙");
  EXPECT_EQ(pattern[0].folded, (std::vector<Spellings>{{"一", "弌"}, {"乙丙"}}));
  // A piece without a character of several forms is plain text.
  EXPECT_EQ(pattern[1], Piece(PieceKind::PIECE_AFTER_QMARK, "丁", 1));
}

TEST(MarkRunTest, FoldedPatternMarksEveryForm) {
  const Pattern pattern = CompileAtoms({Text({"一", "弌"}), Text({"二", "弍", "𠀀"})});
  const struct {
    const char* name;
    std::string run;
    std::string expected;
  } cases[] = {
      {"each combination", "x一弍y弌二z", "x" + A(0) + O + "一弍" + C + "y" + A(1) + O + "弌二" + C + "z"},
      {"a four-byte form", "弌𠀀", A(0) + O + "弌𠀀" + C},
      {"a failed candidate before a good one", "一一弍", "一" + A(0) + O + "一弍" + C},
      {"no form", "一三弌", "一三弌"},
  };
  for (const auto& c : cases) {
    int counter = 0;
    std::string out;
    MarkRun(c.run, pattern, counter, out);
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(MarkRunTest, FoldedPatternWithWildcards) {
  const Pattern pattern = CompileAtoms({Text({"一", "弌"}), Wild('?'), Text({"二"}), Wild('*'), Text({"三", "弎"})});
  int counter = 0;
  std::string out;
  MarkRun("弌丁二<p>三弌丁二戊弎", pattern, counter, out);
  EXPECT_EQ(out, "弌丁二<p>三" + A(0) + O + "弌" + C + O + A(1) + "丁" + C + A(2) + O + "二" + C + "戊" + A(3) + O +
                     "弎" + C);
  EXPECT_EQ(counter, 4);
}

}  // namespace
