// The contents tab: the tree built from the catalogue, the search scope it
// sets, and the pages of volumes shown in the text view.
#include <QIcon>
#include <QLocale>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <cstdio>

#include "corpus/hitspernode.h"
#include "view/codexaview.h"
#include "panel/leftform.h"
#include "panel/screenart.h"
#include "session/bookmarkplace.h"

namespace {

constexpr int kRecordRole = Qt::UserRole;

// Image 0 of the tree for items, image 1 when selected: the two halves of
// the tree picture.
QIcon TreeIcon() {
  QIcon icon;
  // Both densities, so the tree draws the one its screen needs.
  for (int ratio : {1, 2}) {
    const QImage strip = LoadArtImage(QStringLiteral(":/panel/tree.png"), ratio);
    if (qRound(strip.devicePixelRatio()) != ratio) continue;
    const int side = 20 * ratio;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Selected}) {
      QPixmap face = QPixmap::fromImage(strip.copy(mode == QIcon::Normal ? 0 : side, 0, side, side));
      face.setDevicePixelRatio(ratio);
      icon.addPixmap(face, mode);
    }
  }
  return icon;
}

}  // namespace

void CLeftForm::BuildTree() {
  const QIcon icon = TreeIcon();
  m_treeItemOfRecord.assign(m_catalogue.NodeCount(), nullptr);
  const ContentsNodeTag& root = m_catalogue.Root();
  if (root.children.empty()) return;
  // The whole corpus heads the tree: an item of its own, not a record, so
  // the catalogue and its record numbers stay as they are.
  auto* whole = new QTreeWidgetItem(m_pTree);
  whole->setText(0, QString::fromUtf8(kWholeCorpusName));
  whole->setIcon(0, icon);
  whole->setData(0, kRecordRole, kWholeCorpusRecord);
  whole->setForeground(kCountColumn, QColor(Qt::gray));
  // Walk the node tree in pre-order: records without a parent have no node
  // and so no item.
  std::vector<std::pair<const ContentsNodeTag*, QTreeWidgetItem*>> pending;
  for (auto it = root.children.rbegin(); it != root.children.rend(); ++it) pending.emplace_back(it->get(), whole);
  while (!pending.empty()) {
    auto [node, parentItem] = pending.back();
    pending.pop_back();
    auto* item = new QTreeWidgetItem(parentItem);
    item->setText(0, QString::fromStdU16String(node->name));
    item->setIcon(0, icon);
    item->setData(0, kRecordRole, node->record);
    item->setForeground(kCountColumn, QColor(Qt::gray));
    if (node->record > 0 && node->record < static_cast<int>(m_treeItemOfRecord.size())) {
      m_treeItemOfRecord[node->record] = item;
    }
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) pending.emplace_back(it->get(), item);
  }
  whole->setExpanded(true);
}

void CLeftForm::ShowHitCounts() {
  const std::vector<uint32_t> counts = HitPagesPerRecord(m_catalogue, m_hitEntries.PagesInEngineOrder());
  const QLocale grouped(QLocale::English);
  // Each change of an item's text is a change of the tree's model, with its
  // signals: only the counts that differ from those shown are set.
  auto show = [&](QTreeWidgetItem* item, uint64_t count) {
    const QString text = count == 0 ? QString() : QStringLiteral("(%1)").arg(grouped.toString(count));
    if (item->text(kCountColumn) != text) item->setText(kCountColumn, text);
  };
  for (std::size_t record = 1; record < counts.size() && record < m_treeItemOfRecord.size(); ++record) {
    if (QTreeWidgetItem* item = m_treeItemOfRecord[record]) show(item, counts[record]);
  }
  if (m_pTree->topLevelItemCount() > 0) show(m_pTree->topLevelItem(0), m_hitEntries.size());
}

const ContentsNodeTag* CLeftForm::ScopeNode() const {
  return m_nScopeRecord == kWholeCorpusRecord ? &m_catalogue.Root() : m_catalogue.FindNodeByRecord(m_nScopeRecord);
}

QTreeWidgetItem* CLeftForm::TreeItemOfRecord(int record) const {
  if (record <= 0 || record >= static_cast<int>(m_treeItemOfRecord.size())) return nullptr;
  return m_treeItemOfRecord[record];
}

