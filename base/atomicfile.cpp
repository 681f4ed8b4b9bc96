#include "base/atomicfile.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Writes all of `bytes` to `fd`, going on after short writes and signals.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string Reason(const std::filesystem::path& file, const char* step) {
  return file.string() + ": " + step + ": " + std::strerror(errno);
}

}  // namespace

bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string& error) {
  const std::string pattern = file.string() + ".new-XXXXXX";
  std::vector<char> fresh(pattern.begin(), pattern.end());
  fresh.push_back('\0');
  const int fd = ::mkstemp(fresh.data());
  if (fd < 0) {
    error = Reason(file, "cannot create a file beside it");
    return false;
  }
  // The contents reach the disk before the name moves, so a crash after the
  // rename cannot leave an empty file under the old name.
  std::string reason;
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (!written) reason = Reason(file, "cannot write");
  if (::close(fd) != 0 && written) reason = Reason(file, "cannot write");
  if (reason.empty() && ::rename(fresh.data(), file.c_str()) != 0) reason = Reason(file, "cannot replace");
  if (reason.empty()) return true;
  ::unlink(fresh.data());
  error = reason;
  return false;
}
