#include "tools/build/variantgroups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "engine/codeconverter.h"

namespace codexa::build {
namespace {

// A character as its code point, from a one-character UTF-8 literal.
uint32_t C(std::string_view utf8) {
  auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(utf8[i])); };
  if (utf8.size() == 3) return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
  return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
}

// What the reader folds a character with: the first group that holds it.
std::set<uint32_t> FirstGroup(const VariantGroups& groups, uint32_t c) {
  for (const auto& group : groups) {
    if (std::find(group.begin(), group.end(), c) != group.end()) return {group.begin(), group.end()};
  }
  return {c};
}

std::set<uint32_t> Chars(std::string_view utf8) {
  std::set<uint32_t> out;
  for (size_t i = 0; i < utf8.size();) {
    size_t length = static_cast<uint8_t>(utf8[i]) >= 0xF0 ? 4 : 3;
    out.insert(C(utf8.substr(i, length)));
    i += length;
  }
  return out;
}

// A small picture of the real sources with the one-to-many mappings that
// chain unrelated words when every pair is joined.
VariantSources Fixture() {
  VariantSources s;
  s.unihan =
      "# comment\n"
      "U+5E72\tkTraditionalVariant\tU+4E7E U+5E72 U+5E79\n"  // 干 -> 乾 干 幹
      "U+5E79\tkSimplifiedVariant\tU+5E72\n"                 // 幹 -> 干
      "U+4E7E\tkSimplifiedVariant\tU+4E7E U+5E72\n"          // 乾 -> 乾 干
      "U+53D1\tkTraditionalVariant\tU+767C U+9AEE\n"         // 发 -> 發 髮
      "U+570B\tkSimplifiedVariant\tU+56FD\n"                 // 國 -> 国
      "U+570B\tkSemanticVariant\tU+56EF<kMeyerWempe\n"       // 國 ~ 囯 (囯 has no other relation)
      "U+56EF\tkSemanticVariant\tU+570B<kMeyerWempe\n"
      "U+9810\tkSimplifiedVariant\tU+9884\n"                 // 預 -> 预
      "U+9918\tkSimplifiedVariant\tU+4F59\n"                 // 餘 -> 余
      "U+9918\tkSemanticVariant\tU+9810<kMatthews\n"         // 餘 ~ 預: both have relations
      "U+95DC\tkSimplifiedVariant\tU+5173\n"                 // 關 -> 关
      "U+95DC\tkSemanticVariant\tU+5BE1<kLau\n"             // 關 ~ 寡, a common character
      "U+8FAF\tkSpoofingVariant\tU+8FA8\n";                  // not used
  s.unihanFrequency =
      "U+5BE1\tkFrequency\t5\n"
      "U+5BE1\tkCangjie\tJMCH\n";  // other fields are ignored
  s.opencc["STCharacters"] = "干\t幹 乾 干\n发\t發 髮\n后\t後 后\n国\t國\n";
  s.opencc["TSCharacters"] = "幹\t干\n乾\t干 乾\n發\t发\n髮\t发\n後\t后\n國\t国\n";
  s.opencc["TWVariants"] = "";
  s.opencc["HKVariants"] = "";
  s.opencc["JPVariants"] = "發\t発\n髮\t髪\n國\t国\n辨\t弁\n辯\t弁\n";
  s.opencc["JPShinjitaiCharacters"] = "弁\t辯 辨 弁\n";
  return s;
}

TEST(VariantGroups, OneToManyFormsDoNotChainTheirSources) {
  VariantGroupReport report;
  VariantGroups groups = BuildVariantGroups(Fixture(), &report);
  struct Case {
    const char* character;
    const char* foldsWith;
  } cases[] = {
      {"發", "發発发"}, {"发", "發発发"}, {"発", "發発发"}, {"髮", "髮髪发"},
      {"幹", "幹干"},   {"干", "幹干"},   {"乾", "乾干"},   {"後", "後后"},
      {"后", "後后"},   {"國", "國国囯"}, {"囯", "國国囯"}, {"辯", "辯弁"},
      {"弁", "辯弁"},   {"辨", "辨弁"},   {"預", "預预"},   {"餘", "餘余"},
      {"關", "關关"},   {"寡", "寡"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstGroup(groups, C(c.character)), Chars(c.foldsWith)) << c.character;
  }
  EXPECT_EQ(report.skippedLines, 0u);
  for (const auto& group : groups) {
    EXPECT_GE(group.size(), 2u);
    EXPECT_EQ(std::set<uint32_t>(group.begin(), group.end()).size(), group.size()) << "duplicate member";
  }
}

