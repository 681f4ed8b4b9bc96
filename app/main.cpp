// The reader: one main window on the corpus in the program folder.
#include "app/codexa.h"

int main(int argc, char** argv) {
  CCodexaApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  const int result = app.exec();
  app.ExitInstance();
  StartEndProgram(QCoreApplication::applicationDirPath());
  return result;
}
