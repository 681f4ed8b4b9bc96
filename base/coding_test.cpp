#include "base/coding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

const struct {
  uint32_t value;
  std::string bytes;
} kVarNumbers[] = {
    {0, Bytes({0x00})},
    {127, Bytes({0x7F})},
    {128, Bytes({0x80, 0x80})},
    {300, Bytes({0x81, 0x2C})},
    {16383, Bytes({0xBF, 0xFF})},
    {16384, Bytes({0xC0, 0x40, 0x00})},
    {70000, Bytes({0xC1, 0x11, 0x70})},
    {4194303, Bytes({0xFF, 0xFF, 0xFF})},
};

TEST(Coding, VariableLengthNumbers) {
  for (const auto& c : kVarNumbers) {
    std::string out = "x";
    AppendVarNumber(c.value, out);
    EXPECT_EQ(out, "x" + c.bytes) << c.value;
  }
}

TEST(Coding, VariableLengthNumbersReadBackAndNeverPastTheEnd) {
  for (const auto& c : kVarNumbers) {
    const std::string bytes = "x" + c.bytes + "y";
    size_t at = 1;
    uint32_t value = 0;
    ASSERT_TRUE(ReadVarNumber(bytes, at, value)) << c.value;
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(at, 1 + c.bytes.size());
    EXPECT_EQ(VarNumberLength(static_cast<uint8_t>(c.bytes[0])), c.bytes.size()) << c.value;
    // Cut anywhere inside the number: no value, and `at` stays.
    for (size_t keep = 0; keep < c.bytes.size(); ++keep) {
      const std::string cut = c.bytes.substr(0, keep);
      size_t from = 0;
      EXPECT_FALSE(ReadVarNumber(cut, from, value)) << c.value << " cut to " << keep;
      EXPECT_EQ(from, 0u);
    }
  }
}

TEST(Coding, LittleEndianLoadsAndStores) {
  std::string out;
  AppendLE16(0x0102, out);
  AppendLE32(0x03040506, out);
  AppendLE(0x0708090A0B0C0D0EULL, 8, out);
  EXPECT_EQ(out, Bytes({0x02, 0x01, 0x06, 0x05, 0x04, 0x03, 0x0E, 0x0D, 0x0C, 0x0B, 0x0A, 0x09, 0x08, 0x07}));
  const auto* p = reinterpret_cast<const uint8_t*>(out.data());
  EXPECT_EQ(LoadLE16(p), 0x0102);
  EXPECT_EQ(LoadLE32(p + 2), 0x03040506u);
  EXPECT_EQ(LoadLE64(p + 6), 0x0708090A0B0C0D0EULL);
  EXPECT_EQ(LoadLEWidth(p, 1), 0x02u);
  EXPECT_EQ(LoadLEWidth(p, 2), 0x0102u);
  EXPECT_EQ(LoadLEWidth(p + 2, 4), 0x03040506u);
}

}  // namespace
