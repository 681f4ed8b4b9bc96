// The corpus name, and the file list: the text store of every page.
//
// Every file of a corpus is named after the corpus name, kCorpusName
// ("Index"): the file list "Index-fl.h" and "Index-fl.cnt", and the index
// of each search target (engine/indexformat.h). The catalogue
// (corpus/catalogueformat.h) and the variant table (engine/variants.h)
// have fixed names of their own.
//
// "<corpus>-fl.cnt" holds the pages back to back, each a UTF-8 HTML
// document, every byte XOR kScrambleMask.
//
// "<corpus>-fl.h" (all numbers 32-bit little-endian):
//
//   offset  size                 field
//   0       4                    page count
//   4       4                    name length L: the size of every name
//                                field, at most kMaxNameLength
//   8       kHeaderBlockSize     reserved, zero as written
//   268     (L + 8) per page     entries: the stored name (a path with
//                                backslashes, "集部\御定全唐詩\卷一\0001.htm",
//                                zero-padded: at least one zero byte), the
//                                page's end offset in the text file, its size
//
// The text file is addressed with 32-bit offsets: at most kMaxTextBytes.
// The reader (corpus/filelist.cpp) trusts none of it: see corpus/filelist.h.
#ifndef CODEXA_CORPUS_FILELISTFORMAT_H_
#define CODEXA_CORPUS_FILELISTFORMAT_H_

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kCorpusName = "Index";
// The same, as CIndex::Open and CFileList::Open take it.
inline constexpr std::u16string_view kCorpusNameUtf16 = u"Index";

inline constexpr std::string_view kFileListHeaderSuffix = "-fl.h";
inline constexpr std::string_view kFileListTextSuffix = "-fl.cnt";

// Every stored byte is the plain byte XOR this mask.
constexpr uint8_t kScrambleMask = 0xA7;
// The reserved block after the page count and the name length.
constexpr uint32_t kHeaderBlockSize = 260;
// Size of the fixed part of "-fl.h" before the entry table.
constexpr uint32_t kFileListHeaderSize = 8 + kHeaderBlockSize;
static_assert(kFileListHeaderSize == 268);
// The largest name length: readers keep stored names in buffers this size.
constexpr uint32_t kMaxNameLength = 260;
// The name length the builder writes.
constexpr uint32_t kDefaultNameLength = 100;
// The end and size after the name field of an entry.
constexpr uint32_t kEntryNumbersSize = 8;
// The text file is addressed with 32-bit offsets.
constexpr uint64_t kMaxTextBytes = UINT32_MAX;

// The name of a corpus file: the corpus name followed by ASCII suffixes
// ("Index" "-fl.h", "Index" "_content" "-idx.h").
inline std::string CorpusFileName(std::string_view corpusName, std::string_view suffix, std::string_view more = {}) {
  std::string name(corpusName);
  name += suffix;
  name += more;
  return name;
}
inline std::u16string CorpusFileName(std::u16string_view corpusName, std::string_view suffix,
                                     std::string_view more = {}) {
  std::u16string name(corpusName);
  name.append(suffix.begin(), suffix.end());
  name.append(more.begin(), more.end());
  return name;
}

// "<corpusName>-fl.h" and "<corpusName>-fl.cnt".
inline std::string FileListHeaderName(std::string_view corpusName = kCorpusName) {
  return CorpusFileName(corpusName, kFileListHeaderSuffix);
}
inline std::string FileListTextName(std::string_view corpusName = kCorpusName) {
  return CorpusFileName(corpusName, kFileListTextSuffix);
}

#endif  // CODEXA_CORPUS_FILELISTFORMAT_H_
