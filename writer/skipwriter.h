// Writing the skip tables of posting lists (format: engine/indexformat.h).
#ifndef CODEXA_WRITER_SKIPWRITER_H_
#define CODEXA_WRITER_SKIPWRITER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace codexa::writer {

// Appends the skip table of the list of `code` to `tail`, the bytes of the
// posting file from `tailStart` (a multiple of kSkipAlign) on, aligned as
// the format asks, and answers the value for the 32-bit header table; 0
// when the list is too short to need one, and then nothing is appended.
// `list` is the encoded list, `blocks` the blocks it occupies in order.
uint32_t AppendSkipTable(int32_t code, std::string_view list, const std::vector<uint32_t>& blocks,
                         uint64_t tailStart, std::string& tail);

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_SKIPWRITER_H_
