// The bookmarks' file as the reader reads it at start: any bytes at all.
// Reading keeps at most the bound of bookmarks, counts every line it took
// or left out, and what it took is written and read back whole and the
// same, so a file the reader wrote is never taken for a damaged one.
//
// Input: the file's bytes.
#include <cstdint>
#include <string_view>

#include "fuzz/require.h"
#include "session/bookmarks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CBookmarkList list;
  const BookmarkTextRead read = list.Load(text);
  FUZZ_REQUIRE(read.read == list.Items().size());
  FUZZ_REQUIRE(list.Items().size() <= CBookmarkList::kMaxBookmarks);
  FUZZ_REQUIRE(read.headed || list.Empty());
  if (read.headed) {
    // Every line after the header is taken or left out, a last line
    // without its line feed included.
    const size_t lines = codexa::fuzz::CountOccurrences(text, "\n") + (text.back() != '\n');
    FUZZ_REQUIRE(read.read + read.skipped + 1 == lines);
  }
  for (const Bookmark& bookmark : list.Items()) {
    FUZZ_REQUIRE(!bookmark.name.empty() && bookmark.name == CBookmarkList::FitName(bookmark.name));
  }

  CBookmarkList again;
  const BookmarkTextRead reread = again.Load(list.Save());
  FUZZ_REQUIRE(reread.Whole());
  FUZZ_REQUIRE(again.Items() == list.Items());
  return 0;
}
