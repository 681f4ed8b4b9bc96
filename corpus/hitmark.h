// Finding one keyword in one run of a page cell and writing the run again
// with every match highlighted and preceded by a numbered anchor.
//
// A keyword may hold the wildcards '*' (any stretch within one paragraph)
// and '?' (exactly one three-byte character). It is compiled into literal
// pieces; matching is bytewise on UTF-8. A keyword whose characters stand
// for all their variant forms compiles into folded pieces that accept any
// spelling of each character in a single pass.
#ifndef CODEXA_CORPUS_HITMARK_H_
#define CODEXA_CORPUS_HITMARK_H_

#include <string>
#include <string_view>
#include <vector>

// How a piece is placed relative to the previous one.
enum class PieceKind : int {
  PIECE_AFTER_STAR = 0,   // first piece of a segment after '*'
  PIECE_AFTER_QMARK = 1,  // a piece after one or more '?' inside a segment
  PIECE_FIRST = 2,        // first piece of a keyword that does not begin with '*'
};

// The spellings that one stretch of keyword text accepts: one for plain
// text, one per distinct form for a character whose variants are folded.
// No spelling is a prefix of another (each is one whole UTF-8 character,
// or for plain text the only one).
using Spellings = std::vector<std::string>;

// One literal piece of a compiled keyword.
struct PatternPiece {
  PieceKind kind = PieceKind::PIECE_FIRST;
  // The bytes to find; never empty in a finished pattern. For a folded
  // piece, the first spelling of every stretch.
  std::string bytes;
  // For PieceKind::PIECE_AFTER_QMARK: the number of '?' between this piece and the
  // previous one. Carries no meaning for the other kinds.
  int gap = 0;
  // For a folded piece, its stretches in order; empty when the piece
  // matches `bytes` only.
  std::vector<Spellings> folded;

  bool operator==(const PatternPiece&) const = default;
};

using Pattern = std::vector<PatternPiece>;

// One element of a keyword: a wildcard ('*' or '?') or text with its
// spellings (wildcard 0).
struct KeywordAtom {
  char wildcard = 0;
  Spellings spellings;

  auto operator<=>(const KeywordAtom&) const = default;
};

// The markup that MarkRun adds: highlights, and anchors made of kAnchorHead,
// the anchor's number in at least four digits and kAnchorTail.
inline constexpr std::string_view kHighlightOpen = "<b style='color:red;background:#D9D9D9;'>";
inline constexpr std::string_view kHighlightClose = "</b>";
inline constexpr std::string_view kAnchorHead = "<a name=\"";
inline constexpr std::string_view kAnchorTail = "\"></a>";

// Compiles keyword bytes. Empty segments (two '*' in a row, a leading or
// trailing '*') add nothing, '?' at either end of a segment is dropped, and
// a keyword made only of wildcards yields an empty pattern.
Pattern CompilePattern(std::string_view keyword);
// The same rules over a keyword given as atoms.
Pattern CompileAtoms(const std::vector<KeywordAtom>& atoms);

// Returns `run` with every match of `keyword` marked; `counter` numbers
// the anchors ("<a name="0000"></a>" and so on) and is advanced by one per
// anchor written. Matches never overlap and the search goes on behind
// each; a run without matches, or an empty pattern, comes back unchanged.
std::string MarkRun(std::string_view run, std::string_view keyword, int& counter);
// The same with a compiled pattern; appends to `out`.
void MarkRun(std::string_view run, const Pattern& pattern, int& counter, std::string& out);

// One match in a run: bytes [begin, end), from its first piece to its last,
// the stretches of '*' and '?' between them included.
struct MatchSpan {
  size_t begin = 0;
  size_t end = 0;
};

// Appends the matches MarkRun would mark in `run`, in order, one span per
// match (MarkRun highlights each piece on its own).
void FindMatches(std::string_view run, const Pattern& pattern, std::vector<MatchSpan>& spans);

// The anchors MarkRun writes for each match of `pattern`: one per piece
// and one per '?' stretch between pieces. A match's first anchor is
// therefore not its number among the matches once the keyword holds '?'
// or '*', and whoever steps from anchor to anchor must count this way.
int AnchorsPerMatch(const Pattern& pattern);

#endif  // CODEXA_CORPUS_HITMARK_H_
