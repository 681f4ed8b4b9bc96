#include "tools/build/textnormalize.h"

#include <gtest/gtest.h>

namespace codexa::build {
namespace {

TEST(DisplayText, AsciiBecomesFullWidthAndSpacesIdeographic) {
  EXPECT_EQ(DisplayText("a<b>&\"1"), "ａ＜ｂ＞＆＂１");
  EXPECT_EQ(DisplayText("東 風\t細\n雨"), "東　風　細　雨");
  EXPECT_EQ(DisplayText("（一作「東風」）"), "（一作「東風」）");
  EXPECT_EQ(DisplayText("\xff"), "\xEF\xBF\xBD");  // a stray byte is shown as U+FFFD
}

TEST(SplitInlineNotes, BracketedStretchesBecomeNotes) {
  struct Case {
    const char* text;
    std::vector<build::Run> runs;
  };
  const Case cases[] = {
      {"白日依山盡", {{RunKind::kMainText, "白日依山盡"}}},
      {"東風（一作「東風細雨」）吹", {{RunKind::kMainText, "東風"}, {RunKind::kAnnotation, "（一作「東風細雨」）"}, {RunKind::kMainText, "吹"}}},
      {"(注)甲", {{RunKind::kAnnotation, "(注)"}, {RunKind::kMainText, "甲"}}},
      {"甲（外（內）外）", {{RunKind::kMainText, "甲"}, {RunKind::kAnnotation, "（外（內）外）"}}},
      {"甲（未完", {{RunKind::kMainText, "甲（未完"}}},
      {"甲）乙", {{RunKind::kMainText, "甲）乙"}}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const std::vector<build::Run> runs = SplitInlineNotes(c.text);
    ASSERT_EQ(runs.size(), c.runs.size()) << c.text;
    for (size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i].kind, c.runs[i].kind) << c.text;
      EXPECT_EQ(runs[i].text, c.runs[i].text) << c.text;
    }
  }
}

TEST(ChineseNumber, ReadsAsWritten) {
  const std::pair<int, const char*> cases[] = {{1, "一"},       {10, "十"},     {12, "十二"},    {20, "二十"},
                                               {105, "一百零五"}, {110, "一百一十"}, {900, "九百"}, {1003, "一千零三"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(ChineseNumber(n), text) << n;
}

}  // namespace
}  // namespace codexa::build
