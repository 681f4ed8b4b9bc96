#include "panel/sortlistctrl.h"

#include <QHeaderView>
#include <algorithm>

#include "panel/textsizedelegate.h"

namespace {

constexpr int kPageRole = Qt::UserRole;

// Rows compare by the number in the page column; the list only sorts when
// that header is clicked.
class CResultRow : public QTreeWidgetItem {
 public:
  CResultRow(const QStringList& texts, std::function<QString()> laterText)
      : QTreeWidgetItem(texts), m_nLaterColumn(static_cast<int>(texts.size())), m_laterText(std::move(laterText)) {}
  QVariant data(int column, int role) const override {
    if (column != m_nLaterColumn || !m_laterText || (role != Qt::DisplayRole && role != Qt::EditRole)) {
      return QTreeWidgetItem::data(column, role);
    }
    if (!m_bWorkedOut) {
      m_strLater = m_laterText();
      m_bWorkedOut = true;
    }
    return m_strLater;
  }
  bool operator<(const QTreeWidgetItem& other) const override {
    return CSortListCtrl::ReadNumber(text(CSortListCtrl::kPageColumn)) <
           CSortListCtrl::ReadNumber(other.text(CSortListCtrl::kPageColumn));
  }

 private:
  int m_nLaterColumn;
  std::function<QString()> m_laterText;
  mutable QString m_strLater;
  mutable bool m_bWorkedOut = false;
};

}  // namespace

CSortListCtrl::CSortListCtrl(QWidget* parent) : QTreeWidget(parent) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setAllColumnsShowFocus(true);
  setSortingEnabled(false);
  // The columns fit their texts at every fill.
  setItemDelegate(new CTextSizeDelegate(this));
  header()->setSectionsClickable(true);
  header()->setSortIndicatorShown(false);
  connect(header(), &QHeaderView::sectionClicked, this, &CSortListCtrl::OnHeaderClicked);
}

void CSortListCtrl::AppendRow(const QStringList& texts, uint32_t pageNumber, std::function<QString()> laterText) {
  auto* row = new CResultRow(texts, std::move(laterText));
  row->setData(0, kPageRole, QVariant::fromValue(pageNumber));
  addTopLevelItem(row);
}

uint32_t CSortListCtrl::RowPage(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->data(0, kPageRole).value<uint32_t>() : 0;
}

void CSortListCtrl::OnHeaderClicked(int column) {
  if (column != kPageColumn) return;
  sortItems(kPageColumn, Qt::AscendingOrder);
}

int64_t CSortListCtrl::ReadNumber(const QString& text) {
  // Far beyond any page count, and far from overflowing while digits go on.
  constexpr int64_t kCap = 1'000'000'000'000'000;
  int i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min(value * 10 + (text[i].unicode() - u'0'), kCap);
  }
  return negative ? -value : value;
}
