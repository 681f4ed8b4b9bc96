#include "corpus/firstholder.h"

#include <algorithm>
#include <queue>

namespace {

constexpr int64_t kPageSpace = int64_t{1} << 32;

// The pages a node holds as a half-open range inside 0 .. 2^32; empty
// (first >= end) when it holds none.
struct Range {
  uint64_t first;
  uint64_t end;
  int index;
};

Range RangeOf(const ContentsNodeTag& node, int index) {
  const int64_t first = int64_t{node.docID} - 1;
  const int64_t end = first + node.docNo;
  return {static_cast<uint64_t>(std::clamp<int64_t>(first, 0, kPageSpace)),
          static_cast<uint64_t>(std::clamp<int64_t>(end, 0, kPageSpace)), index};
}

}  // namespace

CFirstHolder::CFirstHolder(std::span<const ContentsNodeTag* const> nodes) {
  std::vector<Range> ranges;
  std::vector<uint64_t> bounds;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const Range range = RangeOf(*nodes[i], static_cast<int>(i));
    if (range.first >= range.end) continue;
    ranges.push_back(range);
    bounds.push_back(range.first);
    bounds.push_back(range.end);
  }
  std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
  std::sort(bounds.begin(), bounds.end());
  bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
  // A sweep over the bounds: the ranges open there wait in a heap that
  // gives the earliest node first; ranges that have ended leave it when
  // they come to the top.
  auto later = [](const Range& a, const Range& b) { return a.index > b.index; };
  std::priority_queue<Range, std::vector<Range>, decltype(later)> open(later);
  std::size_t next = 0;
  for (const uint64_t bound : bounds) {
    while (next < ranges.size() && ranges[next].first <= bound) open.push(ranges[next++]);
    while (!open.empty() && open.top().end <= bound) open.pop();
    const int answer = open.empty() ? -1 : open.top().index;
    if (answer == m_answers.back()) continue;
    if (m_starts.back() == bound) {
      m_answers.back() = answer;
      // Setting the answer may have made it equal to the run before.
      if (m_answers.size() > 1 && m_answers[m_answers.size() - 2] == answer) {
        m_starts.pop_back();
        m_answers.pop_back();
      }
      continue;
    }
    m_starts.push_back(bound);
    m_answers.push_back(answer);
  }
}

CFirstHolder::Run CFirstHolder::Find(uint32_t page) const {
  const std::size_t run =
      static_cast<std::size_t>(std::upper_bound(m_starts.begin(), m_starts.end(), uint64_t{page}) - m_starts.begin()) - 1;
  const uint64_t end = run + 1 < m_starts.size() ? m_starts[run + 1] : uint64_t{1} << 32;
  return {m_starts[run], end, m_answers[run]};
}
