#include "corpus/hitlist.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "corpus/firstholder.h"

namespace {

constexpr int kLabelLevels = 3;  // category, work, volume

// The nodes at `level` below `node`, in catalogue order: the ones
// LabelNode looks through, first to last.
void CollectLevel(const ContentsNodeTag& node, int level, std::vector<const ContentsNodeTag*>& found) {
  for (const auto& child : node.children) {
    if (child->level == level) {
      found.push_back(child.get());
    } else {
      CollectLevel(*child, level, found);
    }
  }
}

// LabelNode of one labelling scope (the search scope, or for the whole
// corpus one of its categories) at one level: fixed when the scope lies at
// or below the level, else the first holder among the scope's nodes there.
class CLevelLabel {
 public:
  CLevelLabel(const ContentsNodeTag& scope, int level) {
    if (scope.level >= level) {
      m_pFixed = LabelNode(scope, level, 0);
      return;
    }
    CollectLevel(scope, level, m_nodes);
    m_holder = CFirstHolder(m_nodes);
  }
  // The node, with the run of pages that share it.
  const ContentsNodeTag* Find(uint32_t page, CFirstHolder::Run& run) const {
    if (m_nodes.empty()) {
      run = {0, uint64_t{1} << 32, -1};
      return m_pFixed;
    }
    run = m_holder.Find(page);
    return run.index < 0 ? nullptr : m_nodes[static_cast<std::size_t>(run.index)];
  }

 private:
  const ContentsNodeTag* m_pFixed = nullptr;
  std::vector<const ContentsNodeTag*> m_nodes;
  CFirstHolder m_holder;
};

struct LabelSet {
  explicit LabelSet(const ContentsNodeTag& scope) : levels{{{scope, 1}, {scope, 2}, {scope, 3}}} {}
  std::array<CLevelLabel, kLabelLevels> levels;
};

std::u16string NameOf(const ContentsNodeTag* node) { return node != nullptr ? node->name : std::u16string(); }

// The number of `page` in `volume`, modulo 2^32 like the stored numbers
// themselves; only odd catalogues wrap.
int FileNumber(const ContentsNodeTag& volume, uint32_t page) {
  return static_cast<int>(page + 1u - static_cast<uint32_t>(volume.docID) + volume.curFileName);
}

}  // namespace

// The labelling of one scope: for a category, work or volume one label set;
// for the whole corpus one per category, chosen by the first category that
// holds the page (LabelScope).
class CScopeLabels {
 public:
  explicit CScopeLabels(const ContentsNodeTag& scope) : m_bWhole(scope.level == 0) {
    if (!m_bWhole) {
      m_sets.emplace_back(scope);
      return;
    }
    for (const auto& category : scope.children) {
      m_categoryNodes.push_back(category.get());
      m_sets.emplace_back(*category);
    }
    m_categories = CFirstHolder(m_categoryNodes);
  }

  // The label set of `page`, with the run of pages that share it; null for
  // a page in no category of the whole corpus.
  const LabelSet* SetOf(uint32_t page, CFirstHolder::Run& run) const {
    if (!m_bWhole) {
      run = {0, uint64_t{1} << 32, 0};
      return &m_sets.front();
    }
    run = m_categories.Find(page);
    return run.index < 0 ? nullptr : &m_sets[static_cast<std::size_t>(run.index)];
  }

  // The volume of `page`, and the run of pages that share it (and their
  // label set); null when none holds the page.
  const ContentsNodeTag* VolumeOf(uint32_t page, CFirstHolder::Run& run) const {
    const LabelSet* set = SetOf(page, run);
    if (set == nullptr) return nullptr;
    CFirstHolder::Run volumeRun;
    const ContentsNodeTag* volume = set->levels[2].Find(page, volumeRun);
    run.first = std::max(run.first, volumeRun.first);
    run.end = std::min(run.end, volumeRun.end);
    return volume;
  }

  SearchNodeTag Label(uint32_t page, uint32_t count) const {
    SearchNodeTag entry;
    CFirstHolder::Run run;
    if (const LabelSet* set = SetOf(page, run)) {
      entry.category = NameOf(set->levels[0].Find(page, run));
      entry.title = NameOf(set->levels[1].Find(page, run));
      if (const ContentsNodeTag* volume = set->levels[2].Find(page, run)) {
        entry.volume = volume->name;
        entry.fileNumber = FileNumber(*volume, page);
      }
    }
    entry.pageNumber = page;
    entry.hitCount = count;
    return entry;
  }

