#include "engine/hitcombine.h"

#include <algorithm>

#include "engine/vectorintersect.h"

namespace {

uint32_t SaturatingAdd(uint32_t a, uint32_t b) { return b > UINT32_MAX - a ? UINT32_MAX : a + b; }

}  // namespace

size_t GallopTo(const std::vector<uint32_t>& pages, size_t from, size_t end, uint32_t page) {
  if (from >= end || pages[from] >= page) return from;
  // pages[low] is below `page`; pages[high] is not, or high is `end`.
  size_t low = from, step = 1;
  while (step < end - low && pages[low + step] < page) {
    low += step;
    step *= 2;
  }
  size_t high = std::min(low + step, end);
  while (high - low > 1) {
    const size_t middle = low + (high - low) / 2;
    (pages[middle] < page ? low : high) = middle;
  }
  return high;
}

namespace {

// Whether the arrays are of like length: galloping through the longer one
// then mispredicts a branch or two at every step, where the vector merge
// (engine/vectorintersect.h) takes eight pages of either a step and a test
// of a bitmap costs under a nanosecond.
bool LikeLengths(const HitArrays& shorter, const HitArrays& longer) {
  constexpr size_t kMostLengthRatio = 8;
  return longer.size() <= kMostLengthRatio * shorter.size();
}

// Whether a bitmap of the shorter array's pages beats galloping, where the
// processor has no vector merge: for arrays of like length whose bitmap is
// no larger than the arrays.
bool WorthMarking(const HitArrays& shorter, const HitArrays& longer) {
  return LikeLengths(shorter, longer) &&
         (shorter.pages.back() - shorter.pages.front()) / 64 <= shorter.size() + longer.size();
}

// IntersectResult through a bitmap of the shorter array's pages: every
// entry of the longer one costs a test, without a branch that mispredicts
// except on the pages both hold.
void IntersectMarked(const HitArrays& hits, HitArrays& result) {
  const bool resultShorter = result.size() <= hits.size();
  const HitArrays& shorter = resultShorter ? result : hits;
  const HitArrays& longer = resultShorter ? hits : result;
  const uint32_t base = shorter.pages.front(), span = shorter.pages.back() - base;
  std::vector<uint64_t> marks(span / 64 + 1);
  for (const uint32_t page : shorter.pages) marks[(page - base) / 64] |= uint64_t{1} << (page - base) % 64;
  // The kept entries are written over the result's own, never ahead of the
  // entry of either array being read.
  size_t kept = 0;
  for (size_t i = 0, at = 0; i < longer.size(); ++i) {
    const uint32_t offset = longer.pages[i] - base;  // wraps for pages below the base
    if (offset > span || (marks[offset / 64] >> offset % 64 & 1) == 0) continue;
    while (shorter.pages[at] < longer.pages[i]) ++at;
    result.pages[kept] = longer.pages[i];
    result.counts[kept++] = SaturatingAdd(shorter.counts[at], longer.counts[i]);
  }
  result.pages.resize(kept);
  result.counts.resize(kept);
}

// IntersectResult through IntersectPagesVector, for arrays of like length.
void IntersectVector(const HitArrays& hits, HitArrays& result) {
  const size_t most = std::min(result.size(), hits.size());
  std::vector<uint32_t> atResult(most), atHits(most);
  const size_t found = IntersectPagesVector(result.pages.data(), result.size(), hits.pages.data(), hits.size(),
                                            atResult.data(), atHits.data());
  // Entry k is written over the result's own entry atResult[k], never
  // ahead of it.
  for (size_t k = 0; k < found; ++k) {
    result.pages[k] = result.pages[atResult[k]];
    result.counts[k] = SaturatingAdd(result.counts[atResult[k]], hits.counts[atHits[k]]);
  }
  result.pages.resize(found);
  result.counts.resize(found);
}

// IntersectResult by galloping through the longer array for each entry of
// the shorter one.
void IntersectGalloping(const HitArrays& hits, HitArrays& result) {
  // The kept entries are written over the result's own, never ahead of
  // the entry being looked at.
  size_t kept = 0;
  const auto keep = [&](uint32_t page, uint32_t resultCount, uint32_t hitCount) {
    result.pages[kept] = page;
    result.counts[kept++] = SaturatingAdd(resultCount, hitCount);
  };
  if (result.size() <= hits.size()) {
    for (size_t i = 0, at = 0; i < result.size(); ++i) {
      at = GallopTo(hits.pages, at, hits.size(), result.pages[i]);
      if (at == hits.size()) break;
      if (hits.pages[at] == result.pages[i]) keep(result.pages[i], result.counts[i], hits.counts[at]);
    }
  } else {
    for (size_t i = 0, at = 0; i < hits.size(); ++i) {
      at = GallopTo(result.pages, at, result.size(), hits.pages[i]);
      if (at == result.size()) break;
      if (result.pages[at] == hits.pages[i]) keep(hits.pages[i], result.counts[at], hits.counts[i]);
    }
  }
  result.pages.resize(kept);
  result.counts.resize(kept);
}

}  // namespace

void IntersectResult(const HitArrays& hits, HitArrays& result) {
  if (result.size() == 0 || hits.size() == 0) return result.Clear();
  const bool resultShorter = result.size() <= hits.size();
  const HitArrays& shorter = resultShorter ? result : hits;
  const HitArrays& longer = resultShorter ? hits : result;
  if (LikeLengths(shorter, longer) && VectorIntersectAvailable()) {
    IntersectVector(hits, result);
  } else if (WorthMarking(shorter, longer)) {
    IntersectMarked(hits, result);
  } else {
    IntersectGalloping(hits, result);
  }
}

void UniteResult(const HitArrays& hits, HitArrays& result, std::vector<size_t>& runEnds) {
  const size_t existing = result.size();
  // Where the search in each run has come to: hits ascend, so it only
  // moves on.
  std::vector<size_t> at(runEnds.size());
  for (size_t r = 1; r < runEnds.size(); ++r) at[r] = runEnds[r - 1];
  result.pages.reserve(existing + hits.size());
  result.counts.reserve(existing + hits.size());
  for (size_t i = 0; i < hits.size(); ++i) {
    const uint32_t page = hits.pages[i];
    bool found = false;
    for (size_t r = 0; r < runEnds.size() && !found; ++r) {
      at[r] = GallopTo(result.pages, at[r], runEnds[r], page);
      found = at[r] < runEnds[r] && result.pages[at[r]] == page;
      if (found) result.counts[at[r]] = SaturatingAdd(result.counts[at[r]], hits.counts[i]);
    }
    if (!found) result.Add(page, hits.counts[i]);
  }
  if (result.size() == existing) return;
  const bool goesOn = existing > 0 && result.pages[existing - 1] < result.pages[existing];
  if (goesOn) {
    runEnds.back() = result.size();
  } else {
    runEnds.push_back(result.size());
  }
}
