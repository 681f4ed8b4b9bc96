#include "bench/compare/codexapeer.h"

#include <algorithm>
#include <chrono>

#include "bench/listbytes.h"
#include "engine/codeconverter.h"

namespace compare {

bool CodexaPeer::Build(const std::vector<std::string>&, std::string& error) {
  if (index_.Open(corpus_, u"Index", SearchTarget::kFullText)) return true;
  error = "the corpus in " + corpus_.string() + " does not open";
  return false;
}

uint64_t CodexaPeer::IndexBytes() const {
  return std::filesystem::file_size(corpus_ / "Index-idx.h") + std::filesystem::file_size(corpus_ / "Index-idx.m");
}

double CodexaPeer::Reopen() {
  index_.Close();
  const auto start = std::chrono::steady_clock::now();
  index_.Open(corpus_, u"Index", SearchTarget::kFullText);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void CodexaPeer::Run(const Query& query) {
  // A copy: the engine overwrites the separators it reads.
  std::u16string text = query.utf16;
  query.isAnd ? index_.SearchAnd(text, query.variants) : index_.SearchOr(text, query.variants);
}

Summary CodexaPeer::Search(const Query& query) {
  Run(query);
  Summary summary{index_.GetResultCount(), 0};
  for (const uint32_t count : index_.GetCountArray()) summary.hits += count;
  return summary;
}

std::vector<PageHits> CodexaPeer::Check(const Query& query) {
  Run(query);
  std::vector<PageHits> result;
  for (size_t i = 0; i < index_.GetResultCount(); ++i) {
    result.push_back({index_.GetPageArray()[i], index_.GetCountArray()[i]});
  }
  // An OR result comes keyword by keyword; the comparison wants page order.
  std::sort(result.begin(), result.end(), [](const PageHits& a, const PageHits& b) { return a.page < b.page; });
  return result;
}

uint64_t CodexaPeer::ListBytes(const Query& query) const {
  return codexa::bench::ListBytesRead(index_, DecodeUtf8(query.text), query.variants);
}

}  // namespace compare
