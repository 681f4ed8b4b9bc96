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
#ifndef CODEXA_ENGINE_POSTINGCURSOR_H_
#define CODEXA_ENGINE_POSTINGCURSOR_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
  // first record header. `lastPage` is the page of the list's last record.
  // False when the list runs off its data.
  bool Start(const PostingSource& source, uint32_t firstBlock, uint32_t lastPage) {
    source_ = &source;
    lastPage_ = lastPage;
    page_ = 0;
    remaining_ = 0;
    failed_ = false;
    hopsLeft_ = source.size / kPostingBlockSize + 1;
    EnterBlock(firstBlock);
    return NextRecordHeader();
  }

  // page += a variable-length delta; remaining = the following 16-bit count.
  bool NextRecordHeader() {
    uint32_t delta;
    uint8_t lo, hi;
    if (!ReadNumber(delta) || !NextByte(lo) || !NextByte(hi)) return false;
    page_ += delta;
    remaining_ = static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 8);
    return true;
  }

  // The next position number of the current page. False when the page has
  // no position bytes left or the list ran off its data.
  bool NextPosition(uint32_t& value) {
    // Most positions are one-byte numbers inside the current block. (A
    // failed cursor has no bytes left in its block.)
    if (remaining_ != 0 && offset_ < limit_ && bytes_[offset_] < 0x80) {
      value = bytes_[offset_++];
      ++consumed_;
      --remaining_;
      return true;
    }
    return NextPositionSlow(value);
  }

  // Moves past the positions left in the current page and answers how many
  // there were: the count of NextPosition calls that would succeed. When the
  // page's bytes lie well inside the current block they are counted eight
  // at a time, skipping runs of one-byte numbers at once.
  uint32_t CountRestOfPage() {
    const uint32_t start = offset_;
    const uint32_t end = start + remaining_;
    // Words are read up to seven bytes past the page's last byte.
    if (std::endian::native != std::endian::little || failed_ || end + 8 > limit_) {
      uint32_t count = 0, value;
      while (NextPosition(value)) ++count;
      return count;
    }
    uint32_t at = start, count = 0;
    while (at < end) {
      const uint32_t left = end - at;
      uint64_t eight;
      std::memcpy(&eight, bytes_ + at, 8);
      uint64_t leads = eight & 0x8080808080808080u;
      if (left < 8) leads &= (uint64_t{1} << (8 * left)) - 1;
      if (leads == 0) {
        const uint32_t singles = left < 8 ? left : 8;
        at += singles;
        count += singles;
        continue;
      }
      // The one-byte numbers before the first longer one, and that one.
      const auto singles = static_cast<uint32_t>(std::countr_zero(leads)) / 8;
      at += singles + (bytes_[at + singles] < 0xC0 ? 2 : 3);
      count += singles + 1;
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
    remaining_ = 0;
    while (x > kPostingBlockSize) {
      x -= kPostingBlockSize;
      if (!EnterBlock(NextBlockOf(block_))) return false;
    }
    offset_ = x;
    return true;
  }

  bool AtEnd() const { return page_ == lastPage_; }
  bool Failed() const { return failed_; }
  uint32_t page() const { return page_; }
  uint32_t lastPage() const { return lastPage_; }
  uint32_t remaining() const { return remaining_; }

 private:
  [[gnu::noinline]] bool NextPositionSlow(uint32_t& value) {
    if (remaining_ == 0 || failed_) return false;
    const uint32_t before = consumed_;
    if (!ReadNumber(value)) return false;
    const uint32_t used = consumed_ - before;
    // A number that reaches past the page's bytes still ends the page.
    remaining_ = used >= remaining_ ? 0 : remaining_ - used;
    return true;
  }

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
};

#endif  // CODEXA_ENGINE_POSTINGCURSOR_H_
