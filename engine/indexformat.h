// The index of one search target: "<corpus><suffix>-idx.h", the header,
// and "<corpus><suffix>-idx.m", the postings. The suffix is the target's
// (kTargets[].fileSuffix in engine/searchtarget.h): "Index-idx.h" for the
// full text, "Index_content-idx.h" for the main text, "Index_desc-idx.h"
// for the annotations. The engine reads it (engine/index.cpp,
// engine/postingcursor.h, engine/skiptable.h, engine/ngramtable.h); the
// writer writes it (writer/corpuswriter.cpp). All numbers are
// little-endian (base/coding.h).
//
// The header file
//
//   table          entries                          per index code
//   firstBlock     kIndexCodeCount x 32 bits        first block of the list, kNoBlock: no list
//   sideFormat     kIndexCodeCount x 16 bits        format of the code's side table, 0: none
//   sideLocation   kIndexCodeCount x 32 bits        where the side table lies (see below)
//   lastPage       kIndexCodeCount x 32 bits        page of the list's last record
//   chain          one 32 bits per posting block    the block that continues block b
//
// The four code tables take kHeaderTablesSize (1,400,000) bytes; the chain
// fills the rest of the file. The plain format leaves sideFormat and
// sideLocation to the builder: a reader that knows no side tables never
// looks at them, and zeros there mean none.
//
// The posting file
//
// Whole blocks of kPostingBlockSize bytes. A code's list starts at byte 0
// of firstBlock[code] and runs on from the last byte of block b to block
// chain[b]. A list is a run of page records:
//
//   page delta      variable-length number: the page minus the page of the
//                   record before (the first record: the page itself)
//   position bytes  16 bits: the bytes of the positions that follow
//   positions       variable-length numbers: the first position on the
//                   page, then each position minus the one before
//
// The list ends with the record of page lastPage[code]. Pages and
// positions are at most kMaxVarNumber, a page's position bytes at most
// kMaxPositionBytes: the writer refuses a corpus beyond that.
//
// Side tables
//
// Blocks after the last block of any list are reached by no chain; the
// builder keeps two kinds of side table there, each located through the
// spare header slots of one code:
//
//   skip table        sideFormat[code] kSkipFormat, sideLocation[code] the
//                     byte offset / kSkipAlign (engine/skiptable.h)
//   page-count table  at the slots of kNgramTableCode, a code no character
//                     has: sideFormat kNgramFormat, sideLocation the byte
//                     offset / kNgramAlign (engine/ngramtable.h)
//
// A skip table: a header of kSkipHeaderSize bytes (kSkipMagic, the code,
// the entry count, kSkipInterval), then one entry of kSkipEntrySize bytes
// for every kSkipInterval-th record after the first: the page of the
// record before, the byte offset of the record's header within the list,
// and the block that holds that byte, 32 bits each.
//
// The page-count table (kNgramAlign-aligned):
//
//   header      kNgramHeaderSize bytes: kNgramMagic, kNgramVersion, code
//               count (kIndexCodeCount), pair count P, list bytes B (64
//               bits), 8 bytes zero
//   single      (code count + 1) x 32 bits: list offsets; code c's list is
//               [single[c], single[c + 1])
//   pairStart   (code count + 1) x 32 bits: the pairs whose first code is
//               c are entries [pairStart[c], pairStart[c + 1])
//   pairs       (P + 1) x (second code, list offset), 32 bits each, by
//               second code within a first code; pair i's list is
//               [offset[i], offset[i + 1]); the last entry closes the last
//   lists       B bytes, then kNgramPadding zero bytes
//
// A page-count list is a run of blocks of up to kNgramBlockEntries entries,
// pages ascending from 0:
//
//   byte        width codes: bits 0-1 of the page steps, bits 2-3 of the
//               counts (0, 1, 2: numbers of 1, 2, 4 bytes), bits 4-7 zero
//   byte        the number of entries n (1 or more)
//   n numbers   page steps: each page minus the one before (the first
//               block's first: the page itself)
//   n numbers   counts
//
// The readers trust none of it: see the file heads of the readers for what
// each does with a file that does not fit.
#ifndef CODEXA_ENGINE_INDEXFORMAT_H_
#define CODEXA_ENGINE_INDEXFORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/coding.h"
#include "corpus/filelistformat.h"
#include "engine/codeconverter.h"
#include "engine/searchtarget.h"

// ---- file names

inline constexpr std::string_view kIndexHeaderSuffix = "-idx.h";
inline constexpr std::string_view kIndexPostingSuffix = "-idx.m";

