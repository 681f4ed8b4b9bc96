#include "engine/hitcombine.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<uint32_t, uint32_t>>;

HitArrays Arrays(const Entries& entries) {
  HitArrays arrays;
  for (const auto& [page, count] : entries) arrays.Add(page, count);
  return arrays;
}

Entries EntriesOf(const HitArrays& arrays) {
  Entries entries;
  for (size_t i = 0; i < arrays.size(); ++i) entries.emplace_back(arrays.pages[i], arrays.counts[i]);
  return entries;
}

// Pages 0, step, 2 step ... below `end`, each counted once.
Entries Every(uint32_t step, uint32_t end) {
  Entries entries;
  for (uint32_t page = 0; page < end; page += step) entries.emplace_back(page, 1);
  return entries;
}

TEST(GallopTo, FindsTheFirstPageNotBelow) {
  const std::vector<uint32_t> pages = {2, 4, 4, 9, 30, 31, 70, 100, 4000000000u};
  const struct {
    size_t from, end;
    uint32_t page;
    size_t expected;
  } cases[] = {
      {0, 9, 0, 0},   {0, 9, 2, 0},   {0, 9, 3, 1},          {0, 9, 4, 1},           {2, 9, 4, 2},
      {0, 9, 10, 4},  {3, 9, 71, 7},  {0, 9, 4000000000u, 8}, {0, 9, UINT32_MAX, 9}, {0, 5, 70, 5},
      {9, 9, 0, 9},   {5, 5, 1, 5},   {0, 0, 3, 0},          {6, 9, 3, 6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GallopTo(pages, c.from, c.end, c.page), c.expected) << c.from << " " << c.end << " " << c.page;
  }
}

TEST(IntersectResult, KeepsCommonPagesWithSummedCounts) {
  const struct {
    Entries result, hits, expected;
  } cases[] = {
      {{{1, 2}, {5, 1}, {9, 3}}, {{0, 1}, {5, 4}, {6, 1}, {9, 1}, {12, 1}}, {{5, 5}, {9, 4}}},
      {{{0, 1}, {5, 4}, {6, 1}, {9, 1}, {12, 1}}, {{1, 2}, {5, 1}, {9, 3}}, {{5, 5}, {9, 4}}},
      {{{3, 1}}, {}, {}},
      {{}, {{3, 1}}, {}},
      {{{7, 1}}, {{3, 1}, {4, 1}}, {}},
      {{{UINT32_MAX, UINT32_MAX - 1}}, {{UINT32_MAX, 5}}, {{UINT32_MAX, UINT32_MAX}}},
  };
  for (const auto& c : cases) {
    HitArrays result = Arrays(c.result);
    IntersectResult(Arrays(c.hits), result);
    EXPECT_EQ(EntriesOf(result), c.expected);
  }
}

// Far apart lengths gallop; like lengths go through the vector merge where
// the processor has one, otherwise through a bitmap, unless their pages are
// spread too far for one.
TEST(IntersectResult, LongRunsEitherWayAndEitherMethod) {
  const struct {
    Entries shorter, longer;
  } cases[] = {
      {Every(1000, 100000), Every(7, 100000)},
      {Every(3, 100000), Every(2, 100000)},
      {{{0, 1}, {4000000000u, 1}}, {{0, 1}, {7, 1}, {4000000000u, 1}}},
  };
  for (const auto& c : cases) {
    std::set<uint32_t> longerPages;
    for (const auto& entry : c.longer) longerPages.insert(entry.first);
    Entries expected;
    for (const auto& entry : c.shorter) {
      if (longerPages.count(entry.first) != 0) expected.emplace_back(entry.first, 2);
    }
    for (const bool shortFirst : {true, false}) {
      HitArrays result = Arrays(shortFirst ? c.shorter : c.longer);
      IntersectResult(Arrays(shortFirst ? c.longer : c.shorter), result);
      EXPECT_EQ(EntriesOf(result), expected) << c.shorter.size() << " " << c.longer.size() << " " << shortFirst;
    }
  }
}

TEST(UniteResult, AppendsNewPagesKeywordByKeywordAndAddsToKnownOnes) {
  const std::vector<Entries> keywords = {
      {{4, 1}, {8, 1}},
      {{2, 1}, {8, 2}, {9, 1}},  // 2 comes after 8: the order is no longer ascending
      {},
      {{1, 1}, {2, 5}, {4, 1}, {10, 1}},
      {{9, UINT32_MAX}, {UINT32_MAX, UINT32_MAX}},
  };
  const Entries after[] = {
      {{4, 1}, {8, 1}},
      {{4, 1}, {8, 3}, {2, 1}, {9, 1}},
      {{4, 1}, {8, 3}, {2, 1}, {9, 1}},
      {{4, 2}, {8, 3}, {2, 6}, {9, 1}, {1, 1}, {10, 1}},
      {{4, 2}, {8, 3}, {2, 6}, {9, UINT32_MAX}, {1, 1}, {10, 1}, {UINT32_MAX, UINT32_MAX}},
  };
  HitArrays result;
  std::vector<size_t> runEnds;
  for (size_t k = 0; k < keywords.size(); ++k) {
    UniteResult(Arrays(keywords[k]), result, runEnds);
    EXPECT_EQ(EntriesOf(result), after[k]) << "after keyword " << k;
  }
  EXPECT_EQ(runEnds, (std::vector<size_t>{2, 4, 7}));
}

TEST(UniteResult, LengthensTheLastRunWhileThePagesAscend) {
  HitArrays result;
  std::vector<size_t> runEnds;
  UniteResult(Arrays({{1, 1}, {3, 1}}), result, runEnds);
  UniteResult(Arrays({{3, 1}, {5, 1}, {6, 1}}), result, runEnds);
  EXPECT_EQ(EntriesOf(result), (Entries{{1, 1}, {3, 2}, {5, 1}, {6, 1}}));
  EXPECT_EQ(runEnds, (std::vector<size_t>{4}));
  // 0 goes after 6: a new run, which the next keyword's 0 and 7 are looked
  // for in as well as the first.
  UniteResult(Arrays({{0, 1}, {7, 1}}), result, runEnds);
  UniteResult(Arrays({{0, 2}, {3, 1}, {7, 3}}), result, runEnds);
  EXPECT_EQ(EntriesOf(result), (Entries{{1, 1}, {3, 3}, {5, 1}, {6, 1}, {0, 3}, {7, 4}}));
  EXPECT_EQ(runEnds, (std::vector<size_t>{4, 6}));
}

}  // namespace
