#include "engine/pagecountlist.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "base/coding.h"
#include "engine/hitcombine.h"
#include "engine/indexformat.h"
#include "engine/vectorunpack.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define CODEXA_DECODE_SSE2 1
#endif

namespace {

// Below this many pages wanted from a block, each is searched for among
// the block's pages (seven steps for 128) rather than merged with them all.
constexpr size_t kFewWanted = 16;
// The widest span of pages (a kilobyte of bits) a block's wanted pages are
// marked in.
constexpr uint32_t kMarkedSpan = 8192;

// The shape of one block, read from its head.
struct BlockHead {
  uint64_t firstPage = 0;
  uint32_t stepWidth = 0;
  uint32_t countMode = 0;
  uint32_t countWidth = 0;
};

uint64_t PackedBytes(uint64_t count, uint32_t width) { return (count * width + 7) / 8; }

// Eight little-endian bytes as one load (LoadLE64 spelled so that it
// always becomes one instruction, inside the unrolled unpacking too).
inline uint64_t Load8(const uint8_t* p) {
  uint64_t value;
  std::memcpy(&value, p, sizeof value);
  if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap64(value);
  return value;
}

// Four numbers into out[0 .. 3] with one store where the machine has
// vector stores: decoding writes eight bytes an entry, and the stores are
// what it waits on.
inline void Store4(uint32_t* out, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
#ifdef CODEXA_DECODE_SSE2
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                   _mm_set_epi32(static_cast<int>(d), static_cast<int>(c), static_cast<int>(b), static_cast<int>(a)));
#else
  out[0] = a, out[1] = b, out[2] = c, out[3] = d;
#endif
}

// out[i] = first + i for i < n.
void StoreRun(uint32_t first, uint32_t n, uint32_t* out) {
  uint32_t i = 0;
  for (; i + 4 <= n; i += 4) Store4(out + i, first + i, first + i + 1, first + i + 2, first + i + 3);
  for (; i < n; ++i) out[i] = first + i;
}

// out[i] = value for i < n.
void StoreSame(uint32_t value, uint32_t n, uint32_t* out) {
  uint32_t i = 0;
  for (; i + 4 <= n; i += 4) Store4(out + i, value, value, value, value);
  for (; i < n; ++i) out[i] = value;
}

// Where unpacked numbers go: numbers plus a constant.
struct PlusSink {
  uint32_t* out;
  uint32_t plus;
  void One(uint32_t i, uint32_t v) const { out[i] = v + plus; }
  void Four(uint32_t i, uint32_t a, uint32_t b, uint32_t c, uint32_t d) const {
    Store4(out + i, a + plus, b + plus, c + plus, d + plus);
  }
};

// Pages from steps: each page is the one before plus its step plus 1.
struct PageSink {
  uint32_t* out;
  uint32_t page;
  void One(uint32_t i, uint32_t step) { out[i] = page += step + 1; }
  void Four(uint32_t i, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    const uint32_t pa = page + a + 1, pb = pa + b + 1, pc = pb + c + 1;
    page = pc + d + 1;
    Store4(out + i, pa, pb, pc, page);
  }
};

// The sum of the numbers.
struct SumSink {
  uint64_t sum = 0;
  void One(uint32_t, uint32_t v) { sum += v; }
  void Four(uint32_t, uint32_t a, uint32_t b, uint32_t c, uint32_t d) { sum += uint64_t{a} + b + c + d; }
};

// Unpacks `n` numbers of W bits each (LSB first) from `in` into `sink`, as
// they are read (storing them first and reading them back would stall on
// the stores). Eight numbers take W bytes, so within a group every shift
// and offset is a constant; each number is read with one eight-byte load,
// which the list's padding keeps within readable memory.
template <uint32_t W, class Sink>
void UnpackWidth(const uint8_t* in, uint32_t n, Sink& sink) {
  constexpr uint64_t kMask = (uint64_t{1} << W) - 1;
  const auto at = [&in](uint32_t k) { return static_cast<uint32_t>(Load8(in + k * W / 8) >> (k * W % 8) & kMask); };
  uint32_t i = 0;
  for (; i + 8 <= n; i += 8, in += W) {
    sink.Four(i, at(0), at(1), at(2), at(3));
    sink.Four(i + 4, at(4), at(5), at(6), at(7));
  }
  for (uint32_t k = 0; i < n; ++i, ++k) sink.One(i, at(k));
}

