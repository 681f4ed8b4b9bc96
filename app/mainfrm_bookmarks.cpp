// The frame's bookmarks: the しおり menu with its two commands and the
// bookmarks below them, the dialog that puts them in order, and the file
// they are kept in (session/bookmarkfile.h). The form finds and shows a
// bookmark's page; the frame moves the tool bar after it.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <ctime>
#include <utility>

#include "app/mainfrm.h"
#include "app/settingsfile.h"
#include "panel/bookmarkdlg.h"
#include "panel/messagebox.h"
#include "session/bookmarkfile.h"
#include "session/bookmarkplace.h"
#include "view/codexaview.h"

namespace {

// A name longer than this is cut in the menu (the dialog shows it whole).
constexpr int kMenuNameLength = 40;

// The menu text of bookmark `index`: a number key for the first nine, the
// name cut to fit, its "&" kept from becoming a mnemonic.
QString MenuText(std::size_t index, const std::u16string& name) {
  QString text = QString::fromStdU16String(name);
  if (text.size() > kMenuNameLength) text = text.left(kMenuNameLength - 1) + u'…';
  text.replace(u'&', QStringLiteral("&&"));
  return index < 9 ? QStringLiteral("&%1 %2").arg(index + 1).arg(text) : text;
}

}  // namespace

void CMainFrame::CreateBookmarkActions() {
  // Ctrl+D is free: no other command of the frame, the view or the find
  // bar takes it.
  AddAction(Command::kBookmarkAdd, QStringLiteral("この頁をしおりに追加(&A)"), QStringLiteral("この頁をしおりに追加"),
            &CMainFrame::OnAddBookmark)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  AddAction(Command::kBookmarkOrganize, QStringLiteral("しおりの整理(&M)…"), {}, &CMainFrame::OnOrganizeBookmarks);
  m_rules.insert(Command::kBookmarkAdd, [this] {
    return !m_pTextView->ShowsBlank() && m_pLeftForm->BookmarkOfShownPage().has_value();
  });
  m_rules.insert(Command::kBookmarkOrganize, [this] { return !m_bookmarks.Empty(); });

  m_bookmarkFile = BookmarksFile();
  const BookmarkFileLoad load = LoadBookmarkFile(m_bookmarkFile, m_bookmarks, std::time(nullptr));
  // Should the file's text differ from the list's (it need not), the first
  // reread takes the same list again.
  m_strBookmarkText = m_bookmarks.Save();
  m_bBookmarksWritable = load.Writable();
  if (const std::string message = MessageOf(load); !message.empty()) ShowWarning(message);
}

void CMainFrame::CreateBookmarkMenu() {
  m_pBookmarkMenu = menuBar()->addMenu(QStringLiteral("しおり(&B)"));
  m_pBookmarkMenu->addAction(Action(Command::kBookmarkAdd));
  m_pBookmarkMenu->addAction(Action(Command::kBookmarkOrganize));
  connect(m_pBookmarkMenu, &QMenu::aboutToShow, this, [this] {
    RereadChangedBookmarks();
    UpdateCommandUI();
    ListBookmarks();
  });
  ListBookmarks();
}

void CMainFrame::ListBookmarks() {
  qDeleteAll(m_bookmarkActions);
  m_bookmarkActions.clear();
  if (m_bookmarks.Empty()) return;
  m_bookmarkActions << m_pBookmarkMenu->addSeparator();
  const std::vector<Bookmark>& items = m_bookmarks.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    QAction* action = m_pBookmarkMenu->addAction(MenuText(i, items[i].name));
    connect(action, &QAction::triggered, this, [this, i] { OpenBookmark(i); });
    m_bookmarkActions << action;
  }
}

void CMainFrame::RereadChangedBookmarks() {
  if (!m_bBookmarksWritable) return;  // this session's list is its own
  RereadBookmarkFile(m_bookmarkFile, m_strBookmarkText, m_bookmarks);
}

void CMainFrame::SaveBookmarks() {
  ListBookmarks();
  if (!m_bBookmarksWritable) return;  // the user was told at load
  std::string error;
  if (!SaveBookmarkFile(m_bookmarkFile, m_bookmarks, error)) {
    ShowWarning(std::string(kBookmarksNotSavedMessage) + "\n" + error);
    return;
  }
  m_strBookmarkText = m_bookmarks.Save();
}

void CMainFrame::OnAddBookmark() {
  const std::optional<Bookmark> bookmark = m_pLeftForm->BookmarkOfShownPage();
  if (!bookmark) return;
  RereadChangedBookmarks();
  if (!m_bookmarks.Add(*bookmark)) {
    ShowWarning(kBookmarksFullMessage);
    return;
  }
  SaveBookmarks();
}

void CMainFrame::OnOrganizeBookmarks() {
  RereadChangedBookmarks();
  const CBookmarkList shown = m_bookmarks;
  CBookmarkDlg dialog(shown, this);
  if (dialog.exec() != QDialog::Accepted || dialog.Bookmarks().Items() == shown.Items()) return;
  // Bookmarks another reader added while the dialog was open follow the
  // ones it ordered; those it renamed or removed meanwhile stay as here.
  RereadChangedBookmarks();
  CBookmarkList ordered = dialog.Bookmarks();
  bool full = false;
  for (const Bookmark& bookmark : m_bookmarks.Items()) {
    const bool added = std::find(shown.Items().begin(), shown.Items().end(), bookmark) == shown.Items().end();
    if (added && !ordered.Add(bookmark)) full = true;
  }
  m_bookmarks = std::move(ordered);
  SaveBookmarks();
  if (full) ShowWarning(kBookmarksFullMessage);
}

void CMainFrame::OpenBookmark(std::size_t index) {
  if (index >= m_bookmarks.Items().size()) return;
  const Bookmark bookmark = m_bookmarks.Items()[index];
  if (!m_pLeftForm->ShowBookmark(bookmark)) {
    ShowWarning(std::string(kBookmarkPageMissingMessage) + "\n" + QString::fromStdU16String(bookmark.name).toStdString());
    return;
  }
  // A contents page moves the page being read; the slider follows it.
  if (bookmark.kind == BookmarkKind::kContentsPage) m_wndNavBar->FollowReading();
  UpdateCommandUI();
}
