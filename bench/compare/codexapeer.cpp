#include "bench/compare/codexapeer.h"

#include <algorithm>
#include <chrono>

#include "engine/index_testing.h"
#include "engine/indexformat.h"

namespace compare {

bool CodexaPeer::Build(const std::vector<std::string>&, std::string& error) {
  if (m_index.Open(m_corpus, kCorpusNameUtf16, SearchTarget::kFullText)) return true;
  error = "the corpus in " + m_corpus.string() + " does not open";
  return false;
}

uint64_t CodexaPeer::IndexBytes() const {
  return std::filesystem::file_size(m_corpus / IndexHeaderName()) +
         std::filesystem::file_size(m_corpus / IndexPostingName());
}

double CodexaPeer::Reopen() {
  m_index.Close();
  const auto start = std::chrono::steady_clock::now();
  m_index.Open(m_corpus, kCorpusNameUtf16, SearchTarget::kFullText);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void CodexaPeer::Run(const Query& query) {
  // A copy: the engine overwrites the separators it reads.
  std::u16string text = query.utf16;
  query.isAnd ? m_index.SearchAnd(text, query.variants) : m_index.SearchOr(text, query.variants);
}

Summary CodexaPeer::Search(const Query& query) {
  Run(query);
  Summary summary{m_index.GetResultCount(), 0};
  for (const uint32_t count : m_index.GetCountArray()) summary.hits += count;
  return summary;
}

std::vector<PageHits> CodexaPeer::Check(const Query& query) {
  Run(query);
  std::vector<PageHits> result;
  for (size_t i = 0; i < m_index.GetResultCount(); ++i) {
    result.push_back({m_index.GetPageArray()[i], m_index.GetCountArray()[i]});
  }
  // An OR result comes keyword by keyword; the comparison wants page order.
  std::sort(result.begin(), result.end(), [](const PageHits& a, const PageHits& b) { return a.page < b.page; });
  return result;
}

uint64_t CodexaPeer::ListBytes(const Query& query) {
  Run(query);
  return CIndexTesting::ListBytesRead(m_index);
}

}  // namespace compare
