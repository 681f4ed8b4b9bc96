// The characters the index and render targets build their inputs from: a
// byte of input picks one of a few kinds of unit, so that mutations land on
// characters the tables and pages actually hold, while any raw unit (a lone
// surrogate, a refused Latin letter) stays reachable.
#ifndef CODEXA_FUZZ_ALPHABET_H_
#define CODEXA_FUZZ_ALPHABET_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace codexa::fuzz {

// Indexed characters with consecutive codes 6,656 ... 6,663.
constexpr char16_t kAlphabet[8] = {0x4E00, 0x4E01, 0x4E02, 0x4E03, 0x4E04, 0x4E05, 0x4E06, 0x4E07};

// Decodes `picks` into a query or keyword text. The low four bits of each
// byte choose: 0-7 a letter of kAlphabet, 8 '?', 9 '*', 10 U+0020,
// 11 U+3000, 12 U+FF1F, 13 the unit made of the next two bytes (U+3002
// when they are missing), 14 a lone
// high surrogate, 15 the Latin letter 'A'.
inline std::u16string PickUnits(std::string_view picks) {
  std::u16string text;
  for (size_t i = 0; i < picks.size(); ++i) {
    const uint8_t pick = static_cast<uint8_t>(picks[i]) & 0x0F;
    if (pick < 8) {
      text.push_back(kAlphabet[pick]);
    } else if (pick == 13 && i + 2 < picks.size()) {
      text.push_back(static_cast<char16_t>(static_cast<uint8_t>(picks[i + 1]) | (static_cast<uint8_t>(picks[i + 2]) << 8)));
      i += 2;
    } else {
      constexpr char16_t kOthers[] = {u'?', u'*', u' ', 0x3000, 0xFF1F, 0x3002, 0xD800, u'A'};
      text.push_back(kOthers[pick - 8]);
    }
  }
  return text;
}

}  // namespace codexa::fuzz

#endif  // CODEXA_FUZZ_ALPHABET_H_
