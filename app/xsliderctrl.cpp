#include "app/xsliderctrl.h"

#include <QCursor>
#include <QPixmap>
#include <QSignalBlocker>
#include <QToolTip>

namespace {

// Gives `widget` a background that repeats `path` from its own origin.
bool PaintOverPicture(QWidget* widget, QPalette::ColorRole role, const QString& path) {
  QPixmap picture(path);
  if (picture.isNull()) return false;
  QPalette palette = widget->palette();
  palette.setBrush(role, QBrush(picture));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
  return true;
}

}  // namespace

CXSliderCtrl::CXSliderCtrl(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setTickPosition(QSlider::TicksBelow);
  setFocusPolicy(Qt::StrongFocus);
  // Without tracking, a drag changes the value once, when the thumb is
  // released; clicks and keys change it at once. Either is a move's end.
  setTracking(false);
  connect(this, &QSlider::valueChanged, this, &CXSliderCtrl::MoveEnded);
  connect(this, &QSlider::sliderMoved, this, [this](int pos) {
    QToolTip::showText(QCursor::pos(), QString::number(pos), this);
  });
  SetRange(0, 0, false);
}

bool CXSliderCtrl::SetBackgroundBitmap(const QString& path) {
  return PaintOverPicture(this, backgroundRole(), path);
}

void CXSliderCtrl::SetRange(int min, int max, bool redraw) {
  const QSignalBlocker quiet(this);
  setRange(min, max);
  setTickInterval(qMax(1, (max - min) / 20));
  if (redraw) update();
}

void CXSliderCtrl::SetPos(int pos) {
  const QSignalBlocker quiet(this);
  setSliderPosition(pos);
  setValue(pos);
}

CXEdit::CXEdit(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setFrame(false);
  setAlignment(Qt::AlignCenter);
  setFocusPolicy(Qt::NoFocus);
}

bool CXEdit::SetBackgroundBitmap(const QString& path) { return PaintOverPicture(this, QPalette::Base, path); }
