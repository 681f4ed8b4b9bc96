#include "app/codexa.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "app/mainfrm.h"
#include "app/splash.h"
#include "app/titles.h"

CCodexaApp::CCodexaApp(int& argc, char** argv) : QApplication(argc, argv) {
  SetUpNames();
  CSplashWnd::EnableSplash(!CSplashWnd::SuppressedBy(arguments()));
}

CCodexaApp::~CCodexaApp() {
  ExitInstance();
}

void CCodexaApp::SetUpNames() {
  QCoreApplication::setOrganizationName(QString::fromUtf8(kProfileOrganisation));
  // Message boxes take their caption from here. No display name is set:
  // the window system would append it to every window's caption, and the
  // frame's caption is the product title alone.
  QCoreApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  QGuiApplication::setDesktopFileName(QStringLiteral("codexa"));
}

bool CCodexaApp::InitInstance() {
  m_pMainWnd = std::make_unique<CMainFrame>(CLeftForm::Places::Default());
  m_pMainWnd->showMaximized();
  // The splash was made while the frame was built, so the frame's window
  // came up after it; without a window manager honouring "stays on top"
  // the frame would now cover it.
  if (CSplashWnd* splash = CSplashWnd::Current()) splash->raise();
  m_pMainWnd->repaint();
  return true;
}

void CCodexaApp::ExitInstance() { m_pMainWnd.reset(); }

bool StartEndProgram(const QString& folder) {
  const QString program = QDir(folder).filePath(QString::fromUtf8(kEndProgramName));
  const QFileInfo info(program);
  if (!info.isFile() || !info.isExecutable()) return false;
  return QProcess::startDetached(program, {}, QString());
}
