// The result list: a hundred hit entries per list page, the pager below it,
// and the opening of a listed hit in the text view.
#include <QLabel>
#include <algorithm>
#include <QLineEdit>

#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "panel/tooltipbutton.h"

void CLeftForm::FillResultPage() {
  if (m_nResultPage < 1 || m_nResultPage > m_nResultPages) return;
  m_pResultList->clear();
  UpdatePager();
  const size_t first = static_cast<size_t>(m_nResultPage - 1) * kRowsPerListPage;
  for (size_t i = first; i < first + kRowsPerListPage && i < m_hitEntries.size(); ++i) {
    const SearchNodeTag& entry = m_hitEntries[i];
    m_pResultList->AppendRow({QString::fromStdU16String(entry.category), QString::fromStdU16String(entry.title),
                              QString::fromStdU16String(entry.volume), QString::number(entry.fileNumber)},
                             entry.pageNumber);
  }
}

void CLeftForm::UpdatePager() {
  m_pPrevButton->setEnabled(m_nResultPage > 1);
  m_pNextButton->setEnabled(m_nResultPage < m_nResultPages);
  m_pPageEdit->setEnabled(true);
  m_pPageEdit->setText(QString::number(m_nResultPage));
  m_pPageEdit->setReadOnly(m_nResultPages == 1);
  m_pPageEdit->selectAll();
  m_pPageCountLabel->setText(QStringLiteral("/%1").arg(m_nResultPages));
}

void CLeftForm::OnPrevResultPage() {
  if (m_nResultPage <= 1) return;
  --m_nResultPage;
  FillResultPage();
}

void CLeftForm::OnNextResultPage() {
  if (m_nResultPage >= m_nResultPages) return;
  ++m_nResultPage;
  FillResultPage();
}

void CLeftForm::GotoTypedPage() {
  if (m_nResultPages < 1) return;
  const int64_t typed = CSortListCtrl::ReadNumber(m_pPageEdit->text());
  if (typed <= 0 || typed > m_nResultPages) {
    m_pPageEdit->setText(QString::number(m_nResultPage));
    m_pPageEdit->selectAll();
    return;
  }
  if (typed == m_nResultPage) return;
  m_nResultPage = static_cast<int>(typed);
  FillResultPage();
}

void CLeftForm::OnResultSelectionChanged() {
  const QList<QTreeWidgetItem*> selected = m_pResultList->selectedItems();
  if (selected.isEmpty()) return;
  OpenHit(m_pResultList->indexOfTopLevelItem(selected.first()));
}

SearchNodeTag CLeftForm::EntryOfPage(uint32_t page) const {
  // The list may be sorted by any column: its rows keep only their page.
  const auto entry = std::find_if(m_hitEntries.begin(), m_hitEntries.end(),
                                  [page](const SearchNodeTag& e) { return e.pageNumber == page; });
  return entry == m_hitEntries.end() ? SearchNodeTag{} : *entry;
}

void CLeftForm::OpenHit(int row) {
  if (row < 0 || row >= m_pResultList->RowCount()) return;
  const std::filesystem::path& target = m_bHitFileToggle ? m_strHitFile1 : m_strHitFile2;
  std::string page;
  const int anchors =
      m_index.RenderHit(m_pResultList->RowPage(row), page, m_strKeyword, m_nDisplayCode, m_bVariant);
  // An empty page is one the engine could not read (closed or damaged):
  // nothing is written and the view keeps what it shows.
  if (page.empty() || !ShowPageFile(target, page, QStringLiteral("#0000"))) return;
  m_reading.OpenHitPage(target, anchors, EntryOfPage(m_pResultList->RowPage(row)));
  m_bHitFileToggle = !m_bHitFileToggle;
  emit ReadingChanged();
}
