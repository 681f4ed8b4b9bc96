// Codexa's own engine on the built corpus: CIndex opened on the full text.
#ifndef CODEXA_BENCH_COMPARE_CODEXAPEER_H_
#define CODEXA_BENCH_COMPARE_CODEXAPEER_H_

#include <filesystem>

#include "bench/compare/peer.h"
#include "engine/index.h"

namespace compare {

class CodexaPeer : public Peer {
 public:
  explicit CodexaPeer(std::filesystem::path corpus) : m_corpus(std::move(corpus)) {}
  std::string Name() const override { return "Codexa"; }
  // Opens the corpus (built beforehand by codexa-build).
  bool Build(const std::vector<std::string>& pages, std::string& error) override;
  uint64_t IndexBytes() const override;
  Summary Search(const Query& query) override;
  std::vector<PageHits> Check(const Query& query) override;

  // Closes and opens the index again; the seconds Open took.
  double Reopen();
  // The bytes of index lists the engine reads for the query, as it counts
  // them while it runs it.
  uint64_t ListBytes(const Query& query);
  const CIndex& index() const { return m_index; }

 private:
  void Run(const Query& query);
  std::filesystem::path m_corpus;
  CIndex m_index;
};

}  // namespace compare

#endif  // CODEXA_BENCH_COMPARE_CODEXAPEER_H_
