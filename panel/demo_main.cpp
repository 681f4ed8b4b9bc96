// The left form and the text view side by side on the corpus in the
// program folder: a way to try the panel before the reader's frame exists.
#include <QApplication>

#include "panel/panelwindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Codexa panel"));
  CPanelWindow window;
  window.show();
  return app.exec();
}
