// The shape every search result must have, whatever the files held: pages
// and counts of equal length, each page once, every count above zero, and
// pages ascending where the search keeps page order.
#ifndef CODEXA_FUZZ_SOUNDRESULT_H_
#define CODEXA_FUZZ_SOUNDRESULT_H_

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "engine/index.h"
#include "fuzz/require.h"

namespace codexa::fuzz {

inline void RequireSoundResult(const CIndex& index, bool ascending) {
  const std::vector<uint32_t>& pages = index.GetPageArray();
  const std::vector<uint32_t>& counts = index.GetCountArray();
  FUZZ_REQUIRE(pages.size() == counts.size() && pages.size() == index.GetResultCount());
  std::unordered_set<uint32_t> seen(pages.begin(), pages.end());
  FUZZ_REQUIRE(seen.size() == pages.size());
  if (ascending) FUZZ_REQUIRE(std::is_sorted(pages.begin(), pages.end()));
  for (uint32_t count : counts) FUZZ_REQUIRE(count > 0);
}

}  // namespace codexa::fuzz

#endif  // CODEXA_FUZZ_SOUNDRESULT_H_
