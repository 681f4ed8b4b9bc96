#include "engine/codeconverter.h"

namespace {

// One row of the character-to-code table: code points [first, last] map to
// code point + offset. Rows are tried in order; the first match decides.
struct CodeRange {
  uint32_t first;
  uint32_t last;
  int32_t offset;
};

constexpr CodeRange kCodeRanges[] = {
    {0x3400, 0x9FFF, -0x3400},    // CJK extension A and unified ideographs
    {0xF900, 0xFAFF, -0x8C00},    // compatibility ideographs (before the E000 rule)
    {0x20000, 0x2A6DF, -0x18100},  // extension B
    {0x2F800, 0x2FA1F, -0x1D220},  // compatibility supplement
    {0x3042, 0x30F6, 0xF7BE},      // kana
    {0xE000, 0xFFFF, 0x48B5},      // private use, forms, full-width and the rest of the BMP
};

}  // namespace

int32_t CharToIndexCode(uint32_t codePoint) {
  for (const CodeRange& range : kCodeRanges) {
    if (codePoint >= range.first && codePoint <= range.last) {
      return static_cast<int32_t>(codePoint) + range.offset;
    }
  }
  return -1;
}
