// CMainFrame: the reader's one main window. It holds the splitter with the
// left form and the text view, the navigation tool bar, the menu with its
// accelerators, and carries out the page, volume and hit commands, the
// left-pane toggle, printing through the view, and help.
//
// Every command is one QAction carrying its menu text, tool tip, shortcut
// and enabling rule. The rules are evaluated again before a menu opens,
// after every command and while the program is idle, so a disabled command
// can be invoked neither from the menu, the tool bar nor a key.
#ifndef CODEXA_APP_MAINFRM_H_
#define CODEXA_APP_MAINFRM_H_

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "app/scrolltoolbar.h"
#include "app/st_splitterwnd.h"
#include "panel/leftform.h"

class CCodexaView;
class CHelpWnd;
class QAction;
class QMenu;

// Command numbers of the menu, the tool bar and the accelerators.
enum class Command : int {
  // Not a command: a separator in the lists of a menu's or the tool bar's
  // commands, as the tool bar takes it.
  kSeparator = 0,
  kFileOpen = 57601,
  kToggleLeftPane = 32774,
  kFilePrintSetup = 32776,
  kFilePrint = 32777,
  kEditSelectAll = 32778,
  kPrevPage = 32780,
  kNextPage = 32781,
  kNextVolume = 32790,
  kPrevVolume = 32791,
  kHelpFile = 32798,
  // The reading commands: find in page, copy with source, the text size and
  // the writing, and a hit page opened in its volume.
  kEditFind = 32860,
  kEditCopyCited = 32861,
  kViewTextLarger = 32862,
  kViewTextSmaller = 32863,
  kViewTextStandard = 32864,
  kViewVertical = 32865,
  kOpenHitInVolume = 32866,
  // The bookmarks: the page shown added, and the dialog that orders them.
  kBookmarkAdd = 32870,
  kBookmarkOrganize = 32871,
  // The last result: its concordance, and its list saved to a file.
  kConcordance = 32872,
  kSaveResult = 32873,
  kPrevHit = 32805,
  kNextHit = 32806,
  kFilePrintDialog = 57607,
  kEditCopy = 57634,
  kAppAbout = 57664,
  kAppExit = 57665,
  kNextPane = 57680,
  kPrevPane = 57681,
  kViewToolbar = 59392,
  kViewStatusBar = 59393,
};

inline size_t qHash(Command command, size_t seed = 0) noexcept { return qHash(static_cast<int>(command), seed); }

