#include "panel/tooltipbutton.h"

#include <QPainter>

CToolTipButton::CToolTipButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void CToolTipButton::SetTipText(const QString& text, bool activate) {
  if (text.isNull()) return;
  m_strTip = text;
  ActivateTip(activate);
}

void CToolTipButton::ActivateTip(bool activate) {
  m_bTipActive = activate;
  setToolTip(activate ? m_strTip : QString());
}

CToolTipResourceButton::CToolTipResourceButton(const QString& text, QWidget* parent)
    : CToolTipButton(text, parent) {
  setAttribute(Qt::WA_Hover);
}

bool CToolTipResourceButton::LoadStrip(const QString& path) {
  QPixmap strip(path);
  if (strip.isNull() || strip.width() < 4) return false;
  m_bitmap = strip;
  m_cxFace = strip.width() / 4;
  m_cyFace = strip.height();
  resize(m_cxFace, m_cyFace);
  update();
  return true;
}

CToolTipResourceButton::Face CToolTipResourceButton::CurrentFace() const {
  if (!isEnabled()) return kDisabled;
  if (isDown()) return kPressed;
  if (m_bMouseOver) return kHot;
  return kNormal;
}

void CToolTipResourceButton::paintEvent(QPaintEvent* event) {
  if (m_bitmap.isNull()) {
    CToolTipButton::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, m_bitmap, CurrentFace() * m_cxFace, 0, m_cxFace, m_cyFace);
}

void CToolTipResourceButton::enterEvent(QEnterEvent* event) {
  m_bMouseOver = true;
  update();
  CToolTipButton::enterEvent(event);
}

void CToolTipResourceButton::leaveEvent(QEvent* event) {
  m_bMouseOver = false;
  update();
  CToolTipButton::leaveEvent(event);
}

QSize CToolTipResourceButton::sizeHint() const {
  if (m_bitmap.isNull()) return CToolTipButton::sizeHint();
  return QSize(m_cxFace, m_cyFace);
}
