// What a page says, before it is set as HTML: the pieces on it (poems,
// chapters), each a title and paragraphs of main text and annotation runs.
// Every source format is mapped to this.
#ifndef CODEXA_TOOLS_BUILD_PAGECONTENT_H_
#define CODEXA_TOOLS_BUILD_PAGECONTENT_H_

#include <string>
#include <vector>

namespace codexa::build {

// The numbers are the run kinds the renderer uses.
enum class RunKind : int { kMain = 0, kNote = 1 };

// A stretch of plain UTF-8 text (no markup) of one kind.
struct Run {
  RunKind kind = RunKind::kMain;
  std::string text;
};

struct Paragraph {
  std::vector<Run> runs;
};

// One piece, or the part of a long piece that one page holds.
struct PageContent {
  std::string title;
  std::vector<Paragraph> paragraphs;
};

// The pieces of one stored page, in reading order.
using PagePieces = std::vector<PageContent>;

// Paragraph helpers for the source readers.
inline Paragraph MainParagraph(std::string text) { return {{{RunKind::kMain, std::move(text)}}}; }
inline Paragraph NoteParagraph(std::string text) { return {{{RunKind::kNote, std::move(text)}}}; }

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_PAGECONTENT_H_
