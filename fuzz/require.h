// Property checks inside the fuzz targets. A failed check aborts, so the
// fuzzer keeps the input that broke the property like any crash.
#ifndef CODEXA_FUZZ_REQUIRE_H_
#define CODEXA_FUZZ_REQUIRE_H_

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_REQUIRE(condition)                                                             \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)

namespace codexa::fuzz {

// How often `needle` occurs in `text`, counting from each occurrence's end.
inline size_t CountOccurrences(std::string_view text, std::string_view needle) {
  size_t count = 0;
  for (size_t at = text.find(needle); at != std::string_view::npos; at = text.find(needle, at + needle.size())) {
    ++count;
  }
  return count;
}

}  // namespace codexa::fuzz

#endif  // CODEXA_FUZZ_REQUIRE_H_
