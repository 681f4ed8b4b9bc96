// The variant expansion of a query text written out in full, every
// combination joined by spaces, for comparing the renderer's derived
// keyword lists with. Small inputs only: it forms the whole product.
#ifndef CODEXA_ENGINE_VARIANTEXPAND_TESTING_H_
#define CODEXA_ENGINE_VARIANTEXPAND_TESTING_H_

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "engine/variants.h"

namespace codexa::testing {

inline std::u16string JoinedVariantForms(const CVariantTable& table, std::u16string_view text) {
  std::vector<std::vector<std::u16string>> sets;  // per character, its forms in UTF-16
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = (c - 0xD800) * 1024 + (text[++i] - 0xDC00) + 0x10000;
    }
    std::vector<std::u16string>& forms = sets.emplace_back();
    for (uint32_t m : table.VariantSet(c)) {
      std::u16string form;
      if (m < 0x10000) {
        form.push_back(static_cast<char16_t>(m));
      } else {
        form.push_back(static_cast<char16_t>(0xD800 + ((m - 0x10000) >> 10)));
        form.push_back(static_cast<char16_t>(0xDC00 + ((m - 0x10000) & 0x3FF)));
      }
      forms.push_back(form);
    }
  }
  std::u16string joined;
  std::vector<size_t> choice(sets.size());
  for (;;) {
    if (!joined.empty()) joined += u' ';
    for (size_t i = 0; i < sets.size(); ++i) joined += sets[i][choice[i]];
    size_t i = sets.size();
    while (i > 0 && ++choice[i - 1] == sets[i - 1].size()) choice[--i] = 0;
    if (i == 0) return joined;
  }
}

// The keywords of a joined text, each once, in order of first appearance.
inline std::vector<std::u16string> DistinctKeywords(std::u16string_view joined) {
  std::vector<std::u16string> keywords;
  size_t pos = 0;
  while (pos <= joined.size()) {
    size_t end = joined.find_first_of(u" \u3000", pos);
    if (end == std::u16string_view::npos) end = joined.size();
    std::u16string keyword(joined.substr(pos, end - pos));
    bool fresh = !keyword.empty() && std::find(keywords.begin(), keywords.end(), keyword) == keywords.end();
    if (fresh) keywords.push_back(keyword);
    pos = end + 1;
  }
  return keywords;
}

}  // namespace codexa::testing

#endif  // CODEXA_ENGINE_VARIANTEXPAND_TESTING_H_
