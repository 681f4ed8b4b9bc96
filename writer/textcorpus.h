// A corpus made from plain page texts, for tests and benchmarks that need
// an index whose occurrences they know. Each page's characters that have an
// index code take the positions 0, 1, 2, ... in text order; characters
// without a code take none. Every variant group that has a code gets the
// merged list of all its members' occurrences.
#ifndef CODEXA_WRITER_TEXTCORPUS_H_
#define CODEXA_WRITER_TEXTCORPUS_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "writer/corpuswriter.h"

namespace codexa::writer {

// The UTF-16 form of a text of code points (those above U+FFFF as pairs).
std::u16string Utf32ToUtf16(std::u32string_view text);

class TextCorpusWriter {
 public:
  // `groups` as they go into "yitizi.txt", in file order.
  explicit TextCorpusWriter(std::vector<std::vector<uint32_t>> groups = {});

  // Adds the next page. Its stored HTML is the text in UTF-8 when
  // `keepText`, else empty (enough for a benchmark that only searches).
  void AddPage(std::u32string_view text, bool keepText = true);

  // Writes the file list and the variant table under the corpus name
  // kCorpusName, and the index of the full text.
  bool Write(const std::filesystem::path& directory, const BlockLayout& layout, std::string& error);

  // The encoded lists, as Write lays them out (available after Write).
  const std::map<int32_t, PostingCollector::List>& lists() { return m_postings.Finish(); }

 private:
  std::vector<std::vector<uint32_t>> m_groups;
  std::unordered_map<uint32_t, std::vector<int32_t>> m_groupCodes;  // member -> codes of its groups
  std::vector<StoredPage> m_pages;
  PostingCollector m_postings;
};

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_TEXTCORPUS_H_
