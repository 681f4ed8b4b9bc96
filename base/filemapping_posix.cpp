// The POSIX side of CFileMapping: open, mmap the whole file, close the
// descriptor (the mapping keeps the file alive).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/filemapping.h"

CFileMapping::~CFileMapping() { Close(); }

bool CFileMapping::Open(const std::filesystem::path& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  void* view = MAP_FAILED;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    view = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  }
  ::close(fd);
  if (view == MAP_FAILED) return false;
  m_pData = static_cast<const uint8_t*>(view);
  m_nSize = static_cast<size_t>(st.st_size);
  return true;
}

void CFileMapping::Close() {
  if (m_pData != nullptr) ::munmap(const_cast<uint8_t*>(m_pData), m_nSize);
  m_pData = nullptr;
  m_nSize = 0;
}
