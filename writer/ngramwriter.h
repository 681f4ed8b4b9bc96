// Collecting the page-count lists of single codes and adjacent code pairs
// and writing them as one table (format: engine/indexformat.h).
#ifndef CODEXA_WRITER_NGRAMWRITER_H_
#define CODEXA_WRITER_NGRAMWRITER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "writer/pagecountstore.h"
#include "writer/pairdirectory.h"
#include "writer/pairruns.h"

namespace codexa::writer {

class NgramCollector {
 public:
  // The occurrences, as PostingCollector::Add takes them: pages ascending;
  // within a page in any order. A position holds its character's own code
  // and, when the character is in variant groups, those groups' codes.
  void Add(int32_t code, uint32_t page, uint32_t position);

  // The table, from its header to its padding, in pieces to be written one
  // after the other (the lists are most of it and are not copied), at a
  // multiple of kNgramAlign in the posting file. `positionLists[code]` is the
  // encoded position list of each code (empty for none): the lists of
  // single codes are counted from them. Empty when some number exceeds
  // what the format can hold or the pairs' scratch file fails: the index is
  // then read from its position lists alone. Nothing may be added
  // afterwards.
  std::vector<std::string> Table(const std::vector<std::string_view>& positionLists);

 private:
  struct Occurrence {
    uint32_t position;
    int32_t code;
    bool operator<(const Occurrence& other) const {
      return position != other.position ? position < other.position : code < other.code;
    }
  };
  void FlushPage();
  void AddPairs(size_t firstBegin, size_t firstEnd, size_t secondBegin, size_t secondEnd);
  void AppendSingleLists(const std::vector<std::string_view>& positionLists, PageCountStore& lists,
                         std::string& singleTable);
  void AppendPairLists(PageCountStore& lists, PairDirectory& directory);
  // Places the entries gathered for one pair and clears them.
  void PlacePair(int32_t first, int32_t second, PageCountStore& lists, PairDirectory& directory);

  std::vector<Occurrence> m_occurrences;  // of the current page
  uint32_t m_nPage = 0;
  PairRuns m_pairs;
  std::vector<uint32_t> m_pages, m_counts;  // the list being written
  // Above every page of the single lists, so of the pairs' too (pages are
  // below PairRuns::kPageLimit, else no table is written).
  uint32_t m_nPageBound = 0;
  bool m_bFailed = false;  // no table can be written
};

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_NGRAMWRITER_H_
