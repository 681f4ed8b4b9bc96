// The whole-or-nothing replacement: new contents arrive whole, and every
// failure (no folder, a folder in the file's place, a write cut short by
// the file size limit) leaves the old file as it was and no stray file.
#include "base/atomicfile.h"
#include "base/tempfolder_testing.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public TempFolderTest {
 protected:
  AtomicFileTest() : TempFolderTest("atomicfile") {}
  void SetUp() override {
    TempFolderTest::SetUp();
    m_file = m_folder / "bookmarks";
    std::ofstream(m_file, std::ios::binary) << "old contents\n";
  }
  // The files in the folder besides `m_file`.
  int Strays() const {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(m_folder)) count += entry.path() != m_file;
    return count;
  }

  fs::path m_file;
};

TEST_F(AtomicFileTest, ReplacesTheContentsWhole) {
  std::string error;
  const std::string bytes = std::string("new\0contents", 12) + std::string(100000, 'x');
  ASSERT_TRUE(ReplaceFileAtomically(m_file, bytes, error)) << error;
  EXPECT_EQ(ReadWholeFile(m_file), bytes);
  EXPECT_EQ(Strays(), 0);
  // A file that was not there yet is made.
  ASSERT_TRUE(ReplaceFileAtomically(m_folder / "fresh", "", error)) << error;
  EXPECT_TRUE(fs::exists(m_folder / "fresh"));
}

// The name is what is replaced: a link planted there goes, and the file
// it pointed to is never written.
TEST_F(AtomicFileTest, ALinkAtTheNameIsReplacedNotFollowed) {
  const fs::path target = m_folder / "elsewhere";
  std::ofstream(target, std::ios::binary) << "not ours";
  fs::remove(m_file);
  fs::create_symlink(target, m_file);
  std::string error;
  ASSERT_TRUE(ReplaceFileAtomically(m_file, "new", error)) << error;
  EXPECT_FALSE(fs::is_symlink(m_file));
  EXPECT_EQ(ReadWholeFile(m_file), "new");
  EXPECT_EQ(ReadWholeFile(target), "not ours");
}

TEST_F(AtomicFileTest, AFileThatCannotBeMadeIsReported) {
  std::string error;
  EXPECT_FALSE(ReplaceFileAtomically(m_folder / "no-such-folder" / "bookmarks", "x", error));
  EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;
  // A folder where the file should be cannot be replaced by a file.
  fs::create_directories(m_folder / "folder");
  error.clear();
  EXPECT_FALSE(ReplaceFileAtomically(m_folder / "folder", "x", error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::is_directory(m_folder / "folder"));
  fs::remove(m_folder / "folder");
  EXPECT_EQ(Strays(), 0);
}

// A write cut short half-way, as on a full disk: in a child process whose
// file size limit stops the write after 1,000 bytes.
TEST_F(AtomicFileTest, AWriteCutShortLeavesTheOldFile) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG
    const rlimit limit{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool replaced = ReplaceFileAtomically(m_file, std::string(5000, 'n'), error);
    ::_exit(!replaced && error.find("cannot write") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadWholeFile(m_file), "old contents\n");
  EXPECT_EQ(Strays(), 0);
}

}  // namespace
