#include "panel/leftform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSettings>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <iostream>

#include "corpus/filelistformat.h"
#include "panel/keywordbox.h"
#include "panel/messagebox.h"
#include "panel/sortlistctrl.h"
#include "panel/tooltipbutton.h"

namespace {

std::filesystem::path PathOf(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

}  // namespace

CLeftForm::Places CLeftForm::Places::Default() {
  Places places;
  places.programFolder = PathOf(QCoreApplication::applicationDirPath());
  places.tempBase = PathOf(QStandardPaths::writableLocation(QStandardPaths::TempLocation));
  places.listingFile = kCatalogueListingName;
  return places;
}

CLeftForm::CLeftForm(const Places& places, QWidget* parent)
    : QWidget(parent), m_programFolder(places.programFolder), m_strScopePath(QStringLiteral("ｾｭ")) {
  PreparePageFiles(places);
  // Taken before anything is opened: a rebuild from here on shows as a change.
  m_corpusFiles = IdentifyCorpusFiles(m_programFolder, kCorpusNameUtf16);
  if (!m_index.Open(m_programFolder, kCorpusNameUtf16, SearchTarget::kFullText)) ShowWarning(kOpenFailedMessage);
  CreateControls();
  RestoreListColumns();
  if (!m_catalogue.Load(m_programFolder / kCatalogueFileName, places.listingFile)) {
    ShowWarning(kCatalogueMissingMessage);
  }
  BuildTree();
  CreateHistory();
  qApp->installEventFilter(this);
  // The splitter will not drag the pane narrower than its controls.
  setMinimumWidth(MinimumLayoutWidth());
  LayoutControls();
}

CLeftForm::~CLeftForm() {
  SaveListColumns();
  if (m_pHistorySaver->isActive()) SaveHistory();
  qApp->removeEventFilter(this);
  m_index.Close();
  // This reader's page folder goes with it; the view may not load from it
  // any more.
  m_pageFolder.Remove();
}

void CLeftForm::RestoreListColumns() {
  // A damaged or foreign value is refused by restoreState, which then
  // leaves the columns as they were made.
  const QByteArray state = QSettings().value(QString::fromUtf8(kListColumnsKey)).toByteArray();
  if (!state.isEmpty()) m_pResultList->header()->restoreState(state);
}

void CLeftForm::SaveListColumns() const {
  QSettings().setValue(QString::fromUtf8(kListColumnsKey), m_pResultList->header()->saveState());
}

void CLeftForm::PreparePageFiles(const Places& places) {
  std::string error;
  if (!m_pageFolder.Prepare(places.tempBase, error)) {
    std::cerr << "codexa: " << error << "; pages cannot be shown\n";
    return;
  }
  QFile builtIn(QStringLiteral(":/panel/Back.gif"));
  builtIn.open(QIODevice::ReadOnly);
  const QByteArray fallback = builtIn.readAll();
  m_pageFolder.InstallBackground(m_programFolder / "Back.gif", std::string_view(fallback.data(), fallback.size()));
  m_strPageFile = m_pageFolder.PageFile("windows.html");
  m_strHitFile1 = m_pageFolder.PageFile("windows1.html");
  m_strHitFile2 = m_pageFolder.PageFile("windows2.html");
}

QString CLeftForm::PageFile() const { return QString::fromStdU16String(m_strPageFile.u16string()); }

QString CLeftForm::HitFile(int which) const {
  return QString::fromStdU16String((which == 1 ? m_strHitFile1 : m_strHitFile2).u16string());
}

void CLeftForm::CreateControls() {
  // A gothic face, 12 pixels high, so that every label fits the 15-pixel
  // rows of the layout with the CJK fonts' tall line spacing.
  QFont font = this->font();
  font.setFamilies({"MS Gothic", "Noto Sans CJK JP", "sans-serif"});
  font.setPixelSize(12);
  setFont(font);
  // Group titles sit on the frame line, leaving the frame's inside to the
  // buttons placed in it.
  setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));

  // The tab control is the backdrop; every other control lies on top of it.
  m_pTabs = new QTabWidget(this);
  m_pTabs->addTab(new QWidget, QStringLiteral("目録"));
  m_pTabs->addTab(new QWidget, QStringLiteral("検索"));
  connect(m_pTabs, &QTabWidget::currentChanged, this, &CLeftForm::OnTabChanged);

  m_pTree = new QTreeWidget(this);
  m_pTree->setHeaderHidden(true);
  m_pTree->setColumnCount(2);
  m_pTree->setIconSize(QSize(20, 20));
  m_pTree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_pTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_pTree->header()->setStretchLastSection(false);
  connect(m_pTree, &QTreeWidget::itemSelectionChanged, this, &CLeftForm::OnTreeSelectionChanged);

  m_pPrompt = new QLabel(QStringLiteral("キーワードを入力して下さい。"), this);
  m_pKeywordBox = new CKeywordBox(this);
  m_pSearchButton = new QPushButton(QStringLiteral("検索"), this);
  m_pSearchButton->setAutoDefault(false);
  connect(m_pSearchButton, &QPushButton::clicked, this, &CLeftForm::OnSearch);
  m_pLine = new QFrame(this);
  m_pLine->setFrameShape(QFrame::HLine);
  m_pLine->setFrameShadow(QFrame::Sunken);
  m_pVariantBox = new QCheckBox(QStringLiteral("簡繁・中日等の異体字の関連"), this);
  m_pVariantBox->setChecked(m_bVariant);

  // The radio buttons are siblings on the form, where Qt would make all
  // five one exclusive set. Each pair or trio gets its own group before any
  // is ticked, or ticking "全文" would clear "and".
  auto* modes = new QButtonGroup(this);
  auto* targets = new QButtonGroup(this);
  m_pModeGroup = new QGroupBox(QStringLiteral("検索方法："), this);
  m_modeButtons[0] = new QRadioButton(QStringLiteral("and"), this);
  m_modeButtons[1] = new QRadioButton(QStringLiteral("or"), this);
  for (QRadioButton* button : m_modeButtons) modes->addButton(button);
  modeButton(m_nSearchMode)->setChecked(true);
  m_pTargetGroup = new QGroupBox(QStringLiteral("検索対象："), this);
  for (int display = 0; display < 3; ++display) {
    m_targetButtons[display] = new QRadioButton(QString::fromUtf8(kTargetLabels[display]), this);
    targets->addButton(m_targetButtons[display]);
    connect(m_targetButtons[display], &QRadioButton::clicked, this,
            [this, display] { SelectTarget(static_cast<DisplayCode>(display)); });
  }
  targetButton(m_nDisplayCode)->setChecked(true);

  m_pScopeGroup = new QGroupBox(QStringLiteral("検索範囲："), this);
  m_pScopeLabel = new QLabel(m_strScopePath, this);
  QPalette red = m_pScopeLabel->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  m_pScopeLabel->setPalette(red);
  m_pTallyLabel = new QLabel(QStringLiteral("検索集計："), this);

  m_pResultList = new CSortListCtrl(this);
  // The four columns of the list, then the page's hit count and its first
  // hit in context.
  m_pResultList->setHeaderLabels({QStringLiteral("類別"), QStringLiteral("書名"), QStringLiteral("巻"),
                                  QStringLiteral("頁"), QStringLiteral("件数"), QStringLiteral("用例")});
  const int widths[4] = {45, 80, 60, 60};
  for (int column = 0; column < 4; ++column) m_pResultList->setColumnWidth(column, widths[column]);
  connect(m_pResultList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CLeftForm::OnResultSelectionChanged);

  m_pPrevButton = new CToolTipResourceButton(QStringLiteral("<"), this);
  m_pPrevButton->LoadStrip(QStringLiteral(":/panel/pager_prev.png"));
  m_pPrevButton->SetTipText(QStringLiteral("Previous Page"), true);
  connect(m_pPrevButton, &QPushButton::clicked, this, &CLeftForm::OnPrevResultPage);
  m_pNextButton = new CToolTipResourceButton(QStringLiteral(">"), this);
  m_pNextButton->LoadStrip(QStringLiteral(":/panel/pager_next.png"));
  m_pNextButton->SetTipText(QStringLiteral("Next Page"), true);
  connect(m_pNextButton, &QPushButton::clicked, this, &CLeftForm::OnNextResultPage);
  m_pPageEdit = new QLineEdit(this);
  m_pPageEdit->setAlignment(Qt::AlignCenter);
  m_pPageEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
  m_pPageCountLabel = new QLabel(this);
  m_pPageCountLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The keyboard goes through the pager as the row reads: "<", the page
  // number, ">".
  setTabOrder(m_pPrevButton, m_pPageEdit);
  setTabOrder(m_pPageEdit, m_pNextButton);
  ShowPager(false);
}

void CLeftForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutControls();
}

void CLeftForm::ShowSearchControls(bool show) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           m_pPrompt, m_pKeywordBox, m_pSearchButton, m_pLine, m_pVariantBox, m_pModeGroup, m_modeButtons[0],
           m_modeButtons[1], m_pTargetGroup, m_targetButtons[0], m_targetButtons[1], m_targetButtons[2],
           m_pScopeGroup, m_pScopeLabel, m_pTallyLabel, m_pResultList}) {
    control->setVisible(show);
  }
}

void CLeftForm::ShowPager(bool show) {
  m_bPagerShown = show;
  for (QWidget* control : std::initializer_list<QWidget*>{m_pPrevButton, m_pNextButton, m_pPageEdit,
                                                          m_pPageCountLabel}) {
    control->setVisible(show);
  }
}

CLeftForm::Tab CLeftForm::CurrentTab() const {
  return m_pTabs->currentIndex() == static_cast<int>(Tab::kSearch) ? Tab::kSearch : Tab::kContents;
}

void CLeftForm::SelectTab(Tab tab) { m_pTabs->setCurrentIndex(static_cast<int>(tab)); }

void CLeftForm::OnTabChanged() {
  LayoutControls();
  // A click on a tab says the reader works there next: the tab's own first
  // control takes the keyboard. Otherwise it stays where it was: on the
  // tab bar at start, or Qt hands it from the control the tab hid to the
  // next of the window, the text view, and typing after a click on "検索"
  // would go nowhere. Only the tab bar's own arrow keys leave it there, to
  // go on from tab to tab.
  const bool byMouse = QGuiApplication::mouseButtons() != Qt::NoButton;
  if (m_pTabs->tabBar()->hasFocus() && !byMouse) return;
  QWidget* first = CurrentTab() == Tab::kSearch ? static_cast<QWidget*>(m_pKeywordBox) : m_pTree;
  first->setFocus(Qt::OtherFocusReason);
}

