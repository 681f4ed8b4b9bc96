#include "app/mainfrm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMenuBar>
#include <QUrl>

#include "app/aboutdlg.h"
#include "app/helpwnd.h"
#include "app/recentcorpora.h"
#include "view/codexaview.h"
#include "app/splash.h"
#include "app/titles.h"
#include "panel/messagebox.h"

const char* const kLastVolumeMessage = "もう最後の巻まで至りました。";
const char* const kFirstVolumeMessage = "これ以上戻れません。もう巻一に至っています。";

namespace {
constexpr int kIdleUpdateMs = 200;
const QString kArt = QStringLiteral(":/res/");
}  // namespace

CMainFrame::CMainFrame(const CLeftForm::Places& places, QWidget* parent)
    : CMainFrame(places, QString::fromStdU16String(places.programFolder.u16string()), parent) {}

CMainFrame::CMainFrame(const CLeftForm::Places& places, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent),
      m_strProgramFolder(programFolder),
      m_strCorpusFolder(QString::fromStdU16String(places.programFolder.u16string())) {
  // The splash comes first, before anything of the frame is built. A
  // failure met from here on (a corpus or catalogue missing or damaged)
  // ends it before its box appears, so the box is seen and clicked.
  SetBeforeWarningBox([] {
    if (CSplashWnd* splash = CSplashWnd::Current()) splash->HideSplash();
  });
  CSplashWnd::ShowSplash(this, QDir(m_strProgramFolder).filePath(CSplashWnd::kMovieName));

  m_wndPanes = new ST_SplitterWnd(0, this);
  m_pLeftForm = new CLeftForm(places);
  m_pTextView = new CCodexaView;
  m_wndPanes->Create(m_pLeftForm, m_pTextView, true);
  m_pLeftForm->SetTextView(m_pTextView);
  setCentralWidget(m_wndPanes);

  m_wndNavBar = new CSCrollToolBar(this);
  CreateActions();
  CreateMenus();
  CreateToolBar();
  setWindowTitle(QString::fromUtf8(kProductTitle));
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addFile(kArt + QStringLiteral("icons/codexa-%1.png").arg(size));
  setWindowIcon(icon);

  connect(m_pLeftForm, &CLeftForm::VolumeShown, this, [this](int firstFile, int lastFile) {
    m_wndNavBar->ShowVolumeRange(firstFile, lastFile);
    UpdateCommandUI();
  });
  connect(m_pLeftForm, &CLeftForm::ReadingChanged, this, &CMainFrame::UpdateCommandUI);
  connect(m_pTextView, &CCodexaView::PrintWarning, this,
          [](const QString& message) { ShowWarning(message.toStdString()); });
  connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
  // Enabling follows the state while the program is idle, as menus and
  // tool bars of desktop programs do.
  connect(&m_idleUpdate, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
  m_idleUpdate.start(kIdleUpdateMs);
  UpdateCommandUI();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::AddAction(Command command, const QString& text, const QString& tip,
                               void (CMainFrame::*handler)()) {
  auto* action = new QAction(text, this);
  action->setData(static_cast<int>(command));
  if (!tip.isEmpty()) action->setToolTip(tip);
  if (handler) {
    connect(action, &QAction::triggered, this, [this, command, handler] {
      UpdateCommandUI();
      if (!IsCommandEnabled(command)) return;  // a disabled command is never run
      (this->*handler)();
      UpdateCommandUI();
    });
  }
  addAction(action);  // its shortcut works wherever the focus is in the frame
  m_actions.insert(command, action);
  return action;
}

void CMainFrame::CreateActions() {
  auto notBlank = [this] { return !m_pTextView->ShowsBlank(); };
  AddAction(Command::kFileOpen, QStringLiteral("コーパスを開く(&O)..."), {}, &CMainFrame::OnOpenCorpus)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  AddAction(Command::kFilePrintSetup, QStringLiteral("印刷設定(&S)"), {}, &CMainFrame::OnPrintSetup);
  AddAction(Command::kFilePrint, QStringLiteral("印刷(&P)"), QStringLiteral("印刷"), &CMainFrame::OnPrint);
  AddAction(Command::kAppExit, QStringLiteral("終了(&X)"), {}, nullptr);
  connect(Action(Command::kAppExit), &QAction::triggered, this, &QWidget::close);
  AddAction(Command::kEditCopy, QStringLiteral("コピー(&C)"), QStringLiteral("コピー"), nullptr);
  connect(Action(Command::kEditCopy), &QAction::triggered, this, [this] {
    if (IsCommandEnabled(Command::kEditCopy)) m_pTextView->OnCopy();
  });
  Action(Command::kEditCopy)
      ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
  AddAction(Command::kEditSelectAll, QStringLiteral("すべて選択(&Q)"), QStringLiteral("すべて選択"), nullptr);
  connect(Action(Command::kEditSelectAll), &QAction::triggered, this, [this] {
    if (IsCommandEnabled(Command::kEditSelectAll)) m_pTextView->OnSelectAll();
  });
  AddAction(Command::kViewStatusBar, QStringLiteral("状態バー(&S)"), {}, nullptr);
  AddAction(Command::kToggleLeftPane, QStringLiteral("全表示(&p)"), {}, &CMainFrame::OnTogglePane);
  AddAction(Command::kPrevPage, QStringLiteral("上の頁へ(&P)"), QStringLiteral("上の頁"), &CMainFrame::OnPrevPage);
  AddAction(Command::kNextPage, QStringLiteral("次の頁へ(&N)"), QStringLiteral("次の頁"), &CMainFrame::OnNextPage);
  AddAction(Command::kPrevVolume, QStringLiteral("上の巻へ"), QStringLiteral("上の巻へ"), &CMainFrame::OnPrevVolume);
  AddAction(Command::kNextVolume, QStringLiteral("次の巻へ"), QStringLiteral("次の巻へ"), &CMainFrame::OnNextVolume);
  AddAction(Command::kPrevHit, QStringLiteral("上の検索結果"), QStringLiteral("上の検索結果"), &CMainFrame::OnPrevHit);
  Action(Command::kPrevHit)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F3));
  AddAction(Command::kNextHit, QStringLiteral("次の検索結果"), QStringLiteral("次の検索結果"), &CMainFrame::OnNextHit);
  Action(Command::kNextHit)->setShortcut(QKeySequence(Qt::Key_F3));
  AddAction(Command::kAppAbout, QStringLiteral("バージョン(&A)..."), QStringLiteral("情報"), &CMainFrame::OnAbout);
  AddAction(Command::kHelpFile, QStringLiteral("ヘルプ"), {}, &CMainFrame::OnHelp);
  // Keys without a menu item: printing with the dialog, and pane switching.
  AddAction(Command::kFilePrintDialog, {}, {}, nullptr)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  connect(Action(Command::kFilePrintDialog), &QAction::triggered, this, [this] {
    if (TextViewActive() && IsCommandEnabled(Command::kFilePrintDialog)) m_pTextView->PrintWithDialog();
  });
  AddAction(Command::kNextPane, {}, {}, &CMainFrame::FocusOtherPane)->setShortcut(QKeySequence(Qt::Key_F6));
  CreateReadingActions();
  CreateResultActions();
  CreateBookmarkActions();
  AddAction(Command::kPrevPane, {}, {}, &CMainFrame::FocusOtherPane)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));

  const CReadingState& reading = m_pLeftForm->Reading();
  for (Command command : {Command::kEditCopy, Command::kEditSelectAll, Command::kFilePrint, Command::kFilePrintSetup,
                          Command::kFilePrintDialog}) {
    m_rules.insert(command, notBlank);
  }
  m_rules.insert(Command::kViewStatusBar, [] { return false; });  // there is no status bar
  m_rules.insert(Command::kPrevPage, [&reading] { return reading.CanPrevPage(); });
  m_rules.insert(Command::kNextPage, [&reading] { return reading.CanNextPage(); });
  m_rules.insert(Command::kPrevVolume, [&reading] { return reading.CanPrevVolume(); });
  m_rules.insert(Command::kNextVolume, [&reading] { return reading.CanNextVolume(); });
  m_rules.insert(Command::kPrevHit, [&reading] { return reading.CanPrevHit(); });
  m_rules.insert(Command::kNextHit, [&reading] { return reading.CanNextHit(); });
}

