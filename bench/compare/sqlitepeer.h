// SQLite with an FTS5 table over the page texts and the trigram tokenizer,
// held in memory, queried through prepared statements.
//
// A keyword that is a plain phrase of three or more characters goes to the
// trigram index with MATCH (its variant spellings joined by OR). Otherwise
// each literal piece of the keyword (between its gaps) of three or more
// characters is asked with LIKE, which the trigram index serves; shorter
// pieces, for which the index answers no rows at all, with instr, which
// reads every row. Neither can say "exactly one character, but no run
// separator" or "at most 300 characters", so keywords with "?" or "*" also
// ask the function places(), which counts a keyword's places in a page; it
// gives every row's hit count as well.
#ifndef CODEXA_BENCH_COMPARE_SQLITEPEER_H_
#define CODEXA_BENCH_COMPARE_SQLITEPEER_H_

#include <map>
#include <memory>

#include "bench/compare/peer.h"

struct sqlite3;
struct sqlite3_stmt;

namespace compare {

class SqlitePeer : public Peer {
 public:
  SqlitePeer();
  ~SqlitePeer() override;
  std::string Name() const override { return "SQLite FTS5"; }
  bool Build(const std::vector<std::string>& pages, std::string& error) override;
  uint64_t IndexBytes() const override;
  std::string Expression(const Query& query) const override;
  Summary Search(const Query& query) override;
  std::vector<PageHits> Check(const Query& query) override;

 private:
  sqlite3_stmt* Statement(const Query& query);
  std::string Sql(const Query& query) const;
  sqlite3* m_pDb = nullptr;
  std::map<std::string, sqlite3_stmt*> m_statements;  // by query label
  // The keywords places() counts, by number; kept for the statements' life.
  std::vector<std::unique_ptr<Keyword>> m_keywords;
  std::map<const Query*, size_t> m_firstKeyword;
};

}  // namespace compare

#endif  // CODEXA_BENCH_COMPARE_SQLITEPEER_H_
