#include "session/citation.h"

#include <vector>

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u3000'; }

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::u16string NumberText(int number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string SourceText(const CitationSource& source) {
  std::u16string title;
  if (!source.work.empty()) title = u"《" + source.work + u"》";
  title += source.volume;
  std::vector<std::u16string> parts;
  if (!title.empty()) parts.push_back(title);
  if (source.page > 0) parts.push_back(u"第" + NumberText(source.page) + u"頁");
  if (!source.category.empty()) parts.push_back(source.category);
  std::u16string text;
  for (const std::u16string& part : parts) text += (text.empty() ? u"" : u"、") + part;
  return text;
}

}  // namespace

std::u16string CitationText(std::u16string_view passage, const CitationSource& source) {
  const std::u16string_view quoted = Trimmed(passage);
  if (quoted.empty()) return SourceText(source);
  return u"「" + std::u16string(quoted) + u"」（" + SourceText(source) + u"）";
}
