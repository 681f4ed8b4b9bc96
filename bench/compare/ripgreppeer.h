// ripgrep over one file that holds a page per line (line n + 1 is page n),
// read from the page cache. Timed: the count of matching lines (-c). The
// default regex engine answers keywords without a gap; a "*" gap of 300
// characters goes to PCRE2. The check lists every place with its line
// (PCRE2, the keyword's later terms in a look-ahead, so that overlapping
// places count as the engine counts them).
#ifndef CODEXA_BENCH_COMPARE_RIPGREPPEER_H_
#define CODEXA_BENCH_COMPARE_RIPGREPPEER_H_

#include <filesystem>

#include "bench/compare/peer.h"

namespace compare {

class RipgrepPeer : public Peer {
 public:
  explicit RipgrepPeer(std::filesystem::path file) : m_strFile(std::move(file)) {}
  std::string Name() const override { return "ripgrep"; }
  // Writes the page file.
  bool Build(const std::vector<std::string>& pages, std::string& error) override;
  uint64_t IndexBytes() const override;
  std::string Expression(const Query& query) const override;
  Summary Search(const Query& query) override;
  std::vector<PageHits> Check(const Query& query) override;

 private:
  std::vector<std::string> CountArguments(const Query& query) const;
  std::filesystem::path m_strFile;
};

// Runs a program with `arguments` (the first is the program) and returns
// what it wrote to its standard output; false when it could not run or
// ended with an exit status above `worstStatus`.
bool RunProgram(const std::vector<std::string>& arguments, std::string& output, int worstStatus = 0);

}  // namespace compare

#endif  // CODEXA_BENCH_COMPARE_RIPGREPPEER_H_
