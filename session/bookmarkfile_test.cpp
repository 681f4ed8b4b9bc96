// The bookmarks' file: written and read back, a missing one left missing,
// a damaged one kept aside byte for byte with what read whole taken and
// written anew, an unreadable one left alone, a failed save reported.
#include "session/bookmarkfile.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <optional>

#include "base/keepaside.h"
#include "writer/scratchdir.h"

namespace {

namespace fs = std::filesystem;

// 2026-12-10 22:43:20 UTC.
constexpr std::time_t kNow = 1796942600;

class BookmarkFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    m_file = m_dir / "Codexa.bookmarks";
    m_list.Add({BookmarkKind::kContentsPage, u"《詩經》卷一、第2頁、經部", u"經部\\詩經\\卷一", 2, {}});
    m_list.Add({BookmarkKind::kHitPage, u"【明月】《詩經》卷二、第4頁、經部", u"經部\\詩經\\卷二", 4,
                {u"明月", SearchMode::kAnd, DisplayCode::kFullText, true}});
  }
  void Write(const std::string& bytes) { m_dir.Write("Codexa.bookmarks", bytes); }
  std::string Read(const fs::path& file) const { return m_dir.Read(file.filename().string()); }

  codexa::writer::ScratchDir m_dir;
  fs::path m_file;
  CBookmarkList m_list;
};

TEST_F(BookmarkFileTest, SavedListReadsBackAndAMissingFileIsNoFault) {
  CBookmarkList read;
  BookmarkFileLoad load = LoadBookmarkFile(m_file, read, kNow);
  EXPECT_EQ(load.state, BookmarkFileState::kSound);
  EXPECT_TRUE(load.Writable());
  EXPECT_TRUE(read.Empty());
  EXPECT_FALSE(fs::exists(m_file));  // nothing written by a load
  std::string error;
  ASSERT_TRUE(SaveBookmarkFile(m_file, m_list, error)) << error;
  load = LoadBookmarkFile(m_file, read, kNow);
  EXPECT_EQ(load.state, BookmarkFileState::kSound);
  EXPECT_TRUE(MessageOf(load).empty());
  EXPECT_EQ(read.Items(), m_list.Items());
}

TEST_F(BookmarkFileTest, ADamagedFileIsKeptAsideAndWhatReadWholeIsTaken) {
  const std::string sound = m_list.Save();
  const struct {
    const char* name;
    std::string bytes;
    std::size_t taken;
  } damaged[] = {
      {"cut inside the last line", sound.substr(0, sound.size() - 5), 1},
      {"a line damaged", sound + "page\tx\n", 2},
      {"binary", std::string("\x00\xff\xfe\x01\n\x80", 6), 0},
      {"another version", "codexa-bookmarks 9\n" + sound.substr(sound.find('\n') + 1), 0},
      {"empty", "", 0},
      {"beyond the size bound", sound + std::string(kMaxBookmarkFileBytes, '#'), 2},
  };
  for (const auto& [name, bytes, taken] : damaged) {
    SCOPED_TRACE(name);
    Write(bytes);
    CBookmarkList read;
    const BookmarkFileLoad load = LoadBookmarkFile(m_file, read, kNow);
    ASSERT_EQ(load.state, BookmarkFileState::kDamagedKeptAside);
    EXPECT_TRUE(load.Writable());
    EXPECT_EQ(load.keptAs, DamagedFileName(m_file, kNow));
    EXPECT_EQ(Read(load.keptAs), bytes);
    EXPECT_EQ(load.taken, taken);
    EXPECT_EQ(read.Items().size(), taken);
    EXPECT_NE(MessageOf(load).find(load.keptAs.string()), std::string::npos);
    // What was taken stands under the old name, sound; nothing when none was.
    CBookmarkList again;
    EXPECT_EQ(LoadBookmarkFile(m_file, again, kNow).state, BookmarkFileState::kSound);
    EXPECT_EQ(again.Items(), read.Items());
    EXPECT_EQ(fs::exists(m_file), taken > 0);
    fs::remove(load.keptAs);
    fs::remove(m_file);
  }
}

TEST_F(BookmarkFileTest, AnUnreadableFileIsLeftAloneAndNotWritten) {
  fs::create_directories(m_file / "inside");
  CBookmarkList read;
  const BookmarkFileLoad load = LoadBookmarkFile(m_file, read, kNow);
  EXPECT_EQ(load.state, BookmarkFileState::kUnreadable);
  EXPECT_FALSE(load.Writable());
  EXPECT_NE(MessageOf(load).find(m_file.string()), std::string::npos);
  EXPECT_TRUE(fs::is_directory(m_file / "inside"));
}

TEST_F(BookmarkFileTest, AMissingFolderIsMadeAndAFailedSaveIsReported) {
  std::string error;
  const fs::path nested = m_dir / "new" / "Codexa.bookmarks";
  ASSERT_TRUE(SaveBookmarkFile(nested, m_list, error)) << error;
  // A file where its folder should be.
  EXPECT_FALSE(SaveBookmarkFile(nested / "inner.bookmarks", m_list, error));
  EXPECT_NE(error.find("inner.bookmarks"), std::string::npos) << error;
  // A folder in the file's place stays a folder.
  fs::create_directories(m_dir / "taken");
  EXPECT_FALSE(SaveBookmarkFile(m_dir / "taken", m_list, error));
  EXPECT_TRUE(fs::is_directory(m_dir / "taken"));
  CBookmarkList read;
  EXPECT_EQ(LoadBookmarkFile(nested, read, kNow).state, BookmarkFileState::kSound);
  EXPECT_EQ(read.Items(), m_list.Items());
}

// Another reader's list is taken only when the file holds a whole list
// other than the one this reader knows; the file is never touched.
TEST_F(BookmarkFileTest, RereadTakesAnotherReadersWholeListOnly) {
  CBookmarkList other;
  other.Add({BookmarkKind::kContentsPage, u"他の窓", u"經部\\詩經\\卷一", 1, {}});
  const std::string mine = m_list.Save();
  const struct {
    const char* what;
    std::optional<std::string> file;  // none: no file
    bool taken;
  } cases[] = {
      {"no file", std::nullopt, false},
      {"the text known", mine, false},
      {"another reader's list", other.Save(), true},
      {"an empty list", CBookmarkList().Save(), true},
      {"cut short", other.Save().substr(0, other.Save().size() - 3), false},
      {"not a bookmarks file", "hello\n", false},
      {"empty", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(m_file);
    if (c.file) Write(*c.file);
    CBookmarkList list = m_list;
    std::string known = mine;
    EXPECT_EQ(RereadBookmarkFile(m_file, known, list), c.taken);
    CBookmarkList expected = m_list;
    if (c.taken) {
      expected = CBookmarkList();
      expected.Load(*c.file);
    }
    EXPECT_EQ(list.Items(), expected.Items());
    EXPECT_EQ(known, c.taken ? *c.file : mine);
    if (c.file) {
      EXPECT_EQ(Read(m_file), *c.file);
    }
    EXPECT_EQ(fs::exists(m_file), c.file.has_value());
  }
  fs::remove_all(m_file);
  fs::create_directories(m_file / "inside");
  CBookmarkList list = m_list;
  std::string known = mine;
  EXPECT_FALSE(RereadBookmarkFile(m_file, known, list));
  EXPECT_EQ(list.Items(), m_list.Items());
}

}  // namespace
