// What the reader writes: only its private page folder, the catalogue
// listing and its settings. Page files and the background are its
// owner's alone, whatever the umask; links, files, pipes or folders planted
// under the names it writes never lead a write anywhere else.
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "panel/keywordbox.h"
#include "panel/leftform.h"
#include "panel/panelwindow.h"
#include "panel/sortlistctrl.h"
#include "panel/testsupport.h"
#include "tests/corrupt/damagedcorpus.h"

namespace {

namespace fs = std::filesystem;

fs::path PathOf(const QString& text) { return fs::path(text.toStdString()); }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct stat StatOf(const fs::path& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info;
}

// Sets the umask for the lifetime of the object.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : m_nPrevious(::umask(mask)) {}
  ~ScopedUmask() { ::umask(m_nPrevious); }

 private:
  mode_t m_nPrevious;
};

const char* const kPageNames[] = {"windows.html", "windows1.html", "windows2.html"};

}  // namespace

class ReaderFilesTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_corpus;
  CWarningRecorder m_warnings;

  // Shows a contents page, then opens two hits: every page file is written.
  void ShowPages(CLeftForm* form) {
    form->tree()->setCurrentItem(form->TreeItemOfRecord(3));
    form->SelectTab(CLeftForm::Tab::kSearch);
    form->keywordBox()->setText(QStringLiteral("學"));
    form->searchButton()->click();
    QVERIFY(form->resultList()->RowCount() >= 2);
    for (int row = 0; row < 2; ++row) form->resultList()->setCurrentItem(form->resultList()->topLevelItem(row));
  }

 private slots:
  void initTestCase() {
    std::string error;
    QVERIFY2(codexa::corrupt::WriteSmallCorpus(PathOf(m_corpus.path()), error), error.c_str());
  }

  void pageFilesAreTheOwnersAlone() {
    ScopedUmask permissive(0);
    QTemporaryDir work;
    const fs::path base = PathOf(work.path());
    {
      CPanelWindow window(CLeftForm::Places{PathOf(m_corpus.path()), base, base / "zemo.txt"});
      ShowPages(window.form());
      const fs::path pages = PathOf(window.form()->PageFile()).parent_path();
      QVERIFY(IsPrivateFolder(pages) && IsPrivateFolder(pages.parent_path()));
      for (const fs::path& file : {pages / kPageNames[0], pages / kPageNames[1], pages / kPageNames[2],
                                   pages.parent_path() / "Back.gif"}) {
        const struct stat info = StatOf(file);
        QVERIFY2(S_ISREG(info.st_mode), file.c_str());
        QCOMPARE(info.st_uid, ::getuid());
        QCOMPARE(info.st_mode & 077, mode_t{0});
      }
    }
    // Nothing else was written beside the private folder and the listing.
    std::set<std::string> written;
    for (const fs::directory_entry& entry : fs::directory_iterator(base)) written.insert(entry.path().filename());
    QCOMPARE(written, (std::set<std::string>{"codexa-" + std::to_string(::getuid()), "zemo.txt"}));
  }

  void plantedPageNamesLeadNowhere_data() {
    QTest::addColumn<QString>("planted");
    for (const char* kind : {"symbolic link", "hard link", "file open to all", "pipe", "folder", "pages folder link"}) {
      QTest::newRow(kind) << kind;
    }
  }
  void plantedPageNamesLeadNowhere() {
    QFETCH(QString, planted);
    QTemporaryDir work, elsewhere;
    const fs::path base = PathOf(work.path());
    const fs::path victim = PathOf(elsewhere.filePath("victim"));
    std::ofstream(victim) << "mine";
    ::chmod(victim.c_str(), 0644);
    std::vector<fs::path> names;
    {
      CPanelWindow window(CLeftForm::Places{PathOf(m_corpus.path()), base, base / "zemo.txt"});
      // Each reader's folder is made fresh under a name no one can know
      // before, so the names are planted in it once it is there, before the
      // first page is written.
      const fs::path pages = PathOf(window.form()->PageFile()).parent_path();
      if (planted == "pages folder link") {
        fs::remove_all(pages);
        fs::create_directory_symlink(victim.parent_path(), pages);
      } else {
        for (const char* name : kPageNames) names.push_back(pages / name);
      }
      for (const fs::path& name : names) {
        fs::remove(name);
        if (planted == "symbolic link") fs::create_symlink(victim, name);
        if (planted == "hard link") fs::create_hard_link(victim, name);
        if (planted == "file open to all") {
          std::ofstream(name) << "old";
          ::chmod(name.c_str(), 0666);
        }
        if (planted == "pipe") QCOMPARE(::mkfifo(name.c_str(), 0600), 0);
        if (planted == "folder") fs::create_directory(name);
      }
      ShowPages(window.form());
      QCOMPARE(ReadFile(victim), std::string("mine"));
      for (const fs::path& name : names) {
        const struct stat info = StatOf(name);
        if (S_ISREG(info.st_mode) && info.st_ino != StatOf(victim).st_ino) {
          QCOMPARE(info.st_mode & 077, mode_t{0});
          QCOMPARE(info.st_nlink, nlink_t{1});
        }
      }
    }
    QCOMPARE(ReadFile(victim), std::string("mine"));
    QCOMPARE(StatOf(victim).st_mode & 0777, mode_t{0644});
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"victim"});
  }

  void plantedListingLinkLeadsNowhere() {
    QTemporaryDir work, elsewhere;
    const fs::path base = PathOf(work.path());
    const fs::path victim = PathOf(elsewhere.filePath("victim"));
    std::ofstream(victim) << "mine";
    fs::create_symlink(victim, base / "zemo.txt");
    {
      CPanelWindow window(CLeftForm::Places{PathOf(m_corpus.path()), base, base / "zemo.txt"});
      QVERIFY(window.form()->TreeItemOfRecord(3) != nullptr);
    }
    QCOMPARE(ReadFile(victim), std::string("mine"));
  }
};

QTEST_MAIN(ReaderFilesTest)
#include "reader_files_test.moc"
