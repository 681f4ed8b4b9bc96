#include "corpus/hitspernode.h"

std::vector<uint32_t> HitPagesPerRecord(const CCatalogue& catalogue, std::span<const SearchNodeTag> entries) {
  std::vector<uint32_t> counts(static_cast<std::size_t>(catalogue.NodeCount()), 0);
  for (const SearchNodeTag& entry : entries) {
    const ContentsNodeTag* node = &catalogue.Root();
    // Down the levels, each time to the first child holding the page.
    while (node != nullptr) {
      const ContentsNodeTag* next = nullptr;
      for (const auto& child : node->children) {
        if (child->Holds(entry.pageNumber)) {
          next = child.get();
          break;
        }
      }
      if (next != nullptr && next->record > 0 && next->record < catalogue.NodeCount()) {
        ++counts[static_cast<std::size_t>(next->record)];
      }
      node = next;
    }
  }
  return counts;
}
