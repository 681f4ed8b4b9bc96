// Push buttons that carry their own tool tip, and the pager's bitmap buttons
// whose faces are cut from a strip of four images.
#ifndef CODEXA_PANEL_TOOLTIPBUTTON_H_
#define CODEXA_PANEL_TOOLTIPBUTTON_H_

#include <QPixmap>
#include <QPushButton>
#include <QString>

class CToolTipButton : public QPushButton {
  Q_OBJECT
 public:
  explicit CToolTipButton(const QString& text, QWidget* parent = nullptr);

  // Sets the tip's text (a null text changes nothing) and switches the tip
  // on or off. The button has one tip; a second call replaces its text.
  void SetTipText(const QString& text, bool activate);
  QString TipText() const { return m_strTip; }
  bool TipActive() const { return m_bTipActive; }
  // Switches the existing tip on or off without changing its text.
  void ActivateTip(bool activate);

 private:
  QString m_strTip;
  bool m_bTipActive = false;
};

// The strip holds four faces of equal width, left to right: normal,
// pressed, hot (the mouse rests on the button) and disabled.
class CToolTipResourceButton : public CToolTipButton {
  Q_OBJECT
 public:
  enum Face { kNormal = 0, kPressed = 1, kHot = 2, kDisabled = 3 };

  explicit CToolTipResourceButton(const QString& text, QWidget* parent = nullptr);

  // Loads the strip and resizes the button to one face, without moving it.
  // False (and the button unchanged) when the picture cannot be loaded or
  // is narrower than four pixels.
  bool LoadStrip(const QString& path);

  // The face the button draws in its present state.
  Face CurrentFace() const;
  int FaceWidth() const { return m_cxFace; }
  int FaceHeight() const { return m_cyFace; }
  bool IsMouseOver() const { return m_bMouseOver; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  QSize sizeHint() const override;

 private:
  QPixmap m_bitmap;
  int m_cxFace = 0;
  int m_cyFace = 0;
  bool m_bMouseOver = false;
};

#endif  // CODEXA_PANEL_TOOLTIPBUTTON_H_
