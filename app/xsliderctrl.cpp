#include "app/xsliderctrl.h"

#include <QCursor>
#include <QSignalBlocker>
#include <QToolTip>

namespace {

// Lets the tool bar's picture show through `widget`: the control paints
// no background of its own, so the picture runs on without a seam.
void ShowPictureBehind(QWidget* widget, QPalette::ColorRole role) {
  QPalette palette = widget->palette();
  palette.setBrush(role, Qt::transparent);
  widget->setPalette(palette);
  widget->setAutoFillBackground(false);
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
  ShowPictureBehind(this, backgroundRole());
  SetRange(0, 0, false);
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
  ShowPictureBehind(this, QPalette::Base);
}

