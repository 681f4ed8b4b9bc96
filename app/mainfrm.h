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
enum Command : int {
  ID_FILE_OPEN = 57601,
  ID_TOGGLE_LEFT_PANE = 32774,
  ID_FILE_PRINT_SETUP = 32776,
  ID_FILE_PRINT = 32777,
  ID_EDIT_SELECT_ALL = 32778,
  ID_PREV_PAGE = 32780,
  ID_NEXT_PAGE = 32781,
  ID_NEXT_VOLUME = 32790,
  ID_PREV_VOLUME = 32791,
  ID_HELP_FILE = 32798,
  // The reading commands: find in page, copy with source, the text size and
  // the writing, and a hit page opened in its volume.
  ID_EDIT_FIND = 32860,
  ID_EDIT_COPY_CITED = 32861,
  ID_VIEW_TEXT_LARGER = 32862,
  ID_VIEW_TEXT_SMALLER = 32863,
  ID_VIEW_TEXT_STANDARD = 32864,
  ID_VIEW_VERTICAL = 32865,
  ID_OPEN_HIT_IN_VOLUME = 32866,
  // The bookmarks: the page shown added, and the dialog that orders them.
  ID_BOOKMARK_ADD = 32870,
  ID_BOOKMARK_ORGANIZE = 32871,
  ID_PREV_HIT = 32805,
  ID_NEXT_HIT = 32806,
  ID_FILE_PRINT_DIALOG = 57607,
  ID_EDIT_COPY = 57634,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
  ID_NEXT_PANE = 57680,
  ID_PREV_PANE = 57681,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
};

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
  QAction* Action(int command) const { return m_actions.value(command); }

  // Evaluates every command's enabling rule now.
  void UpdateCommandUI();
  // Whether the rule of `command` allows it now.
  bool IsCommandEnabled(int command) const;

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
  QAction* AddAction(int command, const QString& text, const QString& tip, void (CMainFrame::*handler)());
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
  QHash<int, QAction*> m_actions;
  QHash<int, std::function<bool()>> m_rules;
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
