#include "app/xtoolbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPainter>
#include <QApplication>
#include <QPointer>
#include <QProxyStyle>

#include "panel/screenart.h"

namespace {

constexpr int kFirstImageX = 3;
constexpr int kButtonPadding = 7;  // a button is its image plus this
constexpr int kSeparatorWidth = 6;
constexpr int kImageTop = 3;       // the image's top row on the tool bar
constexpr int kImageBottomLift = 4;  // rows between the image and the background's bottom
constexpr int kGripperWidth = 9;   // the handle a movable tool bar is dragged by

// Packs the items edge to edge from the tool bar's left edge, the layout the
// baked images assume.
class PackedToolBarStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    switch (metric) {
      case PM_ToolBarItemSpacing:
      case PM_ToolBarItemMargin:
      case PM_ToolBarFrameWidth:
        return 0;
      case PM_ToolBarHandleExtent:
        return kGripperWidth;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }
};

// A separator: a faint ink rule in the middle of its 6 pixels.
class SeparatorWidget : public QWidget {
 public:
  explicit SeparatorWidget(int height) { setFixedSize(kSeparatorWidth, height); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(QColor(0x6d, 0x5f, 0x4e, 90));
    painter.drawLine(2, 8, 2, height() - 9);
    painter.setPen(QColor(255, 255, 255, 120));
    painter.drawLine(3, 8, 3, height() - 9);
  }
};

bool SameColour(QRgb a, QRgb b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); }

}  // namespace

void BlendMaskPixels(QImage& strip, const QImage& background, const std::vector<ToolBarItem>& items, QRgb mask,
                     QRgb face, int cx, int cy, int scale) {
  if (background.isNull() || cx <= 0 || cy <= 0 || scale <= 0) return;
  const int width = cx * scale, height = cy * scale, lift = kImageBottomLift * scale;
  const int images = strip.width() / width;
  const int hb = background.height();
  const int wb = background.width();
  int x = kFirstImageX * scale;
  int c = 0;
  for (const ToolBarItem& item : items) {
    if (item.command == 0) {
      x += kSeparatorWidth * scale;
      continue;
    }
    for (int j = 0; c < images && j < width; ++j) {
      // k counts rows from the bottom; image and background share the
      // bottom-up walk, the image standing `lift` rows above the bottom.
      for (int k = 0; k < height && k < strip.height(); ++k) {
        const int row = strip.height() - 1 - k;
        const int column = c * width + j;
        if (!SameColour(strip.pixel(column, row), mask)) continue;
        const bool inside = k + lift < hb && x + j < wb;
        strip.setPixel(column, row, inside ? background.pixel(x + j, hb - 1 - (k + lift)) : face);
      }
    }
    x += width + kButtonPadding * scale;
    ++c;
  }
}

CXToolButton::CXToolButton(QAction* action, int cx, int cy, QWidget* parent) : QToolButton(parent) {
  setDefaultAction(action);
  setAutoRaise(true);  // repaints on entering and leaving
  setFixedSize(cx + kButtonPadding, cy + kButtonPadding);
  setFocusPolicy(Qt::NoFocus);
}

void CXToolButton::SetImages(const QPixmap& normal, const QPixmap& disabled, const QPixmap& hot) {
  m_normal = normal;
  m_disabled = disabled;
  m_hot = hot;
  update();
}

const QPixmap& CXToolButton::CurrentImage() const {
  if (!isEnabled()) return m_disabled;
  if (underMouse() || isDown()) return m_hot;
  return m_normal;
}

void CXToolButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int shift = isDown() ? 1 : 0;
  painter.drawPixmap(kFirstImageX + shift, kImageTop + shift, CurrentImage());
}

// One style for every such tool bar, kept by the application so that it
// outlives the tool bars and their children.
static QStyle* PackedStyle() {
  static QPointer<QStyle> style;
  if (!style) {
    style = new PackedToolBarStyle;
    style->setParent(qApp);
  }
  return style;
}

CXToolBar::CXToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {
  setStyle(PackedStyle());
  // Movable by its gripper between the frame's docking areas; never
  // floating, as the baked images assume the horizontal layout.
  setMovable(true);
  setFloatable(false);
  setContentsMargins(0, 0, 0, 0);
}

