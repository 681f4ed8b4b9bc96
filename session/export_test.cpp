// The result list written as CSV and TSV: header, quoting and escaping.
#include "session/export.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ExportTest, ResultListAsCsvAndTsv) {
  const std::vector<SearchNodeTag> entries = {
      {u"經部", u"論語", u"卷一", 0, 1, 2},
      {u"集部", u"書,名\"甲\"", u"卷\n二", 5, 3, 1},  // odd names from a hostile catalogue
      {u"子部", u"", u"", 9, 0, 4},
  };
  struct Case {
    ExportFormat format;
    std::string text;
  };
  const Case cases[] = {
      {ExportFormat::kCsv,
       "類別,書名,巻,頁,件数\r\n經部,論語,卷一,1,2\r\n集部,\"書,名\"\"甲\"\"\",\"卷\n二\",3,1\r\n子部,,,0,4\r\n"},
      {ExportFormat::kTsv, "類別\t書名\t巻\t頁\t件数\n經部\t論語\t卷一\t1\t2\n集部\t書,名\"甲\"\t卷 二\t3\t1\n子部\t\t\t0\t4\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    EXPECT_TRUE(ExportResultList(entries, c.format, out));
    EXPECT_EQ(out.str(), c.text);
  }
}

TEST(ExportTest, FailedStreamIsReported) {
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  EXPECT_FALSE(ExportResultList({}, ExportFormat::kTsv, out));
}

}  // namespace
