#include "panel/pagefolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// mkdir, or accept the folder when it is already there and private.
bool MakePrivateFolder(const std::filesystem::path& path) {
  if (::mkdir(path.c_str(), 0700) == 0) return true;
  return errno == EEXIST && IsPrivateFolder(path);
}

bool MakeUniqueFolder(const std::filesystem::path& pattern, std::filesystem::path& made) {
  std::string name = pattern.string();
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) return false;
  made = buffer.data();
  return true;
}

}  // namespace

bool IsPrivateFolder(const std::filesystem::path& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

bool CPageFolder::Prepare(const std::filesystem::path& base, std::string& error) {
  const std::string user = "codexa-" + std::to_string(::getuid());
  std::filesystem::path root = base / user;
  if (!MakePrivateFolder(root) && !MakeUniqueFolder(base / (user + "-XXXXXX"), root)) {
    error = "cannot make a private folder under " + base.string() + ": " + std::strerror(errno);
    return false;
  }
  if (!MakePrivateFolder(root / "pages")) {
    error = "cannot make the page folder in " + root.string() + ": " + std::strerror(errno);
    return false;
  }
  m_root = root;
  return true;
}

bool CPageFolder::InstallBackground(const std::filesystem::path& background, std::string_view fallback) {
  if (m_root.empty()) return false;
  std::ifstream in(background, std::ios::binary);
  std::string bytes;
  if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in || bytes.empty()) bytes.assign(fallback);
  return WritePrivateFile(m_root / "Back.gif", bytes);
}

std::filesystem::path CPageFolder::PageFile(std::string_view name) const {
  if (m_root.empty()) return {};
  return m_root / "pages" / name;
}

bool WritePrivateFile(const std::filesystem::path& path, std::string_view bytes) {
  if (path.empty()) return false;
  // O_NONBLOCK: a pipe planted under the name must not block the open.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  // Only a plain file of this user's without a second name is written: a
  // hard link planted under the name would carry the page elsewhere, and a
  // file left with wider rights is narrowed before it holds a page.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1 || info.st_uid != ::getuid() ||
      ::fchmod(fd, 0600) != 0 || ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return ::close(fd) == 0 && done == bytes.size();
}
