// A fresh directory under the system's temporary folder for one test,
// removed with everything in it when the object goes.
#ifndef CODEXA_WRITER_SCRATCHDIR_H_
#define CODEXA_WRITER_SCRATCHDIR_H_

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace codexa::writer {

class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<unsigned> counter{0};
    m_strPath = std::filesystem::temp_directory_path() /
            ("codexa-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_strPath);
    std::filesystem::create_directories(m_strPath);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return m_strPath; }
  std::filesystem::path operator/(std::string_view name) const { return m_strPath / name; }

  // Replaces the file `name` with `bytes`.
  void Write(std::string_view name, std::string_view bytes) const {
    std::ofstream(m_strPath / name, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
  }
  std::string Read(std::string_view name) const {
    std::ifstream file(m_strPath / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path m_strPath;
};

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_SCRATCHDIR_H_
