// Variant-character groups from "yitizi.txt": one group per line, members
// as hexadecimal code points separated by commas. Group n is keyed in the
// index by the code kFirstGroupCode + n.
#ifndef CODEXA_ENGINE_VARIANTS_H_
#define CODEXA_ENGINE_VARIANTS_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CVariantTable {
 public:
  // Empties the table, then reads "<directory>/yitizi.txt". False when the
  // file cannot be read; the table is then empty.
  bool Load(const std::filesystem::path& directory);
  // Parses the bytes of a variant file (the same rules as Load).
  void Parse(std::string_view bytes);
  void Clear();

  const std::vector<std::vector<uint32_t>>& groups() const { return groups_; }

  // The number of the first group that holds `codePoint`, or -1.
  int64_t GroupOf(uint32_t codePoint) const;

  // When a group numbered below the index's capacity holds `codePoint`,
  // stores its group code in `code` and answers true; otherwise leaves
  // `code` alone (a character of a later group keeps its own code).
  bool FindVariantGroup(uint32_t codePoint, int32_t& code) const;

  // The variant set of a character: the members of its first group, in the
  // group's order, or the character alone.
  std::vector<uint32_t> VariantSet(uint32_t codePoint) const;

 private:
  std::vector<std::vector<uint32_t>> groups_;
  std::unordered_map<uint32_t, uint32_t> firstGroup_;  // code point -> group
};

#endif  // CODEXA_ENGINE_VARIANTS_H_
