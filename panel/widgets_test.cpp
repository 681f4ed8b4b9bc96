// The panel's small parts on their own: bitmap buttons, the sortable result
// list, the keyword box, the private page folder and the text view.
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <unistd.h>

#include "view/codexaview.h"
#include "view/compositing.h"
#include "panel/exportdlg.h"
#include "panel/keywordbox.h"
#include "panel/pagefolder.h"
#include "panel/sortlistctrl.h"
#include "panel/testsupport.h"
#include "panel/tooltipbutton.h"

using namespace codexa::paneltest;

namespace {

std::filesystem::path PathOf(const QString& text) { return std::filesystem::path(text.toStdString()); }

// A strip of four 10 x 8 faces in four colours.
QString WriteStrip(const QTemporaryDir& dir) {
  QImage strip(40, 8, QImage::Format_RGB32);
  const QColor faces[4] = {Qt::red, Qt::green, Qt::blue, Qt::black};
  QPainter painter(&strip);
  for (int face = 0; face < 4; ++face) painter.fillRect(face * 10, 0, 10, 8, faces[face]);
  painter.end();
  const QString path = dir.filePath("strip.png");
  strip.save(path);
  return path;
}

QColor DrawnColour(QWidget& button) { return button.grab().toImage().pixelColor(5, 4); }

std::string ReadFile(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}


// A page in the shape the corpus builder stores: the fold column (work,
// volume, leaf) as a vertical block in a narrow cell, then the text block
// of a fixed width, with `lines` short lines of verse under a heading
// every five.
std::string StoredShapePage(int lines) {
  std::string text;
  for (int line = 0; line < lines; ++line) {
    if (line % 5 == 0) text += "<h4>\xE9\x97\x9C\xE9\x9B\x8E</h4>";  // 關雎
    text += "\xE9\x97\x9C\xE9\x97\x9C\xE9\x9B\x8E\xE9\xB3\xA9\xEF\xBC\x8C"  // 關關雎鳩，
            "\xE5\x9C\xA8\xE6\xB2\xB3\xE4\xB9\x8B\xE6\xB4\xB2\xE3\x80\x82<br>";  // 在河之洲。
  }
  return "<html><head><meta charset=UTF-8></head><body bgcolor=#f3eee0><table align=center bgcolor=#fffdf6 "
         "cellspacing=0 cellpadding=0 style=\"border:1px solid #c9b37c\"><tr><TD valign=top align=center width=80 "
         "bgcolor=#f1e6c8><div style=\"display:inline-block;writing-mode:vertical-rl;margin:14px 0;font-size:15px;"
         "letter-spacing:3px;color:#6b5636\">\xE8\xA9\xA9\xE7\xB6\x93<br>\xE5\x8D\xB7\xE4\xB8\x80<br>"
         "\xE4\xB8\x80</div></TD><TD valign=top><div style=\"width:430px;padding:10px 18px;text-align:left;"
         "font-size:17px;line-height:1.8\">" + text + "</div></TD></tr></table></body></html>";
}

// The sheets of `pdf` in shades of grey at 72 dots an inch, one pixel a
// point, in order; none when they cannot be made.
std::vector<QImage> Sheets(const QString& pdf) {
  const QFileInfo file(pdf);
  const QString prefix = file.fileName() + QStringLiteral("-sheet");
  QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-gray"),
                                                 pdf, file.dir().filePath(prefix)});
  // Numbered with as many digits as the last sheet's number needs.
  std::vector<QImage> sheets;
  for (const QString& name : file.dir().entryList({prefix + QStringLiteral("-*.pgm")}, QDir::Files, QDir::Name)) {
    sheets.push_back(QImage(file.dir().filePath(name)).convertToFormat(QImage::Format_Grayscale8));
  }
  return sheets;
}

bool Inked(const QImage& sheet, int x, int y) { return qGray(sheet.pixel(x, y)) < 128; }

// Rows stack lines of horizontal text down a sheet, columns stack the
// columns of vertical text across it.
enum class Stripes { kRows, kColumns };

// Whether the `i`-th row or column of `sheet` holds any ink.
bool StripeInked(const QImage& sheet, Stripes stripes, int i) {
  const bool columns = stripes == Stripes::kColumns;
  const int breadth = columns ? sheet.height() : sheet.width();
  for (int j = 0; j < breadth; ++j) {
    if (columns ? Inked(sheet, i, j) : Inked(sheet, j, i)) return true;
  }
  return false;
}

