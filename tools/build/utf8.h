// UTF-8 reading and writing for the builder. The builder's input is already
// validated UTF-8 (the JSON reader refuses anything else), but the pages it
// scans again may come from anywhere, so decoding never reads past the end
// and turns a malformed byte into one character of its own.
#ifndef CODEXA_TOOLS_BUILD_UTF8_H_
#define CODEXA_TOOLS_BUILD_UTF8_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/unicode.h"

namespace codexa::build {

// The code point a malformed byte stands for.
constexpr uint32_t kMalformedUtf8 = 0xFFFD;

// Decodes the character at `text[i]` and moves `i` past it.
inline uint32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t b0 = byte(i);
  size_t length;
  uint32_t value;
  if (b0 < 0x80) {
    ++i;
    return b0;
  } else if (b0 >= 0xC2 && b0 < 0xE0) {
    length = 2, value = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 < 0xF0) {
    length = 3, value = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 < 0xF5) {
    length = 4, value = b0 & 0x07;
  } else {
    ++i;
    return kMalformedUtf8;
  }
  if (text.size() - i < length) {
    ++i;
    return kMalformedUtf8;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kMalformedUtf8;
    }
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  i += length;
  return value;
}

// The byte offset of the first sequence that is not well-formed UTF-8
// (overlong forms, surrogates and code points beyond U+10FFFF included), or
// npos when the whole text is. NextCodePoint is lenient; files read from
// a user's folder are checked with this first.
inline size_t FindInvalidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t at = i;
    const uint32_t cp = NextCodePoint(text, i);
    const size_t length = i - at;
    const bool wellFormed = cp == kMalformedUtf8 ? text.substr(at, length) == "\xEF\xBF\xBD"
                          : length == 3         ? cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)
                          : length == 4         ? cp >= 0x10000 && cp <= 0x10FFFF
                                                : true;
    if (!wellFormed) return at;
  }
  return std::string_view::npos;
}

// Appending a code point as UTF-8 is the engine's.
using ::AppendUtf8;

// The number of characters of `text`.
inline size_t CountCodePoints(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++count) NextCodePoint(text, i);
  return count;
}

// UTF-16 for catalogue names.
inline std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const uint32_t cp = NextCodePoint(text, i);
    if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
  }
  return out;
}

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_UTF8_H_