// The same for a width of 0 .. kNgramMaxStepWidth known only when read.
template <class Sink>
void Unpack(const uint8_t* in, uint32_t width, uint32_t n, Sink& sink) {
  [&]<size_t... W>(std::index_sequence<W...>) {
    (void)((width == W && (UnpackWidth<static_cast<uint32_t>(W)>(in, n, sink), true)) || ...);
  }(std::make_index_sequence<kNgramMaxStepWidth + 1>());
}

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

// The flag bits of entries byte * 8 onwards; bits past the last entry are
// not counts.
uint32_t FlagBits(const uint8_t* flags, uint32_t entries, uint32_t byte) {
  const uint32_t left = entries - byte * 8;
  return left >= 8 ? uint32_t{flags[byte]} : flags[byte] & ((1u << left) - 1);
}

// Where one block lies, read from its head (and, for flagged counts, its
// flags) without decoding it.
struct Block {
  BlockHead head;
  uint32_t entries = 0;
  const uint8_t* begin = nullptr;   // its head
  const uint8_t* steps = nullptr;   // its steps
  const uint8_t* counts = nullptr;  // its counts
  const uint8_t* end = nullptr;     // the next block
  uint32_t flagged = 0;             // entries whose count is packed, when flagged
  uint64_t flagBytes = 0;
};

// The bytes of the block's counts at `block.counts`, `available` of them
// there; false when they do not fit.
bool MeasureCounts(uint64_t available, Block& block) {
  const BlockHead& head = block.head;
  uint64_t size = 0;
  if (head.countMode == kNgramCountsPacked) {
    size = PackedBytes(block.entries, head.countWidth);
  } else if (head.countMode == kNgramCountsFlagged) {
    // Counted eight bytes at a time (the padding after the list keeps the
    // loads readable): blocks stepped over are measured this way too.
    block.flagBytes = (block.entries + 7) / 8;
    if (block.flagBytes > available) return false;
    for (uint32_t bit = 0; bit < block.entries; bit += 64) {
      uint64_t flags = Load8(block.counts + bit / 8);
      if (block.entries - bit < 64) flags &= (uint64_t{1} << (block.entries - bit)) - 1;
      block.flagged += static_cast<uint32_t>(std::popcount(flags));
    }
    size = block.flagBytes + PackedBytes(block.flagged, head.countWidth);
  }
  // Counts of 1 alone are written without a count mode, never packed
  // zero bits wide.
  if (size > available || (size == 0 && head.countMode != kNgramCountsOne)) return false;
  block.end = block.counts + size;
  return true;
}

// Reads the head of a block of `entries` entries at `at` and finds its
// extent, moving `at` past it. False when it does not fit, or when its
// pages cannot go on from `next` (the lowest page it may start at) and stay
// below `pageBound`.
bool ReadBlock(const uint8_t*& at, const uint8_t* end, uint32_t entries, uint64_t next, uint64_t pageBound,
               Block& block) {
  block = Block();
  block.begin = at;
  block.entries = entries;
  if (!ReadBlockHead(at, end, entries, block.head) || block.head.firstPage < next ||
      block.head.firstPage + entries > pageBound) {
    return false;
  }
  const uint64_t stepBytes = PackedBytes(entries - 1, block.head.stepWidth);
  if (stepBytes > static_cast<uint64_t>(end - at)) return false;
  block.steps = at;
  block.counts = at + stepBytes;
  if (!MeasureCounts(static_cast<uint64_t>(end - block.counts), block)) return false;
  at = block.end;
  return true;
}

// Where the readable bytes after a block end: the list it lies in is
// followed by kNgramPadding of them.
const uint8_t* Readable(const Block& block) { return block.end + kNgramPadding; }

// out[i] = number i + `plus` for the `n` numbers of `width` bits at `in`:
// the groups the vector path takes, then the rest.
void UnpackPlus(const uint8_t* in, const uint8_t* readable, uint32_t width, uint32_t n, uint32_t plus,
                uint32_t* out) {
  const uint32_t done = UnpackPlusVector(in, readable, width, n, plus, out);
  PlusSink sink{out + done, plus};
  Unpack(in + done / 8 * width, width, n - done, sink);
}

