// A variant table of arbitrary bytes, its lookups, and the expansion of a
// text into variant forms (both the listed forms and the folded keywords).
//
// Input: text picks (chunk, see alphabet.h), code points to look up
// (chunk of little-endian u32), the bytes of kVariantFileName.
#include <cstdint>
#include <string>
#include <vector>

#include "corpus/hitmark.h"
#include "engine/codeconverter.h"
#include "engine/variantexpand.h"
#include "engine/variants.h"
#include "fuzz/alphabet.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/require.h"

namespace {

using codexa::fuzz::FuzzInput;

// Forms the expansion may list before it must give up.
constexpr size_t kExpansionLimit = 256;

// The lookups against a plain walk of the groups in file order.
void CheckLookups(const CVariantTable& table, uint32_t codePoint) {
  const auto& groups = table.groups();
  int64_t first = -1;
  for (size_t g = 0; g < groups.size() && first < 0; ++g) {
    for (uint32_t member : groups[g]) {
      if (member == codePoint) first = static_cast<int64_t>(g);
    }
  }
  FUZZ_REQUIRE(table.GroupOf(codePoint) == first);

  int32_t code = -7;
  const bool grouped = table.FindVariantGroup(codePoint, code);
  FUZZ_REQUIRE(grouped == (first >= 0 && first < int64_t{kGroupCodeCapacity}));
  FUZZ_REQUIRE(grouped ? code == kFirstGroupCode + first : code == -7);

  const std::vector<uint32_t> set = table.VariantSet(codePoint);
  FUZZ_REQUIRE(first < 0 ? set == std::vector<uint32_t>{codePoint} : set == groups[static_cast<size_t>(first)]);
}

bool IsSeparator(char16_t unit) { return unit == u' ' || unit == 0x3000; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const std::u16string text = codexa::fuzz::PickUnits(input.Chunk());
  const std::string_view lookups = input.Chunk();
  CVariantTable table;
  table.Parse(input.Rest());

  for (size_t i = 0; i + 4 <= lookups.size(); i += 4) {
    FuzzInput number(reinterpret_cast<const uint8_t*>(lookups.data() + i), 4);
    CheckLookups(table, number.U32());
  }
  for (char16_t unit : text) CheckLookups(table, unit);

  const VariantExpansion expansion = ExpandVariants(table, text, kExpansionLimit);
  if (expansion.complete) {
    FUZZ_REQUIRE(expansion.keywords.size() <= kExpansionLimit);
    for (const std::u16string& keyword : expansion.keywords) {
      FUZZ_REQUIRE(!keyword.empty());
      for (char16_t unit : keyword) FUZZ_REQUIRE(!IsSeparator(unit));
    }
  } else {
    FUZZ_REQUIRE(expansion.keywords.empty());
  }
  for (const std::vector<KeywordAtom>& atoms : FoldedKeywords(table, text)) {
    const Pattern pattern = CompileAtoms(atoms);
    for (const PatternPiece& piece : pattern) FUZZ_REQUIRE(!piece.bytes.empty());
  }
  return 0;
}
