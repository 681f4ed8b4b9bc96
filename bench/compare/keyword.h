// A keyword as the engine reads it, restated for other search tools: the
// characters that take part (each with the forms it matches) and, between
// two consecutive ones, how many characters of the page may stand there.
//
// Inside a segment, "?" asks for exactly one character, so the gap is
// fixed; across a "*" the gap grows by up to 300 characters. A "?" before
// the first or after the last term asks for nothing. Characters without an
// index code are dropped, as the engine drops them. No gap ever spans a
// run separator (a tag in the page), nor does a "?".
#ifndef CODEXA_BENCH_COMPARE_KEYWORD_H_
#define CODEXA_BENCH_COMPARE_KEYWORD_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/variants.h"

namespace compare {

struct Gap {
  uint32_t min = 0;
  uint32_t max = 0;
};

struct Keyword {
  std::vector<std::vector<std::string>> terms;  // per term its forms, UTF-8
  std::vector<Gap> gaps;                        // gaps[i]: between terms i and i + 1

  bool Literal() const;  // no gaps: a plain phrase
  // Every spelling of a literal keyword (the product of the forms), or an
  // empty list when there are more than `limit`.
  std::vector<std::string> Spellings(size_t limit) const;
};

// The code points of UTF-8 text (well-formed, as the page texts are).
std::vector<uint32_t> DecodeUtf8(std::string_view text);
// The UTF-16 form of UTF-8 text.
std::u16string ToUtf16(std::string_view text);

// The keyword of the query text `text` (UTF-8, one keyword). With
// `variants`, each character matches every member of its variant group.
Keyword ParseKeyword(std::string_view text, const CVariantTable* variants);

// The places where the keyword matches in `page`, counted as the engine
// counts them: the starts of the first term from which every later term
// can be reached within its gap.
uint32_t CountPlaces(std::string_view page, const Keyword& keyword);

// A regular expression for the keyword. With `lookahead` it matches only
// the first term and looks ahead for the rest, so that a count of
// matches is a count of places (needs PCRE2).
std::string ToRegex(const Keyword& keyword, bool lookahead);

}  // namespace compare

#endif  // CODEXA_BENCH_COMPARE_KEYWORD_H_
