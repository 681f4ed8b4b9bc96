// CountRestOfPage must give what reading the positions one by one gives,
// and AdvanceTo reach what reading the records one by one reaches, each
// leaving the cursor where that leaves it, wherever the bytes lie in their
// block, also when a page's length field cuts a number short or the list
// runs off its data.

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

// A random list in blocks chained in order, some of them cut short so
// that the list runs off its data, in exactly as many bytes as the file
// (a read past them is caught under AddressSanitizer). Bytes that are no
// record follow the list's last one, as the rest of a list's last block.
struct RandomFile {
  RandomFile(std::mt19937& random, int round) {
    std::string bytes = RandomList(random, 1 + random() % 400, round % 2 == 1, lastPage);
    for (int i = 0; i < 16; ++i) bytes += static_cast<char>(random());
    const uint32_t blocks = static_cast<uint32_t>((bytes.size() + kPostingBlockSize - 1) / kPostingBlockSize);
    for (uint32_t b = 0; b < blocks; ++b) chain.push_back(b + 1);
    if (round % 5 == 4) bytes.resize(bytes.size() * 2 / 3);
    file.assign(bytes.begin(), bytes.end());
  }
  PostingSource source() const { return {file.data(), file.size(), chain.data(), static_cast<uint32_t>(chain.size())}; }

  uint32_t lastPage = 0;
  std::vector<uint32_t> chain;
  std::vector<uint8_t> file;
};

TEST(PostingCursorCount, AgreesWithReadingEachPosition) {
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    const RandomFile randomFile(random, round);
    const PostingSource source = randomFile.source();
    const uint32_t lastPage = randomFile.lastPage;

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

TEST(PostingCursorAdvance, ReachesWhatReadingEachRecordReaches) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const RandomFile randomFile(random, round);
    const PostingSource source = randomFile.source();
    CPostingCursor advanced, walked;
    const bool started = advanced.Start(source, 0, randomFile.lastPage);
    ASSERT_EQ(walked.Start(source, 0, randomFile.lastPage), started);
    for (bool more = started; more;) {
      // Targets a few pages on, at times the page the cursors are on, and
      // at times after some of the page's positions are read.
      const uint32_t target = walked.page() + random() % 12;
      uint32_t value;
      for (uint32_t n = random() % 3; n > 0; --n) {
        const bool read = walked.NextPosition(value);
        ASSERT_EQ(advanced.NextPosition(value), read);
        if (!read) break;
      }
      bool reached = true;
      while (reached && walked.page() < target) {
        reached = !walked.AtEnd() && walked.SkipRestOfPage() && walked.NextRecordHeader();
      }
      ASSERT_EQ(advanced.AdvanceTo(target), reached) << "round " << round << " target " << target;
      ASSERT_EQ(advanced.page(), walked.page()) << "round " << round;
      ASSERT_EQ(advanced.remaining(), walked.remaining()) << "round " << round;
      ASSERT_EQ(advanced.bytesRead(), walked.bytesRead()) << "round " << round;
      ASSERT_EQ(advanced.Failed(), walked.Failed()) << "round " << round;
      more = reached && !walked.AtEnd();
    }
  }
}

}  // namespace