void CLeftForm::OnTreeSelectionChanged() {
  const QList<QTreeWidgetItem*> selected = m_pTree->selectedItems();
  if (selected.isEmpty()) return;
  QTreeWidgetItem* item = selected.first();
  const int record = item->data(0, kRecordRole).toInt();
  SetScope(record);
  if (item->childCount() > 0 || record == kWholeCorpusRecord) return;
  m_reading.EnterVolume(record);
  ShowRecordPage(record, 1, 1);
  emit VolumeShown(m_reading.FirstFile(), m_reading.LastFile());
  emit ReadingChanged();
}

void CLeftForm::SetScope(int record) {
  m_nScopeRecord = record;
  if (const QString label = ScopeLabelOf(record); !label.isEmpty()) m_strScopePath = label;
  m_pScopeLabel->setText(m_strScopePath);
}

QString CLeftForm::ScopeLabelOf(int record) const {
  if (record == kWholeCorpusRecord) return QString::fromUtf8(kWholeCorpusName);
  const ContentsNodeTag* node = m_catalogue.FindNodeByRecord(record);
  return node ? QString::fromStdU16String(ScopePath(*node)) : QString();
}

bool CLeftForm::ShowHitInVolume() {
  if (!m_reading.OpenHitInVolume()) return false;
  FollowReadingInTree();
  emit ReadingChanged();
  return true;
}

void CLeftForm::FollowReadingInTree() {
  QTreeWidgetItem* item = TreeItemOfRecord(m_reading.CurRecord());
  if (!item) return;
  // The selection's own handling would show the volume's first page.
  const QSignalBlocker quiet(m_pTree);
  m_pTree->setCurrentItem(item);
  m_pTree->scrollToItem(item);
  m_pTree->viewport()->update();
  SetScope(m_reading.CurRecord());
}

bool CLeftForm::ShowVolumePage(int fileNumber) {
  if (!ShowRecordPage(m_reading.CurRecord(), 0, fileNumber)) return false;
  m_reading.SetPage(fileNumber);
  emit ReadingChanged();
  return true;
}

void CLeftForm::ShowVolume(int record) {
  m_reading.EnterVolume(record);
  ShowRecordPage(record, 1, 1);
  emit VolumeShown(m_reading.FirstFile(), m_reading.LastFile());
  // The tree follows to the item of the volume now shown; its selection
  // handling shows the page once more and makes the volume the scope.
  if (QTreeWidgetItem* item = TreeItemOfRecord(record)) m_pTree->setCurrentItem(item);
  emit ReadingChanged();
}

void CLeftForm::ShowPrevHit() {
  if (!m_reading.PrevHit()) return;
  NavigateToHit();
}

void CLeftForm::ShowNextHit() {
  if (!m_reading.NextHit()) return;
  NavigateToHit();
}

void CLeftForm::NavigateToHit() {
  // The hit commands go back to the hit page whatever the view shows now.
  if (m_pView) {
    m_pView->Navigate2(QString::fromStdU16String(m_reading.HitFile().u16string()) +
                       QString::fromStdString(m_reading.HitFragment()));
  }
  emit ReadingChanged();
}

bool CLeftForm::ShowRecordPage(int record, int useFirstPage, int fileNumber) {
  if (useFirstPage == 1) fileNumber = m_catalogue.Record(record).curFileName;
  uint32_t page = 0;
  if (!FindRecordPage(m_catalogue, m_index, record, fileNumber, page)) return false;
  std::string bytes;
  if (!m_index.ReadPage(page, bytes)) return false;
  return ShowPageFile(m_strPageFile, bytes, QString());
}

bool CLeftForm::ShowPageFile(const std::filesystem::path& file, const std::string& bytes, const QString& fragment) {
  if (!WritePrivateFile(file, bytes)) return false;
  if (m_pView) m_pView->Navigate2(QString::fromStdU16String(file.u16string()) + fragment);
  return true;
}

QString CLeftForm::PageLabelText() const {
  return QString::fromStdString(m_reading.PageLabel(m_index.GetPageCount()));
}
