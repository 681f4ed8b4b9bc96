// The main window on a small corpus: start state, menus and enabling, the
// left-pane toggle and the saved layout, the page, volume and hit commands,
// and the page slider.
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMovie>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWindow>
#include <memory>
#include <optional>

#include "app/helpwnd.h"
#include "app/splash.h"
#include "app/tests/framefixture.h"
#include "app/titles.h"
#include "panel/concordancewnd.h"
#include "panel/keywordbox.h"
#include "panel/sortlistctrl.h"
#include "panel/testcorpus.h"
#include "panel/testsupport.h"
#include "view/codexaview.h"

using namespace codexa::apptest;
using namespace codexa::paneltest;

namespace {

// The fixture's volumes: record -> first and last file number.
struct Volume {
  int record, first, last;
};
constexpr Volume kVolumes[] = {{3, 1, 3}, {4, 4, 5}, {6, 6, 106}, {9, 107, 108}};

// Whether a display name of its own has been set: an unset one follows the
// application name (Qt keeps the set one in a private place).
bool DisplayNameSet() {
  const QString name = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(name + QStringLiteral(" (probe)"));
  const bool set = QGuiApplication::applicationDisplayName() != QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(name);
  return set;
}

// The caption the window system shows for `window`. Qt hands the platform
// the window's title followed by " — " and the display name when one has
// been set and the title does not already end with it (X11 and Windows).
QString ShownCaption(const QWindow* window) {
  QString caption = window->title();
  const QString display = QGuiApplication::applicationDisplayName();
  if (DisplayNameSet() && !caption.endsWith(display)) caption += QStringLiteral(" \u2014 ") + display;
  return caption;
}

// Under X11 with xprop at hand, the caption the window manager reads;
// a null string elsewhere.
QString XCaption(const QWindow* window) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return QString();
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"),
              {QStringLiteral("-id"), QString::number(window->winId()), QStringLiteral("_NET_WM_NAME")});
  if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0) return QString();
  const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
  const qsizetype quote = out.indexOf(u'"');
  return quote < 0 ? QString() : out.mid(quote + 1).chopped(1);
}

// Every message box that comes up while it lives: its caption and text,
// and whether a splash was still on screen when it came. Each box is
// answered with OK.
class CBoxWatcher : public QObject {
 public:
  struct Box {
    QString caption, text;
    bool splashShown;
  };
  CBoxWatcher() {
    connect(&m_timer, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible() || box == m_pLast) return;
      m_pLast = box;
      bool splash = false;
      for (QWidget* window : QApplication::topLevelWidgets()) {
        splash |= qobject_cast<CSplashWnd*>(window) && window->isVisible();
      }
      boxes.push_back({box->windowTitle(), box->text(), splash});
      box->button(QMessageBox::Ok)->click();
    });
    m_timer.start(10);
  }
  std::vector<Box> boxes;

 private:
  QTimer m_timer;
  QPointer<QMessageBox> m_pLast;
};

}  // namespace

class MainFrameTest : public QObject, protected CFrameFixture {
  Q_OBJECT

