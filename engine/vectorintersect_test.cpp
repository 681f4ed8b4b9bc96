#include "engine/vectorintersect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace {

// `n` distinct pages below `bound`, ascending.
std::vector<uint32_t> RandomPages(std::mt19937& random, size_t n, uint64_t bound) {
  std::set<uint32_t> pages;
  std::uniform_int_distribution<uint64_t> page(0, bound - 1);
  while (pages.size() < n) pages.insert(static_cast<uint32_t>(page(random)));
  return {pages.begin(), pages.end()};
}

// The index pairs of the common pages, one comparison at a time.
void ExpectAgreesWithAMerge(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  std::vector<uint32_t> expectedA, expectedB;
  for (size_t i = 0, j = 0; i < a.size() && j < b.size();) {
    if (a[i] == b[j]) expectedA.push_back(static_cast<uint32_t>(i)), expectedB.push_back(static_cast<uint32_t>(j));
    const uint32_t pageA = a[i], pageB = b[j];
    i += pageA <= pageB;
    j += pageB <= pageA;
  }
  const size_t most = std::min(a.size(), b.size());
  std::vector<uint32_t> atA(most), atB(most);
  const size_t found = IntersectPagesVector(a.data(), a.size(), b.data(), b.size(), atA.data(), atB.data());
  if (!VectorIntersectAvailable()) {
    EXPECT_EQ(found, 0u);
    return;
  }
  atA.resize(found), atB.resize(found);
  EXPECT_EQ(atA, expectedA) << a.size() << " and " << b.size() << " pages";
  EXPECT_EQ(atB, expectedB) << a.size() << " and " << b.size() << " pages";
}

TEST(IntersectPagesVector, FindsWhatAMergeFinds) {
  std::mt19937 random(11);
  const struct {
    size_t na, nb;
    uint64_t bound;
  } cases[] = {
      {0, 0, 10},
      {0, 20, 100},
      {7, 7, 10},
      {8, 8, 9},
      {9, 17, 20},
      {64, 64, 64},
      {100, 300, 400},
      {1598, 5294, 300000},
      {1000, 8000, 20000},
      {33, 2000, 1u << 20},
      {500, 500, uint64_t{1} << 32},
  };
  for (const auto& c : cases) {
    for (int round = 0; round < 3; ++round) {
      const std::vector<uint32_t> a = RandomPages(random, c.na, c.bound), b = RandomPages(random, c.nb, c.bound);
      ExpectAgreesWithAMerge(a, b);
      ExpectAgreesWithAMerge(b, a);
    }
  }
}

TEST(IntersectPagesVector, PagesAtTheEdgesOfTheRange) {
  // Eights that end alike, pages at 0 and at the top of 32 bits, and a
  // common page in the last, partial eight.
  std::vector<uint32_t> a, b;
  for (uint32_t p = 0; p < 16; ++p) a.push_back(p), b.push_back(p * 2 > 15 ? p + 100 : p * 2);
  a.push_back(UINT32_MAX - 1), a.push_back(UINT32_MAX);
  b.push_back(UINT32_MAX);
  std::sort(b.begin(), b.end());
  ExpectAgreesWithAMerge(a, b);
  ExpectAgreesWithAMerge(b, a);
  ExpectAgreesWithAMerge(a, a);
}

// Arrays that break the contract (repeated pages) may give any pairs, but
// never more than the shorter array's length, the room the caller gives:
// here a's eight, all but its last lane equal to every page of b, would
// meet each of b's eights in turn.
TEST(IntersectPagesVector, RepeatedPagesNeverWritePastTheRoomGiven) {
  const std::vector<uint32_t> a = {5, 5, 5, 5, 5, 5, 5, 9}, b(24, 5);
  constexpr size_t kSlack = 32;
  std::vector<uint32_t> atA(a.size() + kSlack, UINT32_MAX), atB(a.size() + kSlack, UINT32_MAX);
  const size_t found = IntersectPagesVector(a.data(), a.size(), b.data(), b.size(), atA.data(), atB.data());
  EXPECT_LE(found, a.size());
  for (size_t k = a.size(); k < atA.size(); ++k) EXPECT_EQ(atA[k], UINT32_MAX) << k;
}

}  // namespace
