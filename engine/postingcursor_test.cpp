#include "engine/postingcursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kNone = UINT32_MAX;

// A posting file built by hand: whole blocks unless a test cuts it short.
struct Postings {
  std::vector<uint8_t> bytes;
  std::vector<uint32_t> chain;

  explicit Postings(uint32_t blocks, uint8_t fill = 0xEE) : bytes(size_t{blocks} * kPostingBlockSize, fill) {}
  void Put(uint32_t block, uint32_t offset, const std::vector<uint8_t>& data) {
    std::copy(data.begin(), data.end(), bytes.begin() + block * kPostingBlockSize + offset);
  }
  PostingSource Source() const {
    return PostingSource{bytes.data(), bytes.size(), chain.data(), static_cast<uint32_t>(chain.size())};
  }
};

std::vector<uint32_t> Positions(CPostingCursor& cursor) {
  std::vector<uint32_t> positions;
  uint32_t value;
  while (cursor.NextPosition(value)) positions.push_back(value);
  return positions;
}

// Walks records to the list's end the way a search advances past pages;
// the step count proves that it stops.
int WalkToEnd(CPostingCursor& cursor) {
  int steps = 0;
  while (!cursor.AtEnd() && steps < 10'000'000) {
    ++steps;
    if (!cursor.SkipRestOfPage() || !cursor.NextRecordHeader()) break;
  }
  return steps;
}

TEST(PostingCursor, ReadsTheWorkedExample) {
  Postings file(1);
  file.Put(0, 0, {0x05, 0x02, 0x00, 0x03, 0x07, 0x7D, 0x01, 0x00, 0x07});
  file.chain = {kNone};
  const PostingSource source = file.Source();
  CPostingCursor cursor;
  ASSERT_TRUE(cursor.Start(source, 0, 130));
  EXPECT_EQ(cursor.page(), 5u);
  EXPECT_EQ(cursor.remaining(), 2u);
  EXPECT_FALSE(cursor.AtEnd());
  EXPECT_EQ(Positions(cursor), (std::vector<uint32_t>{3, 7}));  // 3, then 10 - 3
  ASSERT_TRUE(cursor.NextRecordHeader());
  EXPECT_EQ(cursor.page(), 130u);
  EXPECT_TRUE(cursor.AtEnd());
  EXPECT_EQ(Positions(cursor), (std::vector<uint32_t>{7}));
  EXPECT_FALSE(cursor.Failed());
}

TEST(PostingCursor, DecodesEveryVariableLengthForm) {
  const struct {
    std::vector<uint8_t> bytes;
    uint32_t value;
  } cases[] = {
      {{0x00}, 0},
      {{0x7F}, 127},
      {{0x80, 0x80}, 128},
      {{0x81, 0x2C}, 300},
      {{0xBF, 0xFF}, 16383},
      {{0xC0, 0x40, 0x00}, 16384},
      {{0xC1, 0x11, 0x70}, 70000},
      {{0xFF, 0xFF, 0xFF}, 4194303},
      {{0x80, 0x05}, 5},        // longer forms of small values are accepted
      {{0xC0, 0x00, 0x05}, 5},
  };
  for (const auto& c : cases) {
    Postings file(1);
    // The value as page delta and as the only position of the record.
    std::vector<uint8_t> record = c.bytes;
    record.push_back(static_cast<uint8_t>(c.bytes.size()));
    record.push_back(0);
    record.insert(record.end(), c.bytes.begin(), c.bytes.end());
    file.Put(0, 0, record);
    file.chain = {kNone};
    const PostingSource source = file.Source();
    CPostingCursor cursor;
    ASSERT_TRUE(cursor.Start(source, 0, c.value));
    EXPECT_EQ(cursor.page(), c.value);
    EXPECT_EQ(Positions(cursor), std::vector<uint32_t>{c.value});
  }
}

