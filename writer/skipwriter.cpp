#include "writer/skipwriter.h"

#include "base/coding.h"
#include "engine/indexformat.h"
#include "writer/listrecords.h"

namespace codexa::writer {

namespace {

// The entries for every kSkipInterval-th record after the first.
std::vector<SkipEntry> SkipEntries(std::string_view list, const std::vector<uint32_t>& blocks) {
  std::vector<SkipEntry> entries;
  uint32_t page = 0;
  uint64_t record = 0;
  ForEachRecord(list, [&](const ListRecord& r) {
    if (record > 0 && record % kSkipInterval == 0) {
      entries.push_back({page, static_cast<uint32_t>(r.header), blocks[r.header / kPostingBlockSize]});
    }
    page += r.pageDelta;
    ++record;
  });
  return entries;
}

}  // namespace

uint32_t AppendSkipTable(int32_t code, std::string_view list, const std::vector<uint32_t>& blocks,
                         uint64_t tailStart, std::string& tail) {
  const std::vector<SkipEntry> entries = SkipEntries(list, blocks);
  if (entries.empty()) return 0;
  tail.resize((tail.size() + kSkipAlign - 1) / kSkipAlign * kSkipAlign, '\0');
  const uint64_t location = (tailStart + tail.size()) / kSkipAlign;
  if (location > UINT32_MAX) return 0;  // beyond what the table can address: the list is read plainly
  AppendLE32(kSkipMagic, tail);
  AppendLE32(static_cast<uint32_t>(code), tail);
  AppendLE32(static_cast<uint32_t>(entries.size()), tail);
  AppendLE32(kSkipInterval, tail);
  for (const SkipEntry& entry : entries) {
    AppendLE32(entry.pageBefore, tail);
    AppendLE32(entry.offset, tail);
    AppendLE32(entry.block, tail);
  }
  return static_cast<uint32_t>(location);
}

}  // namespace codexa::writer
