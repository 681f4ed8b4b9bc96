// The real reader as a process: two at once each keep their own page
// folder; SIGTERM, SIGINT and SIGHUP end it as closing its window does
// (layout written, "end" started, page folder removed); the folder of a
// reader killed outright is removed by the next one to start.
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "tests/corrupt/damagedcorpus.h"

namespace {

namespace fs = std::filesystem;

// Starting the reader with its web engine on a busy machine is slow; these
// only bound a wait for something that must happen, they time nothing.
constexpr int kWaitMs = 120000;

fs::path PathOf(const QString& text) { return fs::path(text.toStdString()); }
QString TextOf(const fs::path& path) { return QString::fromStdString(path.string()); }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Waits, running events, until `ready` answers true or the wait is over.
template <typename Ready>
bool WaitFor(Ready ready) {
  QDeadlineTimer deadline(kWaitMs);
  while (!ready()) {
    if (deadline.hasExpired()) return false;
    QTest::qWait(50);
  }
  return true;
}

// One scratch installation: a program folder with the reader, a small
// corpus, its own background and an "end" that leaves a marker; a
// temporary folder and a settings folder of its own.
struct Scratch {
  fs::path program, temp, config;
  fs::path user() const { return temp / ("codexa-" + std::to_string(::getuid())); }
  fs::path endMarker() const { return program / "end.ran"; }
};

bool MakeProgramFolder(const fs::path& program, const std::string& background) {
  std::string error;
  fs::create_directories(program);
  if (!QFile::copy(QStringLiteral(CODEXA_READER_EXE), TextOf(program / "codexa"))) return false;
  if (!codexa::corrupt::WriteSmallCorpus(program, error)) return false;
  std::ofstream(program / "Back.gif", std::ios::binary) << background;
  std::ofstream(program / "end") << "#!/bin/sh\n: > \"$0.ran\"\n";
  fs::permissions(program / "end", fs::perms::owner_all);
  return true;
}

std::unique_ptr<QProcess> StartReader(const Scratch& scratch, const QStringList& arguments = {}) {
  auto reader = std::make_unique<QProcess>();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("TMPDIR"), TextOf(scratch.temp));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), TextOf(scratch.config));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--no-sandbox"));
  reader->setProcessEnvironment(env);
  // The catalogue listing lands in the working folder.
  reader->setWorkingDirectory(TextOf(scratch.program));
  reader->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  reader->start(TextOf(scratch.program / "codexa"), arguments);
  return reader;
}

// The page folder of the reader with process id `pid`, once it has one.
fs::path ReaderFolder(const Scratch& scratch, qint64 pid) {
  fs::path found;
  const std::string prefix = std::to_string(pid) + "-";
  WaitFor([&] {
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch.user(), ignored)) {
      if (entry.path().filename().string().starts_with(prefix) && fs::is_directory(entry.path() / "pages")) {
        found = entry.path();
        return true;
      }
    }
    return false;
  });
  return found;
}

// The background the reader copied into `folder`. The reader writes it
// just after making "pages", so a folder found may not hold it yet.
std::string BackgroundOf(const fs::path& folder) {
  std::string bytes;
  WaitFor([&] {
    bytes = ReadFile(folder / "Back.gif");
    return !bytes.empty();
  });
  return bytes;
}

bool SettingsHold(const fs::path& config, const QByteArray& key) {
  QDirIterator files(TextOf(config), QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    QFile file(files.next());
    if (file.open(QIODevice::ReadOnly) && file.readAll().contains(key)) return true;
  }
  return false;
}

}  // namespace

class ReaderProcessTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_work;
  int m_nScratch = 0;

  Scratch NewScratch(const std::string& background) {
    const fs::path root = PathOf(m_work.path()) / std::to_string(++m_nScratch);
    Scratch scratch{root / "program", root / "temp", root / "config"};
    fs::create_directories(scratch.temp);
    fs::create_directories(scratch.config);
    if (!MakeProgramFolder(scratch.program, background)) scratch.program.clear();
    return scratch;
  }

 private slots:
  // Two processes of the reader's panes on one corpus, each showing a
  // different page: neither page is written over by the other.
  void twoProcessesShowTheirOwnPages() {
    QTemporaryDir corpus;
    std::string error;
    QVERIFY2(codexa::corrupt::WriteSmallCorpus(PathOf(corpus.path()), error), error.c_str());
    const fs::path temp = PathOf(m_work.path()) / "shared-temp";
    fs::create_directories(temp);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), TextOf(temp));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--no-sandbox"));
    QProcess shows[2];
    fs::path pages[2];
    std::string texts[2];
    const char* const records[2] = {"3", "5"};
    for (int i = 0; i < 2; ++i) {
      shows[i].setProcessEnvironment(env);
      shows[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
      shows[i].start(QStringLiteral(CODEXA_PAGESHOW_EXE), {corpus.path(), QString::fromLatin1(records[i])});
      QVERIFY(shows[i].waitForStarted());
      QVERIFY(WaitFor([&] { return shows[i].canReadLine() || shows[i].state() == QProcess::NotRunning; }));
      pages[i] = PathOf(QString::fromLocal8Bit(shows[i].readLine().trimmed()));
      QVERIFY2(!pages[i].empty(), records[i]);
      texts[i] = ReadFile(pages[i]);
      QVERIFY(!texts[i].empty());
    }
    QVERIFY(pages[0].parent_path() != pages[1].parent_path());
    QVERIFY(texts[0] != texts[1]);
    // The first page is still the first process's after the second showed.
    QCOMPARE(ReadFile(pages[0]), texts[0]);
    QCOMPARE(ReadFile(pages[1]), texts[1]);
    for (QProcess& show : shows) {
      show.closeWriteChannel();
      QVERIFY(show.waitForFinished(kWaitMs));
      QCOMPARE(show.exitStatus(), QProcess::NormalExit);
      QCOMPARE(show.exitCode(), 0);
    }
    for (const fs::path& page : pages) QVERIFY(!fs::exists(page.parent_path().parent_path()));
  }

  void twoReadersKeepTheirOwnPages() {
    Scratch first = NewScratch("GIF89a-first");
    Scratch second = NewScratch("GIF89a-second");
    QVERIFY(!first.program.empty() && !second.program.empty());
    // Both share one temporary folder, as two readers of one user do.
    second.temp = first.temp;
    auto one = StartReader(first);
    auto two = StartReader(second);
    QVERIFY(one->waitForStarted() && two->waitForStarted());
    const fs::path folderOne = ReaderFolder(first, one->processId());
    const fs::path folderTwo = ReaderFolder(second, two->processId());
    QVERIFY(!folderOne.empty() && !folderTwo.empty());
    QVERIFY(folderOne != folderTwo);
    // Each background came from its own program folder, and the second
    // start neither overwrote nor removed the first reader's.
    QCOMPARE(BackgroundOf(folderOne), std::string("GIF89a-first"));
    QCOMPARE(BackgroundOf(folderTwo), std::string("GIF89a-second"));
    QVERIFY(fs::is_directory(folderOne / "pages") && fs::is_directory(folderTwo / "pages"));

    one->terminate();
    QVERIFY(one->waitForFinished(kWaitMs));
    QVERIFY(!fs::exists(folderOne));
    QCOMPARE(ReadFile(folderTwo / "Back.gif"), std::string("GIF89a-second"));
    two->terminate();
    QVERIFY(two->waitForFinished(kWaitMs));
    QVERIFY(!fs::exists(folderTwo));
    QVERIFY(fs::is_empty(first.user()));
  }

  void signalsEndTheReaderAsClosingDoes_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
  }
  void signalsEndTheReaderAsClosingDoes() {
    QFETCH(int, signalNumber);
    const Scratch scratch = NewScratch("GIF89a");
    QVERIFY(!scratch.program.empty());
    auto reader = StartReader(scratch);
    QVERIFY(reader->waitForStarted());
    const fs::path folder = ReaderFolder(scratch, reader->processId());
    QVERIFY(!folder.empty());
    QVERIFY(!SettingsHold(scratch.config, "Panes_0"));
    QCOMPARE(::kill(static_cast<pid_t>(reader->processId()), signalNumber), 0);
    QVERIFY(reader->waitForFinished(kWaitMs));
    QCOMPARE(reader->exitStatus(), QProcess::NormalExit);
    QCOMPARE(reader->exitCode(), 0);
    QVERIFY(!fs::exists(folder));
    QVERIFY(SettingsHold(scratch.config, "Panes_0"));
    // "end" runs detached; its marker comes when it has run.
    QVERIFY(WaitFor([&] { return fs::exists(scratch.endMarker()); }));
  }

  // A corpus that does not open stops the start at a message box, whose
  // event loop takes the signal: the reader still ends, its folder goes.
  void aSignalDuringTheStartsMessageBoxEndsTheReader() {
    const Scratch scratch = NewScratch("GIF89a");
    QVERIFY(!scratch.program.empty());
    auto reader = StartReader(scratch, {QStringLiteral("--corpus"), TextOf(scratch.program / "no-such-corpus")});
    QVERIFY(reader->waitForStarted());
    const fs::path folder = ReaderFolder(scratch, reader->processId());
    QVERIFY(!folder.empty());
    QCOMPARE(::kill(static_cast<pid_t>(reader->processId()), SIGTERM), 0);
    const bool finished = reader->waitForFinished(kWaitMs);
    if (!finished) reader->kill();
    QVERIFY(finished);
    QCOMPARE(reader->exitStatus(), QProcess::NormalExit);
    QCOMPARE(reader->exitCode(), 0);
    QVERIFY(!fs::exists(folder));
  }

  void killedReadersFolderGoesAtNextStart() {
    const Scratch scratch = NewScratch("GIF89a");
    QVERIFY(!scratch.program.empty());
    auto killed = StartReader(scratch);
    QVERIFY(killed->waitForStarted());
    const fs::path left = ReaderFolder(scratch, killed->processId());
    QVERIFY(!left.empty());
    killed->kill();
    QVERIFY(killed->waitForFinished(kWaitMs));
    QCOMPARE(killed->exitStatus(), QProcess::CrashExit);
    QVERIFY(fs::is_directory(left / "pages"));

    auto next = StartReader(scratch);
    QVERIFY(next->waitForStarted());
    const fs::path own = ReaderFolder(scratch, next->processId());
    QVERIFY(!own.empty());
    QVERIFY(!fs::exists(left));
    next->terminate();
    QVERIFY(next->waitForFinished(kWaitMs));
    QVERIFY(!fs::exists(own));
  }
};

QTEST_GUILESS_MAIN(ReaderProcessTest)
#include "reader_process_test.moc"