// The breadths of the runs of inked rows or columns: the height of each
// line of text, or the width of each column of it.
std::vector<int> InkRuns(const QImage& sheet, Stripes stripes) {
  const int count = stripes == Stripes::kColumns ? sheet.width() : sheet.height();
  std::vector<int> runs;
  int run = 0;
  for (int i = 0; i < count; ++i) {
    if (StripeInked(sheet, stripes, i)) {
      ++run;
      continue;
    }
    if (run > 0) runs.push_back(run);
    run = 0;
  }
  if (run > 0) runs.push_back(run);
  return runs;
}

int Median(std::vector<int> values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// The first inked row of `sheet`, or its height when it holds none.
int FirstInkedRow(const QImage& sheet) {
  int row = 0;
  while (row < sheet.height() && !StripeInked(sheet, Stripes::kRows, row)) ++row;
  return row;
}

// The last inked row of `sheet`, or -1 when it holds none.
int LastInkedRow(const QImage& sheet) {
  int row = sheet.height() - 1;
  while (row >= 0 && !StripeInked(sheet, Stripes::kRows, row)) --row;
  return row;
}

// Shows `html` in `view`, from a page file in `dir`, for a print.
bool ShowForPrinting(CCodexaView& view, const QTemporaryDir& dir, const std::string& html) {
  view.resize(600, 400);
  view.show();
  const QString file = dir.filePath("windows1.html");
  return WritePrivateFile(PathOf(file), html) && LoadAndWait(&view, [&] { view.Navigate2(file); });
}

// The view's printer, set to write PDF files of A4 sheets at 72 dots an
// inch, one dot a point as the sheets are read back.
QPrinter& PdfPrinter(CCodexaView& view) {
  QPrinter& printer = view.Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(72);
  printer.setPageSize(QPageSize(QPageSize::A4));
  return printer;
}

// Prints the view's page into `pdf` and reads its sheets back; none when the
// print failed or took over a minute.
std::vector<QImage> PrintedSheets(CCodexaView& view, const QString& pdf) {
  view.Printer().setOutputFileName(pdf);
  QSignalSpy ended(&view, &CCodexaView::PrintEnded);
  view.PrintNow();
  if (!QTest::qWaitFor([&] { return !ended.isEmpty(); }, 60000) || !ended.at(0).at(0).toBool()) return {};
  return Sheets(pdf);
}

}  // namespace

class WidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void resourceButtonDrawsItsFourFaces() {
    QTemporaryDir dir;
    QWidget parent;
    CToolTipResourceButton button(QStringLiteral("<"), &parent);
    button.move(7, 9);
    QVERIFY(!button.LoadStrip(dir.filePath("missing.png")));
    QVERIFY(button.LoadStrip(WriteStrip(dir)));
    QCOMPARE(button.size(), QSize(10, 8));
    QCOMPARE(button.pos(), QPoint(7, 9));
    QCOMPARE(DrawnColour(button), QColor(Qt::red));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(DrawnColour(button), QColor(Qt::blue));
    button.setDown(true);
    QCOMPARE(DrawnColour(button), QColor(Qt::green));
    button.setDown(false);
    button.setEnabled(false);
    QCOMPARE(DrawnColour(button), QColor(Qt::black));  // also while hot
    button.setEnabled(true);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(DrawnColour(button), QColor(Qt::red));
  }

  void tipText() {
    CToolTipButton button(QStringLiteral(">"));
    button.SetTipText(QString(), true);
    QCOMPARE(button.toolTip(), QString());
    button.SetTipText(QStringLiteral("Next Page"), true);
    button.SetTipText(QStringLiteral("Previous Page"), true);
    QCOMPARE(button.toolTip(), QStringLiteral("Previous Page"));
    button.SetTipText(QString(), false);  // no text: nothing changes
    QCOMPARE(button.toolTip(), QStringLiteral("Previous Page"));
    button.ActivateTip(false);
    QCOMPARE(button.toolTip(), QString());
    button.ActivateTip(true);
    QCOMPARE(button.toolTip(), QStringLiteral("Previous Page"));
  }

  void pageHeaderSortsVisibleRowsByNumber() {
    CSortListCtrl list;
    list.setHeaderLabels({"類別", "書名", "巻", "頁"});
    const int numbers[] = {10, 9, 100, 2};
    for (int i = 0; i < 4; ++i) list.AppendRow({"a", "b", "c", QString::number(numbers[i])}, 1000 + i);
    list.setCurrentItem(list.topLevelItem(2));
    QSignalSpy selection(list.selectionModel(), &QItemSelectionModel::selectionChanged);
    for (int column = 0; column < 3; ++column) {
      list.OnHeaderClicked(column);
      QCOMPARE(list.RowPage(0), uint32_t{1000});
    }
    list.OnHeaderClicked(CSortListCtrl::kPageColumn);
    QList<uint32_t> order;
    for (int row = 0; row < 4; ++row) order << list.RowPage(row);
    QCOMPARE(order, (QList<uint32_t>{1003, 1001, 1000, 1002}));
    QCOMPARE(list.selectedItems().first()->text(3), QStringLiteral("100"));
    QCOMPARE(selection.count(), 0);  // sorting opens no hit
  }

  void columnsFitTheirTextsAsTheStandardDelegateFitsThem() {
    // The list remembers the sizes of its texts; a plain list measures
    // every one. Both fit their columns alike, in any font.
    CSortListCtrl remembering, plain;
    plain.setItemDelegate(new QStyledItemDelegate(&plain));
    const QStringList rows[] = {{"集部", "御定全唐詩", "卷一", "1"}, {"經部", "論語", "01 學而", "12"},
                                {"集部", "御定全唐詩", "卷八百九十九", "1"}, {"子部", "千家詩", "卷一", "123"}};
    for (CSortListCtrl* list : {&remembering, &plain}) {
      list->setHeaderLabels({"類別", "書名", "巻", "頁"});
      for (const QStringList& texts : rows) list->AppendRow(texts, 0);
    }
    QList<int> before;
    for (int pointSize : {9, 20}) {
      for (CSortListCtrl* list : {&remembering, &plain}) {
        QFont font = list->font();
        font.setPointSize(pointSize);
        list->setFont(font);
        for (int column = 0; column < 4; ++column) list->resizeColumnToContents(column);
      }
      QList<int> widths;
      for (int column = 0; column < 4; ++column) {
        QCOMPARE(remembering.columnWidth(column), plain.columnWidth(column));
        widths << remembering.columnWidth(column);
      }
      QVERIFY(widths != before);  // the font change was measured afresh
      before = widths;
    }
  }

  void laterColumnIsWorkedOutOnceWhenAsked() {
    CSortListCtrl list;
    list.setHeaderLabels({"頁", "用例"});
    int asked = 0;
    list.AppendRow({"1"}, 7, [&asked] {
      ++asked;
      return QStringLiteral("【雲】");
    });
    list.AppendRow({"2"}, 8, [] { return QString(); });
    QCOMPARE(asked, 0);
    QCOMPARE(list.topLevelItem(0)->text(1), QStringLiteral("【雲】"));
    QCOMPARE(list.topLevelItem(0)->text(1), QStringLiteral("【雲】"));
    QCOMPARE(asked, 1);
    QCOMPARE(list.topLevelItem(1)->text(1), QString());
    QCOMPARE(list.topLevelItem(0)->text(0), QStringLiteral("1"));
  }

  void readNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");
    QTest::newRow("plain") << "12" << qint64(12);
    QTest::newRow("blanks and sign") << "  +7x" << qint64(7);
    QTest::newRow("negative") << "-3" << qint64(-3);
    QTest::newRow("no digits") << "abc" << qint64(0);
    QTest::newRow("overlong stays large") << "4294967297" << qint64(4294967297);
    QTest::newRow("saturates") << "123456789012345678901234567890" << qint64(1000000000000000);
  }
  void readNumber() {
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QCOMPARE(CSortListCtrl::ReadNumber(text), value);
  }

  void keywordTurnsIdeographicSpaces() {
    CKeywordBox box;
    QCOMPARE(box.ReadKeyword(), std::u16string());
    box.setText(QStringLiteral("明月　清風　"));
    QCOMPARE(box.ReadKeyword(), std::u16string(u"明月 清風 "));
    QCOMPARE(box.text(), QStringLiteral("明月　清風　"));
  }

  // A name typed without an ending gets the chosen type's; a name with one
  // keeps it, and ".tsv" or ".txt" makes the file TSV whatever the type.
  void savedResultGetsTheTypesEnding_data() {
    QTest::addColumn<bool>("chooseTsv");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("firstLine");
    const QString csv = QStringLiteral("類別,書名,巻,頁,件数");
    const QString tsv = QStringLiteral("類別\t書名\t巻\t頁\t件数");
    QTest::newRow("csv, no ending") << false << "list" << "list.csv" << csv;
    QTest::newRow("tsv, no ending") << true << "list" << "list.tsv" << tsv;
    QTest::newRow("tsv, own ending") << true << "list.tsv" << "list.tsv" << tsv;
    QTest::newRow("csv, text ending") << false << "list.txt" << "list.txt" << tsv;
  }
  void savedResultGetsTheTypesEnding() {
    QFETCH(bool, chooseTsv);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, firstLine);
    QTemporaryDir dir;
    const SearchNodeTag entry{u"經部", u"詩經", u"卷一", 0, 1, 2};
    // The user's steps in the dialog: the type from its list, a name, Enter.
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->setDirectory(dir.path());
      if (chooseTsv) QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      name->setText(typed);
      QTest::keyClick(name, Qt::Key_Return);
    });
    QVERIFY(SaveResultList(nullptr, std::span(&entry, 1)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readLine()).trimmed(), firstLine);
  }

  void pageFolderIsPrivate() {
    QTemporaryDir base;
    CPageFolder folder;
    std::string error;
    QVERIFY(folder.Prepare(PathOf(base.path()), error));
    const std::filesystem::path user = PathOf(base.path()) / ("codexa-" + std::to_string(getuid()));
    QCOMPARE(folder.root().parent_path(), user);
    QVERIFY(folder.root().filename().string().starts_with(std::to_string(getpid()) + "-"));
    QVERIFY(IsPrivateFolder(user));
    QVERIFY(IsPrivateFolder(folder.root()));
    QVERIFY(IsPrivateFolder(folder.root() / "pages"));
    QCOMPARE(folder.PageFile("windows.html"), folder.root() / "pages" / "windows.html");
    // A second reader shares the private folder, not the page folder, and
    // its start leaves the living first one alone.
    CPageFolder again;
    QVERIFY(again.Prepare(PathOf(base.path()), error));
    QCOMPARE(again.root().parent_path(), user);
    QVERIFY(again.root() != folder.root());
    QVERIFY(std::filesystem::is_directory(folder.root() / "pages"));
    // Each is removed with its reader, nothing else.
    const std::filesystem::path first = folder.root();
    folder.Remove();
    QVERIFY(!std::filesystem::exists(first));
    QVERIFY(std::filesystem::is_directory(again.root() / "pages"));
  }

  // Reader folders left behind: removed when no one holds them, kept while
  // their reader lives.
  void staleReaderFoldersGo_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("removed");
    QTest::newRow("lock free") << "free" << true;
    QTest::newRow("lock held") << "held" << false;
    QTest::newRow("lock missing") << "missing" << true;
    QTest::newRow("half made, maker dead") << "new dead" << true;
    QTest::newRow("half made, maker alive") << "new alive" << false;
    QTest::newRow("other name") << "other" << false;
  }
  void staleReaderFoldersGo() {
    QFETCH(QString, left);
    QFETCH(bool, removed);
    QTemporaryDir base;
    const std::filesystem::path user = PathOf(base.path()) / ("codexa-" + std::to_string(getuid()));
    QCOMPARE(::mkdir(user.c_str(), 0700), 0);
    // A process that is surely gone: a child that has been waited for.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    QVERIFY(dead > 0);
    ::waitpid(dead, nullptr, 0);
    std::string name = std::to_string(dead) + "-abc123";
    if (left == "new dead") name = "new-" + name;
    if (left == "new alive") name = "new-" + std::to_string(getpid()) + "-abc123";
    if (left == "other") name = "notes";
    const std::filesystem::path folder = user / name;
    std::filesystem::create_directories(folder / "pages");
    std::ofstream(folder / "pages" / "windows.html") << "old page";
    int lock = -1;
    if (left != "missing") {
      lock = ::open((folder / "lock").c_str(), O_RDWR | O_CREAT, 0600);
      QVERIFY(lock >= 0);
      if (left == "held") QCOMPARE(::flock(lock, LOCK_EX), 0);
    }
    CPageFolder folderOfNew;
    std::string error;
    QVERIFY(folderOfNew.Prepare(PathOf(base.path()), error));
    QCOMPARE(!std::filesystem::exists(folder), removed);
    if (!removed) QCOMPARE(ReadFile(folder / "pages" / "windows.html"), std::string("old page"));
    if (lock >= 0) ::close(lock);
  }

  // Links planted in the private folder are removed as links: what they
  // point at stays, however it is named.
  void staleFoldersNeverLeadOutside_data() {
    QTest::addColumn<QString>("planted");
    QTest::newRow("reader folder as link") << "folder link";
    QTest::newRow("pages as link") << "pages link";
    QTest::newRow("lock as link") << "lock link";
    QTest::newRow("page as link") << "page link";
  }
  void staleFoldersNeverLeadOutside() {
    QFETCH(QString, planted);
    QTemporaryDir base, elsewhere;
    namespace fs = std::filesystem;
    const fs::path user = PathOf(base.path()) / ("codexa-" + std::to_string(getuid()));
    const fs::path outside = PathOf(elsewhere.path());
    QCOMPARE(::mkdir(user.c_str(), 0700), 0);
    // What a link could reach: a free lock, a page and a folder of pages.
    std::ofstream(outside / "lock") << "";
    std::ofstream(outside / "victim") << "mine";
    fs::create_directory(outside / "pages");
    std::ofstream(outside / "pages" / "windows.html") << "mine";
    const fs::path stale = user / "1-abc123";
    if (planted == "folder link") {
      fs::create_directory_symlink(outside, stale);
    } else {
      fs::create_directory(stale);
      std::ofstream(stale / "lock") << "";
      if (planted == "pages link") fs::create_directory_symlink(outside / "pages", stale / "pages");
      if (planted == "lock link") {
        fs::remove(stale / "lock");
        fs::create_symlink(outside / "lock", stale / "lock");
      }
      if (planted == "page link") {
        fs::create_directory(stale / "pages");
        fs::create_symlink(outside / "victim", stale / "pages" / "windows.html");
      }
    }
    RemoveStaleReaderFolders(user);
    QCOMPARE(ReadFile(outside / "victim"), std::string("mine"));
    QCOMPARE(ReadFile(outside / "pages" / "windows.html"), std::string("mine"));
    QVERIFY(fs::exists(outside / "lock"));
    // A link is not a reader folder: it stays; a real folder goes, links
    // inside it with it.
    QCOMPARE(fs::exists(fs::symlink_status(stale)), planted == "folder link");
  }

  void plantedFoldersAreNotUsed_data() {
    QTest::addColumn<QString>("planted");
    QTest::newRow("link") << "link";
    QTest::newRow("open to others") << "open";
    QTest::newRow("file") << "file";
  }
  void plantedFoldersAreNotUsed() {
    QFETCH(QString, planted);
    QTemporaryDir base, elsewhere;
    const std::filesystem::path fixed = PathOf(base.path()) / ("codexa-" + std::to_string(getuid()));
    if (planted == "link") {
      std::filesystem::create_directory_symlink(PathOf(elsewhere.path()), fixed);
      ::chmod(elsewhere.path().toLocal8Bit(), 0700);
    } else if (planted == "open") {
      std::filesystem::create_directory(fixed);
      ::chmod(fixed.c_str(), 0777);
    } else {
      QFile(QString::fromStdString(fixed.string())).open(QIODevice::WriteOnly);
    }
    CPageFolder folder;
    std::string error;
    QVERIFY(folder.Prepare(PathOf(base.path()), error));
    QVERIFY(folder.root() != fixed);
    QVERIFY(IsPrivateFolder(folder.root()));
    QVERIFY(WritePrivateFile(folder.PageFile("windows.html"), "page"));
    QVERIFY(QDir(elsewhere.path()).isEmpty());
  }

  void writingNeverFollowsALink() {
    QTemporaryDir dir;
    const std::filesystem::path victim = PathOf(dir.filePath("victim"));
    const std::filesystem::path page = PathOf(dir.filePath("windows.html"));
    QVERIFY(WritePrivateFile(victim, "mine"));
    std::filesystem::create_symlink(victim, page);
    QVERIFY(!WritePrivateFile(page, "page"));
    QCOMPARE(ReadFile(victim), std::string("mine"));
    // Nor a link in place of its folder.
    const std::filesystem::path linked = PathOf(dir.filePath("linked"));
    std::filesystem::create_directory_symlink(PathOf(dir.path()), linked);
    QVERIFY(!WritePrivateFile(linked / "victim", "page"));
    QCOMPARE(ReadFile(victim), std::string("mine"));
    QVERIFY(!WritePrivateFile({}, "x"));
  }

  void backgroundBesideThePages() {
    QTemporaryDir base, program;
    CPageFolder folder;
    std::string error;
    QVERIFY(folder.Prepare(PathOf(base.path()), error));
    QVERIFY(folder.InstallBackground(PathOf(program.filePath("Back.gif")), "built-in"));
    QCOMPARE(ReadFile(folder.PageFile("..") / "Back.gif"), std::string("built-in"));
    QFile own(program.filePath("Back.gif"));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.write("GIF89a-own");
    own.close();
    QVERIFY(folder.InstallBackground(PathOf(program.filePath("Back.gif")), "built-in"));
    QCOMPARE(ReadFile(folder.root() / "Back.gif"), std::string("GIF89a-own"));
  }

  // Only the processor-drawn OpenGL of Mesa moves the view to software;
  // chips' drivers, LLVM-built ones among them, and no OpenGL at all keep it.
  void softwareOpenGLComposesInSoftware_data() {
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("software");
    QTest::newRow("llvmpipe") << "llvmpipe (LLVM 15.0.6, 256 bits)" << true;
    QTest::newRow("old gallium llvmpipe") << "Gallium 0.4 on llvmpipe (LLVM 3.4, 128 bits)" << true;
    QTest::newRow("softpipe") << "softpipe" << true;
    QTest::newRow("swrast") << "Mesa X11 swrast" << true;
    QTest::newRow("classic software") << "Software Rasterizer" << true;
    QTest::newRow("radeon built with llvm") << "AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49)" << false;
    QTest::newRow("intel") << "Mesa Intel(R) UHD Graphics 620 (KBL GT2)" << false;
    QTest::newRow("nvidia") << "NVIDIA GeForce GTX 1060/PCIe/SSE2" << false;
    QTest::newRow("virtual gpu") << "virgl (Mesa Intel(R) UHD Graphics)" << false;
    QTest::newRow("no opengl") << "" << false;
  }
  void softwareOpenGLComposesInSoftware() {
    QFETCH(QString, renderer);
    QFETCH(bool, software);
    QCOMPARE(CompositingForRenderer(renderer) == ViewCompositing::kSoftware, software);
  }

  void viewMenuAndLocation() {
    QTemporaryDir dir;
    CCodexaView view;
    view.resize(400, 300);
    view.show();
    QCOMPARE(view.GetLocationURL(), QStringLiteral("about:blank"));
    QVERIFY(view.ShowsBlank());
    QVERIFY(view.CreateContextMenu() == nullptr);
    const QString file = dir.filePath("page #1.html");
    QFile page(file);
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><body><p>one</p><a name=\"0000\"></a>two</body></html>");
    page.close();
    QVERIFY(LoadAndWait(&view, [&] { view.Navigate2(file + "#0000"); }));
    const QUrl shown(view.GetLocationURL());
    QCOMPARE(shown.toLocalFile(), file);
    QCOMPARE(shown.fragment(), QStringLiteral("0000"));
    QCOMPARE(view.url(), shown);
    std::unique_ptr<QMenu> menu(view.CreateContextMenu());
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions()[0]->text(), QStringLiteral("コピー"));
    QCOMPARE(menu->actions()[1]->text(), QStringLiteral("すべて選択。"));
    // Select all then copy puts the page's text on the clipboard.
    view.OnSelectAll();
    QTRY_VERIFY(view.hasSelection());
    QCOMPARE(view.selectedText().simplified(), QStringLiteral("one two"));
  }

  void rewrittenPageFileIsReadAgain() {
    QTemporaryDir dir;
    CCodexaView view;
    view.show();
    const QString file = dir.filePath("windows.html");
    for (const char* text : {"first", "second"}) {
      QVERIFY(WritePrivateFile(PathOf(file), std::string("<html><body>") + text + "</body></html>"));
      QVERIFY(LoadAndWait(&view, [&] { view.Navigate2(file); }));
      QTRY_COMPARE(RunScript(&view, "document.body.textContent").toString(), QString::fromLatin1(text));
    }
  }

  // Private-use characters (one of the BMP, one of plane 15) are framed
  // with their code point as tool tip; others are left as they are, and
  // the page file keeps its bytes.
  void privateUseCharactersAreFramed() {
    QTemporaryDir dir;
    CCodexaView view;
    view.show();
    const QString file = dir.filePath("windows.html");
    const std::string bytes = "<html><body><p>\xE5\xAD\xB8\xEE\x80\x81\xF0\xA7\xBD\xBC\xF3\xB0\x80\x80</p></body></html>";
    QVERIFY(WritePrivateFile(PathOf(file), bytes));
    QVERIFY(LoadAndWait(&view, [&] { view.Navigate2(file); }));
    QTRY_COMPARE(RunScript(&view, "Array.from(document.querySelectorAll('.codexa-private')).map(e => e.title).join(' ')")
                     .toString(),
                 QStringLiteral("U+E001（私用領域の文字） U+F0000（私用領域の文字）"));
    QCOMPARE(RunScript(&view, "document.body.textContent").toString(),
             QString::fromUtf8("\xE5\xAD\xB8\xEE\x80\x81\xF0\xA7\xBD\xBC\xF3\xB0\x80\x80"));
    QCOMPARE(ReadFile(PathOf(file)), bytes);
  }

  // In vertical writing a move to an anchor of the page shown (what F3 and
  // Alt+F3 do) scrolls sideways, leaving a few columns before the anchor.
  void verticalAnchorMovesScrollSideways() {
    QTemporaryDir dir;
    CCodexaView view;
    view.resize(600, 400);
    view.show();
    view.SetVertical(true);
    std::string body;
    for (int line = 0; line < 200; ++line) {
      if (line == 60) body += "<a name=\"0000\"></a>";
      if (line == 150) body += "<a name=\"0001\"></a>";
      body += "line<br>";
    }
    const QString file = dir.filePath("windows1.html");
    QVERIFY(WritePrivateFile(PathOf(file), "<html><body>" + body + "</body></html>"));
    // The distance in pixels of an anchor's box from the view's right edge:
    // a few 16-pixel lines.
    auto fromRight = [&view](const char* name) {
      return RunScript(&view, QStringLiteral("var r = document.getElementsByName('%1')[0].getBoundingClientRect();"
                                             "window.innerWidth - r.right")
                                  .arg(QLatin1String(name)))
          .toDouble();
    };
    QVERIFY(LoadAndWait(&view, [&] { view.Navigate2(file + "#0000"); }));
    QTRY_VERIFY(RunScript(&view, "window.scrollX").toDouble() < -100);
    const double first = RunScript(&view, "window.scrollX").toDouble();
    QVERIFY2(fromRight("0000") >= 32 && fromRight("0000") < 128, qPrintable(QString::number(fromRight("0000"))));
    view.Navigate2(file + "#0001");
    QTRY_VERIFY(RunScript(&view, "window.scrollX").toDouble() < first - 100);
    QTRY_VERIFY(fromRight("0001") >= 32 && fromRight("0001") < 128);
  }

  // A hit in the first columns of a vertical page leaves the page at its
  // start, where its fold column stands, instead of moving it a few columns
  // on and the fold off the view.
  void verticalHitNearThePagesStartKeepsItsFold() {
    QTemporaryDir dir;
    CCodexaView view;
    view.resize(600, 400);
    view.show();
    view.SetVertical(true);
    const QString file = dir.filePath("windows1.html");
    std::string lines;
    for (int line = 0; line < 200; ++line) lines += "line<br>";
    QVERIFY(WritePrivateFile(PathOf(file),
                             "<html><body><table><tr><td><div id=\"fold\">fold</div></td></tr>"
                             "<tr><td>line<br>line<br><a name=\"0000\"></a><b>hit</b><br>" +
                                 lines + "</td></tr></table></body></html>"));
    QVERIFY(LoadAndWait(&view, [&] { view.Navigate2(file + "#0000"); }));
    QTRY_VERIFY(RunScript(&view, "document.documentElement.scrollWidth > window.innerWidth").toBool());
    QTRY_COMPARE(RunScript(&view, "window.scrollX").toDouble(), 0.0);
    QVERIFY(RunScript(&view, "document.getElementById('fold').getBoundingClientRect().right <= window.innerWidth")
                .toBool());
  }

  // The corpus's pages hold their text in a block of a fixed width, which
  // in vertical writing is the depth of its stack of columns: the text
  // must stay inside the page's table instead of running out of it to the
  // left.
  void verticalTextStaysInsideThePage() {
    QTemporaryDir dir;
    CCodexaView view;
    view.resize(600, 400);
    view.show();
    view.SetVertical(true);
    std::string text;
    for (int i = 0; i < 400; ++i) text += "\xE5\xAD\xB8";  // 學
    const QString file = dir.filePath("windows.html");
    QVERIFY(WritePrivateFile(PathOf(file), "<html><body><table style=\"border:1px solid\"><tr><TD width=80>fold</TD>"
                                           "<TD><div style=\"width:430px\">" + text + "</div></TD></tr></table></body></html>"));
    QVERIFY(LoadAndWait(&view, [&] { view.Navigate2(file); }));
    const QString overflow = QStringLiteral(
        "var t = document.querySelector('table').getBoundingClientRect();"
        "var r = document.createRange();"
        "r.selectNodeContents(document.querySelector('div'));"
        "var d = r.getBoundingClientRect();"
        "Math.max(t.left - d.left, d.right - t.right)");
    QTRY_VERIFY2(RunScript(&view, overflow).toDouble() <= 0, qPrintable(RunScript(&view, overflow).toString()));
    // Horizontal writing keeps the block as the page made it.
    view.SetVertical(false);
    QTRY_COMPARE(RunScript(&view, "document.querySelector('div').getBoundingClientRect().width").toDouble(), 430.0);
  }

  // A page of the corpus's shape printed in vertical writing sets its
  // columns like a vertically set book: from the sheet's top (no band of
  // empty paper above them, as when the page's table was centred down the
  // sheet), at the size the same page prints in horizontal writing.
  void verticalPrintSetsColumnsFromTheSheetsTop() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
      QSKIP("pdftoppm (poppler-utils) is needed to read the printed sheets back");
    }
    QTemporaryDir dir;
    CCodexaView view;
    QVERIFY(ShowForPrinting(view, dir, StoredShapePage(30)));
    PdfPrinter(view);
    auto printSheet = [&](bool vertical) {
      view.SetVertical(vertical);
      const QString pdf = dir.filePath(vertical ? "vertical.pdf" : "horizontal.pdf");
      const std::vector<QImage> sheets = PrintedSheets(view, pdf);
      return sheets.empty() ? QImage() : sheets.front();
    };
    const QImage horizontal = printSheet(false);
    const QString extent = QStringLiteral("document.documentElement.scrollWidth + ' ' + document.body.scrollHeight");
    view.SetVertical(true);
    QTRY_VERIFY(RunScript(&view, "document.documentElement.classList.contains('codexa-vertical')").toBool());
    const QString shown = RunScript(&view, extent).toString();
    const QImage vertical = printSheet(true);
    QVERIFY(!horizontal.isNull() && !vertical.isNull());
    // The print's layout is for paper only: the screen keeps its own.
    QCOMPARE(RunScript(&view, extent).toString(), shown);
    // The sheet's own margin and the text block's padding, a few points.
    QVERIFY2(FirstInkedRow(vertical) < vertical.height() / 20, qPrintable(QString::number(FirstInkedRow(vertical))));
    // A column of characters is as broad as a line of them is high.
    const int lineHeight = Median(InkRuns(horizontal, Stripes::kRows));
    const int columnWidth = Median(InkRuns(vertical, Stripes::kColumns));
    QVERIFY2(lineHeight > 0 && std::abs(columnWidth - lineHeight) * 5 <= lineHeight,
             qPrintable(QStringLiteral("%1 %2").arg(columnWidth).arg(lineHeight)));
  }

  // Wide margins keep every line: each sheet's text stands inside the
  // margins set, and the lines at each sheet's foot go on the next sheet
  // instead of off the paper.
  void wideMarginsPrintEveryLineInsideThem() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
      QSKIP("pdftoppm (poppler-utils) is needed to read the printed sheets back");
    }
    constexpr int kLines = 90;
    std::string lines;
    for (int line = 0; line < kLines; ++line) {
      lines += "<div>\xE9\x97\x9C\xE9\x97\x9C\xE9\x9B\x8E\xE9\xB3\xA9</div>";  // 關關雎鳩
    }
    QTemporaryDir dir;
    CCodexaView view;
    const std::string page = "<html><head><meta charset=UTF-8></head><body style=\"font-size:20px\">" + lines;
    QVERIFY(ShowForPrinting(view, dir, page + "</body></html>"));
    constexpr int kMargin = 72;
    PdfPrinter(view).setPageMargins(QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Point);
    const std::vector<QImage> sheets = PrintedSheets(view, dir.filePath("margins.pdf"));
    QVERIFY(sheets.size() >= 2);
    size_t printed = 0;
    for (const QImage& sheet : sheets) {
      printed += InkRuns(sheet, Stripes::kRows).size();
      const QString rows = QStringLiteral("%1 %2 of %3").arg(FirstInkedRow(sheet)).arg(LastInkedRow(sheet));
      QVERIFY2(FirstInkedRow(sheet) >= kMargin && LastInkedRow(sheet) < sheet.height() - kMargin,
               qPrintable(rows.arg(sheet.height())));
    }
    QCOMPARE(printed, size_t{kLines});
  }

  // Copies the device does not make go out as whole documents when
  // collated, page by page when not, and backwards for a printer that
  // takes the last page first.
  void copiesAndPageOrderAsThePrinterSays_data() {
    QTest::addColumn<bool>("collate");
    QTest::addColumn<bool>("lastFirst");
    QTest::addColumn<QList<int>>("sheets");  // the pages of one copy, in print order
    QTest::newRow("collated") << true << false << QList<int>{0, 1, 0, 1};
    QTest::newRow("not collated") << false << false << QList<int>{0, 0, 1, 1};
    QTest::newRow("last first, collated") << true << true << QList<int>{1, 0, 1, 0};
  }
  void copiesAndPageOrderAsThePrinterSays() {
    QFETCH(bool, collate);
    QFETCH(bool, lastFirst);
    QFETCH(QList<int>, sheets);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
      QSKIP("pdftoppm (poppler-utils) is needed to read the printed sheets back");
    }
    QTemporaryDir dir;
    CCodexaView view;
    // Two pages told apart by where their one line stands.
    QVERIFY(ShowForPrinting(view, dir,
                            "<html><body><div>one</div><div style=\"break-before:page;padding-top:200px\">"
                            "two</div></body></html>"));
    QPrinter& printer = PdfPrinter(view);
    QVERIFY(!printer.supportsMultipleCopies());
    printer.setCopyCount(2);
    printer.setCollateCopies(collate);
    printer.setPageOrder(lastFirst ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
    const std::vector<QImage> printed = PrintedSheets(view, dir.filePath("copies.pdf"));
    QList<int> pages;
    for (const QImage& sheet : printed) pages << (FirstInkedRow(sheet) > 150 ? 1 : 0);
    QCOMPARE(pages, sheets);
  }
};

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
