#include "engine/ngramtable.h"

#include <algorithm>

#include "engine/codeconverter.h"

namespace {

uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint64_t Read64(const uint8_t* p) { return Read32(p) | uint64_t{Read32(p + 4)} << 32; }

uint32_t NumberLength(uint8_t lead) { return 1 + (lead >= 0x80) + (lead >= 0xC0); }

uint32_t NumberAt(const uint8_t* number, uint32_t length) {
  const uint32_t lead = number[0];
  if (length == 1) return lead;
  if (length == 2) return (lead & 0x3F) << 8 | number[1];
  return (lead & 0x3F) << 16 | uint32_t{number[1]} << 8 | number[2];
}

}  // namespace

void DecodePageCounts(const PageCountList& list, std::vector<PageCount>& hits) {
  // Every list lies kNgramPadding bytes or more before the end of the
  // mapping (Open checks it), so a number that starts inside the list can
  // be read whole without looking at the end first.
  hits.reserve(hits.size() + list.size() / 2);
  const uint8_t* at = list.begin;
  uint64_t page = 0, next = 0;
  // An entry takes two bytes at least: a single byte left at the end is
  // no entry.
  while (at + 1 < list.end) {
    uint32_t delta, count;
    if ((at[0] | at[1]) < 0x80) {
      delta = at[0];
      count = at[1];
      at += 2;
    } else {
      uint32_t length = NumberLength(at[0]);
      delta = NumberAt(at, length);
      at += length;
      if (at >= list.end) break;
      length = NumberLength(at[0]);
      count = NumberAt(at, length);
      at += length;
      if (at > list.end) break;
    }
    page += delta;
    if (page > UINT32_MAX) break;
    if (page < next || count == 0) continue;
    hits.push_back({static_cast<uint32_t>(page), count});
    next = page + 1;
  }
}

bool NgramTable::Open(const uint8_t* postings, size_t size, uint16_t format, uint32_t location) {
  *this = NgramTable();
  if (format != kNgramFormat || location == 0) return false;
  const uint64_t start = uint64_t{location} * kNgramAlign;
  if (start > size || size - start < kNgramHeaderSize) return false;
  const uint8_t* header = postings + start;
  const uint64_t available = size - start - kNgramHeaderSize;
  const uint64_t pairCount = Read32(header + 12);
  const uint64_t listBytes = Read64(header + 16);
  const uint64_t tableBytes = (uint64_t{kIndexCodeCount} + 1) * 8 + (pairCount + 1) * 8;
  if (Read32(header) != kNgramMagic || Read32(header + 4) != kNgramVersion ||
      Read32(header + 8) != static_cast<uint32_t>(kIndexCodeCount) || listBytes > available ||
      tableBytes + kNgramPadding > available - listBytes) {
    return false;
  }
  single_ = header + kNgramHeaderSize;
  pairStart_ = single_ + (size_t{kIndexCodeCount} + 1) * 4;
  pairs_ = pairStart_ + (size_t{kIndexCodeCount} + 1) * 4;
  lists_ = pairs_ + (pairCount + 1) * 8;
  pairCount_ = static_cast<uint32_t>(pairCount);
  listBytes_ = listBytes;
  return true;
}

NgramTable::Lookup NgramTable::ListAt(uint32_t from, uint32_t to, PageCountList& list) const {
  if (from > to || to > listBytes_) return Lookup::kUnusable;
  list = {lists_ + from, lists_ + to};
  return from == to ? Lookup::kAbsent : Lookup::kFound;
}

NgramTable::Lookup NgramTable::Single(int32_t code, PageCountList& list) const {
  if (!IsOpen() || code < 0 || code >= kIndexCodeCount) return Lookup::kUnusable;
  const uint8_t* entry = single_ + size_t(code) * 4;
  return ListAt(Read32(entry), Read32(entry + 4), list);
}

NgramTable::Lookup NgramTable::Pair(int32_t first, int32_t second, PageCountList& list) const {
  if (!IsOpen() || first < 0 || first >= kIndexCodeCount || second < 0) return Lookup::kUnusable;
  const uint8_t* start = pairStart_ + size_t(first) * 4;
  uint32_t low = Read32(start), high = Read32(start + 4);
  if (low > high || high > pairCount_) return Lookup::kUnusable;
  const auto wanted = static_cast<uint32_t>(second);
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    const uint8_t* entry = pairs_ + size_t{middle} * 8;
    const uint32_t code = Read32(entry);
    if (code == wanted) return ListAt(Read32(entry + 4), Read32(entry + 12), list);
    if (code < wanted) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return Lookup::kAbsent;
}
