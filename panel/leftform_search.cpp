// The search run: from the keyword box to the tally and list page 1.
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "panel/keywordbox.h"
#include "panel/leftform.h"
#include "panel/messagebox.h"
#include "panel/sortlistctrl.h"

const char* const kEmptyKeywordMessage = "何かキーワードを入力して検索をして下さい。";
const char* const kRefusedKeywordMessage = "キーワードに使えない文字が含まれています。";

namespace {

bool IsBlank(const std::u16string& text) {
  return text.find_first_not_of(u" ") == std::u16string::npos;
}

}  // namespace

void CLeftForm::OnSearch() {
  m_nCurHit = 0;
  // Every early end leaves the keyword, the options and the listed result
  // as they were, so the rows listed are still opened with the keyword that
  // found them.
  std::u16string keyword = m_pKeywordBox->ReadKeyword();
  const ContentsNodeTag* scope = m_catalogue.FindNodeByRecord(m_nScopeRecord);
  if (!scope) {
    ShowWarning(kNoScopeMessage);
    return;
  }
  if (IsBlank(keyword)) {
    ShowWarning(kEmptyKeywordMessage);
    return;
  }
  if (CIndex::CheckQuery(keyword) == 0) {
    ShowWarning(kRefusedKeywordMessage);
    return;
  }
  m_nSearchMode = m_pModeButtons[1]->isChecked() ? 1 : 0;
  m_bVariant = m_pVariantBox->isChecked();
  m_strKeyword = std::move(keyword);
  if (m_nSearchMode == 0) {
    m_index.SearchAnd(m_strKeyword, m_bVariant);
  } else {
    m_index.SearchOr(m_strKeyword, m_bVariant);
  }
  m_pResultList->clear();
  const uint64_t total = ApplyScope(*scope, m_index.GetPageArray(), m_index.GetCountArray(), m_hitEntries);
  m_nResultPages = static_cast<int>((m_hitEntries.size() + kRowsPerListPage - 1) / kRowsPerListPage);
  m_pTallyLabel->setText(QStringLiteral("全部で %1 頁で、%2 箇所でした。").arg(m_hitEntries.size()).arg(total));
  if (m_nResultPages == 0) {
    m_nResultPage = 0;
    ShowPager(false);
  } else {
    m_nResultPage = 1;
    FillResultPage();
  }
  LayoutControls();
}
