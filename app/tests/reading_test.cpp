// Reading in the main window on the small corpus, in the real text view:
// every page starts at its top (the same page file too), a hit shows with
// lines above it, vertical writing scrolls sideways to a hit, a hit page
// opens in its volume and the page commands go on from it, the citation
// copied, the text size and the writing kept in the settings, and the find
// bar.
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

#include "app/tests/readingfixture.h"
#include "panel/keywordbox.h"
#include "panel/sortlistctrl.h"
#include "panel/testcorpus.h"
#include "panel/testsupport.h"
#include "view/findbar.h"
#include "view/textsize.h"

using namespace codexa::apptest;
using namespace codexa::paneltest;

class ReadingTest : public QObject, protected CReadingFixture {
  Q_OBJECT

 private:
  // The view's scroll offset, "x y", read from the page.
  QString Offset() { return Eval(QStringLiteral("window.scrollX + ' ' + window.scrollY")).toString(); }
  // Where the anchor "0000" lies in the view: left, top, right of its box.
  QList<double> AnchorBox() {
    const QVariantList box =
        Eval(QStringLiteral("var r = document.getElementsByName('0000')[0].getBoundingClientRect();"
                            "[r.left, r.top, r.right, window.innerWidth, window.innerHeight]"))
            .toList();
    QList<double> numbers;
    for (const QVariant& n : box) numbers << n.toDouble();
    return numbers;
  }

 private slots:
  void initTestCase() { SetUpCorpus(); }
  void init() {
    QSettings().clear();
    m_pWarnings = std::make_unique<CWarningRecorder>();
    MakeFrame();
  }
  void cleanup() {
    m_pFrame.reset();
    QVERIFY(m_pWarnings->messages.empty());
    m_pWarnings.reset();
  }

