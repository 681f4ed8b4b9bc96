#include "corpus/firstholder.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

namespace {

struct Range {
  int docID;
  int docNo;
};

// The walk the holder stands for: the first node holding the page.
int FirstByWalk(const std::vector<std::unique_ptr<ContentsNodeTag>>& nodes, uint32_t page) {
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i]->Holds(page)) return static_cast<int>(i);
  }
  return -1;
}

TEST(FirstHolderTest, AnswersAsTheWalkForOddRanges) {
  const struct {
    const char* what;
    std::vector<Range> ranges;
  } cases[] = {
      {"none", {}},
      {"side by side", {{1, 3}, {4, 2}, {6, 10}}},
      {"out of order with a gap", {{10, 5}, {1, 4}, {20, 1}}},
      {"nested: the outer one first hides the inner", {{1, 20}, {5, 3}}},
      {"nested: the inner one first wins inside it", {{5, 3}, {1, 20}, {6, 1}}},
      {"overlapping", {{1, 8}, {5, 8}, {3, 12}}},
      {"empty, negative and zero ranges hold nothing", {{5, 0}, {3, -4}, {-10, 5}, {-2, 6}}},
      {"the same range twice", {{7, 4}, {7, 4}}},
      {"ranges at the end of the page numbers", {{INT_MAX - 2, 10}, {INT_MAX, INT_MAX}, {2, INT_MAX}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::unique_ptr<ContentsNodeTag>> nodes;
    std::vector<const ContentsNodeTag*> list;
    for (const Range& range : c.ranges) {
      nodes.push_back(std::make_unique<ContentsNodeTag>());
      nodes.back()->docID = range.docID;
      nodes.back()->docNo = range.docNo;
      list.push_back(nodes.back().get());
    }
    const CFirstHolder holder(list);
    std::vector<uint32_t> pages;
    for (uint32_t page = 0; page < 40; ++page) pages.push_back(page);
    for (uint32_t page : {uint32_t{INT_MAX} - 4, uint32_t{INT_MAX} - 3, uint32_t{INT_MAX} - 1, uint32_t{INT_MAX},
                          uint32_t{INT_MAX} + 8, uint32_t{INT_MAX} + 9, UINT32_MAX - 1, UINT32_MAX}) {
      pages.push_back(page);
    }
    for (const uint32_t page : pages) {
      SCOPED_TRACE(page);
      const CFirstHolder::Run run = holder.Find(page);
      EXPECT_EQ(run.index, FirstByWalk(nodes, page));
      EXPECT_TRUE(run.Covers(page));
      // The run's ends answer the same, so a sweep may reuse it.
      EXPECT_EQ(FirstByWalk(nodes, static_cast<uint32_t>(run.first)), run.index);
      EXPECT_EQ(FirstByWalk(nodes, static_cast<uint32_t>(run.end - 1)), run.index);
    }
  }
}

}  // namespace
