#include "app/splash.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "panel/screenart.h"

bool CSplashWnd::s_bSplashEnabled = false;
CSplashWnd* CSplashWnd::s_pSplashWnd = nullptr;

namespace {
const QColor kPaper(0xf4, 0xec, 0xd8);

bool EndsSplash(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
      return true;
    default:
      return false;
  }
}
}  // namespace

bool CSplashWnd::SuppressedBy(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (!argument.startsWith(u'/') && !argument.startsWith(u'-')) continue;
    const QString name = argument.mid(1);
    if (name.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0) {
      return true;
    }
  }
  return false;
}

void CSplashWnd::ShowSplash(QWidget* parent, const QString& moviePath) {
  if (!s_bSplashEnabled || s_pSplashWnd) return;
  int ratio = 1;
  auto movie = std::make_unique<QMovie>(ArtPathFor(moviePath, ScreenArtRatio(), ratio));
  if (!movie->isValid()) return;  // no movie or no player: no splash at all
  s_pSplashWnd = new CSplashWnd(parent, std::move(movie), ratio);
}

CSplashWnd::CSplashWnd(QWidget* parent, std::unique_ptr<QMovie> movie, int ratio)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_movie(std::move(movie)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setCursor(Qt::ArrowCursor);
  m_pPicture = new QLabel(this);
  m_pPicture->setAlignment(Qt::AlignCenter);
  // Each frame is shown as a picture of `ratio` device pixels per unit, so
  // the movie for 200% screens stands at the size of the plain one, sharp.
  connect(m_movie.get(), &QMovie::frameChanged, m_pPicture, [this, ratio] {
    QPixmap frame = m_movie->currentPixmap();
    frame.setDevicePixelRatio(ratio);
    m_pPicture->setPixmap(frame);
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_pPicture);
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());

  m_timer.setSingleShot(true);
  connect(&m_timer, &QTimer::timeout, this, &CSplashWnd::HideSplash);
  m_timer.start(kTimeoutMs);
  qApp->installEventFilter(this);
  m_movie->start();
  showFullScreen();
  repaint();
}

CSplashWnd::~CSplashWnd() {
  qApp->removeEventFilter(this);
  if (s_pSplashWnd == this) s_pSplashWnd = nullptr;
}

void CSplashWnd::HideSplash() {
  m_timer.stop();
  m_movie->stop();
  qApp->removeEventFilter(this);
  if (s_pSplashWnd == this) s_pSplashWnd = nullptr;
  QWidget* owner = parentWidget();
  close();  // deletes the window
  if (owner) owner->update();
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
  if (s_pSplashWnd == this && event->type() == QEvent::ShortcutOverride) {
    // Claiming the key keeps it from becoming a shortcut; it then arrives
    // as a key press, which ends the splash below.
    event->accept();
    return true;
  }
  if (s_pSplashWnd != this || !watched->isWidgetType() || !EndsSplash(event->type())) {
    return QWidget::eventFilter(watched, event);
  }
  // The key or click that ends the splash has no other effect.
  event->accept();
  HideSplash();
  return true;
}

void CSplashWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kPaper);
}
