#include "corpus/hitspernode.h"

#include <algorithm>
#include <functional>

#include "corpus/firstholder.h"

namespace {

// The first child holding a page, for every node with children, by the
// node's record (the root's is 0).
class CChildHolders {
 public:
  explicit CChildHolders(const CCatalogue& catalogue) : m_holders(static_cast<std::size_t>(catalogue.NodeCount())) {
    std::function<void(const ContentsNodeTag&)> add = [&](const ContentsNodeTag& node) {
      if (node.children.empty()) return;
      Holder& holder = m_holders[static_cast<std::size_t>(node.record)];
      for (const auto& child : node.children) holder.children.push_back(child.get());
      holder.first = CFirstHolder(holder.children);
      for (const auto& child : node.children) add(*child);
    };
    add(catalogue.Root());
  }

  // The records on the way down from the root to `page`, each time to the
  // first child holding it, and the run of pages that share the way.
  void WayDown(const ContentsNodeTag& root, uint32_t page, std::vector<int>& records, CFirstHolder::Run& run) const {
    records.clear();
    run = {0, uint64_t{1} << 32, 0};
    for (const ContentsNodeTag* node = &root; node != nullptr && !node->children.empty();) {
      const Holder& holder = m_holders[static_cast<std::size_t>(node->record)];
      const CFirstHolder::Run step = holder.first.Find(page);
      run.first = std::max(run.first, step.first);
      run.end = std::min(run.end, step.end);
      node = step.index < 0 ? nullptr : holder.children[static_cast<std::size_t>(step.index)];
      if (node != nullptr) records.push_back(node->record);
    }
  }

 private:
  struct Holder {
    std::vector<const ContentsNodeTag*> children;
    CFirstHolder first;
  };
  std::vector<Holder> m_holders;
};

}  // namespace

std::vector<uint32_t> HitPagesPerRecord(const CCatalogue& catalogue, std::span<const uint32_t> pages) {
  std::vector<uint32_t> counts(static_cast<std::size_t>(catalogue.NodeCount()), 0);
  if (pages.empty()) return counts;
  const CChildHolders holders(catalogue);
  std::vector<int> way;
  CFirstHolder::Run run;
  uint32_t pending = 0;
  auto flush = [&] {
    for (const int record : way) counts[static_cast<std::size_t>(record)] += pending;
    pending = 0;
  };
  for (const uint32_t page : pages) {
    if (!run.Covers(page)) {
      flush();
      holders.WayDown(catalogue.Root(), page, way, run);
    }
    ++pending;
  }
  flush();
  return counts;
}
