#include "engine/pagecountlist.h"

#include <algorithm>
#include <bit>

#include "base/coding.h"
#include "engine/indexformat.h"

namespace {

// The shape of one block, read from its head.
struct BlockHead {
  uint64_t firstPage = 0;
  uint32_t stepWidth = 0;
  uint32_t countMode = 0;
  uint32_t countWidth = 0;
};

// The `width`-bit number at bit `bit` of `bits` (LSB first). Loads eight
// bytes: the list's padding keeps that within readable memory.
inline uint64_t BitsAt(const uint8_t* bits, uint64_t bit, uint64_t mask) {
  return LoadLE64(bits + (bit >> 3)) >> (bit & 7) & mask;
}

uint64_t Mask(uint32_t width) { return width == 0 ? 0 : ~uint64_t{0} >> (64 - width); }

uint64_t PackedBytes(uint64_t count, uint32_t width) { return (count * width + 7) / 8; }

bool ReadBlockHead(const uint8_t*& at, const uint8_t* end, uint32_t entries, BlockHead& head) {
  if (!ReadTableNumber(at, end, head.firstPage) || at == end) return false;
  head.stepWidth = *at & 0x3F;
  head.countMode = *at >> 6;
  ++at;
  if (head.stepWidth > kNgramMaxStepWidth || head.countMode > kNgramCountsFlagged) return false;
  if (head.countMode != kNgramCountsOne) {
    if (at == end) return false;
    head.countWidth = *at++;
    if (head.countWidth > kNgramMaxCountWidth) return false;
  }
  return entries > 0;
}

// Pages of one block into `pages`; false when one passes 32 bits.
bool DecodePages(const uint8_t* steps, const BlockHead& head, uint32_t entries, uint32_t* pages) {
  uint64_t page = head.firstPage;
  if (page > UINT32_MAX) return false;
  pages[0] = static_cast<uint32_t>(page);
  const uint64_t mask = Mask(head.stepWidth);
  uint64_t bit = 0;
  for (uint32_t i = 1; i < entries; ++i, bit += head.stepWidth) {
    page += BitsAt(steps, bit, mask) + 1;
    pages[i] = static_cast<uint32_t>(page);
  }
  return page <= UINT32_MAX;
}

// Counts of one block into `counts`: the bytes after the steps. Answers the
// bytes they take, or 0 when they run past `available`.
uint64_t DecodeCounts(const uint8_t* at, uint64_t available, const BlockHead& head, uint32_t entries,
                      uint32_t* counts) {
  std::fill(counts, counts + entries, 1u);
  const uint64_t mask = Mask(head.countWidth);
  if (head.countMode == kNgramCountsPacked) {
    const uint64_t size = PackedBytes(entries, head.countWidth);
    if (size > available) return 0;
    for (uint32_t i = 0; i < entries; ++i) counts[i] += static_cast<uint32_t>(BitsAt(at, uint64_t{i} * head.countWidth, mask));
    return size;
  }
  // Flagged: a bit per entry, then count - 2 of each flagged one.
  const uint64_t flagBytes = (entries + 7) / 8;
  if (flagBytes > available) return 0;
  uint64_t flagged = 0;
  for (uint64_t i = 0; i < flagBytes; ++i) flagged += std::popcount(at[i]);
  const uint64_t size = flagBytes + PackedBytes(flagged, head.countWidth);
  if (size > available) return 0;
  const uint8_t* values = at + flagBytes;
  uint64_t bit = 0;
  for (uint32_t i = 0; i < entries; ++i) {
    if (at[i >> 3] >> (i & 7) & 1) {
      counts[i] = 2 + static_cast<uint32_t>(BitsAt(values, bit, mask));
      bit += head.countWidth;
    }
  }
  return size;
}

// One block of `entries` entries; false when it does not fit or its pages
// do not go on from `next` (the lowest page it may start at).
bool DecodeBlock(const uint8_t*& at, const uint8_t* end, uint32_t entries, uint64_t& next, uint32_t* pages,
                 uint32_t* counts) {
  BlockHead head;
  if (!ReadBlockHead(at, end, entries, head) || head.firstPage < next) return false;
  const uint64_t stepBytes = PackedBytes(entries - 1, head.stepWidth);
  if (stepBytes > static_cast<uint64_t>(end - at)) return false;
  if (!DecodePages(at, head, entries, pages)) return false;
  at += stepBytes;
  uint64_t countBytes = 0;
  if (head.countMode == kNgramCountsOne) {
    std::fill(counts, counts + entries, 1u);
  } else if ((countBytes = DecodeCounts(at, static_cast<uint64_t>(end - at), head, entries, counts)) == 0) {
    return false;
  }
  at += countBytes;
  next = uint64_t{pages[entries - 1]} + 1;
  return true;
}

void DecodeListBytes(const PageCountList& list, HitArrays& hits) {
  const uint8_t* at = list.begin;
  uint64_t total = 0;
  // A block takes two bytes at least, so a count beyond what the bytes can
  // hold is damage; it would only make room for entries that are not there.
  if (!ReadTableNumber(at, list.end, total) || total == 0 || total > uint64_t{list.size()} / 2 * kNgramBlockEntries) {
    return;
  }
  const size_t start = hits.size();
  hits.pages.resize(start + total);
  hits.counts.resize(start + total);
  uint64_t done = 0, next = 0;
  while (done < total) {
    const auto entries = static_cast<uint32_t>(std::min<uint64_t>(kNgramBlockEntries, total - done));
    if (!DecodeBlock(at, list.end, entries, next, hits.pages.data() + start + done,
                     hits.counts.data() + start + done)) {
      break;
    }
    done += entries;
  }
  hits.pages.resize(start + done);
  hits.counts.resize(start + done);
}

}  // namespace

void DecodePageCounts(const PageCountList& list, HitArrays& hits) {
  if (list.onlyPage) {
    hits.Add(*list.onlyPage, 1);
    return;
  }
  if (list.begin != nullptr && list.begin < list.end) DecodeListBytes(list, hits);
}

void AppendTableNumber(uint64_t value, std::string& out) {
  for (; value >= 0x80; value >>= 7) out.push_back(static_cast<char>(0x80 | (value & 0x7F)));
  out.push_back(static_cast<char>(value));
}

bool ReadTableNumber(const uint8_t*& at, const uint8_t* end, uint64_t& value) {
  value = 0;
  const uint8_t* p = at;
  for (int shift = 0; shift < 35; shift += 7) {
    if (p == end) return false;
    const uint8_t byte = *p++;
    value |= uint64_t{byte & 0x7Fu} << shift;
    if (byte < 0x80) {
      at = p;
      return true;
    }
  }
  return false;
}
