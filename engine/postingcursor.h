// Reading one posting list straight from the mapped "-idx.m" file.
//
// A list is a run of page records (page delta, 16-bit length of the position
// bytes, positions as variable-length numbers) laid out in blocks: after the
// last byte of block b the list goes on at block chain[b]
// (engine/indexformat.h).
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

#include "base/coding.h"
#include "engine/indexformat.h"
#include "engine/skiptable.h"

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
    m_pSource = &source;
    m_nLastPage = lastPage;
    m_nPage = 0;
    m_nRemaining = 0;
    m_nConsumed = 0;
    m_nJumped = 0;
    m_bFailed = false;
    m_skip = skip;
    m_nNextSkip = 0;
    m_nHopsLeft = source.size / kPostingBlockSize + 1;
    EnterBlock(firstBlock);
    return NextRecordHeader();
  }

  // page += a variable-length delta; remaining = the following 16-bit count.
  bool NextRecordHeader() {
    // A header of at most five bytes that lies inside the current block is
    // read straight; near the block's end byte by byte. (A failed cursor
    // has no bytes in its block.)
    if (m_nOffset + 5 > m_nLimit) return NextRecordHeaderSlow();
    const uint8_t* header = m_pBlock + m_nOffset;
    const uint32_t length = VarNumberLength(header[0]);
    m_nPage += VarNumberAt(header, length);
    m_nRemaining = uint32_t{header[length]} | uint32_t{header[length + 1]} << 8;
    m_nOffset += length + 2;
    m_nConsumed += length + 2;
    return true;
  }

  // The next position number of the current page. False when the page has
  // no position bytes left or the list ran off its data.
  bool NextPosition(uint32_t& value) {
    // Most numbers lie inside the current block. (A failed cursor has no
    // bytes left in its block.)
    if (m_nRemaining == 0 || m_nOffset + 3 > m_nLimit) return NextPositionSlow(value);
    const uint8_t* number = m_pBlock + m_nOffset;
    const uint32_t length = VarNumberLength(number[0]);
    value = VarNumberAt(number, length);
    m_nOffset += length;
    m_nConsumed += length;
    // A number that reaches past the page's bytes still ends the page.
    m_nRemaining = length >= m_nRemaining ? 0 : m_nRemaining - length;
    return true;
  }

  // Moves past the positions left in the current page and answers how many
  // there were: the count of NextPosition calls that would succeed.
  uint32_t CountRestOfPage() {
    const uint32_t start = m_nOffset;
    const uint32_t end = start + m_nRemaining;
    // A number may reach up to two bytes past the page's last byte.
    if (m_bFailed || end + 2 > m_nLimit) {
      uint32_t count = 0, value;
      while (NextPosition(value)) ++count;
      return count;
    }
    // A number's length follows from its first byte alone, so each step is
    // one load and one add, without a branch that a mix of lengths would
    // keep mispredicting.
    uint32_t at = start, count = 0;
    while (at < end) {
      at += VarNumberLength(m_pBlock[at]);
      ++count;
    }
    m_nConsumed += at - start;
    m_nOffset = at;
    m_nRemaining = 0;
    return count;
  }

  // Reads on record by record to the first one whose page is at least
  // `target` (staying where it is when it is there already). False when the
  // list is complete or runs off its data first. The same records as
  // SkipRestOfPage and NextRecordHeader in turn, but within a block the
  // walk keeps its place in registers: each record's header is found from
  // the one before it, and a place kept in the cursor between steps would
  // add a store and a load to that chain at every record.
  bool AdvanceTo(uint32_t target) {
    while (m_nPage < target) {
      if (AtEnd()) return false;
      uint32_t page = m_nPage, offset = m_nOffset, remaining = m_nRemaining, consumed = m_nConsumed;
      // A failed cursor has no bytes in its block.
      while (page < target && page != m_nLastPage && offset + remaining + 5 <= m_nLimit) {
        const uint8_t* header = m_pBlock + offset + remaining;
        const uint32_t length = VarNumberLength(header[0]);
        page += VarNumberAt(header, length);
        consumed += remaining + length + 2;
        offset += remaining + length + 2;
        remaining = uint32_t{header[length]} | uint32_t{header[length + 1]} << 8;
      }
      m_nPage = page, m_nOffset = offset, m_nRemaining = remaining, m_nConsumed = consumed;
      // Near the block's end, or past the list's last page: one record the
      // plain way.
      if (m_nPage < target && (AtEnd() || !SkipRestOfPage() || !NextRecordHeader())) return false;
    }
    return true;
  }

  // Moves past the position bytes left in the current page.
  bool SkipRestOfPage() {
    if (m_bFailed) return false;
    uint32_t x = m_nOffset + m_nRemaining;
    m_nConsumed += m_nRemaining;
    m_nRemaining = 0;
    while (x > kPostingBlockSize) {
      x -= kPostingBlockSize;
      if (!EnterBlock(NextBlockOf(m_nBlock))) return false;
    }
    m_nOffset = x;
    return true;
  }

  // Where the skip table allows, jumps over the records before the last
  // sampled one whose previous page is below `target`, and reads that
  // record's header. Every record passed over has a page below `target`, so
  // reading on record by record from here finds the same records at
  // `target` and beyond as reading from where the cursor stood.
  void SkipToward(uint32_t target) {
    if (m_skip.size() == 0 || m_bFailed) return;
    uint32_t entry;
    if (LastSampleBelow(target, entry)) JumpToSample(entry);
  }

  // SkipToward with the entry that SkipTable::LastEntriesBelow found for
  // `target` in skipTable() (kNoEntry for none), when it is the one
  // SkipToward's own search finds from where the cursor stands; any other
  // (a stale plan, a table whose pages do not ascend) is searched for anew.
  void SkipToward(uint32_t target, uint32_t planned) {
    if (m_skip.size() == 0 || m_bFailed) return;
    const uint32_t count = m_skip.size();
    if (planned == SkipTable::kNoEntry) {
      if (m_nNextSkip >= count || m_skip.PageBefore(m_nNextSkip) >= target) return;
    } else if (planned >= m_nNextSkip && planned < count && m_skip.PageBefore(planned) < target &&
               (planned + 1 == count || m_skip.PageBefore(planned + 1) >= target)) {
      m_nNextSkip = planned + 1;
      return JumpToSample(planned);
    }
    SkipToward(target);
  }

  // Starts bringing in the bytes that a jump to skip entry `entry` (not
  // kNoEntry) and the walk after it read: the record's header and the few
  // cache lines after it that the records up to the next entry mostly
  // take. Nothing is read or checked now; JumpToSample checks the entry.
  void PrefetchSample(uint32_t entry) const {
    if (entry >= m_skip.size()) return;
    const SkipEntry sample = m_skip[entry];
    const uint64_t at = uint64_t{sample.block} * kPostingBlockSize + sample.offset % kPostingBlockSize;
    if (at >= m_pSource->size) return;
    for (uint64_t line = 0; line < kPrefetchLines && at + line * 64 < m_pSource->size; ++line) {
      __builtin_prefetch(m_pSource->data + at + line * 64);
    }
  }

  const SkipTable& skipTable() const { return m_skip; }

 private:
  static constexpr uint64_t kPrefetchLines = 4;

  // Jumps to the record of skip entry `entry`, unless it lies behind the
  // cursor; an entry that does not fit the list turns the table off.
  void JumpToSample(uint32_t entry) {
    const SkipEntry sample = m_skip[entry];
    const uint32_t here = m_nConsumed + m_nRemaining;  // where the next record header starts
    if (sample.offset <= here) return;             // no record to pass over
    const uint64_t start = uint64_t{sample.block} * kPostingBlockSize;
    const uint32_t within = sample.offset % kPostingBlockSize;
    // The record after the cursor's lies between: its page is above the
    // cursor's and at most the sample's previous page.
    if (sample.pageBefore <= m_nPage || sample.pageBefore >= m_nLastPage || start >= m_pSource->size ||
        within >= m_pSource->size - start) {
      m_skip = {};  // the table disagrees with the list: read it plainly
      return;
    }
    m_nBlock = sample.block;
    m_pBlock = m_pSource->data + start;
    const uint64_t avail = m_pSource->size - start;
    m_nLimit = avail < kPostingBlockSize ? static_cast<uint32_t>(avail) : kPostingBlockSize;
    m_nOffset = within;
    m_nJumped += sample.offset - m_nConsumed;
    m_nConsumed = sample.offset;
    m_nPage = sample.pageBefore;
    m_nRemaining = 0;
    NextRecordHeader();
  }

 public:
  bool AtEnd() const { return m_nPage == m_nLastPage; }
  bool Failed() const { return m_bFailed; }
  uint32_t page() const { return m_nPage; }
  uint32_t lastPage() const { return m_nLastPage; }
  uint32_t remaining() const { return m_nRemaining; }
  // The list bytes the cursor has gone through since Start, less those a
  // skip table let it jump over.
  uint32_t bytesRead() const { return m_nConsumed - m_nJumped; }

 private:
  [[gnu::noinline]] bool NextRecordHeaderSlow() {
    uint32_t delta;
    uint8_t lo, hi;
    if (!ReadNumber(delta) || !NextByte(lo) || !NextByte(hi)) return false;
    m_nPage += delta;
    m_nRemaining = static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 8);
    return true;
  }

  [[gnu::noinline]] bool NextPositionSlow(uint32_t& value) {
    if (m_nRemaining == 0 || m_bFailed) return false;
    const uint32_t before = m_nConsumed;
    if (!ReadNumber(value)) return false;
    const uint32_t used = m_nConsumed - before;
    // A number that reaches past the page's bytes still ends the page.
    m_nRemaining = used >= m_nRemaining ? 0 : m_nRemaining - used;
    return true;
  }

  // The last skip entry from m_nNextSkip on whose previous page is below
  // `target` (galloping, then halving: targets only grow). False when
  // there is none.
  bool LastSampleBelow(uint32_t target, uint32_t& entry) {
    uint32_t low = m_nNextSkip;
    const uint32_t count = m_skip.size();
    if (low >= count || m_skip[low].pageBefore >= target) return false;
    uint32_t high = low + 1;
    for (uint32_t step = 1; high < count && m_skip[high].pageBefore < target; step *= 2) {
      low = high;
      high = step < count - low ? low + step : count;
    }
    while (high - low > 1) {
      const uint32_t middle = low + (high - low) / 2;
      (m_skip[middle].pageBefore < target ? low : high) = middle;
    }
    entry = low;
    m_nNextSkip = low + 1;
    return true;
  }

  uint32_t NextBlockOf(uint32_t block) const {
    return block < m_pSource->chainLength ? m_pSource->chain[block] : UINT32_MAX;
  }

  // Makes `block` current at offset 0. Fails for blocks outside the file and
  // when the list has changed blocks more often than the file has blocks.
  bool EnterBlock(uint32_t block) {
    const size_t start = static_cast<size_t>(block) * kPostingBlockSize;
    if (m_nHopsLeft == 0 || block == UINT32_MAX || start >= m_pSource->size) {
      m_bFailed = true;
      m_nLimit = 0;
      m_nOffset = 0;
      return false;
    }
    --m_nHopsLeft;
    m_nBlock = block;
    m_pBlock = m_pSource->data + start;
    const size_t avail = m_pSource->size - start;
    m_nLimit = avail < kPostingBlockSize ? static_cast<uint32_t>(avail) : kPostingBlockSize;
    m_nOffset = 0;
    return true;
  }

  bool NextByte(uint8_t& b) {
    if (m_nOffset >= m_nLimit) {
      // Only a full block chains on; a short last block means the data ran off.
      if (m_bFailed || m_nLimit != kPostingBlockSize || !EnterBlock(NextBlockOf(m_nBlock))) {
        m_bFailed = true;
        return false;
      }
    }
    b = m_pBlock[m_nOffset++];
    ++m_nConsumed;
    return true;
  }

  // A number that may straddle blocks, byte by byte.
  bool ReadNumber(uint32_t& value) {
    uint8_t number[kMaxVarNumberLength];
    if (!NextByte(number[0])) return false;
    const uint32_t length = VarNumberLength(number[0]);
    for (uint32_t i = 1; i < length; ++i) {
      if (!NextByte(number[i])) return false;
    }
    value = VarNumberAt(number, length);
    return true;
  }

  const PostingSource* m_pSource = nullptr;
  const uint8_t* m_pBlock = nullptr;  // start of the current block
  uint32_t m_nBlock = 0;
  uint32_t m_nOffset = 0;
  uint32_t m_nLimit = 0;  // bytes of the current block inside the file
  uint32_t m_nPage = 0;
  uint32_t m_nLastPage = 0;
  uint32_t m_nRemaining = 0;
  uint32_t m_nConsumed = 0;  // where the cursor stands in the list
  uint32_t m_nJumped = 0;    // of that, what skip-table jumps passed over
  size_t m_nHopsLeft = 0;
  bool m_bFailed = false;
  SkipTable m_skip;
  uint32_t m_nNextSkip = 0;  // skip entries before this one are behind the cursor
};

#endif  // CODEXA_ENGINE_POSTINGCURSOR_H_
