// The reader on damaged corpora: with each data file in turn removed,
// emptied, cut, bit-flipped or replaced by garbage, the main window starts,
// shows the fitting message at most once (exactly once where a file it
// needs is missing), and stays usable: searching, opening hits, browsing
// the contents, the page, volume and hit commands and switching targets
// neither crash nor hang, and nothing in the corpus folder is written.
#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <memory>
#include <set>

#include "app/codexa.h"
#include "app/mainfrm.h"
#include "corpus/catalogue.h"
#include "engine/index.h"
#include "engine/indexformat.h"
#include "panel/keywordbox.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "panel/testsupport.h"
#include "tests/corrupt/damagedcorpus.h"


namespace {

namespace fs = std::filesystem;

// The files the full-text target needs when the reader starts.
const std::set<std::string> kOpenedAtStart = {FileListHeaderName(), FileListTextName(), IndexHeaderName(),
                                              IndexPostingName()};
// The damages tried on every file; the command-line matrix goes through all.
const std::set<std::string> kDamagesTried = {"missing", "empty", "truncated at 1", "32 bits flipped",
                                             "garbage of the same size"};

fs::path PathOf(const QString& text) { return fs::path(text.toStdString()); }

int Count(const std::vector<std::string>& messages, const std::string& text) {
  return static_cast<int>(std::count(messages.begin(), messages.end(), text));
}

}  // namespace

class CorruptReaderTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_intact;
  QTemporaryDir m_settings;

  void Search(CLeftForm* form, const QString& keyword) {
    form->keywordBox()->setText(keyword);
    form->searchButton()->click();
  }

  // The messages of the start: the one that names the trouble, once.
  void CheckStartMessages(const std::string& file, const std::string& damage,
                          const std::vector<std::string>& messages) {
    const std::string& expected = file == kCatalogueFileName ? kCatalogueMissingMessage : kOpenFailedMessage;
    if (damage == "missing" && (kOpenedAtStart.contains(file) || file == kCatalogueFileName)) {
      QCOMPARE(messages, std::vector<std::string>{expected});
    } else if (kOpenedAtStart.contains(file) || file == kCatalogueFileName) {
      QVERIFY(messages.size() <= 1);
      QCOMPARE(Count(messages, expected), static_cast<int>(messages.size()));
    } else {
      QCOMPARE(messages, std::vector<std::string>{});
    }
  }

  // Everything the left pane offers, once; a closed engine or an empty
  // tree may make some of it do nothing.
  void UseEverything(CLeftForm* form, CWarningRecorder& warnings, const std::string& file) {
    form->SelectTab(CLeftForm::Tab::kSearch);
    Search(form, QStringLiteral("學"));
    if (file != kCatalogueFileName) QCOMPARE(warnings.messages, std::vector<std::string>{});
    CSortListCtrl* list = form->resultList();
    for (int row = 0; row < std::min(list->RowCount(), 3); ++row) list->setCurrentItem(list->topLevelItem(row));

    form->SelectTab(CLeftForm::Tab::kContents);
    for (int record = 1; record < form->catalogue().NodeCount(); ++record) {
      if (QTreeWidgetItem* item = form->TreeItemOfRecord(record)) form->tree()->setCurrentItem(item);
    }
    form->ShowRecordPage(1, 0, 9999);
  }

  // The frame's page, volume and hit commands, each a few times over as
  // long as its rule allows it: past the ends of volumes, the catalogue
  // and the hit page.
  void UseCommands(CMainFrame& frame, CWarningRecorder& warnings) {
    const std::set<std::string> allowed = {kLastVolumeMessage, kFirstVolumeMessage, kNoScopeMessage};
    using enum Command;
    for (Command command : {kNextPage, kPrevPage, kNextVolume, kPrevVolume, kNextHit, kPrevHit}) {
      for (int i = 0; i < 6 && frame.IsCommandEnabled(command); ++i) frame.Action(command)->trigger();
    }
    for (const std::string& message : warnings.messages) QVERIFY2(allowed.contains(message), message.c_str());
  }

  void SwitchTargets(CLeftForm* form, CWarningRecorder& warnings) {
    // Each target the buttons open may fail on its own, with one message.
    form->SelectTab(CLeftForm::Tab::kSearch);
    for (DisplayCode display : {DisplayCode::kMainText, DisplayCode::kAnnotations, DisplayCode::kFullText}) {
      warnings.messages.clear();
      form->targetButton(display)->click();
      QVERIFY(warnings.messages.size() <= 1);
      QCOMPARE(Count(warnings.messages, kOpenFailedMessage), static_cast<int>(warnings.messages.size()));
      warnings.messages.clear();
      Search(form, QStringLiteral("學 之"));
      QVERIFY(Count(warnings.messages, kOpenFailedMessage) == 0);
    }
  }

 private slots:
  void initTestCase() {
    CCodexaApp::SetUpNames();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    std::string error;
    QVERIFY2(codexa::corrupt::WriteSmallCorpus(PathOf(m_intact.path()), error), error.c_str());
  }

  void startsOnceAndStaysUsable_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("damage");
    for (const std::string& file : codexa::corrupt::kDataFiles) {
      for (const std::string& damage : kDamagesTried) {
        QTest::addRow("%s %s", file.c_str(), damage.c_str()) << QString::fromStdString(file)
                                                             << QString::fromStdString(damage);
      }
    }
  }
  void startsOnceAndStaysUsable() {
    QFETCH(QString, file);
    QFETCH(QString, damage);
    QTemporaryDir corpusDir, workDir;
    const fs::path corpus = PathOf(corpusDir.path());
    for (const std::string& name : codexa::corrupt::kDataFiles) {
      if (name != file.toStdString()) fs::copy_file(PathOf(m_intact.path()) / name, corpus / name);
    }
    std::ifstream in(PathOf(m_intact.path()) / file.toStdString(), std::ios::binary);
    const std::string intact((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const codexa::corrupt::Damage& d : codexa::corrupt::DamagesOf(file.toStdString(), intact)) {
      if (d.name == damage.toStdString() && d.bytes) {
        std::ofstream(corpus / file.toStdString(), std::ios::binary).write(d.bytes->data(), d.bytes->size());
      }
    }
    const codexa::corrupt::FolderState before = codexa::corrupt::StateOf(corpus);

    CWarningRecorder warnings;
    {
      const fs::path work = PathOf(workDir.path());
      CMainFrame frame(CLeftForm::Places{corpus, work, work / "zemo.txt"});
      frame.showMaximized();
      QVERIFY(QTest::qWaitForWindowExposed(&frame));
      CheckStartMessages(file.toStdString(), damage.toStdString(), warnings.messages);
      warnings.messages.clear();
      UseEverything(frame.GetLeftForm(), warnings, file.toStdString());
      warnings.messages.clear();
      UseCommands(frame, warnings);
      SwitchTargets(frame.GetLeftForm(), warnings);
      QVERIFY(frame.isVisible());
    }
    QCOMPARE(codexa::corrupt::StateOf(corpus), before);
  }
};

QTEST_MAIN(CorruptReaderTest)
#include "corrupt_reader_test.moc"
