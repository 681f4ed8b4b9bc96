#include "app/signalquit.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <csignal>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// How often a quitting reader looks for a message box to close.
constexpr int kModalCloseIntervalMs = 50;

// The socket pair: [0] written by the handler, [1] read by the notifier.
// One reader has one quitter; the handler can reach only globals.
int g_fds[2] = {-1, -1};

void OnSignal(int number) {
  const int saved = errno;
  // Back to the default: a second signal ends a reader whose exit hangs.
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  ::sigemptyset(&plain.sa_mask);
  ::sigaction(number, &plain, nullptr);
  const unsigned char byte = static_cast<unsigned char>(number);
  // Non-blocking: with the pair full, the quit is already on its way.
  [[maybe_unused]] const ssize_t ignored = ::write(g_fds[0], &byte, 1);
  errno = saved;
}

void CloseModalWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
}

}  // namespace

CSignalQuitter::CSignalQuitter(QObject* parent) : QObject(parent) {
  if (g_fds[0] >= 0) return;  // one quitter per process
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_fds) != 0) {
    g_fds[0] = g_fds[1] = -1;
    return;
  }
  m_pNotifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
  connect(m_pNotifier, &QSocketNotifier::activated, this, [this] { ReadSignal(); });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  ::sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  m_bInstalled = true;
  for (int number : kSignals) m_bInstalled = ::sigaction(number, &action, nullptr) == 0 && m_bInstalled;
}

CSignalQuitter::~CSignalQuitter() {
  if (m_pNotifier == nullptr) return;
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  ::sigemptyset(&plain.sa_mask);
  for (int number : kSignals) ::sigaction(number, &plain, nullptr);
  delete m_pNotifier;
  ::close(g_fds[0]);
  ::close(g_fds[1]);
  g_fds[0] = g_fds[1] = -1;
}

void CSignalQuitter::ReadSignal() {
  unsigned char byte = 0;
  bool any = false;
  while (::read(g_fds[1], &byte, 1) == 1) any = true;
  if (!any) return;
  // Before the main loop runs, quit() does nothing: the loop running is a
  // start-up message box's, and more may follow it. With nobody there to
  // answer them, each is closed as it comes, and main then does not start
  // the main loop.
  if (m_pModalCloser == nullptr) {
    m_pModalCloser = new QTimer(this);
    connect(m_pModalCloser, &QTimer::timeout, this, &CloseModalWindow);
    m_pModalCloser->start(kModalCloseIntervalMs);
  }
  CloseModalWindow();
  // In the main loop this leaves every running event loop, a modal
  // dialog's included, so main's exit path runs as after the window's close.
  QCoreApplication::quit();
}
