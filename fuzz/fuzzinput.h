// The byte layout that the fuzz targets read their fields from, and the
// builder that writes seeds in the same layout. Numbers are little-endian
// and read from the front; a chunk is a 16-bit length and that many bytes;
// whatever follows the last field is the rest. Fields that run past the
// end of the input read as zero or empty, so every input is a valid one.
#ifndef CODEXA_FUZZ_FUZZINPUT_H_
#define CODEXA_FUZZ_FUZZINPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace codexa::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : m_strBytes(reinterpret_cast<const char*>(data), size) {}

  uint8_t Byte() { return static_cast<uint8_t>(Number(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Number(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Number(4)); }
  std::string_view Chunk() { return Take(U16()); }
  std::string_view Rest() { return Take(m_strBytes.size()); }

 private:
  std::string_view Take(size_t count) {
    const std::string_view taken = m_strBytes.substr(0, count);
    m_strBytes.remove_prefix(taken.size());
    return taken;
  }
  uint64_t Number(size_t width) {
    const std::string_view taken = Take(width);
    uint64_t value = 0;
    for (size_t i = 0; i < taken.size(); ++i) value |= uint64_t{static_cast<uint8_t>(taken[i])} << (8 * i);
    return value;
  }

  std::string_view m_strBytes;
};

class FuzzInputBuilder {
 public:
  FuzzInputBuilder& Byte(uint8_t value) { return Number(value, 1); }
  FuzzInputBuilder& U16(uint16_t value) { return Number(value, 2); }
  FuzzInputBuilder& U32(uint32_t value) { return Number(value, 4); }
  FuzzInputBuilder& Chunk(std::string_view chunk) {
    U16(static_cast<uint16_t>(chunk.size()));
    m_strBytes.append(chunk.substr(0, UINT16_MAX));
    return *this;
  }
  FuzzInputBuilder& Rest(std::string_view rest) {
    m_strBytes.append(rest);
    return *this;
  }
  const std::string& bytes() const { return m_strBytes; }

 private:
  FuzzInputBuilder& Number(uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) m_strBytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return *this;
  }

  std::string m_strBytes;
};

// UTF-16 units from raw bytes, two bytes a unit, low byte first; an odd
// last byte is dropped. Any unit can come out, lone surrogates included.
inline std::u16string Utf16Units(std::string_view bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  }
  return units;
}

inline std::string Utf16Bytes(std::u16string_view units) {
  std::string bytes;
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

}  // namespace codexa::fuzz

#endif  // CODEXA_FUZZ_FUZZINPUT_H_
