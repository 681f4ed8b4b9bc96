// A search system in the comparison: it builds its index of the page
// texts once, then answers queries. Search is what is timed; Check gives
// the full answer (pages and, where the system can count them, hits per
// page) for the comparison of page sets.
#ifndef CODEXA_BENCH_COMPARE_PEER_H_
#define CODEXA_BENCH_COMPARE_PEER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "bench/compare/keyword.h"

namespace compare {

struct Query {
  std::string label;
  std::string text;  // as typed: keywords separated by spaces, UTF-8
  std::u16string utf16;  // the same, as the reader's search box hands it to the engine
  bool isAnd = true;
  bool variants = false;
  std::vector<Keyword> keywords;
};

constexpr int64_t kUnknownHits = -1;

struct PageHits {
  uint32_t page;
  int64_t hits;  // kUnknownHits where the system cannot count them
  bool operator==(const PageHits&) const = default;
};

struct Summary {
  uint64_t pages = 0;
  int64_t hits = kUnknownHits;
};

class Peer {
 public:
  virtual ~Peer() = default;
  virtual std::string Name() const = 0;
  // Builds the index of `pages`; false with `error` set when it fails.
  virtual bool Build(const std::vector<std::string>& pages, std::string& error) = 0;
  virtual uint64_t IndexBytes() const = 0;
  // When Build reused an index built earlier: the seconds that build took.
  virtual double RecordedBuildSeconds() const { return -1; }
  // Empty when the query can be answered exactly; otherwise why not (then
  // the query is not run on this system).
  virtual std::string Unsupported(const Query&) const { return {}; }
  // How the query is put to this system, for the table's notes.
  virtual std::string Expression(const Query&) const { return {}; }
  virtual Summary Search(const Query& query) = 0;
  // The pages in ascending order.
  virtual std::vector<PageHits> Check(const Query& query) = 0;
};

Summary Summarize(const std::vector<PageHits>& pages);

}  // namespace compare

#endif  // CODEXA_BENCH_COMPARE_PEER_H_