void CLeftForm::LayoutControls() {
  const int w = width();
  const int h = height();
  m_pTabs->setGeometry(0, 0, w - 1, h - 1);
  if (CurrentTab() == Tab::kContents) {
    ShowSearchControls(false);
    ShowPager(false);
    m_pTree->setGeometry(5, 26, w - 10, h - 30);
    m_pTree->show();
    return;
  }
  m_pTree->hide();
  ShowSearchControls(true);
  LayoutSearchTab(w, h);
}

namespace {

// The search tab's option buttons: where each is placed and the width it
// gets there at least. A button whose text needs more (another font, another
// style) is widened to its size hint, and pushed right of its left
// neighbour, so that no text is ever cut.
constexpr int kModeY = 115;
constexpr int kModeAndX = 10;
constexpr int kModeWidth = 50;
constexpr int kModeOrFromRight = 70;  // "or" stands at W - 70
constexpr int kTargetY = 160;
constexpr int kTargetX[3] = {10, 97, 189};
constexpr int kTargetWidth = 60;
constexpr int kOptionHeight = 20;
constexpr int kOptionGap = 4;
// Every pager control is as high as this row, whatever the height of the
// button's face; the row's height must not depend on which layout pass
// came first.
constexpr int kPagerButtonHeight = 32;
// From the form's right edge to the inside of a group box's frame: the
// box's own margin of 5 and its 1-pixel line.
constexpr int kGroupInset = 6;

int PlacedWidth(const QWidget* control, int least) { return std::max(least, control->sizeHint().width()); }

}  // namespace

std::array<QRect, 3> CLeftForm::TargetButtonPlaces() const {
  std::array<QRect, 3> places;
  int right = 0;
  for (int i = 0; i < 3; ++i) {
    const int x = std::max(kTargetX[i], right + kOptionGap);
    places[i] = QRect(x, kTargetY, PlacedWidth(m_targetButtons[i], kTargetWidth), kOptionHeight);
    right = places[i].right() + 1;
  }
  return places;
}

