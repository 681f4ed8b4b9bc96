// The occurrences of adjacent code pairs, collected page by page and given
// back sorted by pair, then page.
//
// A corpus has tens of millions of them, too many to hold as plain numbers
// and sort at the end. They are gathered in a small buffer; each time it
// fills it is sorted and written to a scratch file (removed when the
// collection goes) as a run of small differences, a few bytes an
// occurrence instead of eight, and the runs are merged when read back.
// Pages come in ascending order, so the runs cover page ranges one after
// the other, and the merge keeps each pair's pages ascending.
#ifndef CODEXA_WRITER_PAIRRUNS_H_
#define CODEXA_WRITER_PAIRRUNS_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace codexa::writer {

class PairRuns {
 public:
  // The most pages the occurrences can tell apart.
  static constexpr uint32_t kPageLimit = uint32_t{1} << 30;

  // Pages ascending across calls; `page` below kPageLimit, codes below
  // kIndexCodeCount.
  void Add(int32_t first, int32_t second, uint32_t page);

  // Calls `visit(first, second, page)` for every occurrence, by pair, then
  // page (an occurrence repeated on a page comes once for each time), and
  // empties the collection. False when the scratch file could not be
  // written or read back; the occurrences visited are then incomplete.
  bool Drain(const std::function<void(int32_t, int32_t, uint32_t)>& visit);

  // Occurrences the buffer holds before it becomes a run: 16 MB (each of
  // the builder's three indexes has one while the pages are read).
  static constexpr size_t kBufferEntries = size_t{1} << 21;

  explicit PairRuns(size_t bufferEntries = kBufferEntries) : m_nBufferEntries(bufferEntries) {}
  PairRuns(PairRuns&& other) noexcept;
  PairRuns& operator=(PairRuns&& other) noexcept;
  ~PairRuns();

 private:
  struct Run {
    uint64_t offset, size;  // in the scratch file
  };
  void SealBuffer();
  void Close();

  size_t m_nBufferEntries;
  std::vector<uint64_t> m_buffer;  // unsorted occurrences as PairKey numbers
  std::vector<Run> m_runs;
  std::FILE* m_pScratch = nullptr;  // made with the first run
  uint64_t m_nScratchSize = 0;
  bool m_bFailed = false;
};

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_PAIRRUNS_H_
