// The bookmarks' file (its format: bookmarks.h), read once when the reader
// starts and written whole after every change (base/atomicfile.h), so the
// file on disk is always either the old list or the new one.
//
// A file that does not read whole (cut short, damaged, of another version)
// is never written over: the bookmarks that read whole are taken, the file
// is renamed beside itself (base/keepaside.h), where the user can still
// mend it, and those bookmarks are written anew under the old name. A
// file that cannot be read at all, or a damaged one that cannot be renamed,
// is left alone and not written this session. Either is told once, at load.
#ifndef CODEXA_SESSION_BOOKMARKFILE_H_
#define CODEXA_SESSION_BOOKMARKFILE_H_

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <string>

#include "session/bookmarks.h"

// A larger file is taken as damaged: a bound on what a file makes us read.
inline constexpr std::size_t kMaxBookmarkFileBytes = 16 << 20;

enum class BookmarkFileState {
  kSound,             // read whole, or not there yet
  kDamagedKeptAside,  // damaged, renamed to `keptAs`; what read whole was taken
  kDamagedInPlace,    // damaged and could not be renamed: not to be written
  kUnreadable,        // could not be read (no permission, not a file): not to be written
};

struct BookmarkFileLoad {
  BookmarkFileState state = BookmarkFileState::kSound;
  std::filesystem::path file;
  std::filesystem::path keptAs;  // for kDamagedKeptAside
  std::size_t taken = 0;         // bookmarks read whole

  // Whether changes may be written to the file this session.
  bool Writable() const { return state == BookmarkFileState::kSound || state == BookmarkFileState::kDamagedKeptAside; }
};

// Replaces `list` with the bookmarks of `file` and deals with a damaged
// file as above, naming a kept file by `now`.
BookmarkFileLoad LoadBookmarkFile(const std::filesystem::path& file, CBookmarkList& list, std::time_t now);

// Writes `list` to `file` whole or not at all, making its folder when
// missing; false with `error` (the file's name and the system's reason)
// when it could not.
bool SaveBookmarkFile(const std::filesystem::path& file, const CBookmarkList& list, std::string& error);

// Two readers on the same settings share the file. Before a change, and
// when the menu opens, a reader takes the file again if it no longer holds
// `known`, the text this reader last read or wrote, so that the readers add
// to one list instead of writing over each other's bookmarks. The text and
// not the file's time tells: two writes within one tick of the file
// system's clock, of one size, would look alike by time and size.
//
// Replaces `list` with the bookmarks of `file` and `known` with its text
// when the file differs from `known` and reads whole; otherwise false,
// with `list` as it was and the file untouched (what the load does with a
// damaged file is for the start only, and a missing file leaves the list
// this reader holds).
bool RereadBookmarkFile(const std::filesystem::path& file, std::string& known, CBookmarkList& list);

// What the user is told after a load, UTF-8; empty for kSound.
std::string MessageOf(const BookmarkFileLoad& load);
// Told when a change could not be saved, before the reason.
extern const char* const kBookmarksNotSavedMessage;  // "しおりを保存できませんでした。"

#endif  // CODEXA_SESSION_BOOKMARKFILE_H_
