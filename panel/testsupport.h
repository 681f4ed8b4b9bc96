// Shared by the panel's GUI tests: waiting for the text view and running
// scripts in it. Warnings are recorded with CWarningRecorder (messagebox.h).
#ifndef CODEXA_PANEL_TESTSUPPORT_H_
#define CODEXA_PANEL_TESTSUPPORT_H_

#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "panel/messagebox.h"
#include "view/codexaview.h"

namespace codexa::paneltest {

// Runs `navigate` and waits until the view has loaded the page.
template <typename Navigate>
bool LoadAndWait(CCodexaView* view, Navigate navigate) {
  QSignalSpy loaded(view, &QWebEngineView::loadFinished);
  navigate();
  return loaded.wait(15000) && loaded.first().first().toBool();
}

// The result of a script run in the view's page.
inline QVariant RunScript(CCodexaView* view, const QString& script) {
  QVariant result;
  bool done = false;
  view->page()->runJavaScript(script, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  if (!QTest::qWaitFor([&] { return done; }, 10000)) return QVariant();
  return result;
}

}  // namespace codexa::paneltest

#endif  // CODEXA_PANEL_TESTSUPPORT_H_
