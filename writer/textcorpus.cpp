#include "writer/textcorpus.h"

#include <utility>

#include "base/unicode.h"
#include "engine/codeconverter.h"
#include "engine/indexformat.h"

namespace codexa::writer {

std::u16string Utf32ToUtf16(std::u32string_view text) {
  std::u16string units;
  for (const char32_t c : text) {
    if (c >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(c));
    }
  }
  return units;
}

TextCorpusWriter::TextCorpusWriter(std::vector<std::vector<uint32_t>> groups) : m_groups(std::move(groups)) {
  for (uint32_t n = 0; n < m_groups.size() && n < kGroupCodeCapacity; ++n) {
    for (const uint32_t member : m_groups[n]) {
      std::vector<int32_t>& codes = m_groupCodes[member];
      const int32_t code = kFirstGroupCode + static_cast<int32_t>(n);
      if (codes.empty() || codes.back() != code) codes.push_back(code);
    }
  }
}

void TextCorpusWriter::AddPage(std::u32string_view text, bool keepText) {
  const auto page = static_cast<uint32_t>(m_pages.size());
  uint32_t position = 0;
  for (const char32_t c : text) {
    const int32_t code = CharToIndexCode(c);
    if (code < 0) continue;
    m_postings.Add(code, page, position);
    if (const auto found = m_groupCodes.find(c); found != m_groupCodes.end()) {
      for (const int32_t groupCode : found->second) m_postings.Add(groupCode, page, position);
    }
    ++position;
  }
  m_pages.push_back({"text\\" + std::to_string(page + 1) + ".htm", std::string()});
  if (keepText) Utf16ToUtf8(Utf32ToUtf16(text), m_pages.back().html);
}

bool TextCorpusWriter::Write(const std::filesystem::path& directory, const BlockLayout& layout, std::string& error) {
  return WriteFileList(directory, kCorpusName, m_pages, kDefaultNameLength, error) &&
         WriteIndex(directory, IndexBaseName(SearchTarget::kFullText), m_postings, layout, error) &&
         WriteVariantTable(directory, m_groups, error);
}

}  // namespace codexa::writer
