// Variant-character groups from the variant table, kVariantFileName
// ("yitizi.txt") in the corpus folder: one group per line ended by "\n",
// members as hexadecimal code points separated by commas. Lines without a
// member are no groups, so the writer gives an empty group a lone comma.
// Group n is keyed in the index by the code kFirstGroupCode + n, for n
// below kGroupCodeCapacity; later groups fold nothing in the index.
#ifndef CODEXA_ENGINE_VARIANTS_H_
#define CODEXA_ENGINE_VARIANTS_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

inline constexpr char kVariantFileName[] = "yitizi.txt";

class CVariantTable {
 public:
  // Empties the table, then reads kVariantFileName in `directory`. False
  // when the file cannot be read; the table is then empty.
  bool Load(const std::filesystem::path& directory);
  // Parses the bytes of a variant file (the same rules as Load).
  void Parse(std::string_view bytes);
  void Clear();

  const std::vector<std::vector<uint32_t>>& groups() const { return m_groups; }

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
  std::vector<std::vector<uint32_t>> m_groups;
  std::unordered_map<uint32_t, uint32_t> m_firstGroup;  // code point -> group
};

#endif  // CODEXA_ENGINE_VARIANTS_H_
