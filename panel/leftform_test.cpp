// The left form on a small built corpus, beside a real text view.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>

#include "panel/concordancewnd.h"
#include "panel/keywordbox.h"
#include "panel/leftform.h"
#include "panel/panelwindow.h"
#include "panel/sortlistctrl.h"
#include "panel/testcorpus.h"
#include "panel/testsupport.h"
#include "panel/tooltipbutton.h"

using namespace codexa::paneltest;

namespace {

std::filesystem::path PathOf(const QString& text) { return std::filesystem::path(text.toStdString()); }

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString HitFileOf(const CLeftForm& form) { return QString::fromStdU16String(form.Reading().HitFile().u16string()); }

std::set<uint32_t> ListedPages(const CLeftForm& form) {
  std::set<uint32_t> pages;
  for (const SearchNodeTag& entry : form.HitEntries()) pages.insert(entry.pageNumber);
  return pages;
}

}  // namespace

Q_DECLARE_METATYPE(SearchMode)

class LeftFormTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_corpusDir;
  QTemporaryDir m_workDir;
  std::unique_ptr<CWarningRecorder> m_pWarnings;
  std::unique_ptr<CPanelWindow> m_pWindow;

  CLeftForm::Places PlacesIn(const QString& corpus) const {
    return {PathOf(corpus), PathOf(m_workDir.path()), PathOf(m_workDir.filePath("zemo.txt"))};
  }
  CLeftForm* form() const { return m_pWindow->form(); }
  void Search(const QString& keyword, SearchMode mode = SearchMode::kAnd, bool variants = true) {
    form()->keywordBox()->setText(keyword);
    form()->modeButton(mode)->setChecked(true);
    form()->variantBox()->setChecked(variants);
    form()->searchButton()->click();
  }
  void SelectRecord(int record) { form()->tree()->setCurrentItem(form()->TreeItemOfRecord(record)); }
  // The concordance of "雲 雨" (or) in its window, shown and active.
  bool ShowConcordanceOfClouds(std::unique_ptr<CConcordanceWnd>& window) {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雲 雨"), SearchMode::kOr);
    window = std::make_unique<CConcordanceWnd>(*form());
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get());
  }
  void PressEnterOn(QWidget* widget) {
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Return);
  }

 private slots:
  void initTestCase() {
    // The settings the form keeps go to a test folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QSettings().remove(QString::fromUtf8(CLeftForm::kListColumnsKey));
    std::string error;
    QVERIFY2(WriteCorpus(PathOf(m_corpusDir.path()), FormFixture(), error), error.c_str());
  }
  void init() {
    m_pWarnings = std::make_unique<CWarningRecorder>();
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(m_corpusDir.path()));
    m_pWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
  }
  void cleanup() {
    m_pWindow.reset();
    m_pWarnings.reset();
  }

  void startsOnTheContentsTab() {
    QCOMPARE(form()->CurrentTab(), CLeftForm::Tab::kContents);
    QCOMPARE(form()->tabs()->currentIndex(), 0);
    QVERIFY(form()->tree()->isVisible());
    QVERIFY(!form()->resultList()->isVisible());
    // The whole corpus heads the two categories, open.
    QCOMPARE(form()->tree()->topLevelItemCount(), 1);
    QTreeWidgetItem* whole = form()->tree()->topLevelItem(0);
    QCOMPARE(whole->text(0), QStringLiteral("全体"));
    QVERIFY(whole->isExpanded());
    QCOMPARE(whole->childCount(), 2);
    QCOMPARE(whole->child(0)->text(0), QStringLiteral("經部"));
    QCOMPARE(whole->child(0)->childCount(), 2);
    QCOMPARE(form()->TreeItemOfRecord(1), whole->child(0));
    QCOMPARE(form()->TreeItemOfRecord(4)->parent(), form()->TreeItemOfRecord(2));
    QCOMPARE(form()->scopeLabel()->text(), QStringLiteral("ｾｭ"));
    QCOMPARE(form()->ScopeRecord(), 1);
    QCOMPARE(m_pWindow->view()->GetLocationURL(), QStringLiteral("about:blank"));
    std::ifstream listing(PathOf(m_workDir.filePath("zemo.txt")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(listing, line);) lines.push_back(line);
    QCOMPARE(lines.size(), size_t{9});
    QCOMPARE(lines[0], std::string("name=經部\tdocID=1\tdocNo=106\tcurFileName=1"));
    QCOMPARE(lines[1].rfind("\tname=詩經", 0), size_t{0});
    QCOMPARE(lines[3].rfind("\t\tname=卷二", 0), size_t{0});
    QVERIFY(m_pWarnings->messages.empty());
  }

  // Each set of options is exclusive on its own: "and" and "全文" start
  // ticked, and a tick in one set leaves the other alone.
  void optionSetsAreExclusiveApart() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    QVERIFY(form()->modeButton(SearchMode::kAnd)->isVisible());
    QVERIFY(form()->modeButton(SearchMode::kAnd)->isChecked());
    QVERIFY(!form()->modeButton(SearchMode::kOr)->isChecked());
    QVERIFY(form()->targetButton(DisplayCode::kFullText)->isChecked());
    QTest::mouseClick(form()->targetButton(DisplayCode::kMainText), Qt::LeftButton);
    QVERIFY(form()->targetButton(DisplayCode::kMainText)->isChecked());
    QVERIFY(!form()->targetButton(DisplayCode::kFullText)->isChecked());
    QVERIFY(form()->modeButton(SearchMode::kAnd)->isChecked());
    QTest::mouseClick(form()->modeButton(SearchMode::kOr), Qt::LeftButton);
    QVERIFY(form()->modeButton(SearchMode::kOr)->isChecked());
    QVERIFY(!form()->modeButton(SearchMode::kAnd)->isChecked());
    QVERIFY(form()->targetButton(DisplayCode::kMainText)->isChecked());
  }

  // Dragged as narrow as the splitter lets it, the search tab still shows
  // every option whole, inside its frame, none over another.
  void narrowestPaneKeepsEveryControlWhole() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    const int least = form()->minimumWidth();
    QCOMPARE(least, form()->MinimumLayoutWidth());
    QVERIFY2(least <= 260, qPrintable(QString::number(least)));  // the pane's start width stays allowed
    m_pWindow->setSizes({100, 900});
    QCOMPARE(form()->width(), least);
    QGroupBox* modeGroup = nullptr;
    QGroupBox* targetGroup = nullptr;
    for (QGroupBox* group : form()->findChildren<QGroupBox*>()) {
      if (group->title() == QStringLiteral("検索方法：")) modeGroup = group;
      if (group->title() == QStringLiteral("検索対象：")) targetGroup = group;
    }
    QVERIFY(modeGroup && targetGroup);
    const std::pair<QRadioButton*, QGroupBox*> options[] = {
        {form()->modeButton(SearchMode::kAnd), modeGroup},
        {form()->modeButton(SearchMode::kOr), modeGroup},
        {form()->targetButton(DisplayCode::kFullText), targetGroup},
        {form()->targetButton(DisplayCode::kMainText), targetGroup},
        {form()->targetButton(DisplayCode::kAnnotations), targetGroup},
    };
    for (const auto& [button, group] : options) {
      QVERIFY2(button->isVisible(), qPrintable(button->text()));
      QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
      QVERIFY2(group->geometry().contains(button->geometry()), qPrintable(button->text()));
      for (const auto& [other, otherGroup] : options) {
        if (other == button) continue;
        QVERIFY2(!button->geometry().intersects(other->geometry()), qPrintable(button->text() + other->text()));
      }
    }
    for (QWidget* label : std::initializer_list<QWidget*>{form()->variantBox(), form()->tallyLabel()}) {
      QVERIFY(label->width() >= label->sizeHint().width());
      QVERIFY(form()->rect().contains(label->geometry()));
    }
  }

  // The pager row of the first search that lists hits stands where every
  // later layout pass (a tab change, a resize) puts it.
  void pagerRowKeepsItsPlace() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雨"));
    QCOMPARE(form()->ResultPages(), 1);
    const QList<QWidget*> row = {form()->prevPageButton(), form()->nextPageButton(), form()->pageEdit(),
                                 form()->pageCountLabel(), form()->resultList()};
    QList<QRect> first;
    for (QWidget* control : row) first << control->geometry();
    QCOMPARE(first[0].bottom() + 1, form()->height() - 3 - 2);
    form()->SelectTab(CLeftForm::Tab::kContents);
    form()->SelectTab(CLeftForm::Tab::kSearch);
    for (int i = 0; i < row.size(); ++i) QCOMPARE(row[i]->geometry(), first[i]);
    const int height = form()->height();
    m_pWindow->resize(m_pWindow->width(), m_pWindow->height() + 10);
    QTRY_COMPARE(form()->height(), height + 10);
    m_pWindow->resize(m_pWindow->width(), m_pWindow->height() - 10);
    QTRY_COMPARE(form()->height(), height);
    for (int i = 0; i < row.size(); ++i) QCOMPARE(row[i]->geometry(), first[i]);
  }

  // A click on a tab hides the control that had the keyboard; the tab's
  // own first control takes it, so typing goes on in the pane.
  void choosingATabKeepsTheKeyboardInThePane() {
    m_pWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pWindow.get()));
    QTabBar* bar = form()->tabs()->tabBar();
    form()->tree()->setFocus();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(static_cast<int>(CLeftForm::Tab::kSearch)).center());
    QTRY_COMPARE(QApplication::focusWidget(), form()->keywordBox());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("yue"));
    QCOMPARE(form()->keywordBox()->text(), QStringLiteral("yue"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(static_cast<int>(CLeftForm::Tab::kContents)).center());
    QTRY_COMPARE(QApplication::focusWidget(), form()->tree());
    // From the view too: the click on the tab says where the reader works.
    m_pWindow->view()->setFocus();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(static_cast<int>(CLeftForm::Tab::kSearch)).center());
    QTRY_COMPARE(QApplication::focusWidget(), form()->keywordBox());
    // So from the tab bar, which has the keyboard at start.
    bar->setFocus();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(static_cast<int>(CLeftForm::Tab::kContents)).center());
    QTRY_COMPARE(QApplication::focusWidget(), form()->tree());
    // The arrow keys on the tab bar itself leave the keyboard there.
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(form()->CurrentTab(), CLeftForm::Tab::kSearch);
    QTest::keyClick(bar, Qt::Key_Left);
    QCOMPARE(form()->CurrentTab(), CLeftForm::Tab::kContents);
    QCOMPARE(QApplication::focusWidget(), bar);
  }

  // Tab goes through the pager in the order it is seen: "<", the page
  // number, ">".
  void pagerTabOrderFollowsTheRow() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雲"));
    QCOMPARE(form()->ResultPages(), 2);
    QCOMPARE(form()->prevPageButton()->nextInFocusChain(), form()->pageEdit());
    QCOMPARE(form()->pageEdit()->nextInFocusChain(), form()->nextPageButton());
  }

  void selectingAVolumeShowsItsFirstPage() {
    QSignalSpy shown(form(), &CLeftForm::VolumeShown);
    SelectRecord(4);
    QCOMPARE(form()->scopeLabel()->text(), QStringLiteral("經部\\詩經\\卷二"));
    QCOMPARE(form()->ScopeRecord(), 4);
    QCOMPARE(form()->Reading().CurRecord(), 4);
    QCOMPARE(form()->Reading().CurPage(), 4);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.first(), (QList<QVariant>{4, 5}));
    std::string stored;
    QVERIFY(form()->index().ReadPage(3, stored));
    QCOMPARE(ReadAll(form()->PageFile()).toStdString(), stored);
    QCOMPARE(m_pWindow->view()->GetLocationURL(), QUrl::fromLocalFile(form()->PageFile()).toString());

    // A work or a category: only the scope moves.
    for (int record : {5, 7}) {
      SelectRecord(record);
      QCOMPARE(form()->ScopeRecord(), record);
      QCOMPARE(form()->Reading().CurRecord(), 4);
      QCOMPARE(ReadAll(form()->PageFile()).toStdString(), stored);
    }
    QCOMPARE(form()->scopeLabel()->text(), QStringLiteral("集部"));
    QCOMPARE(shown.count(), 1);
  }

  void wholeCorpusScopeListsEveryPage() {
    SelectRecord(4);
    const QByteArray shown = ReadAll(form()->PageFile());
    form()->tree()->setCurrentItem(form()->tree()->topLevelItem(0));
    QCOMPARE(form()->scopeLabel()->text(), QStringLiteral("全体"));
    QCOMPARE(form()->ScopeRecord(), CLeftForm::kWholeCorpusRecord);
    QCOMPARE(form()->Reading().CurRecord(), 4);
    QCOMPARE(ReadAll(form()->PageFile()), shown);
    // 雲 stands on the 101 pages of 經部\雜篇 and nowhere else; 鶴 only in 集部.
    form()->SelectTab(CLeftForm::Tab::kSearch);
    for (const char* keyword : {"雲 鶴", "鶴"}) {
      Search(QString::fromUtf8(keyword), SearchMode::kOr);
      QVERIFY(m_pWarnings->messages.empty());
      std::set<uint32_t> raw(form()->index().GetPageArray().begin(), form()->index().GetPageArray().end());
      QCOMPARE(ListedPages(*form()), raw);
    }
    QCOMPARE(form()->HitEntries().front().category, std::u16string(u"集部"));
  }

  void treeShowsHitPagesPerNode() {
    QTreeWidget* tree = form()->tree();
    tree->setCurrentItem(tree->topLevelItem(0));
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雲 鶴"), SearchMode::kOr);
    const int column = CLeftForm::kCountColumn;
    auto countOf = [&](int record) { return form()->TreeItemOfRecord(record)->text(column); };
    QCOMPARE(tree->topLevelItem(0)->text(column), QStringLiteral("(103)"));
    QCOMPARE(countOf(1), QStringLiteral("(101)"));
    QCOMPARE(countOf(2), QString());  // 詩經: no hit
    QCOMPARE(countOf(5), QStringLiteral("(101)"));
    QCOMPARE(countOf(6), QStringLiteral("(101)"));
    QCOMPARE(countOf(7), QStringLiteral("(2)"));
    QCOMPARE(countOf(9), QStringLiteral("(2)"));
    // The categories, 101 + 2, add up to the tally's pages.
    QVERIFY(form()->tallyLabel()->text().startsWith(QStringLiteral("全部で 103 頁で")));
    // The next search replaces the counts: 經部 has no 鶴.
    Search(QStringLiteral("鶴"));
    QCOMPARE(countOf(1), QString());
    QCOMPARE(countOf(7), QStringLiteral("(2)"));
    QCOMPARE(tree->topLevelItem(0)->text(column), QStringLiteral("(2)"));
  }

  void listShowsHitCountAndFirstHitInContext() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雲"));
    CSortListCtrl* list = form()->resultList();
    QCOMPARE(list->columnCount(), 6);
    QCOMPARE(list->RowCount(), CLeftForm::kRowsPerListPage);
    for (int page : {1, 2}) {
      if (page == 2) form()->OnNextResultPage();
      for (int row = 0; row < list->RowCount(); ++row) {
        const SearchNodeTag& entry = form()->HitEntries()[(page - 1) * CLeftForm::kRowsPerListPage + row];
        QTreeWidgetItem* item = list->topLevelItem(row);
        QCOMPARE(item->text(4), QString::number(entry.hitCount));
        const QString context = item->text(5);
        QVERIFY2(context.contains(QStringLiteral("【雲】")), qPrintable(context));
        std::string text;
        QVERIFY(form()->index().ReadPage(entry.pageNumber, text));
        QString plain = context;
        plain.remove(u'【').remove(u'】');
        QVERIFY2(QString::fromStdString(text).contains(plain), qPrintable(plain));
      }
    }
  }

  void contextOfARowShownLaterKeepsItsResultsOptions() {
    // A row's context is read from its page when the row is first shown,
    // yet always as its own result found it: a change of target between
    // the search and the first look changes nothing.
    form()->SelectTab(CLeftForm::Tab::kSearch);
    CSortListCtrl* list = form()->resultList();
    Search(QStringLiteral("雲"));
    QStringList shownAtOnce;
    for (int row = 0; row < list->RowCount(); ++row) shownAtOnce << list->topLevelItem(row)->text(5);
    Search(QStringLiteral("雲"));
    form()->SelectTarget(DisplayCode::kAnnotations);
    QStringList shownLater;
    for (int row = 0; row < list->RowCount(); ++row) shownLater << list->topLevelItem(row)->text(5);
    form()->SelectTarget(DisplayCode::kFullText);
    QCOMPARE(shownLater, shownAtOnce);
  }

  void concordanceListsEveryHitAndOpensIt() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雲 雨"), SearchMode::kOr);
    CConcordanceWnd window(*form());
    CConcordanceModel* model = window.model();
    uint64_t hits = 0;
    for (const SearchNodeTag& entry : form()->HitEntries()) hits += entry.hitCount;
    QCOMPARE(uint64_t(model->rowCount()), hits);  // 101 雲 and 100 雨
    QCOMPARE(model->rowCount(), 201);
    QCOMPARE(model->index(0, CConcordanceModel::kHit).data().toString(), QStringLiteral("雲"));
    QCOMPARE(model->index(0, CConcordanceModel::kRight).data().toString(), QStringLiteral("雨"));
    QCOMPARE(model->index(1, CConcordanceModel::kLeft).data().toString(), QStringLiteral("雲"));
    QCOMPARE(model->index(1, CConcordanceModel::kHit).data().toString(), QStringLiteral("雨"));
    // Before the hit: "" sorts first, so every 雲 row comes before the 雨 rows.
    model->sort(CConcordanceModel::kLeft);
    QCOMPARE(model->index(100, CConcordanceModel::kHit).data().toString(), QStringLiteral("雲"));
    QCOMPARE(model->index(101, CConcordanceModel::kHit).data().toString(), QStringLiteral("雨"));
    // The second hit of its page opens at the page's second anchor.
    QVERIFY(LoadAndWait(m_pWindow->view(), [&] { window.OpenRow(101); }));
    QCOMPARE(form()->Reading().HitFragment(), std::string("#0001"));
  }

  // The window opens wide enough for every column: where an occurrence
  // stands (volume, page) shows without scrolling, each label whole.
  void concordanceShowsEveryColumnAtOnce() {
    std::unique_ptr<CConcordanceWnd> window;
    QVERIFY(ShowConcordanceOfClouds(window));
    QTableView* table = window->table();
    const int last = CConcordanceModel::kPage;
    QVERIFY(table->columnViewportPosition(last) + table->columnWidth(last) <= table->viewport()->width());
    for (int column = CConcordanceModel::kCategory; column <= last; ++column) {
      const QString text = window->model()->index(0, column).data().toString();
      QVERIFY2(table->columnWidth(column) > table->fontMetrics().horizontalAdvance(text), qPrintable(text));
    }
  }

  // Enter on a row opens its hit as a double-click does; it never presses
  // the window's save button, whose file dialog would stand in the way.
  void concordanceRowOpensWithEnter() {
    std::unique_ptr<CConcordanceWnd> window;
    QVERIFY(ShowConcordanceOfClouds(window));
    QTableView* table = window->table();
    table->setFocus();
    table->setCurrentIndex(window->model()->index(101, CConcordanceModel::kHit));
    bool dialogShown = false;
    QTimer::singleShot(500, [&] {
      if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window.get()) {
        dialogShown = true;
        modal->close();
      }
    });
    QVERIFY(LoadAndWait(m_pWindow->view(), [&] { QTest::keyClick(table, Qt::Key_Return); }));
    QCOMPARE(form()->Reading().HitFragment(), std::string("#0001"));
    QTest::qWait(600);
    QVERIFY(!dialogShown);
  }

  void concordanceOpensAWildcardHitAtItsOwnAnchor() {
    // Each 山?之 match is marked with three anchors (山, the '?', 之): the
    // sixth match starts at anchor 15, not 5.
    form()->tree()->setCurrentItem(form()->tree()->topLevelItem(0));  // 全体
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("山?之"));
    CConcordanceWnd window(*form());
    QCOMPARE(window.model()->rowCount(), 200);
    QVERIFY(LoadAndWait(m_pWindow->view(), [&] { window.OpenRow(5); }));
    QCOMPARE(form()->Reading().HitFragment(), std::string("#0015"));
  }

  void listColumnsFitAndAreRemembered() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雲"));
    CSortListCtrl* list = form()->resultList();
    // The volume column is wide enough for its longest name.
    const int volume = 2;
    QVERIFY(list->columnWidth(volume) >= list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(volume)));
    list->setColumnWidth(1, 233);
    m_pWindow.reset();  // the form keeps its columns as it goes
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(m_corpusDir.path()));
    QCOMPARE(form()->resultList()->columnWidth(1), 233);
    // A damaged value leaves the columns as made.
    m_pWindow.reset();
    QSettings().setValue(QString::fromUtf8(CLeftForm::kListColumnsKey), QByteArray("damaged"));
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(m_corpusDir.path()));
    QCOMPARE(form()->resultList()->columnCount(), 6);
    QVERIFY(form()->resultList()->columnWidth(1) != 233);
    QSettings().remove(QString::fromUtf8(CLeftForm::kListColumnsKey));
  }

  void historyReachesTheSettingsWithoutAClose() {
    // Written once the list is shown, not at the end of the run, yet
    // without waiting for the form to close.
    const QString key = QString::fromUtf8(CLeftForm::kHistoryKey);
    QSettings().remove(key);
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雲"));
    QCOMPARE(form()->History().Records().front().keyword, std::u16string(u"雲"));
    QVERIFY(QSettings().value(key).toString().isEmpty());
    QTRY_VERIFY(QSettings().value(key).toString().contains(QStringLiteral("雲")));
    QSettings().remove(key);
  }

  void historySurvivesARestartAndRunsAgain() {
    const QString key = QString::fromUtf8(CLeftForm::kHistoryKey);
    m_pWindow.reset();
    QSettings().remove(key);
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(m_corpusDir.path()));
    QVERIFY(form()->History().Records().empty());
    QVERIFY(!form()->historyArrow()->isVisible());
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雲"));
    // The arrow in the box opens the drop-down, as the Down key does.
    QVERIFY(form()->historyArrow()->isVisible());
    form()->historyArrow()->trigger();
    QVERIFY(form()->historyCompleter()->popup()->isVisible());
    form()->historyCompleter()->popup()->hide();
    SelectRecord(9);
    Search(QStringLiteral("鶴"), SearchMode::kOr, false);
    Search(QStringLiteral("ab"));  // refused: not recorded
    const std::vector<SearchRecord> records = form()->History().Records();
    QCOMPARE(records.size(), size_t{2});
    QCOMPARE(records[0], (SearchRecord{u"鶴", SearchMode::kOr, DisplayCode::kFullText, false, 9, u"集部\\唐詩\\卷一"}));
    QCOMPARE(records[1], (SearchRecord{u"雲", SearchMode::kAnd, DisplayCode::kFullText, true, 1, u"經部"}));

    m_pWindow.reset();
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(m_corpusDir.path()));
    QCOMPARE(form()->History().Records(), records);
    QCOMPARE(form()->historyCompleter()->model()->rowCount(), 2);
    form()->RunHistory(1);
    QCOMPARE(form()->keywordBox()->text(), QStringLiteral("雲"));
    QCOMPARE(form()->Mode(), SearchMode::kAnd);
    QVERIFY(form()->Variant());
    QCOMPARE(form()->ScopeRecord(), 1);
    QCOMPARE(form()->HitEntries().size(), size_t{101});
    QCOMPARE(form()->History().Records().front().keyword, std::u16string(u"雲"));

    // A damaged history keeps what reads whole.
    m_pWindow.reset();
    const size_t warned = m_pWarnings->messages.size();
    QSettings().setValue(key, QStringLiteral("garbage\n0\t0\t1\t1\t月\n"));
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(m_corpusDir.path()));
    QCOMPARE(form()->History().Records().size(), size_t{1});
    QCOMPARE(m_pWarnings->messages.size(), warned);
    m_pWindow.reset();
    QSettings().remove(key);
  }

  // A history kept with another catalogue (a rebuilt corpus, another one
  // opened) names and runs its scope by its path, not by a record number
  // that is another scope here; a path this catalogue lacks is said and
  // not searched elsewhere, and a line of the older form keeps its number.
  void historyScopeFollowsItsPath() {
    const QString key = QString::fromUtf8(CLeftForm::kHistoryKey);
    m_pWindow.reset();
    QSettings().setValue(key, QStringLiteral("0\t0\t1\t2\t集部\\唐詩\\卷一\t鶴\n"
                                             "0\t0\t1\t4\t經部\\序\t雲\n"
                                             "0\t0\t1\t8\t雲\n"));
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(m_corpusDir.path()));
    QAbstractItemModel* dropDown = form()->historyCompleter()->model();
    QVERIFY(dropDown->index(0, 0).data().toString().endsWith(QStringLiteral("・集部\\唐詩\\卷一〕")));
    QVERIFY(dropDown->index(1, 0).data().toString().endsWith(QStringLiteral("・經部\\序〕")));
    QVERIFY(dropDown->index(2, 0).data().toString().endsWith(QStringLiteral("・集部\\唐詩〕")));
    // Each run goes to the top of the history, moving the others down.
    form()->RunHistory(2);
    QCOMPARE(form()->ScopeRecord(), 8);
    form()->RunHistory(1);
    QCOMPARE(form()->ScopeRecord(), 9);
    QCOMPARE(form()->ScopeText(), QStringLiteral("集部\\唐詩\\卷一"));
    QVERIFY(m_pWarnings->messages.empty());
    const std::size_t listed = form()->HitEntries().size();
    form()->RunHistory(3);
    QCOMPARE(m_pWarnings->messages,
             std::vector<std::string>{std::string(kHistoryScopeMissingMessage) + "\n經部\\序"});
    QCOMPARE(form()->ScopeRecord(), 9);
    QCOMPARE(form()->keywordBox()->text(), QStringLiteral("雲"));
    QCOMPARE(form()->HitEntries().size(), listed);  // the 鶴 of 唐詩 still
    QCOMPARE(form()->History().Records().front().keyword, std::u16string(u"鶴"));
    m_pWindow.reset();
    QSettings().remove(key);
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(m_corpusDir.path()));
  }

  void showRecordPageNeverShowsAWrongPage() {
    SelectRecord(3);
    const QByteArray shown = ReadAll(form()->PageFile());
    QVERIFY(form()->ShowRecordPage(3, 0, 2));
    const QByteArray second = ReadAll(form()->PageFile());
    QVERIFY(second != shown);
    // File 4 exists, but in the next volume; file 99 nowhere; record 0 and
    // records beyond the catalogue hold nothing.
    for (auto [record, file] : {std::pair{3, 4}, {4, 99}, {0, 1}, {50, 1}, {-1, 1}}) {
      QVERIFY(!form()->ShowRecordPage(record, 0, file));
      QCOMPARE(ReadAll(form()->PageFile()), second);
    }
    // With the engine closed nothing can be read, so nothing is written.
    form()->index().Close();
    QVERIFY(!form()->ShowRecordPage(3, 1, 1));
    QCOMPARE(ReadAll(form()->PageFile()), second);
  }

  void searchRun_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<SearchMode>("mode");
    QTest::addColumn<bool>("variants");
    QTest::addColumn<QList<uint32_t>>("pages");
    const SearchMode kAnd = SearchMode::kAnd;
    QTest::newRow("and, ideographic space") << QStringLiteral("明月　清風") << kAnd << true << QList<uint32_t>{1};
    QTest::newRow("or") << QStringLiteral("明月 清風") << SearchMode::kOr << true << QList<uint32_t>{0, 1, 2, 3};
    QTest::newRow("variants folded") << QStringLiteral("学") << kAnd << true << QList<uint32_t>{0, 1};
    QTest::newRow("variants apart") << QStringLiteral("学") << kAnd << false << QList<uint32_t>{1};
    QTest::newRow("nothing in scope") << QStringLiteral("鶴") << kAnd << true << QList<uint32_t>{};
  }
  void searchRun() {
    QFETCH(QString, keyword);
    QFETCH(SearchMode, mode);
    QFETCH(bool, variants);
    QFETCH(QList<uint32_t>, pages);
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(keyword, mode, variants);
    QVERIFY(m_pWarnings->messages.empty());
    QCOMPARE(ListedPages(*form()), std::set<uint32_t>(pages.begin(), pages.end()));
    uint64_t hits = 0;
    for (const SearchNodeTag& entry : form()->HitEntries()) hits += entry.hitCount;
    QVERIFY(pages.isEmpty() || hits >= uint64_t(pages.size()));
    QCOMPARE(form()->tallyLabel()->text(), QStringLiteral("全部で %1 頁で、%2 箇所でした。").arg(pages.size()).arg(hits));
    QCOMPARE(form()->resultList()->RowCount(), int(pages.size()));
    QCOMPARE(form()->ResultPages(), pages.isEmpty() ? 0 : 1);
    QCOMPARE(form()->prevPageButton()->isVisible(), !pages.isEmpty());
    QCOMPARE(form()->Mode(), mode);
    QCOMPARE(form()->Variant(), variants);
    // The engine hands back its spelling of the query; the box keeps the text as typed.
    QCOMPARE(QString::fromStdU16String(form()->Keyword()), QString(keyword).replace(u' ', u'\u3000'));
    QCOMPARE(form()->keywordBox()->text(), keyword);
  }

  void earlyEndsKeepTheListedResult_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("message");
    QTest::newRow("latin") << QStringLiteral("明月abc") << QString::fromUtf8(kRefusedKeywordMessage);
    QTest::newRow("digits") << QStringLiteral("12") << QString::fromUtf8(kRefusedKeywordMessage);
    QTest::newRow("empty") << QString() << QString::fromUtf8(kBlankKeywordMessage);
    QTest::newRow("only spaces") << QStringLiteral("　 ") << QString::fromUtf8(kBlankKeywordMessage);
  }
  void earlyEndsKeepTheListedResult() {
    QFETCH(QString, keyword);
    QFETCH(QString, message);
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("明月"), SearchMode::kAnd, true);
    const QString tally = form()->tallyLabel()->text();
    const std::vector<SearchNodeTag> entries = form()->HitEntries().Labelled();
    QCOMPARE(entries.size(), size_t{3});
    Search(keyword, SearchMode::kOr, false);
    QCOMPARE(m_pWarnings->messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(m_pWarnings->messages[0]), message);
    QCOMPARE(form()->tallyLabel()->text(), tally);
    QCOMPARE(form()->HitEntries().size(), entries.size());
    QCOMPARE(form()->resultList()->RowCount(), 3);
    QCOMPARE(QString::fromStdU16String(form()->Keyword()), QStringLiteral("明月"));
    QCOMPARE(form()->Mode(), SearchMode::kAnd);
    QCOMPARE(form()->Variant(), true);
  }

  void noScopeWithoutACatalogue() {
    QTemporaryDir bare;
    for (const char* name : {"Index-fl.h", "Index-fl.cnt", "Index-idx.h", "Index-idx.m"}) {
      QVERIFY(QFile::copy(QDir(m_corpusDir.path()).filePath(name), QDir(bare.path()).filePath(name)));
    }
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(bare.path()));
    QCOMPARE(m_pWarnings->messages, (std::vector<std::string>{kCatalogueMissingMessage}));
    QCOMPARE(form()->tree()->topLevelItemCount(), 0);
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("明月"));
    QCOMPARE(m_pWarnings->messages.back(), std::string(kNoScopeMessage));
    QCOMPARE(form()->tallyLabel()->text(), QStringLiteral("検索集計："));
    QVERIFY(form()->Keyword().empty());
  }

  void targetButtonsReopenTheEngine() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("明月"));
    QCOMPARE(form()->resultList()->RowCount(), 3);
    // The annotation index knows 松 on every page; the main text on two.
    const std::pair<DisplayCode, int> cases[] = {
        {DisplayCode::kAnnotations, 106}, {DisplayCode::kMainText, 2}, {DisplayCode::kFullText, 2}};
    for (auto [button, found] : cases) {
      form()->targetButton(button)->click();
      QCOMPARE(form()->Display(), button);
      QVERIFY(form()->index().IsOpen());
      QCOMPARE(form()->resultList()->RowCount() > 0, true);  // rows stay until the next search
      Search(QStringLiteral("松"));
      QCOMPARE(int(form()->HitEntries().size()), found);
    }
    QVERIFY(m_pWarnings->messages.empty());
  }

  void pager() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("雨"));
    QCOMPARE(form()->ResultPages(), 1);
    QVERIFY(!form()->prevPageButton()->isEnabled());
    QVERIFY(!form()->nextPageButton()->isEnabled());
    QVERIFY(form()->pageEdit()->isReadOnly());
    QCOMPARE(form()->pageEdit()->text(), QStringLiteral("1"));
    QCOMPARE(form()->pageCountLabel()->text(), QStringLiteral("/1"));
    QCOMPARE(form()->resultList()->RowCount(), 100);

    Search(QStringLiteral("雲"));
    QCOMPARE(form()->HitEntries().size(), size_t{101});
    QCOMPARE(form()->ResultPages(), 2);
    QCOMPARE(form()->pageCountLabel()->text(), QStringLiteral("/2"));
    QVERIFY(!form()->pageEdit()->isReadOnly());
    QVERIFY(!form()->prevPageButton()->isEnabled());
    QVERIFY(form()->nextPageButton()->isEnabled());
    form()->nextPageButton()->click();
    QCOMPARE(form()->ResultPage(), 2);
    QCOMPARE(form()->resultList()->RowCount(), 1);
    QCOMPARE(form()->resultList()->RowPage(0), uint32_t{105});
    QVERIFY(form()->prevPageButton()->isEnabled());
    QVERIFY(!form()->nextPageButton()->isEnabled());

    // Typed numbers out of range, overlong or not numbers put the page back.
    for (const char* typed : {"5", "0", "-1", "", "99999999999999999999", "4294967297"}) {
      form()->pageEdit()->setText(QString::fromLatin1(typed));
      form()->GotoTypedPage();
      QCOMPARE(form()->pageEdit()->text(), QStringLiteral("2"));
      QCOMPARE(form()->ResultPage(), 2);
    }
    // Leaving the edit applies the number.
    form()->pageEdit()->setFocus();
    form()->pageEdit()->setText(QStringLiteral("1"));
    form()->keywordBox()->setFocus();
    QCOMPARE(form()->ResultPage(), 1);
    QCOMPARE(form()->resultList()->RowCount(), 100);
    // The pager row sits at the bottom; the list ends above it.
    const QRect list = form()->resultList()->geometry();
    QCOMPARE(form()->prevPageButton()->geometry().top(), form()->height() - 3 - form()->prevPageButton()->height() - 2);
    QCOMPARE(list.bottom() + 1, form()->height() - 4 - form()->prevPageButton()->height() - 2);
  }

  void enterKeyRouting() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    // At most one list page: Enter searches, once, wherever it is pressed.
    form()->keywordBox()->setText(QStringLiteral("明月"));
    PressEnterOn(form()->keywordBox());
    QCOMPARE(form()->HitEntries().size(), size_t{3});
    form()->keywordBox()->clear();
    PressEnterOn(form()->searchButton());
    QCOMPARE(m_pWarnings->messages, (std::vector<std::string>{kBlankKeywordMessage}));

    // Two list pages: Enter goes to the typed page and does not search.
    form()->keywordBox()->setText(QStringLiteral("雲"));
    PressEnterOn(form()->keywordBox());
    QCOMPARE(form()->ResultPages(), 2);
    const QString tally = form()->tallyLabel()->text();
    form()->keywordBox()->setText(QStringLiteral("明月"));
    form()->pageEdit()->setText(QStringLiteral("2"));
    PressEnterOn(form()->keywordBox());
    QCOMPARE(form()->ResultPage(), 2);
    QCOMPARE(form()->tallyLabel()->text(), tally);

    // On the contents tab Enter is the tree's own.
    form()->SelectTab(CLeftForm::Tab::kContents);
    form()->keywordBox()->clear();
    PressEnterOn(form()->tree());
    QCOMPARE(m_pWarnings->messages.size(), size_t{1});
    QCOMPARE(form()->tallyLabel()->text(), tally);
  }

  void openingHitsAlternatesTheFiles() {
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("明月"));
    CSortListCtrl* list = form()->resultList();
    const QString files[2] = {form()->HitFile(1), form()->HitFile(2)};
    for (int row = 0; row < 3; ++row) {
      const QString& file = files[row % 2];
      list->setCurrentItem(list->topLevelItem(row));
      QCOMPARE(HitFileOf(*form()), file);
      QCOMPARE(m_pWindow->view()->GetLocationURL(), QUrl::fromLocalFile(file).toString() + "#0000");
      QCOMPARE(form()->Reading().CurHit(), 0);
      std::string rendered;
      const int anchors = form()->index().RenderHit(list->RowPage(row), rendered, form()->Keyword(),
                                                    DisplayCode::kFullText, true);
      QCOMPARE(form()->Reading().PageHits(), anchors);
      QVERIFY(anchors >= 1);
      QCOMPARE(ReadAll(file).toStdString(), rendered);
      QVERIFY(rendered.find("<a name=\"0000\">") != std::string::npos);
    }
    // The arrow keys move the selection, and each move opens its row.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(HitFileOf(*form()), files[1]);
    QCOMPARE(m_pWindow->view()->GetLocationURL(), QUrl::fromLocalFile(files[1]).toString() + "#0000");

    // A page the engine cannot read writes nothing and moves nothing, not
    // even the anchor reached on the page shown. Page 0 holds the four
    // keywords: four anchors.
    Search(QStringLiteral("學 習 之 明月"), SearchMode::kOr);
    list->setCurrentItem(list->topLevelItem(0));
    QCOMPARE(list->RowPage(0), uint32_t{0});
    QCOMPARE(form()->Reading().PageHits(), 4);
    const QString shown = HitFileOf(*form());
    const QString other = shown == files[0] ? files[1] : files[0];
    form()->ShowNextHit();
    form()->ShowNextHit();
    QCOMPARE(form()->Reading().CurHit(), 2);
    const QString anchor = QUrl::fromLocalFile(shown).toString() + "#0002";
    QCOMPARE(m_pWindow->view()->GetLocationURL(), anchor);
    const QByteArray before = ReadAll(other);
    form()->index().Close();
    list->setCurrentItem(list->topLevelItem(1));
    QCOMPARE(HitFileOf(*form()), shown);
    QCOMPARE(form()->Reading().CurHit(), 2);
    QCOMPARE(ReadAll(other), before);
    QCOMPARE(m_pWindow->view()->GetLocationURL(), anchor);
  }

  void openedHitScrollsToItsAnchor() {
    SelectRecord(9);
    form()->SelectTab(CLeftForm::Tab::kSearch);
    Search(QStringLiteral("鶴"));
    QCOMPARE(form()->resultList()->RowCount(), 2);
    QCOMPARE(form()->resultList()->RowPage(0), uint32_t{106});
    CSortListCtrl* list = form()->resultList();
    QVERIFY(LoadAndWait(m_pWindow->view(), [&] { list->setCurrentItem(list->topLevelItem(0)); }));
    QTRY_VERIFY_WITH_TIMEOUT(RunScript(m_pWindow->view(), "window.scrollY").toDouble() > 1000, 10000);
    const double anchorTop =
        RunScript(m_pWindow->view(), "document.getElementsByName('0000')[0].getBoundingClientRect().top").toDouble();
    // Near the top, with the few lines before the hit still in view.
    QVERIFY2(anchorTop >= 32 && anchorTop < 150, qPrintable(QString::number(anchorTop)));
  }

  void pageFilesAreRemovedAtTheEnd() {
    SelectRecord(3);
    const QString page = form()->PageFile();
    QVERIFY(QFile::exists(page));
    QVERIFY(QFile::exists(QFileInfo(page).dir().filePath("../Back.gif")));
    m_pWindow.reset();
    QVERIFY(!QFile::exists(page));
  }
  // A corpus rebuilt under the form, the builder's way (finished files
  // renamed over the old ones): a change of target is refused with a word
  // to the user, and the index open still answers from the corpus the tree
  // was built from.
  void targetChangeRefusesARebuiltCorpus() {
    QTemporaryDir corpus, rebuilt;
    std::string error;
    QVERIFY2(WriteCorpus(PathOf(corpus.path()), FormFixture(), error), error.c_str());
    m_pWindow = std::make_unique<CPanelWindow>(PlacesIn(corpus.path()));
    form()->targetButton(DisplayCode::kAnnotations)->click();
    form()->targetButton(DisplayCode::kFullText)->click();
    QVERIFY(m_pWarnings->messages.empty());

    QVERIFY2(WriteCorpus(PathOf(rebuilt.path()), FormFixture(), error), error.c_str());
    for (const QString& name : QDir(rebuilt.path()).entryList(QDir::Files)) {
      QCOMPARE(std::rename(rebuilt.filePath(name).toUtf8().constData(), corpus.filePath(name).toUtf8().constData()), 0);
    }
    form()->targetButton(DisplayCode::kMainText)->click();
    QCOMPARE(m_pWarnings->messages, std::vector<std::string>{kCorpusReplacedMessage});
    QVERIFY(form()->targetButton(DisplayCode::kFullText)->isChecked());
    Search(QStringLiteral("雲"));
    QCOMPARE(form()->HitEntries().size(), size_t(101));
  }
};

QTEST_MAIN(LeftFormTest)
#include "leftform_test.moc"