// Two records laid so that the second starts `before` bytes ahead of the end
// of block 0; the list goes on in block 2 (block 1 is another list's).
std::vector<uint8_t> SecondRecord() { return {0x81, 0x2C, 0x04, 0x00, 0xC1, 0x11, 0x70, 0x05}; }

Postings StraddlingFile(uint32_t before) {
  Postings file(3);
  const uint32_t firstLength = kPostingBlockSize - before - 3;  // delta, 2 length bytes
  std::vector<uint8_t> list = {0x01, static_cast<uint8_t>(firstLength & 0xFF), static_cast<uint8_t>(firstLength >> 8)};
  list.insert(list.end(), firstLength, 0x01);
  const std::vector<uint8_t> second = SecondRecord();
  list.insert(list.end(), second.begin(), second.end());
  file.Put(0, 0, std::vector<uint8_t>(list.begin(), list.begin() + kPostingBlockSize));
  file.Put(2, 0, std::vector<uint8_t>(list.begin() + kPostingBlockSize, list.end()));
  file.chain = {2, kNone, kNone};
  return file;
}

TEST(PostingCursor, ValuesStraddleBlockEndsWhenSkipping) {
  for (uint32_t before = 0; before <= SecondRecord().size(); ++before) {
    const Postings file = StraddlingFile(before);
    const PostingSource source = file.Source();
    CPostingCursor cursor;
    ASSERT_TRUE(cursor.Start(source, 0, 301)) << before;
    EXPECT_EQ(cursor.page(), 1u);
    ASSERT_TRUE(cursor.SkipRestOfPage());
    ASSERT_TRUE(cursor.NextRecordHeader()) << before;
    EXPECT_EQ(cursor.page(), 301u);
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_EQ(Positions(cursor), (std::vector<uint32_t>{70000, 5})) << before;
    EXPECT_FALSE(cursor.Failed());
  }
}

TEST(PostingCursor, ValuesStraddleBlockEndsWhenReadingPositions) {
  for (uint32_t before = 0; before <= SecondRecord().size(); ++before) {
    const Postings file = StraddlingFile(before);
    const PostingSource source = file.Source();
    CPostingCursor cursor;
    ASSERT_TRUE(cursor.Start(source, 0, 301));
    EXPECT_EQ(Positions(cursor).size(), kPostingBlockSize - before - 3);
    ASSERT_TRUE(cursor.NextRecordHeader());
    EXPECT_EQ(cursor.page(), 301u);
    EXPECT_EQ(Positions(cursor), (std::vector<uint32_t>{70000, 5})) << before;
  }
}

TEST(PostingCursor, SkipsAcrossSeveralBlocks) {
  // One page whose 9,000 position bytes span blocks 3, 0 and 2; the next
  // record follows in block 2.
  Postings file(4);
  const uint32_t length = 9000;
  std::vector<uint8_t> list = {0x07, static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8)};
  list.insert(list.end(), length, 0x02);
  list.insert(list.end(), {0x01, 0x01, 0x00, 0x09});
  file.Put(3, 0, std::vector<uint8_t>(list.begin(), list.begin() + 4096));
  file.Put(0, 0, std::vector<uint8_t>(list.begin() + 4096, list.begin() + 8192));
  file.Put(2, 0, std::vector<uint8_t>(list.begin() + 8192, list.end()));
  file.chain = {2, kNone, kNone, 0};
  const PostingSource source = file.Source();
  CPostingCursor cursor;
  ASSERT_TRUE(cursor.Start(source, 3, 8));
  ASSERT_TRUE(cursor.SkipRestOfPage());
  ASSERT_TRUE(cursor.NextRecordHeader());
  EXPECT_EQ(cursor.page(), 8u);
  EXPECT_EQ(Positions(cursor), std::vector<uint32_t>{9});
}

