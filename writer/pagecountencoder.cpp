#include "writer/pagecountencoder.h"

#include <algorithm>
#include <bit>
#include <span>

#include "engine/indexformat.h"
#include "engine/pagecountlist.h"

namespace codexa::writer {

namespace {

uint32_t BitWidth(uint64_t largest) { return static_cast<uint32_t>(std::bit_width(largest)); }

// Packs numbers LSB first into whole bytes.
class BitPacker {
 public:
  explicit BitPacker(std::string& out) : m_out(out) {}
  ~BitPacker() {
    if (m_nBits > 0) m_out.push_back(static_cast<char>(m_nPending));
  }
  BitPacker(const BitPacker&) = delete;
  BitPacker& operator=(const BitPacker&) = delete;

  void Put(uint64_t value, uint32_t width) {
    m_nPending |= value << m_nBits;
    m_nBits += width;
    for (; m_nBits >= 8; m_nBits -= 8) {
      m_out.push_back(static_cast<char>(m_nPending));
      m_nPending >>= 8;
    }
  }

 private:
  std::string& m_out;
  uint64_t m_nPending = 0;  // below 2^(m_nBits), m_nBits below 8 between calls
  uint32_t m_nBits = 0;
};

// How a block's counts are written.
struct CountCoding {
  uint32_t mode = kNgramCountsOne;
  uint32_t width = 0;
};

// The smaller coding of the counts of a block.
CountCoding ChooseCounts(std::span<const uint32_t> counts) {
  const uint32_t largest = *std::max_element(counts.begin(), counts.end());
  if (largest == 1) return {};
  const auto flagged = static_cast<uint64_t>(std::count_if(counts.begin(), counts.end(), [](uint32_t c) { return c > 1; }));
  const uint32_t packedWidth = BitWidth(largest - 1), flaggedWidth = BitWidth(largest - 2);
  const uint64_t packedBits = counts.size() * packedWidth;
  const uint64_t flaggedBits = (counts.size() + 7) / 8 * 8 + flagged * flaggedWidth;
  if (packedBits <= flaggedBits) return {kNgramCountsPacked, packedWidth};
  return {kNgramCountsFlagged, flaggedWidth};
}

void AppendCounts(std::span<const uint32_t> counts, const CountCoding& coding, std::string& out) {
  if (coding.mode == kNgramCountsPacked) {
    BitPacker packer(out);
    for (const uint32_t count : counts) packer.Put(count - 1, coding.width);
    return;
  }
  {
    BitPacker flags(out);
    for (const uint32_t count : counts) flags.Put(count > 1 ? 1 : 0, 1);
  }
  BitPacker values(out);
  for (const uint32_t count : counts) {
    if (count > 1) values.Put(count - 2, coding.width);
  }
}

void AppendBlock(std::span<const uint32_t> pages, std::span<const uint32_t> counts, std::string& out) {
  uint32_t largestStep = 0;
  for (size_t i = 1; i < pages.size(); ++i) largestStep = std::max(largestStep, pages[i] - pages[i - 1] - 1);
  const uint32_t stepWidth = BitWidth(largestStep);
  const CountCoding coding = ChooseCounts(counts);
  AppendTableNumber(pages[0], out);
  out.push_back(static_cast<char>(stepWidth | coding.mode << 6));
  if (coding.mode != kNgramCountsOne) out.push_back(static_cast<char>(coding.width));
  {
    BitPacker steps(out);
    for (size_t i = 1; i < pages.size(); ++i) steps.Put(pages[i] - pages[i - 1] - 1, stepWidth);
  }
  if (coding.mode != kNgramCountsOne) AppendCounts(counts, coding, out);
}

}  // namespace

void AppendPageCountList(const std::vector<uint32_t>& pages, const std::vector<uint32_t>& counts, std::string& out) {
  AppendTableNumber(pages.size(), out);
  for (size_t begin = 0; begin < pages.size(); begin += kNgramBlockEntries) {
    const size_t n = std::min<size_t>(kNgramBlockEntries, pages.size() - begin);
    AppendBlock(std::span(pages).subspan(begin, n), std::span(counts).subspan(begin, n), out);
  }
}

}  // namespace codexa::writer
