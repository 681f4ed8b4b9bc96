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
                         std::string& postings) {
  const std::vector<SkipEntry> entries = SkipEntries(list, blocks);
  if (entries.empty()) return 0;
  postings.resize((postings.size() + kSkipAlign - 1) / kSkipAlign * kSkipAlign, '\0');
  const uint64_t location = postings.size() / kSkipAlign;
  if (location > UINT32_MAX) return 0;  // beyond what the table can address: the list is read plainly
  AppendLE32(kSkipMagic, postings);
  AppendLE32(static_cast<uint32_t>(code), postings);
  AppendLE32(static_cast<uint32_t>(entries.size()), postings);
  AppendLE32(kSkipInterval, postings);
  for (const SkipEntry& entry : entries) {
    AppendLE32(entry.pageBefore, postings);
    AppendLE32(entry.offset, postings);
    AppendLE32(entry.block, postings);
  }
  return static_cast<uint32_t>(location);
}

}  // namespace codexa::writer
