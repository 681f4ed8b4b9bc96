#include "base/unicode.h"

#include <algorithm>

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Reads one code point at `src` by the pairing rule. Returns false (and
// leaves `src`) when `src` is a high surrogate that ends the source.
bool NextCodePoint(const char16_t*& src, const char16_t* end, uint32_t& codePoint) {
  const char16_t unit = *src;
  if (IsHighSurrogate(unit)) {
    if (src + 1 == end) return false;
    if (IsLowSurrogate(src[1])) {
      codePoint = (static_cast<uint32_t>(unit) - 0xD800) * 1024 + (static_cast<uint32_t>(src[1]) - 0xDC00) + 0x10000;
      src += 2;
      return true;
    }
  }
  codePoint = unit;
  ++src;
  return true;
}

}  // namespace

void AppendUtf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

int Utf16ToUtf8(std::u16string_view source, std::string& out) {
  // Room for the longest form; grown geometrically so that many small
  // appends to one array stay linear.
  const size_t needed = out.size() + source.size() * 4;
  if (needed > out.capacity()) out.reserve(std::max(needed, out.capacity() * 2));
  const char16_t* src = source.data();
  const char16_t* const end = src + source.size();
  while (src != end) {
    uint32_t cp;
    if (!NextCodePoint(src, end, cp)) return 1;
    AppendUtf8(cp, out);
  }
  return 0;
}

int DecodeUtf16(const char16_t*& src, const char16_t* srcEnd, uint32_t*& dst, uint32_t* dstEnd) {
  while (src != srcEnd) {
    if (dst == dstEnd) return 2;
    uint32_t cp;
    if (!NextCodePoint(src, srcEnd, cp)) return 1;
    *dst++ = cp;
  }
  return 0;
}

bool Utf8ToUtf16(std::string_view text, std::u16string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2
                                        : lead >= 0xF0 && lead < 0xF5 ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) return false;
    uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      cp = cp << 6 | (next & 0x3F);
    }
    const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (cp < smallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::string ToUtf8(std::u16string_view source) {
  std::string out;
  Utf16ToUtf8(source, out);
  return out;
}