void CMainFrame::CreateResultActions() {
  AddAction(Command::kConcordance, QStringLiteral("用例一覧(&K)"), {}, nullptr)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  connect(Action(Command::kConcordance), &QAction::triggered, this, [this] {
    if (IsCommandEnabled(Command::kConcordance)) m_pLeftForm->ShowConcordance();
  });
  AddAction(Command::kSaveResult, QStringLiteral("結果を保存(&S)…"), {}, nullptr);
  connect(Action(Command::kSaveResult), &QAction::triggered, this, [this] {
    if (IsCommandEnabled(Command::kSaveResult)) m_pLeftForm->SaveResult();
  });
  // Before a search, or after one without a hit, there is nothing to list
  // or save: an empty window or a file of headings alone.
  const auto hasResult = [this] { return !m_pLeftForm->HitEntries().empty(); };
  m_rules.insert(Command::kConcordance, hasResult);
  m_rules.insert(Command::kSaveResult, hasResult);
}

void CMainFrame::CreateMenus() {
  using enum Command;
  auto add = [this](QMenu* menu, std::initializer_list<Command> commands) {
    for (Command command : commands) {
      if (command == kSeparator) {
        menu->addSeparator();
      } else {
        menu->addAction(command == kViewToolbar ? m_wndNavBar->toggleViewAction() : Action(command));
      }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
  };
  // The tool bar's own show/hide action stands in the view menu.
  m_wndNavBar->toggleViewAction()->setText(QStringLiteral("ツールバー(&T)"));
  QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  add(fileMenu, {kFileOpen, kSeparator, kFilePrintSetup, kFilePrint, kAppExit});
  connect(fileMenu, &QMenu::aboutToShow, this, [this, fileMenu] { ListRecentCorpora(fileMenu); });
  add(menuBar()->addMenu(QStringLiteral("編集(&E)")),
      {kEditCopy, kEditSelectAll, kSeparator, kEditCopyCited, kEditFind});
  add(menuBar()->addMenu(QStringLiteral("表示(&V)")),
      {kViewToolbar, kViewStatusBar, kToggleLeftPane, kSeparator, kViewTextLarger, kViewTextSmaller, kViewTextStandard,
       kSeparator, kViewVertical});
  add(menuBar()->addMenu(QStringLiteral("一覧")), {kPrevPage, kNextPage, kSeparator, kPrevVolume, kNextVolume,
                                                   kSeparator, kPrevHit, kNextHit, kSeparator, kOpenHitInVolume});
  // The concordance of the last result, in a menu of its own.
  add(menuBar()->addMenu(QStringLiteral("用例(&U)")), {kConcordance, kSaveResult});
  CreateBookmarkMenu();
  add(menuBar()->addMenu(QStringLiteral("ヘルプ(&H)")), {kAppAbout, kHelpFile});
}

void CMainFrame::CreateToolBar() {
  using enum Command;
  std::vector<ToolBarItem> items;
  for (Command command : {kEditSelectAll, kEditCopy, kSeparator, kFilePrint, kSeparator, kPrevVolume, kPrevPage,
                          kNextPage, kNextVolume, kSeparator, kPrevHit, kNextHit, kSeparator, kAppAbout, kSeparator}) {
    items.push_back({static_cast<int>(command), Action(command)});
  }
  items.push_back({CSCrollToolBar::kSliderCommand, nullptr});
  items.push_back({CSCrollToolBar::kLabelCommand, nullptr});
  if (!m_wndNavBar->Create(items, kArt)) qWarning("Failed to create toolbar");
  m_wndNavBar->SetLeftForm(m_pLeftForm);
  m_wndNavBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
  addToolBar(Qt::TopToolBarArea, m_wndNavBar);
}

void CMainFrame::ListRecentCorpora(QMenu* menu) {
  qDeleteAll(m_recentCorpusActions);
  m_recentCorpusActions.clear();
  // Between the open command and the separator after it.
  QAction* separator = menu->actions().at(menu->actions().indexOf(Action(Command::kFileOpen)) + 1);
  const QStringList folders = RecentCorpora();
  for (int i = 0; i < folders.size(); ++i) {
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(folders[i])), menu);
    const QString folder = folders[i];
    connect(action, &QAction::triggered, this, [this, folder] { emit CorpusChosen(folder); });
    menu->insertAction(separator, action);
    m_recentCorpusActions << action;
  }
}

