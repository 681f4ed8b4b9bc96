// The parts of the page-count table (engine/ngramtable.h) that the
// ngramtable fuzz target and its seeds damage. An edit is a zone (byte,
// taken modulo kZoneCount), an index (u16) and a value (u32):
//   kHeaderWord      header word index % 8 becomes the value
//   kSingleEntry     single-list offset entry c or c + 1 of listed code c
//                    (index % 24: code kListedCodes[index / 2], + index % 2)
//   kGroupStartEntry the same entry of groupStart
//   kGroupWord       32-bit word index % (3 x (G + 1)) of the groups
//   kDirectoryByte   directory byte index % D becomes the value's low byte
//   kListByte        list byte index % (B + padding) becomes the value's low
//                    byte
//   kTableEntry      the header-table entries of kNgramTableCode: the 16-bit
//                    format (even index, the value's low 16 bits) or the
//                    32-bit location (odd index)
//   kCut             the posting file ends value % (E + 1) bytes before the
//                    table's end E (its padding included); the shortest cut
//                    wins
#ifndef CODEXA_FUZZ_NGRAMZONES_H_
#define CODEXA_FUZZ_NGRAMZONES_H_

#include <cstdint>

namespace codexa::fuzz {

enum NgramZone : uint8_t {
  kHeaderWord,
  kSingleEntry,
  kGroupStartEntry,
  kGroupWord,
  kDirectoryByte,
  kListByte,
  kTableEntry,
  kCut,
  kZoneCount
};

}  // namespace codexa::fuzz

#endif  // CODEXA_FUZZ_NGRAMZONES_H_
