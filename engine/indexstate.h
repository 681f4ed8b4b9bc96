// What a CIndex holds behind its interface: the file list, the tables of
// the index header, the mapped posting file, the page-count table, the
// variant groups and the result arrays. Only the engine's own files and
// engine/index_testing.h include this.
#ifndef CODEXA_ENGINE_INDEXSTATE_H_
#define CODEXA_ENGINE_INDEXSTATE_H_

#include <cstdint>
#include <filesystem>
#include <vector>

#include "base/filemapping.h"
#include "corpus/filelist.h"
#include "engine/hitarrays.h"
#include "engine/hitcombine.h"
#include "engine/index.h"
#include "engine/ngramtable.h"
#include "engine/postingcursor.h"
#include "engine/variants.h"

struct CIndex::State {
  // Reads the header tables and the block chain, maps the posting file.
  bool OpenIndexFiles(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath);
  // Releases the index files and the file list.
  void Close();
  bool IsOpen() const { return m_source.data != nullptr; }
  // Where the list of `code` lies: false when the index is closed, the
  // code is outside the tables or it has no list.
  bool ListOf(int32_t code, uint32_t& firstBlock, uint32_t& lastPage) const;

  CFileList m_fileList;
  CFileMapping m_postingMapping;
  // The tables of the index header (engine/indexformat.h), one entry per
  // index code, and the block chain.
  std::vector<uint32_t> m_firstBlock;
  std::vector<uint16_t> m_sideFormat;    // format of the code's side table
  std::vector<uint32_t> m_sideLocation;  // where that table lies
  std::vector<uint32_t> m_lastPage;
  std::vector<uint32_t> m_chain;
  // The mapped posting file and the chain; its data is null when closed.
  PostingSource m_source;
  NgramTable m_ngrams;  // page-count lists, when the index has them
  CVariantTable m_variantGroups;
  HitArrays m_keywordHits;  // a later keyword's pages, kept for the capacity
  HitArrays m_result;
  std::vector<size_t> m_resultRuns;  // of an OR result (engine/hitcombine.h)
  // The bytes of index lists the last search read: page-count lists whole,
  // position lists as far as their cursors went, less the records a skip
  // table jumped over.
  uint64_t m_nListBytesRead = 0;
};

#endif  // CODEXA_ENGINE_INDEXSTATE_H_
