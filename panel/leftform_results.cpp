// The result list: a hundred hit entries per list page, the pager below it,
// and the opening of a listed hit in the text view.
#include <QLabel>
#include <algorithm>
#include <QLineEdit>

#include "panel/concordancewnd.h"
#include "panel/exportdlg.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "panel/tooltipbutton.h"

void CLeftForm::FillResultPage() {
  if (m_nResultPage < 1 || m_nResultPage > m_nResultPages) return;
  m_pResultList->clear();
  UpdatePager();
  const size_t first = static_cast<size_t>(m_nResultPage - 1) * kRowsPerListPage;
  for (size_t i = first; i < first + kRowsPerListPage && i < m_hitEntries.size(); ++i) {
    const SearchNodeTag entry = m_hitEntries[i];
    // The context is read from the page only when its row is shown, with
    // the keyword and options of this result.
    m_pResultList->AppendRow({QString::fromStdU16String(entry.category), QString::fromStdU16String(entry.title),
                              QString::fromStdU16String(entry.volume), QString::number(entry.fileNumber),
                              QString::number(entry.hitCount)},
                             entry.pageNumber,
                             [this, page = entry.pageNumber, keyword = m_strKeyword, display = m_nDisplayCode,
                              variants = m_bVariant] { return FirstHitInContext(page, keyword, display, variants); });
  }
  // The labels and counts widen to fit their text, never narrower than the
  // user made them; the context column keeps its width.
  for (int column = 0; column < kContextColumn; ++column) {
    const int width = m_pResultList->columnWidth(column);
    m_pResultList->resizeColumnToContents(column);
    if (m_pResultList->columnWidth(column) < width) m_pResultList->setColumnWidth(column, width);
  }
}

QString CLeftForm::FirstHitInContext(uint32_t page, const std::u16string& keyword, DisplayCode displayCode,
                                     bool variants) {
  // Read from the page as it opens, so the column shows what the view will.
  std::vector<KwicLine> lines;
  if (!m_index.FindOccurrences(page, keyword, displayCode, variants, kListContextChars, lines) ||
      lines.empty()) {
    return QString();
  }
  return QString::fromStdString(lines.front().left + kHitOpenMark + lines.front().hit + kHitCloseMark +
                                lines.front().right);
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
  const std::size_t entry = m_hitEntries.Find(page);
  return entry == CHitList::npos ? SearchNodeTag{} : m_hitEntries[entry];
}

void CLeftForm::OpenHit(int row) {
  if (row < 0 || row >= m_pResultList->RowCount()) return;
  OpenHitPage(m_pResultList->RowPage(row));
}

bool CLeftForm::OpenHitPage(uint32_t pageNumber) {
  return OpenHitPage(pageNumber, {m_strKeyword, m_nSearchMode, m_nDisplayCode, m_bVariant}, EntryOfPage(pageNumber));
}

bool CLeftForm::OpenHitPage(uint32_t pageNumber, const HitSearch& search, SearchNodeTag entry) {
  const std::filesystem::path& target = m_bHitFileToggle ? m_strHitFile1 : m_strHitFile2;
  std::string page;
  const int anchors = m_index.RenderHit(pageNumber, page, search.keyword, search.target, search.variants);
  // An empty page is one the engine could not read (closed or damaged):
  // nothing is written and the view keeps what it shows.
  if (page.empty() || !ShowPageFile(target, page, QStringLiteral("#0000"))) return false;
  m_reading.OpenHitPage(target, anchors, std::move(entry), search);
  m_bHitFileToggle = !m_bHitFileToggle;
  emit ReadingChanged();
  return true;
}

void CLeftForm::OpenHitAt(uint32_t pageNumber, int anchor) {
  if (!OpenHitPage(pageNumber) || anchor <= 0) return;
  // Step the page's anchors on to the hit, as the next-hit command would.
  int steps = anchor;
  while (steps-- > 0 && m_reading.NextHit()) continue;
  NavigateToHit();
}

void CLeftForm::SaveResult() { SaveResultList(this, m_hitEntries.Labelled()); }

void CLeftForm::ShowConcordance() {
  auto* window = new CConcordanceWnd(*this, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}
