// The main window on a small corpus: start state, menus and enabling, the
// left-pane toggle and the saved layout, the page, volume and hit commands,
// and the page slider.
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "app/codexa.h"
#include "view/codexaview.h"
#include "app/mainfrm.h"
#include "panel/keywordbox.h"
#include "panel/sortlistctrl.h"
#include "panel/testcorpus.h"
#include "panel/testsupport.h"

using namespace codexa::paneltest;

namespace {

std::filesystem::path PathOf(const QString& path) { return std::filesystem::path(path.toStdString()); }

// The fixture's volumes: record -> first and last file number.
struct Volume {
  int record, first, last;
};
constexpr Volume kVolumes[] = {{3, 1, 3}, {4, 4, 5}, {6, 6, 106}, {9, 107, 108}};

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir corpusDir_;
  QTemporaryDir workDir_;
  QTemporaryDir settingsDir_;
  std::unique_ptr<RecordingReporter> reporter_;
  std::unique_ptr<CMainFrame> frame_;

  CLeftForm* form() const { return frame_->GetLeftForm(); }
  bool Enabled(int command) {
    frame_->UpdateCommandUI();
    return frame_->Action(command)->isEnabled();
  }
  void Trigger(int command) { frame_->Action(command)->trigger(); }
  void SelectRecord(int record) { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(record)); }
  QString Label() { return frame_->navBar().label().text(); }
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
  void Shoot(const QString& name) {
    const QString folder = qEnvironmentVariable("CODEXA_SCREENS");
    if (folder.isEmpty()) return;
    QTest::qWait(1500);  // let the page paint
    frame_->grab().save(QDir(folder).filePath(name));
  }

 private slots:
  void initTestCase() {
    CCodexaApp::SetUpNames();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    std::string error;
    QVERIFY2(WriteCorpus(PathOf(corpusDir_.path()), FormFixture(), error), error.c_str());
    QFile::copy(QStringLiteral(CODEXA_SOURCE_DIR "/res/Back.gif"), corpusDir_.filePath("Back.gif"));
  }
  void init() {
    reporter_ = std::make_unique<RecordingReporter>();
    const CLeftForm::Places places{PathOf(corpusDir_.path()), PathOf(workDir_.path()),
                                   PathOf(workDir_.filePath("zemo.txt"))};
    frame_ = std::make_unique<CMainFrame>(places);
    frame_->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
  }
  void cleanup() {
    frame_.reset();
    reporter_.reset();
  }

  void startsBlankWithItsCommandsDisabled() {
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Codexa"));
    QVERIFY(frame_->isMaximized());
    QCOMPARE(frame_->panes().sizes().at(0), 260);
    QCOMPARE(frame_->GetTextView()->GetLocationURL(), QStringLiteral("about:blank"));
    for (int command : {ID_EDIT_COPY, ID_EDIT_SELECT_ALL, ID_FILE_PRINT, ID_FILE_PRINT_SETUP, ID_PREV_PAGE,
                        ID_NEXT_PAGE, ID_PREV_VOLUME, ID_NEXT_VOLUME, ID_PREV_HIT, ID_NEXT_HIT}) {
      QVERIFY2(!Enabled(command), qPrintable(QString::number(command)));
    }
    QVERIFY(Enabled(ID_TOGGLE_LEFT_PANE));
    QVERIFY(Enabled(ID_HELP_FILE));
    Trigger(ID_VIEW_STATUS_BAR);
    QVERIFY(!frame_->findChild<QStatusBar*>());
    QStringList menus;
    for (QAction* menu : frame_->menuBar()->actions()) menus << menu->text();
    QCOMPARE(menus, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "一覧", "ヘルプ(&H)"}));
    QCOMPARE(frame_->Action(ID_NEXT_HIT)->shortcut(), QKeySequence(Qt::Key_F3));
    QCOMPARE(frame_->Action(ID_PREV_HIT)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F3));
    QCOMPARE(frame_->navBar().slider().maximum(), 0);
    QVERIFY(Label().isEmpty());
    // Ctrl+C on the blank page does nothing: the command is disabled.
    QTest::keyClick(frame_.get(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(reporter_->messages.empty());
  }

  void leftPaneToggleKeepsTheViewAndTheWidth() {
    const int width = frame_->panes().sizes().at(0);
    Trigger(ID_TOGGLE_LEFT_PANE);
    QVERIFY(!form()->isVisible());
    // The commands still reach the view while the left pane is hidden.
    SelectRecord(4);
    QVERIFY(Enabled(ID_NEXT_PAGE));
    Trigger(ID_NEXT_PAGE);
    QCOMPARE(form()->Reading().CurPage(), 5);
    QVERIFY(frame_->GetTextView()->GetLocationURL().endsWith(QStringLiteral("windows.html")));
    Trigger(ID_TOGGLE_LEFT_PANE);
    QVERIFY(form()->isVisible());
    QCOMPARE(frame_->panes().sizes().at(0), width);
    const int right = frame_->panes().sizes().at(1);
    frame_.reset();
    QCOMPARE(QSettings().value("SplitterWnd/Panes_0").toString(), QStringLiteral("-1 260 -1 %1").arg(right));
  }

  void savedLayoutWhileHidden() {
    Trigger(ID_TOGGLE_LEFT_PANE);
    frame_.reset();
    QVERIFY(QSettings().value("SplitterWnd/Panes_0").toString().startsWith(QStringLiteral("0 260 -1 ")));
  }

  void pageCommandsWithinAVolume() {
    SelectRecord(3);  // files 1 .. 3
    QCOMPARE(frame_->navBar().slider().minimum(), 1);
    QCOMPARE(frame_->navBar().slider().maximum(), 3);
    QCOMPARE(frame_->navBar().slider().GetPos(), 1);
    QCOMPARE(Label(), LabelFor(1));
    QVERIFY(!Enabled(ID_PREV_PAGE));
    QVERIFY(Enabled(ID_NEXT_PAGE));
    QVERIFY(Enabled(ID_EDIT_COPY));  // a page is shown now
    Trigger(ID_NEXT_PAGE);
    Trigger(ID_NEXT_PAGE);
    QCOMPARE(form()->Reading().CurPage(), 3);
    QCOMPARE(frame_->navBar().slider().GetPos(), 3);
    QCOMPARE(Label(), LabelFor(3));
    QVERIFY(!Enabled(ID_NEXT_PAGE));
    Trigger(ID_NEXT_PAGE);  // disabled: nothing happens
    QCOMPARE(form()->Reading().CurPage(), 3);
    Trigger(ID_PREV_PAGE);
    QCOMPARE(form()->Reading().CurPage(), 2);
    QCOMPARE(Label(), LabelFor(2));
    Shoot(QStringLiteral("volume-page.png"));
  }

  void volumeCommandsWalkTheCatalogue() {
    SelectRecord(3);
    QVERIFY(!Enabled(ID_PREV_VOLUME));
    for (std::size_t i = 1; i < std::size(kVolumes); ++i) {
      QVERIFY(Enabled(ID_NEXT_VOLUME));
      Trigger(ID_NEXT_VOLUME);
      const Volume& v = kVolumes[i];
      QCOMPARE(form()->Reading().CurRecord(), v.record);
      QCOMPARE(form()->Reading().CurPage(), v.first);
      QCOMPARE(frame_->navBar().slider().minimum(), v.first);
      QCOMPARE(frame_->navBar().slider().maximum(), v.last);
      QCOMPARE(frame_->navBar().slider().GetPos(), v.first);
      QCOMPARE(Label(), LabelFor(v.first));
      QCOMPARE(SelectedRecord(), v.record);  // across works and categories
    }
    QVERIFY(!Enabled(ID_NEXT_VOLUME));
    frame_->OnNextVolume();  // directly, at the end
    QCOMPARE(reporter_->messages, std::vector<std::string>{kLastVolumeMessage});
    QCOMPARE(form()->Reading().CurRecord(), 9);
    for (int i = int(std::size(kVolumes)) - 2; i >= 0; --i) {
      Trigger(ID_PREV_VOLUME);
      QCOMPARE(form()->Reading().CurRecord(), kVolumes[i].record);
      QCOMPARE(SelectedRecord(), kVolumes[i].record);
      QCOMPARE(Label(), LabelFor(kVolumes[i].first));
    }
    QVERIFY(!Enabled(ID_PREV_VOLUME));
    frame_->OnPrevVolume();
    QCOMPARE(reporter_->messages.back(), std::string(kFirstVolumeMessage));
    QCOMPARE(form()->Reading().CurRecord(), 3);
  }

  // With a work selected since the volume was chosen, the next volume
  // still selects the volume it shows, never a work or a category.
  void volumeCommandSelectsTheVolumeShown() {
    SelectRecord(4);
    SelectRecord(5);  // the work 雜篇: only the scope changes
    QCOMPARE(form()->Reading().CurRecord(), 4);
    Trigger(ID_NEXT_VOLUME);
    QCOMPARE(form()->Reading().CurRecord(), 6);
    QCOMPARE(SelectedRecord(), 6);
    QCOMPARE(form()->ScopeRecord(), 6);
  }

  void hitCommandsStepThroughTheAnchors() {
    QVERIFY(!Enabled(ID_NEXT_HIT));
    QVERIFY(!Enabled(ID_PREV_HIT));
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
    QVERIFY(!Enabled(ID_PREV_HIT));
    QVERIFY(Enabled(ID_NEXT_HIT));
    const QString file = QUrl::fromLocalFile(QString::fromStdU16String(form()->Reading().HitFile().u16string())).toString();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    frame_->GetTextView()->setFocus();
    for (int anchor = 1; anchor <= 3; ++anchor) {
      QTest::keyClick(frame_.get(), Qt::Key_F3);
      QCOMPARE(form()->Reading().CurHit(), anchor);
      QCOMPARE(frame_->GetTextView()->GetLocationURL(), file + QStringLiteral("#%1").arg(anchor, 4, 10, QChar(u'0')));
    }
    QVERIFY(!Enabled(ID_NEXT_HIT));
    QTest::keyClick(frame_.get(), Qt::Key_F3);
    QCOMPARE(form()->Reading().CurHit(), 3);
    QTest::keyClick(frame_.get(), Qt::Key_F3, Qt::AltModifier);
    QCOMPARE(form()->Reading().CurHit(), 2);
    QCOMPARE(frame_->GetTextView()->GetLocationURL(), file + "#0002");
    Shoot(QStringLiteral("hit-page.png"));
    // A new search starts the anchors again on the same hit page.
    form()->searchButton()->click();
    QCOMPARE(form()->Reading().CurHit(), 0);
    QVERIFY(!Enabled(ID_PREV_HIT));
    QVERIFY(Enabled(ID_NEXT_HIT));
    QTest::keyClick(frame_.get(), Qt::Key_F3);
    QCOMPARE(frame_->GetTextView()->GetLocationURL(), file + "#0001");
  }

  void sliderDragShowsExactlyOnePage() {
    SelectRecord(6);  // files 6 .. 106
    CXSliderCtrl& slider = frame_->navBar().slider();
    QTest::qWait(300);
    QSignalSpy loads(frame_->GetTextView(), &QWebEngineView::loadStarted);
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
    QSignalSpy loads(frame_->GetTextView(), &QWebEngineView::loadStarted);
    QTest::keyClick(&frame_->navBar().slider(), Qt::Key_Right);
    QCOMPARE(form()->Reading().CurPage(), 0);
    QCOMPARE(frame_->GetTextView()->GetLocationURL(), QStringLiteral("about:blank"));
    QCOMPARE(loads.count(), 0);
  }

  void helpOpensTheShippedPageOnly() {
    QList<QUrl> opened;
    frame_->m_openDocument = [&](const QUrl& url) {
      opened << url;
      return true;
    };
    Trigger(ID_HELP_FILE);  // no help page beside this corpus: nothing
    QVERIFY(opened.isEmpty());
    QFile::copy(QStringLiteral(CODEXA_SOURCE_DIR "/res/help.html"), corpusDir_.filePath("help.html"));
    Trigger(ID_HELP_FILE);
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(corpusDir_.filePath("help.html"))});
    QFile::remove(corpusDir_.filePath("help.html"));
  }
};

QTEST_MAIN(MainFrameTest)
#include "mainfrm_test.moc"
