// CXSliderCtrl: the tool bar's page slider, painted over a background
// picture. It reports a move only when the move ends (the thumb released,
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

  // The control's background repeats picture `path` from its own origin;
  // false (standard colours) when it cannot be loaded.
  bool SetBackgroundBitmap(const QString& path);
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
  bool SetBackgroundBitmap(const QString& path);
};

#endif  // CODEXA_APP_XSLIDERCTRL_H_
