// Reading one posting list straight from the mapped "-idx.m" file.
//
// A list is a run of page records (page delta, 16-bit length of the position
// bytes, positions as variable-length numbers) laid out in 4,096-byte blocks:
// after the last byte of block b the list goes on at block chain[b].
//
// The file is not trusted. A block number beyond the posting file or the
// chain, or a chain that loops (more block changes than the file has
// blocks), makes the list end where it ran off: the cursor is then Failed()
// and reads nothing more. The checks cost one comparison per block change
// plus one per byte that is already needed to notice the block's end.
//
// A list may come with a skip table (engine/skiptable.h), which lets
// SkipToward jump over records instead of reading their headers. An entry
// that does not fit (behind the cursor's page, outside the file) turns the
// table off for the rest of the list, which is then read the plain way.
#ifndef CODEXA_ENGINE_POSTINGCURSOR_H_
#define CODEXA_ENGINE_POSTINGCURSOR_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/skiptable.h"

constexpr uint32_t kPostingBlockSize = 4096;

// The posting file and its block chain, as the index holds them.
struct PostingSource {
  const uint8_t* data = nullptr;  // the whole mapped posting file
  size_t size = 0;
  const uint32_t* chain = nullptr;  // chain[b]: the block that continues b
  uint32_t chainLength = 0;
};

class CPostingCursor {
 public:
  // Positions the cursor at byte 0 of `firstBlock`, page 0, and reads the
  // first record header. `lastPage` is the page of the list's last record;
  // `skip` the list's skip table, if it has one. False when the list runs
  // off its data.
  bool Start(const PostingSource& source, uint32_t firstBlock, uint32_t lastPage, const SkipTable& skip = {}) {
    source_ = &source;
    lastPage_ = lastPage;
    page_ = 0;
    remaining_ = 0;
    consumed_ = 0;
    failed_ = false;
    skip_ = skip;
    nextSkip_ = 0;
    hopsLeft_ = source.size / kPostingBlockSize + 1;
    EnterBlock(firstBlock);
    return NextRecordHeader();
  }

  // page += a variable-length delta; remaining = the following 16-bit count.
  bool NextRecordHeader() {
    // A header of at most five bytes that lies inside the current block is
    // read straight; near the block's end byte by byte. (A failed cursor
    // has no bytes in its block.)
    if (offset_ + 5 > limit_) return NextRecordHeaderSlow();
    const uint8_t* header = bytes_ + offset_;
    const uint32_t length = NumberLength(header[0]);
    page_ += NumberAt(header, length);
    remaining_ = uint32_t{header[length]} | uint32_t{header[length + 1]} << 8;
    offset_ += length + 2;
    consumed_ += length + 2;
    return true;
  }

  // The next position number of the current page. False when the page has
  // no position bytes left or the list ran off its data.
  bool NextPosition(uint32_t& value) {
    // Most numbers lie inside the current block. (A failed cursor has no
    // bytes left in its block.)
    if (remaining_ == 0 || offset_ + 3 > limit_) return NextPositionSlow(value);
    const uint8_t* number = bytes_ + offset_;
    const uint32_t length = NumberLength(number[0]);
    value = NumberAt(number, length);
    offset_ += length;
    consumed_ += length;
    // A number that reaches past the page's bytes still ends the page.
    remaining_ = length >= remaining_ ? 0 : remaining_ - length;
    return true;
  }

  // Moves past the positions left in the current page and answers how many
  // there were: the count of NextPosition calls that would succeed.
  uint32_t CountRestOfPage() {
    const uint32_t start = offset_;
    const uint32_t end = start + remaining_;
    // A number may reach up to two bytes past the page's last byte.
    if (failed_ || end + 2 > limit_) {
      uint32_t count = 0, value;
      while (NextPosition(value)) ++count;
      return count;
    }
    // A number's length follows from its first byte alone, so each step is
    // one load and one add, without a branch that a mix of lengths would
    // keep mispredicting.
    uint32_t at = start, count = 0;
    while (at < end) {
      at += NumberLength(bytes_[at]);
      ++count;
    }
    consumed_ += at - start;
    offset_ = at;
    remaining_ = 0;
    return count;
  }

  // Moves past the position bytes left in the current page.
  bool SkipRestOfPage() {
    if (failed_) return false;
    uint32_t x = offset_ + remaining_;
    consumed_ += remaining_;
    remaining_ = 0;
    while (x > kPostingBlockSize) {
      x -= kPostingBlockSize;
      if (!EnterBlock(NextBlockOf(block_))) return false;
    }
    offset_ = x;
    return true;
  }

  // Where the skip table allows, jumps over the records before the last
  // sampled one whose previous page is below `target`, and reads that
  // record's header. Every record passed over has a page below `target`, so
  // reading on record by record from here finds the same records at
  // `target` and beyond as reading from where the cursor stood.
  void SkipToward(uint32_t target) {
    if (skip_.size() == 0 || failed_) return;
    uint32_t entry;
    if (!LastSampleBelow(target, entry)) return;
    const SkipEntry sample = skip_[entry];
    const uint32_t here = consumed_ + remaining_;  // where the next record header starts
    if (sample.offset <= here) return;             // no record to pass over
    const uint64_t start = uint64_t{sample.block} * kPostingBlockSize;
    const uint32_t within = sample.offset % kPostingBlockSize;
    // The record after the cursor's lies between: its page is above the
    // cursor's and at most the sample's previous page.
    if (sample.pageBefore <= page_ || sample.pageBefore >= lastPage_ || start >= source_->size ||
        within >= source_->size - start) {
      skip_ = {};  // the table disagrees with the list: read it plainly
      return;
    }
    block_ = sample.block;
    bytes_ = source_->data + start;
    const uint64_t avail = source_->size - start;
    limit_ = avail < kPostingBlockSize ? static_cast<uint32_t>(avail) : kPostingBlockSize;
    offset_ = within;
    consumed_ = sample.offset;
    page_ = sample.pageBefore;
    remaining_ = 0;
    NextRecordHeader();
  }

