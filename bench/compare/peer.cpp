#include "bench/compare/peer.h"

namespace compare {

Summary Summarize(const std::vector<PageHits>& pages) {
  Summary summary;
  summary.pages = pages.size();
  for (const PageHits& page : pages) {
    if (page.hits == kUnknownHits) return {pages.size(), kUnknownHits};
    summary.hits = (summary.hits == kUnknownHits ? 0 : summary.hits) + page.hits;
  }
  if (pages.empty()) summary.hits = 0;
  return summary;
}

}  // namespace compare
