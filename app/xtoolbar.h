// CXToolBar: a tool bar drawn over a background picture, whose buttons show
// baked images in three states (normal, disabled, hot). The images come in
// strips keyed with a mask colour; before use, every mask pixel is replaced
// by the piece of background that lies behind the button on the tool bar,
// so the buttons look cut out of the background without any transparency.
//
// The items sit at fixed places so that the baking matches the screen: a
// button is image width + 7 pixels wide with its image 3 pixels in from
// the left and top, a separator is 6 pixels wide, and the first item
// starts at the tool bar's left edge, or right after the gripper when
// the tool bar sits in a main window; the background follows that start.
#ifndef CODEXA_APP_XTOOLBAR_H_
#define CODEXA_APP_XTOOLBAR_H_

#include <QImage>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>
#include <vector>

class QAction;
class QPainter;

// One item of a tool bar: a command button, or a separator (command 0).
struct ToolBarItem {
  int command = 0;
  QAction* action = nullptr;  // the button's action; none for a separator or a gap
};

// Replaces, in `strip` (images `cx` × `cy` side by side), each pixel equal
// to `mask` by the pixel of `background` behind it, or by `face` where the
// background ends. `items` are the tool bar's items in order: the first
// button's image lies 3 pixels from the background's left edge, each button
// advances by cx + 7 and each separator by 6; the image's top row lies on
// background row Hb - cy - 4 (its bottom row 4 rows above the background's
// bottom). Buttons beyond the strip's image count are skipped. Both images
// must be in Format_RGB888 or Format_RGB32; other pixels never change.
// `scale` is the pictures' device pixels per unit: at 2 (the pictures for
// 200% screens) every size and place above counts twice as many pixels.
void BlendMaskPixels(QImage& strip, const QImage& background, const std::vector<ToolBarItem>& items, QRgb mask,
                     QRgb face, int cx, int cy, int scale = 1);

// A button that paints one of three baked images and nothing else.
class CXToolButton : public QToolButton {
  Q_OBJECT
 public:
  CXToolButton(QAction* action, int cx, int cy, QWidget* parent = nullptr);
  void SetImages(const QPixmap& normal, const QPixmap& disabled, const QPixmap& hot);
  // The image the button shows in its present state.
  const QPixmap& CurrentImage() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap m_normal, m_disabled, m_hot;
};

class CXToolBar : public QToolBar {
  Q_OBJECT
 public:
  explicit CXToolBar(const QString& title, QWidget* parent = nullptr);

  // Creates the items: a button per command, a 6-pixel separator per
  // command 0. Buttons are m_cxImage + 7 by m_cyImage + 7 pixels.
  void LoadToolBar(const std::vector<ToolBarItem>& items);

  // Uses picture `path` as the background, its "@2x" form on a 200% screen
  // (panel/screenart.h). False when it cannot be loaded.
  bool SetBackgroundBitmap(const QString& path);
  // Loads the three strips of `count` images each, blends their `mask`
  // pixels with the background and gives the buttons their images, of the
  // background's density (its "@2x" forms with a "@2x" background). False
  // (and the buttons unchanged) when a strip cannot be loaded or count is 0.
  bool SetImageLists(int count, QRgb mask, const QString& normal, const QString& disabled, const QString& hot);

  // The index of the first item with `command`, or -1.
  int CommandToIndex(int command) const;
  // Turns item `index` into a gap `width` pixels wide that holds `child`
  // centred. Returns the gap.
  QWidget* SetGap(int index, int width, QWidget* child);

  const std::vector<ToolBarItem>& Items() const { return m_items; }
  QWidget* ItemWidget(int index) const { return m_widgets.at(index); }
  const QImage& Background() const { return m_background; }

  int m_cxImage = 24;
  int m_cyImage = 24;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintGripper(QPainter& painter, const QRect& handle) const;

  std::vector<ToolBarItem> m_items;
  std::vector<QWidget*> m_widgets;  // parallel to m_items
  std::vector<QAction*> m_itemActions;  // the tool bar's own action per item
  QImage m_background;
  QPixmap m_pixBackground;
};

#endif  // CODEXA_APP_XTOOLBAR_H_
