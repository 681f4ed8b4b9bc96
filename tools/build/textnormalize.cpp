#include "tools/build/textnormalize.h"

#include "tools/build/utf8.h"

namespace codexa::build {

namespace {

constexpr uint32_t kIdeographicSpace = 0x3000;
constexpr uint32_t kFullWidthOffset = 0xFEE0;  // '!' + offset = U+FF01

bool IsOpening(uint32_t cp) { return cp == 0xFF08 || cp == '('; }
bool IsClosing(uint32_t cp) { return cp == 0xFF09 || cp == ')'; }

void AppendRun(std::vector<Run>& runs, RunKind kind, std::string_view text) {
  if (text.empty()) return;
  if (!runs.empty() && runs.back().kind == kind) {
    runs.back().text += text;
  } else {
    runs.push_back({kind, std::string(text)});
  }
}

}  // namespace

std::string DisplayText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendDisplayText(text, out);
  return out;
}

void AppendDisplayText(std::string_view text, std::string& out) {
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    const uint32_t cp = NextCodePoint(text, i);
    if (cp > 0x20 && cp < 0x7F) {
      AppendUtf8(cp + kFullWidthOffset, out);
    } else if (cp <= 0x20 || cp == 0x7F) {
      AppendUtf8(kIdeographicSpace, out);
    } else if (cp == kMalformedUtf8 && i - start == 1) {
      AppendUtf8(kMalformedUtf8, out);
    } else {
      out.append(text.substr(start, i - start));
    }
  }
}

std::vector<Run> SplitInlineNotes(std::string_view text) {
  std::vector<Run> runs;
  size_t plainStart = 0, noteStart = 0;
  int depth = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t at = i;
    const uint32_t cp = NextCodePoint(text, i);
    if (IsOpening(cp)) {
      if (depth++ == 0) noteStart = at;
    } else if (IsClosing(cp) && depth > 0 && --depth == 0) {
      AppendRun(runs, RunKind::kMainText, text.substr(plainStart, noteStart - plainStart));
      AppendRun(runs, RunKind::kAnnotation, text.substr(noteStart, i - noteStart));
      plainStart = i;
    }
  }
  AppendRun(runs, RunKind::kMainText, text.substr(plainStart));
  return runs;
}

std::string ChineseNumber(int n) {
  static const char* const kDigits[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
  static const char* const kUnits[] = {"千", "百", "十", ""};
  if (n <= 0 || n >= 10000) return std::to_string(n);
  const int places[] = {n / 1000, n / 100 % 10, n / 10 % 10, n % 10};
  std::string out;
  bool pendingZero = false;
  for (int k = 0; k < 4; ++k) {
    if (places[k] == 0) {
      pendingZero = !out.empty();
      continue;
    }
    if (pendingZero) out += kDigits[0];
    pendingZero = false;
    // 十 alone for 10 to 19, as the numbers are read.
    if (!(k == 2 && places[k] == 1 && out.empty())) out += kDigits[places[k]];
    out += kUnits[k];
  }
  return out;
}

}  // namespace codexa::build
