// The bookmarks in the main window on the small corpus: a contents page and
// a hit page added (Ctrl+D and the menu), listed in the しおり menu, and
// reopened by a new frame as after a restart, the hit page with its
// keyword marked; the dialog's renames, deletions and moves kept on OK and
// dropped on キャンセル; a damaged file kept aside with the menu still
// working; a page the corpus lacks, a full list, and a file that cannot
// be read or written, told; two readers keeping each other's bookmarks.
#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/settingsfile.h"
#include "app/tests/readingfixture.h"
#include "base/keepaside.h"
#include "panel/bookmarkdlg.h"
#include "session/bookmarkfile.h"
#include "session/bookmarkplace.h"

using namespace codexa::apptest;
using namespace codexa::paneltest;

namespace {

// The fixture's 詩經 卷一: record 3, files 1-3.
constexpr int kFirstVolume = 3;
const QString kContentsName = QStringLiteral("《詩經》卷一、第2頁、經部");
const QString kHitName = QStringLiteral("【鶴】《唐詩》卷一、第107頁、集部");

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

QStringList Names(const CBookmarkList& list) {
  QStringList names;
  for (const Bookmark& bookmark : list.Items()) names << QString::fromStdU16String(bookmark.name);
  return names;
}

}  // namespace

class BookmarksTest : public QObject, protected CReadingFixture {
  Q_OBJECT

