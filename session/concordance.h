// The concordance of a search result: every occurrence of the keywords on
// the listed pages, one row each, in list order. Rows are worked out page
// by page as they are asked for, so the first screen of a result of
// hundreds of thousands of occurrences costs a screen's worth of pages.
//
// A page has as many rows as the engine counted hits on it. Lines are read
// from the page as it opens (CIndex::FindOccurrences); for a keyword
// without wildcards the two agree, and a row the page gives no line for
// shows its labels with empty contexts rather than vanish, so the row
// count never has to wait for every page.
#ifndef CODEXA_SESSION_CONCORDANCE_H_
#define CODEXA_SESSION_CONCORDANCE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "corpus/catalogue.h"
#include "corpus/kwic.h"
#include "engine/index.h"

// Orders of the rows: as listed, by the text before the hit read backwards
// from the hit, or by the text after it.
enum class ConcordanceOrder { kList, kLeftContext, kRightContext };

// Called now and then with the pages read and the pages in all while the
// rows are sorted; answers false to stop, leaving the order as it was. The
// last call, with every page read, comes just before the rows change: a
// view learns there that they are about to.
using SortProgress = std::function<bool(std::size_t done, std::size_t total)>;

class CConcordance {
 public:
  // The result's entries in list order, and how their hits were found.
  CConcordance(std::vector<SearchNodeTag> entries, std::u16string keyword, DisplayCode displayCode, bool variants,
               std::size_t context);

  std::size_t RowCount() const { return m_order.size(); }
  // The entry of row `row` and its line; `index` reads the page when it is
  // not in the cache yet.
  const SearchNodeTag& Entry(std::size_t row) const;
  // Its `anchor` is where the row's hit page opens.
  KwicLine Line(CIndex& index, std::size_t row);

  // Puts the rows in `order`; the context orders read every page, which
  // for a frequent keyword over the whole corpus takes seconds. False when
  // `progress` stopped it; the rows then keep the order they had.
  bool Sort(CIndex& index, ConcordanceOrder order, const SortProgress& progress = {});

 private:
  // Row r of the list order: entry and hit on the page.
  std::size_t EntryOfListRow(std::size_t listRow) const;
  const std::vector<KwicLine>& LinesOf(CIndex& index, std::size_t entry);

  std::vector<SearchNodeTag> m_entries;
  std::u16string m_strKeyword;
  DisplayCode m_nDisplayCode;
  bool m_bVariants;
  std::size_t m_nContext;
  std::vector<std::size_t> m_firstRow;  // per entry, then the row count
  std::vector<std::size_t> m_order;     // shown row -> list row
  std::map<std::size_t, std::vector<KwicLine>> m_linesOfEntry;  // the pages read
};

#endif  // CODEXA_SESSION_CONCORDANCE_H_
