// The catalogue file "zemo.dir": the categories, works and volumes of the
// corpus, in pre-order (every node after its parent and before its
// parent's next sibling), as a flat run of kNodeRecordSize-byte records:
//
//   offset  size  field
//   0       200   name: kNodeNameUnits UTF-16 units, little-endian, ended
//                 by a zero unit when shorter (the writer always leaves one)
//   200     4     level: 1 category, 2 work, 3 volume
//   204     4     docID: 1-based number of the first page covered
//   208     4     docNo: number of consecutive pages covered
//   212     2     curFileName: file number of the first page
//   214     2     zero
//
// Numbers are little-endian, the 32-bit ones signed. There is no header
// and no record count: the file's length tells. The reader
// (corpus/catalogue.h) says what it makes of records that do not fit.
#ifndef CODEXA_CORPUS_CATALOGUEFORMAT_H_
#define CODEXA_CORPUS_CATALOGUEFORMAT_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/coding.h"

inline constexpr char kCatalogueFileName[] = "zemo.dir";

constexpr std::size_t kNodeRecordSize = 216;
constexpr std::size_t kNodeNameUnits = 100;

// One catalogue record, with exactly the file's layout.
struct NodeItemRecord {
  char16_t name[kNodeNameUnits] = {};
  int32_t level = 0;         // 1 category, 2 work, 3 volume
  int32_t docID = 0;         // 1-based number of the first page covered
  int32_t docNo = 0;         // number of consecutive pages covered
  uint16_t curFileName = 0;  // file number of the first page
  uint16_t unused = 0;

  // Decodes the kNodeRecordSize bytes at `bytes`.
  static NodeItemRecord Decode(const uint8_t* bytes) {
    NodeItemRecord record;
    for (std::size_t i = 0; i < kNodeNameUnits; ++i) record.name[i] = static_cast<char16_t>(LoadLE16(bytes + 2 * i));
    record.level = static_cast<int32_t>(LoadLE32(bytes + 200));
    record.docID = static_cast<int32_t>(LoadLE32(bytes + 204));
    record.docNo = static_cast<int32_t>(LoadLE32(bytes + 208));
    record.curFileName = LoadLE16(bytes + 212);
    record.unused = LoadLE16(bytes + 214);
    return record;
  }
  // Appends the record's kNodeRecordSize bytes to `out`.
  void Encode(std::string& out) const {
    for (const char16_t unit : name) AppendLE16(unit, out);
    AppendLE32(static_cast<uint32_t>(level), out);
    AppendLE32(static_cast<uint32_t>(docID), out);
    AppendLE32(static_cast<uint32_t>(docNo), out);
    AppendLE16(curFileName, out);
    AppendLE16(unused, out);
  }
  // The name up to its first zero unit (all kNodeNameUnits units when
  // there is none).
  std::u16string Name() const { return std::u16string(name, std::find(name, name + kNodeNameUnits, u'\0')); }
};
static_assert(sizeof(NodeItemRecord) == kNodeRecordSize);

#endif  // CODEXA_CORPUS_CATALOGUEFORMAT_H_
