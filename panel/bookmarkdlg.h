// CBookmarkDlg: the dialog that puts the bookmarks in order (しおりの整理).
// It works on a copy of the list: renames (in place, F2 or a double-click,
// or the rename button), deletions and moves up and down show at once but
// reach the caller only through OK; キャンセル, Esc or closing the window
// drop them all.
#ifndef CODEXA_PANEL_BOOKMARKDLG_H_
#define CODEXA_PANEL_BOOKMARKDLG_H_

#include <QDialog>

#include "session/bookmarks.h"

class QListWidget;
class QPushButton;

class CBookmarkDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CBookmarkDlg(const CBookmarkList& bookmarks, QWidget* parent = nullptr);

  // The list as the dialog has made it so far.
  const CBookmarkList& Bookmarks() const { return m_bookmarks; }

  QListWidget* list() const { return m_pList; }
  QPushButton* upButton() const { return m_pUp; }
  QPushButton* downButton() const { return m_pDown; }
  QPushButton* renameButton() const { return m_pRename; }
  QPushButton* deleteButton() const { return m_pDelete; }

  void OnMoveUp();
  void OnMoveDown();
  // Opens the name of the selected row for editing.
  void OnRename();
  void OnDelete();

 private:
  // Lists the names and selects row `row` (none when out of range).
  void Fill(int row);
  // A name edited in the list: kept as the list fits it, or put back when
  // it is blank.
  void OnNameEdited(int row);
  void UpdateButtons();
  int CurrentRow() const;

  CBookmarkList m_bookmarks;
  QListWidget* m_pList = nullptr;
  QPushButton* m_pUp = nullptr;
  QPushButton* m_pDown = nullptr;
  QPushButton* m_pRename = nullptr;
  QPushButton* m_pDelete = nullptr;
};

#endif  // CODEXA_PANEL_BOOKMARKDLG_H_
