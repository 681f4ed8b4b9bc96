// CSignalQuitter: ends the reader on SIGTERM, SIGINT and SIGHUP (the
// desktop session ending, the terminal closing, Ctrl+C) the way closing its
// window does, so that the layout and settings are written, the page folder
// is removed and "end" is started.
//
// A signal handler may do almost nothing, so it only writes the signal's
// number into one end of a socket pair; the other end is watched by a
// QSocketNotifier, and the event loop then quits the application, after
// which main runs its usual exit path. Once caught, each signal is set back
// to its default: should that exit path hang, a second signal ends the
// process outright.
#ifndef CODEXA_APP_SIGNALQUIT_H_
#define CODEXA_APP_SIGNALQUIT_H_

#include <QObject>

class QSocketNotifier;

class CSignalQuitter : public QObject {
 public:
  explicit CSignalQuitter(QObject* parent = nullptr);
  ~CSignalQuitter() override;

  // Whether the handlers are in place; false when the socket pair or a
  // handler could not be had (the signals then end the process as before).
  bool installed() const { return m_bInstalled; }

 private:
  void ReadSignal();

  QSocketNotifier* m_pNotifier = nullptr;
  bool m_bInstalled = false;
};

#endif  // CODEXA_APP_SIGNALQUIT_H_
