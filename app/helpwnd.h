// CHelpWnd: the reader's own window for the help page. The desktop may have
// no program for HTML files, so help is shown in a web view of the reader
// itself; links in the page, also those asking for a new window, open in
// this same window.
#ifndef CODEXA_APP_HELPWND_H_
#define CODEXA_APP_HELPWND_H_

#include <QWebEngineView>

class CHelpWnd : public QWebEngineView {
  Q_OBJECT
 public:
  // A window of its own, owned by `owner`, closed with it.
  explicit CHelpWnd(QWidget* owner);

  // Loads `url` and brings the window to the front.
  void ShowPage(const QUrl& url);
};

#endif  // CODEXA_APP_HELPWND_H_
