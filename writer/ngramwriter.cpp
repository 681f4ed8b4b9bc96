#include "writer/ngramwriter.h"

#include <algorithm>

#include "base/coding.h"
#include "engine/codeconverter.h"
#include "engine/indexformat.h"
#include "writer/listrecords.h"

namespace codexa::writer {

namespace {

// The number of position numbers in [at, end) of a position list.
uint32_t CountNumbers(std::string_view list, size_t at, size_t end) {
  uint32_t count = 0;
  for (; at < end; ++count) {
    at += VarNumberLength(static_cast<uint8_t>(list[at]));
  }
  return count;
}

}  // namespace

void NgramCollector::Add(int32_t code, uint32_t page, uint32_t position) {
  if (code < 0 || code >= kIndexCodeCount) return;
  if (!m_occurrences.empty() && page != m_nPage) FlushPage();
  m_nPage = page;
  m_occurrences.push_back({position, code});
}

void NgramCollector::AddPairs(size_t firstBegin, size_t firstEnd, size_t secondBegin, size_t secondEnd) {
  for (size_t i = firstBegin; i < firstEnd; ++i) {
    for (size_t j = secondBegin; j < secondEnd; ++j) {
      m_pairs.Add(m_occurrences[i].code, m_occurrences[j].code, m_nPage);
    }
  }
}

// For each two adjacent positions: the pair of own codes, and every pair
// of the codes a folded keyword can carry there: the group codes, or the
// own code of a character without a group. (No two characters share an own
// code, so a folded keyword carries an own code only for a character that
// has no group.) Own and group codes never meet in one pair, so no pair is
// collected twice for one position.
void NgramCollector::FlushPage() {
  if (m_occurrences.empty()) return;
  if (m_nPage >= PairRuns::kPageLimit) {
    m_bFailed = true;
    m_occurrences.clear();
    return;
  }
  // The builders add a page position by position, own code first.
  if (!std::is_sorted(m_occurrences.begin(), m_occurrences.end()))
    std::sort(m_occurrences.begin(), m_occurrences.end());
  struct Position {
    size_t begin, groups, end;  // own codes [begin, groups), group codes [groups, end)
  };
  const auto at = [this](size_t begin) {
    const uint32_t position = m_occurrences[begin].position;
    size_t groups = begin;
    while (groups < m_occurrences.size() && m_occurrences[groups].position == position &&
           m_occurrences[groups].code < kFirstGroupCode) {
      ++groups;
    }
    size_t end = groups;
    while (end < m_occurrences.size() && m_occurrences[end].position == position) ++end;
    return Position{begin, groups, end};
  };
  for (Position first = at(0); first.end < m_occurrences.size();) {
    const Position second = at(first.end);
    if (m_occurrences[second.begin].position == m_occurrences[first.begin].position + 1) {
      AddPairs(first.begin, first.groups, second.begin, second.groups);
      const bool firstGrouped = first.groups != first.end, secondGrouped = second.groups != second.end;
      if (firstGrouped || secondGrouped) {
        AddPairs(firstGrouped ? first.groups : first.begin, first.end, secondGrouped ? second.groups : second.begin,
                 second.end);
      }
    }
    first = second;
  }
  m_occurrences.clear();
}

// Each record of a position list becomes (page, number of positions).
void NgramCollector::AppendSingleLists(const std::vector<std::string_view>& positionLists, PageCountStore& lists,
                                       std::string& singleTable) {
  for (int32_t code = 0; code < kIndexCodeCount; ++code) {
    AppendLE32(static_cast<uint32_t>(lists.bytes().size()), singleTable);
    if (static_cast<size_t>(code) >= positionLists.size()) continue;
    const std::string_view list = positionLists[static_cast<size_t>(code)];
    uint64_t page = 0;
    ForEachRecord(list, [&](const ListRecord& record) {
      page += record.pageDelta;
      // A record without positions is no page of the code.
      if (const uint32_t count = CountNumbers(list, record.positionsBegin, record.positionsEnd)) {
        m_nPageBound = std::max(m_nPageBound, static_cast<uint32_t>(page) + 1);
        m_pages.push_back(static_cast<uint32_t>(page));
        m_counts.push_back(count);
      }
    });
    if (!m_pages.empty()) lists.Append(m_pages, m_counts);
    m_pages.clear();
    m_counts.clear();
  }
  if (lists.bytes().size() > UINT32_MAX) m_bFailed = true;
  AppendLE32(static_cast<uint32_t>(lists.bytes().size()), singleTable);
}

void NgramCollector::PlacePair(int32_t first, int32_t second, PageCountStore& lists, PairDirectory& directory) {
  const uint64_t before = lists.bytes().size();
  if (m_pages.size() == 1 && m_counts[0] == 1) {
    directory.AddOnlyPage(first, second, m_pages[0], before);
  } else {
    directory.AddList(first, second, lists.Share(m_pages, m_counts), before);
  }
  m_pages.clear();
  m_counts.clear();
}

// The occurrences come by pair, then page: each run of one pair is its
// list, each run of one page within it an entry.
void NgramCollector::AppendPairLists(PageCountStore& lists, PairDirectory& directory) {
  int32_t first = -1, second = -1;
  const bool complete = m_pairs.Drain([&](int32_t nextFirst, int32_t nextSecond, uint32_t page) {
    if (nextFirst != first || nextSecond != second) {
      if (!m_pages.empty()) PlacePair(first, second, lists, directory);
      first = nextFirst;
      second = nextSecond;
    }
    if (!m_pages.empty() && m_pages.back() == page) {
      ++m_counts.back();
    } else {
      m_pages.push_back(page);
      m_counts.push_back(1);
    }
  });
  if (!m_pages.empty()) PlacePair(first, second, lists, directory);
  if (!complete) m_bFailed = true;
}

std::vector<std::string> NgramCollector::Table(const std::vector<std::string_view>& positionLists) {
  FlushPage();
  PageCountStore lists;
  PairDirectory directory;
  std::string head;
  AppendSingleLists(positionLists, lists, head);
  AppendPairLists(lists, directory);
  const uint64_t listBytes = lists.bytes().size();
  if (!directory.Finish(listBytes) || m_bFailed || directory.entries().size() > UINT32_MAX) return {};

  std::string header;
  AppendLE32(kNgramMagic, header);
  AppendLE32(kNgramVersion, header);
  AppendLE32(static_cast<uint32_t>(kIndexCodeCount), header);
  AppendLE32(directory.groupCount(), header);
  AppendLE(listBytes, 8, header);
  AppendLE32(static_cast<uint32_t>(directory.entries().size()), header);
  AppendLE32(m_nPageBound, header);
  head.insert(0, header);
  head += directory.groupStarts();
  head += directory.groups();
  head += directory.entries();
  // Moved in one by one: a braced list would copy the lists.
  std::vector<std::string> pieces;
  pieces.push_back(std::move(head));
  pieces.push_back(lists.TakeBytes());
  pieces.emplace_back(kNgramPadding, '\0');
  return pieces;
}

}  // namespace codexa::writer
