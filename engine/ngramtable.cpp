#include "engine/ngramtable.h"

#include <algorithm>

#include "base/coding.h"
#include "engine/codeconverter.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define CODEXA_DECODE_SSE2 1
#endif

namespace {

// Where one block's entries are written, and how far the pages have come.
struct DecodeState {
  uint32_t* pages;
  uint32_t* counts;
  uint64_t page = 0;  // the last page read
  uint64_t next = 0;  // the lowest page that may follow
};

// Entries [from, n) of a block one by one, passing over those whose page
// does not ascend or whose count is zero. False when a page passes 32 bits:
// the rest of the list is not read.
bool DecodeEntries(const uint8_t* deltas, const uint8_t* counts, uint32_t from, uint32_t n, uint32_t deltaWidth,
                   uint32_t countWidth, DecodeState& state) {
  for (uint32_t i = from; i < n; ++i) {
    state.page += LoadLEWidth(deltas + size_t{i} * deltaWidth, deltaWidth);
    if (state.page > UINT32_MAX) return false;
    const uint32_t count = LoadLEWidth(counts + size_t{i} * countWidth, countWidth);
    if (state.page < state.next || count == 0) continue;
    *state.pages++ = static_cast<uint32_t>(state.page);
    *state.counts++ = count;
    state.next = state.page + 1;
  }
  return true;
}

#ifdef CODEXA_DECODE_SSE2
// The running sums of eight 16-bit steps, from 0, as two vectors of four
// 32-bit sums (the second half goes on from the first). They do not depend
// on the page reached so far, so consecutive groups overlap in time.
void RunningSums(__m128i steps16, __m128i& low, __m128i& high) {
  const __m128i zero = _mm_setzero_si128();
  low = _mm_unpacklo_epi16(steps16, zero);
  high = _mm_unpackhi_epi16(steps16, zero);
  low = _mm_add_epi32(low, _mm_slli_si128(low, 4));
  low = _mm_add_epi32(low, _mm_slli_si128(low, 8));
  high = _mm_add_epi32(high, _mm_slli_si128(high, 4));
  high = _mm_add_epi32(high, _mm_slli_si128(high, 8));
  high = _mm_add_epi32(high, _mm_shuffle_epi32(low, 0xFF));
}

// Entries of a block of one-byte counts and one- or two-byte steps, eight
// at a time while every step and count is above zero (so every page
// ascends and counts); answers how many were taken. The caller has made
// sure no page passes 32 bits and that the last page read ascended.
uint32_t DecodeEights(const uint8_t* deltas, const uint8_t* counts, uint32_t n, uint32_t deltaWidth,
                      DecodeState& state) {
  const __m128i zero = _mm_setzero_si128();
  uint32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m128i countBytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(counts + i));
    const __m128i steps = deltaWidth == 1
                              ? _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(deltas + i)), zero)
                              : _mm_loadu_si128(reinterpret_cast<const __m128i*>(deltas + size_t{i} * 2));
    const __m128i counts16 = _mm_unpacklo_epi8(countBytes, zero);
    const __m128i zeros = _mm_or_si128(_mm_cmpeq_epi16(steps, zero), _mm_cmpeq_epi16(counts16, zero));
    if (_mm_movemask_epi8(zeros) != 0) break;
    __m128i low, high;
    RunningSums(steps, low, high);
    const __m128i base = _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(state.page)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.pages), _mm_add_epi32(low, base));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.pages + 4), _mm_add_epi32(high, base));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.counts), _mm_unpacklo_epi16(counts16, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.counts + 4), _mm_unpackhi_epi16(counts16, zero));
    state.pages += 8;
    state.counts += 8;
    state.page += static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(high, 0xFF)));
    state.next = state.page + 1;
  }
  return i;
}
#endif

