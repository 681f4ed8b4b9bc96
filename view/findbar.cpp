#include "view/findbar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QShortcut>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

QToolButton* AddButton(QWidget* bar, QLayout* layout, const QString& text, const QString& tip) {
  auto* button = new QToolButton(bar);
  button->setText(text);
  button->setToolTip(tip);
  button->setAutoRaise(true);
  layout->addWidget(button);
  return button;
}

}  // namespace

CFindBar::CFindBar(QWebEngineView* view) : QFrame(view), m_pView(view) {
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 3, 3, 3);
  layout->setSpacing(3);
  layout->addWidget(new QLabel(QStringLiteral("頁内検索："), this));
  m_pField = new QLineEdit(this);
  m_pField->setPlaceholderText(QStringLiteral("探す文字"));
  m_pField->setMinimumWidth(160);
  m_pField->installEventFilter(this);
  layout->addWidget(m_pField);
  m_pCount = new QLabel(this);
  m_pCount->setMinimumWidth(80);
  layout->addWidget(m_pCount);
  m_pPrevious = AddButton(this, layout, QStringLiteral("前へ"), QStringLiteral("前の一致 (Shift+Enter)"));
  m_pNext = AddButton(this, layout, QStringLiteral("次へ"), QStringLiteral("次の一致 (Enter)"));
  QToolButton* close = AddButton(this, layout, QStringLiteral("×"), QStringLiteral("閉じる (Esc)"));
  connect(m_pField, &QLineEdit::textChanged, this, [this] { Find(false); });
  connect(m_pPrevious, &QToolButton::clicked, this, &CFindBar::FindPrevious);
  connect(m_pNext, &QToolButton::clicked, this, &CFindBar::FindNext);
  connect(close, &QToolButton::clicked, this, &CFindBar::Close);
  // Esc closes the bar from the page too, while the bar is open.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), view, this, [this] {
    if (isVisible()) Close();
  });
  escape->setContext(Qt::WidgetWithChildrenShortcut);
  hide();
}

void CFindBar::Place() {
  adjustSize();
  move(std::max(0, m_pView->width() - width() - 20), 0);
  raise();
}

void CFindBar::Open() {
  Place();
  show();
  m_pField->setFocus(Qt::ShortcutFocusReason);
  m_pField->selectAll();
  if (!m_pField->text().isEmpty()) Find(false);
}

void CFindBar::Close() {
  hide();
  m_pCount->clear();
  m_pView->page()->findText(QString());  // clears the marking
  m_pView->setFocus(Qt::OtherFocusReason);
}

void CFindBar::Find(bool backward) {
  const QString text = m_pField->text();
  if (text.isEmpty()) {
    m_pView->page()->findText(QString());
    m_pCount->clear();
    return;
  }
  const QWebEnginePage::FindFlags flags = backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
  m_pView->page()->findText(text, flags, [bar = QPointer<CFindBar>(this)](const QWebEngineFindTextResult& result) {
    if (bar) bar->ShowResult(result);
  });
}

void CFindBar::ShowResult(const QWebEngineFindTextResult& result) {
  if (result.numberOfMatches() == 0) {
    m_pCount->setText(QStringLiteral("見つかりません"));
  } else {
    m_pCount->setText(QStringLiteral("%1/%2 件").arg(result.activeMatch()).arg(result.numberOfMatches()));
  }
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_pField || event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Escape) {
    Close();
    return true;
  }
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    Find(key->modifiers() & Qt::ShiftModifier);
    return true;
  }
  return false;
}
