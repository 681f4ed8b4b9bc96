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
    path_ = std::filesystem::temp_directory_path() /
            ("codexa-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  // Replaces the file `name` with `bytes`.
  void Write(std::string_view name, std::string_view bytes) const {
    std::ofstream(path_ / name, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
  }
  std::string Read(std::string_view name) const {
    std::ifstream file(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path path_;
};

}  // namespace codexa::writer

#endif  // CODEXA_WRITER_SCRATCHDIR_H_
