// The search run of the form: the keyword box and the options in, the
// tally and list page 1 out. The run itself (session/searchrun.h) is the
// one codexa-search makes.
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "panel/keywordbox.h"
#include "panel/leftform.h"
#include "panel/messagebox.h"
#include "panel/sortlistctrl.h"

void CLeftForm::OnSearch() {
  m_reading.RestartHits();
  emit ReadingChanged();
  // Every early end leaves the keyword, the options and the listed result
  // as they were, so the rows listed are still opened with the keyword that
  // found them.
  CSearchRun run(m_pKeywordBox->ReadKeyword(),
                 modeButton(SearchMode::kOr)->isChecked() ? SearchMode::kOr : SearchMode::kAnd,
                 m_pVariantBox->isChecked());
  const SearchStatus status = run.Run(m_index, ScopeNode());
  if (status != SearchStatus::kDone) {
    ShowWarning(MessageOf(status));
    return;
  }
  m_nSearchMode = run.Mode();
  m_bVariant = run.Variants();
  m_strKeyword = run.Keyword();
  m_pResultList->clear();
  m_pTallyLabel->setText(QString::fromStdString(run.Tally()));
  m_hitEntries = std::move(run.Entries());
  ShowHitCounts();
  RecordSearch();
  m_nResultPages = static_cast<int>((m_hitEntries.size() + kRowsPerListPage - 1) / kRowsPerListPage);
  if (m_nResultPages == 0) {
    m_nResultPage = 0;
    ShowPager(false);
  } else {
    m_nResultPage = 1;
    FillResultPage();
  }
  LayoutControls();
}
