// Keyword in context: the occurrences of a query on a stored page, each
// with the text on either side of it.
//
// The occurrences are the matches the renderer highlights (the selected
// cell, the runs the display code marks), each keyword's matches on their
// own, as the engine counts each keyword's positions. A context stops
// where the engine's positions stop a match: at any tag of the page (a
// heading, a line break, the start or end of an annotation, the end of the
// cell), so a line never joins two paragraphs, nor main text and an
// annotation, and never shows the other cell's fold column.
#ifndef CODEXA_CORPUS_KWIC_H_
#define CODEXA_CORPUS_KWIC_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/displaycode.h"
#include "corpus/hitmark.h"

// One occurrence, UTF-8: up to the asked number of characters before and
// after it, and the matched text itself ('*' and '?' stretches included,
// tags left out).
struct KwicLine {
  std::string left;
  std::string hit;
  std::string right;
  // The number of the anchor the rendered hit page puts before the match
  // (RenderPatterns numbers them keyword by keyword, each match taking
  // AnchorsPerMatch of them), so that a line opens at its own hit. Where
  // an earlier keyword's marking cut the match, the page has no anchor of
  // its own for it: the line then names the first anchor written inside
  // the match (the mark that cut it), else the last one before it.
  int anchor = 0;

  bool operator==(const KwicLine&) const = default;
};

// The occurrences of `patterns` on the stored page `pageText` named
// `storedName`, in text order (by start, then end), with `context`
// characters of context either side at most.
std::vector<KwicLine> PageOccurrences(std::string_view pageText, std::string_view storedName,
                                      const std::vector<Pattern>& patterns, DisplayCode displayCode,
                                      std::size_t context);

#endif  // CODEXA_CORPUS_KWIC_H_
