// A catalogue of arbitrary records: loading, the node tree, the lookups by
// record and by path, and the scope applied to arbitrary result arrays.
//
// Input: the bytes of kCatalogueFileName (chunk), then pairs of little-endian u32
// (page number, hit count) standing for the engine's result arrays.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "corpus/catalogue.h"
#include "corpus/catalogueformat.h"
#include "corpus/hitlist.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/require.h"
#include "writer/scratchdir.h"

namespace {

using codexa::fuzz::FuzzInput;

// Nodes whose scope is applied per input; the tree of a small input has
// no more.
constexpr int kMaxScopesApplied = 40;

void CheckScope(const ContentsNodeTag& scope, const std::vector<uint32_t>& pages,
                const std::vector<uint32_t>& counts) {
  std::vector<SearchNodeTag> entries;
  const uint64_t total = ApplyScope(scope, pages, counts, entries);
  uint64_t sum = 0;
  for (const SearchNodeTag& entry : entries) {
    FUZZ_REQUIRE(InScope(scope, entry.pageNumber));
    // The labels found by page runs are those of the rule, page by page.
    const ContentsNodeTag* labels = LabelScope(scope, entry.pageNumber);
    const ContentsNodeTag* volume = labels ? VolumeNode(*labels, entry.pageNumber) : nullptr;
    FUZZ_REQUIRE(entry.category == (labels ? CategoryName(*labels) : u""));
    FUZZ_REQUIRE(entry.title == (labels ? TitleName(*labels, entry.pageNumber) : u""));
    FUZZ_REQUIRE(entry.volume == (volume ? volume->name : u""));
    FUZZ_REQUIRE(volume != nullptr || entry.fileNumber == 0);
    sum += entry.hitCount;
  }
  FUZZ_REQUIRE(sum == total);
  FUZZ_REQUIRE(entries.size() <= pages.size());
  FUZZ_REQUIRE(std::is_sorted(entries.begin(), entries.end(), [](const SearchNodeTag& a, const SearchNodeTag& b) {
    return static_cast<uint32_t>(a.fileNumber) < static_cast<uint32_t>(b.fileNumber);
  }));
  CategoryName(scope);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static codexa::writer::ScratchDir dir;

  FuzzInput input(data, size);
  const std::string_view records = input.Chunk();
  dir.Write(kCatalogueFileName, records);
  const std::string_view rest = input.Rest();
  FuzzInput numbers(reinterpret_cast<const uint8_t*>(rest.data()), rest.size());
  std::vector<uint32_t> pages, counts;
  for (size_t i = 0; i + 4 <= rest.size(); i += 4) (i % 8 == 0 ? pages : counts).push_back(numbers.U32());

  CCatalogue catalogue;
  std::ostringstream diagnostics;
  FUZZ_REQUIRE(catalogue.Load(dir / kCatalogueFileName, dir / "zemo.txt", diagnostics));
  FUZZ_REQUIRE(catalogue.NodeCount() == static_cast<int>(1 + records.size() / kNodeRecordSize));

  int applied = 0;
  for (int record = 0; record <= catalogue.NodeCount(); ++record) {
    const ContentsNodeTag* node = catalogue.FindNodeByRecord(record);
    if (node == nullptr) continue;
    const NodeItemRecord& stored = catalogue.Record(record);
    FUZZ_REQUIRE(node->record == record && node->level == stored.level && node->docID == stored.docID &&
                 node->docNo == stored.docNo && node->curFileName == stored.curFileName);
    const int found = catalogue.FindRecordByPath(ScopePath(*node));
    FUZZ_REQUIRE(found > 0 && found <= record);
    if (applied++ < kMaxScopesApplied) CheckScope(*node, pages, counts);
  }
  CheckScope(catalogue.Root(), pages, counts);
  return 0;
}