// Pages of one block into `pages`; false when one passes 32 bits.
bool DecodePages(const Block& block, uint32_t* pages) {
  const BlockHead& head = block.head;
  const uint32_t steps = block.entries - 1;
  // Steps below 2^width each: only a wide block near the top of the page
  // range needs its sum before the pages are written.
  if (head.firstPage + (uint64_t{steps} << head.stepWidth) > UINT32_MAX) {
    SumSink sum;
    Unpack(block.steps, head.stepWidth, steps, sum);
    if (head.firstPage + steps + sum.sum > UINT32_MAX) return false;
  }
  const auto first = static_cast<uint32_t>(head.firstPage);
  // Consecutive pages are the common block of a frequent character.
  if (head.stepWidth == 0) {
    StoreRun(first, block.entries, pages);
    return true;
  }
  pages[0] = first;
  uint32_t page = first;
  const uint32_t done = UnpackPageStepsVector(block.steps, Readable(block), head.stepWidth, steps, page, pages + 1);
  PageSink sink{pages + 1 + done, page};
  Unpack(block.steps + done / 8 * head.stepWidth, head.stepWidth, steps - done, sink);
  return true;
}

// Counts of one block into `counts`.
void DecodeCounts(const Block& block, uint32_t* counts) {
  const BlockHead& head = block.head;
  if (head.countMode == kNgramCountsOne) return StoreSame(1, block.entries, counts);
  if (head.countMode == kNgramCountsPacked) {
    return UnpackPlus(block.counts, Readable(block), head.countWidth, block.entries, 1, counts);
  }
  // Flagged: a bit per entry, then count - 2 of each flagged one.
  uint32_t values[kNgramBlockEntries];
  UnpackPlus(block.counts + block.flagBytes, Readable(block), head.countWidth, block.flagged, 2, values);
  StoreSame(1, block.entries, counts);
  const uint32_t* value = values;
  for (uint32_t byte = 0; byte < block.flagBytes; ++byte) {
    for (uint32_t bits = FlagBits(block.counts, block.entries, byte); bits != 0; bits &= bits - 1) {
      counts[byte * 8 + static_cast<uint32_t>(std::countr_zero(bits))] = *value++;
    }
  }
}

// One block's entries; false when its pages pass `pageBound`.
bool DecodeBlock(const Block& block, uint64_t pageBound, uint32_t* pages, uint32_t* counts) {
  if (!DecodePages(block, pages) || pages[block.entries - 1] >= pageBound) return false;
  DecodeCounts(block, counts);
  return true;
}

// Reads the list's entry count at `at`, moving `at` past it. False when the
// list is damaged at once.
bool ReadEntryCount(const PageCountList& list, const uint8_t*& at, uint64_t& total) {
  // A block takes two bytes at least, so a count beyond what the bytes can
  // hold is damage; it would only make room for entries that are not there.
  return ReadTableNumber(at, list.end, total) && total > 0 &&
         total <= uint64_t{list.size()} / 2 * kNgramBlockEntries && total <= list.pageBound;
}

// The entries of the block that starts after `done` of `total`.
uint32_t BlockEntries(uint64_t done, uint64_t total) {
  return static_cast<uint32_t>(std::min<uint64_t>(kNgramBlockEntries, total - done));
}

void DecodeListBytes(const PageCountList& list, HitArrays& hits) {
  const uint8_t* at = list.begin;
  uint64_t total = 0;
  if (!ReadEntryCount(list, at, total)) return;
  const size_t start = hits.size();
  hits.pages.resize(start + total);
  hits.counts.resize(start + total);
  uint64_t done = 0, next = 0;
  Block block;
  while (done < total && ReadBlock(at, list.end, BlockEntries(done, total), next, list.pageBound, block) &&
         DecodeBlock(block, list.pageBound, hits.pages.data() + start + done, hits.counts.data() + start + done)) {
    done += block.entries;
    next = uint64_t{hits.pages[start + done - 1]} + 1;
  }
  hits.pages.resize(start + done);
  hits.counts.resize(start + done);
}

// The entries of pages[0 .. n) (ascending) whose pages are among
// wanted[0 .. k) (ascending).
struct WantedPages {
  const uint32_t* pages;
  uint32_t n;
  const uint32_t* wanted;
  size_t k;
};

