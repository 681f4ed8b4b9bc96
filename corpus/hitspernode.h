// Hits per work: how many hit pages of a result each node of the contents
// tree holds, for the counts the tree shows after a search.
#ifndef CODEXA_CORPUS_HITSPERNODE_H_
#define CODEXA_CORPUS_HITSPERNODE_H_

#include <cstdint>
#include <span>
#include <vector>

#include "corpus/catalogue.h"

// The number of pages of `pages` under each record, by record index
// (NodeCount() slots; slot 0 unused). A page counts for the first category
// in catalogue order that holds it, the first of its works that holds it
// and the first of that work's volumes, as a scope labels it; so the
// categories' counts add up to the pages that lie in some category. Pages
// in ascending order are counted fastest: the way down is found once for
// each run of pages that share it.
std::vector<uint32_t> HitPagesPerRecord(const CCatalogue& catalogue, std::span<const uint32_t> pages);

#endif  // CODEXA_CORPUS_HITSPERNODE_H_
