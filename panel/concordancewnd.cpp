#include "panel/concordancewnd.h"

#include <QColor>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "panel/exportdlg.h"
#include "panel/leftform.h"

CConcordanceModel::CConcordanceModel(CIndex& index, CConcordance concordance, QObject* parent)
    : QAbstractTableModel(parent), m_index(index), m_concordance(std::move(concordance)) {}

int CConcordanceModel::rowCount(const QModelIndex& parent) const {
  // A view takes an int; a larger result shows its first 2^31 - 1 rows.
  return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(m_concordance.RowCount(), INT32_MAX));
}

int CConcordanceModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant CConcordanceModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (role == Qt::TextAlignmentRole) {
    return index.column() == kLeft ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
  }
  if (role == Qt::ForegroundRole) return index.column() == kHit ? QVariant(QColor(Qt::red)) : QVariant();
  if (role != Qt::DisplayRole) return {};
  const SearchNodeTag& entry = m_concordance.Entry(row);
  switch (index.column()) {
    case kCategory: return QString::fromStdU16String(entry.category);
    case kTitle: return QString::fromStdU16String(entry.title);
    case kVolume: return QString::fromStdU16String(entry.volume);
    case kPage: return entry.fileNumber;
    default: break;
  }
  const KwicLine line = m_concordance.Line(m_index, row);
  const std::string& text = index.column() == kLeft ? line.left : index.column() == kHit ? line.hit : line.right;
  return QString::fromStdString(text);
}

QVariant CConcordanceModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kNames[kColumnCount] = {"前文脈", "用例", "後文脈", "類別", "書名", "巻", "頁"};
  return section >= 0 && section < kColumnCount ? QString::fromUtf8(kNames[section]) : QVariant();
}

void CConcordanceModel::sort(int column, Qt::SortOrder) {
  const ConcordanceOrder order = column == kLeft    ? ConcordanceOrder::kLeftContext
                                 : column == kRight ? ConcordanceOrder::kRightContext
                                                    : ConcordanceOrder::kList;
  // Reading every page of a frequent keyword takes seconds: the user sees
  // how far it is and may stop it, keeping the order shown.
  QProgressDialog progress(QStringLiteral("用例を並べ替えています…"), QStringLiteral("キャンセル"), 0, 1000,
                           qobject_cast<QWidget*>(QObject::parent()));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  // The dialog lets the table repaint while pages are read; the rows keep
  // their order until the last report, when the reset begins.
  const bool sorted = m_concordance.Sort(m_index, order, [this, &progress](std::size_t done, std::size_t total) {
    progress.setValue(total == 0 ? 1000 : static_cast<int>(done * 1000 / total));
    if (progress.wasCanceled()) return false;
    if (done == total) beginResetModel();
    return true;
  });
  if (sorted) endResetModel();
}

CConcordanceWnd::CConcordanceWnd(CLeftForm& form, QWidget* parent) : QDialog(parent), m_form(form) {
  setWindowTitle(QStringLiteral("用例一覧"));
  m_pModel = new CConcordanceModel(
      form.index(),
      CConcordance(form.HitEntries().Labelled(), form.Keyword(), form.Display(), form.Variant(), CLeftForm::kListContextChars),
      this);
  m_pTable = new QTableView(this);
  m_pTable->setModel(m_pModel);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_pTable->horizontalHeader()->setSectionsClickable(true);
  // Sorting only when a header is clicked: the rows start in list order.
  connect(m_pTable->horizontalHeader(), &QHeaderView::sectionClicked, m_pModel,
          [this](int column) { m_pModel->sort(column); });
  const int charWidth = fontMetrics().horizontalAdvance(QChar(u'國'));
  const int contextWidth = charWidth * static_cast<int>(CLeftForm::kListContextChars + 1);
  m_pTable->setColumnWidth(CConcordanceModel::kLeft, contextWidth);
  m_pTable->setColumnWidth(CConcordanceModel::kRight, contextWidth);
  connect(m_pTable, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { OpenRow(index.row()); });
  // Enter on a row opens it too. The table passes Enter on, and the dialog
  // would press its save button with it: the shortcut takes the key first.
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), m_pTable, nullptr, nullptr, Qt::WidgetShortcut);
    connect(enter, &QShortcut::activated, this, [this] { OpenRow(m_pTable->currentIndex().row()); });
  }
  // Saves the rows in the order shown; never the dialog's default button.
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* save = buttons->addButton(QStringLiteral("保存…"), QDialogButtonBox::ActionRole);
  save->setAutoDefault(false);
  connect(save, &QPushButton::clicked, this,
          [this] { SaveConcordance(this, m_form.index(), m_pModel->MutableConcordance()); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pTable);
  layout->addWidget(buttons);
  FitColumns();
}

void CConcordanceWnd::FitColumns() {
  // Where an occurrence stands is read beside it: the label columns take
  // their texts' width (from the first rows, which never read a page), and
  // the window opens wide enough for every column, as far as the screen
  // allows, instead of cutting the volume and hiding the page.
  for (const int column : {CConcordanceModel::kCategory, CConcordanceModel::kTitle, CConcordanceModel::kVolume,
                           CConcordanceModel::kPage}) {
    m_pTable->resizeColumnToContents(column);
  }
  int width = m_pTable->verticalHeader()->sizeHint().width() + 2 * m_pTable->frameWidth() +
              m_pTable->verticalScrollBar()->sizeHint().width() + layout()->contentsMargins().left() +
              layout()->contentsMargins().right();
  for (int column = 0; column < CConcordanceModel::kColumnCount; ++column) width += m_pTable->columnWidth(column);
  resize(std::min(width, screen()->availableGeometry().width()), 500);
}

void CConcordanceWnd::OpenRow(int row) {
  if (row < 0 || row >= m_pModel->rowCount()) return;
  CConcordance& concordance = m_pModel->MutableConcordance();
  const auto at = static_cast<std::size_t>(row);
  m_form.OpenHitAt(concordance.Entry(at).pageNumber, concordance.Line(m_form.index(), at).anchor);
}
