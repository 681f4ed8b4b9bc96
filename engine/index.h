// CIndex: one opened search target of the corpus. It owns the corpus file
// list, the index of the chosen target (tables in memory, postings mapped),
// the variant groups and the result of the last search.
//
// This header is the interface the reader and the tools use. What the
// engine keeps behind it is in engine/indexstate.h, for the engine's own
// files; tests, benchmarks and fuzzers reach it through
// engine/index_testing.h.
#ifndef CODEXA_ENGINE_INDEX_H_
#define CODEXA_ENGINE_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/displaycode.h"
#include "corpus/kwic.h"
#include "engine/searchtarget.h"

// The message shown when a target cannot be opened.
// The message the user is shown when a target cannot be opened.
extern const char* const kOpenFailedMessage;  // "データを開けませんでした。"

class CIndex {
 public:
  CIndex();
  virtual ~CIndex();
  CIndex(const CIndex&) = delete;
  CIndex& operator=(const CIndex&) = delete;

  // Opens target `target` of the corpus `corpusName` in `directory`: loads
  // the variant table, reads the index header, maps the posting file and
  // opens the file list. On failure closes and answers false; the caller
  // tells the user, with kOpenFailedMessage.
  bool Open(const std::filesystem::path& directory, std::u16string_view corpusName, SearchTarget target);
  // Releases what Open obtained; the result and the variant groups stay.
  void Close();
  bool IsOpen() const;

  // The number of keywords of `query`, 0 when the query is refused
  // (a unit below U+0100 other than space, "*" and "?").
  static int CheckQuery(std::u16string_view query);
  // Evaluate the keywords of `query` (separated by U+0020 or U+3000) and
  // leave the result in the page and count arrays. Each U+0020 of the query
  // is overwritten with U+3000 unless the query is refused. On a closed
  // index the result is empty.
  void SearchAnd(std::u16string& query, bool variants);
  void SearchOr(std::u16string& query, bool variants);

  const std::vector<uint32_t>& GetPageArray() const;
  const std::vector<uint32_t>& GetCountArray() const;
  uint32_t GetResultCount() const { return m_nResultCount; }

  // Renders `page` with the keywords of `keywords` highlighted (all their
  // variant forms when `variants`); returns the number of anchors written.
  int RenderHit(uint32_t page, std::string& output, std::u16string_view keywords, DisplayCode displayCode,
                bool variants);

  // The occurrences on `page` of the keywords as RenderHit marks them, in
  // text order, with up to `context` characters either side (corpus/kwic.h).
  // False, with `lines` empty, when the page cannot be read.
  bool FindOccurrences(uint32_t page, std::u16string_view keywords, DisplayCode displayCode, bool variants,
                       std::size_t context, std::vector<KwicLine>& lines);

  // Forwarded to the file list.
  uint32_t GetPageCount() const;
  bool FindPageByFileNumber(uint32_t start, int fileNumber, uint32_t& page);
  bool GetPageSize(uint32_t page, uint32_t& size);
  bool ReadPage(uint32_t page, std::string& bytes);

 private:
  friend struct CIndexTesting;
  struct State;

  // Made once with the object, so that neither Open nor a search allocates
  // for it.
  std::unique_ptr<State> m_pState;
  uint32_t m_nResultCount = 0;
};

#endif  // CODEXA_ENGINE_INDEX_H_
