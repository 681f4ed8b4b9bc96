// Which characters of a stored page the index holds, and at which positions.
//
// The renderer highlights keywords in one cell of a page only: the first
// cell when the file number of the page's stored name is even (or absent),
// the second when it is odd; inside the cell it matches each run (main text,
// or an annotation inside the annotation font tag) on its own. So the index
// holds exactly that cell, read the way the renderer cuts it:
//
//   * every character of the cell's text (the bytes outside tags, decoded as
//     UTF-8) takes the next position, counted from 0, whether or not it has
//     an index code: punctuation and spaces take a position, so a keyword
//     matches only characters that really stand side by side;
//   * every tag advances the position by kTagGap without taking one itself.
//     The gap is wider than any keyword can reach (298 characters plus a
//     "*" gap of 300), so nothing matches across a tag: not across a
//     paragraph, nor from main text into an annotation, which the renderer
//     could not highlight either.
//
// Main-text characters go to the "_content" index, annotation characters to
// "_desc", both to the full-text index, all with the same positions.
#ifndef CODEXA_TOOLS_BUILD_INDEXEDTEXT_H_
#define CODEXA_TOOLS_BUILD_INDEXEDTEXT_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/build/pagecontent.h"

namespace codexa::build {

constexpr uint32_t kTagGap = 1000;

struct IndexedChar {
  uint32_t codePoint;
  uint32_t position;
  RunKind kind;
};

// The cell the renderer highlights for a page stored under `storedName`:
// 0 for the first cell, 1 for the second.
int CellSelector(std::string_view storedName);

// Replaces `out` with the characters of the selected cell of `html`, in
// text order. Positions ascend; the last one is the page's highest.
void ScanIndexedText(std::string_view html, int selector, std::vector<IndexedChar>& out);

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_INDEXEDTEXT_H_
