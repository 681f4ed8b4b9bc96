// The form's part of the bookmarks: the bookmark of the page shown, and a
// bookmark's page shown again, found by its volume's path and file number
// (session/bookmarkplace.h) so that it outlasts a rebuilt corpus.
#include "panel/leftform.h"
#include "session/bookmarkplace.h"

std::optional<Bookmark> CLeftForm::BookmarkOfShownPage() const { return ::BookmarkOfShownPage(m_reading, m_catalogue); }

bool CLeftForm::ShowBookmark(const Bookmark& bookmark) {
  BookmarkedPage found;
  if (!FindBookmarkedPage(bookmark, m_catalogue, m_index, found)) return false;
  if (bookmark.kind == BookmarkKind::kHitPage) return OpenHitPage(found.page, bookmark.search, std::move(found.entry));
  if (!ShowRecordPage(found.record, 0, bookmark.fileNumber)) return false;
  m_reading.EnterVolume(found.record);
  m_reading.SetPage(bookmark.fileNumber);
  FollowReadingInTree();
  emit ReadingChanged();
  return true;
}
