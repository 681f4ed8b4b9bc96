#include "writer/pairruns.h"

#include <algorithm>
#include <array>
#include <utility>
#include <queue>

#include "engine/codeconverter.h"
#include "engine/pagecountlist.h"

namespace codexa::writer {

namespace {

// An occurrence as one number: first code (17 bits), second code (17
// bits), page (30 bits), so that sorting the numbers sorts by pair, then
// page.
constexpr int kPageBits = 30;
constexpr int kCodeBits = 17;
static_assert(kIndexCodeCount <= (1 << kCodeBits));
static_assert(PairRuns::kPageLimit == uint64_t{1} << kPageBits);
constexpr uint64_t kPageMask = (uint64_t{1} << kPageBits) - 1;

uint64_t PairKey(int32_t first, int32_t second, uint32_t page) {
  return (uint64_t{static_cast<uint32_t>(first)} << kCodeBits | static_cast<uint32_t>(second)) << kPageBits | page;
}

// Sorts by the pair (the bits above the page) and keeps the order of equal
// pairs, which is page order: a least-significant-digit radix sort.
void SortByPair(std::vector<uint64_t>& entries) {
  constexpr int kDigitBits = 12;
  std::vector<uint64_t> buffer(entries.size());
  for (int shift = kPageBits; shift < kPageBits + 2 * kCodeBits; shift += kDigitBits) {
    std::array<size_t, (1 << kDigitBits) + 1> starts{};
    for (const uint64_t entry : entries) ++starts[((entry >> shift) & ((1 << kDigitBits) - 1)) + 1];
    for (size_t i = 1; i < starts.size(); ++i) starts[i] += starts[i - 1];
    for (const uint64_t entry : entries) buffer[starts[(entry >> shift) & ((1 << kDigitBits) - 1)]++] = entry;
    entries.swap(buffer);
  }
}

// Bytes read from the scratch file at a time, for each run.
constexpr size_t kReadBytes = size_t{1} << 16;
// The most bytes one occurrence takes: two table numbers.
constexpr size_t kLongestOccurrence = 10;

// Reads a run back: each occurrence is the step of its pair from the one
// before, then its page minus the one before within the same pair (the
// page itself for a pair's first).
class RunReader {
 public:
  RunReader(std::FILE* file, uint64_t offset, uint64_t size) : m_pFile(file), m_nOffset(offset), m_nLeft(size) {}
  // Moves to the next occurrence; false at the end of the run or when the
  // file cannot be read (failed() tells).
  bool Next() {
    if (m_end - m_at < static_cast<ptrdiff_t>(kLongestOccurrence) && m_nLeft > 0 && !Refill()) return false;
    uint64_t pairStep = 0, page = 0;
    if (!ReadTableNumber(m_at, m_end, pairStep) || !ReadTableNumber(m_at, m_end, page)) return false;
    m_nKey = pairStep == 0 ? m_nKey + page : ((m_nKey >> kPageBits) + pairStep) << kPageBits | page;
    return true;
  }
  uint64_t key() const { return m_nKey; }
  bool failed() const { return m_bFailed || m_at != m_end || m_nLeft > 0; }

 private:
  // Keeps the bytes not read yet and reads on after them.
  bool Refill() {
    std::string rest(m_at, m_end);
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(m_nLeft, kReadBytes));
    m_bytes.assign(rest.begin(), rest.end());
    m_bytes.resize(rest.size() + wanted);
    if (std::fseek(m_pFile, static_cast<long>(m_nOffset), SEEK_SET) != 0 ||
        std::fread(m_bytes.data() + rest.size(), 1, wanted, m_pFile) != wanted) {
      m_bFailed = true;
      return false;
    }
    m_nOffset += wanted;
    m_nLeft -= wanted;
    m_at = m_bytes.data();
    m_end = m_at + m_bytes.size();
    return true;
  }

  std::FILE* m_pFile;
  uint64_t m_nOffset, m_nLeft;  // of the bytes not read from the file yet
  std::vector<uint8_t> m_bytes;
  const uint8_t* m_at = nullptr;
  const uint8_t* m_end = nullptr;
  uint64_t m_nKey = 0;
  bool m_bFailed = false;
};

}  // namespace

void PairRuns::Add(int32_t first, int32_t second, uint32_t page) {
  if (m_buffer.capacity() == 0) m_buffer.reserve(m_nBufferEntries);
  m_buffer.push_back(PairKey(first, second, page));
  if (m_buffer.size() >= m_nBufferEntries) SealBuffer();
}

PairRuns::PairRuns(PairRuns&& other) noexcept : m_nBufferEntries(other.m_nBufferEntries) { *this = std::move(other); }

PairRuns& PairRuns::operator=(PairRuns&& other) noexcept {
  if (this != &other) {
    Close();
    m_nBufferEntries = other.m_nBufferEntries;
    m_buffer = std::move(other.m_buffer);
    m_runs = std::move(other.m_runs);
    m_pScratch = std::exchange(other.m_pScratch, nullptr);
    m_nScratchSize = std::exchange(other.m_nScratchSize, 0);
    m_bFailed = other.m_bFailed;
  }
  return *this;
}

PairRuns::~PairRuns() { Close(); }

void PairRuns::Close() {
  if (m_pScratch != nullptr) std::fclose(m_pScratch);
  m_pScratch = nullptr;
  m_nScratchSize = 0;
  m_runs = {};
}

void PairRuns::SealBuffer() {
  if (m_buffer.empty()) return;
  SortByPair(m_buffer);
  std::string run;
  uint64_t before = 0;
  for (const uint64_t key : m_buffer) {
    const uint64_t pairStep = (key >> kPageBits) - (before >> kPageBits);
    AppendTableNumber(pairStep, run);
    AppendTableNumber(pairStep == 0 ? key - before : key & kPageMask, run);
    before = key;
  }
  m_buffer.clear();
  if (m_pScratch == nullptr && !m_bFailed) m_pScratch = std::tmpfile();
  if (m_pScratch == nullptr || std::fseek(m_pScratch, 0, SEEK_END) != 0 ||
      std::fwrite(run.data(), 1, run.size(), m_pScratch) != run.size()) {
    m_bFailed = true;
    return;
  }
  m_runs.push_back({m_nScratchSize, run.size()});
  m_nScratchSize += run.size();
}

bool PairRuns::Drain(const std::function<void(int32_t, int32_t, uint32_t)>& visit) {
  SealBuffer();
  m_buffer = {};
  if (m_bFailed || (m_pScratch != nullptr && std::fflush(m_pScratch) != 0)) {
    Close();
    return false;
  }
  std::vector<RunReader> readers;
  using Head = std::pair<uint64_t, size_t>;  // key, reader
  std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
  for (const Run& run : m_runs) {
    readers.emplace_back(m_pScratch, run.offset, run.size);
    if (readers.back().Next()) heads.emplace(readers.back().key(), readers.size() - 1);
  }
  while (!heads.empty()) {
    const auto [key, reader] = heads.top();
    heads.pop();
    visit(static_cast<int32_t>(key >> (kPageBits + kCodeBits)),
          static_cast<int32_t>(key >> kPageBits & ((1 << kCodeBits) - 1)), static_cast<uint32_t>(key & kPageMask));
    if (readers[reader].Next()) heads.emplace(readers[reader].key(), reader);
  }
  const bool complete = std::none_of(readers.begin(), readers.end(), [](const RunReader& r) { return r.failed(); });
  Close();
  return complete;
}

}  // namespace codexa::writer
