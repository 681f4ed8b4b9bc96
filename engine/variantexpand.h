// The variant forms of a query text, as rendering a hit needs them.
//
// Expanding a query text means taking, for every character, each member of
// its variant set, in every combination: the number of forms is the
// product of the set sizes over the whole text, which explodes for long or
// several keywords. The renderer only applies each distinct keyword once,
// in order of first appearance in the forms joined one after the other, so
// the expansion here yields exactly that list, derived per keyword without
// forming the product; beyond a limit the caller folds instead.
#ifndef CODEXA_ENGINE_VARIANTEXPAND_H_
#define CODEXA_ENGINE_VARIANTEXPAND_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/hitmark.h"
#include "engine/variants.h"

// The distinct keywords of a query text's variant forms.
struct VariantExpansion {
  // False when there were more than the limit; `keywords` is then empty.
  bool complete = true;
  // In the order in which each first appears when all variant forms of the
  // text (every combination, the first character varying slowest, each
  // character's members in their group's order) are written one after the
  // other and split at U+0020 and U+3000.
  std::vector<std::u16string> keywords;
};

// Expands `text`, whose keywords are separated by U+0020 or U+3000. Gives
// up (complete false) when the keywords have more than `limit` forms in
// all. Separators and the wildcards '*' and '?' stay themselves, and a
// character never takes a form that is no character, a separator or a
// wildcard, whatever the variant table says.
VariantExpansion ExpandVariants(const CVariantTable& table, std::u16string_view text, size_t limit);

// The keywords of `text` with each character standing for all the UTF-8
// spellings of its variant forms, ready for CompileAtoms; keywords that
// come out the same are given once, at their first place.
std::vector<std::vector<KeywordAtom>> FoldedKeywords(const CVariantTable& table, std::u16string_view text);

#endif  // CODEXA_ENGINE_VARIANTEXPAND_H_
