// The directory of the pair lists of a page-count table: the groups of
// each first code and their entries (format: engine/indexformat.h).
#ifndef CODEXA_WRITER_PAIRDIRECTORY_H_
#define CODEXA_WRITER_PAIRDIRECTORY_H_

#include <cstdint>
#include <string>

#include "writer/pagecountstore.h"

namespace codexa::writer {

class PairDirectory {
 public:
  // The entry of a pair on one page, once. Pairs come in ascending order
  // of first code, then second code; `listsBefore` is the size of the
  // table's lists so far.
  void AddOnlyPage(int32_t first, int32_t second, uint32_t page, uint64_t listsBefore);
  // The entry of a pair whose list is at `place`, placed when the lists
  // were `listsBefore` bytes long.
  void AddList(int32_t first, int32_t second, const PageCountStore::Place& place, uint64_t listsBefore);
  // Closes the groups once the lists are `listBytes` long; false when a
  // number passes its field.
  bool Finish(uint64_t listBytes);

  const std::string& groupStarts() const { return m_groupStarts; }
  const std::string& groups() const { return m_groups; }
  const std::string& entries() const { return m_entries; }
  uint32_t groupCount() const { return m_nGroupCount; }

 private:
  // Starts the entry of (first, second): a new group or the step from the
  // pair before.
  void StartEntry(int32_t first, int32_t second, uint64_t listsBefore);
  void AppendGroup(uint32_t second, uint64_t listsBefore);

  std::string m_groupStarts, m_groups, m_entries;
  int32_t m_nFirst = -1;      // the first code of the last entry
  uint32_t m_nSecond = 0;     // its second code
  uint32_t m_nInGroup = 0;    // entries in the last group
  int32_t m_nNextStart = 0;   // the first code whose groupStart is not written
  uint32_t m_nGroupCount = 0;
  bool m_bOverflow = false;
};

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_PAIRDIRECTORY_H_
