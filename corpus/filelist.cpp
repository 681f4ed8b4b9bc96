#include "corpus/filelist.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "base/coding.h"
#include "base/unicode.h"

namespace {

// Reads exactly `count` bytes at `offset`; false on any shortfall.
bool ReadAt(std::FILE* file, uint64_t offset, void* buffer, size_t count) {
  if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) return false;
  if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  return std::fread(buffer, 1, count, file) == count;
}

bool FileSize(std::FILE* file, uint64_t& size) {
  if (fseeko(file, 0, SEEK_END) != 0) return false;
  const off_t end = ftello(file);
  if (end < 0) return false;
  size = static_cast<uint64_t>(end);
  return true;
}

std::FILE* OpenForReading(const std::filesystem::path& directory, std::u16string_view corpusName,
                          std::string_view suffix) {
  return std::fopen((directory / CorpusFileName(corpusName, suffix)).c_str(), "rb");
}

// The stored name is the bytes of the field before its first zero byte; a
// field without one holds no valid name.
bool NameOfField(const uint8_t* field, size_t length, std::string& name) {
  if (length == 0) return false;
  const void* zero = std::memchr(field, 0, length);
  if (zero == nullptr) return false;
  name.assign(reinterpret_cast<const char*>(field), static_cast<const uint8_t*>(zero) - field);
  return true;
}

}  // namespace

CFileList::CFileList() = default;

CFileList::~CFileList() { Close(); }

bool CFileList::Open(const std::filesystem::path& directory, std::u16string_view corpusName) {
  Close();
  m_headerFile = OpenForReading(directory, corpusName, kFileListHeaderSuffix);
  if (m_headerFile == nullptr) return false;
  m_textFile = OpenForReading(directory, corpusName, kFileListTextSuffix);
  if (m_textFile == nullptr) return false;  // the header stays open until Close

  uint8_t header[kFileListHeaderSize];
  uint64_t headerSize = 0, textSize = 0;
  if (!FileSize(m_headerFile, headerSize) || !FileSize(m_textFile, textSize) ||
      !ReadAt(m_headerFile, 0, header, sizeof header)) {
    Close();
    return false;
  }
  const uint32_t nameLength = LoadLE32(header + 4);
  if (nameLength > kMaxNameLength) {
    // No reader's name buffer could hold such a field: the table is not ours.
    Close();
    return false;
  }
  m_nPageCount = LoadLE32(header);
  m_nNameLength = nameLength;
  std::memcpy(m_headerBlock.data(), header + 8, m_headerBlock.size());
  m_nHeaderSize = headerSize;
  m_nTextSize = textSize;
  m_bOpen = true;
  return true;
}

void CFileList::Close() {
  if (m_headerFile != nullptr) std::fclose(m_headerFile);
  if (m_textFile != nullptr) std::fclose(m_textFile);
  m_headerFile = nullptr;
  m_textFile = nullptr;
  m_bOpen = false;
}

bool CFileList::ReadEntry(uint32_t page, std::string* name, uint32_t& end, uint32_t& size) {
  if (!m_bOpen || page >= m_nPageCount) return false;
  const uint64_t entrySize = uint64_t{m_nNameLength} + kEntryNumbersSize;
  const uint64_t offset = kFileListHeaderSize + page * entrySize;
  if (offset + entrySize > m_nHeaderSize) return false;

  uint8_t entry[kMaxNameLength + kEntryNumbersSize];
  if (name != nullptr) {
    if (!ReadAt(m_headerFile, offset, entry, entrySize)) return false;
    if (!NameOfField(entry, m_nNameLength, *name)) return false;
  } else if (!ReadAt(m_headerFile, offset + m_nNameLength, entry + m_nNameLength, kEntryNumbersSize)) {
    return false;
  }
  end = LoadLE32(entry + m_nNameLength);
  size = LoadLE32(entry + m_nNameLength + 4);
  // The page must lie wholly inside the text file.
  return size <= end && end <= m_nTextSize;
}

bool CFileList::GetPageSize(uint32_t page, uint32_t& size) {
  uint32_t end, stored;
  if (!ReadEntry(page, nullptr, end, stored)) return false;
  size = stored;
  return true;
}

bool CFileList::ReadPage(uint32_t page, std::string& bytes) {
  uint32_t end, size;
  return ReadEntry(page, nullptr, end, size) && ReadText(end, size, bytes);
}

bool CFileList::ReadPageAndName(uint32_t page, std::string& bytes, std::string& name) {
  std::string storedName;
  uint32_t end, size;
  if (!ReadEntry(page, &storedName, end, size) || !ReadText(end, size, bytes)) return false;
  name = std::move(storedName);
  return true;
}

bool CFileList::ReadText(uint32_t end, uint32_t size, std::string& bytes) {
  std::string plain(size, '\0');
  if (size != 0 && !ReadAt(m_textFile, end - size, plain.data(), size)) return false;
  for (char& c : plain) c = static_cast<char>(static_cast<uint8_t>(c) ^ kScrambleMask);
  bytes = std::move(plain);
  return true;
}

bool CFileList::FindPageByFileNumber(uint32_t start, int fileNumber, uint32_t& page) {
  if (!m_bOpen) return false;
  const uint64_t entrySize = uint64_t{m_nNameLength} + kEntryNumbersSize;
  uint64_t offset = kFileListHeaderSize + start * entrySize;
  page = start - 1;
  // Bounded by the header file's length, not the page count: the last
  // entry may be cut short, and is then read as far as it goes.
  std::vector<uint8_t> field(m_nNameLength);
  std::string name;
  while (offset < m_nHeaderSize) {
    ++page;
    const size_t available = static_cast<size_t>(std::min<uint64_t>(m_nNameLength, m_nHeaderSize - offset));
    if (!ReadAt(m_headerFile, offset, field.data(), available)) break;
    int number;
    if (NameOfField(field.data(), available, name) && FileNumberOfName(name, number) && number == fileNumber) {
      return true;
    }
    offset += entrySize;
  }
  return false;
}

bool CFileList::FileNumberOfName(std::string_view name, int& number) {
  const size_t slash = name.rfind('\\');
  if (slash == std::string_view::npos) return false;
  const std::string_view rest = name.substr(slash + 1);
  const size_t dot = rest.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view part = rest.substr(0, dot);
  // Stored names keep the number part within 11 characters; a longer one
  // is not a name this corpus writes.
  if (part.size() > 11) return false;

  size_t i = 0;
  while (i < part.size() && IsAsciiSpace(part[i])) ++i;
  bool negative = false;
  if (i < part.size() && (part[i] == '+' || part[i] == '-')) negative = part[i++] == '-';
  int64_t value = 0;  // at most 11 digits: no overflow
  for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i) value = value * 10 + (part[i] - '0');
  if (negative) value = -value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return false;
  number = static_cast<int>(value);
  return true;
}