void CXToolBar::LoadToolBar(const std::vector<ToolBarItem>& items) {
  const int height = m_cyImage + kButtonPadding;
  for (const ToolBarItem& item : items) {
    QWidget* widget = item.command == 0 ? static_cast<QWidget*>(new SeparatorWidget(height))
                                        : new CXToolButton(item.action, m_cxImage, m_cyImage);
    if (item.command != 0 && !item.action) widget->setEnabled(false);
    m_itemActions.push_back(addWidget(widget));
    m_widgets.push_back(widget);
    m_items.push_back(item);
  }
}

bool CXToolBar::SetBackgroundBitmap(const QString& path) {
  m_pixBackground = QPixmap();
  const QImage image = LoadArtImage(path);
  if (image.isNull()) {
    m_background = QImage();
    return false;
  }
  m_background = image.convertToFormat(QImage::Format_RGB32);
  m_background.setDevicePixelRatio(image.devicePixelRatio());
  m_pixBackground = QPixmap::fromImage(m_background);
  update();
  return true;
}

bool CXToolBar::SetImageLists(int count, QRgb mask, const QString& normal, const QString& disabled,
                              const QString& hot) {
  if (count <= 0) return false;
  // The strips are baked against the background, so they take its density;
  // a strip without the background's "@2x" form would not match it.
  const int scale = m_background.isNull() ? 1 : qRound(m_background.devicePixelRatio());
  QImage strips[3] = {LoadArtImage(normal, scale), LoadArtImage(disabled, scale), LoadArtImage(hot, scale)};
  const QColor face = palette().color(QPalette::Button);
  for (QImage& strip : strips) {
    if (strip.isNull() || qRound(strip.devicePixelRatio()) != scale) return false;
    strip = strip.convertToFormat(QImage::Format_RGB32);
    BlendMaskPixels(strip, m_background, m_items, mask, face.rgb(), m_cxImage, m_cyImage, scale);
  }
  const int width = m_cxImage * scale, height = m_cyImage * scale;
  int c = 0;
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    auto* button = qobject_cast<CXToolButton*>(m_widgets[i]);
    if (!button) continue;
    if (c < count && (c + 1) * width <= strips[0].width()) {
      auto image = [&](int state) {
        QPixmap picture = QPixmap::fromImage(strips[state].copy(c * width, 0, width, height));
        picture.setDevicePixelRatio(scale);
        return picture;
      };
      button->SetImages(image(0), image(1), image(2));
    }
    ++c;
  }
  return true;
}

int CXToolBar::CommandToIndex(int command) const {
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    if (m_items[i].command == command) return static_cast<int>(i);
  }
  return -1;
}

QWidget* CXToolBar::SetGap(int index, int width, QWidget* child) {
  auto* gap = new QWidget;
  gap->setFixedSize(width, m_cyImage + kButtonPadding);
  auto* layout = new QHBoxLayout(gap);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(child);
  QAction* old = m_itemActions.at(index);
  m_itemActions[index] = insertWidget(old, gap);
  removeAction(old);
  delete m_widgets[index];
  m_widgets[index] = gap;
  m_items[index].action = nullptr;
  return gap;
}

void CXToolBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (m_background.isNull()) {
    painter.fillRect(rect(), palette().brush(QPalette::Button));
    return;
  }
  // The picture repeats from the first item's left edge, where the baking
  // of the button images put it; the gripper, when there is one, shows
  // the picture's right end before it.
  const int origin = m_widgets.empty() ? 0 : m_widgets.front()->x();
  const int period = qRound(m_pixBackground.deviceIndependentSize().width());
  painter.drawTiledPixmap(rect(), m_pixBackground, QPoint((period - origin % period) % period, 0));
  if (origin >= kGripperWidth) PaintGripper(painter, QRect(0, 0, origin, height()));
}

void CXToolBar::PaintGripper(QPainter& painter, const QRect& handle) const {
  // Two raised ridges in the separators' ink.
  for (int x : {handle.center().x() - 2, handle.center().x() + 1}) {
    painter.setPen(QColor(255, 255, 255, 150));
    painter.drawLine(x, 6, x, handle.bottom() - 6);
    painter.setPen(QColor(0x6d, 0x5f, 0x4e, 130));
    painter.drawLine(x + 1, 6, x + 1, handle.bottom() - 6);
  }
}
