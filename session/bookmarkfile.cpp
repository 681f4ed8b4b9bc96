#include "session/bookmarkfile.h"

#include <fstream>
#include <utility>
#include <system_error>

#include "base/atomicfile.h"
#include "base/keepaside.h"

const char* const kBookmarksNotSavedMessage = "しおりを保存できませんでした。";

namespace {

namespace fs = std::filesystem;

// Reads up to one byte more than the bound, so a larger file shows as one.
bool ReadBounded(const fs::path& file, std::string& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  text.resize(kMaxBookmarkFileBytes + 1);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return false;
  text.resize(static_cast<std::size_t>(in.gcount()));
  return true;
}

}  // namespace

BookmarkFileLoad LoadBookmarkFile(const fs::path& file, CBookmarkList& list, std::time_t now) {
  BookmarkFileLoad load;
  load.file = file;
  list = CBookmarkList();
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (status.type() == fs::file_type::not_found) return load;
  std::string text;
  if (error || !fs::is_regular_file(status) || !ReadBounded(file, text)) {
    load.state = BookmarkFileState::kUnreadable;
    return load;
  }
  const BookmarkTextRead read = list.Load(text);
  load.taken = read.read;
  if (read.Whole() && text.size() <= kMaxBookmarkFileBytes) return load;
  load.keptAs = KeepDamagedFileAside(file, now);
  if (load.keptAs.empty()) {
    load.state = BookmarkFileState::kDamagedInPlace;
    return load;
  }
  load.state = BookmarkFileState::kDamagedKeptAside;
  // What was taken lives on under the old name; should this write fail, the
  // next change writes it again, and the kept file still holds it all.
  std::string ignored;
  if (!list.Empty()) SaveBookmarkFile(file, list, ignored);
  return load;
}

bool SaveBookmarkFile(const fs::path& file, const CBookmarkList& list, std::string& error) {
  // The configuration folder is there only once something was saved in it.
  std::error_code ignored;
  fs::create_directories(file.parent_path(), ignored);
  return ReplaceFileAtomically(file, list.Save(), error);
}

bool RereadBookmarkFile(const fs::path& file, std::string& known, CBookmarkList& list) {
  std::error_code error;
  std::string text;
  if (!fs::is_regular_file(file, error) || !ReadBounded(file, text) || text.size() > kMaxBookmarkFileBytes ||
      text == known) {
    return false;
  }
  CBookmarkList read;
  if (!read.Load(text).Whole()) return false;
  list = std::move(read);
  known = std::move(text);
  return true;
}

std::string MessageOf(const BookmarkFileLoad& load) {
  const std::string taken = std::to_string(load.taken);
  switch (load.state) {
    case BookmarkFileState::kSound:
      return {};
    case BookmarkFileState::kDamagedKeptAside:
      return "しおりのファイルが壊れていたので、読めたしおり " + taken +
             " 件だけを読み込みました。元のファイルは次の名前で残しました。\n" + load.keptAs.string();
    case BookmarkFileState::kDamagedInPlace:
      return "しおりのファイルが壊れています。読めたしおり " + taken +
             " 件だけを読み込みましたが、ファイルを別名で残せなかったので、今回のしおりの変更は保存しません。\n" +
             load.file.string();
    case BookmarkFileState::kUnreadable:
      return "しおりのファイルを読めません。今回のしおりの変更は保存しません。\n" + load.file.string();
  }
  return {};
}