TEST(PostingCursor, ARecordEndingExactlyAtABlockEndChainsOnTheNextByte) {
  Postings file(2);
  const uint32_t length = kPostingBlockSize - 3;
  std::vector<uint8_t> first = {0x01, static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8)};
  first.insert(first.end(), length, 0x00);
  file.Put(1, 0, first);
  file.Put(0, 0, {0x02, 0x01, 0x00, 0x04});
  file.chain = {kNone, 0};
  const PostingSource source = file.Source();
  CPostingCursor cursor;
  ASSERT_TRUE(cursor.Start(source, 1, 3));
  ASSERT_TRUE(cursor.SkipRestOfPage());
  ASSERT_TRUE(cursor.NextRecordHeader());
  EXPECT_EQ(cursor.page(), 3u);
  EXPECT_EQ(Positions(cursor), std::vector<uint32_t>{4});
}

// Damaged files: every walk ends, Failed() tells why, nothing is read
// outside the file (the sanitizer build checks the last part).
TEST(PostingCursor, EndsListsThatRunOffTheirData) {
  const std::vector<uint8_t> emptyRecords(kPostingBlockSize, 0x00);  // delta 0, length 0, ...
  struct Case {
    const char* what;
    uint32_t blocks;
    size_t cutTo;  // file size; 0 keeps whole blocks
    std::vector<uint32_t> chain;
    uint32_t firstBlock;
    uint32_t lastPage;
  };
  const Case cases[] = {
      {"chain loops on itself", 1, 0, {0}, 0, 1},
      {"chain loops over two blocks", 2, 0, {1, 0}, 0, 1},
      {"chain points beyond the file", 1, 0, {7}, 0, 1},
      {"chain shorter than the blocks", 2, 0, {}, 0, 1},
      {"first block beyond the file", 1, 0, {kNone}, 5, 1},
      {"first block is all ones", 1, 0, {kNone}, kNone, 1},
      {"short last block", 2, kPostingBlockSize + 10, {1, kNone}, 1, 1},
      {"last page never reached", 1, 0, {kNone}, 0, 77},
  };
  for (const Case& c : cases) {
    Postings file(c.blocks);
    for (uint32_t b = 0; b < c.blocks; ++b) file.Put(b, 0, emptyRecords);
    if (c.cutTo != 0) file.bytes.resize(c.cutTo);
    file.chain = c.chain;
    const PostingSource source = file.Source();
    CPostingCursor cursor;
    cursor.Start(source, c.firstBlock, c.lastPage);
    const int steps = WalkToEnd(cursor);
    EXPECT_TRUE(cursor.Failed()) << c.what;
    EXPECT_FALSE(cursor.AtEnd()) << c.what;
    EXPECT_LT(steps, 10'000'000) << c.what;
    uint32_t value;
    EXPECT_FALSE(cursor.NextPosition(value)) << c.what;
    EXPECT_FALSE(cursor.NextRecordHeader()) << c.what;
  }
}

TEST(PostingCursor, SkippingPastAShortLastBlockFails) {
  Postings file(1);
  file.Put(0, 0, {0x01, 0x00, 0x10});  // claims 4,096 position bytes
  file.bytes.resize(100);
  file.chain = {kNone};
  const PostingSource source = file.Source();
  CPostingCursor cursor;
  ASSERT_TRUE(cursor.Start(source, 0, 2));
  EXPECT_FALSE(cursor.SkipRestOfPage() && cursor.NextRecordHeader());
  EXPECT_TRUE(cursor.Failed());
}

TEST(PostingCursor, APositionReachingPastItsPageEndsThePage) {
  Postings file(1);
  file.Put(0, 0, {0x01, 0x01, 0x00, 0x81, 0x2C, 0x02, 0x01, 0x00, 0x03});  // length 1, a 2-byte number
  file.chain = {kNone};
  const PostingSource source = file.Source();
  CPostingCursor cursor;
  ASSERT_TRUE(cursor.Start(source, 0, 3));
  EXPECT_EQ(Positions(cursor), std::vector<uint32_t>{300});
  EXPECT_EQ(cursor.remaining(), 0u);
}

}  // namespace
