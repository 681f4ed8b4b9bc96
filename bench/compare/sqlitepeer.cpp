#include "bench/compare/sqlitepeer.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace compare {

namespace {

// Spellings beyond this many are not worth an OR of MATCH or LIKE terms.
constexpr size_t kMaxSpellings = 64;

std::string Quoted(const std::string& text, char quote) {
  std::string out(1, quote);
  for (const char c : text) {
    out += c;
    if (c == quote) out += quote;
  }
  return out + quote;
}

// The keyword's spellings (every choice of forms), each cut into the
// literal pieces between its gaps.
std::vector<std::vector<std::string>> SpelledPieces(const Keyword& keyword) {
  std::vector<std::vector<std::string>> spellings{{""}};
  for (size_t i = 0; i < keyword.terms.size(); ++i) {
    const bool cut = i > 0 && keyword.gaps[i - 1].max > 0;
    std::vector<std::vector<std::string>> longer;
    for (const auto& pieces : spellings) {
      for (const std::string& form : keyword.terms[i]) {
        longer.push_back(pieces);
        if (cut) longer.back().emplace_back();
        longer.back().back() += form;
      }
    }
    spellings.swap(longer);
  }
  return spellings;
}

// A piece of three or more characters goes to the trigram index through
// LIKE; the index answers shorter ones with no rows at all, so those are
// looked for with instr, which reads every row.
std::string PieceCondition(const std::string& piece) {
  if (DecodeUtf8(piece).size() >= 3) return "body LIKE " + Quoted("%" + piece + "%", '\'');
  return "instr(body, " + Quoted(piece, '\'') + ") > 0";
}

bool UsesMatch(const Keyword& keyword) {
  return keyword.Literal() && keyword.terms.size() >= 3 && !keyword.Spellings(kMaxSpellings).empty();
}

std::string MatchExpression(const Keyword& keyword) {
  std::string expression;
  for (const std::string& spelling : keyword.Spellings(kMaxSpellings)) {
    expression += (expression.empty() ? "" : " OR ") + Quoted(spelling, '"');
  }
  return expression;
}

// places(body, k): the places of keyword k in the page text.
void PlacesFunction(sqlite3_context* context, int, sqlite3_value** args) {
  const auto& keywords = *static_cast<std::vector<std::unique_ptr<Keyword>>*>(sqlite3_user_data(context));
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
  const int bytes = sqlite3_value_bytes(args[0]);
  const auto k = static_cast<size_t>(sqlite3_value_int64(args[1]));
  sqlite3_result_int64(context, text && k < keywords.size() ? CountPlaces({text, size_t(bytes)}, *keywords[k]) : 0);
}

bool Exec(sqlite3* db, const char* sql, std::string& error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  error = message ? message : "sqlite error";
  sqlite3_free(message);
  return false;
}

}  // namespace

SqlitePeer::SqlitePeer() = default;

SqlitePeer::~SqlitePeer() {
  for (auto& [label, statement] : m_statements) sqlite3_finalize(statement);
  sqlite3_close(m_pDb);
}

bool SqlitePeer::Build(const std::vector<std::string>& pages, std::string& error) {
  if (sqlite3_open(":memory:", &m_pDb) != SQLITE_OK) {
    error = "cannot open an in-memory database";
    return false;
  }
  sqlite3_create_function(m_pDb, "places", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &m_keywords, PlacesFunction, nullptr,
                          nullptr);
  if (!Exec(m_pDb, "CREATE VIRTUAL TABLE pages USING fts5(body, tokenize='trigram'); BEGIN", error)) return false;
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(m_pDb, "INSERT INTO pages(rowid, body) VALUES(?, ?)", -1, &insert, nullptr);
  for (size_t page = 0; page < pages.size(); ++page) {
    sqlite3_bind_int64(insert, 1, static_cast<int64_t>(page));
    sqlite3_bind_text(insert, 2, pages[page].data(), static_cast<int>(pages[page].size()), SQLITE_STATIC);
    if (sqlite3_step(insert) != SQLITE_DONE) {
      error = sqlite3_errmsg(m_pDb);
      sqlite3_finalize(insert);
      return false;
    }
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  // One merged b-tree per term: the fastest form of the index for queries.
  return Exec(m_pDb, "COMMIT; INSERT INTO pages(pages) VALUES('optimize')", error);
}

uint64_t SqlitePeer::IndexBytes() const {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(m_pDb, "SELECT page_count * page_size FROM pragma_page_count(), pragma_page_size()", -1,
                     &statement, nullptr);
  uint64_t bytes = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
  sqlite3_finalize(statement);
  return bytes;
}

std::string SqlitePeer::Sql(const Query& query) const {
  const size_t first = m_firstKeyword.at(&query);
  std::string sum, where;
  bool allMatch = true;
  for (const Keyword& keyword : query.keywords) allMatch = allMatch && UsesMatch(keyword);
  const char* join = query.isAnd ? " AND " : " OR ";
  std::string match;
  for (size_t k = 0; k < query.keywords.size(); ++k) {
    const Keyword& keyword = query.keywords[k];
    const std::string places = "places(body, " + std::to_string(first + k) + ")";
    sum += (k ? " + " : "") + places;
    if (allMatch) {
      match += (k ? join : "") + ("(" + MatchExpression(keyword) + ")");
      continue;
    }
    std::string spelled;
    for (const auto& pieces : SpelledPieces(keyword)) {
      std::string all;
      for (const std::string& piece : pieces) all += (all.empty() ? "" : " AND ") + PieceCondition(piece);
      spelled += (spelled.empty() ? "(" : " OR (") + all + ")";
    }
    const bool exact = keyword.Literal();
    where += (k ? join : "") + ("(" + spelled + (exact ? "" : " AND " + places + " > 0") + ")");
  }
  if (allMatch) where = "pages MATCH " + Quoted(match, '\'');
  return "SELECT rowid, " + sum + " FROM pages WHERE " + where;
}

std::string SqlitePeer::Expression(const Query& query) const {
  if (!m_firstKeyword.count(&query)) return {};
  return Sql(query);
}

sqlite3_stmt* SqlitePeer::Statement(const Query& query) {
  if (const auto found = m_statements.find(query.label); found != m_statements.end()) return found->second;
  m_firstKeyword[&query] = m_keywords.size();
  for (const Keyword& keyword : query.keywords) m_keywords.push_back(std::make_unique<Keyword>(keyword));
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(m_pDb, Sql(query).c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(m_pDb));
  }
  m_statements[query.label] = statement;
  return statement;
}

Summary SqlitePeer::Search(const Query& query) {
  sqlite3_stmt* statement = Statement(query);
  Summary summary{0, 0};
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    ++summary.pages;
    summary.hits += sqlite3_column_int64(statement, 1);
  }
  if (statement) sqlite3_reset(statement);
  return summary;
}

std::vector<PageHits> SqlitePeer::Check(const Query& query) {
  sqlite3_stmt* statement = Statement(query);
  std::vector<PageHits> result;
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    result.push_back({static_cast<uint32_t>(sqlite3_column_int64(statement, 0)), sqlite3_column_int64(statement, 1)});
  }
  if (statement) sqlite3_reset(statement);
  std::sort(result.begin(), result.end(), [](const PageHits& a, const PageHits& b) { return a.page < b.page; });
  return result;
}

}  // namespace compare
