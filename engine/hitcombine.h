// Combining one keyword's pages with the result of the keywords before it:
// the intersection of AND and the union of OR.
//
// Every keyword's pages come ascending. An AND result therefore stays
// ascending, and its intersection walks the shorter array and gallops
// through the longer one: a step of 1, 2, 4 ... entries past the pages
// below the one looked for, then halving back, so that a few hundred pages
// cost a few comparisons each against a list of tens of thousands. Arrays
// of like length are merged eight pages at a time with vector instructions
// where the processor has them (engine/vectorintersect.h), otherwise
// intersected through a bitmap of the shorter one's pages, which the longer
// one is tested against entry by entry. An OR
// result is the first keyword's pages followed, keyword by keyword, by the
// pages the earlier keywords did not have; that order is what the user
// sees, so the union keeps it. It is made of ascending runs, one for each
// keyword that added pages, and a page is looked up by galloping through
// each run in turn: no sorted copy is made, and an OR of two keywords,
// the common one, has a single run to look in.
#ifndef CODEXA_ENGINE_HITCOMBINE_H_
#define CODEXA_ENGINE_HITCOMBINE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/hitarrays.h"

// The index of the first of pages[from, end) (ascending) that is not below
// `page`; `end` when there is none.
size_t GallopTo(const std::vector<uint32_t>& pages, size_t from, size_t end, uint32_t page);

// Keeps the entries of `result` whose page `hits` holds, each with the
// hit's count added (saturating at UINT32_MAX). Both strictly ascending, as
// every keyword's pages are.
void IntersectResult(const HitArrays& hits, HitArrays& result);

// Adds each hit to its page's entry of `result`, or appends it after all
// entries when its page has none. `runEnds` holds where each ascending run
// of the result's pages ends, as the calls before left it (empty with the
// result); the pages a call appends make a new run, or lengthen the last
// one when they go on ascending.
void UniteResult(const HitArrays& hits, HitArrays& result, std::vector<size_t>& runEnds);

#endif  // CODEXA_ENGINE_HITCOMBINE_H_
