// CSplashWnd: the opening movie, full screen over the main window until the
// first key press or click (which it consumes) or for at most 50 seconds.
// The movie is "splash.gif" in the program folder ("splash@2x.gif", drawn
// at twice the size, on a 200% screen); without it, or when it cannot be
// played, there is no splash at all: no window and no timer.
#ifndef CODEXA_APP_SPLASH_H_
#define CODEXA_APP_SPLASH_H_

#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>

class QLabel;
class QMovie;

class CSplashWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kTimeoutMs = 50000;
  static constexpr const char* kMovieName = "splash.gif";

  // Whether a splash may be shown; set once at start-up.
  static void EnableSplash(bool enable) { s_bSplashEnabled = enable; }
  static bool SplashEnabled() { return s_bSplashEnabled; }
  // Shows the splash playing `moviePath` over `parent` when enabled, none
  // is shown yet and the movie can be played.
  static void ShowSplash(QWidget* parent, const QString& moviePath);
  // The splash on screen, or null.
  static CSplashWnd* Current() { return s_pSplashWnd; }
  // Whether the command line asks for an embedded or automation start
  // ("Embedding" or "Automation" after "/" or "-"), which shows no splash.
  static bool SuppressedBy(const QStringList& arguments);

  ~CSplashWnd() override;
  void HideSplash();
  const QTimer& timer() const { return m_timer; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // `ratio`: the movie's device pixels per unit.
  CSplashWnd(QWidget* parent, std::unique_ptr<QMovie> movie, int ratio);

  static bool s_bSplashEnabled;
  static CSplashWnd* s_pSplashWnd;

  std::unique_ptr<QMovie> m_movie;
  QLabel* m_pPicture = nullptr;
  QTimer m_timer;
};

#endif  // CODEXA_APP_SPLASH_H_
