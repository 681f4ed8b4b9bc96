// The search history: order, cap, and text read back from the settings.
#include "session/searchhistory.h"

#include <gtest/gtest.h>

#include <sstream>

#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

SearchRecord Record(std::u16string keyword, int scope = 1) {
  return {std::move(keyword), SearchMode::kOr, DisplayCode::kAnnotations, false, scope, {}};
}

TEST(SearchHistoryTest, NewestFirstWithoutRepeatsAndCapped) {
  CSearchHistory history;
  history.Add(Record(u"明月"));
  history.Add(Record(u"春風"));
  history.Add(Record(u"明月"));
  ASSERT_EQ(history.Records().size(), 2u);
  EXPECT_EQ(history.Records()[0].keyword, u"明月");
  // The same keyword in another scope is another search.
  history.Add(Record(u"明月", -1));
  EXPECT_EQ(history.Records().size(), 3u);
  for (int i = 0; i < 150; ++i) history.Add(Record(u"之", i));
  ASSERT_EQ(history.Records().size(), CSearchHistory::kMaxRecords);
  EXPECT_EQ(history.Records().front().scopeRecord, 149);
  EXPECT_EQ(history.Records().back().scopeRecord, 50);
}

TEST(SearchHistoryTest, SavedTextReadsBackAndDamageIsLeftOut) {
  CSearchHistory history;
  history.Add(Record(u"白日*黃河", 7));
  history.Add({u"床前　明月", SearchMode::kAnd, DisplayCode::kFullText, true, -1, {}});
  history.Add({u"鶴", SearchMode::kAnd, DisplayCode::kFullText, true, 3, u"集部\\唐詩"});
  CSearchHistory read;
  EXPECT_EQ(read.Load(history.Save()), 0u);
  EXPECT_EQ(read.Records(), history.Records());

  const std::string damaged = std::string("1\t2\t0\t7\t白日\n") +  // whole
                              "9\t0\t1\t1\t月\n"                    // no such mode
                              "0\t0\t1\tx\t月\n"                    // scope not a number
                              "0\t0\t1\t1\n"                        // field missing
                              "0\t0\t1\t1\t\xE6\x9C\n"              // cut UTF-8
                              "0\t0\t1\t1\t\n"                      // no keyword
                              "\n"
                              "0\t3\t1\t1\t月\n"                   // no such target
                              "0\t0\t1\t1\t\xE6\x9C\t月\n"          // cut UTF-8 in the path
                              "0\t0\t1\t1\t經部\t月\t月\n"          // a field too many
                              "1\t2\t0\t7\t集部\\唐詩\t白日";       // whole, with a path, no line end
  EXPECT_EQ(read.Load(damaged), 9u);
  ASSERT_EQ(read.Records().size(), 2u);
  EXPECT_EQ(read.Records()[0], Record(u"白日", 7));  // the older form: no path
  SearchRecord withPath = Record(u"白日", 7);
  withPath.scopePath = u"集部\\唐詩";
  EXPECT_EQ(read.Records()[1], withPath);
}

// A scope is found again by its path, wherever the catalogue now has it;
// a path it lacks finds none, and a record without a path keeps its number.
TEST(SearchHistoryTest, ScopeIsFoundByItsPath) {
  codexa::writer::ScratchDir dir;
  std::string error;
  // 經部 (1) > 序 (2) > 卷一 (3); 集部 (4) > 唐詩 (5) > 卷一 (6).
  ASSERT_TRUE(codexa::writer::WriteCatalogue(dir.path(),
                                             {{u"經部", 1, 1, 1, 1}, {u"序", 2, 1, 1, 1}, {u"卷一", 3, 1, 1, 1},
                                              {u"集部", 1, 2, 1, 1}, {u"唐詩", 2, 2, 1, 1}, {u"卷一", 3, 2, 1, 1}},
                                             error))
      << error;
  CCatalogue catalogue;
  std::ostringstream diagnostics;
  ASSERT_TRUE(catalogue.Load(dir / "zemo.dir", {}, diagnostics));
  const struct {
    int record;
    std::u16string path;
    int found;
  } cases[] = {
      {2, u"集部\\唐詩", 5},        // the number of another scope now
      {6, u"集部\\唐詩\\卷一", 6},  // where it was
      {5, u"經部\\詩經", 0},        // a scope this catalogue lacks
      {4, u"", 4},                 // the older form
      {-1, u"", -1},               // the whole corpus
  };
  for (const auto& c : cases) {
    SearchRecord record = Record(u"月", c.record);
    record.scopePath = c.path;
    EXPECT_EQ(ScopeRecordIn(record, catalogue), c.found) << c.record;
  }
}

}  // namespace
