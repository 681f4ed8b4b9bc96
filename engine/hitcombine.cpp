#include "engine/hitcombine.h"

#include <algorithm>
#include <utility>

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

void IntersectResult(const HitArrays& hits, HitArrays& result) {
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

namespace {

// Merges the entries from `existing` on, which the last keyword appended
// (ascending), into the order of the result's first `existing` entries,
// from the back, so that no entry is written over before it is read.
void MergeAppended(const HitArrays& result, size_t existing, ResultOrder& order) {
  if (order.pages.empty()) {
    order.pages.assign(result.pages.begin(), result.pages.begin() + existing);
    order.entries.resize(existing);
    for (size_t i = 0; i < existing; ++i) order.entries[i] = static_cast<uint32_t>(i);
  }
  order.pages.resize(result.size());
  order.entries.resize(result.size());
  size_t i = existing, j = result.size(), k = result.size();
  while (j > existing) {
    if (i > 0 && order.pages[i - 1] > result.pages[j - 1]) {
      --i, --k;
      order.pages[k] = order.pages[i];
      order.entries[k] = order.entries[i];
    } else {
      --j, --k;
      order.pages[k] = result.pages[j];
      order.entries[k] = static_cast<uint32_t>(j);
    }
  }
}

}  // namespace

void UniteResult(const HitArrays& hits, HitArrays& result, ResultOrder& order) {
  const size_t existing = result.size();
  if (existing == 0) {
    result.pages.assign(hits.pages.begin(), hits.pages.end());
    result.counts.assign(hits.counts.begin(), hits.counts.end());
    return;
  }
  // Without an order of its own the result ascends: its pages are their
  // own order.
  const bool identity = order.pages.empty();
  const std::vector<uint32_t>& lookup = identity ? result.pages : order.pages;
  result.pages.reserve(existing + hits.size());
  result.counts.reserve(existing + hits.size());
  size_t at = 0;
  for (size_t i = 0; i < hits.size(); ++i) {
    at = GallopTo(lookup, at, existing, hits.pages[i]);
    if (at < existing && lookup[at] == hits.pages[i]) {
      const size_t entry = identity ? at : order.entries[at];
      result.counts[entry] = SaturatingAdd(result.counts[entry], hits.counts[i]);
    } else {
      result.Add(hits.pages[i], hits.counts[i]);
    }
  }
  // Pages appended after higher ones end the result's ascending order.
  const bool stillAscending =
      identity && (existing == result.size() || result.pages[existing - 1] < result.pages[existing]);
  if (!stillAscending) MergeAppended(result, existing, order);
}
