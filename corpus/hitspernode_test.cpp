#include "corpus/hitspernode.h"

#include <gtest/gtest.h>

#include <sstream>

#include "corpus/catalogueformat.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using codexa::writer::CatalogueRecord;

// Records 1 經部 (pages 1-10) > 2 論語 (1-6) > 3 卷一 (1-3), 4 卷二 (4-6);
// 5 孟子 (7-8) > 6 卷一 (7-8); 7 集部 (11-20) > 8 楚辭 (11-20) > 9 卷一
// (11-15). Pages 9-10 and 16-20 lie in no volume; 21 in no category.
const std::vector<CatalogueRecord> kRecords = {
    {u"經部", 1, 1, 10, 1}, {u"論語", 2, 1, 6, 1}, {u"卷一", 3, 1, 3, 1}, {u"卷二", 3, 4, 3, 1}, {u"孟子", 2, 7, 2, 5},
    {u"卷一", 3, 7, 2, 5},  {u"集部", 1, 11, 10, 1}, {u"楚辭", 2, 11, 10, 1}, {u"卷一", 3, 11, 5, 1},
};

TEST(HitsPerNodeTest, CountsPagesUpTheTreeAndSumToTheCategorisedEntries) {
  codexa::writer::ScratchDir dir;
  std::string error;
  ASSERT_TRUE(codexa::writer::WriteCatalogue(dir.path(), kRecords, error)) << error;
  CCatalogue catalogue;
  std::ostringstream diagnostics;
  ASSERT_TRUE(catalogue.Load(dir / kCatalogueFileName, {}, diagnostics));
  // 0-based pages: 0, 2 (論語 卷一), 4 (卷二), 7 (孟子), 8 (經部 only), 11 (楚辭
  // 卷一), 17 (楚辭, no volume), 20 (nowhere).
  const uint32_t pages[] = {0, 2, 4, 7, 8, 11, 17, 20};
  const std::vector<uint32_t> perRecord = HitPagesPerRecord(catalogue, pages);
  EXPECT_EQ(perRecord, (std::vector<uint32_t>{0, 5, 3, 2, 1, 1, 1, 2, 2, 1}));
  EXPECT_EQ(perRecord[1] + perRecord[7], std::size(pages) - 1);  // all but page 20
  // In any order the same: the way down is found again wherever it changes.
  const uint32_t shuffled[] = {17, 0, 20, 8, 2, 11, 4, 7};
  EXPECT_EQ(HitPagesPerRecord(catalogue, shuffled), perRecord);
  EXPECT_EQ(HitPagesPerRecord(catalogue, {}), std::vector<uint32_t>(10, 0));
}

}  // namespace
