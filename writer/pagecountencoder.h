// Encoding one page-count list (format: engine/indexformat.h, "A
// page-count list").
#ifndef CODEXA_WRITER_PAGECOUNTENCODER_H_
#define CODEXA_WRITER_PAGECOUNTENCODER_H_

#include <cstdint>
#include <string>
#include <vector>

namespace codexa::writer {

// Appends the list of `pages` (strictly ascending, at least one) and their
// `counts` (each 1 .. 2^31) to `out`.
void AppendPageCountList(const std::vector<uint32_t>& pages, const std::vector<uint32_t>& counts, std::string& out);

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_PAGECOUNTENCODER_H_
