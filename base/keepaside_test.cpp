#include "base/keepaside.h"
#include "base/tempfolder_testing.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

class KeepAsideTest : public TempFolderTest {
 protected:
  KeepAsideTest() : TempFolderTest("keepaside") {}
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    TempFolderTest::SetUp();
  }

  // 2026-12-10 22:43:20 UTC.
  static constexpr std::time_t kNow = 1796942600;
};

TEST_F(KeepAsideTest, NameCarriesTheLocalTime) {
  EXPECT_EQ(DamagedFileName(m_folder / "Codexa.conf", kNow), m_folder / "Codexa.conf.damaged-20261210-224320");
}

TEST_F(KeepAsideTest, KeptFilesNeverReplaceEachOther) {
  const fs::path file = m_folder / "Codexa.conf";
  const std::string contents[] = {"first", "second", "third"};
  const fs::path expected[] = {DamagedFileName(file, kNow), fs::path(DamagedFileName(file, kNow).string() + "-2"),
                               fs::path(DamagedFileName(file, kNow).string() + "-3")};
  for (int i = 0; i < 3; ++i) {
    std::ofstream(file, std::ios::binary) << contents[i];
    EXPECT_EQ(KeepDamagedFileAside(file, kNow), expected[i]);
    EXPECT_FALSE(fs::exists(file));
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadWholeFile(expected[i]), contents[i]);
}

TEST_F(KeepAsideTest, AFileThatCannotMoveStaysWhereItWas) {
  // A folder cannot be hard-linked: the rename is refused, nothing moves.
  const fs::path folder = m_folder / "Codexa.conf";
  fs::create_directories(folder);
  EXPECT_TRUE(KeepDamagedFileAside(folder, kNow).empty());
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(KeepDamagedFileAside(m_folder / "missing.conf", kNow).empty());
  EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);
}

}  // namespace