// Every line reversed and CR LF line ends: the same groups in the same order.
TEST(VariantGroups, OrderDoesNotDependOnLineOrder) {
  VariantSources reversed = Fixture();
  auto reverseLines = [](std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    text.clear();
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) text += *it + "\r\n";
  };
  reverseLines(reversed.unihan);
  for (auto& [name, text] : reversed.opencc) reverseLines(text);
  EXPECT_EQ(BuildVariantGroups(reversed), BuildVariantGroups(Fixture()));
}

TEST(VariantGroups, LargeGroupKeepsItsClusterFirst) {
  VariantSources s;
  s.unihan = "U+4E00\tkZVariant\tU+4E01\n";  // 一 and 丁 are the same character here
  std::string forms = "一\t";
  for (uint32_t c = 0x4E10; c < 0x4E20; ++c) {  // sixteen simplified forms
    forms += std::string(c == 0x4E10 ? "" : " ") + static_cast<char>(0xE4) + static_cast<char>(0xB8) +
             static_cast<char>(0x80 | (c & 0x3F));
  }
  s.opencc["TSCharacters"] = forms + "\n";
  VariantGroupReport report;
  VariantGroups groups = BuildVariantGroups(s, &report);
  ASSERT_EQ(groups.size(), 1u);
  ASSERT_EQ(groups[0].size(), kMaxVariantGroupSize);
  EXPECT_EQ(groups[0][0], 0x4E00u);
  EXPECT_EQ(groups[0][1], 0x4E01u);
  EXPECT_EQ(report.trimmedMembers, 16 + 2 - kMaxVariantGroupSize);
}

// 甲 and 乙 are one character, 丙 and 丁 another; each is also the simplified
// form of the other pair. Each group holds a member of the other, so one of
// them must give up its guest for every character to fold with its own pair.
TEST(VariantGroups, GroupsHoldingEachOthersMembersStaySound) {
  VariantSources s;
  s.opencc["TWVariants"] = "甲\t乙\n丙\t丁\n";
  s.opencc["TSCharacters"] = "甲\t丁\n丙\t乙\n";
  VariantGroupReport report;
  VariantGroups groups = BuildVariantGroups(s, &report);
  EXPECT_EQ(report.droppedGuests, 1u);
  EXPECT_EQ(FirstGroup(groups, C("甲")).count(C("乙")), 1u);
  EXPECT_EQ(FirstGroup(groups, C("乙")).count(C("甲")), 1u);
  EXPECT_EQ(FirstGroup(groups, C("丙")).count(C("丁")), 1u);
  EXPECT_EQ(FirstGroup(groups, C("丁")).count(C("丙")), 1u);
}

TEST(VariantGroups, MalformedLinesAreSkippedAndCounted) {
  const char* badUnihan[] = {
      "U+570B\tkSimplifiedVariant\tU+56",       // truncated code point
      "U+570B\tkSimplifiedVariant",             // missing field
      "U+570B\tkSimplifiedVariant\tU+0041",     // not an ideograph
      "U+570B\tkSimplifiedVariant\tU+56FD U+",  // one bad target spoils the line
      "570B\tkSimplifiedVariant\tU+56FD",       // no U+
      "U+110000\tkSimplifiedVariant\tU+56FD",   // beyond Unicode
      "U+570B\tkSimplifiedVariant\tU+56FD\textra",  // a fourth field
  };
  const char* badOpencc[] = {
      "國",             // no tab
      "國\t",           // no value
      "國\t国 ",        // empty value
      "國國\t国",       // two characters as a key
      "\xE5\x9C\t国",   // truncated UTF-8
      "\xED\xA0\x80\t国",  // a surrogate
      "A\tB",
  };
  for (const char* line : badUnihan) {
    VariantSources s;
    s.unihan = std::string(line) + "\n";
    VariantGroupReport report;
    EXPECT_TRUE(BuildVariantGroups(s, &report).empty()) << line;
    EXPECT_EQ(report.skippedLines, 1u) << line;
  }
  for (const char* line : {"U+5BE1\tkFrequency\t9", "U+5B\tkFrequency\t1"}) {
    VariantSources s;
    s.unihanFrequency = line;
    VariantGroupReport report;
    BuildVariantGroups(s, &report);
    EXPECT_EQ(report.skippedLines, 1u) << line;
  }
  for (const char* line : badOpencc) {
    VariantSources s;
    s.opencc["TSCharacters"] = line;  // also: the last line without its line break
    VariantGroupReport report;
    EXPECT_TRUE(BuildVariantGroups(s, &report).empty()) << line;
    EXPECT_EQ(report.skippedLines, 1u) << line;
  }
}

