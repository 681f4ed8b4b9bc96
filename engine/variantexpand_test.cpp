#include "engine/variantexpand.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/variantexpand_testing.h"

namespace {

using codexa::testing::DistinctKeywords;
using codexa::testing::JoinedVariantForms;

CVariantTable Table(std::string_view file) {
  CVariantTable table;
  table.Parse(file);
  return table;
}

TEST(ExpandVariantsTest, FormsOfTheExampleInOrder) {
  const CVariantTable table = Table("4E00,5F0C\n4E8C,5F0D\n");
  const VariantExpansion expansion = ExpandVariants(table, u"\u4E00\u4E8C", 100);
  EXPECT_TRUE(expansion.complete);
  EXPECT_EQ(expansion.keywords,
            (std::vector<std::u16string>{u"\u4E00\u4E8C", u"\u4E00\u5F0D", u"\u5F0C\u4E8C", u"\u5F0C\u5F0D"}));
}

TEST(ExpandVariantsTest, SameKeywordsAsTheJoinedProduct) {
  // 一 has two forms, 二 three (one repeated), 三 none; 𠀀 pairs with 丁,
  // and 乙 stands in two groups, the first of which counts.
  const CVariantTable table = Table("4E00,5F0C\r\n4E8C,5F0D,4E8C,8CB3\n20000,4E01\n4E59,4E00\n4E59,4E19\n");
  const std::u16string queries[] = {
      u"一二",        u"一 二",     u"一\u3000弌",  u"二一 一二 三", u"一*二?",     u"",
      u"三",          u"  一\u3000\u3000二 ", u"\U00020000一", u"丁乙",     u"乙 一二 乙一",
      u"一二三一二三 二一三二一三",
  };
  for (const std::u16string& query : queries) {
    const VariantExpansion expansion = ExpandVariants(table, query, 1000);
    EXPECT_TRUE(expansion.complete);
    EXPECT_EQ(expansion.keywords, DistinctKeywords(JoinedVariantForms(table, query)))
        << std::string(query.begin(), query.end());
  }
}

// 40 characters from U+4E00 on, each with one other form from U+9000 on.
std::u16string PairedKeyword(CVariantTable& table) {
  std::string file;
  std::u16string keyword;
  for (char16_t i = 0; i < 40; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "%X,%X\n", 0x4E00 + i, 0x9000 + i);
    file += line;
    keyword += static_cast<char16_t>(0x4E00 + i);
  }
  table.Parse(file);
  return keyword;
}

TEST(ExpandVariantsTest, GivesUpBeyondTheLimitWithoutFormingTheProduct) {
  CVariantTable table;
  const std::u16string keyword = PairedKeyword(table);
  ASSERT_EQ(table.VariantSet(0x4E27), (std::vector<uint32_t>{0x4E27, 0x9027}));
  // 2^40 forms of one keyword.
  const VariantExpansion expansion = ExpandVariants(table, keyword, 256);
  EXPECT_FALSE(expansion.complete);
  EXPECT_TRUE(expansion.keywords.empty());
  // Two keywords of six such characters: 4,096 joined forms, 128 keywords.
  const std::u16string two = keyword.substr(0, 6) + u"\u3000" + keyword.substr(6, 6);
  const VariantExpansion small = ExpandVariants(table, two, 128);
  ASSERT_TRUE(small.complete);
  EXPECT_EQ(small.keywords, DistinctKeywords(JoinedVariantForms(table, two)));
  EXPECT_FALSE(ExpandVariants(table, two, 127).complete);
}

TEST(ExpandVariantsTest, SeparatorsWildcardsAndNonCharactersNeverBecomeForms) {
  // A table that relates 一 with a space, an ideographic space, '*', '?',
  // the member 0 (a line ending in a lone CR), a surrogate and a value
  // beyond Unicode.
  const CVariantTable table = Table("4E00,20,3000,2A,3F,\r,D800,110000,5F0C\n3000,4E8C\n");
  const VariantExpansion expansion = ExpandVariants(table, u"一\u3000?", 100);
  EXPECT_EQ(expansion.keywords, (std::vector<std::u16string>{u"一", u"?", u"弌"}));
}

TEST(FoldedKeywordsTest, EveryCharacterWithItsSpellings) {
  const CVariantTable table = Table("4E00,5F0C,4E00\n4E8C,20000\n");
  const std::vector<std::vector<KeywordAtom>> folded = FoldedKeywords(table, u"一*二? 弌*二?\u3000三");
  ASSERT_EQ(folded.size(), 2u);  // 弌*二? folds to the same as 一*二?
  EXPECT_EQ(folded[0], (std::vector<KeywordAtom>{{0, {"一", "弌"}}, {'*', {}}, {0, {"二", "𠀀"}}, {'?', {}}}));
  EXPECT_EQ(folded[1], (std::vector<KeywordAtom>{{0, {"三"}}}));
}

}  // namespace
