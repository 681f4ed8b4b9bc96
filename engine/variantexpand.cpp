#include "engine/variantexpand.h"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "base/unicode.h"

namespace {

bool IsSeparator(uint32_t c) { return c == 0x20 || c == 0x3000; }
bool IsWildcard(uint32_t c) { return c == '*' || c == '?'; }
bool IsSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Whether a group member may stand in the text for another character: it
// must be a character (not 0 nor a surrogate nor beyond Unicode), and one
// that neither splits keywords nor acts as a wildcard.
bool CanStandFor(uint32_t member) {
  return member != 0 && member <= 0x10FFFF && !IsSurrogate(member) && !IsSeparator(member) && !IsWildcard(member);
}

// The forms of one character, without repeats, in its group's order.
using CharacterForms = std::vector<uint32_t>;
using KeywordForms = std::vector<CharacterForms>;

CharacterForms FormsOf(const CVariantTable& table, uint32_t c) {
  if (IsWildcard(c)) return {c};
  CharacterForms forms;
  for (uint32_t member : table.VariantSet(c)) {
    bool usable = member == c || CanStandFor(member);
    if (usable && std::find(forms.begin(), forms.end(), member) == forms.end()) forms.push_back(member);
  }
  return forms;
}

// A high surrogate at the end of a keyword is dropped when the keyword is
// converted to UTF-8; it is dropped here already so that both renderings
// agree.
bool EndsKeywordAlone(std::u16string_view text, size_t i) {
  return IsHighSurrogate(text[i]) && (i + 1 == text.size() || IsSeparator(text[i + 1]));
}

// The keywords of `text`, each character with its forms. A high surrogate
// followed by a low one is one character; any other unit stands alone.
std::vector<KeywordForms> SplitKeywords(const CVariantTable& table, std::u16string_view text) {
  std::vector<KeywordForms> keywords(1);
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = (c - 0xD800) * 1024 + (text[++i] - 0xDC00) + 0x10000;
    }
    if (IsSeparator(c)) {
      if (!keywords.back().empty()) keywords.emplace_back();
    } else if (!EndsKeywordAlone(text, i)) {
      keywords.back().push_back(FormsOf(table, c));
    }
  }
  if (keywords.back().empty()) keywords.pop_back();
  return keywords;
}

// The number of forms of all keywords, or limit + 1 when more.
size_t CountForms(const std::vector<KeywordForms>& keywords, size_t limit) {
  size_t total = 0;
  for (const KeywordForms& keyword : keywords) {
    size_t product = 1;
    for (const CharacterForms& forms : keyword) {
      if (product > (limit + 1) / forms.size()) return limit + 1;
      product *= forms.size();
    }
    total += product;
    if (total > limit) return limit + 1;
  }
  return total;
}

void AppendUtf16(uint32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  }
}

std::u16string FormOf(const KeywordForms& keyword, const std::vector<size_t>& choice) {
  std::u16string form;
  for (size_t i = 0; i < keyword.size(); ++i) AppendUtf16(keyword[i][choice[i]], form);
  return form;
}

// Steps `choice` to the next combination, the last character fastest.
// False after the last one.
bool NextChoice(const KeywordForms& keyword, std::vector<size_t>& choice) {
  for (size_t i = keyword.size(); i-- > 0;) {
    if (++choice[i] < keyword[i].size()) return true;
    choice[i] = 0;
  }
  return false;
}

}  // namespace

VariantExpansion ExpandVariants(const CVariantTable& table, std::u16string_view text, size_t limit) {
  const std::vector<KeywordForms> keywords = SplitKeywords(table, text);
  VariantExpansion expansion;
  if (CountForms(keywords, limit) > limit) {
    expansion.complete = false;
    return expansion;
  }
  std::unordered_set<std::u16string> seen;
  auto add = [&](std::u16string form) {
    if (seen.insert(form).second) expansion.keywords.push_back(std::move(form));
  };
  // The first combination holds every keyword's first form. After it, the
  // last keyword's forms come first, as the last characters vary fastest;
  // every other form of a keyword first appears while all other keywords
  // stand at their first form.
  for (const KeywordForms& keyword : keywords) add(FormOf(keyword, std::vector<size_t>(keyword.size())));
  for (auto keyword = keywords.rbegin(); keyword != keywords.rend(); ++keyword) {
    std::vector<size_t> choice(keyword->size());
    while (NextChoice(*keyword, choice)) add(FormOf(*keyword, choice));
  }
  return expansion;
}

std::vector<std::vector<KeywordAtom>> FoldedKeywords(const CVariantTable& table, std::u16string_view text) {
  std::vector<std::vector<KeywordAtom>> folded;
  std::set<std::vector<KeywordAtom>> seen;
  for (const KeywordForms& keyword : SplitKeywords(table, text)) {
    std::vector<KeywordAtom> atoms;
    for (const CharacterForms& forms : keyword) {
      KeywordAtom& atom = atoms.emplace_back();
      if (forms.size() == 1 && IsWildcard(forms.front())) {
        atom.wildcard = static_cast<char>(forms.front());
        continue;
      }
      // A lone surrogate is spelt as the three bytes of its value, as the
      // conversion of a whole keyword writes it.
      for (uint32_t form : forms) AppendUtf8(form, atom.spellings.emplace_back());
    }
    if (seen.insert(atoms).second) folded.push_back(std::move(atoms));
  }
  return folded;
}
