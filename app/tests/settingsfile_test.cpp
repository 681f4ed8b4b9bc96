// The settings file at start: a sound or missing file is left alone; a
// damaged one is kept aside byte for byte and the reader starts with
// defaults, writing a new file beside it; one that cannot be written is
// reported and left alone.
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/codexa.h"
#include "app/settingsfile.h"

namespace {

// 2026-12-10 22:43:20 UTC.
constexpr std::time_t kNow = 1796942600;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

Q_DECLARE_METATYPE(SettingsFileState)

class SettingsFileTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_settingsDir;
  QString m_file;

 private slots:
  void initTestCase() {
    CCodexaApp::SetUpNames();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    m_file = QSettings().fileName();
    QVERIFY(m_file.startsWith(m_settingsDir.path()));
  }
  void init() {
    QDir(m_settingsDir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(QFileInfo(m_file).path()));
  }

  void fileIsCheckedAsItStands_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<SettingsFileState>("state");
    QTest::newRow("missing") << QByteArray() << SettingsFileState::kSound;
    QTest::newRow("sound") << QByteArray("[General]\nPanes_0=120\n") << SettingsFileState::kSound;
    QTest::newRow("unclosed section") << QByteArray("[General\nPanes_0=120\n") << SettingsFileState::kDamagedKeptAside;
    QTest::newRow("line without value") << QByteArray("[General]\nPanes_0=120\nhalf a line\n")
                                        << SettingsFileState::kDamagedKeptAside;
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x01[\x80\n=", 8) << SettingsFileState::kDamagedKeptAside;
  }
  void fileIsCheckedAsItStands() {
    QFETCH(QByteArray, contents);
    QFETCH(SettingsFileState, state);
    if (!contents.isEmpty()) {
      QFile file(m_file);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(contents);
    }
    const SettingsFileCheck check = CheckSettingsFile(kNow);
    QCOMPARE(check.state, state);
    QCOMPARE(QString::fromStdU16String(check.file.u16string()), m_file);
    if (state == SettingsFileState::kSound) {
      QVERIFY(MessageOf(check).empty());
      QCOMPARE(ReadAll(m_file), contents);
      return;
    }
    const QString kept = QString::fromStdU16String(check.keptAs.u16string());
    QCOMPARE(kept, m_file + QStringLiteral(".damaged-") +
                       QDateTime::fromSecsSinceEpoch(kNow).toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QVERIFY(QString::fromStdString(MessageOf(check)).contains(kept));
    // Defaults from here on, saved in a new file; the damaged one untouched.
    QVERIFY(!QFile::exists(m_file));
    QVERIFY(!QSettings().contains(QStringLiteral("Panes_0")));
    QSettings().setValue(QStringLiteral("Panes_0"), 200);
    QSettings().sync();
    QCOMPARE(QSettings().value(QStringLiteral("Panes_0")).toInt(), 200);
    QCOMPARE(ReadAll(kept), contents);
  }

  // A folder where the file should be: nothing can be saved, and nothing
  // there is moved or removed.
  void unwritableFileIsReportedAndLeftAlone() {
    QVERIFY(QDir().mkpath(m_file));
    QFile inside(m_file + QStringLiteral("/inside"));
    QVERIFY(inside.open(QIODevice::WriteOnly));
    inside.close();
    const SettingsFileCheck check = CheckSettingsFile(kNow);
    QCOMPARE(check.state, SettingsFileState::kUnwritable);
    QVERIFY(QString::fromStdString(MessageOf(check)).contains(m_file));
    QVERIFY(QFileInfo(m_file).isDir());
    QVERIFY(QFile::exists(m_file + QStringLiteral("/inside")));
  }
};

QTEST_MAIN(SettingsFileTest)
#include "settingsfile_test.moc"
