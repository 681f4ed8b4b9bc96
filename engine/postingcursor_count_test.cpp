// CountRestOfPage must give what reading the positions one by one gives,
// and leave the cursor where that leaves it, wherever the page's bytes lie
// in their block, also when a page's length field cuts a number short.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/postingcursor.h"
#include "writer/corpuswriter.h"

namespace {

// A list of `pages` records with random position numbers of one to three
// bytes. With `cutNumbers`, some length fields end inside the last number.
std::string RandomList(std::mt19937& random, int pages, bool cutNumbers, uint32_t& lastPage) {
  std::string list;
  uint32_t page = 0;
  for (int p = 0; p < pages; ++p) {
    std::string positions;
    for (int n = 1 + static_cast<int>(random() % 40); n > 0; --n) {
      const uint32_t kind = random() % 10;
      AppendVarNumber(kind < 7 ? random() % 0x80 : kind < 9 ? random() % 0x4000 : random() % 0x400000, positions);
    }
    uint32_t length = static_cast<uint32_t>(positions.size());
    // A shorter length field makes the page end inside its last numbers.
    if (cutNumbers && random() % 4 == 0 && length > 2) length -= 1 + random() % 2;
    const uint32_t delta = 1 + random() % 3;
    page += delta;
    AppendVarNumber(delta, list);
    list += static_cast<char>(length & 0xFF);
    list += static_cast<char>(length >> 8);
    list += positions;
  }
  lastPage = page;
  return list;
}

TEST(PostingCursorCount, AgreesWithReadingEachPosition) {
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    uint32_t lastPage = 0;
    std::string bytes = RandomList(random, 1 + random() % 400, round % 2 == 1, lastPage);
    // Blocks in order, chained one to the next; some rounds cut the file
    // short so that the list runs off its data.
    const uint32_t blocks = static_cast<uint32_t>((bytes.size() + kPostingBlockSize - 1) / kPostingBlockSize);
    std::vector<uint32_t> chain(blocks);
    for (uint32_t b = 0; b < blocks; ++b) chain[b] = b + 1;
    if (round % 5 == 4) bytes.resize(bytes.size() * 2 / 3);
    // Exactly as many bytes as the file, so that a read past them is caught
    // under AddressSanitizer.
    const std::vector<uint8_t> file(bytes.begin(), bytes.end());
    const PostingSource source{file.data(), file.size(), chain.data(), blocks};

    CPostingCursor counted, read;
    const bool started = counted.Start(source, 0, lastPage);
    ASSERT_EQ(read.Start(source, 0, lastPage), started);
    while (started) {
      ASSERT_EQ(counted.page(), read.page());
      uint32_t expected = 0, value;
      while (read.NextPosition(value)) ++expected;
      ASSERT_EQ(counted.CountRestOfPage(), expected) << "round " << round << " page " << read.page();
      ASSERT_EQ(counted.Failed(), read.Failed());
      if (read.AtEnd() || read.Failed()) break;
      const bool more = read.SkipRestOfPage() && read.NextRecordHeader();
      ASSERT_EQ(counted.SkipRestOfPage() && counted.NextRecordHeader(), more);
      if (!more) break;
    }
  }
}

}  // namespace