int CLeftForm::MinimumLayoutWidth() const {
  // The narrowest form at which the search tab's controls all keep their
  // whole text and none covers another; the contents tab's tree only
  // scrolls. The scope label may show a long path and is left to cut it.
  const int andWidth = PlacedWidth(m_modeButtons[0], kModeWidth);
  const int orWidth = PlacedWidth(m_modeButtons[1], kModeWidth);
  const int orFromRight = std::max(kModeOrFromRight, orWidth + kModeOrFromRight - kModeWidth);
  const int pagerButton = m_pPrevButton->width();
  const int needs[] = {
      TargetButtonPlaces()[2].right() + 1 + kGroupInset,
      kModeAndX + andWidth + kOptionGap + orFromRight,
      m_pPrompt->sizeHint().width() + 10,
      m_pVariantBox->sizeHint().width() + 15,
      m_pTallyLabel->sizeHint().width() + 15,
      m_pKeywordBox->minimumSizeHint().width() + 60,
      m_pModeGroup->minimumSizeHint().width() + 10,
      m_pTargetGroup->minimumSizeHint().width() + 10,
      m_pScopeGroup->minimumSizeHint().width() + 10,
      // The page edit and the count label between the two pager buttons.
      2 * pagerButton + 80,
  };
  return *std::max_element(std::begin(needs), std::end(needs));
}

void CLeftForm::LayoutSearchTab(int w, int h) {
  m_pPrompt->setGeometry(5, 28, w - 10, 15);
  m_pKeywordBox->setGeometry(5, 45, w - 60, 25);
  m_pSearchButton->setGeometry(w - 50, 45, 45, 25);
  m_pLine->setGeometry(4, 75, w - 8, 1);
  m_pVariantBox->setGeometry(5, 80, w - 15, 15);
  m_pModeGroup->setGeometry(5, 100, w - 10, 40);
  const int orWidth = PlacedWidth(m_modeButtons[1], kModeWidth);
  m_modeButtons[0]->setGeometry(kModeAndX, kModeY, PlacedWidth(m_modeButtons[0], kModeWidth), kOptionHeight);
  m_modeButtons[1]->setGeometry(w - kModeOrFromRight - (orWidth - kModeWidth), kModeY, orWidth, kOptionHeight);
  m_pTargetGroup->setGeometry(5, 145, w - 10, 40);
  const std::array<QRect, 3> targets = TargetButtonPlaces();
  for (int i = 0; i < 3; ++i) m_targetButtons[i]->setGeometry(targets[i]);
  m_pScopeGroup->setGeometry(5, 190, w - 10, 40);
  m_pScopeLabel->setGeometry(10, 205, w - 30, 20);
  m_pTallyLabel->setGeometry(5, 235, w - 15, 15);
  int pagerHeight = 0;
  if (m_nResultPages > 0) {
    const int bw = m_pPrevButton->width();
    pagerHeight = kPagerButtonHeight + 2;
    const int y = h - 3 - pagerHeight;
    const int e = (w - 139) / 2 + 37;
    m_pPrevButton->setGeometry(5, y, bw, kPagerButtonHeight);
    m_pNextButton->setGeometry(w - bw - 5, y, bw, kPagerButtonHeight);
    m_pPageEdit->setGeometry(e, y + 6, 35, 20);
    m_pPageCountLabel->setGeometry(e + 37, y + 8, 30, 24);
    m_pPrevButton->ActivateTip(true);
    m_pNextButton->ActivateTip(true);
    ShowPager(true);
  }
  m_pResultList->setGeometry(5, 250, w - 10, h - 254 - pagerHeight);
}

void CLeftForm::SelectTarget(DisplayCode displayCode) {
  const TargetInfo* target = TargetInfoOf(displayCode);
  if (target == nullptr) return;
  // The index open now still reads the corpus the catalogue came from; a
  // rebuilt one is left for the next start (engine/corpusfiles.h).
  if (IdentifyCorpusFiles(m_programFolder, kCorpusNameUtf16) != m_corpusFiles) {
    targetButton(m_nDisplayCode)->setChecked(true);
    ShowWarning(kCorpusReplacedMessage);
    return;
  }
  m_index.Close();
  if (!m_index.Open(m_programFolder, kCorpusNameUtf16, target->target)) ShowWarning(kOpenFailedMessage);
  m_nDisplayCode = displayCode;
}

bool CLeftForm::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || !isAncestorOf(widget)) return false;
  if (event->type() == QEvent::FocusOut && widget == m_pPageEdit) {
    GotoTypedPage();
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Down && widget == m_pKeywordBox) {
    ShowHistory();
    return true;
  }
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  return OnEnterKey();
}

bool CLeftForm::OnEnterKey() {
  // Enter belongs to the search tab only; elsewhere (the contents tree) the
  // key keeps its ordinary meaning. Once used it goes no further, so a
  // focused "検索" button does not search a second time.
  if (CurrentTab() != Tab::kSearch) return false;
  if (m_nResultPages <= 1) {
    OnSearch();
  } else {
    GotoTypedPage();
  }
  return true;
}