  // Scrolled to its end, the long page shown again under the same file
  // name starts at its top, whether by the page command, the tree or the
  // slider's move.
  void everyPageStartsAtItsTop() {
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kLongVolume)); });
    QTRY_COMPARE(Offset(), QStringLiteral("0 0"));
    const std::function<void()> moves[] = {
        [&] { m_pFrame->navBar().ShowVolumePage(kLongFile); },
        [&] { Trigger(Command::kNextPage); },
        [&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(3)); },
    };
    for (const auto& move : moves) {
      Shown([&] { m_pFrame->navBar().ShowVolumePage(kLongFile); });
      Eval(QStringLiteral("window.scrollTo(0, document.body.scrollHeight)"));
      QTRY_VERIFY(Offset() != QStringLiteral("0 0"));
      Shown(move);
      QTRY_COMPARE(Offset(), QStringLiteral("0 0"));
      QTest::qWait(300);  // and it stays there after the load
      QCOMPARE(Offset(), QStringLiteral("0 0"));
    }
  }

  // A hit far down the page stands a few lines below the view's top edge.
  void hitShowsWithLinesAboveIt() {
    OpenHitOfPage(QStringLiteral("鶴"), kLongPage);
    QTRY_VERIFY(Eval(QStringLiteral("window.scrollY")).toDouble() > 1000);
    const QList<double> box = AnchorBox();
    QVERIFY2(box[1] >= 2 * 16 && box[1] < box[4] / 3, qPrintable(QString::number(box[1])));
  }

  // Vertical writing: the page scrolls sideways to the hit, which stands a
  // few columns left of the view's right edge. The page file keeps its
  // bytes.
  void verticalWritingScrollsSidewaysToTheHit() {
    Trigger(Command::kViewVertical);
    QVERIFY(view()->IsVertical());
    QCOMPARE(QSettings().value("View/Vertical").toBool(), true);
    OpenHitOfPage(QStringLiteral("鶴"), kLongPage);
    QCOMPARE(Eval(QStringLiteral("getComputedStyle(document.documentElement).writingMode")).toString(),
             QStringLiteral("vertical-rl"));
    const QString file = QUrl(view()->GetLocationURL()).toLocalFile();
    // Columns run from the right, so the view scrolls left to the hit,
    // which stands a few columns in from the right edge.
    QTRY_VERIFY(Eval(QStringLiteral("window.scrollX")).toDouble() < -1000);
    const QList<double> box = AnchorBox();
    const double fromRight = box[3] - box[2];
    QVERIFY2(fromRight >= 2 * 16 && fromRight < box[3] / 3, qPrintable(QString::number(fromRight)));
    Shoot(QStringLiteral("vertical-hits.png"));
    QFile page(file);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(!page.readAll().contains("codexa"));  // the writing came through the view alone
    // Back to horizontal writing for the next frame.
    Trigger(Command::kViewVertical);
    QCOMPARE(Eval(QStringLiteral("getComputedStyle(document.documentElement).writingMode")).toString(),
             QStringLiteral("horizontal-tb"));
  }

  // The hit page becomes the page read in its volume: the tree, the
  // slider and the label follow, the hits stay marked; the next page is
  // the volume's following page.
  void hitPageOpensInItsVolumeAndReadingGoesOn() {
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(3)); });
    QVERIFY(!m_pFrame->IsCommandEnabled(Command::kOpenHitInVolume));
    OpenHitOfPage(QStringLiteral("鶴"), kLongPage);
    const QString hitLocation = view()->GetLocationURL();
    QVERIFY(m_pFrame->IsCommandEnabled(Command::kOpenHitInVolume));
    QVERIFY(form()->resultList()->actions().contains(m_pFrame->Action(Command::kOpenHitInVolume)));
    std::unique_ptr<QMenu> menu(view()->CreateContextMenu());
    QVERIFY(menu->actions().contains(m_pFrame->Action(Command::kOpenHitInVolume)));
    Trigger(Command::kOpenHitInVolume);
    QCOMPARE(form()->Reading().CurRecord(), kLongVolume);
    QCOMPARE(form()->Reading().CurPage(), kLongFile);
    QCOMPARE(form()->tree()->currentItem(), form()->TreeItemOfRecord(kLongVolume));
    QCOMPARE(form()->ScopeRecord(), kLongVolume);
    QCOMPARE(m_pFrame->navBar().slider().minimum(), 107);
    QCOMPARE(m_pFrame->navBar().slider().maximum(), 108);
    QCOMPARE(m_pFrame->navBar().slider().GetPos(), kLongFile);
    QCOMPARE(m_pFrame->navBar().label().text(), QStringLiteral("%1/107").arg(form()->index().GetPageCount()));
    QCOMPARE(view()->GetLocationURL(), hitLocation);  // still the hit page, marked
    QVERIFY(!m_pFrame->IsCommandEnabled(Command::kOpenHitInVolume));
    QVERIFY(m_pFrame->IsCommandEnabled(Command::kNextPage));
    Shown([&] { Trigger(Command::kNextPage); });
    QCOMPARE(form()->Reading().CurPage(), 108);
    QVERIFY(view()->GetLocationURL().endsWith(QStringLiteral("windows.html")));
    QVERIFY(Eval(QStringLiteral("document.body.textContent")).toString().contains(QStringLiteral("黃鶴樓")));
  }

  // The citation names the page shown: a contents page by the volume read,
  // a hit page by its entry.
  void citationOfContentsAndHitPages() {
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(3)); });
    QCOMPARE(m_pFrame->CitedText(), QStringLiteral("《詩經》卷一、第1頁、經部"));
    Eval(QStringLiteral("window.getSelection().selectAllChildren(document.querySelector('td'))"));
    QTRY_VERIFY(view()->hasSelection());
    QCOMPARE(m_pFrame->CitedText(), QStringLiteral("「學而時習之明月」（《詩經》卷一、第1頁、經部）"));
    Trigger(Command::kEditCopyCited);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("「學而時習之明月」（《詩經》卷一、第1頁、經部）"));
    OpenHitOfPage(QStringLiteral("鶴"), kLongPage + 1);
    QCOMPARE(m_pFrame->CitedText(), QStringLiteral("《唐詩》卷一、第108頁、集部"));
  }

  // The text size steps, comes back standard, follows Ctrl+wheel and is
  // read back by the next frame; a damaged setting reads as standard.
  void textSizeIsOneSettingKept() {
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(3)); });
    Trigger(Command::kViewTextLarger);
    QCOMPARE(view()->TextSize(), 110);
    QCOMPARE(view()->zoomFactor(), 1.1);
    QCOMPARE(QSettings().value("View/TextSize").toInt(), 110);
    Trigger(Command::kViewTextStandard);
    Trigger(Command::kViewTextSmaller);
    QCOMPARE(view()->TextSize(), 90);
    QWidget* surface = view()->focusProxy();
    QVERIFY(surface);
    const QPointF at(50, 50);
    QWheelEvent wheel(at, surface->mapToGlobal(at), {}, {0, 2 * QWheelEvent::DefaultDeltasPerStep}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(surface, &wheel);
    QCOMPARE(view()->TextSize(), 110);
    QCOMPARE(QSettings().value("View/TextSize").toInt(), 110);
    Shown([&] { Trigger(Command::kNextPage); });
    QCOMPARE(view()->zoomFactor(), 1.1);  // every page
    m_pFrame.reset();
    MakeFrame();
    QCOMPARE(view()->TextSize(), 110);
    for (const char* damaged : {"abc", "-5", "100000"}) {
      QSettings().setValue("View/TextSize", damaged);
      QCOMPARE(TextSizeOfSetting(QSettings().value("View/TextSize")), QString(damaged) == "abc" ? 100
                                                                      : QString(damaged) == "-5" ? 50 : 300);
    }
  }

  // Ctrl+F opens the bar with the focus in its field; it counts and steps
  // through the matches; Esc closes it.
  void findBarCountsAndSteps() {
    Shown([&] { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(kLongVolume)); });
    m_pFrame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
    view()->setFocus();
    QTest::keyClick(m_pFrame.get(), Qt::Key_F, Qt::ControlModifier);
    CFindBar* bar = view()->findBar();
    QVERIFY(bar->isVisible());
    QVERIFY(bar->field()->hasFocus());
    bar->field()->setText(QStringLiteral("白鶴"));
    // The page holds its text in both cells.
    QTRY_COMPARE(bar->countLabel()->text(), QStringLiteral("1/2 件"));
    bar->nextButton()->click();
    QTRY_COMPARE(bar->countLabel()->text(), QStringLiteral("2/2 件"));
    bar->previousButton()->click();
    QTRY_COMPARE(bar->countLabel()->text(), QStringLiteral("1/2 件"));
    Shoot(QStringLiteral("find-bar.png"));
    bar->field()->setText(QStringLiteral("無此字"));
    QTRY_COMPARE(bar->countLabel()->text(), QStringLiteral("見つかりません"));
    QTest::keyClick(bar->field(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
  }
};

QTEST_MAIN(ReadingTest)
#include "reading_test.moc"
