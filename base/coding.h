// The two ways numbers are stored in every corpus file: fixed-width
// little-endian integers, and the variable-length number of the posting
// lists. One definition of each, for the readers and the writer alike.
//
// Little-endian: the least significant byte first, whatever the machine's
// own order. Loads take a pointer the caller has already checked has the
// bytes; stores append to a byte string.
//
// The variable-length number holds 0 .. kMaxVarNumber (22 bits) in one,
// two or three bytes, the first byte telling the length:
//
//   0xxxxxxx                     0 .. 127
//   10xxxxxx xxxxxxxx            the 14 bits, most significant first
//   11xxxxxx xxxxxxxx xxxxxxxx   the 22 bits, most significant first
//
// The lead byte alone gives the length, so a reader can step over numbers
// without decoding them.
#ifndef CODEXA_BASE_CODING_H_
#define CODEXA_BASE_CODING_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// ---- little-endian integers

inline uint16_t LoadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t LoadLE32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

inline uint64_t LoadLE64(const uint8_t* p) { return LoadLE32(p) | uint64_t{LoadLE32(p + 4)} << 32; }

// The number of `width` bytes (1, 2 or 4) at `p`.
inline uint32_t LoadLEWidth(const uint8_t* p, uint32_t width) {
  return width == 1 ? p[0] : width == 2 ? LoadLE16(p) : LoadLE32(p);
}

// Appends the low `width` bytes of `value` (1, 2, 4 or 8).
inline void AppendLE(uint64_t value, uint32_t width, std::string& out) {
  for (uint32_t i = 0; i < width; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

inline void AppendLE16(uint16_t value, std::string& out) { AppendLE(value, 2, out); }
inline void AppendLE32(uint32_t value, std::string& out) { AppendLE(value, 4, out); }

// ---- the variable-length number

constexpr uint32_t kMaxVarNumber = 0x3FFFFF;  // 4,194,303
constexpr uint32_t kMaxVarNumberLength = 3;

// The length of the number whose first byte is `lead`: 1, 2 or 3.
inline uint32_t VarNumberLength(uint8_t lead) { return 1 + (lead >= 0x80) + (lead >= 0xC0); }

// The value of the number of `length` bytes (VarNumberLength of its first
// byte) at `number`; the caller has checked that the bytes are there.
inline uint32_t VarNumberAt(const uint8_t* number, uint32_t length) {
  const uint32_t lead = number[0];
  if (length == 1) return lead;
  if (length == 2) return (lead & 0x3F) << 8 | number[1];
  return (lead & 0x3F) << 16 | uint32_t{number[1]} << 8 | number[2];
}

// Reads the number at `at` of `bytes` and moves `at` past it. False, with
// `at` left alone, when the number runs past the end.
inline bool ReadVarNumber(std::string_view bytes, size_t& at, uint32_t& value) {
  if (at >= bytes.size()) return false;
  const uint32_t length = VarNumberLength(static_cast<uint8_t>(bytes[at]));
  if (length > bytes.size() - at) return false;
  value = VarNumberAt(reinterpret_cast<const uint8_t*>(bytes.data() + at), length);
  at += length;
  return true;
}

// Appends `value` (at most kMaxVarNumber; larger values are the caller's
// error) in its shortest form.
inline void AppendVarNumber(uint32_t value, std::string& out) {
  if (value < 0x80) {
    out.push_back(static_cast<char>(value));
  } else if (value < 0x4000) {
    const char bytes[2] = {static_cast<char>(0x80 | (value >> 8)), static_cast<char>(value & 0xFF)};
    out.append(bytes, 2);
  } else {
    const char bytes[3] = {static_cast<char>(0xC0 | ((value >> 16) & 0x3F)), static_cast<char>((value >> 8) & 0xFF),
                           static_cast<char>(value & 0xFF)};
    out.append(bytes, 3);
  }
}

#endif  // CODEXA_BASE_CODING_H_