TEST(VariantGroups, MissingSourceFileIsNamed) {
  std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "variant-sources";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "Unihan_Variants.txt") << Fixture().unihan;
  std::ofstream(dir / "Unihan_DictionaryLikeData.txt") << Fixture().unihanFrequency;
  for (const auto& [name, text] : Fixture().opencc) {
    if (name != "JPVariants") std::ofstream(dir / (name + ".txt")) << text;
  }
  VariantGroups groups;
  std::string error;
  EXPECT_FALSE(LoadVariantGroups(dir, groups, error));
  EXPECT_NE(error.find("JPVariants.txt"), std::string::npos) << error;

  std::ofstream(dir / "JPVariants.txt") << Fixture().opencc["JPVariants"];
  EXPECT_TRUE(LoadVariantGroups(dir, groups, error)) << error;
  EXPECT_EQ(groups, BuildVariantGroups(Fixture()));
  std::filesystem::remove_all(dir);
}

// The prepared real sources (dev.sh writes them before building).
class RealVariantSources : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    if (!std::filesystem::exists(CODEXA_VARIANT_SOURCES))
      GTEST_SKIP() << "no prepared sources in " << CODEXA_VARIANT_SOURCES;
    ASSERT_TRUE(LoadVariantGroups(CODEXA_VARIANT_SOURCES, m_groups, error, &m_report)) << error;
  }
  VariantGroups m_groups;
  VariantGroupReport m_report;
};

TEST_F(RealVariantSources, FitTheIndexAndNothingIsSkipped) {
  EXPECT_LE(m_groups.size(), kGroupCodeCapacity - 1);
  EXPECT_GT(m_groups.size(), 3000u);
  EXPECT_EQ(m_report.skippedLines, 0u);
  for (const auto& group : m_groups) EXPECT_LE(group.size(), kMaxVariantGroupSize);
}

TEST_F(RealVariantSources, SpotChecks) {
  struct Case {
    const char* character;
    const char* mustHold;
    const char* mustNotHold;
  } cases[] = {
      {"国", "國囯", ""},     {"國", "国囯", ""},   {"学", "學斈", ""},   {"學", "学斈", ""},
      {"広", "廣广", ""},     {"广", "廣広", ""},   {"気", "氣气", ""},   {"气", "氣気", ""},
      {"発", "發发", "髮髪"}, {"發", "発发", "髮"}, {"发", "發発", "髮"}, {"髮", "髪发", "發"},
      {"后", "後", ""},       {"後", "后", ""},     {"干", "幹", "乾"},   {"乾", "干", "幹"},
      {"辯", "弁", "辨瓣辦"}, {"辨", "弁", "辯瓣辦"},
  };
  for (const Case& c : cases) {
    std::set<uint32_t> group = FirstGroup(m_groups, C(c.character));
    for (uint32_t m : Chars(c.mustHold)) EXPECT_EQ(group.count(m), 1u) << c.character;
    for (uint32_t m : Chars(c.mustNotHold)) EXPECT_EQ(group.count(m), 0u) << c.character;
  }
  // 后/後 is a pair, not a hub for unrelated characters.
  EXPECT_LE(FirstGroup(m_groups, C("後")).size(), 3u);
}

}  // namespace
}  // namespace codexa::build
