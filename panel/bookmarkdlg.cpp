#include "panel/bookmarkdlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Where the row's page stands, for its tool tip.
QString Place(const Bookmark& bookmark) {
  const QString place = QStringLiteral("%1　第%2頁")
                            .arg(QString::fromStdU16String(bookmark.volumePath))
                            .arg(bookmark.fileNumber);
  if (bookmark.kind == BookmarkKind::kContentsPage) return QStringLiteral("目次の頁：") + place;
  return QStringLiteral("検索結果の頁：") + place + QStringLiteral("　キーワード：") +
         QString::fromStdU16String(bookmark.search.keyword);
}

}  // namespace

CBookmarkDlg::CBookmarkDlg(const CBookmarkList& bookmarks, QWidget* parent)
    : QDialog(parent), m_bookmarks(bookmarks) {
  setWindowTitle(QStringLiteral("しおりの整理"));
  m_pList = new QListWidget(this);
  m_pList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  m_pUp = new QPushButton(QStringLiteral("上へ(&U)"), this);
  m_pDown = new QPushButton(QStringLiteral("下へ(&D)"), this);
  m_pRename = new QPushButton(QStringLiteral("名前の変更(&R)"), this);
  m_pDelete = new QPushButton(QStringLiteral("削除(&E)"), this);
  for (QPushButton* button : {m_pUp, m_pDown, m_pRename, m_pDelete}) button->setAutoDefault(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));

  auto* side = new QVBoxLayout;
  for (QPushButton* button : {m_pUp, m_pDown, m_pRename, m_pDelete}) side->addWidget(button);
  side->addStretch();
  auto* rows = new QHBoxLayout;
  rows->addWidget(m_pList, 1);
  rows->addLayout(side);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(rows);
  whole->addWidget(buttons);
  resize(560, 360);

  connect(m_pUp, &QPushButton::clicked, this, &CBookmarkDlg::OnMoveUp);
  connect(m_pDown, &QPushButton::clicked, this, &CBookmarkDlg::OnMoveDown);
  connect(m_pRename, &QPushButton::clicked, this, &CBookmarkDlg::OnRename);
  connect(m_pDelete, &QPushButton::clicked, this, &CBookmarkDlg::OnDelete);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_pList, &QListWidget::currentRowChanged, this, &CBookmarkDlg::UpdateButtons);
  connect(m_pList, &QListWidget::itemChanged, this,
          [this](QListWidgetItem* item) { OnNameEdited(m_pList->row(item)); });
  Fill(0);
}

void CBookmarkDlg::Fill(int row) {
  const QSignalBlocker quiet(m_pList);  // filling is no edit
  m_pList->clear();
  for (const Bookmark& bookmark : m_bookmarks.Items()) {
    auto* item = new QListWidgetItem(QString::fromStdU16String(bookmark.name), m_pList);
    item->setToolTip(Place(bookmark));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
  }
  if (row >= 0 && row < m_pList->count()) m_pList->setCurrentRow(row);
  UpdateButtons();
}

int CBookmarkDlg::CurrentRow() const { return m_pList->currentRow(); }

void CBookmarkDlg::UpdateButtons() {
  const int row = CurrentRow();
  const bool chosen = row >= 0 && row < m_pList->count();
  m_pUp->setEnabled(chosen && row > 0);
  m_pDown->setEnabled(chosen && row + 1 < m_pList->count());
  m_pRename->setEnabled(chosen);
  m_pDelete->setEnabled(chosen);
}

void CBookmarkDlg::OnMoveUp() {
  const int row = CurrentRow();
  if (row > 0 && m_bookmarks.MoveUp(static_cast<std::size_t>(row))) Fill(row - 1);
}

void CBookmarkDlg::OnMoveDown() {
  const int row = CurrentRow();
  if (row >= 0 && m_bookmarks.MoveDown(static_cast<std::size_t>(row))) Fill(row + 1);
}

void CBookmarkDlg::OnRename() {
  if (QListWidgetItem* item = m_pList->currentItem()) m_pList->editItem(item);
}

void CBookmarkDlg::OnDelete() {
  const int row = CurrentRow();
  if (row < 0 || !m_bookmarks.Remove(static_cast<std::size_t>(row))) return;
  // The row below takes the selection, or the one above at the end.
  Fill(std::min(row, m_pList->count() - 2));
}

void CBookmarkDlg::OnNameEdited(int row) {
  if (row < 0) return;
  const auto index = static_cast<std::size_t>(row);
  m_bookmarks.Rename(index, m_pList->item(row)->text().toStdU16String());
  // Shows the name as kept: fitted, or the old one for a blank edit.
  const QSignalBlocker quiet(m_pList);
  m_pList->item(row)->setText(QString::fromStdU16String(m_bookmarks.Items()[index].name));
}