// A few wanted pages: each is searched for among the block's.
uint32_t FindSearched(const WantedPages& in, uint8_t* kept) {
  uint32_t found = 0;
  const uint32_t* from = in.pages;
  const uint32_t* const end = in.pages + in.n;
  for (const uint32_t* want = in.wanted; want != in.wanted + in.k; ++want) {
    from = std::lower_bound(from, end, *want);
    if (from != end && *from == *want) kept[found++] = static_cast<uint8_t>(from - in.pages);
  }
  return found;
}

// Many wanted pages in a narrow block: they are marked in a bitmap of the
// block's span, which every entry is then tested against. Unlike a merge,
// no step waits on the comparison before it: every entry's index is
// written, and kept by counting it only when its bit is set.
uint32_t FindMarked(const WantedPages& in, uint8_t* kept) {
  uint64_t marks[kMarkedSpan / 64];
  const uint32_t first = in.pages[0];
  const uint32_t words = (in.pages[in.n - 1] - first) / 64 + 1;
  std::fill_n(marks, words, 0);
  for (size_t at = 0; at < in.k; ++at) {
    const uint32_t bit = in.wanted[at] - first;  // the wanted pages lie in the block's span
    if (bit / 64 < words) marks[bit / 64] |= uint64_t{1} << (bit % 64);
  }
  uint32_t found = 0;
  for (uint32_t i = 0; i < in.n; ++i) {
    const uint32_t bit = in.pages[i] - first;
    kept[found] = static_cast<uint8_t>(i);
    found += static_cast<uint32_t>(marks[bit / 64] >> (bit % 64) & 1);
  }
  return found;
}

// Many wanted pages in a wide block: a merge.
uint32_t FindMerged(const WantedPages& in, uint8_t* kept) {
  uint32_t found = 0, i = 0;
  for (size_t at = 0; i < in.n && at < in.k;) {
    if (in.pages[i] < in.wanted[at]) {
      ++i;
    } else if (in.wanted[at] < in.pages[i]) {
      ++at;
    } else {
      kept[found++] = static_cast<uint8_t>(i);
      ++i, ++at;
    }
  }
  return found;
}

// The indices of the block's entries whose pages are wanted, ascending,
// into `kept`; answers how many.
uint32_t FindWanted(const WantedPages& in, uint8_t* kept) {
  static_assert(kNgramBlockEntries <= 256, "an entry's index is kept in a byte");
  if (in.k < kFewWanted) return FindSearched(in, kept);
  if (in.pages[in.n - 1] - in.pages[0] < kMarkedSpan) return FindMarked(in, kept);
  return FindMerged(in, kept);
}

// Calls `visit(block, spanEnd, wanted, k, bytesRead)` for each block of the
// list whose span of pages (from its first page to `spanEnd`, the next
// block's) holds a page of `within`, with those pages; the others are
// stepped over by their heads (and flags), and `within` is galloped
// through to each block's first page. `visit` adds the bytes of the block
// it read to `bytesRead`, and answers false to stop at a block it cannot
// decode. Answers the bytes of the list read.
template <class Visit>
uint64_t ForEachBlockWithin(const PageCountList& list, const std::vector<uint32_t>& within, Visit&& visit) {
  const uint8_t* at = list.begin;
  uint64_t total = 0;
  if (!ReadEntryCount(list, at, total)) return static_cast<uint64_t>(at - list.begin);
  uint64_t bytesRead = static_cast<uint64_t>(at - list.begin);
  Block block, following;
  bool have = ReadBlock(at, list.end, BlockEntries(0, total), 0, list.pageBound, block);
  uint64_t done = 0;
  size_t wanted = 0;  // the first page of `within` not yet passed
  while (have && wanted < within.size()) {
    done += block.entries;
    // A block's pages lie below the first page of the block after it, and
    // its last page is at least its first plus its entries less one.
    const bool more = done < total && ReadBlock(at, list.end, BlockEntries(done, total),
                                                block.head.firstPage + block.entries, list.pageBound, following);
    const uint64_t spanEnd = more ? following.head.firstPage : list.pageBound;
    wanted = GallopTo(within, wanted, within.size(), static_cast<uint32_t>(block.head.firstPage));
    if (wanted < within.size() && within[wanted] < spanEnd) {
      const size_t wantedEnd = spanEnd > UINT32_MAX ? within.size()
                                                    : GallopTo(within, wanted, within.size(), static_cast<uint32_t>(spanEnd));
      if (!visit(block, spanEnd, within.data() + wanted, wantedEnd - wanted, bytesRead)) break;
      wanted = wantedEnd;
    } else {
      bytesRead += static_cast<uint64_t>(block.steps - block.begin) + block.flagBytes;
    }
    block = following;
    have = more;
  }
  return bytesRead;
}