 private:
  // A new frame on the same settings, as the reader starts again.
  void Restart() {
    m_pFrame.reset();
    MakeFrame();
  }
  // The しおり menu's entries as it shows them when it opens.
  QStringList MenuTexts() {
    QMenu* menu = m_pFrame->BookmarkMenu();
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction* action : menu->actions()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
  }
  // Chooses bookmark `index` in the menu, as a user would.
  void ChooseInMenu(int index) {
    MenuTexts();
    m_pFrame->BookmarkMenu()->actions().at(3 + index)->trigger();
  }
  // Runs `work` on the bookmark dialog once the frame has opened it.
  void InDialog(const std::function<void(CBookmarkDlg&)>& work) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<CBookmarkDlg*>(QApplication::activeModalWidget());
      if (dialog) work(*dialog);
      ran = dialog != nullptr;
      if (dialog && dialog->isVisible()) dialog->reject();
    });
    QVERIFY(m_pFrame->IsCommandEnabled(Command::kBookmarkOrganize));
    Trigger(Command::kBookmarkOrganize);
    QVERIFY(ran);
  }
  // Writes bookmarks named `names` of the first volume's pages 1, 2, 3...
  void WriteBookmarks(const QStringList& names) {
    CBookmarkList list;
    for (int i = 0; i < names.size(); ++i) {
      list.Add({BookmarkKind::kContentsPage, names[i].toStdU16String(), u"經部\\詩經\\卷一", 1 + i % 3, {}});
    }
    std::string error;
    QVERIFY2(SaveBookmarkFile(BookmarksFile(), list, error), error.c_str());
  }

 private slots:
  void initTestCase() { SetUpCorpus(); }
  void init() {
    QSettings().clear();
    std::filesystem::remove_all(BookmarksFile());
    m_pWarnings = std::make_unique<CWarningRecorder>();
  }
  void cleanup() {
    m_pFrame.reset();
    m_pWarnings.reset();
  }

  void pagesAddedAreReopenedAfterARestart() {
    MakeFrame();
    QVERIFY(!m_pFrame->IsCommandEnabled(Command::kBookmarkAdd));  // nothing shown yet
    QVERIFY(!m_pFrame->IsCommandEnabled(Command::kBookmarkOrganize));
    QCOMPARE(MenuTexts(), (QStringList{"この頁をしおりに追加(&A)", "しおりの整理(&M)…"}));
    QCOMPARE(m_pFrame->Action(Command::kBookmarkAdd)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));

    // A contents page, by Ctrl+D in the text view.
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kFirstVolume)); });
    Shown([&] { m_pFrame->navBar().ShowVolumePage(2); });
    m_pFrame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
    view()->setFocus();
    QTest::keyClick(m_pFrame.get(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(Names(m_pFrame->Bookmarks()), QStringList{kContentsName});
    // A hit page, by the menu.
    OpenHitOfPage(QStringLiteral("鶴"), kLongPage);
    QVERIFY(m_pFrame->IsCommandEnabled(Command::kBookmarkAdd));
    Trigger(Command::kBookmarkAdd);
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{kContentsName, kHitName}));
    QCOMPARE(MenuTexts(), (QStringList{"この頁をしおりに追加(&A)", "しおりの整理(&M)…", "-", "&1 " + kContentsName,
                                       "&2 " + kHitName}));
    Shoot(QStringLiteral("bookmarks-added.png"));

    Restart();
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{kContentsName, kHitName}));
    // The hit page: rendered again with its keyword marked, shown at it,
    // and its hits stepped through as a listed hit's are.
    Shown([&] { ChooseInMenu(1); });
    QCOMPARE(form()->Reading().ShownPage(), CReadingState::Shown::kHitPage);
    QCOMPARE(form()->Reading().HitPageSearch().keyword, std::u16string(u"鶴"));
    QVERIFY(form()->Reading().PageHits() > 0);
    QVERIFY(Eval(QStringLiteral("Array.from(document.querySelectorAll('b')).map(b => b.textContent).join()"))
                .toString()
                .contains(QStringLiteral("鶴")));
    QTRY_VERIFY(Eval(QStringLiteral("window.scrollY")).toDouble() > 1000);
    QCOMPARE(m_pFrame->CitedText(), QStringLiteral("《唐詩》卷一、第107頁、集部"));
    QVERIFY(m_pFrame->IsCommandEnabled(Command::kOpenHitInVolume));
    Shoot(QStringLiteral("bookmark-hit-reopened.png"));
    // The contents page: the page read in its volume, tree and slider too.
    Shown([&] { ChooseInMenu(0); });
    QCOMPARE(form()->Reading().ShownPage(), CReadingState::Shown::kVolumePage);
    QCOMPARE(form()->Reading().CurRecord(), kFirstVolume);
    QCOMPARE(form()->Reading().CurPage(), 2);
    QCOMPARE(form()->tree()->currentItem(), form()->TreeItemOfRecord(kFirstVolume));
    QCOMPARE(m_pFrame->navBar().slider().GetPos(), 2);
    QVERIFY(Eval(QStringLiteral("document.body.textContent")).toString().contains(QStringLiteral("学习明月清風")));
    QVERIFY(m_pFrame->IsCommandEnabled(Command::kNextPage));
    // Ctrl+D keeps its meaning in the keyword box: the box takes no edit
    // from it.
    m_pFrame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
    form()->SelectTab(CLeftForm::Tab::kSearch);
    form()->keywordBox()->setText(QStringLiteral("明月"));
    form()->keywordBox()->setFocus();
    form()->keywordBox()->setCursorPosition(0);
    QTest::keyClick(form()->keywordBox(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(form()->keywordBox()->text(), QStringLiteral("明月"));
    QCOMPARE(m_pFrame->Bookmarks().Items().size(), size_t{3});
    QVERIFY(m_pWarnings->messages.empty());
  }

  // キャンセル drops every change; OK keeps them, and so does the file. An
  // "&" in a name stays one in the menu.
  void dialogChangesAreKeptOnOkOnly() {
    WriteBookmarks({"一", "二", "三"});
    MakeFrame();
    const std::string before = ReadFile(BookmarksFile());
    InDialog([](CBookmarkDlg& dialog) {
      dialog.list()->setCurrentRow(0);
      dialog.deleteButton()->click();
      QCOMPARE(dialog.list()->count(), 2);
      dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{"一", "二", "三"}));
    QCOMPARE(ReadFile(BookmarksFile()), before);

    InDialog([](CBookmarkDlg& dialog) {
      QVERIFY(!dialog.upButton()->isEnabled());  // the first row stands selected
      dialog.list()->setCurrentRow(2);
      QVERIFY(!dialog.downButton()->isEnabled());
      dialog.upButton()->click();  // 一 三 二
      QCOMPARE(dialog.list()->currentRow(), 1);
      dialog.list()->item(0)->setText(QStringLiteral("  第一&頁 "));
      dialog.list()->item(1)->setText(QStringLiteral("　"));  // blank: the name stays
      QCOMPARE(dialog.list()->item(1)->text(), QStringLiteral("三"));
      dialog.list()->setCurrentRow(2);
      dialog.deleteButton()->click();  // 第一&頁 三
      QCOMPARE(dialog.list()->currentRow(), 1);
      dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{"第一&頁", "三"}));
    Restart();
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{"第一&頁", "三"}));
    QCOMPARE(MenuTexts().mid(3), (QStringList{"&1 第一&&頁", "&2 三"}));
    QVERIFY(m_pWarnings->messages.empty());
  }

  // A damaged file is kept aside byte for byte and told once; what read
  // whole is in the menu, opens, and was written anew.
  void damagedFileIsKeptAsideAndTheMenuWorks() {
    WriteBookmarks({"一"});
    const std::string damaged = ReadFile(BookmarksFile()) + "page\t二\t經部\\詩經\\卷一\t2\nhit\t三\t經";
    std::ofstream(BookmarksFile(), std::ios::binary) << damaged;
    const std::time_t before = std::time(nullptr);
    MakeFrame();
    QCOMPARE(m_pWarnings->messages.size(), size_t{1});
    const QString message = QString::fromStdString(m_pWarnings->messages[0]);
    QVERIFY(message.contains(QStringLiteral("読めたしおり 2 件")));
    std::filesystem::path kept = DamagedFileName(BookmarksFile(), before);
    if (!std::filesystem::exists(kept)) kept = DamagedFileName(BookmarksFile(), std::time(nullptr));
    QVERIFY(message.contains(QString::fromStdString(kept.string())));
    QCOMPARE(ReadFile(kept), damaged);
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{"一", "二"}));
    Shown([&] { ChooseInMenu(1); });
    QCOMPARE(form()->Reading().CurPage(), 2);
    Trigger(Command::kBookmarkAdd);
    Restart();
    QCOMPARE(m_pWarnings->messages.size(), size_t{1});  // told once
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{"一", "二", kContentsName}));
  }

  // Two readers on one settings file: what the other wrote shows in the
  // menu, and an addition or the dialog's changes keep it.
  void readersOnOneFileKeepEachOthersBookmarks() {
    const QString firstPage = QStringLiteral("《詩經》卷一、第1頁、經部");
    MakeFrame();
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kFirstVolume)); });
    WriteBookmarks({"他の窓"});  // the other reader adds one
    QCOMPARE(MenuTexts().mid(3), (QStringList{"&1 他の窓"}));
    Trigger(Command::kBookmarkAdd);
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{"他の窓", firstPage}));
    CBookmarkList onDisk;
    LoadBookmarkFile(BookmarksFile(), onDisk, std::time(nullptr));
    QCOMPARE(Names(onDisk), (QStringList{"他の窓", firstPage}));

    InDialog([this](CBookmarkDlg& dialog) {
      // The other reader adds one while the dialog is open.
      CBookmarkList other = m_pFrame->Bookmarks();
      other.Add({BookmarkKind::kContentsPage, u"後から", u"經部\\詩經\\卷一", 3, {}});
      std::string error;
      QVERIFY2(SaveBookmarkFile(BookmarksFile(), other, error), error.c_str());
      dialog.list()->setCurrentRow(0);
      dialog.deleteButton()->click();
      dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{firstPage, "後から"}));
    Restart();
    QCOMPARE(Names(m_pFrame->Bookmarks()), (QStringList{firstPage, "後から"}));
    QVERIFY(m_pWarnings->messages.empty());
  }

  // A page this corpus does not have: told with the bookmark's name, the
  // view keeping its page.
  void aPageTheCorpusLacksIsTold() {
    CBookmarkList list;
    list.Add({BookmarkKind::kContentsPage, u"史記", u"史部\\史記\\卷一", 1, {}});
    list.Add({BookmarkKind::kHitPage, u"遠い頁", u"經部\\詩經\\卷一", 99, {u"明月", SearchMode::kAnd, DisplayCode::kFullText, true}});
    std::string error;
    QVERIFY(SaveBookmarkFile(BookmarksFile(), list, error));
    MakeFrame();
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kFirstVolume)); });
    const QString shown = view()->GetLocationURL();
    for (int index : {0, 1}) {
      ChooseInMenu(index);
      QCOMPARE(m_pWarnings->messages.size(), size_t(index + 1));
      QCOMPARE(QString::fromStdString(m_pWarnings->messages.back()),
               QString::fromUtf8(kBookmarkPageMissingMessage) + u'\n' + Names(list)[index]);
    }
    QCOMPARE(view()->GetLocationURL(), shown);
    QCOMPARE(form()->Reading().CurRecord(), kFirstVolume);
    QCOMPARE(form()->Reading().CurPage(), 1);
  }

  // A full list takes no more, and says what to do; the file stays.
  void aFullListIsTold() {
    WriteBookmarks(QStringList(static_cast<qsizetype>(CBookmarkList::kMaxBookmarks), QStringLiteral("頁")));
    const std::string before = ReadFile(BookmarksFile());
    MakeFrame();
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kFirstVolume)); });
    Trigger(Command::kBookmarkAdd);
    QCOMPARE(m_pWarnings->messages, std::vector<std::string>{kBookmarksFullMessage});
    QCOMPARE(m_pFrame->Bookmarks().Items().size(), CBookmarkList::kMaxBookmarks);
    QCOMPARE(ReadFile(BookmarksFile()), before);
  }

  // A file that cannot be read is told at start and never written over; a
  // save that fails is told when it fails.
  void filesThatCannotBeUsedAreTold() {
    std::filesystem::create_directories(BookmarksFile() / "inside");
    MakeFrame();
    QCOMPARE(m_pWarnings->messages.size(), size_t{1});
    QVERIFY(QString::fromStdString(m_pWarnings->messages[0]).contains(QStringLiteral("読めません")));
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kFirstVolume)); });
    Trigger(Command::kBookmarkAdd);
    QCOMPARE(m_pFrame->Bookmarks().Items().size(), size_t{1});  // kept for this session
    QCOMPARE(m_pWarnings->messages.size(), size_t{1});
    QVERIFY(std::filesystem::is_directory(BookmarksFile() / "inside"));

    std::filesystem::remove_all(BookmarksFile());
    Restart();
    std::filesystem::create_directories(BookmarksFile() / "inside");  // taken after the load
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kFirstVolume)); });
    Trigger(Command::kBookmarkAdd);
    QCOMPARE(m_pWarnings->messages.size(), size_t{2});
    QVERIFY(m_pWarnings->messages[1].starts_with(kBookmarksNotSavedMessage));
    std::filesystem::remove_all(BookmarksFile());
  }
};

QTEST_MAIN(BookmarksTest)
#include "bookmarks_test.moc"
