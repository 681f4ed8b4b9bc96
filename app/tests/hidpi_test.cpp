// 200% screens (run with QT_SCALE_FACTOR=2): the tool bar, its slider's
// cursor, the contents tree, the pager, the about box and the splash take
// their pictures drawn at twice the size, so every device pixel is drawn
// from the vector source rather than enlarged; the plain pictures stay for
// plain screens.
#include <QDirIterator>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include "app/aboutdlg.h"
#include "app/scrolltoolbar.h"
#include "app/splash.h"
#include "app/xtoolbar.h"
#include "panel/leftform.h"
#include "panel/messagebox.h"
#include "panel/screenart.h"
#include "panel/testcorpus.h"
#include "panel/tooltipbutton.h"

namespace {

constexpr QRgb kMagenta = 0xFF00FF;
const QString kArt = QStringLiteral(":/res/");

std::vector<ToolBarItem> Items(std::initializer_list<int> commands) {
  std::vector<ToolBarItem> items;
  for (int command : commands) items.push_back({command, nullptr});
  return items;
}

// Every pixel of `image` as a 2 x 2 block.
QImage Doubled(const QImage& image) { return image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation); }

}  // namespace

class HiDpiTest : public QObject {
  Q_OBJECT

 private slots:
  void screenIsTwoToOne() { QCOMPARE(ScreenArtRatio(), 2); }

  // Each "@2x" picture in res/ is exactly twice its plain picture.
  void everyLargePictureIsTwiceItsPlainOne() {
    int pairs = 0;
    for (QDirIterator it(QStringLiteral(CODEXA_SOURCE_DIR "/res"), {"*@2x.*"}); it.hasNext(); ++pairs) {
      const QString large = it.next();
      const QString plain = QString(large).replace(QStringLiteral("@2x"), QString());
      QCOMPARE(QImageReader(large).size(), QImageReader(plain).size() * 2);
    }
    QCOMPARE(pairs, 10);
  }