// The bytes of a block up to its counts, which a reader of its pages alone
// goes through: its head, steps and flags.
uint64_t PageBytes(const Block& block) { return static_cast<uint64_t>(block.counts - block.begin) + block.flagBytes; }

// Whether the page of a list held in the directory is one of `within`.
bool OnlyPageWithin(const PageCountList& list, const std::vector<uint32_t>& within) {
  return *list.onlyPage < list.pageBound && std::binary_search(within.begin(), within.end(), *list.onlyPage);
}

}  // namespace

void DecodePageCounts(const PageCountList& list, HitArrays& hits) {
  if (list.onlyPage) {
    if (*list.onlyPage < list.pageBound) hits.Add(*list.onlyPage, 1);
    return;
  }
  if (list.begin != nullptr && list.begin < list.end) DecodeListBytes(list, hits);
}

uint64_t DecodePageCountsWithin(const PageCountList& list, const std::vector<uint32_t>& within, HitArrays& hits) {
  if (list.onlyPage) {
    if (OnlyPageWithin(list, within)) hits.Add(*list.onlyPage, 1);
    return 0;
  }
  if (list.begin == nullptr || list.begin >= list.end) return 0;
  // The counts of a block are decoded only when one of its pages is kept.
  return ForEachBlockWithin(list, within, [&hits](const Block& block, uint64_t spanEnd, const uint32_t* wanted,
                                                  size_t k, uint64_t& bytesRead) {
    uint32_t pages[kNgramBlockEntries], counts[kNgramBlockEntries];
    uint8_t kept[kNgramBlockEntries];
    if (!DecodePages(block, pages) || pages[block.entries - 1] >= spanEnd) return false;
    const uint32_t found = FindWanted({pages, block.entries, wanted, k}, kept);
    if (found == 0) {
      bytesRead += PageBytes(block);
      return true;
    }
    DecodeCounts(block, counts);
    for (uint32_t i = 0; i < found; ++i) hits.Add(pages[kept[i]], counts[kept[i]]);
    bytesRead += static_cast<uint64_t>(block.end - block.begin);
    return true;
  });
}

uint64_t DecodePagesWithin(const PageCountList& list, const std::vector<uint32_t>& within,
                           std::vector<uint32_t>& pages) {
  if (list.onlyPage) {
    if (OnlyPageWithin(list, within)) pages.push_back(*list.onlyPage);
    return 0;
  }
  if (list.begin == nullptr || list.begin >= list.end) return 0;
  return ForEachBlockWithin(list, within, [&pages](const Block& block, uint64_t spanEnd, const uint32_t* wanted,
                                                   size_t k, uint64_t& bytesRead) {
    uint32_t blockPages[kNgramBlockEntries];
    uint8_t kept[kNgramBlockEntries];
    if (!DecodePages(block, blockPages) || blockPages[block.entries - 1] >= spanEnd) return false;
    const uint32_t found = FindWanted({blockPages, block.entries, wanted, k}, kept);
    for (uint32_t i = 0; i < found; ++i) pages.push_back(blockPages[kept[i]]);
    bytesRead += PageBytes(block);
    return true;
  });
}

uint64_t PageCountBlocks(const PageCountList& list) {
  const uint8_t* at = list.begin;
  uint64_t total = 0;
  if (list.onlyPage || list.begin == nullptr || list.begin >= list.end || !ReadEntryCount(list, at, total)) return 0;
  return (total + kNgramBlockEntries - 1) / kNgramBlockEntries;
}

void AppendTableNumber(uint64_t value, std::string& out) {
  for (; value >= 0x80; value >>= 7) out.push_back(static_cast<char>(0x80 | (value & 0x7F)));
  out.push_back(static_cast<char>(value));
}
