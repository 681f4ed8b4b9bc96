// How pages are filled and set as HTML.
//
// A page is a leaf of a thread-bound book: a wide text column and, beside
// it, the narrow fold column that names the work, the volume and the leaf.
// Pages with an even file number have the text in the first table cell,
// odd ones in the second, because the renderer highlights the first cell of
// even pages and the second of odd ones; the pages of a volume thus
// alternate like facing leaves.
//
// A leaf holds consecutive pieces of one volume up to kPageBudget
// characters (titles and runs). Some 600 characters fill the 430-pixel
// text column with a few screens of verse, like the leaves of a printed
// anthology, and keep a hit page quick to render and to scan by eye; they
// are also the page size the engine's benchmark is measured with. A piece
// that does not fit beside those already on a leaf starts the next one; a
// piece longer than the budget is cut at its paragraphs (see Paginate).
//
// The markup is small because most of a page is repeated: the text cell is
// one styled "<div>" holding, per piece, the title as "<h4>" and its
// paragraphs separated by "<br>", annotation runs in the annotation font
// tag; the fold cell is one styled "<div>". The renderer keeps only the
// title and the two cells' contents, so the styles sit inline, once per
// cell; the table and body attributes only dress the stored page (the
// contents view). Every tag is a barrier to keyword matches (indexedtext.h),
// so headings, line breaks and annotations all keep keywords apart.
#ifndef CODEXA_TOOLS_BUILD_PAGELAYOUT_H_
#define CODEXA_TOOLS_BUILD_PAGELAYOUT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "tools/build/pagecontent.h"

namespace codexa::build {

// Characters a page holds before the next piece goes on a new page.
inline constexpr size_t kPageBudget = 600;

// What the fold column names.
struct LeafLabels {
  std::string work;
  std::string volume;
};

// The stored HTML of a page holding `pieces`, the `fileNumber`-th page of
// its volume.
std::string LayOutPage(const PagePieces& pieces, const LeafLabels& labels, int fileNumber);

// A piece (a poem, a chapter) on as few pages as its paragraphs allow, none
// over `budget` characters unless one paragraph alone is longer. Pages
// after the first carry the title with their number, e.g. "離騷（二）".
std::vector<PageContent> Paginate(PageContent piece, size_t budget);

// The characters of a piece's text: title and all runs.
size_t PageLength(const PageContent& piece);

// Fills the pages of one volume: pieces go on the current page while they
// fit the budget, and a full page is handed out to the caller.
class PagePacker {
 public:
  explicit PagePacker(size_t budget) : m_nBudget(budget) {}

  // Adds `piece`; appends to `full` the pages that it completes.
  void Add(PageContent piece, std::vector<PagePieces>& full);
  // Appends the page being filled, if any, to `full`.
  void Flush(std::vector<PagePieces>& full);

  bool empty() const { return m_page.empty(); }

 private:
  void Place(PageContent part, size_t length, std::vector<PagePieces>& full);

  size_t m_nBudget;
  PagePieces m_page;
  size_t m_nUsed = 0;
};

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_PAGELAYOUT_H_