void CMainFrame::OnOpenCorpus() {
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("コーパスを開く"),
                                                           m_strCorpusFolder);
  if (!folder.isEmpty()) emit CorpusChosen(folder);
}

bool CMainFrame::IsCommandEnabled(Command command) const {
  const auto rule = m_rules.find(command);
  return rule == m_rules.end() || (*rule)();
}

void CMainFrame::UpdateCommandUI() {
  for (auto it = m_rules.cbegin(); it != m_rules.cend(); ++it) {
    if (QAction* action = m_actions.value(it.key())) action->setEnabled(it.value()());
  }
}

void CMainFrame::OnPrevPage() { m_wndNavBar->ShowVolumePage(m_pLeftForm->Reading().CurPage() - 1); }

void CMainFrame::OnNextPage() { m_wndNavBar->ShowVolumePage(m_pLeftForm->Reading().CurPage() + 1); }

void CMainFrame::OnNextVolume() {
  const int record = m_pLeftForm->Reading().NextVolume();
  if (record == 0) {
    ShowWarning(kLastVolumeMessage);
    return;
  }
  ShowVolume(record);
}

void CMainFrame::OnPrevVolume() {
  const int record = m_pLeftForm->Reading().PrevVolume();
  if (record == 0) {
    ShowWarning(kFirstVolumeMessage);
    return;
  }
  ShowVolume(record);
}

