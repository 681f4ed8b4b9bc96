// What a page says, before it is set as HTML: the pieces on it (poems,
// chapters), each a title and paragraphs of main text and annotation runs.
// Every source format is mapped to this.
#ifndef CODEXA_TOOLS_BUILD_PAGECONTENT_H_
#define CODEXA_TOOLS_BUILD_PAGECONTENT_H_

#include <string>
#include <vector>

#include "corpus/pagesplit.h"

namespace codexa::build {

// A stretch of plain UTF-8 text (no markup) of one kind.
struct Run {
  RunKind kind = RunKind::kMainText;
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
inline Paragraph MainParagraph(std::string text) { return {{{RunKind::kMainText, std::move(text)}}}; }
inline Paragraph NoteParagraph(std::string text) { return {{{RunKind::kAnnotation, std::move(text)}}}; }

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_PAGECONTENT_H_
