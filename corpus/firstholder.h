// The first node of a list, in the list's order, whose pages hold a given
// page: the rule by which the catalogue labels a page (the first category,
// work or volume in catalogue order that holds it) and by which the tree's
// hit counts descend. A walk over the nodes answers it in time linear in
// their number; this answers it by a binary search over the runs of pages
// that share one answer, so labelling a result costs the same for a work
// of one volume and for one of nine hundred.
//
// The nodes may overlap, nest, hold nothing or lie in any order, as in a
// damaged catalogue: the answer is always the walk's.
#ifndef CODEXA_CORPUS_FIRSTHOLDER_H_
#define CODEXA_CORPUS_FIRSTHOLDER_H_

#include <cstdint>
#include <span>
#include <vector>

#include "corpus/catalogue.h"

class CFirstHolder {
 public:
  // Pages `first` .. `end` - 1 all have the answer `index`: the position in
  // the list of the first node holding them, -1 for none. 64-bit, so that
  // the run past the last node ends at 2^32.
  struct Run {
    uint64_t first = 0;
    uint64_t end = 0;
    int index = -1;
    bool Covers(uint32_t page) const { return first <= page && page < end; }
  };

  // Holds nothing: every page answers -1.
  CFirstHolder() = default;
  // The runs of `nodes` (ContentsNodeTag::Holds), in time O(n log n).
  explicit CFirstHolder(std::span<const ContentsNodeTag* const> nodes);

  // The run that holds `page`.
  Run Find(uint32_t page) const;

 private:
  // Run i starts at m_starts[i] and ends where run i + 1 starts, the last
  // at 2^32; m_starts[0] is 0. Neighbouring runs differ in their answer.
  std::vector<uint64_t> m_starts{0};
  std::vector<int> m_answers{-1};
};

#endif  // CODEXA_CORPUS_FIRSTHOLDER_H_
