#include "app/st_splitterwnd.h"

#include <QApplication>
#include <QSettings>

ST_SplitterWnd::ST_SplitterWnd(int level, QWidget* parent) : QSplitter(parent), m_nLevel(level) {}

ST_SplitterWnd::~ST_SplitterWnd() { WriteLayout(); }

void ST_SplitterWnd::Create(QWidget* first, QWidget* second, bool vertical) {
  m_bVertical = vertical;
  setOrientation(vertical ? Qt::Horizontal : Qt::Vertical);
  addWidget(first);
  addWidget(second);
  // The first pane keeps its width when the window grows or shrinks; the
  // last one takes whatever is left.
  setStretchFactor(0, 0);
  setStretchFactor(1, 1);
  setCollapsible(0, false);
  setCollapsible(1, false);
  setSizes({kFirstPaneSize, kSecondPaneSize});
}

QWidget* ST_SplitterWnd::GetPane(int row, int column) const {
  if (row != 0) return nullptr;
  int visibleColumn = 0;
  for (int i = 0; i < count(); ++i) {
    if (i == m_nHiddenCol) continue;
    if (visibleColumn++ == column) return widget(i);
  }
  return nullptr;
}

void ST_SplitterWnd::TogglePane(int side) {
  if (m_nHiddenCol == -1) {
    ParkColumn(side);
  } else if (m_nHiddenCol == side) {
    RestoreColumn();
  }
}

void ST_SplitterWnd::ParkColumn(int column) {
  if (m_nHiddenCol != -1 || column < 0 || column >= count()) return;
  CaptureSizes();
  m_nHiddenCol = column;
  // The focus moves on to the next column, so keys keep reaching a pane.
  QWidget* parked = widget(column);
  QWidget* focus = QApplication::focusWidget();
  if (focus && (focus == parked || parked->isAncestorOf(focus))) {
    widget((column + 1) % count())->setFocus(Qt::OtherFocusReason);
  }
  parked->hide();
}

void ST_SplitterWnd::RestoreColumn() {
  const int column = m_nHiddenCol;
  if (column == -1) return;
  m_nHiddenCol = -1;
  QList<int> live = sizes();
  int total = 0;
  for (int size : live) total += size;
  widget(column)->show();
  // The column comes back with the width it had when it was hidden.
  const int restored = column == 0 ? m_nSize0 : m_nSize1;
  QList<int> wanted(count(), 0);
  wanted[column] = restored;
  wanted[1 - column] = qMax(0, total - restored - handleWidth());
  setSizes(wanted);
}

int ST_SplitterWnd::LiveSize(int pane) const { return sizes().value(pane, 0); }

int ST_SplitterWnd::LiveMinimum(int pane) const {
  const QWidget* w = widget(pane);
  if (!w) return 0;
  return m_bVertical ? w->minimumWidth() : w->minimumHeight();
}

void ST_SplitterWnd::CaptureSizes() {
  if (!m_bVertical || m_nHiddenCol != -1 || count() < 2) return;
  m_nSize0 = LiveSize(0);
  m_nMin0 = LiveMinimum(0);
  m_nSize1 = LiveSize(1);
  m_nMin1 = LiveMinimum(1);
}

void ST_SplitterWnd::WriteLayout() {
  const QString name = QStringLiteral("Panes_%1").arg(m_nLevel);
  CaptureSizes();
  if (m_nSize0 == -1) m_nSize0 = 100;
  if (m_nSize1 == -1) m_nSize1 = 100;
  const QString value = QStringLiteral("%1 %2 %3 %4").arg(m_nHiddenCol).arg(m_nSize0).arg(m_nHiddenRow).arg(m_nSize1);
  QSettings settings;
  settings.setValue(m_strSection + u'/' + name, value);
}
