// The search history of the keyword box: the last searches, newest first,
// in a drop-down (a completer popup showing every record, opened by the
// Down key or the arrow in the box); choosing one restores its options and
// scope and runs it. The history lives in the user's settings, so it
// outlasts the reader.
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QCompleter>
#include <QIcon>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPolygonF>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeWidget>

#include "base/unicode.h"
#include "panel/keywordbox.h"
#include "panel/leftform.h"
#include "panel/messagebox.h"

namespace {

constexpr int kRowRole = Qt::UserRole + 1;

// "明月　〔or・注釈・異体字なし・全体〕": the keyword, then how it ran.
QString Describe(const SearchRecord& record, const QString& scope) {
  return QString::fromStdU16String(record.keyword) + QStringLiteral("　〔") +
         (record.mode == SearchMode::kOr ? QStringLiteral("or") : QStringLiteral("and")) + u'・' +
         QString::fromUtf8(CLeftForm::kTargetLabels[static_cast<int>(record.target)]) +
         (record.variants ? QString() : QStringLiteral("・異体字なし")) + (scope.isEmpty() ? QString() : u'・' + scope) +
         QStringLiteral("〕");
}

// The history arrow: a chevron in the box's own text colour, the same on
// every desktop theme (a theme's "arrow down" may be a coloured disc that
// clashes with the box).
QIcon HistoryArrowIcon(const QColor& colour) {
  QIcon icon;
  for (const int size : {16, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, size / 10.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const double s = size;
    painter.drawPolyline(QPolygonF{{s * 0.28, s * 0.40}, {s * 0.50, s * 0.62}, {s * 0.72, s * 0.40}});
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

void CLeftForm::CreateHistory() {
  // Writing the settings file waits for the disk (the file is synced), far
  // longer than the search itself: it is left until the list has been
  // painted, and done at the latest when the form closes.
  m_pHistorySaver = new QTimer(this);
  m_pHistorySaver->setSingleShot(true);
  m_pHistorySaver->setInterval(0);
  connect(m_pHistorySaver, &QTimer::timeout, this, &CLeftForm::SaveHistory);
  m_pHistoryModel = new QStandardItemModel(this);
  m_pHistoryCompleter = new QCompleter(m_pHistoryModel, this);
  m_pHistoryCompleter->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  m_pHistoryCompleter->setWidget(m_pKeywordBox);
  connect(m_pHistoryCompleter, qOverload<const QModelIndex&>(&QCompleter::activated), this,
          [this](const QModelIndex& index) { RunHistory(index.data(kRowRole).toInt()); });
  // The Down key alone is hard to find: the box also carries an arrow, as
  // a combo box would.
  m_pHistoryArrow = m_pKeywordBox->addAction(HistoryArrowIcon(m_pKeywordBox->palette().color(QPalette::Text)),
                                              QLineEdit::TrailingPosition);
  m_pHistoryArrow->setToolTip(QStringLiteral("検索履歴"));
  connect(m_pHistoryArrow, &QAction::triggered, this, &CLeftForm::ShowHistory);
  m_history.Load(QSettings().value(QString::fromUtf8(kHistoryKey)).toString().toStdString());
  FillHistoryModel();
}

void CLeftForm::FillHistoryModel() {
  m_pHistoryModel->clear();
  const std::vector<SearchRecord>& records = m_history.Records();
  for (int row = 0; row < static_cast<int>(records.size()); ++row) {
    const SearchRecord& record = records[static_cast<std::size_t>(row)];
    const QString scope =
        record.scopePath.empty() ? ScopeLabelOf(record.scopeRecord) : QString::fromStdU16String(record.scopePath);
    auto* item = new QStandardItem(Describe(record, scope));
    item->setData(row, kRowRole);
    m_pHistoryModel->appendRow(item);
  }
  m_pHistoryArrow->setVisible(!records.empty());
}

void CLeftForm::RecordSearch() {
  const std::u16string scopePath =
      m_nScopeRecord == kWholeCorpusRecord ? std::u16string() : ScopeLabelOf(m_nScopeRecord).toStdU16String();
  m_history.Add(
      {m_pKeywordBox->text().toStdU16String(), m_nSearchMode, m_nDisplayCode, m_bVariant, m_nScopeRecord, scopePath});
  FillHistoryModel();
  m_pHistorySaver->start();
}

void CLeftForm::SaveHistory() {
  m_pHistorySaver->stop();
  QSettings().setValue(QString::fromUtf8(kHistoryKey), QString::fromStdString(m_history.Save()));
}

void CLeftForm::ShowHistory() {
  if (m_pHistoryModel->rowCount() > 0) m_pHistoryCompleter->complete();
}

void CLeftForm::RunHistory(int row) {
  if (row < 0 || row >= static_cast<int>(m_history.Records().size())) return;
  const SearchRecord record = m_history.Records()[static_cast<std::size_t>(row)];
  m_pKeywordBox->setText(QString::fromStdU16String(record.keyword));
  modeButton(record.mode)->setChecked(true);
  m_pVariantBox->setChecked(record.variants);
  if (record.target != m_nDisplayCode) {
    targetButton(record.target)->setChecked(true);
    SelectTarget(record.target);
  }
  // The scope is found by its path, which outlasts a rebuilt or another
  // corpus. One this corpus lacks is said rather than searched in another
  // scope than the history names; the keyword and options stay, for a
  // scope the user chooses.
  const int scope = ScopeRecordIn(record, m_catalogue);
  if (scope == kWholeCorpusRecord && m_pTree->topLevelItemCount() > 0) {
    m_pTree->setCurrentItem(m_pTree->topLevelItem(0));
  } else if (QTreeWidgetItem* item = TreeItemOfRecord(scope)) {
    m_pTree->setCurrentItem(item);
  } else if (!record.scopePath.empty()) {
    ShowWarning(std::string(kHistoryScopeMissingMessage) + "\n" + ToUtf8(record.scopePath));
    return;
  }
  OnSearch();
}
