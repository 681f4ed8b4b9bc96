// The corpus text store: every page is a UTF-8 HTML document, stored XOR-
// scrambled in "<name>-fl.cnt"; "<name>-fl.h" holds the page count and one
// fixed-size entry per page (stored name, end offset, size). The layout:
// corpus/filelistformat.h.
//
// The files are not trusted: a page number at or above the page count, an
// entry that points outside the text file, a name field without a zero byte
// or a name length above 260 make the operation fail instead of reading
// outside the files or the object's buffers.
#ifndef CODEXA_CORPUS_FILELIST_H_
#define CODEXA_CORPUS_FILELIST_H_

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "corpus/displaycode.h"
#include "corpus/filelistformat.h"

class CFileList {
 public:
  CFileList();
  virtual ~CFileList();
  CFileList(const CFileList&) = delete;
  CFileList& operator=(const CFileList&) = delete;

  // Opens "<directory>/<corpusName>-fl.h" and "-fl.cnt" and reads the
  // header. Starts with Close(); false when either file cannot be opened,
  // the header is shorter than its 268 fixed bytes or its name length is
  // above 260 (the page count, name length and header block then keep
  // their values).
  bool Open(const std::filesystem::path& directory, std::u16string_view corpusName);
  void Close();
  bool IsOpen() const { return m_bOpen; }

  // The page count of the last header read; 0 before any.
  uint32_t GetPageCount() const { return m_nPageCount; }
  uint32_t GetNameLength() const { return m_nNameLength; }
  const std::array<uint8_t, kHeaderBlockSize>& GetHeaderBlock() const { return m_headerBlock; }

  // The stored size in bytes of `page`. False when closed or unreadable.
  bool GetPageSize(uint32_t page, uint32_t& size);
  // Replaces `bytes` with the unscrambled page. False when closed or
  // unreadable; `bytes` is then left as it was.
  bool ReadPage(uint32_t page, std::string& bytes);
  // ReadPage, and also the stored name (the bytes before the zero byte).
  bool ReadPageAndName(uint32_t page, std::string& bytes, std::string& name);
  // Finds, from `start` on, the first page whose stored name carries
  // `fileNumber`. `page` is then that page, or else the last page examined
  // (start - 1 when none was).
  bool FindPageByFileNumber(uint32_t start, int fileNumber, uint32_t& page);

  // Sets the page into the page frame with every keyword of `keywords`
  // (separated by U+0020 or U+3000) highlighted and anchored in the cell
  // that the page's file number selects. `displayCode`: 0 whole cell,
  // 1 main text only, 2 annotations only. Returns the number of anchors
  // written; 0 with `output` untouched when closed, unreadable or without
  // keywords.
  int RenderPage(uint32_t page, std::string& output, std::u16string_view keywords, DisplayCode displayCode);

  // The number a stored name carries between its last backslash and the
  // last dot after it. False when the name has none.
  static bool FileNumberOfName(std::string_view name, int& number);

 private:
  // Reads the entry of `page`: its stored name, end and size. Fails for
  // pages at or above the page count and entries outside the text file.
  bool ReadEntry(uint32_t page, std::string* name, uint32_t& end, uint32_t& size);
  // Replaces `bytes` with the unscrambled text bytes [end - size, end).
  bool ReadText(uint32_t end, uint32_t size, std::string& bytes);

  uint32_t m_nPageCount = 0;
  std::array<uint8_t, kHeaderBlockSize> m_headerBlock{};
  bool m_bOpen = false;
  uint32_t m_nNameLength = kDefaultNameLength;
  std::FILE* m_headerFile = nullptr;
  std::FILE* m_textFile = nullptr;
  uint64_t m_nHeaderSize = 0;
  uint64_t m_nTextSize = 0;
};

#endif  // CODEXA_CORPUS_FILELIST_H_
