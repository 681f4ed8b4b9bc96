// Another corpus: "--corpus DIR", the ファイル menu's open command and its
// list of recent corpora, and the frame rebuilt whole on the new corpus, or
// kept on the old one when the new one does not open.
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/codexa.h"
#include "app/framehost.h"
#include "app/recentcorpora.h"
#include "panel/messagebox.h"
#include "panel/testcorpus.h"

using namespace codexa::paneltest;

namespace {

std::filesystem::path PathOf(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

// One work of one volume, one page: 北冥有魚.
Corpus OtherCorpus() {
  Corpus corpus;
  corpus.pages.push_back({"子部\\莊子\\逍遙遊\\0001.htm", U"北冥有魚"});
  corpus.catalogue = {{u"子部", 1, 1, 1, 1}, {u"莊子", 2, 1, 1, 1}, {u"逍遙遊", 3, 1, 1, 1}};
  return corpus;
}

QMenu* FileMenu(CMainFrame* frame) { return frame->menuBar()->actions().at(0)->menu(); }

}  // namespace

class FrameHostTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_settingsDir, m_workDir, m_first, m_second, m_empty;

  CFrameHost MakeHost() {
    return CFrameHost(CLeftForm::Places{{}, PathOf(m_workDir.path()), PathOf(m_workDir.filePath("zemo.txt"))},
                      QStringLiteral(CODEXA_SOURCE_DIR "/res"));
  }

 private slots:
  void initTestCase() {
    CCodexaApp::SetUpNames();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    std::string error;
    QVERIFY2(WriteCorpus(PathOf(m_first.path()), FormFixture(), error), error.c_str());
    QVERIFY2(WriteCorpus(PathOf(m_second.path()), OtherCorpus(), error), error.c_str());
  }
  void init() { QSettings().clear(); }

  void corpusArgumentIsFoundInEitherSpelling_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::optional<QString>>("folder");
    const QString absolute = QDir::current().absoluteFilePath(QStringLiteral("mine"));
    QTest::newRow("none") << QStringList{"codexa"} << std::optional<QString>(QString());
    QTest::newRow("two words") << QStringList{"codexa", "--corpus", "mine"} << std::optional<QString>(absolute);
    QTest::newRow("one word") << QStringList{"codexa", "--corpus=/tmp/x"} << std::optional<QString>("/tmp/x");
    QTest::newRow("among others") << QStringList{"codexa", "-x", "--corpus", "/a b"} << std::optional<QString>("/a b");
    QTest::newRow("folder missing") << QStringList{"codexa", "--corpus"} << std::optional<QString>();
    QTest::newRow("folder empty") << QStringList{"codexa", "--corpus="} << std::optional<QString>();
  }
  void corpusArgumentIsFoundInEitherSpelling() {
    QFETCH(QStringList, arguments);
    QFETCH(std::optional<QString>, folder);
    QCOMPARE(CorpusArgument(arguments), folder);
  }

  // "--corpus" without its folder ends the reader before any window.
  void readerRefusesCorpusOptionWithoutFolder() {
    QProcess reader;
    reader.start(QStringLiteral(CODEXA_READER), {QStringLiteral("--corpus")});
    QVERIFY(reader.waitForFinished(60000));
    QCOMPARE(reader.exitCode(), 1);
    QVERIFY(reader.readAllStandardError().contains("--corpus needs a folder"));
  }

  void recentListKeepsTheLastFourNewestFirst() {
    for (const char* folder : {"/a", "/b", "/c", "/a", "/d", "/e"}) RememberCorpus(QString::fromUtf8(folder));
    QCOMPARE(RecentCorpora(), (QStringList{"/e", "/d", "/a", "/c"}));
    // Damaged values are passed over.
    QSettings settings;
    settings.setValue("Recent Corpus List/Corpus2", 17);
    settings.setValue("Recent Corpus List/Corpus3", QString());
    QCOMPARE(RecentCorpora(), (QStringList{"/e", "/c"}));
  }

  void aCorpusThatOpensIsRememberedAndOffered() {
    CWarningRecorder warnings;
    CFrameHost host = MakeHost();
    host.Start(PathOf(m_first.path()));
    QVERIFY(warnings.messages.empty());
    QCOMPARE(RecentCorpora(), QStringList{m_first.path()});
    QMenu* menu = FileMenu(host.frame());
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction* action : menu->actions()) texts << action->text();
    QCOMPARE(texts, (QStringList{"コーパスを開く(&O)...", "&1 " + QDir::toNativeSeparators(m_first.path()), "",
                                 "印刷設定(&S)", "印刷(&P)", "終了(&X)"}));
    QCOMPARE(host.frame()->Action(Command::kFileOpen)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    // A corpus that does not open is not remembered.
    host.Close();
    host.Start(PathOf(m_empty.path()));
    QCOMPARE(RecentCorpora(), QStringList{m_first.path()});
  }

  // The recent entry opens the other corpus: a new frame, its catalogue, a
  // reading state that starts afresh.
  void switchingRebuildsTheFrameOnTheOtherCorpus() {
    CWarningRecorder warnings;
    CFrameHost host = MakeHost();
    host.Start(PathOf(m_first.path()));
    CLeftForm* form = host.frame()->GetLeftForm();
    form->ShowVolume(4);
    QCOMPARE(form->Reading().CurRecord(), 4);
    RememberCorpus(m_second.path());
    QMenu* menu = FileMenu(host.frame());
    emit menu->aboutToShow();
    menu->actions().at(1)->trigger();  // "&1 <second>"
    QTRY_COMPARE(host.frame()->GetLeftForm()->catalogue().NodeCount(), 4);
    form = host.frame()->GetLeftForm();
    QCOMPARE(form->catalogue().Record(3).Name(), std::u16string(u"逍遙遊"));
    QCOMPARE(form->Reading().CurRecord(), 0);
    QVERIFY(!host.frame()->IsCommandEnabled(Command::kNextVolume));
    QVERIFY(host.frame()->isVisible());
    QCOMPARE(RecentCorpora(), (QStringList{m_second.path(), m_first.path()}));
    QVERIFY(warnings.messages.empty());
  }

  void aFolderThatDoesNotOpenKeepsTheCorpus() {
    CWarningRecorder warnings;
    CFrameHost host = MakeHost();
    host.Start(PathOf(m_first.path()));
    CMainFrame* frame = host.frame();
    QVERIFY(!host.Switch(m_empty.path()));
    QCOMPARE(warnings.messages, (std::vector<std::string>{kOpenFailedMessage, kCatalogueMissingMessage}));
    QCOMPARE(host.frame(), frame);
    QCOMPARE(frame->GetLeftForm()->catalogue().NodeCount(), 10);
    QCOMPARE(RecentCorpora(), QStringList{m_first.path()});
  }
};

QTEST_MAIN(FrameHostTest)
#include "framehost_test.moc"
