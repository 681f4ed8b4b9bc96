#include "engine/vectorunpack.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Number i of `width` bits, LSB first, read bit by bit.
uint32_t ReferenceNumber(const std::vector<uint8_t>& bytes, size_t start, uint32_t width, uint32_t i) {
  uint32_t value = 0;
  for (uint32_t b = 0; b < width; ++b) {
    const uint64_t bit = uint64_t{i} * width + b;
    value |= uint32_t{bytes[start + bit / 8] >> (bit % 8) & 1u} << b;
  }
  return value;
}

// Random packed numbers at the end of a buffer that ends `slack` bytes
// after them: the loads must stay inside it.
struct Packed {
  std::vector<uint8_t> bytes;
  size_t start = 0;
  const uint8_t* in() const { return bytes.data() + start; }
  const uint8_t* readable() const { return bytes.data() + bytes.size(); }
};

Packed RandomPacked(std::mt19937& random, uint32_t width, uint32_t n, uint32_t slack) {
  Packed packed;
  packed.start = random() % 5;
  packed.bytes.resize(packed.start + (uint64_t{n} * width + 7) / 8 + slack);
  for (uint8_t& byte : packed.bytes) byte = static_cast<uint8_t>(random());
  return packed;
}

constexpr uint32_t kSentinel = 0xDEADBEEF;

TEST(VectorUnpack, AgreesWithTheBitByBitReadingForEveryWidthAndEnd) {
  std::mt19937 random(7);
  for (uint32_t width = 0; width <= 32; ++width) {
    for (const uint32_t n : {0u, 1u, 7u, 8u, 9u, 16u, 63u, 127u, 128u}) {
      for (const uint32_t slack : {0u, 8u, 40u}) {
        SCOPED_TRACE(testing::Message() << "width " << width << ", " << n << " numbers, " << slack << " bytes after");
        const Packed packed = RandomPacked(random, width, n, slack);
        std::vector<uint32_t> pages(n + 1, kSentinel), plus(n + 1, kSentinel);
        uint32_t page = 1000;
        const uint32_t pagesDone = UnpackPageStepsVector(packed.in(), packed.readable(), width, n, page, pages.data());
        const uint32_t plusDone = UnpackPlusVector(packed.in(), packed.readable(), width, n, 2, plus.data());
        ASSERT_EQ(pagesDone, plusDone);
        ASSERT_EQ(pagesDone % 8, 0u);
        ASSERT_LE(pagesDone, n);
        // With room after the numbers, the vector path takes every whole
        // group of the widths it handles, where the processor has it.
        const bool applies = VectorUnpackAvailable() && width >= 1 && width <= kVectorUnpackMaxWidth;
        if (slack >= 16) {
          EXPECT_EQ(pagesDone, applies ? n / 8 * 8 : 0u);
        }
        uint32_t expectedPage = 1000;
        for (uint32_t i = 0; i < pagesDone; ++i) {
          const uint32_t number = ReferenceNumber(packed.bytes, packed.start, width, i);
          expectedPage += number + 1;
          ASSERT_EQ(pages[i], expectedPage) << "page " << i;
          ASSERT_EQ(plus[i], number + 2) << "number " << i;
        }
        EXPECT_EQ(page, expectedPage);
        EXPECT_EQ(pages[pagesDone], kSentinel);
        EXPECT_EQ(plus[pagesDone], kSentinel);
      }
    }
  }
}

TEST(VectorUnpack, PagesWrapAsThePortableSumDoes) {
  // Steps of all ones near the top of the 32-bit range: the caller checks
  // the sum beforehand, but the values must still be the same 32-bit sums.
  std::vector<uint8_t> bytes(64, 0xFF);
  std::vector<uint32_t> pages(16);
  uint32_t page = UINT32_MAX - 10;
  const uint32_t done = UnpackPageStepsVector(bytes.data(), bytes.data() + bytes.size(), 2, 16, page, pages.data());
  uint32_t expected = UINT32_MAX - 10;
  for (uint32_t i = 0; i < done; ++i) EXPECT_EQ(pages[i], expected += 4);
  EXPECT_EQ(page, expected);
}

}  // namespace
