// What tests, benchmarks and fuzzers look at inside a CIndex beyond its
// interface: the tables and the mapped postings the engine reads, the
// variant groups, the file list, and how many list bytes a search read.
#ifndef CODEXA_ENGINE_INDEX_TESTING_H_
#define CODEXA_ENGINE_INDEX_TESTING_H_

#include <cstdint>

#include "engine/index.h"
#include "engine/indexstate.h"

struct CIndexTesting {
  // Where the list of `code` lies: false when the index is closed, the
  // code is outside the tables or it has no list.
  static bool ListOf(const CIndex& index, int32_t code, uint32_t& firstBlock, uint32_t& lastPage) {
    return index.m_pState->ListOf(code, firstBlock, lastPage);
  }
  // The mapped posting file and the block chain (empty when closed).
  static const PostingSource& PostingSourceOf(const CIndex& index) { return index.m_pState->m_source; }
  // The page-count table (closed when the index has none).
  static const NgramTable& NgramTableOf(const CIndex& index) { return index.m_pState->m_ngrams; }
  static const CVariantTable& VariantsOf(const CIndex& index) { return index.m_pState->m_variantGroups; }
  static CFileList& FileListOf(CIndex& index) { return index.m_pState->m_fileList; }
  // The bytes of index lists the last search read (see engine/indexstate.h).
  static uint64_t ListBytesRead(const CIndex& index) { return index.m_pState->m_nListBytesRead; }
};

#endif  // CODEXA_ENGINE_INDEX_TESTING_H_
