#include "corpus/hitlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A tree the builder never writes: ranges that overlap, nest, hold nothing
// or lie outside their parents, and a page (0-based 30 on) in no category.
struct Node {
  const char16_t* name;
  int level, docID, docNo, curFileName;
};
const Node kOddTree[] = {
    {u"甲", 1, 1, 20, 1},
    {u"甲一", 2, 1, 10, 1},
    {u"卷1", 3, 1, 3, 1},
    {u"卷2", 3, 2, 6, 4},   // overlaps 卷1
    {u"甲二", 2, 5, 12, 1},  // overlaps 甲一
    {u"卷3", 3, 8, 5, 1},
    {u"卷4", 3, 25, 3, 9},  // outside its work and its category
    {u"甲三", 2, 0, 0, 1},  // holds nothing
    {u"卷5", 3, 14, 4, 100},
    {u"乙", 1, 15, 15, 1},  // overlaps 甲
    {u"乙一", 2, 15, 15, 1},
    {u"卷6", 3, 15, 15, 65535},
};

class HitListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<ContentsNodeTag*> last = {&m_root};
    for (const Node& n : kOddTree) {
      auto node = std::make_unique<ContentsNodeTag>();
      node->name = n.name;
      node->level = n.level;
      node->docID = n.docID;
      node->docNo = n.docNo;
      node->curFileName = static_cast<uint16_t>(n.curFileName);
      node->pParent = last[static_cast<std::size_t>(n.level - 1)];
      last.resize(static_cast<std::size_t>(n.level));
      last.push_back(node.get());
      m_scopes.push_back(node.get());
      node->pParent->children.push_back(std::move(node));
    }
    m_scopes.push_back(&m_root);
  }

  ContentsNodeTag m_root;
  std::vector<const ContentsNodeTag*> m_scopes;
};

// The entries as the catalogue's own rule labels them one page at a time,
// stably sorted by file number.
std::vector<SearchNodeTag> LabelledOneByOne(const ContentsNodeTag& scope, const std::vector<uint32_t>& pages) {
  std::vector<SearchNodeTag> entries;
  for (const uint32_t page : pages) {
    if (!InScope(scope, page)) continue;
    SearchNodeTag entry;
    entry.pageNumber = page;
    entry.hitCount = page + 1;
    if (const ContentsNodeTag* labels = LabelScope(scope, page)) {
      entry.category = CategoryName(*labels);
      entry.title = TitleName(*labels, page);
      if (const ContentsNodeTag* volume = VolumeNode(*labels, page)) {
        entry.volume = volume->name;
        entry.fileNumber = static_cast<int>(page + 1u - static_cast<uint32_t>(volume->docID) + volume->curFileName);
      }
    }
    entries.push_back(entry);
  }
  std::stable_sort(entries.begin(), entries.end(), [](const SearchNodeTag& a, const SearchNodeTag& b) {
    return static_cast<uint32_t>(a.fileNumber) < static_cast<uint32_t>(b.fileNumber);
  });
  return entries;
}

TEST_F(HitListTest, LabelsAndOrdersAsTheRuleDoesPageByPage) {
  std::vector<uint32_t> ascending;
  for (uint32_t page = 0; page < 34; ++page) ascending.push_back(page);
  std::vector<uint32_t> shuffled = ascending;
  std::reverse(shuffled.begin(), shuffled.begin() + 17);
  for (const std::vector<uint32_t>* pages : {&ascending, &shuffled}) {
    std::vector<uint32_t> counts;
    for (const uint32_t page : *pages) counts.push_back(page + 1);
    for (std::size_t s = 0; s < m_scopes.size(); ++s) {
      SCOPED_TRACE(s);  // kOddTree's node s, the root last
      const ContentsNodeTag* scope = m_scopes[s];
      const CHitList list(*scope, *pages, counts);
      const std::vector<SearchNodeTag> expected = LabelledOneByOne(*scope, *pages);
      ASSERT_EQ(list.size(), expected.size());
      uint64_t total = 0;
      for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        const SearchNodeTag entry = list[i];
        EXPECT_EQ(entry.category, expected[i].category);
        EXPECT_EQ(entry.title, expected[i].title);
        EXPECT_EQ(entry.volume, expected[i].volume);
        EXPECT_EQ(entry.pageNumber, expected[i].pageNumber);
        EXPECT_EQ(entry.fileNumber, expected[i].fileNumber);
        EXPECT_EQ(entry.hitCount, expected[i].hitCount);
        EXPECT_EQ(list.Pages()[i], expected[i].pageNumber);
        EXPECT_EQ(list.Find(expected[i].pageNumber), i);
        total += entry.hitCount;
      }
      EXPECT_EQ(list.TotalHits(), total);
      // The engine's order is kept beside the list's, for the tree's counts.
      std::vector<uint32_t> inScope;
      std::copy_if(pages->begin(), pages->end(), std::back_inserter(inScope),
                   [&](uint32_t page) { return InScope(*scope, page); });
      EXPECT_TRUE(std::ranges::equal(list.PagesInEngineOrder(), inScope));
    }
  }
}

TEST_F(HitListTest, EmptyAndMissingPages) {
  const CHitList none;
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.Find(0), CHitList::npos);
  const uint32_t pages[] = {3, 40}, counts[] = {2, 5};
  const CHitList list(*m_scopes.front(), pages, counts);  // 甲: pages 0-19
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.Find(40), CHitList::npos);
  EXPECT_EQ(list.TotalHits(), 2u);
}

}  // namespace
