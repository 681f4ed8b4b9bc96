// What the base's file tests share: a folder of their own under the
// system's temporary folder, made empty before each test and removed after
// it, and a file read back whole.
#ifndef CODEXA_BASE_TEMPFOLDER_TESTING_H_
#define CODEXA_BASE_TEMPFOLDER_TESTING_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// m_folder is "<temporary folder>/<prefix>-<process id>": tests run in
// parallel processes never share it.
class TempFolderTest : public ::testing::Test {
 protected:
  explicit TempFolderTest(const std::string& prefix)
      : m_folder(std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(::getpid()))) {}
  void SetUp() override {
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  const std::filesystem::path m_folder;
};

#endif  // CODEXA_BASE_TEMPFOLDER_TESTING_H_
