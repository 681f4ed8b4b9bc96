// A read-only view of a whole file. This is the only place that talks to the
// operating system's mapping service, so that another platform can replace
// filemapping_posix.cpp without touching the engine.
#ifndef CODEXA_BASE_FILEMAPPING_H_
#define CODEXA_BASE_FILEMAPPING_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>

class CFileMapping {
 public:
  CFileMapping() = default;
  ~CFileMapping();
  CFileMapping(const CFileMapping&) = delete;
  CFileMapping& operator=(const CFileMapping&) = delete;

  // Maps the whole file read-only. Fails (and leaves the object closed) when
  // the file cannot be opened or mapped; an empty file cannot be mapped.
  bool Open(const std::filesystem::path& path);
  void Close();

  bool IsOpen() const { return m_pData != nullptr; }
  const uint8_t* data() const { return m_pData; }
  size_t size() const { return m_nSize; }

 private:
  const uint8_t* m_pData = nullptr;
  size_t m_nSize = 0;
};

#endif  // CODEXA_BASE_FILEMAPPING_H_
