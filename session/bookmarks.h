// Bookmarks (しおり): pages the user keeps to come back to, in the order the
// user gives them, each under a name of the user's. A bookmark holds what it
// takes to show its page again in any corpus that has it: the volume by its
// path in the contents and the page by its file number, which a rebuilt
// corpus keeps (record and page numbers it may not); a hit page also holds
// the search that marked it, so it is rendered again with its keywords.
//
// The list is kept in a small text file of the user's (bookmarkfile.h),
// whose format is this:
//
//   codexa-bookmarks 1
//   page<TAB>《詩經》卷一、第2頁、經部<TAB>經部\詩經\卷一<TAB>2
//   hit<TAB>【明月】《詩經》卷一、第1頁、經部<TAB>經部\詩經\卷一<TAB>1<TAB>明月<TAB>and<TAB>0<TAB>1
//
// UTF-8, every line ended by a line feed (a carriage return before it is
// passed over). The first line names the format and its version; then one
// bookmark a line, in menu order, its fields separated by tabs:
//
//   1. the kind: "page" for a contents page, "hit" for a hit page
//   2. the name, as the menu shows it; never empty
//   3. the volume: the names of its category, work and volume joined by
//      "\", as the scope label shows them
//   4. the page's file number in that volume, decimal, as the page label
//      and the citation show it
//   and for "hit" four more, the search that marked the page:
//   5. the keywords, separated by U+3000; never empty
//   6. the mode: "and" or "or"
//   7. the target: "0" full text, "1" main text, "2" annotations
//   8. variant folding: "1" on, "0" off
//
// A field never holds a tab, a line break or a bare "%": tab, line feed,
// carriage return and "%" are written "%09", "%0A", "%0D" and "%25" (a
// catalogue may name a volume with any of them). Text read back is not
// trusted: a line that does not read whole, by these rules, is left out,
// and so is every line after the kMaxBookmarks-th.
#ifndef CODEXA_SESSION_BOOKMARKS_H_
#define CODEXA_SESSION_BOOKMARKS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "session/searchrun.h"

enum class BookmarkKind { kContentsPage, kHitPage };

struct Bookmark {
  BookmarkKind kind = BookmarkKind::kContentsPage;
  std::u16string name;
  std::u16string volumePath;  // category\work\volume
  int fileNumber = 0;
  HitSearch search;  // for kHitPage; unused for a contents page

  bool operator==(const Bookmark&) const = default;
};

// What reading a bookmark text found.
struct BookmarkTextRead {
  bool headed = false;     // the first line named this format and version
  std::size_t read = 0;    // bookmarks taken
  std::size_t skipped = 0;  // lines left out (a cut last line included)
  // Whether the text read whole: anything else is a damaged file.
  bool Whole() const { return headed && skipped == 0; }
};

// Told when a bookmark cannot be added to a full list.
extern const char* const kBookmarksFullMessage;  // "しおりがいっぱいです。…"

class CBookmarkList {
 public:
  // Far beyond a menu's use; a bound for what a file can make us hold.
  static constexpr std::size_t kMaxBookmarks = 1000;
  // A name is cut to this many UTF-16 units, so a menu stays readable.
  static constexpr std::size_t kMaxNameLength = 200;

  const std::vector<Bookmark>& Items() const { return m_items; }
  bool Empty() const { return m_items.empty(); }

  // Puts `bookmark` last, its name made fit (FitName); false, and nothing
  // added, when the list holds kMaxBookmarks or the name is blank.
  bool Add(Bookmark bookmark);
  // Renames item `index`; false, and nothing changes, for an index out of
  // range or a name that is blank once made fit.
  bool Rename(std::size_t index, std::u16string_view name);
  // Removes item `index`; false for an index out of range.
  bool Remove(std::size_t index);
  // Swaps item `index` with its neighbour before or after it; false when
  // there is none.
  bool MoveUp(std::size_t index);
  bool MoveDown(std::size_t index);

  // The list as the file holds it, header first.
  std::string Save() const;
  // Replaces the items with those of `text` that read whole.
  BookmarkTextRead Load(std::string_view text);

  // A name as the list keeps it: line breaks and tabs become spaces,
  // white space around it goes, and it is cut to kMaxNameLength (never
  // inside a surrogate pair).
  static std::u16string FitName(std::u16string_view name);

 private:
  std::vector<Bookmark> m_items;
};

#endif  // CODEXA_SESSION_BOOKMARKS_H_
