// The left form and the text view side by side on the corpus in the
// program folder: a way to try the panel before the reader's frame exists.
#include <QApplication>

#include "panel/messagebox.h"
#include "panel/panelwindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Codexa panel"));
  CMessageBoxReporter reporter;
  SetReporter(&reporter);
  CPanelWindow window;
  window.show();
  const int status = app.exec();
  SetReporter(nullptr);
  return status;
}
