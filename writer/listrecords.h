// Walking the records of an encoded position list: page delta
// (variable-length number), 16-bit count of position bytes, the position
// bytes (engine/indexformat.h).
#ifndef CODEXA_WRITER_LISTRECORDS_H_
#define CODEXA_WRITER_LISTRECORDS_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/coding.h"

namespace codexa::writer {

struct ListRecord {
  size_t header;          // where the record starts in the list
  uint32_t pageDelta;
  size_t positionsBegin;  // the position bytes: [positionsBegin, positionsEnd)
  size_t positionsEnd;
};

// Calls `visit` with every record of `list` in order. A record whose
// header is cut short ends the walk; position bytes are cut at the list's
// end.
template <class Visit>
void ForEachRecord(std::string_view list, Visit&& visit) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(list.data());
  for (size_t at = 0; at < list.size();) {
    size_t next = at;
    uint32_t delta;
    if (!ReadVarNumber(list, next, delta) || list.size() - next < 2) return;
    const size_t begin = next + 2;
    const size_t end = std::min(begin + LoadLE16(bytes + next), list.size());
    visit(ListRecord{at, delta, begin, end});
    at = end;
  }
}

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_LISTRECORDS_H_
