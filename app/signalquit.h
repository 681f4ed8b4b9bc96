// CSignalQuitter: ends the reader on SIGTERM, SIGINT and SIGHUP (the
// desktop session ending, the terminal closing, Ctrl+C) the way closing its
// window does, so that the layout and settings are written, the page folder
// is removed and "end" is started.
//
// A signal handler may do almost nothing, so it only writes the signal's
// number into one end of a socket pair; the other end is watched by a
// QSocketNotifier, and the event loop then quits the application, after
// which main runs its usual exit path. A signal that comes while the start
// waits on a message box (before the main loop runs, where quitting does
// nothing) closes that box and any that follow, and main then skips the
// main loop. Once caught, each signal is set back to its default: should
// that exit path hang, a second signal ends the process outright.
#ifndef CODEXA_APP_SIGNALQUIT_H_
#define CODEXA_APP_SIGNALQUIT_H_

#include <QObject>

class QSocketNotifier;
class QTimer;

class CSignalQuitter : public QObject {
 public:
  explicit CSignalQuitter(QObject* parent = nullptr);
  ~CSignalQuitter() override;

  // Whether the handlers are in place; false when the socket pair or a
  // handler could not be had (the signals then end the process as before).
  bool installed() const { return m_bInstalled; }
  // Whether a signal has asked the reader to quit: main then does not start
  // the main loop, which nothing would end.
  bool quitAsked() const { return m_pModalCloser != nullptr; }

 private:
  void ReadSignal();

  QSocketNotifier* m_pNotifier = nullptr;
  QTimer* m_pModalCloser = nullptr;  // made by the first signal
  bool m_bInstalled = false;
};

#endif  // CODEXA_APP_SIGNALQUIT_H_
