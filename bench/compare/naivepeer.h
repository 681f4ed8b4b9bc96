// The naive scan: every page held in memory, every keyword looked for with
// std::string_view::find and its gaps checked character by character.
#ifndef CODEXA_BENCH_COMPARE_NAIVEPEER_H_
#define CODEXA_BENCH_COMPARE_NAIVEPEER_H_

#include "bench/compare/peer.h"

namespace compare {

// The hits of the query's keywords on one page, summed; 0 when an AND
// query misses one of them.
uint32_t QueryPlaces(std::string_view page, const Query& query);

class NaivePeer : public Peer {
 public:
  std::string Name() const override { return "naive scan"; }
  bool Build(const std::vector<std::string>& pages, std::string& error) override;
  uint64_t IndexBytes() const override { return m_nBytes; }
  Summary Search(const Query& query) override;
  std::vector<PageHits> Check(const Query& query) override;

 private:
  const std::vector<std::string>* m_pPages = nullptr;
  uint64_t m_nBytes = 0;
};

}  // namespace compare

#endif  // CODEXA_BENCH_COMPARE_NAIVEPEER_H_
