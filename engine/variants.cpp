#include "engine/variants.h"

#include <fstream>
#include <iterator>
#include <limits>

#include "base/unicode.h"
#include "engine/codeconverter.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A member as the C library reads an unsigned long (32 bits in the files'
// home format) in base 16: blanks, a sign, an optional "0x", digits up to
// the first other byte; no digits give 0, an overflow the largest value,
// and a minus sign negates modulo 2^32.
uint32_t ParseMember(std::string_view run) {
  size_t i = 0;
  while (i < run.size() && IsAsciiSpace(run[i])) ++i;
  bool negative = false;
  if (i < run.size() && (run[i] == '+' || run[i] == '-')) negative = run[i++] == '-';
  // "0x" counts as a prefix only when a digit follows; "0xg" reads as 0.
  if (i + 2 < run.size() && run[i] == '0' && (run[i + 1] == 'x' || run[i + 1] == 'X') && HexDigit(run[i + 2]) >= 0) {
    i += 2;
  }
  uint64_t value = 0;
  bool overflow = false;
  for (; i < run.size() && HexDigit(run[i]) >= 0; ++i) {
    value = value * 16 + static_cast<uint64_t>(HexDigit(run[i]));
    if (value > std::numeric_limits<uint32_t>::max()) {
      overflow = true;
      value = std::numeric_limits<uint32_t>::max();
    }
  }
  if (overflow) return std::numeric_limits<uint32_t>::max();
  const uint32_t result = static_cast<uint32_t>(value);
  return negative ? 0u - result : result;
}

// Calls `each` for every maximal run of bytes other than `separator`.
template <typename Each>
void ForEachRun(std::string_view bytes, char separator, Each each) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find(separator, start);
    if (end == std::string_view::npos) end = bytes.size();
    if (end > start) each(bytes.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

bool CVariantTable::Load(const std::filesystem::path& directory) {
  Clear();
  std::ifstream file(directory / kVariantFileName, std::ios::binary);
  if (!file) return false;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return false;
  Parse(bytes);
  return true;
}

void CVariantTable::Parse(std::string_view bytes) {
  Clear();
  ForEachRun(bytes, '\n', [this](std::string_view line) {
    const uint32_t number = static_cast<uint32_t>(m_groups.size());
    std::vector<uint32_t>& group = m_groups.emplace_back();
    ForEachRun(line, ',', [&](std::string_view run) {
      const uint32_t member = ParseMember(run);
      group.push_back(member);
      m_firstGroup.emplace(member, number);  // an earlier group keeps the member
    });
  });
}

void CVariantTable::Clear() {
  m_groups.clear();
  m_firstGroup.clear();
}

int64_t CVariantTable::GroupOf(uint32_t codePoint) const {
  const auto it = m_firstGroup.find(codePoint);
  return it == m_firstGroup.end() ? -1 : static_cast<int64_t>(it->second);
}

bool CVariantTable::FindVariantGroup(uint32_t codePoint, int32_t& code) const {
  const int64_t group = GroupOf(codePoint);
  // Later groups have no list of their own in the index; their members
  // are searched under their own codes.
  if (group < 0 || group >= static_cast<int64_t>(kGroupCodeCapacity)) return false;
  code = kFirstGroupCode + static_cast<int32_t>(group);
  return true;
}

std::vector<uint32_t> CVariantTable::VariantSet(uint32_t codePoint) const {
  const int64_t group = GroupOf(codePoint);
  if (group < 0) return {codePoint};
  return m_groups[static_cast<size_t>(group)];
}
