#include "app/codexa.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

#include "app/mainfrm.h"
#include "app/splash.h"
#include "app/titles.h"

CCodexaApp::CCodexaApp(int& argc, char** argv)
    : QApplication(argc, argv), m_frames(CLeftForm::Places::Default(), applicationDirPath()) {
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
  const std::optional<QString> corpus = CorpusArgument(arguments());
  if (!corpus) {
    std::fputs("codexa: --corpus needs a folder: codexa [--corpus DIR]\n", stderr);
    return false;
  }
  m_frames.Start(std::filesystem::path((corpus->isEmpty() ? applicationDirPath() : *corpus).toStdU16String()));
  return true;
}

void CCodexaApp::ExitInstance() { m_frames.Close(); }

std::optional<QString> CorpusArgument(const QStringList& arguments) {
  static const QString kOption = QStringLiteral("--corpus");
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    QString folder;
    if (arguments[i] == kOption) {
      if (i + 1 == arguments.size() || arguments[i + 1].isEmpty()) return std::nullopt;
      folder = arguments[i + 1];
    } else if (arguments[i].startsWith(kOption + u'=')) {
      folder = arguments[i].mid(kOption.size() + 1);
      if (folder.isEmpty()) return std::nullopt;
    } else {
      continue;
    }
    return QFileInfo(folder).absoluteFilePath();
  }
  return QString();
}

bool StartEndProgram(const QString& folder) {
  const QString program = QDir(folder).filePath(QString::fromUtf8(kEndProgramName));
  const QFileInfo info(program);
  if (!info.isFile() || !info.isExecutable()) return false;
  return QProcess::startDetached(program, {}, QString());
}
