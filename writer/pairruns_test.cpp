#include "writer/pairruns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "engine/codeconverter.h"

namespace {

using Occurrence = std::tuple<int32_t, int32_t, uint32_t>;  // first, second, page

// Pages ascending, pairs at random, some repeated on a page; codes and
// pages at the ends of their ranges too.
std::vector<Occurrence> Occurrences() {
  std::vector<Occurrence> all;
  std::minstd_rand next(7);
  for (uint32_t page = 0; page < 400; ++page) {
    for (int i = 0; i < 12; ++i) {
      all.emplace_back(static_cast<int32_t>(next() % 50), static_cast<int32_t>(next() % 50), page);
    }
  }
  all.emplace_back(kIndexCodeCount - 1, kIndexCodeCount - 1, 400);
  all.emplace_back(0, 0, codexa::writer::PairRuns::kPageLimit - 1);
  all.emplace_back(0, 0, codexa::writer::PairRuns::kPageLimit - 1);
  return all;
}

// Whatever the runs (one occurrence each, a few, all in one), the
// occurrences come back by pair, then page, none lost or added.
TEST(PairRuns, GivesTheOccurrencesBackByPairThenPage) {
  const std::vector<Occurrence> added = Occurrences();
  std::vector<Occurrence> expected = added;
  std::stable_sort(expected.begin(), expected.end());
  for (const size_t bufferEntries : {size_t{1}, size_t{7}, size_t{1000}, added.size() + 1}) {
    codexa::writer::PairRuns runs(bufferEntries);
    for (const auto& [first, second, page] : added) runs.Add(first, second, page);
    std::vector<Occurrence> drained;
    EXPECT_TRUE(runs.Drain([&](int32_t first, int32_t second, uint32_t page) {
      drained.emplace_back(first, second, page);
    }));
    EXPECT_EQ(drained, expected) << bufferEntries;
  }
}

TEST(PairRuns, NothingAddedGivesNothing) {
  codexa::writer::PairRuns runs;
  int visits = 0;
  EXPECT_TRUE(runs.Drain([&](int32_t, int32_t, uint32_t) { ++visits; }));
  EXPECT_EQ(visits, 0);
}

}  // namespace
