#include "panel/tooltipbutton.h"

#include <QPainter>

#include "panel/screenart.h"

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
  const QPixmap strip = LoadArtPixmap(path);
  const QSize size = strip.deviceIndependentSize().toSize();
  if (strip.isNull() || size.width() < 4) return false;
  m_bitmap = strip;
  m_cxFace = size.width() / 4;
  m_cyFace = size.height();
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
  // The source is counted in the picture's own pixels, twice the units for
  // a picture of a 200% screen.
  const qreal ratio = m_bitmap.devicePixelRatio();
  painter.drawPixmap(QRectF(0, 0, m_cxFace, m_cyFace), m_bitmap,
                     QRectF(CurrentFace() * m_cxFace * ratio, 0, m_cxFace * ratio, m_cyFace * ratio));
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