// "<corpusName><target's suffix>", what the writer's WriteIndex takes.
inline std::string IndexBaseName(SearchTarget target, std::string_view corpusName = kCorpusName) {
  return CorpusFileName(corpusName, TargetInfoOf(target).fileSuffix);
}
// "<corpusName><target's suffix><fileSuffix>", e.g. "Index_desc-idx.m".
inline std::string IndexFileName(SearchTarget target, std::string_view fileSuffix,
                                 std::string_view corpusName = kCorpusName) {
  return CorpusFileName(corpusName, TargetInfoOf(target).fileSuffix, fileSuffix);
}
inline std::u16string IndexFileName(SearchTarget target, std::string_view fileSuffix, std::u16string_view corpusName) {
  return CorpusFileName(corpusName, TargetInfoOf(target).fileSuffix, fileSuffix);
}

// "<corpusName><target's suffix>-idx.h" and "...-idx.m".
inline std::string IndexHeaderName(SearchTarget target = SearchTarget::kFullText,
                                   std::string_view corpusName = kCorpusName) {
  return IndexFileName(target, kIndexHeaderSuffix, corpusName);
}
inline std::string IndexPostingName(SearchTarget target = SearchTarget::kFullText,
                                    std::string_view corpusName = kCorpusName) {
  return IndexFileName(target, kIndexPostingSuffix, corpusName);
}

// ---- the header file

// Where each code table starts, in file order.
constexpr uint64_t kFirstBlockTableAt = 0;
constexpr uint64_t kSideFormatTableAt = kFirstBlockTableAt + uint64_t{kIndexCodeCount} * 4;
constexpr uint64_t kSideLocationTableAt = kSideFormatTableAt + uint64_t{kIndexCodeCount} * 2;
constexpr uint64_t kLastPageTableAt = kSideLocationTableAt + uint64_t{kIndexCodeCount} * 4;
// The four code tables together; the block chain starts here.
constexpr uint64_t kHeaderTablesSize = kLastPageTableAt + uint64_t{kIndexCodeCount} * 4;
static_assert(kHeaderTablesSize == 1400000);

// Where the entry of `code` (0 .. kIndexCodeCount - 1) lies in each table,
// and chain entry `block`.
constexpr uint64_t FirstBlockEntryAt(int32_t code) { return kFirstBlockTableAt + uint64_t(code) * 4; }
constexpr uint64_t SideFormatEntryAt(int32_t code) { return kSideFormatTableAt + uint64_t(code) * 2; }
constexpr uint64_t SideLocationEntryAt(int32_t code) { return kSideLocationTableAt + uint64_t(code) * 4; }
constexpr uint64_t LastPageEntryAt(int32_t code) { return kLastPageTableAt + uint64_t(code) * 4; }
constexpr uint64_t ChainEntryAt(uint32_t block) { return kHeaderTablesSize + uint64_t{block} * 4; }

// firstBlock of a code without a list; chain of a block that continues
// nowhere.
constexpr uint32_t kNoBlock = UINT32_MAX;

// ---- the posting file

constexpr uint32_t kPostingBlockSize = 4096;
// The most position bytes one page record holds (its 16-bit count).
constexpr uint32_t kMaxPositionBytes = 0xFFFF;
// The most pages an index can tell apart: page deltas are variable-length
// numbers, and the first record's delta is its page.
constexpr uint64_t kMaxPageCount = uint64_t{kMaxVarNumber} + 1;

// ---- skip tables

constexpr uint16_t kSkipFormat = 1;
constexpr uint32_t kSkipMagic = 0x4B535843;  // "CXSK" in file order
constexpr uint32_t kSkipAlign = 16;
constexpr uint32_t kSkipInterval = 32;
constexpr uint32_t kSkipHeaderSize = 16;
constexpr uint32_t kSkipEntrySize = 12;

struct SkipEntry {
  uint32_t pageBefore;  // the page of the record before; 0 for the first
  uint32_t offset;      // where the record's header starts in the list
  uint32_t block;       // the block that holds that byte
};

// ---- the page-count table

constexpr int32_t kNgramTableCode = 84149;
constexpr uint16_t kNgramFormat = 2;
constexpr uint32_t kNgramMagic = 0x474E5843;  // "CXNG" in file order
constexpr uint32_t kNgramVersion = 1;
constexpr uint32_t kNgramAlign = 16;
constexpr uint32_t kNgramHeaderSize = 32;
constexpr uint32_t kNgramPadding = 8;
constexpr uint32_t kNgramBlockEntries = 64;
static_assert(kNgramTableCode < kFirstGroupCode, "no variant group may own the table's slots");

#endif  // CODEXA_ENGINE_INDEXFORMAT_H_