 private:
  bool m_bWhole;
  std::vector<const ContentsNodeTag*> m_categoryNodes;
  CFirstHolder m_categories;
  std::vector<LabelSet> m_sets;
};

namespace {

// The positions 0 .. n-1 ordered by `keys` as unsigned numbers, stably. A
// narrow span of keys (the file numbers of real volumes) is counted out in
// linear time; any other goes to the comparison sort.
std::vector<uint32_t> StableOrder(const std::vector<int>& keys) {
  std::vector<uint32_t> order(keys.size());
  if (keys.empty()) return order;
  auto key = [&](std::size_t i) { return static_cast<uint32_t>(keys[i]); };
  uint32_t least = key(0), most = key(0);
  for (std::size_t i = 1; i < keys.size(); ++i) {
    least = std::min(least, key(i));
    most = std::max(most, key(i));
  }
  const uint64_t span = uint64_t{most} - least + 1;
  if (span > 4 * keys.size() + 1024) {
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
    return order;
  }
  std::vector<uint32_t> slots(span + 1, 0);
  for (std::size_t i = 0; i < keys.size(); ++i) ++slots[key(i) - least + 1];
  std::partial_sum(slots.begin(), slots.end(), slots.begin());
  for (std::size_t i = 0; i < keys.size(); ++i) order[slots[key(i) - least]++] = static_cast<uint32_t>(i);
  return order;
}

template <typename T>
std::vector<T> Reordered(const std::vector<T>& values, const std::vector<uint32_t>& order) {
  std::vector<T> result;
  result.reserve(values.size());
  for (const uint32_t i : order) result.push_back(values[i]);
  return result;
}

}  // namespace

CHitList::CHitList() = default;
CHitList::~CHitList() = default;
CHitList::CHitList(const CHitList&) = default;
CHitList::CHitList(CHitList&&) noexcept = default;
CHitList& CHitList::operator=(const CHitList&) = default;
CHitList& CHitList::operator=(CHitList&&) noexcept = default;

CHitList::CHitList(const ContentsNodeTag& scope, std::span<const uint32_t> pages, std::span<const uint32_t> counts)
    : m_labels(std::make_shared<const CScopeLabels>(scope)) {
  const std::size_t n = std::min(pages.size(), counts.size());
  std::vector<uint32_t> inCounts;
  std::vector<int> fileNumbers;
  CFirstHolder::Run run;
  const ContentsNodeTag* volume = nullptr;
  for (std::size_t i = 0; i < n; ++i) {
    const uint32_t page = pages[i];
    if (!InScope(scope, page)) continue;
    // The engine's pages ascend, so one run serves page after page.
    if (!run.Covers(page)) volume = m_labels->VolumeOf(page, run);
    m_enginePages.push_back(page);
    inCounts.push_back(counts[i]);
    fileNumbers.push_back(volume != nullptr ? FileNumber(*volume, page) : 0);
    m_nTotalHits += counts[i];
  }
  const std::vector<uint32_t> order = StableOrder(fileNumbers);
  m_pages = Reordered(m_enginePages, order);
  m_counts = Reordered(inCounts, order);
}

SearchNodeTag CHitList::operator[](std::size_t i) const { return m_labels->Label(m_pages[i], m_counts[i]); }

std::vector<SearchNodeTag> CHitList::Labelled() const {
  std::vector<SearchNodeTag> entries;
  entries.reserve(size());
  for (std::size_t i = 0; i < size(); ++i) entries.push_back((*this)[i]);
  return entries;
}

std::size_t CHitList::Find(uint32_t page) const {
  const auto found = std::find(m_pages.begin(), m_pages.end(), page);
  return found == m_pages.end() ? npos : static_cast<std::size_t>(found - m_pages.begin());
}

uint64_t ApplyScope(const ContentsNodeTag& scope, std::span<const uint32_t> pages,
                    std::span<const uint32_t> counts, std::vector<SearchNodeTag>& entries) {
  const CHitList list(scope, pages, counts);
  entries = list.Labelled();
  return list.TotalHits();
}