void CMainFrame::ShowVolume(int record) {
  // The form's VolumeShown moves the slider to the volume's pages.
  m_pLeftForm->ShowVolume(record);
  m_wndNavBar->UpdateLabel();
}

void CMainFrame::OnNextHit() { m_pLeftForm->ShowNextHit(); }

void CMainFrame::OnPrevHit() { m_pLeftForm->ShowPrevHit(); }

void CMainFrame::OnTogglePane() { m_wndPanes->TogglePane(0); }

QString CMainFrame::HelpFile() const { return QDir(m_strProgramFolder).filePath(QStringLiteral("help.html")); }

void CMainFrame::OnHelp() {
  // A missing help page is silently ignored. The page is shown by the
  // reader itself: the desktop may have no program for HTML files.
  if (!QFileInfo::exists(HelpFile())) return;
  if (!m_pHelpWnd) m_pHelpWnd = new CHelpWnd(this);
  m_pHelpWnd->ShowPage(QUrl::fromLocalFile(HelpFile()));
}

void CMainFrame::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

bool CMainFrame::TextViewActive() const { return m_pActivePane == m_pTextView; }

void CMainFrame::OnPrint() {
  // Both variants print the shown page at once, without a dialog.
  m_pTextView->PrintNow();
}

void CMainFrame::OnPrintSetup() {
  if (TextViewActive()) {
    m_pTextView->PageSetup();
  } else {
    m_pTextView->PrintPreview();
  }
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* now) {
  if (!now) return;
  if (now == m_pTextView || m_pTextView->isAncestorOf(now)) {
    m_pActivePane = m_pTextView;
  } else if (now == m_pLeftForm || m_pLeftForm->isAncestorOf(now)) {
    m_pActivePane = m_pLeftForm;
  }
}

void CMainFrame::FocusOtherPane() {
  QWidget* next = TextViewActive() ? static_cast<QWidget*>(m_pLeftForm) : m_pTextView;
  if (next->isVisible()) next->setFocus(Qt::ShortcutFocusReason);
}
