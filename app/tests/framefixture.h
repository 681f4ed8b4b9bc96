// What the shell's window tests start from: the form's small corpus in a
// folder of the test's own, the program's names, settings in a scratch
// folder (never the user's), warnings recorded instead of shown, and the
// main frame on that corpus.
#ifndef CODEXA_APP_TESTS_FRAMEFIXTURE_H_
#define CODEXA_APP_TESTS_FRAMEFIXTURE_H_

#include <QAction>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "app/codexa.h"
#include "app/mainfrm.h"
#include "panel/messagebox.h"
#include "panel/testcorpus.h"

namespace codexa::apptest {

inline std::filesystem::path PathOf(const QString& path) { return std::filesystem::path(path.toStdString()); }

class CFrameFixture {
 protected:
  // For initTestCase: the names, the settings folder and the corpus.
  void SetUpCorpus() {
    CCodexaApp::SetUpNames();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    std::string error;
    QVERIFY2(paneltest::WriteCorpus(PathOf(m_corpusDir.path()), paneltest::FormFixture(), error), error.c_str());
  }
  CLeftForm::Places Places() const {
    return {PathOf(m_corpusDir.path()), PathOf(m_workDir.path()), PathOf(m_workDir.filePath("zemo.txt"))};
  }
  CLeftForm* form() const { return m_pFrame->GetLeftForm(); }
  void Trigger(Command command) { m_pFrame->Action(command)->trigger(); }
  // Saves the frame as it looks to CODEXA_SCREENS/`name`, when that folder
  // is given: the screenshots of a change are taken by running its tests.
  void Shoot(const QString& name) {
    const QString folder = qEnvironmentVariable("CODEXA_SCREENS");
    if (folder.isEmpty()) return;
    QTest::qWait(1500);  // let the page paint
    m_pFrame->grab().save(QDir(folder).filePath(name));
  }

  QTemporaryDir m_corpusDir;
  QTemporaryDir m_workDir;
  QTemporaryDir m_settingsDir;
  std::unique_ptr<CWarningRecorder> m_pWarnings;
  std::unique_ptr<CMainFrame> m_pFrame;
};

}  // namespace codexa::apptest

#endif  // CODEXA_APP_TESTS_FRAMEFIXTURE_H_