 private:
  bool Enabled(Command command) {
    m_pFrame->UpdateCommandUI();
    return m_pFrame->Action(command)->isEnabled();
  }
  void SelectRecord(int record) { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(record)); }
  QString Label() { return m_pFrame->navBar().label().text(); }
  QString LabelFor(int fileNumber) {
    return QStringLiteral("%1/%2").arg(form()->index().GetPageCount()).arg(fileNumber);
  }
  // The current tree item's record, or 0.
  int SelectedRecord() {
    QTreeWidgetItem* item = form()->tree()->currentItem();
    for (int r = 1; item && r < form()->catalogue().NodeCount(); ++r) {
      if (form()->TreeItemOfRecord(r) == item) return r;
    }
    return 0;
  }
 private slots:
  void initTestCase() {
    SetUpCorpus();
    QFile::copy(QStringLiteral(CODEXA_SOURCE_DIR "/res/Back.gif"), m_corpusDir.filePath("Back.gif"));
  }
  void init() {
    m_pWarnings = std::make_unique<CWarningRecorder>();
    m_pFrame = std::make_unique<CMainFrame>(Places());
    m_pFrame->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(m_pFrame.get()));
  }
  void cleanup() {
    m_pFrame.reset();
    m_pWarnings.reset();
  }

  void startsBlankWithItsCommandsDisabled() {
    QCOMPARE(m_pFrame->windowTitle(), QStringLiteral("Codexa"));
    QVERIFY(m_pFrame->isMaximized());
    QCOMPARE(m_pFrame->panes().sizes().at(0), 260);
    QCOMPARE(m_pFrame->GetTextView()->GetLocationURL(), QStringLiteral("about:blank"));
    using enum Command;
    for (Command command : {kEditCopy, kEditSelectAll, kFilePrint, kFilePrintSetup, kPrevPage, kNextPage, kPrevVolume,
                            kNextVolume, kPrevHit, kNextHit}) {
      QVERIFY2(!Enabled(command), qPrintable(QString::number(static_cast<int>(command))));
    }
    QVERIFY(Enabled(Command::kToggleLeftPane));
    QVERIFY(Enabled(Command::kHelpFile));
    Trigger(Command::kViewStatusBar);
    QVERIFY(!m_pFrame->findChild<QStatusBar*>());
    QStringList menus;
    for (QAction* menu : m_pFrame->menuBar()->actions()) menus << menu->text();
    // The frame's first menus, with the concordance's and the bookmarks' own menus
    // added before help.
    QCOMPARE(menus, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "一覧", "用例(&U)", "しおり(&B)", "ヘルプ(&H)"}));
    QStringList usage;
    for (QAction* item : m_pFrame->menuBar()->actions()[4]->menu()->actions()) usage << item->text();
    QCOMPARE(usage, (QStringList{"用例一覧(&K)", "結果を保存(&S)…"}));
    QCOMPARE(m_pFrame->menuBar()->actions()[4]->menu()->actions()[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    QCOMPARE(m_pFrame->Action(Command::kNextHit)->shortcut(), QKeySequence(Qt::Key_F3));
    QCOMPARE(m_pFrame->Action(Command::kPrevHit)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F3));
    QCOMPARE(m_pFrame->navBar().slider().maximum(), 0);
    QVERIFY(Label().isEmpty());
    // Ctrl+C on the blank page does nothing: the command is disabled.
    QTest::keyClick(m_pFrame.get(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(m_pWarnings->messages.empty());
  }

  // The concordance and the saving of the list need a result with entries;
  // without one Ctrl+K opens no empty window.
  void resultCommandsNeedAResult() {
    using enum Command;
    QVERIFY(!Enabled(kConcordance));
    QVERIFY(!Enabled(kSaveResult));
    m_pFrame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
    QTest::keyClick(m_pFrame.get(), Qt::Key_K, Qt::ControlModifier);
    QVERIFY(!m_pFrame->findChild<CConcordanceWnd*>());
    form()->SelectTab(CLeftForm::Tab::kSearch);
    form()->keywordBox()->setText(QStringLiteral("明月"));
    form()->searchButton()->click();
    QVERIFY(Enabled(kConcordance));
    QVERIFY(Enabled(kSaveResult));
    QTest::keyClick(m_pFrame.get(), Qt::Key_K, Qt::ControlModifier);
    QVERIFY(m_pFrame->findChild<CConcordanceWnd*>());
    delete m_pFrame->findChild<CConcordanceWnd*>();
    form()->keywordBox()->setText(QStringLiteral("龘"));
    form()->searchButton()->click();
    QVERIFY(form()->HitEntries().empty());
    QVERIFY(!Enabled(kConcordance));
    QVERIFY(!Enabled(kSaveResult));
  }

  // The frame's caption is the product title alone, as the window system
  // shows it; a message box keeps the application title.
  void captionIsTheProductTitleAlone() {
    QWindow* window = m_pFrame->windowHandle();
    QVERIFY(window);
    QCOMPARE(window->title(), QString::fromUtf8(kProductTitle));
    QCOMPARE(ShownCaption(window), QString::fromUtf8(kProductTitle));
    const QString x = XCaption(window);
    if (!x.isNull()) QCOMPARE(x, QString::fromUtf8(kProductTitle));
    m_pWarnings.reset();  // the box itself this time
    CBoxWatcher watcher;
    ShowWarning(kLastVolumeMessage);
    QCOMPARE(watcher.boxes.size(), size_t{1});
    QCOMPARE(watcher.boxes[0].caption, QString::fromUtf8(kApplicationTitle));
  }

  // A corpus without its files: both start-up failures come up, in order,
  // after the splash has gone, so nothing covers the boxes.
  void startFailuresComeAfterTheSplash() {
    m_pFrame.reset();
    m_pWarnings.reset();
    QTemporaryDir empty;
    const QString movie = empty.filePath(CSplashWnd::kMovieName);
    QVERIFY(QFile::copy(QStringLiteral(CODEXA_SOURCE_DIR "/res/splash.gif"), movie));
    QVERIFY(QMovie(movie).isValid());  // so a splash does come up
    CSplashWnd::EnableSplash(true);
    std::vector<CBoxWatcher::Box> boxes;
    {
      CBoxWatcher watcher;
      m_pFrame = std::make_unique<CMainFrame>(
          CLeftForm::Places{PathOf(empty.path()), PathOf(m_workDir.path()), PathOf(m_workDir.filePath("zemo.txt"))});
      boxes = watcher.boxes;
    }
    CSplashWnd::EnableSplash(false);
    QCOMPARE(boxes.size(), size_t{2});
    QCOMPARE(boxes[0].text, QString::fromUtf8(kOpenFailedMessage));
    QCOMPARE(boxes[1].text, QString::fromUtf8(kCatalogueMissingMessage));
    for (const CBoxWatcher::Box& box : boxes) {
      QVERIFY2(!box.splashShown, qPrintable(box.text));
      QCOMPARE(box.caption, QString::fromUtf8(kApplicationTitle));
    }
    QVERIFY(!CSplashWnd::Current());
    m_pFrame.reset();
  }

  // F3 works at once after a hit is opened: the opening itself refreshes
  // the enabling, without the idle pass.
  void nextHitKeyRightAfterOpeningAHit() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    form()->keywordBox()->setText(QStringLiteral("學 習 之 明月"));
    form()->modeButton(SearchMode::kOr)->setChecked(true);
    form()->searchButton()->click();
    QCOMPARE(form()->resultList()->RowPage(0), uint32_t{0});
    m_pFrame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
    m_pFrame->GetTextView()->setFocus();
    QVERIFY(!m_pFrame->Action(Command::kNextHit)->isEnabled());
    form()->OpenHit(0);
    QTest::keyClick(m_pFrame.get(), Qt::Key_F3);
    QCOMPARE(form()->Reading().CurHit(), 1);
    const QString file =
        QUrl::fromLocalFile(QString::fromStdU16String(form()->Reading().HitFile().u16string())).toString();
    QCOMPARE(m_pFrame->GetTextView()->GetLocationURL(), file + QStringLiteral("#0001"));
  }

  void leftPaneToggleKeepsTheViewAndTheWidth() {
    const int width = m_pFrame->panes().sizes().at(0);
    Trigger(Command::kToggleLeftPane);
    QVERIFY(!form()->isVisible());
    // The commands still reach the view while the left pane is hidden.
    SelectRecord(4);
    QVERIFY(Enabled(Command::kNextPage));
    Trigger(Command::kNextPage);
    QCOMPARE(form()->Reading().CurPage(), 5);
    QVERIFY(m_pFrame->GetTextView()->GetLocationURL().endsWith(QStringLiteral("windows.html")));
    Trigger(Command::kToggleLeftPane);
    QVERIFY(form()->isVisible());
    QCOMPARE(m_pFrame->panes().sizes().at(0), width);
    const int right = m_pFrame->panes().sizes().at(1);
    m_pFrame.reset();
    QCOMPARE(QSettings().value("SplitterWnd/Panes_0").toString(), QStringLiteral("-1 260 -1 %1").arg(right));
  }

  void savedLayoutWhileHidden() {
    Trigger(Command::kToggleLeftPane);
    m_pFrame.reset();
    QVERIFY(QSettings().value("SplitterWnd/Panes_0").toString().startsWith(QStringLiteral("0 260 -1 ")));
  }

  void pageCommandsWithinAVolume() {
    SelectRecord(3);  // files 1 .. 3
    QCOMPARE(m_pFrame->navBar().slider().minimum(), 1);
    QCOMPARE(m_pFrame->navBar().slider().maximum(), 3);
    QCOMPARE(m_pFrame->navBar().slider().GetPos(), 1);
    QCOMPARE(Label(), LabelFor(1));
    QVERIFY(!Enabled(Command::kPrevPage));
    QVERIFY(Enabled(Command::kNextPage));
    QVERIFY(Enabled(Command::kEditCopy));  // a page is shown now
    Trigger(Command::kNextPage);
    Trigger(Command::kNextPage);
    QCOMPARE(form()->Reading().CurPage(), 3);
    QCOMPARE(m_pFrame->navBar().slider().GetPos(), 3);
    QCOMPARE(Label(), LabelFor(3));
    QVERIFY(!Enabled(Command::kNextPage));
    Trigger(Command::kNextPage);  // disabled: nothing happens
    QCOMPARE(form()->Reading().CurPage(), 3);
    Trigger(Command::kPrevPage);
    QCOMPARE(form()->Reading().CurPage(), 2);
    QCOMPARE(Label(), LabelFor(2));
    Shoot(QStringLiteral("volume-page.png"));
  }

  void volumeCommandsWalkTheCatalogue() {
    SelectRecord(3);
    QVERIFY(!Enabled(Command::kPrevVolume));
    for (std::size_t i = 1; i < std::size(kVolumes); ++i) {
      QVERIFY(Enabled(Command::kNextVolume));
      Trigger(Command::kNextVolume);
      const Volume& v = kVolumes[i];
      QCOMPARE(form()->Reading().CurRecord(), v.record);
      QCOMPARE(form()->Reading().CurPage(), v.first);
      QCOMPARE(m_pFrame->navBar().slider().minimum(), v.first);
      QCOMPARE(m_pFrame->navBar().slider().maximum(), v.last);
      QCOMPARE(m_pFrame->navBar().slider().GetPos(), v.first);
      QCOMPARE(Label(), LabelFor(v.first));
      QCOMPARE(SelectedRecord(), v.record);  // across works and categories
    }
    QVERIFY(!Enabled(Command::kNextVolume));
    m_pFrame->OnNextVolume();  // directly, at the end
    QCOMPARE(m_pWarnings->messages, std::vector<std::string>{kLastVolumeMessage});
    QCOMPARE(form()->Reading().CurRecord(), 9);
    for (int i = int(std::size(kVolumes)) - 2; i >= 0; --i) {
      Trigger(Command::kPrevVolume);
      QCOMPARE(form()->Reading().CurRecord(), kVolumes[i].record);
      QCOMPARE(SelectedRecord(), kVolumes[i].record);
      QCOMPARE(Label(), LabelFor(kVolumes[i].first));
    }
    QVERIFY(!Enabled(Command::kPrevVolume));
    m_pFrame->OnPrevVolume();
    QCOMPARE(m_pWarnings->messages.back(), std::string(kFirstVolumeMessage));
    QCOMPARE(form()->Reading().CurRecord(), 3);
  }

  // With a work selected since the volume was chosen, the next volume
  // still selects the volume it shows, never a work or a category.
  void volumeCommandSelectsTheVolumeShown() {
    SelectRecord(4);
    SelectRecord(5);  // the work 雜篇: only the scope changes
    QCOMPARE(form()->Reading().CurRecord(), 4);
    Trigger(Command::kNextVolume);
    QCOMPARE(form()->Reading().CurRecord(), 6);
    QCOMPARE(SelectedRecord(), 6);
    QCOMPARE(form()->ScopeRecord(), 6);
  }

  void hitCommandsStepThroughTheAnchors() {
    QVERIFY(!Enabled(Command::kNextHit));
    QVERIFY(!Enabled(Command::kPrevHit));
    form()->SelectTab(CLeftForm::Tab::kSearch);
    // Page 0 holds all four keywords: four anchors.
    form()->keywordBox()->setText(QStringLiteral("學 習 之 明月"));
    form()->modeButton(SearchMode::kOr)->setChecked(true);
    form()->searchButton()->click();
    QVERIFY(!form()->HitEntries().empty());
    QCOMPARE(form()->resultList()->RowPage(0), uint32_t{0});
    form()->OpenHit(0);
    QCOMPARE(form()->Reading().CurHit(), 0);
    QCOMPARE(form()->Reading().PageHits(), 4);
    QVERIFY(!Enabled(Command::kPrevHit));
    QVERIFY(Enabled(Command::kNextHit));
    const QString file = QUrl::fromLocalFile(QString::fromStdU16String(form()->Reading().HitFile().u16string())).toString();
    m_pFrame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
    m_pFrame->GetTextView()->setFocus();
    for (int anchor = 1; anchor <= 3; ++anchor) {
      QTest::keyClick(m_pFrame.get(), Qt::Key_F3);
      QCOMPARE(form()->Reading().CurHit(), anchor);
      QCOMPARE(m_pFrame->GetTextView()->GetLocationURL(), file + QStringLiteral("#%1").arg(anchor, 4, 10, QChar(u'0')));
    }
    QVERIFY(!Enabled(Command::kNextHit));
    QTest::keyClick(m_pFrame.get(), Qt::Key_F3);
    QCOMPARE(form()->Reading().CurHit(), 3);
    QTest::keyClick(m_pFrame.get(), Qt::Key_F3, Qt::AltModifier);
    QCOMPARE(form()->Reading().CurHit(), 2);
    QCOMPARE(m_pFrame->GetTextView()->GetLocationURL(), file + "#0002");
    Shoot(QStringLiteral("hit-page.png"));
    // A new search starts the anchors again on the same hit page.
    form()->searchButton()->click();
    QCOMPARE(form()->Reading().CurHit(), 0);
    QVERIFY(!Enabled(Command::kPrevHit));
    QVERIFY(Enabled(Command::kNextHit));
    QTest::keyClick(m_pFrame.get(), Qt::Key_F3);
    QCOMPARE(m_pFrame->GetTextView()->GetLocationURL(), file + "#0001");
  }

  void sliderDragShowsExactlyOnePage() {
    SelectRecord(6);  // files 6 .. 106
    CXSliderCtrl& slider = m_pFrame->navBar().slider();
    QTest::qWait(300);
    QSignalSpy loads(m_pFrame->GetTextView(), &QWebEngineView::loadStarted);
    slider.setSliderDown(true);
    for (int pos = 7; pos <= 80; ++pos) slider.setSliderPosition(pos);
    QCOMPARE(form()->Reading().CurPage(), 6);
    slider.setSliderDown(false);
    QCOMPARE(form()->Reading().CurPage(), 80);
    QCOMPARE(Label(), LabelFor(80));
    QTest::qWait(500);
    QCOMPARE(loads.count(), 1);
  }

  void sliderBeforeAnyVolumeChangesNothing() {
    QSignalSpy loads(m_pFrame->GetTextView(), &QWebEngineView::loadStarted);
    QTest::keyClick(&m_pFrame->navBar().slider(), Qt::Key_Right);
    QCOMPARE(form()->Reading().CurPage(), 0);
    QCOMPARE(m_pFrame->GetTextView()->GetLocationURL(), QStringLiteral("about:blank"));
    QCOMPARE(loads.count(), 0);
  }

  // Printing the shown page into a PDF file: the file is written, and a
  // second print asked for while the first runs is refused with a
  // message, never dropped silently.
  void printWritesTheFileAndRefusesASecondJob() {
    CCodexaView* view = m_pFrame->GetTextView();
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    SelectRecord(3);
    QTRY_VERIFY(!loaded.isEmpty());
    const QString pdf = m_workDir.filePath("page.pdf");
    view->Printer().setOutputFormat(QPrinter::PdfFormat);
    view->Printer().setOutputFileName(pdf);
    QSignalSpy ended(view, &CCodexaView::PrintEnded);
    Trigger(Command::kFilePrint);
    QVERIFY(view->IsPrinting());
    Trigger(Command::kFilePrint);
    m_pFrame->OnPrintSetup();  // the preview, refused before its dialog opens
    QCOMPARE(m_pWarnings->messages, (std::vector<std::string>{kPrintBusyMessage, kPrintBusyMessage}));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
    QCOMPARE(ended.at(0).at(0).toBool(), true);
    QVERIFY(!view->IsPrinting());
    QVERIFY(QFileInfo(pdf).size() > 0);
    QCOMPARE(m_pWarnings->messages.size(), std::size_t{2});
  }

  // Printing lays the fold column out for paper through a print-only rule
  // in the loaded document: the page file and the screen stay as they were.
  void printRuleLeavesPageFileAndScreenAlone() {
    CCodexaView* view = m_pFrame->GetTextView();
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    SelectRecord(3);
    QTRY_VERIFY(!loaded.isEmpty());
    const QString file = QUrl(view->GetLocationURL()).toLocalFile();
    QFile page(file);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray bytes = page.readAll();
    page.close();
    // The value of `script` in the shown page; invalid when none came. The
    // answer is shared with the callback, which may still come after a
    // wait that gave up.
    auto evaluate = [view](const QString& script) -> QVariant {
      auto answer = std::make_shared<std::optional<QVariant>>();
      view->page()->runJavaScript(script, [answer](const QVariant& value) { *answer = value; });
      if (!QTest::qWaitFor([answer] { return answer->has_value(); })) return QVariant();
      return **answer;
    };
    const QString layout = QStringLiteral("document.body.scrollHeight + ' ' + document.body.scrollWidth");
    const QString before = evaluate(layout).toString();
    QVERIFY(!before.isEmpty());
    view->Printer().setOutputFormat(QPrinter::PdfFormat);
    view->Printer().setOutputFileName(m_workDir.filePath("page.pdf"));
    QSignalSpy ended(view, &CCodexaView::PrintEnded);
    Trigger(Command::kFilePrint);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
    QVERIFY(evaluate(QStringLiteral("Array.from(document.styleSheets).some(s => s.media.length == 0 && "
                                    "Array.from(s.cssRules).some(r => r.media && r.media.mediaText == 'print'))"))
                .toBool());
    QCOMPARE(evaluate(layout).toString(), before);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QCOMPARE(page.readAll(), bytes);
  }

  // A job that cannot reach its output is reported, and printing works
  // again afterwards.
  void printFailureIsReported() {
    CCodexaView* view = m_pFrame->GetTextView();
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    SelectRecord(3);
    QTRY_VERIFY(!loaded.isEmpty());
    view->Printer().setOutputFormat(QPrinter::PdfFormat);
    view->Printer().setOutputFileName(m_workDir.filePath("no-such-folder/page.pdf"));
    QSignalSpy ended(view, &CCodexaView::PrintEnded);
    Trigger(Command::kFilePrint);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
    QCOMPARE(ended.at(0).at(0).toBool(), false);
    QCOMPARE(m_pWarnings->messages, std::vector<std::string>{kPrintFailedMessage});
    QVERIFY(!view->IsPrinting());
  }

  // The preview shows the page, with the busy cursor while the engine lays
  // it out and the normal one afterwards.
  void previewShowsThePageWithABusyCursor() {
    CCodexaView* view = m_pFrame->GetTextView();
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    SelectRecord(3);
    QTRY_VERIFY(!loaded.isEmpty());
    std::vector<Qt::CursorShape> shapes;
    connect(view, &CCodexaView::PrintEnded, this, [&shapes] {
      shapes.push_back(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor);
    });
    int pages = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
      if (!dialog || shapes.empty() || QApplication::overrideCursor()) return;
      pages = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
      dialog->reject();
    });
    closer.start(50);
    m_pFrame->OnPrintSetup();  // the left form is the active pane: the preview
    QCOMPARE(shapes, std::vector<Qt::CursorShape>{Qt::WaitCursor});
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(pages >= 1);
    QVERIFY(m_pWarnings->messages.empty());
  }

  // The tool bar moves by its gripper between the top and the bottom; the
  // slider and the label go with it, and the background still lies behind
  // the buttons' cut-outs as they were baked, the gripper before them.
  void toolBarDocksAtTopOrBottom() {
    CSCrollToolBar& bar = m_pFrame->navBar();
    QVERIFY(bar.isMovable());
    QVERIFY(!bar.isFloatable());
    QCOMPARE(bar.allowedAreas(), Qt::TopToolBarArea | Qt::BottomToolBarArea);
    QCOMPARE(m_pFrame->toolBarArea(&bar), Qt::TopToolBarArea);
    // Wide enough for every item: the offscreen screen is narrower, and a
    // tool bar hides the items it cannot fit.
    m_pFrame->showNormal();
    m_pFrame->resize(1400, 800);
    QTRY_VERIFY(bar.slider().isVisible() && bar.label().isVisible());
    m_pFrame->addToolBar(Qt::BottomToolBarArea, &bar);
    QCOMPARE(m_pFrame->toolBarArea(&bar), Qt::BottomToolBarArea);
    QTRY_VERIFY(bar.geometry().top() >= m_pFrame->centralWidget()->geometry().bottom());
    for (QWidget* control : {static_cast<QWidget*>(&bar.slider()), static_cast<QWidget*>(&bar.label())}) {
      QVERIFY(bar.isAncestorOf(control));
      QTRY_VERIFY(control->isVisible());
      QVERIFY(bar.rect().contains(QRect(control->mapTo(&bar, QPoint(0, 0)), control->size())));
    }
    SelectRecord(3);
    QCOMPARE(Label(), LabelFor(1));
    QCOMPARE(bar.slider().maximum(), 3);

    const int origin = bar.ItemWidget(0)->x();
    QVERIFY(origin > 0);  // the gripper's room
    // A button paints only its baked image, whose cut-outs hold the
    // background as it lies from the first item's edge on; around the
    // image the tool bar's own background shows and must line up with it.
    const QImage shown = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& background = bar.Background();
    int differing = 0;
    for (int y = 0; y < bar.height() && y < background.height(); ++y) {
      for (int x : {0, 1, 2, 43, 44, 45, 46}) {
        QCOMPARE(shown.pixel(origin + x, y), background.pixel(x, y));
        if (background.pixel(x, y) != background.pixel(origin + x, y)) ++differing;
      }
    }
    QVERIFY(differing > 0);  // else the check could not tell a shifted picture
  }

  // Help shows the shipped page in the reader's own window, whatever the
  // desktop offers for HTML files; a link asking for a new window opens
  // in the same one.
  void helpShowsTheShippedPageInItsOwnWindow() {
    Trigger(Command::kHelpFile);  // no help page beside this corpus: nothing
    QVERIFY(!m_pFrame->HelpWindow());
    QVERIFY(m_pWarnings->messages.empty());
    const QString help = m_corpusDir.filePath("help.html");
    const QString second = m_corpusDir.filePath("help-second.html");
    QVERIFY(QFile::copy(QStringLiteral(CODEXA_SOURCE_DIR "/res/help.html"), help));
    Trigger(Command::kHelpFile);
    CHelpWnd* window = m_pFrame->HelpWindow();
    QVERIFY(window);
    QVERIFY(window->isWindow());
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_COMPARE(window->url(), QUrl::fromLocalFile(help));
    QTRY_COMPARE(window->title(), QStringLiteral("Codexa ヘルプ"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Codexa ヘルプ"));

    QFile page(second);
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><head><title>second</title></head><body>2</body></html>");
    page.close();
    QSignalSpy loaded(window, &QWebEngineView::loadFinished);
    window->page()->runJavaScript(QStringLiteral(
        "var a = document.createElement('a'); a.href = 'help-second.html'; a.target = '_blank';"
        "document.body.appendChild(a); a.click();"));
    QTRY_COMPARE(window->url(), QUrl::fromLocalFile(second));
    QTRY_COMPARE(window->title(), QStringLiteral("second"));

    window->close();
    Trigger(Command::kHelpFile);  // again: the same window, back on the help page
    QCOMPARE(m_pFrame->HelpWindow(), window);
    QVERIFY(window->isVisible());
    QTRY_COMPARE(window->url(), QUrl::fromLocalFile(help));
    QFile::remove(help);
    QFile::remove(second);
  }
};

QTEST_MAIN(MainFrameTest)
#include "mainfrm_test.moc"
