#include "engine/codeconverter.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/ngramtable.h"

namespace {

TEST(CharToIndexCode, MapsEachRangeAndRefusesTheRest) {
  const struct {
    uint32_t codePoint;
    int32_t code;
  } cases[] = {
      {0x3400, 0},       {0x4E00, 6656},    {0x9FFF, 27647},   {0xF900, 27904},  {0xFA10, 28176},
      {0xFAFF, 28415},   {0x20000, 32512},  {0x2A6DF, 75231},  {0x2F800, 75232}, {0x2FA1F, 75775},
      {0x3042, 75776},   {0x30F6, 75956},   {0xE000, 75957},   {0xFF1F, 83924},  {0xFF21, 83926},
      {0xFFFF, 84148},   {0x3041, -1},      {0x30F7, -1},      {0x3002, -1},     {0x3000, -1},
      {0x33FF, -1},      {0xA000, -1},      {0x41, -1},        {0x1FFFF, -1},    {0x2A6E0, -1},
      {0x2F7FF, -1},     {0x2FA20, -1},     {0x110000, -1},    {0xFFFFFFFF, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CharToIndexCode(c.codePoint), c.code) << std::hex << c.codePoint;
  }
}

TEST(CharToIndexCode, NoTwoCodePointsShareACode) {
  std::vector<uint32_t> owner(kIndexCodeCount, UINT32_MAX);
  for (uint32_t codePoint = 0; codePoint <= 0x10FFFF; ++codePoint) {
    const int32_t code = CharToIndexCode(codePoint);
    if (code < 0) continue;
    ASSERT_LT(code, kNgramTableCode) << std::hex << codePoint;
    ASSERT_EQ(owner[static_cast<size_t>(code)], UINT32_MAX) << std::hex << codePoint << " and " << owner[code];
    owner[static_cast<size_t>(code)] = codePoint;
  }
}

}  // namespace
