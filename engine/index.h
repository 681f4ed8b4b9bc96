// CIndex: one opened search target of the corpus. It owns the corpus file
// list, the index of the chosen target (tables in memory, postings mapped),
// the variant groups and the result of the last search.
#ifndef CODEXA_ENGINE_INDEX_H_
#define CODEXA_ENGINE_INDEX_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/filelist.h"
#include "base/filemapping.h"
#include "engine/ngramtable.h"
#include "engine/postingcursor.h"
#include "engine/searchtarget.h"
#include "engine/variants.h"


// The message shown when a target cannot be opened.
extern const char* const kOpenFailedMessage;  // "データを開けませんでした。"

class CIndex {
 public:
  CIndex();
  virtual ~CIndex();
  CIndex(const CIndex&) = delete;
  CIndex& operator=(const CIndex&) = delete;

  // Opens target `target` of the corpus `corpusName` in `directory`: loads
  // the variant table, reads the index header, maps the posting file and
  // opens the file list. On failure reports kOpenFailedMessage through the
  // current reporter, closes and answers false.
  bool Open(const std::filesystem::path& directory, std::u16string_view corpusName, SearchTarget target);
  // Releases what Open obtained; the result and the variant groups stay.
  void Close();
  bool IsOpen() const { return m_pPostings != nullptr; }

  // The number of keywords of `query`, 0 when the query is refused
  // (a unit below U+0100 other than space, "*" and "?").
  static int CheckQuery(std::u16string_view query);
  // Evaluate the keywords of `query` (separated by U+0020 or U+3000) and
  // leave the result in the page and count arrays. Each U+0020 of the query
  // is overwritten with U+3000 unless the query is refused. On a closed
  // index the result is empty.
  void SearchAnd(std::u16string& query, bool variants);
  void SearchOr(std::u16string& query, bool variants);

  const std::vector<uint32_t>& GetPageArray() const { return m_result.pages; }
  const std::vector<uint32_t>& GetCountArray() const { return m_result.counts; }
  uint32_t GetResultCount() const { return m_nResultCount; }

  // Renders `page` with the keywords of `keywords` highlighted (all their
  // variant forms when `variants`); returns the number of anchors written.
  int RenderHit(uint32_t page, std::string& output, std::u16string_view keywords, DisplayCode displayCode,
                bool variants);

  // Forwarded to the file list.
  uint32_t GetPageCount() const { return m_fileList.GetPageCount(); }
  bool FindPageByFileNumber(uint32_t start, int fileNumber, uint32_t& page);
  bool GetPageSize(uint32_t page, uint32_t& size);
  bool ReadPage(uint32_t page, std::string& bytes);

  // Where the list of `code` lies: false when the index is closed, the
  // code is outside the tables or it has no list.
  bool ListOf(int32_t code, uint32_t& firstBlock, uint32_t& lastPage) const;
  // The mapped posting file and the block chain (empty when closed).
  const PostingSource& postingSource() const { return m_source; }

  // The page-count table (closed when the index has none).
  const NgramTable& ngramTable() const { return m_ngrams; }
  const CVariantTable& variants() const { return m_variantGroups; }
  CFileList& fileList() { return m_fileList; }

 private:
  enum class Combine { kReplace, kUnion, kIntersect };
  void SearchKeyword(std::u16string_view keyword, Combine mode, bool variants);
  // Reads the header tables and the block chain, maps the posting file.
  bool OpenIndexFiles(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath);

  CFileList m_fileList;
  CFileMapping m_postingMapping;
  std::vector<uint32_t> m_pNextBlock;   // block chain
  // The two header tables the format leaves to the builder: where the skip
  // tables (engine/skiptable.h) and the page-count table
  // (engine/ngramtable.h) lie, and in which format.
  std::vector<uint32_t> m_pCodeLongs;
  std::vector<uint16_t> m_pCodeWords;
  std::vector<uint32_t> m_pFirstBlock;  // first posting block per code
  std::vector<uint32_t> m_pLastPage;    // last page per code
  const uint8_t* m_pPostings = nullptr;  // the mapped posting file; null when closed
  uint32_t m_nBlockCount = 0;
  PostingSource m_source;
  NgramTable m_ngrams;  // page-count lists, when the index has them
  HitArrays m_keywordHits;  // a later keyword's pages, kept for the capacity
  HitArrays m_result;
  uint32_t m_nResultCount = 0;
  CVariantTable m_variantGroups;
};

#endif  // CODEXA_ENGINE_INDEX_H_
