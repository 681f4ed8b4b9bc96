#include "engine/variants.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/codeconverter.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using Groups = std::vector<std::vector<uint32_t>>;

Groups Parsed(std::string_view bytes) {
  CVariantTable table;
  table.Parse(bytes);
  return table.groups();
}

TEST(VariantTable, SplitsLinesAndMembers) {
  const struct {
    std::string_view bytes;
    Groups groups;
  } cases[] = {
      {"4E00,5F0C\n4E8C,5F0D\n", {{0x4E00, 0x5F0C}, {0x4E8C, 0x5F0D}}},
      {"4E00,5F0C\n4E8C,5F0D", {{0x4E00, 0x5F0C}, {0x4E8C, 0x5F0D}}},  // no final LF
      {"\n\n4E00\n\n", {{0x4E00}}},                                    // empty lines do not exist
      {"4E00,5F0C\r\n4E8C\r\n", {{0x4E00, 0x5F0C}, {0x4E8C}}},          // CR LF: the CR is ignored
      {"4E00\r\n\r\n4E8C\r\n", {{0x4E00}, {0}, {0x4E8C}}},              // an empty CR LF line is {0}
      {",,,\n4E00\n", {{}, {0x4E00}}},                                  // only commas: a group without members
      {",4E00,,5F0C,\n", {{0x4E00, 0x5F0C}}},
      {"4E00,4E00,5F0C\n", {{0x4E00, 0x4E00, 0x5F0C}}},                  // duplicates stay
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Parsed(c.bytes), c.groups) << c.bytes;
}

TEST(VariantTable, ReadsMembersAsCReadsHexNumbers) {
  const struct {
    std::string_view member;
    uint32_t value;
  } cases[] = {
      {"4E00", 0x4E00},     {"0x4e00", 0x4E00},   {"0X4E00", 0x4E00},     {" \t4e00", 0x4E00},
      {"4E00\r", 0x4E00},   {"\r", 0},            {"zz", 0},              {"4E00zz12", 0x4E00},
      {"+20000", 0x20000},  {"-1", 0xFFFFFFFF},   {"-0x10", 0xFFFFFFF0},  {"0xg", 0},
      {"0x", 0},            {"FFFFFFFF", 0xFFFFFFFF}, {"100000000", 0xFFFFFFFF}, {"-100000000", 0xFFFFFFFF},
      {"00000000004E00", 0x4E00},
  };
  for (const auto& c : cases) {
    const Groups groups = Parsed(c.member);
    ASSERT_EQ(groups.size(), 1u) << c.member;
    EXPECT_EQ(groups[0], std::vector<uint32_t>{c.value}) << c.member;
  }
}

TEST(VariantTable, TheFirstGroupOfACodePointDecides) {
  CVariantTable table;
  table.Parse("4E00,5F0C\n4E8C,5F0D,4E00\n9999\n");
  const struct {
    uint32_t codePoint;
    int64_t group;
  } cases[] = {{0x4E00, 0}, {0x5F0C, 0}, {0x4E8C, 1}, {0x5F0D, 1}, {0x9999, 2}, {0x1234, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(table.GroupOf(c.codePoint), c.group) << std::hex << c.codePoint;
    int32_t code = -5;
    EXPECT_EQ(table.FindVariantGroup(c.codePoint, code), c.group >= 0);
    EXPECT_EQ(code, c.group >= 0 ? kFirstGroupCode + c.group : -5);
  }
  EXPECT_EQ(table.VariantSet(0x4E00), (std::vector<uint32_t>{0x4E00, 0x5F0C}));
  EXPECT_EQ(table.VariantSet(0x5F0D), (std::vector<uint32_t>{0x4E8C, 0x5F0D, 0x4E00}));
  EXPECT_EQ(table.VariantSet(0x1234), (std::vector<uint32_t>{0x1234}));
}

TEST(VariantTable, GroupsBeyondTheTablesKeepTheirOwnCodes) {
  std::string bytes;
  for (uint32_t n = 0; n < kGroupCodeCapacity + 2; ++n) bytes += std::to_string(0x10000 + n) + "\n";
  CVariantTable table;
  table.Parse(bytes);
  ASSERT_EQ(table.groups().size(), kGroupCodeCapacity + 2);
  const auto member = [&](uint32_t n) { return table.groups()[n][0]; };
  int32_t code = -5;
  EXPECT_TRUE(table.FindVariantGroup(member(0), code));
  EXPECT_EQ(code, 88065);
  EXPECT_TRUE(table.FindVariantGroup(member(kGroupCodeCapacity - 1), code));
  EXPECT_EQ(code, 99999);
  code = -5;
  EXPECT_FALSE(table.FindVariantGroup(member(kGroupCodeCapacity), code));
  EXPECT_EQ(code, -5);
  EXPECT_EQ(table.GroupOf(member(kGroupCodeCapacity + 1)), kGroupCodeCapacity + 1);
  EXPECT_EQ(table.VariantSet(member(kGroupCodeCapacity)).size(), 1u);
}

// The lookup by hash must answer what a walk over the groups in file order
// answers, whatever the overlaps.
TEST(VariantTable, LookupAgreesWithALinearWalk) {
  std::mt19937 random(7);
  std::string bytes;
  for (int line = 0; line < 300; ++line) {
    const int members = static_cast<int>(random() % 5);
    if (members == 0) bytes += ",";
    for (int m = 0; m < members; ++m) bytes += (m ? "," : "") + std::to_string(random() % 200);
    bytes += random() % 4 == 0 ? "\r\n" : "\n";
  }
  CVariantTable table;
  table.Parse(bytes);
  for (uint32_t cp = 0; cp < 0x300; ++cp) {
    int64_t expected = -1;
    for (size_t n = 0; n < table.groups().size() && expected < 0; ++n) {
      for (uint32_t member : table.groups()[n]) {
        if (member == cp) {
          expected = static_cast<int64_t>(n);
          break;
        }
      }
    }
    EXPECT_EQ(table.GroupOf(cp), expected) << cp;
  }
}

TEST(VariantTable, LoadReadsTheFileOrLeavesNoGroups) {
  codexa::writer::ScratchDir dir;
  CVariantTable table;
  table.Parse("4E00\n");
  EXPECT_FALSE(table.Load(dir.path()));
  EXPECT_TRUE(table.groups().empty());
  EXPECT_EQ(table.GroupOf(0x4E00), -1);

  dir.Write(kVariantFileName, "4E00,5F0C\r\n\r\n4E8C\n");
  EXPECT_TRUE(table.Load(dir.path()));
  EXPECT_EQ(table.groups(), (Groups{{0x4E00, 0x5F0C}, {0}, {0x4E8C}}));
  EXPECT_EQ(table.GroupOf(0x4E8C), 2);
}

}  // namespace
