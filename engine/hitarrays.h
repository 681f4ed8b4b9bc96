// Pages and their counts in two arrays of equal length: the layout of the
// engine's result, which the GUI and the tools read as two arrays.
#ifndef CODEXA_ENGINE_HITARRAYS_H_
#define CODEXA_ENGINE_HITARRAYS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

struct HitArrays {
  std::vector<uint32_t> pages;
  std::vector<uint32_t> counts;
  void Add(uint32_t page, uint32_t count) {
    pages.push_back(page);
    counts.push_back(count);
  }
  void Clear() {
    pages.clear();
    counts.clear();
  }
  size_t size() const { return pages.size(); }
};

#endif  // CODEXA_ENGINE_HITARRAYS_H_
