// CXSliderCtrl: the tool bar's page slider; it and the page label paint no
// background, so the tool bar's picture shows through them. It reports a move only when the move ends (the thumb released,
// a click on the groove, a key), never while the thumb is dragged, and the
// program's own SetRange and SetPos report nothing. Also CXEdit, the page
// label beside it.
#ifndef CODEXA_APP_XSLIDERCTRL_H_
#define CODEXA_APP_XSLIDERCTRL_H_

#include <QLineEdit>
#include <QSlider>
#include <QString>

class CXSliderCtrl : public QSlider {
  Q_OBJECT
 public:
  explicit CXSliderCtrl(QWidget* parent = nullptr);

  void SetRange(int min, int max, bool redraw);
  void SetPos(int pos);
  int GetPos() const { return value(); }

 signals:
  // The user finished moving the thumb; `pos` is the new position.
  void MoveEnded(int pos);
};

// CXEdit: the read-only one-line page label over the same picture.
class CXEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit CXEdit(QWidget* parent = nullptr);
};

#endif  // CODEXA_APP_XSLIDERCTRL_H_
