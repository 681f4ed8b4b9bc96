// One search run, the same for the reader's search form and codexa-search:
// the keyword read from a text, its checks, the engine's AND or OR
// evaluation with or without variant folding, the cut of the engine's
// result to a scope node, and the tally. The messages that end a run early
// and the tally's wording live here too, so both callers say the same.
//
// The run is made of steps because its callers order them differently:
// the form checks the scope before the keyword (Run does exactly that),
// while codexa-search checks the query before it opens the corpus and
// finds its scope after printing the raw result.
#ifndef CODEXA_SESSION_SEARCHRUN_H_
#define CODEXA_SESSION_SEARCHRUN_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/catalogue.h"
#include "corpus/hitlist.h"
#include "engine/index.h"

// Pages holding every keyword, or any of them.
enum class SearchMode { kAnd = 0, kOr = 1 };

// The search a hit page is rendered with: the keyword in the engine's
// spelling (CSearchRun::Keyword), the mode that found the page, the target
// whose runs are marked, and whether variant forms fold.
struct HitSearch {
  std::u16string keyword;
  SearchMode mode = SearchMode::kAnd;
  DisplayCode target = DisplayCode::kFullText;
  bool variants = true;

  bool operator==(const HitSearch&) const = default;
};

// How a run ended.
enum class SearchStatus {
  kDone,            // the engine searched and the result was cut to the scope
  kNoScope,         // there is no scope node to search in
  kBlankKeyword,    // the keyword text holds nothing but spaces
  kRefusedKeyword,  // the engine does not take the keyword (CIndex::CheckQuery)
};

// The messages of the early ends, UTF-8.
extern const char* const kNoScopeMessage;         // "検索範囲をまた指定していません。"
extern const char* const kBlankKeywordMessage;    // "何かキーワードを入力して検索をして下さい。"
extern const char* const kRefusedKeywordMessage;  // "キーワードに使えない文字が含まれています。"

// The message of `status`; null for kDone.
const char* MessageOf(SearchStatus status);

// The tally line of a result: "全部で %1 頁で、%2 箇所でした。" with the
// number of hit entries (pages of text, not list pages) and the hit total.
std::string TallyText(std::size_t pages, uint64_t hits);

// The keyword as a search reads it from typed text: every ideographic
// space (U+3000) becomes a plain space, so both separate keywords alike.
std::u16string KeywordOfText(std::u16string_view text);

// Whether `keyword` holds no keyword at all: empty or only plain spaces.
// (Not to be confused with a view showing its blank page.)
bool HoldsNoKeyword(std::u16string_view keyword);

// The keyword checks in the order both callers make them: blank, then
// refused by the engine; kDone when the keyword may be searched.
SearchStatus CheckKeyword(std::u16string_view keyword);

class CSearchRun {
 public:
  // `keyword` as KeywordOfText gives it.
  CSearchRun(std::u16string keyword, SearchMode mode, bool variants)
      : m_strKeyword(std::move(keyword)), m_nMode(mode), m_bVariants(variants) {}

  // The whole run as the search form makes it: the scope, then the
  // keyword, then Evaluate and CutToScope. Any early end leaves the index
  // untouched and the entries empty.
  SearchStatus Run(CIndex& index, const ContentsNodeTag* scope);

  // The steps. CheckKeyword as above, on this run's keyword.
  SearchStatus Check() const { return CheckKeyword(m_strKeyword); }
  // Evaluates the keyword on `index` (AND or OR, variants folded or not).
  // The engine rewrites the keyword's spaces in its own spelling; Keyword()
  // gives that spelling afterwards, the one hits are opened with.
  void Evaluate(CIndex& index);
  // Replaces the entries with the pages of `index`'s result inside `scope`,
  // in list order (CHitList), and sets the hit total. The scope's tree
  // must outlive the entries.
  void CutToScope(const CIndex& index, const ContentsNodeTag& scope);

  const std::u16string& Keyword() const { return m_strKeyword; }
  SearchMode Mode() const { return m_nMode; }
  bool Variants() const { return m_bVariants; }
  const CHitList& Entries() const { return m_entries; }
  CHitList& Entries() { return m_entries; }
  uint64_t TotalHits() const { return m_entries.TotalHits(); }
  // TallyText of the entries and the total.
  std::string Tally() const { return TallyText(m_entries.size(), TotalHits()); }

 private:
  std::u16string m_strKeyword;
  SearchMode m_nMode;
  bool m_bVariants;
  CHitList m_entries;
};

#endif  // CODEXA_SESSION_SEARCHRUN_H_