  bool AtEnd() const { return page_ == lastPage_; }
  bool Failed() const { return failed_; }
  uint32_t page() const { return page_; }
  uint32_t lastPage() const { return lastPage_; }
  uint32_t remaining() const { return remaining_; }

 private:
  // The value of the number of `length` bytes at `number`.
  static uint32_t NumberAt(const uint8_t* number, uint32_t length) {
    const uint32_t lead = number[0];
    if (length == 1) return lead;
    if (length == 2) return (lead & 0x3F) << 8 | number[1];
    return (lead & 0x3F) << 16 | uint32_t{number[1]} << 8 | number[2];
  }

  [[gnu::noinline]] bool NextRecordHeaderSlow() {
    uint32_t delta;
    uint8_t lo, hi;
    if (!ReadNumber(delta) || !NextByte(lo) || !NextByte(hi)) return false;
    page_ += delta;
    remaining_ = static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 8);
    return true;
  }

  [[gnu::noinline]] bool NextPositionSlow(uint32_t& value) {
    if (remaining_ == 0 || failed_) return false;
    const uint32_t before = consumed_;
    if (!ReadNumber(value)) return false;
    const uint32_t used = consumed_ - before;
    // A number that reaches past the page's bytes still ends the page.
    remaining_ = used >= remaining_ ? 0 : remaining_ - used;
    return true;
  }

  // The last skip entry from nextSkip_ on whose previous page is below
  // `target` (galloping, then halving: targets only grow). False when
  // there is none.
  bool LastSampleBelow(uint32_t target, uint32_t& entry) {
    uint32_t low = nextSkip_;
    const uint32_t count = skip_.size();
    if (low >= count || skip_[low].pageBefore >= target) return false;
    uint32_t high = low + 1;
    for (uint32_t step = 1; high < count && skip_[high].pageBefore < target; step *= 2) {
      low = high;
      high = step < count - low ? low + step : count;
    }
    while (high - low > 1) {
      const uint32_t middle = low + (high - low) / 2;
      (skip_[middle].pageBefore < target ? low : high) = middle;
    }
    entry = low;
    nextSkip_ = low + 1;
    return true;
  }

  static uint32_t NumberLength(uint8_t lead) { return 1 + (lead >= 0x80) + (lead >= 0xC0); }

  uint32_t NextBlockOf(uint32_t block) const {
    return block < source_->chainLength ? source_->chain[block] : UINT32_MAX;
  }

  // Makes `block` current at offset 0. Fails for blocks outside the file and
  // when the list has changed blocks more often than the file has blocks.
  bool EnterBlock(uint32_t block) {
    const size_t start = static_cast<size_t>(block) * kPostingBlockSize;
    if (hopsLeft_ == 0 || block == UINT32_MAX || start >= source_->size) {
      failed_ = true;
      limit_ = 0;
      offset_ = 0;
      return false;
    }
    --hopsLeft_;
    block_ = block;
    bytes_ = source_->data + start;
    const size_t avail = source_->size - start;
    limit_ = avail < kPostingBlockSize ? static_cast<uint32_t>(avail) : kPostingBlockSize;
    offset_ = 0;
    return true;
  }

  bool NextByte(uint8_t& b) {
    if (offset_ >= limit_) {
      // Only a full block chains on; a short last block means the data ran off.
      if (failed_ || limit_ != kPostingBlockSize || !EnterBlock(NextBlockOf(block_))) {
        failed_ = true;
        return false;
      }
    }
    b = bytes_[offset_++];
    ++consumed_;
    return true;
  }

  bool ReadNumber(uint32_t& value) {
    uint8_t b0, b1, b2;
    if (!NextByte(b0)) return false;
    if (b0 < 0x80) {
      value = b0;
      return true;
    }
    if (!NextByte(b1)) return false;
    if (b0 < 0xC0) {
      value = (static_cast<uint32_t>(b0 & 0x3F) << 8) | b1;
      return true;
    }
    if (!NextByte(b2)) return false;
    value = (static_cast<uint32_t>(b0 & 0x3F) << 16) | (static_cast<uint32_t>(b1) << 8) | b2;
    return true;
  }

  const PostingSource* source_ = nullptr;
  const uint8_t* bytes_ = nullptr;  // start of the current block
  uint32_t block_ = 0;
  uint32_t offset_ = 0;
  uint32_t limit_ = 0;  // bytes of the current block inside the file
  uint32_t page_ = 0;
  uint32_t lastPage_ = 0;
  uint32_t remaining_ = 0;
  uint32_t consumed_ = 0;
  size_t hopsLeft_ = 0;
  bool failed_ = false;
  SkipTable skip_;
  uint32_t nextSkip_ = 0;  // skip entries before this one are behind the cursor
};

#endif  // CODEXA_ENGINE_POSTINGCURSOR_H_
