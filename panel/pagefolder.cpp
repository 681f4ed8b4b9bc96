#include "panel/pagefolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
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

constexpr const char* kLockName = "lock";
constexpr const char* kNewPrefix = "new-";
// Deeper trees than this are not ours: the reader makes two levels.
constexpr int kMaxRemoveDepth = 16;

// Removes `name` in the folder `parent`: a folder with all it holds, anything
// else by its own name. Links are removed, never followed; every step is
// relative to an open folder, so a folder swapped for a link on the way
// cannot lead the removal elsewhere.
bool RemoveTreeAt(int parent, const char* name, int depth) {
  const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOTDIR && errno != ELOOP) return errno == ENOENT;
    return ::unlinkat(parent, name, 0) == 0 || errno == ENOENT;
  }
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  bool removed = depth < kMaxRemoveDepth;
  while (removed) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    removed = RemoveTreeAt(::dirfd(dir), entry->d_name, depth + 1);
  }
  ::closedir(dir);
  return removed && (::unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT);
}

bool RemoveTree(const std::filesystem::path& path) {
  const int parent = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parent < 0) return false;
  const bool removed = RemoveTreeAt(parent, path.filename().c_str(), 0);
  ::close(parent);
  return removed;
}

// Reads the process id that starts `name` up to `end`: digits only, no
// sign, within a pid's range; 0 when there is none.
pid_t LeadingPid(std::string_view name, char end) {
  const size_t stop = name.find(end);
  if (stop == 0 || stop == std::string_view::npos || stop > 9) return 0;
  pid_t pid = 0;
  for (char c : name.substr(0, stop)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

// Whether the reader folder `name` in `user` is still held: its lock is a
// plain file someone else holds locked. A folder that cannot be opened as a
// folder of this user's is "held" too, so that it is never removed.
bool ReaderFolderHeld(int user, const char* name) {
  const int fd = ::openat(user, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return true;
  struct stat info {};
  const bool ours = ::fstat(fd, &info) == 0 && info.st_uid == ::getuid();
  // O_NONBLOCK: a pipe planted as the lock must not block the open.
  const int lock = ours ? ::openat(fd, kLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC) : -1;
  ::close(fd);
  if (!ours) return true;
  // No lock (or none that can be opened): the folder was finished by a
  // reader, so the lock was there once; it is no living reader's.
  if (lock < 0) return false;
  const bool held = ::fstat(lock, &info) == 0 && S_ISREG(info.st_mode) && ::flock(lock, LOCK_EX | LOCK_NB) != 0 &&
                    errno == EWOULDBLOCK;
  ::close(lock);
  return held;
}

bool ProcessAlive(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

}  // namespace

int RemoveStaleReaderFolders(const std::filesystem::path& user) {
  const int fd = ::open(user.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return 0;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return 0;
  }
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.starts_with(kNewPrefix)) {
      // Half made: its maker died before it took its final name, or lives
      // and is about to.
      const pid_t pid = LeadingPid(name.substr(std::strlen(kNewPrefix)), '-');
      if (pid > 0 && !ProcessAlive(pid)) stale.emplace_back(name);
    } else if (LeadingPid(name, '-') > 0 && !ReaderFolderHeld(::dirfd(dir), entry->d_name)) {
      stale.emplace_back(name);
    }
  }
  int removed = 0;
  for (const std::string& name : stale) removed += RemoveTreeAt(::dirfd(dir), name.c_str(), 0) ? 1 : 0;
  ::closedir(dir);
  return removed;
}

CPageFolder::~CPageFolder() { Remove(); }

void CPageFolder::Remove() {
  if (!m_root.empty()) RemoveTree(m_root);
  m_root.clear();
  if (m_nLockFd >= 0) ::close(m_nLockFd);
  m_nLockFd = -1;
}

bool IsPrivateFolder(const std::filesystem::path& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

bool CPageFolder::Prepare(const std::filesystem::path& base, std::string& error) {
  Remove();
  const std::string user = "codexa-" + std::to_string(::getuid());
  std::filesystem::path root = base / user;
  if (!MakePrivateFolder(root) && !MakeUniqueFolder(base / (user + "-XXXXXX"), root)) {
    error = "cannot make a private folder under " + base.string() + ": " + std::strerror(errno);
    return false;
  }
  RemoveStaleReaderFolders(root);
  const std::string pid = std::to_string(::getpid());
  std::filesystem::path made;
  if (!MakeUniqueFolder(root / (kNewPrefix + pid + "-XXXXXX"), made)) {
    error = "cannot make the page folder in " + root.string() + ": " + std::strerror(errno);
    return false;
  }
  // The random characters mkdtemp chose, kept in the final name.
  const std::string random = made.filename().string().substr(std::strlen(kNewPrefix) + pid.size() + 1);
  const std::filesystem::path own = root / (pid + "-" + random);
  const int lock = ::open((made / kLockName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  // rename replaces only an empty folder, which no finished reader folder
  // is: each holds its lock file.
  const bool ready = lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0 && ::mkdir((made / "pages").c_str(), 0700) == 0 &&
                     std::rename(made.c_str(), own.c_str()) == 0;
  if (!ready) {
    error = "cannot make the page folder in " + root.string() + ": " + std::strerror(errno);
    if (lock >= 0) ::close(lock);
    RemoveTree(made);
    return false;
  }
  m_root = own;
  m_nLockFd = lock;
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
  if (path.empty() || !path.has_filename()) return false;
  // The folder is opened first and the file in it, so that a folder
  // swapped for a link (a "pages" pointing elsewhere) is refused rather
  // than followed.
  const std::filesystem::path parent = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  const int folder = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) return false;
  struct stat folderInfo {};
  if (::fstat(folder, &folderInfo) != 0 || folderInfo.st_uid != ::getuid() || (folderInfo.st_mode & 077) != 0) {
    ::close(folder);
    return false;
  }
  // O_NONBLOCK: a pipe planted under the name must not block the open.
  int fd = ::openat(folder, path.filename().c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  ::close(folder);
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
