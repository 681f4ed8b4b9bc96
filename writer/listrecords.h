// Walking the records of an encoded position list: page delta (1-3-byte
// number), 16-bit count of position bytes, the position bytes.
#ifndef CODEXA_WRITER_LISTRECORDS_H_
#define CODEXA_WRITER_LISTRECORDS_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

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
  const auto byte = [&list](size_t at) { return static_cast<uint8_t>(list[at]); };
  for (size_t at = 0; at < list.size();) {
    const uint8_t lead = byte(at);
    const size_t length = 1 + (lead >= 0x80) + (lead >= 0xC0);
    if (at + length + 2 > list.size()) return;
    uint32_t delta = lead & (length == 1 ? 0x7F : 0x3F);
    for (size_t i = 1; i < length; ++i) delta = delta << 8 | byte(at + i);
    const size_t begin = at + length + 2;
    const size_t bytes = byte(at + length) | size_t{byte(at + length + 1)} << 8;
    const size_t end = std::min(begin + bytes, list.size());
    visit(ListRecord{at, delta, begin, end});
    at = end;
  }
}

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_LISTRECORDS_H_
