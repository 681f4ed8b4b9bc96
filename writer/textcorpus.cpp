#include "writer/textcorpus.h"

#include <utility>

#include "base/unicode.h"
#include "engine/codeconverter.h"

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

TextCorpusWriter::TextCorpusWriter(std::vector<std::vector<uint32_t>> groups) : groups_(std::move(groups)) {
  for (uint32_t n = 0; n < groups_.size() && n < kGroupCodeCapacity; ++n) {
    for (const uint32_t member : groups_[n]) {
      std::vector<int32_t>& codes = groupCodes_[member];
      const int32_t code = kFirstGroupCode + static_cast<int32_t>(n);
      if (codes.empty() || codes.back() != code) codes.push_back(code);
    }
  }
}

void TextCorpusWriter::AddPage(std::u32string_view text, bool keepText) {
  const auto page = static_cast<uint32_t>(pages_.size());
  uint32_t position = 0;
  for (const char32_t c : text) {
    const int32_t code = CharToIndexCode(c);
    if (code < 0) continue;
    postings_.Add(code, page, position);
    if (const auto found = groupCodes_.find(c); found != groupCodes_.end()) {
      for (const int32_t groupCode : found->second) postings_.Add(groupCode, page, position);
    }
    ++position;
  }
  pages_.push_back({"text\\" + std::to_string(page + 1) + ".htm", std::string()});
  if (keepText) Utf16ToUtf8(Utf32ToUtf16(text), pages_.back().html);
}

bool TextCorpusWriter::Write(const std::filesystem::path& directory, const BlockLayout& layout, std::string& error) {
  return WriteFileList(directory, "Index", pages_, 100, error) && WriteIndex(directory, "Index", postings_, layout, error) &&
         WriteVariantTable(directory, groups_, error);
}

}  // namespace codexa::writer
