// Collecting the page-count lists of single codes and adjacent code pairs
// and writing them as one table (format: engine/indexformat.h).
#ifndef CODEXA_WRITER_NGRAMWRITER_H_
#define CODEXA_WRITER_NGRAMWRITER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace codexa::writer {

class NgramCollector {
 public:
  // The occurrences, as PostingCollector::Add takes them: pages ascending;
  // within a page in any order. A position holds its character's own code
  // and, when the character is in variant groups, those groups' codes.
  void Add(int32_t code, uint32_t page, uint32_t position);

  // Appends the table to `postings` at the alignment the format asks and
  // answers the value for the 32-bit header table. `positionLists[code]`
  // is the encoded position list of each code (empty for none): the lists
  // of single codes are counted from them. Answers 0 and appends nothing
  // when some number exceeds what the format can hold: the index is then
  // read from its position lists alone. Nothing may be added afterwards.
  uint32_t AppendTable(const std::vector<std::string_view>& positionLists, std::string& postings);

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
  // Gathers one entry of the list being written; AppendList writes them.
  void AppendEntry(uint32_t delta, uint32_t count);
  void AppendList(std::string& lists);
  void AppendSingleLists(const std::vector<std::string_view>& positionLists, std::string& lists,
                         std::string& singleTable);
  void AppendPairLists(std::string& lists, std::string& pairStarts, std::string& pairTable, uint32_t& pairCount);

  std::vector<Occurrence> m_occurrences;  // of the current page
  uint32_t m_nPage = 0;
  // One entry per occurrence of a pair: first code, second code and page,
  // packed so that sorting the numbers sorts by pair, then page.
  std::vector<uint64_t> m_pairs;
  std::vector<uint32_t> m_deltas, m_counts;  // the list being written
  bool m_bOverflow = false;
};

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_NGRAMWRITER_H_