// One block (see the header); false when it is malformed or a page passes
// 32 bits: the rest of the list is then not read.
bool DecodeBlock(const uint8_t*& at, const uint8_t* end, DecodeState& state) {
  if (end - at < 2) return false;
  const uint32_t header = at[0], n = at[1];
  const uint32_t deltaCode = header & 3, countCode = header >> 2 & 3;
  if (header >> 4 != 0 || deltaCode == 3 || countCode == 3 || n == 0) return false;
  const uint32_t deltaWidth = 1u << deltaCode, countWidth = 1u << countCode;
  const uint64_t size = 2 + uint64_t{n} * (deltaWidth + countWidth);
  if (size > static_cast<uint64_t>(end - at)) return false;
  const uint8_t* deltas = at + 2;
  const uint8_t* counts = deltas + size_t{n} * deltaWidth;
  at += size;
  uint32_t done = 0;
#ifdef CODEXA_DECODE_SSE2
  const uint64_t largestStep = deltaWidth == 1 ? 0xFF : 0xFFFF;
  if (deltaWidth <= 2 && countWidth == 1 && state.page + 1 >= state.next &&
      state.page + n * largestStep <= UINT32_MAX) {
    done = DecodeEights(deltas, counts, n, deltaWidth, state);
  }
#endif
  return DecodeEntries(deltas, counts, done, n, deltaWidth, countWidth, state);
}

}  // namespace

void DecodePageCounts(const PageCountList& list, HitArrays& hits) {
  // Room for the most entries the bytes can hold (an entry takes two bytes
  // at least), written through plain pointers (the vectors' own
  // bookkeeping on every entry costs more than the decoding), then cut to
  // what was written.
  const size_t start = hits.size();
  hits.pages.resize(start + list.size() / 2);
  hits.counts.resize(start + list.size() / 2);
  DecodeState state{hits.pages.data() + start, hits.counts.data() + start};
  const uint32_t* const firstPage = state.pages;
  for (const uint8_t* at = list.begin; at < list.end;) {
    if (!DecodeBlock(at, list.end, state)) break;
  }
  const size_t written = start + static_cast<size_t>(state.pages - firstPage);
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
  const uint64_t pairCount = LoadLE32(header + 12);
  const uint64_t listBytes = LoadLE64(header + 16);
  const uint64_t tableBytes = (uint64_t{kIndexCodeCount} + 1) * 8 + (pairCount + 1) * 8;
  if (LoadLE32(header) != kNgramMagic || LoadLE32(header + 4) != kNgramVersion ||
      LoadLE32(header + 8) != static_cast<uint32_t>(kIndexCodeCount) || listBytes > available ||
      tableBytes + kNgramPadding > available - listBytes) {
    return false;
  }
  m_pSingle = header + kNgramHeaderSize;
  m_pPairStart = m_pSingle + (size_t{kIndexCodeCount} + 1) * 4;
  m_pPairs = m_pPairStart + (size_t{kIndexCodeCount} + 1) * 4;
  m_pLists = m_pPairs + (pairCount + 1) * 8;
  m_nPairCount = static_cast<uint32_t>(pairCount);
  m_nListBytes = listBytes;
  return true;
}

NgramTable::Lookup NgramTable::ListAt(uint32_t from, uint32_t to, PageCountList& list) const {
  if (from > to || to > m_nListBytes) return Lookup::kUnusable;
  list = {m_pLists + from, m_pLists + to};
  return from == to ? Lookup::kAbsent : Lookup::kFound;
}

NgramTable::Lookup NgramTable::Single(int32_t code, PageCountList& list) const {
  if (!IsOpen() || code < 0 || code >= kIndexCodeCount) return Lookup::kUnusable;
  const uint8_t* entry = m_pSingle + size_t(code) * 4;
  return ListAt(LoadLE32(entry), LoadLE32(entry + 4), list);
}

NgramTable::Lookup NgramTable::Pair(int32_t first, int32_t second, PageCountList& list) const {
  if (!IsOpen() || first < 0 || first >= kIndexCodeCount || second < 0) return Lookup::kUnusable;
  const uint8_t* start = m_pPairStart + size_t(first) * 4;
  uint32_t low = LoadLE32(start), high = LoadLE32(start + 4);
  if (low > high || high > m_nPairCount) return Lookup::kUnusable;
  const auto wanted = static_cast<uint32_t>(second);
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    const uint8_t* entry = m_pPairs + size_t{middle} * 8;
    const uint32_t code = LoadLE32(entry);
    if (code == wanted) return ListAt(LoadLE32(entry + 4), LoadLE32(entry + 12), list);
    if (code < wanted) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return Lookup::kAbsent;
}
