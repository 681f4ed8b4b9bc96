// The shell's parts on their own: splitter, tool bar baking and layout,
// slider, splash, about box and the program started at exit.
#include <QDialog>
#include <QDialogButtonBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/aboutdlg.h"
#include "app/codexa.h"
#include "app/qttranslations.h"
#include "app/scrolltoolbar.h"
#include "app/splash.h"
#include "app/st_splitterwnd.h"

namespace {

constexpr QRgb kMagenta = 0xFF00FF;
const QString kArt = QStringLiteral(":/res/");

// The saved layout of level 0 after `window` (holding a splitter) is gone.
QString SavedLayout() {
  QSettings settings;
  return settings.value(QStringLiteral("SplitterWnd/Panes_0")).toString();
}

std::vector<ToolBarItem> Items(std::initializer_list<int> commands) {
  std::vector<ToolBarItem> items;
  for (int command : commands) items.push_back({command, nullptr});
  return items;
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_settingsDir;

 private slots:
  void initTestCase() {
    CCodexaApp::SetUpNames();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
  }

  void splitterStartsAt260AndSavesItsLayout() {
    auto* window = new QWidget;
    window->resize(1200, 700);
    auto* splitter = new ST_SplitterWnd(0, window);
    splitter->Create(new QWidget, new QWidget, true);
    splitter->setGeometry(0, 0, 1200, 700);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(splitter->sizes().at(0), 260);
    const int right = splitter->sizes().at(1);
    QVERIFY(right > 800);
    delete window;
    QCOMPARE(SavedLayout(), QStringLiteral("-1 260 -1 %1").arg(right));
  }

  void hiddenPaneComesBackWithItsDraggedWidth() {
    auto* window = new QWidget;
    window->resize(1000, 600);
    auto* splitter = new ST_SplitterWnd(0, window);
    splitter->Create(new QWidget, new QWidget, true);
    splitter->setGeometry(0, 0, 1000, 600);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    splitter->setSizes({333, 600});  // as a drag of the bar leaves it
    QCOMPARE(splitter->sizes().at(0), 333);

    splitter->TogglePane(0);
    QCOMPARE(splitter->HiddenColumn(), 0);
    QVERIFY(!splitter->widget(0)->isVisible());
    QCOMPARE(splitter->GetPane(0, 0), splitter->widget(1));
    QCOMPARE(splitter->GetPane(0, 1), nullptr);
    splitter->TogglePane(1);  // another side while one is hidden: nothing
    QCOMPARE(splitter->HiddenColumn(), 0);
    QVERIFY(splitter->widget(1)->isVisible());

    splitter->TogglePane(0);
    QCOMPARE(splitter->HiddenColumn(), -1);
    QVERIFY(splitter->widget(0)->isVisible());
    QCOMPARE(splitter->sizes().at(0), 333);

    splitter->TogglePane(0);  // close while hidden
    delete window;
    QVERIFY(SavedLayout().startsWith(QStringLiteral("0 333 -1 ")));
  }

  void blendingReplacesOnlyMaskPixels_data() {
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("j");
    QTest::addColumn<int>("k");  // row counted from the bottom
    QTest::addColumn<int>("backgroundX");  // -1: beyond the background
    QTest::addColumn<int>("backgroundYFromBottom");
    // Images 4 x 4; items: button, separator, button, button. Image x on
    // the background: 3, 3 + 11 + 6 = 20, 20 + 11 = 31 (past a 32-wide
    // background from its second column on).
    QTest::newRow("first image, bottom left") << 0 << 0 << 0 << 3 << 4;
    QTest::newRow("first image, top right") << 0 << 3 << 3 << 6 << 7;
    QTest::newRow("after a separator") << 1 << 2 << 1 << 22 << 5;
    QTest::newRow("last column inside") << 2 << 0 << 0 << 31 << 4;
    QTest::newRow("beyond the right edge") << 2 << 1 << 0 << -1 << 0;
  }

  void blendingReplacesOnlyMaskPixels() {
    QFETCH(int, image);
    QFETCH(int, j);
    QFETCH(int, k);
    QFETCH(int, backgroundX);
    QFETCH(int, backgroundYFromBottom);
    const int cx = 4, cy = 4;
    QImage background(32, 10, QImage::Format_RGB32);
    for (int y = 0; y < background.height(); ++y) {
      for (int x = 0; x < background.width(); ++x) background.setPixel(x, y, qRgb(x, y, 7));
    }
    QImage strip(3 * cx, cy, QImage::Format_RGB32);
    strip.fill(qRgb(10, 20, 30));
    const QPoint maskAt(image * cx + j, cy - 1 - k);
    strip.setPixel(maskAt, kMagenta);
    const QImage before = strip;
    const QRgb face = qRgb(200, 201, 202);

    BlendMaskPixels(strip, background, Items({1, 0, 2, 3}), kMagenta, face, cx, cy);

    const QRgb expected = backgroundX < 0 ? face
                                          : background.pixel(backgroundX, background.height() - 1 - backgroundYFromBottom);
    QCOMPARE(strip.pixel(maskAt), expected);
    for (int y = 0; y < strip.height(); ++y) {
      for (int x = 0; x < strip.width(); ++x) {
        if (QPoint(x, y) != maskAt) QCOMPARE(strip.pixel(x, y), before.pixel(x, y));
      }
    }
  }

  void blendingRowsBelowTheBackgroundTakeTheFace() {
    QImage background(64, 5, QImage::Format_RGB32);  // only row k = 0 fits
    background.fill(qRgb(1, 2, 3));
    QImage strip(4, 4, QImage::Format_RGB32);
    strip.fill(kMagenta);
    BlendMaskPixels(strip, background, Items({1}), kMagenta, qRgb(9, 9, 9), 4, 4);
    QCOMPARE(strip.pixel(0, 3), qRgb(1, 2, 3));  // bottom row
    QCOMPARE(strip.pixel(0, 2), qRgb(9, 9, 9));
  }

  // On screen, every magenta pixel of a button image shows the background
  // picture behind it, and the slider and label sit in their gaps.
  void toolBarShowsBackgroundThroughItsButtons() {
    QWidget window;
    auto* bar = new CSCrollToolBar(&window);
    std::vector<ToolBarItem> items;
    std::vector<std::unique_ptr<QAction>> actions;
    for (int command : {32778, 57634, 0, 32777, 0, 32791, 32780, 32781, 32790, 0, 32805, 32806, 0, 57664, 0,
                        CSCrollToolBar::kSliderCommand, CSCrollToolBar::kLabelCommand}) {
      actions.push_back(std::make_unique<QAction>(QString::number(command)));
      items.push_back({command, command ? actions.back().get() : nullptr});
    }
    QVERIFY(bar->Create(items, kArt));
    bar->resize(1400, 47);
    window.resize(1400, 47);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // No button is hot (the offscreen pointer starts over the first one).
    for (std::size_t i = 0; i < items.size(); ++i) bar->ItemWidget(int(i))->setAttribute(Qt::WA_UnderMouse, false);
    const QImage shown = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage raw = QImage(kArt + "toolbar_normal.png").convertToFormat(QImage::Format_RGB32);
    const QImage& background = bar->Background();
    int button = 0, checked = 0;
    for (std::size_t i = 0; i < items.size() && button < 10; ++i) {
      if (items[i].command == 0) continue;
      const int left = bar->ItemWidget(static_cast<int>(i))->x() + 3;
      for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
          if ((raw.pixel(button * 40 + x, y) & 0xFFFFFF) != kMagenta) continue;
          QCOMPARE(shown.pixel(left + x, 3 + y), background.pixel((left + x) % 600, 3 + y));
          ++checked;
        }
      }
      ++button;
    }
    QVERIFY(checked > 1000);
    QCOMPARE(bar->findChild<QWidget*>(QStringLiteral("SliderGap"))->width(), 300);
    QCOMPARE(bar->findChild<QWidget*>(QStringLiteral("LabelGap"))->width(), 100);
    QVERIFY(bar->label().isReadOnly());
    QCOMPARE(bar->slider().minimum(), 0);
    QCOMPARE(bar->slider().maximum(), 0);
  }

  void sliderReportsOnlyTheEndOfAMove() {
    CXSliderCtrl slider;
    slider.resize(300, 30);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    QSignalSpy ended(&slider, &CXSliderCtrl::MoveEnded);
    slider.SetRange(1, 50, true);
    slider.SetPos(1);
    QCOMPARE(ended.count(), 0);  // the program's own moves report nothing

    slider.setSliderDown(true);
    for (int pos = 2; pos <= 40; ++pos) slider.setSliderPosition(pos);
    QCOMPARE(ended.count(), 0);
    slider.setSliderDown(false);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.first().first().toInt(), 40);

    QTest::keyClick(&slider, Qt::Key_Right);
    QCOMPARE(ended.count(), 2);
    QCOMPARE(slider.GetPos(), 41);
  }

  void splashSwitches_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("suppressed");
    QTest::newRow("none") << QStringList{"codexa"} << false;
    QTest::newRow("-Embedding") << QStringList{"codexa", "-Embedding"} << true;
    QTest::newRow("/Automation") << QStringList{"codexa", "/Automation"} << true;
    QTest::newRow("lower case") << QStringList{"codexa", "-embedding"} << true;
    QTest::newRow("no switch sign") << QStringList{"codexa", "Embedding"} << false;
    QTest::newRow("other switch") << QStringList{"codexa", "-Embed"} << false;
  }

  void splashSwitches() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, suppressed);
    QCOMPARE(CSplashWnd::SuppressedBy(arguments), suppressed);
  }

  void noMovieNoSplash() {
    QWidget frame;
    CSplashWnd::EnableSplash(true);
    CSplashWnd::ShowSplash(&frame, QStringLiteral("/nonexistent/splash.gif"));
    QVERIFY(!CSplashWnd::Current());
    QVERIFY(!frame.findChild<CSplashWnd*>());
    CSplashWnd::EnableSplash(false);
  }

  void disabledSplashIsNotShown() {
    QWidget frame;
    CSplashWnd::EnableSplash(false);
    CSplashWnd::ShowSplash(&frame, QStringLiteral(CODEXA_SOURCE_DIR "/res/splash.gif"));
    QVERIFY(!CSplashWnd::Current());
  }

  void keyOrClickEndsSplashAndIsConsumed_data() {
    QTest::addColumn<bool>("click");
    QTest::newRow("key") << false;
    QTest::newRow("click") << true;
  }

  void keyOrClickEndsSplashAndIsConsumed() {
    QFETCH(bool, click);
    QWidget frame;
    auto* edit = new QLineEdit(&frame);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    edit->setFocus();
    CSplashWnd::EnableSplash(true);
    CSplashWnd::ShowSplash(&frame, QStringLiteral(CODEXA_SOURCE_DIR "/res/splash.gif"));
    QPointer<CSplashWnd> splash = CSplashWnd::Current();
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QVERIFY(splash->timer().isActive());
    QCOMPARE(splash->timer().interval(), CSplashWnd::kTimeoutMs);

    QTest::mouseMove(edit);  // moving alone ends nothing
    QVERIFY(CSplashWnd::Current());
    if (click) {
      QTest::mouseClick(edit, Qt::LeftButton);
    } else {
      QTest::keyClick(edit, Qt::Key_A);
    }
    QVERIFY(!CSplashWnd::Current());
    QTRY_VERIFY(!splash);  // the window is gone
    QCOMPARE(edit->text(), QString());
    QTest::keyClick(edit, Qt::Key_B);  // later keys reach the frame again
    QCOMPARE(edit->text(), QStringLiteral("b"));
    CSplashWnd::EnableSplash(false);
  }

  void aboutBoxClosesOnAClick() {
    CAboutDlg about;
    QTimer::singleShot(0, &about, [&about] {
      QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(250, 175));
    });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QCOMPARE(about.size(), QSize(500, 350));
  }

  void endProgramStartsOnlyWhenPresent() {
    QTemporaryDir folder;
    QVERIFY(!StartEndProgram(folder.path()));  // absent: silent
    QFile end(folder.filePath(kEndProgramName));
    QVERIFY(end.open(QIODevice::WriteOnly));
    end.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n");
    end.close();
    QVERIFY(!StartEndProgram(folder.path()));  // not executable
    end.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(StartEndProgram(folder.path()));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath("ran")), 10000);
  }

  // Qt's dialogs speak Japanese once its catalogues are installed; a folder
  // without them installs nothing and leaves the texts as they were.
  void qtDialogsSpeakJapanese() {
    QTemporaryDir empty;
    QCOMPARE(InstallQtJapanese(empty.path()), 0);
    QPrinter printer;
    QCOMPARE(QPrintPreviewDialog(&printer).windowTitle(), QStringLiteral("Print Preview"));
    QCOMPARE(InstallQtJapanese(), 1);
    QCOMPARE(QPrintPreviewDialog(&printer).windowTitle(), QStringLiteral("印刷のプレビュー"));
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
  }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
