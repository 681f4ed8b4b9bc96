// The search history: the last searches that ran, newest first, each with
// what it takes to run it again (keyword, mode, target, variant folding,
// scope). It is kept as text in the user's settings; text read back is not
// trusted: a line that does not read whole is left out. A scope is kept by
// its path as well as its record number: the numbers belong to one
// catalogue, and the same number is another scope in a rebuilt corpus or
// in another corpus opened since.
#ifndef CODEXA_SESSION_SEARCHHISTORY_H_
#define CODEXA_SESSION_SEARCHHISTORY_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/catalogue.h"
#include "corpus/displaycode.h"
#include "session/searchrun.h"

struct SearchRecord {
  std::u16string keyword;  // as typed
  SearchMode mode = SearchMode::kAnd;
  DisplayCode target = DisplayCode::kFullText;
  bool variants = true;
  int scopeRecord = 1;  // as the form held it, the whole corpus included
  // The scope's path in its catalogue ("經部\詩經"); empty for the whole
  // corpus and in a line of the older form, which had none.
  std::u16string scopePath;

  bool operator==(const SearchRecord&) const = default;
};

class CSearchHistory {
 public:
  static constexpr std::size_t kMaxRecords = 100;

  // Puts `record` first; an equal record further down goes, and the
  // oldest beyond kMaxRecords.
  void Add(SearchRecord record);
  const std::vector<SearchRecord>& Records() const { return m_records; }

  // One UTF-8 line per record: mode, target, variants (0 or 1), scope
  // record, scope path and keyword, separated by tabs.
  std::string Save() const;
  // Replaces the records with those of `text` that read whole, at most
  // kMaxRecords; answers how many lines were left out. A line of the
  // older form, without the scope path, reads with an empty path.
  std::size_t Load(std::string_view text);

 private:
  std::vector<SearchRecord> m_records;
};

// The record of `record`'s scope in `catalogue`: the first whose path is
// the scope path, 0 when none is; without a path, the record number kept.
int ScopeRecordIn(const SearchRecord& record, const CCatalogue& catalogue);

// Said, with the scope's path, instead of running a search whose scope
// the corpus read now lacks.
extern const char* const kHistoryScopeMissingMessage;  // "この検索の範囲は今のコーパスにありません。"

#endif  // CODEXA_SESSION_SEARCHHISTORY_H_
