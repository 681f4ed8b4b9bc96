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
// The page-count table (kNgramAlign-aligned), version kNgramVersion:
//
//   header      kNgramHeaderSize bytes: kNgramMagic, kNgramVersion, code
//               count (kIndexCodeCount), group count G, list bytes B (64
//               bits), directory bytes D, the page bound U (every page of
//               every list is below it), 32 bits each
//   single      (code count + 1) x 32 bits: list offsets; code c's list is
//               [single[c], single[c + 1]), none when that is empty
//   groupStart  (code count + 1) x 32 bits: the pair groups of the pairs
//               whose first code is c are [groupStart[c], groupStart[c + 1])
//   groups      (G + 1) x kNgramGroupSize bytes, 32 bits each: the second
//               code of the group's first pair, where its entries start in
//               the directory, and where its first new list starts in the
//               lists; the last closes the last group
//   directory   D bytes: the pair entries, by second code within a first
//               code, up to kNgramGroupPairs to a group; a first code's
//               pairs start a group of their own
//   lists       B bytes, then kNgramPadding zero bytes
//
// A pair entry, in table numbers (seven bits a byte, least significant
// first, the high bit set on every byte but the last; at most five):
//
//   second code step  the second code minus the one before; absent for a
//                     group's first entry, whose code is in the group
//   reference         value x 4 + kind:
//     kNgramOnlyPage  the pair is on one page, once: value is the page
//     kNgramNextList  a new list of value bytes; the first new list of a
//                     group starts where the group says, the others each
//                     right after the one before
//     kNgramSameList  the same list as one before (of a single code or a
//                     pair): value is where it starts, and a further
//                     number its bytes
//
// A page-count list: a table number, its entry count n (1 or more), then
// blocks of kNgramBlockEntries entries (the last holds the rest):
//
//   first page    a table number, above the last page of the block before
//   byte          bits 0-5 the step width (0 .. kNgramMaxStepWidth), bits
//                 6-7 the count mode
//   byte          the count width (0 .. kNgramMaxCountWidth), but for
//                 count mode kNgramCountsOne
//   steps         for each entry after the first, its page minus the page
//                 before minus 1, step width bits each
//   counts        kNgramCountsOne: none, every count is 1
//                 kNgramCountsPacked: count - 1 of each entry, count width
//                 bits each
//                 kNgramCountsFlagged: a bit per entry set where the count
//                 is above 1, then count - 2 of each such entry, count
//                 width bits each
//
// Bits are packed from the least significant bit of the first byte on;
// steps and counts each start on a byte. Pages ascend by construction, so
// a list's blocks can be stepped over by their heads alone to reach a page.
// Version 1 tables (another list and directory layout) are not read: the
// engine answers from the position lists then, with the same results.
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
constexpr uint32_t kNgramVersion = 2;
constexpr uint32_t kNgramAlign = 16;
constexpr uint32_t kNgramHeaderSize = 32;
constexpr uint32_t kNgramPadding = 8;
constexpr uint32_t kNgramGroupSize = 12;
constexpr uint32_t kNgramGroupPairs = 16;
constexpr uint32_t kNgramBlockEntries = 128;
constexpr uint32_t kNgramMaxStepWidth = 32;
constexpr uint32_t kNgramMaxCountWidth = 31;
// The kinds of a pair entry's reference.
constexpr uint32_t kNgramOnlyPage = 0;
constexpr uint32_t kNgramNextList = 1;
constexpr uint32_t kNgramSameList = 2;
// The count modes of a list block.
constexpr uint32_t kNgramCountsOne = 0;
constexpr uint32_t kNgramCountsPacked = 1;
constexpr uint32_t kNgramCountsFlagged = 2;
static_assert(kNgramTableCode < kFirstGroupCode, "no variant group may own the table's slots");

#endif  // CODEXA_ENGINE_INDEXFORMAT_H_