// The messages of the volume commands at the ends of the catalogue.
extern const char* const kLastVolumeMessage;   // "もう最後の巻まで至りました。"
extern const char* const kFirstVolumeMessage;  // "これ以上戻れません。もう巻一に至っています。"

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // `places` tells the left form where the corpus and the page files are;
  // the program folder also holds the splash movie and the help page.
  explicit CMainFrame(const CLeftForm::Places& places, QWidget* parent = nullptr);
  // The same with the splash movie and the help page in `programFolder`,
  // for a corpus kept elsewhere.
  CMainFrame(const CLeftForm::Places& places, const QString& programFolder, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // The text view, for the whole run, whether or not the left pane shows.
  CCodexaView* GetTextView() const { return m_pTextView; }
  CLeftForm* GetLeftForm() const { return m_pLeftForm; }
  ST_SplitterWnd& panes() { return *m_wndPanes; }
  CSCrollToolBar& navBar() { return *m_wndNavBar; }
  QAction* Action(Command command) const { return m_actions.value(command); }

  // Evaluates every command's enabling rule now.
  void UpdateCommandUI();
  // Whether the rule of `command` allows it now.
  bool IsCommandEnabled(Command command) const;

  void OnPrevPage();
  void OnNextPage();
  void OnPrevVolume();
  void OnNextVolume();
  void OnPrevHit();
  void OnNextHit();
  // The reading commands (mainfrm_reading.cpp).
  void OnFind();
  void OnCopyCited();
  void OnTextLarger();
  void OnTextSmaller();
  void OnTextStandard();
  void OnToggleVertical();
  void OnOpenHitInVolume();
  // The text the copy with source puts on the clipboard now.
  QString CitedText() const;
  void OnTogglePane();
  void OnHelp();
  void OnAbout();
  // Asks for a corpus folder and hands it to CorpusChosen.
  void OnOpenCorpus();
  // The two commands that the view and the frame both carry: the view's
  // variant when it was the last pane to get the focus, else the frame's.
  void OnPrint();
  void OnPrintSetup();

  // The bookmarks (mainfrm_bookmarks.cpp): kept in a file beside the
  // settings (BookmarksFile), read when the frame is made, read again when
  // another reader has written it, and written after every change.
  const CBookmarkList& Bookmarks() const { return m_bookmarks; }
  const std::filesystem::path& BookmarkFile() const { return m_bookmarkFile; }
  // Adds the page shown, named as its citation (and keywords) name it.
  void OnAddBookmark();
  // The dialog that renames, deletes and reorders the bookmarks.
  void OnOrganizeBookmarks();
  // Shows the page of bookmark `index`; a page the corpus does not have
  // is told, and the view keeps its page.
  void OpenBookmark(std::size_t index);
  // The しおり menu.
  QMenu* BookmarkMenu() const { return m_pBookmarkMenu; }

  // The help page shipped beside the program.
  QString HelpFile() const;
  // The window showing the help page, once help has been asked for.
  CHelpWnd* HelpWindow() const { return m_pHelpWnd; }

 signals:
  // A corpus folder was chosen in the ファイル menu; the frame's owner
  // opens it (CFrameHost).
  void CorpusChosen(const QString& folder);

 private:
  void CreateActions();
  // The reading commands' actions and rules, and the display options read
  // from the settings and kept there on every change.
  void CreateReadingActions();
  // The concordance and the saving of the list, with the rule that they
  // need a result with entries.
  void CreateResultActions();
  void CreateMenus();
  void CreateToolBar();
  // The bookmark commands, their rules, and the list read from its file.
  void CreateBookmarkActions();
  // The しおり menu: the two commands, then the bookmarks, listed anew
  // each time it opens.
  void CreateBookmarkMenu();
  void ListBookmarks();
  // Takes the file again when another reader has written it since.
  void RereadChangedBookmarks();
  // Writes the list, telling the user when that fails.
  void SaveBookmarks();
  // Lists the remembered corpora in `menu` after the open command.
  void ListRecentCorpora(QMenu* menu);
  QAction* AddAction(Command command, const QString& text, const QString& tip, void (CMainFrame::*handler)());
  // Shows the first page of volume record `record` and moves the slider,
  // the label and the tree selection to it.
  void ShowVolume(int record);
  bool TextViewActive() const;
  void OnFocusChanged(QWidget* old, QWidget* now);
  void FocusOtherPane();

  QString m_strProgramFolder;
  QString m_strCorpusFolder;
  ST_SplitterWnd* m_wndPanes = nullptr;
  CCodexaView* m_pTextView = nullptr;
  CLeftForm* m_pLeftForm = nullptr;
  CSCrollToolBar* m_wndNavBar = nullptr;
  QHash<Command, QAction*> m_actions;
  QHash<Command, std::function<bool()>> m_rules;
  QPointer<QWidget> m_pActivePane;
  CHelpWnd* m_pHelpWnd = nullptr;
  QList<QAction*> m_recentCorpusActions;
  CBookmarkList m_bookmarks;
  std::filesystem::path m_bookmarkFile;
  bool m_bBookmarksWritable = true;  // false when the file must not be written over
  std::string m_strBookmarkText;  // the file's text as last read or written here
  QMenu* m_pBookmarkMenu = nullptr;
  QList<QAction*> m_bookmarkActions;  // the menu's bookmark items and the separator before them
  QTimer m_idleUpdate;
};

#endif  // CODEXA_APP_MAINFRM_H_
