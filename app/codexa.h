// CCodexaApp: the application object. It sets up the program's names and
// settings, decides whether the splash may show, creates the one main
// window and shows it maximised. After the window is gone, StartEndProgram
// starts the companion program "end" from the program folder.
#ifndef CODEXA_APP_CODEXA_H_
#define CODEXA_APP_CODEXA_H_

#include <QApplication>
#include <QString>
#include <QStringList>
#include <optional>

#include "app/framehost.h"

class CCodexaApp : public QApplication {
  Q_OBJECT
 public:
  CCodexaApp(int& argc, char** argv);
  ~CCodexaApp() override;

  // Sets the organisation, title and desktop names. Called by
  // the constructor; tests that build their own frame call it too.
  static void SetUpNames();

  // Creates the main window on the corpus of "--corpus DIR", or else the
  // one in the program folder, and shows it maximised. False when the
  // program should end (a "--corpus" without its folder).
  bool InitInstance();
  // Destroys the main window (its splitter saves the layout).
  void ExitInstance();
  CMainFrame* mainFrame() const { return m_frames.frame(); }

 private:
  CFrameHost m_frames;
};

// The folder of "--corpus DIR" or "--corpus=DIR" in `arguments` (the
// program's name first), absolute; an empty string when there is none;
// nullopt when "--corpus" has no folder after it.
std::optional<QString> CorpusArgument(const QStringList& arguments);

// The name of the program started at exit, beside the reader.
inline constexpr const char* kEndProgramName = "end";

// Starts `folder`/"end" detached with no arguments, when it is there and
// executable. Its absence or failure is silent; answers whether it started.
bool StartEndProgram(const QString& folder);

#endif  // CODEXA_APP_CODEXA_H_
