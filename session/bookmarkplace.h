// Where a bookmark's page stands: the bookmark made of the page the reader
// shows, and its page found again in a corpus, the one it was made in or
// another (a rebuilt corpus, a corpus opened later), which may not have it.
#ifndef CODEXA_SESSION_BOOKMARKPLACE_H_
#define CODEXA_SESSION_BOOKMARKPLACE_H_

#include <cstdint>
#include <optional>

#include "corpus/catalogue.h"
#include "engine/index.h"
#include "session/bookmarks.h"
#include "session/readingstate.h"

// Told when a bookmark's page is not in the corpus or cannot be shown,
// before its name.
extern const char* const kBookmarkPageMissingMessage;  // "このしおりの頁は今のコーパスにないか、読めません。"

// The 0-based page of record `record` whose file number is `fileNumber`.
// The search runs from the record's first page; a page found beyond the
// record, or none, is not one of its pages: false then.
bool FindRecordPage(const CCatalogue& catalogue, CIndex& index, int record, int fileNumber, uint32_t& page);

// The bookmark of the page `reading` shows (`catalogue` the one it reads),
// named as the citation names the page, "《work》volume、第N頁、category",
// a hit page with its keywords in front, "【keywords】《work》...". None
// while nothing is shown, or for a page outside every volume.
std::optional<Bookmark> BookmarkOfShownPage(const CReadingState& reading, const CCatalogue& catalogue);

// A bookmark's page as found in a corpus.
struct BookmarkedPage {
  int record = 0;       // the record of the bookmark's volume path
  uint32_t page = 0;    // 0-based
  SearchNodeTag entry;  // the page's labels, as a result list has them
};

// Finds the page of `bookmark` in `catalogue` and `index`: false when the
// catalogue has no record of its volume path, or the record no page of
// its file number.
bool FindBookmarkedPage(const Bookmark& bookmark, const CCatalogue& catalogue, CIndex& index, BookmarkedPage& found);

#endif  // CODEXA_SESSION_BOOKMARKPLACE_H_
