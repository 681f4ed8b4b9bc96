// Xapian over the page texts with CJK n-grams: every indexed character is
// a term (unigram) and so is every pair of indexed characters side by
// side (bigram), both with their positions. A keyword of one or two
// characters is one term, with its hits in the term's within-page
// frequency; a longer phrase is a phrase query over its bigrams. Variant
// spellings are joined by OR. "?" and "*" have no exact form here.
#ifndef CODEXA_BENCH_COMPARE_XAPIANPEER_H_
#define CODEXA_BENCH_COMPARE_XAPIANPEER_H_

#include <xapian.h>

#include <filesystem>
#include <memory>

#include "bench/compare/peer.h"

namespace compare {

class XapianPeer : public Peer {
 public:
  // With `reuse`, a database that an earlier run built in `directory` for
  // the same number of pages is opened instead of built again, and the
  // build time recorded then is reported.
  XapianPeer(std::filesystem::path directory, bool reuse) : m_strDirectory(std::move(directory)), m_bReuse(reuse) {}
  std::string Name() const override { return "Xapian"; }
  bool Build(const std::vector<std::string>& pages, std::string& error) override;
  uint64_t IndexBytes() const override;
  std::string Unsupported(const Query& query) const override;
  std::string Expression(const Query& query) const override;
  double RecordedBuildSeconds() const override { return m_nRecordedSeconds; }
  Summary Search(const Query& query) override;
  std::vector<PageHits> Check(const Query& query) override;

 private:
  Xapian::MSet Match(const Query& query);
  bool Reuse(size_t pageCount);
  std::filesystem::path m_strDirectory;
  bool m_bReuse;
  double m_nRecordedSeconds = -1;
  std::unique_ptr<Xapian::Database> m_db;
};

}  // namespace compare

#endif  // CODEXA_BENCH_COMPARE_XAPIANPEER_H_
