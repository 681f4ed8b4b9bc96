#include "session/searchrun.h"

#include <utility>

const char* const kNoScopeMessage = "検索範囲をまた指定していません。";
const char* const kBlankKeywordMessage = "何かキーワードを入力して検索をして下さい。";
const char* const kRefusedKeywordMessage = "キーワードに使えない文字が含まれています。";

const char* MessageOf(SearchStatus status) {
  switch (status) {
    case SearchStatus::kDone:
      return nullptr;
    case SearchStatus::kNoScope:
      return kNoScopeMessage;
    case SearchStatus::kBlankKeyword:
      return kBlankKeywordMessage;
    case SearchStatus::kRefusedKeyword:
      return kRefusedKeywordMessage;
  }
  return nullptr;
}

std::string TallyText(std::size_t pages, uint64_t hits) {
  return "全部で " + std::to_string(pages) + " 頁で、" + std::to_string(hits) + " 箇所でした。";
}

std::u16string KeywordOfText(std::u16string_view text) {
  std::u16string keyword(text);
  for (char16_t& unit : keyword) {
    if (unit == u'\u3000') unit = u' ';
  }
  return keyword;
}

bool HoldsNoKeyword(std::u16string_view keyword) { return keyword.find_first_not_of(u' ') == std::u16string::npos; }

SearchStatus CheckKeyword(std::u16string_view keyword) {
  if (HoldsNoKeyword(keyword)) return SearchStatus::kBlankKeyword;
  if (CIndex::CheckQuery(keyword) == 0) return SearchStatus::kRefusedKeyword;
  return SearchStatus::kDone;
}

SearchStatus CSearchRun::Run(CIndex& index, const ContentsNodeTag* scope) {
  m_entries = CHitList();
  if (scope == nullptr) return SearchStatus::kNoScope;
  if (const SearchStatus status = Check(); status != SearchStatus::kDone) return status;
  Evaluate(index);
  CutToScope(index, *scope);
  return SearchStatus::kDone;
}

void CSearchRun::Evaluate(CIndex& index) {
  if (m_nMode == SearchMode::kAnd) {
    index.SearchAnd(m_strKeyword, m_bVariants);
  } else {
    index.SearchOr(m_strKeyword, m_bVariants);
  }
}

void CSearchRun::CutToScope(const CIndex& index, const ContentsNodeTag& scope) {
  m_entries = CHitList(scope, index.GetPageArray(), index.GetCountArray());
}