  void largerPictureIsTakenOnlyWhereItExists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QString>("taken");
    QTest::addColumn<int>("usedRatio");
    QTest::newRow("plain screen") << "a.png" << 1 << "a.png" << 1;
    QTest::newRow("200% screen") << "a.png" << 2 << "a@2x.png" << 2;
    QTest::newRow("no larger one") << "b.png" << 2 << "b.png" << 1;
    QTest::newRow("no suffix") << "c" << 2 << "c" << 1;
    QTest::newRow("dot in a folder") << "d.e/f" << 2 << "d.e/f" << 1;
  }
  void largerPictureIsTakenOnlyWhereItExists() {
    QFETCH(QString, name);
    QFETCH(int, ratio);
    QFETCH(QString, taken);
    QFETCH(int, usedRatio);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("d.e");
    for (const char* file : {"a.png", "a@2x.png", "b.png", "c", "c@2x", "d.e/f", "d@2x.e/f"}) {
      QImage(2, 2, QImage::Format_RGB32).save(dir.filePath(file), "PNG");
    }
    int used = 0;
    QCOMPARE(ArtPathFor(dir.filePath(name), ratio, used), dir.filePath(taken));
    QCOMPARE(used, usedRatio);
    QCOMPARE(LoadArtImage(dir.filePath(name), ratio).devicePixelRatio(), qreal(usedRatio));
  }

  // Baking at 2 is baking at 1 with every pixel doubled.
  void blendingAtTwiceIsBlendingOfDoubledPictures() {
    QImage background(64, 12, QImage::Format_RGB32);
    for (int y = 0; y < background.height(); ++y) {
      for (int x = 0; x < background.width(); ++x) background.setPixel(x, y, qRgb(x * 3, y * 20, 7));
    }
    QImage strip(3 * 5, 5, QImage::Format_RGB32);
    for (int y = 0; y < strip.height(); ++y) {
      for (int x = 0; x < strip.width(); ++x) strip.setPixel(x, y, (x + y) % 3 ? kMagenta : qRgb(10, x, y));
    }
    const auto items = Items({1, 0, 2, 0, 0, 3});
    QImage large = Doubled(strip);
    BlendMaskPixels(strip, background, items, kMagenta, qRgb(9, 9, 9), 5, 5);
    BlendMaskPixels(large, Doubled(background), items, kMagenta, qRgb(9, 9, 9), 5, 5, 2);
    QCOMPARE(large, Doubled(strip));
  }

  // On screen the buttons show the large strip pixel for pixel, its magenta
  // replaced by the large background behind it.
  void toolBarDrawsTheLargePictures() {
    QWidget window;
    auto* bar = new CSCrollToolBar(&window);
    std::vector<std::unique_ptr<QAction>> actions;
    std::vector<ToolBarItem> items;
    for (int command : {1, 2, 0, 3, 0, 4, 5, 6, 7, 0, 8, 9, 0, 10, 0, CSCrollToolBar::kSliderCommand,
                        CSCrollToolBar::kLabelCommand}) {
      actions.push_back(std::make_unique<QAction>(QString::number(command)));
      items.push_back({command, command ? actions.back().get() : nullptr});
    }
    QVERIFY(bar->Create(items, kArt));
    window.resize(1400, 47);
    bar->resize(1400, 47);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (std::size_t i = 0; i < items.size(); ++i) bar->ItemWidget(int(i))->setAttribute(Qt::WA_UnderMouse, false);
    QCOMPARE(bar->Background().devicePixelRatio(), 2.0);
    const QImage shown = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(2800, 94));
    const QImage raw = QImage(kArt + "toolbar_normal@2x.png").convertToFormat(QImage::Format_RGB32);
    const QImage& background = bar->Background();
    int button = 0, masked = 0, drawn = 0;
    for (std::size_t i = 0; i < items.size() && button < 10; ++i) {
      if (items[i].command == 0) continue;
      auto* widget = qobject_cast<CXToolButton*>(bar->ItemWidget(int(i)));
      QVERIFY(widget);
      QCOMPARE(widget->CurrentImage().devicePixelRatio(), 2.0);
      QCOMPARE(widget->CurrentImage().size(), QSize(80, 80));
      const int left = 2 * (widget->x() + 3);
      for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 80; ++x) {
          const QRgb art = raw.pixel(button * 80 + x, y);
          if ((art & 0xFFFFFF) == kMagenta) {
            QCOMPARE(shown.pixel(left + x, 6 + y), background.pixel((left + x) % 1200, 6 + y));
            ++masked;
          } else {
            QCOMPARE(shown.pixel(left + x, 6 + y), art);
            ++drawn;
          }
        }
      }
      ++button;
    }
    QVERIFY(masked > 4000 && drawn > 2000);
    QCOMPARE(bar->slider().cursor().pixmap().devicePixelRatio(), 2.0);
  }

  void treePagerAndAboutTakeTheLargePictures() {
    CToolTipResourceButton pager(QStringLiteral("次"));
    QVERIFY(pager.LoadStrip(QStringLiteral(":/panel/pager_next.png")));
    QCOMPARE(pager.size(), QSize(24, 24));
    pager.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pager));
    const QImage face = pager.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage strip = QImage(":/panel/pager_next@2x.png").convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(face.size(), QSize(48, 48));
    QCOMPARE(face.pixel(24, 24), strip.pixel(24, 24));  // the arrow of the normal face

    QTemporaryDir corpus, work;
    std::string error;
    QVERIFY2(codexa::paneltest::WriteCorpus(corpus.path().toStdString(), codexa::paneltest::FormFixture(), error),
             error.c_str());
    CWarningRecorder warnings;
    CLeftForm form(CLeftForm::Places{corpus.path().toStdString(), work.path().toStdString(),
                                     work.filePath("zemo.txt").toStdString()});
    const QPixmap book = form.tree()->topLevelItem(0)->icon(0).pixmap(QSize(20, 20), 2.0);
    QCOMPARE(book.devicePixelRatio(), 2.0);
    // Compared as Qt keeps the icon, premultiplied, so rounding is alike.
    QCOMPARE(book.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             QImage(":/panel/tree@2x.png").copy(0, 0, 40, 40).convertToFormat(QImage::Format_ARGB32_Premultiplied));

    CAboutDlg about;
    const QLabel* picture = about.findChild<QLabel*>();
    QVERIFY(picture);
    QCOMPARE(picture->pixmap().devicePixelRatio(), 2.0);
    QCOMPARE(picture->pixmap().deviceIndependentSize(), QSizeF(500, 350));
  }

  void splashPlaysTheLargeMovie() {
    QWidget frame;
    frame.show();
    CSplashWnd::EnableSplash(true);
    CSplashWnd::ShowSplash(&frame, QStringLiteral(CODEXA_SOURCE_DIR "/res/splash.gif"));
    CSplashWnd* splash = CSplashWnd::Current();
    QVERIFY(splash);
    const QLabel* picture = splash->findChild<QLabel*>();
    QTRY_VERIFY(!picture->pixmap().isNull());
    QCOMPARE(picture->pixmap().size(), QSize(1440, 900));
    QCOMPARE(picture->pixmap().devicePixelRatio(), 2.0);
    splash->HideSplash();
    CSplashWnd::EnableSplash(false);
  }
};

QTEST_MAIN(HiDpiTest)
#include "hidpi_test.moc"
