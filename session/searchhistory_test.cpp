// The search history: order, cap, and text read back from the settings.
#include "session/searchhistory.h"

#include <gtest/gtest.h>

namespace {

SearchRecord Record(std::u16string keyword, int scope = 1) {
  return {std::move(keyword), SearchMode::kOr, DisplayCode::kAnnotations, false, scope};
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
  history.Add({u"床前　明月", SearchMode::kAnd, DisplayCode::kFullText, true, -1});
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
                              "0\t3\t1\t1\t月";                     // no such target, no line end
  EXPECT_EQ(read.Load(damaged), 7u);
  ASSERT_EQ(read.Records().size(), 1u);
  EXPECT_EQ(read.Records()[0], Record(u"白日", 7));
}

}  // namespace
