// How a page is set as HTML.
//
// A page is a leaf of a thread-bound book: a wide text column and, beside
// it, the narrow fold column that names the work, the volume and the leaf.
// Pages with an even file number have the text in the first table cell,
// odd ones in the second, because the renderer highlights the first cell of
// even pages and the second of odd ones; the pages of a volume thus
// alternate like facing leaves. The text cell holds the title as a heading
// ("<h4 …>"), then one "<p>" per paragraph; annotation runs stand in the
// annotation font tag. The cells style themselves inline, so that a page
// reads the same in the renderer's fixed frame, which keeps only the title
// and the two cells' contents (the text column's fixed width widens the
// frame's narrow first cell on even pages).
#ifndef CODEXA_TOOLS_BUILD_PAGELAYOUT_H_
#define CODEXA_TOOLS_BUILD_PAGELAYOUT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "tools/build/pagecontent.h"

namespace codexa::build {

// What the fold column names.
struct LeafLabels {
  std::string work;
  std::string volume;
};

// The stored HTML of `page`, the `fileNumber`-th of its volume.
std::string LayOutPage(const PageContent& page, const LeafLabels& labels, int fileNumber);

// A piece (a poem, a chapter) on as few pages as its paragraphs allow, none
// over `budget` characters unless one paragraph alone is longer: pieces
// stay whole where they fit. Pages after the first carry the title with
// their number, e.g. "離騷（二）".
std::vector<PageContent> Paginate(PageContent piece, size_t budget);

// The characters of a page's text: title and all runs.
size_t PageLength(const PageContent& page);

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_PAGELAYOUT_H_
