#include "writer/ngramwriter.h"

#include <algorithm>
#include <array>

#include "base/coding.h"
#include "engine/codeconverter.h"
#include "engine/indexformat.h"
#include "writer/listrecords.h"

namespace codexa::writer {

namespace {

// A pair entry: first code (17 bits), second code (17 bits), page (30 bits).
constexpr int kPageBits = 30;
constexpr int kCodeBits = 17;
static_assert(kIndexCodeCount <= (1 << kCodeBits));
constexpr uint64_t kPageMask = (uint64_t{1} << kPageBits) - 1;

uint64_t PairEntry(int32_t first, int32_t second, uint32_t page) {
  return (uint64_t{static_cast<uint32_t>(first)} << kCodeBits | static_cast<uint32_t>(second)) << kPageBits | page;
}

// Sorts by the pair (the bits above the page) and keeps the order of equal
// pairs, which is page order: a least-significant-digit radix sort.
void SortByPair(std::vector<uint64_t>& entries) {
  constexpr int kDigitBits = 12;
  std::vector<uint64_t> buffer(entries.size());
  for (int shift = kPageBits; shift < kPageBits + 2 * kCodeBits; shift += kDigitBits) {
    std::array<size_t, (1 << kDigitBits) + 1> starts{};
    for (const uint64_t entry : entries) ++starts[((entry >> shift) & ((1 << kDigitBits) - 1)) + 1];
    for (size_t i = 1; i < starts.size(); ++i) starts[i] += starts[i - 1];
    for (const uint64_t entry : entries) buffer[starts[(entry >> shift) & ((1 << kDigitBits) - 1)]++] = entry;
    entries.swap(buffer);
  }
}

// The width code of the numbers of a block: 0, 1, 2 for 1, 2, 4 bytes.
uint32_t WidthCode(uint32_t largest) { return largest <= 0xFF ? 0 : largest <= 0xFFFF ? 1 : 2; }

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

void NgramCollector::AppendEntry(uint32_t delta, uint32_t count) {
  m_deltas.push_back(delta);
  m_counts.push_back(count);
}

// The entries gathered since the last list, in blocks of up to
// kNgramBlockEntries: each block's numbers as wide as its largest needs.
void NgramCollector::AppendList(std::string& lists) {
  for (size_t begin = 0; begin < m_deltas.size(); begin += kNgramBlockEntries) {
    const size_t end = std::min(m_deltas.size(), begin + kNgramBlockEntries);
    const uint32_t deltaCode = WidthCode(*std::max_element(m_deltas.begin() + begin, m_deltas.begin() + end));
    const uint32_t countCode = WidthCode(*std::max_element(m_counts.begin() + begin, m_counts.begin() + end));
    lists.push_back(static_cast<char>(deltaCode | countCode << 2));
    lists.push_back(static_cast<char>(end - begin));
    for (size_t i = begin; i < end; ++i) AppendLE(m_deltas[i], 1u << deltaCode, lists);
    for (size_t i = begin; i < end; ++i) AppendLE(m_counts[i], 1u << countCode, lists);
  }
  m_deltas.clear();
  m_counts.clear();
}

void NgramCollector::AddPairs(size_t firstBegin, size_t firstEnd, size_t secondBegin, size_t secondEnd) {
  for (size_t i = firstBegin; i < firstEnd; ++i) {
    for (size_t j = secondBegin; j < secondEnd; ++j) {
      m_pairs.push_back(PairEntry(m_occurrences[i].code, m_occurrences[j].code, m_nPage));
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
  if (m_nPage > kPageMask) m_bOverflow = true;
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

// Each record of a position list becomes (page delta, number of positions).
void NgramCollector::AppendSingleLists(const std::vector<std::string_view>& positionLists, std::string& lists,
                                       std::string& singleTable) {
  for (int32_t code = 0; code < kIndexCodeCount; ++code) {
    AppendLE32(static_cast<uint32_t>(lists.size()), singleTable);
    if (static_cast<size_t>(code) >= positionLists.size()) continue;
    const std::string_view list = positionLists[static_cast<size_t>(code)];
    uint32_t delta = 0;
    ForEachRecord(list, [&](const ListRecord& record) {
      delta += record.pageDelta;
      // A record without positions is no page of the code.
      if (const uint32_t count = CountNumbers(list, record.positionsBegin, record.positionsEnd)) {
        AppendEntry(delta, count);
        delta = 0;
      }
    });
    AppendList(lists);
  }
  AppendLE32(static_cast<uint32_t>(lists.size()), singleTable);
}

void NgramCollector::AppendPairLists(std::string& lists, std::string& pairStarts, std::string& pairTable,
                                     uint32_t& pairCount) {
  SortByPair(m_pairs);
  int32_t nextFirst = 0;
  for (size_t i = 0; i < m_pairs.size();) {
    const uint64_t pair = m_pairs[i] >> kPageBits;
    const auto first = static_cast<int32_t>(pair >> kCodeBits);
    for (; nextFirst <= first; ++nextFirst) AppendLE32(pairCount, pairStarts);
    AppendLE32(static_cast<uint32_t>(pair & ((1 << kCodeBits) - 1)), pairTable);
    AppendLE32(static_cast<uint32_t>(lists.size()), pairTable);
    ++pairCount;
    uint64_t lastPage = 0;
    while (i < m_pairs.size() && m_pairs[i] >> kPageBits == pair) {
      const uint64_t page = m_pairs[i] & kPageMask;
      size_t end = i + 1;
      while (end < m_pairs.size() && m_pairs[end] == m_pairs[i]) ++end;
      AppendEntry(static_cast<uint32_t>(page - lastPage), static_cast<uint32_t>(end - i));
      lastPage = page;
      i = end;
    }
    AppendList(lists);
  }
  for (; nextFirst <= kIndexCodeCount; ++nextFirst) AppendLE32(pairCount, pairStarts);
  AppendLE32(UINT32_MAX, pairTable);
  AppendLE32(static_cast<uint32_t>(lists.size()), pairTable);
  m_pairs = {};
}

uint32_t NgramCollector::AppendTable(const std::vector<std::string_view>& positionLists, std::string& postings) {
  FlushPage();
  std::string lists, singleTable, pairStarts, pairTable;
  lists.reserve(m_pairs.size() * 2);
  uint32_t pairCount = 0;
  AppendSingleLists(positionLists, lists, singleTable);
  AppendPairLists(lists, pairStarts, pairTable, pairCount);
  if (m_bOverflow || lists.size() > UINT32_MAX) return 0;

  postings.resize((postings.size() + kNgramAlign - 1) / kNgramAlign * kNgramAlign, '\0');
  const uint64_t location = postings.size() / kNgramAlign;
  if (location > UINT32_MAX) return 0;
  postings.reserve(postings.size() + kNgramHeaderSize + singleTable.size() + pairStarts.size() + pairTable.size() +
                   lists.size() + kNgramPadding);
  AppendLE32(kNgramMagic, postings);
  AppendLE32(kNgramVersion, postings);
  AppendLE32(static_cast<uint32_t>(kIndexCodeCount), postings);
  AppendLE32(pairCount, postings);
  AppendLE32(static_cast<uint32_t>(lists.size()), postings);
  AppendLE32(static_cast<uint32_t>(uint64_t{lists.size()} >> 32), postings);
  postings.append(8, '\0');
  postings += singleTable;
  postings += pairStarts;
  postings += pairTable;
  postings += lists;
  postings.append(kNgramPadding, '\0');
  return static_cast<uint32_t>(location);
}

}  // namespace codexa::writer
