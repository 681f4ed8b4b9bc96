#include "bench/compare/keyword.h"

#include <algorithm>

#include "bench/compare/pagetexts.h"
#include "base/unicode.h"
#include "engine/codeconverter.h"

namespace compare {

namespace {

constexpr uint32_t kMaxGap = 300;

std::string Utf8(uint32_t codePoint) {
  std::string out;
  AppendUtf8(codePoint, out);
  return out;
}

std::vector<std::string> FormsOf(uint32_t character, const CVariantTable* variants) {
  int32_t code = CharToIndexCode(character);
  if (variants == nullptr || !variants->FindVariantGroup(character, code)) return {Utf8(character)};
  std::vector<std::string> forms;
  for (const uint32_t member : variants->VariantSet(character)) forms.push_back(Utf8(member));
  return forms;
}

size_t CharacterLength(uint8_t lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

// The length of the form of `term` that stands at `at`, or 0.
size_t MatchTerm(std::string_view page, size_t at, const std::vector<std::string>& forms) {
  for (const std::string& form : forms) {
    if (page.compare(at, form.size(), form) == 0) return form.size();
  }
  return 0;
}

// Whether terms [term, end) follow from byte `at` within their gaps.
bool Completes(std::string_view page, size_t at, const Keyword& keyword, size_t term) {
  if (term == keyword.terms.size()) return true;
  const Gap gap = keyword.gaps[term - 1];
  for (uint32_t skipped = 0;; ++skipped) {
    if (skipped >= gap.min) {
      if (const size_t length = MatchTerm(page, at, keyword.terms[term])) {
        if (Completes(page, at + length, keyword, term + 1)) return true;
      }
    }
    if (skipped == gap.max || at >= page.size() || page[at] == kRunSeparator) return false;
    at += CharacterLength(static_cast<uint8_t>(page[at]));
  }
}

std::string CharacterClass(const std::vector<std::string>& forms) {
  if (forms.size() == 1) return forms[0];
  std::string out = "[";
  for (const std::string& form : forms) out += form;
  return out + "]";
}

}  // namespace

std::vector<uint32_t> DecodeUtf8(std::string_view text) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < text.size();) {
    const auto b0 = static_cast<uint8_t>(text[i]);
    const size_t length = b0 < 0x80 ? 1 : b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : 4;
    uint32_t value = length == 1 ? b0 : b0 & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < text.size(); ++k) value = (value << 6) | (text[i + k] & 0x3F);
    out.push_back(value);
    i += length;
  }
  return out;
}

std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  for (const uint32_t c : DecodeUtf8(text)) {
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

bool Keyword::Literal() const {
  return std::all_of(gaps.begin(), gaps.end(), [](Gap g) { return g.max == 0; });
}

std::vector<std::string> Keyword::Spellings(size_t limit) const {
  std::vector<std::string> spellings{""};
  for (const auto& forms : terms) {
    if (spellings.size() * forms.size() > limit) return {};
    std::vector<std::string> longer;
    for (const std::string& head : spellings) {
      for (const std::string& form : forms) longer.push_back(head + form);
    }
    spellings.swap(longer);
  }
  return spellings;
}

Keyword ParseKeyword(std::string_view text, const CVariantTable* variants) {
  Keyword keyword;
  Gap pending;
  for (const uint32_t c : DecodeUtf8(text)) {
    if (c == '*') {
      pending.max = pending.min + kMaxGap;
    } else if (c == '?' || c == 0xFF1F) {
      ++pending.min;
      if (pending.max != 0) ++pending.max;
    } else if (CharToIndexCode(c) >= 0) {
      if (!keyword.terms.empty()) keyword.gaps.push_back({pending.min, std::max(pending.min, pending.max)});
      keyword.terms.push_back(FormsOf(c, variants));
      pending = {};
    }
  }
  return keyword;
}

uint32_t CountPlaces(std::string_view page, const Keyword& keyword) {
  if (keyword.terms.empty()) return 0;
  uint32_t places = 0;
  for (const std::string& form : keyword.terms[0]) {
    for (size_t at = page.find(form); at != std::string_view::npos; at = page.find(form, at + 1)) {
      if (Completes(page, at + form.size(), keyword, 1)) ++places;
    }
  }
  return places;
}

std::string ToRegex(const Keyword& keyword, bool lookahead) {
  if (keyword.terms.empty()) return {};
  std::string rest;
  for (size_t i = 1; i < keyword.terms.size(); ++i) {
    const Gap gap = keyword.gaps[i - 1];
    if (gap.max > 0) {
      rest += "[^\\x1f]{" + std::to_string(gap.min);
      rest += gap.max > gap.min ? "," + std::to_string(gap.max) + "}" : "}";
    }
    rest += CharacterClass(keyword.terms[i]);
  }
  const std::string first = CharacterClass(keyword.terms[0]);
  if (rest.empty()) return first;
  return lookahead ? first + "(?=" + rest + ")" : first + rest;
}

}  // namespace compare
