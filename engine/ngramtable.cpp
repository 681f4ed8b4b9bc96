#include "engine/ngramtable.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/codeconverter.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define CODEXA_DECODE_SSE2 1
#endif

namespace {

uint32_t Read32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint64_t Read64(const uint8_t* p) { return Read32(p) | uint64_t{Read32(p + 4)} << 32; }

uint64_t ByteSwap64(uint64_t value) {
  uint64_t swapped = 0;
  for (int i = 0; i < 8; ++i, value >>= 8) swapped = swapped << 8 | (value & 0xFF);
  return swapped;
}

uint32_t NumberLength(uint8_t lead) { return 1 + (lead >= 0x80) + (lead >= 0xC0); }

// The value of the 1-3-byte number at `number` (three bytes readable).
uint32_t NumberAt(const uint8_t* number) {
  const uint32_t lead = number[0];
  const uint32_t two = (lead & 0x3F) << 8 | number[1];
  const uint32_t three = two << 8 | number[2];
  return lead < 0x80 ? lead : lead < 0xC0 ? two : three;
}

#ifdef CODEXA_DECODE_SSE2
// Eight entries of one-byte numbers from 16 bytes, when every byte lies in
// 1..127 (no longer number, no page that fails to ascend, no zero count).
// Writes the pages from `page` on and the counts; false (nothing written)
// when the bytes do not qualify.
bool DecodeEightSmall(const uint8_t* at, uint64_t& page, uint32_t* pages, uint32_t* counts) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const __m128i zero = _mm_setzero_si128();
  if (_mm_movemask_epi8(_mm_or_si128(bytes, _mm_cmpeq_epi8(bytes, zero))) != 0) return false;
  // Deltas sit in the low byte of each 16-bit lane, counts in the high
  // byte. The running sum of eight deltas stays below 1,024.
  __m128i steps = _mm_and_si128(bytes, _mm_set1_epi16(0x00FF));
  steps = _mm_add_epi16(steps, _mm_slli_si128(steps, 2));
  steps = _mm_add_epi16(steps, _mm_slli_si128(steps, 4));
  steps = _mm_add_epi16(steps, _mm_slli_si128(steps, 8));
  const __m128i base = _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(page)));
  const __m128i entryCounts = _mm_srli_epi16(bytes, 8);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pages), _mm_add_epi32(base, _mm_unpacklo_epi16(steps, zero)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pages + 4), _mm_add_epi32(base, _mm_unpackhi_epi16(steps, zero)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(counts), _mm_unpacklo_epi16(entryCounts, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(counts + 4), _mm_unpackhi_epi16(entryCounts, zero));
  page += static_cast<uint32_t>(_mm_extract_epi16(steps, 7));
  return true;
}
#endif

}  // namespace

void DecodePageCounts(const PageCountList& list, HitArrays& hits) {
  // Room for the most entries the bytes can hold, written through plain
  // pointers (the vectors' own bookkeeping on every entry costs more than
  // the decoding), then cut to what was written.
  const size_t start = hits.size();
  hits.pages.resize(start + list.size() / 2);
  hits.counts.resize(start + list.size() / 2);
  uint32_t* const firstPage = hits.pages.data() + start;
  uint32_t* pages = firstPage;
  uint32_t* counts = hits.counts.data() + start;
  // Every list lies kNgramPadding bytes or more before the end of the
  // mapping (Open checks it), so a number that starts inside the list can
  // be read whole without looking at the end first.
  const uint8_t* at = list.begin;
  uint64_t page = 0, next = 0;
  // An entry takes two bytes at least: a single byte left at the end is
  // no entry.
  while (at + 1 < list.end) {
#ifdef CODEXA_DECODE_SSE2
    if (list.end - at >= 16 && page + 1 >= next && page < UINT32_MAX - 8 * 0x7F &&
        DecodeEightSmall(at, page, pages, counts)) {
      pages += 8;
      counts += 8;
      next = page + 1;
      at += 16;
      continue;
    }
#endif
    // Frequent codes have lists of one-byte numbers: four entries at once
    // when all eight bytes are single numbers above zero (every page then
    // ascends and every count counts) and the last entry ascended.
    if (list.end - at >= 8 && page + 1 >= next && page < UINT32_MAX - 4 * 0x7F) {
      uint64_t word;
      std::memcpy(&word, at, 8);
      constexpr uint64_t kOnes = 0x0101010101010101, kHighBits = 0x8080808080808080;
      if (((word | ((word - kOnes) & ~word)) & kHighBits) == 0) {
        if constexpr (std::endian::native == std::endian::big) word = ByteSwap64(word);
        for (int entry = 0; entry < 4; ++entry, word >>= 16) {
          page += word & 0xFF;
          *pages++ = static_cast<uint32_t>(page);
          *counts++ = (word >> 8) & 0xFF;
        }
        next = page + 1;
        at += 8;
        continue;
      }
    }
    uint32_t delta, count;
    if ((at[0] | at[1]) < 0x80) {
      delta = at[0];
      count = at[1];
      at += 2;
    } else {
      delta = NumberAt(at);
      at += NumberLength(at[0]);
      count = NumberAt(at);
      at += NumberLength(at[0]);
      if (at > list.end) break;
    }
    page += delta;
    if (page > UINT32_MAX) break;
    if (page < next || count == 0) continue;
    *pages++ = static_cast<uint32_t>(page);
    *counts++ = count;
    next = page + 1;
  }
  const size_t written = start + static_cast<size_t>(pages - firstPage);
  hits.pages.resize(written);
  hits.counts.resize(written);
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
