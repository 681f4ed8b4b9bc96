// The reader: one main window on the corpus in the program folder.
#include "app/codexa.h"
#include "app/qttranslations.h"
#include "app/signalquit.h"

int main(int argc, char** argv) {
  CCodexaApp app(argc, argv);
  // A session ending or a terminal closing ends the reader as its window's
  // close does: through the exit path below.
  CSignalQuitter quitter;
  // Without Qt's catalogues its dialogs would speak English; a missing
  // catalogue leaves them so, nothing worse.
  InstallQtJapanese();
  if (!app.InitInstance()) return 1;
  const int result = quitter.quitAsked() ? 0 : app.exec();
  app.ExitInstance();
  StartEndProgram(QCoreApplication::applicationDirPath());
  return result;
}
