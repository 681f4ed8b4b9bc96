// The search history: the last searches that ran, newest first, each with
// what it takes to run it again (keyword, mode, target, variant folding,
// scope). It is kept as text in the user's settings; text read back is not
// trusted: a line that does not read whole is left out.
#ifndef CODEXA_SESSION_SEARCHHISTORY_H_
#define CODEXA_SESSION_SEARCHHISTORY_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/displaycode.h"
#include "session/searchrun.h"

struct SearchRecord {
  std::u16string keyword;  // as typed
  SearchMode mode = SearchMode::kAnd;
  DisplayCode target = DisplayCode::kFullText;
  bool variants = true;
  int scopeRecord = 1;  // as the form holds it, the whole corpus included

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
  // record and keyword, separated by tabs.
  std::string Save() const;
  // Replaces the records with those of `text` that read whole, at most
  // kMaxRecords; answers how many lines were left out.
  std::size_t Load(std::string_view text);

 private:
  std::vector<SearchRecord> m_records;
};

#endif  // CODEXA_SESSION_SEARCHHISTORY_H_
