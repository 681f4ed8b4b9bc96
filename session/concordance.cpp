#include "session/concordance.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// Pages kept in the cache; beyond it the cache starts again, so memory
// stays bounded however far the table is scrolled.
constexpr std::size_t kCachedPages = 4096;
// Pages read between two progress reports while sorting: often enough for
// a responsive cancel, rarely enough that reporting costs nothing.
constexpr std::size_t kPagesPerProgress = 256;

// The characters of UTF-8 `text`, compared as code points.
std::u32string CodePoints(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t cp = lead < 0x80 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length && i + k < text.size(); ++k) cp = cp << 6 | (text[i + k] & 0x3F);
    out.push_back(cp);
    i += length;
  }
  return out;
}

// The sort key of a line: the text after the hit, or the text before it
// as a concordance reads it, from the hit outwards.
std::u32string SortKey(const KwicLine& line, ConcordanceOrder order) {
  if (order == ConcordanceOrder::kRightContext) return CodePoints(line.right);
  std::u32string key = CodePoints(line.left);
  std::reverse(key.begin(), key.end());
  return key;
}

}  // namespace

CConcordance::CConcordance(std::vector<SearchNodeTag> entries, std::u16string keyword, DisplayCode displayCode,
                           bool variants, std::size_t context)
    : m_entries(std::move(entries)),
      m_strKeyword(std::move(keyword)),
      m_nDisplayCode(displayCode),
      m_bVariants(variants),
      m_nContext(context) {
  m_firstRow.reserve(m_entries.size() + 1);
  std::size_t rows = 0;
  for (const SearchNodeTag& entry : m_entries) {
    m_firstRow.push_back(rows);
    rows += entry.hitCount;
  }
  m_firstRow.push_back(rows);
  m_order.resize(rows);
  std::iota(m_order.begin(), m_order.end(), std::size_t{0});
}

std::size_t CConcordance::EntryOfListRow(std::size_t listRow) const {
  return static_cast<std::size_t>(std::upper_bound(m_firstRow.begin(), m_firstRow.end(), listRow) -
                                  m_firstRow.begin()) - 1;
}

const SearchNodeTag& CConcordance::Entry(std::size_t row) const { return m_entries[EntryOfListRow(m_order[row])]; }

const std::vector<KwicLine>& CConcordance::LinesOf(CIndex& index, std::size_t entry) {
  auto found = m_linesOfEntry.find(entry);
  if (found != m_linesOfEntry.end()) return found->second;
  if (m_linesOfEntry.size() >= kCachedPages) m_linesOfEntry.clear();
  std::vector<KwicLine>& lines = m_linesOfEntry[entry];
  index.FindOccurrences(m_entries[entry].pageNumber, m_strKeyword, m_nDisplayCode, m_bVariants, m_nContext, lines);
  return lines;
}

KwicLine CConcordance::Line(CIndex& index, std::size_t row) {
  const std::size_t listRow = m_order[row];
  const std::size_t entry = EntryOfListRow(listRow);
  const std::vector<KwicLine>& lines = LinesOf(index, entry);
  const std::size_t hit = listRow - m_firstRow[entry];
  return hit < lines.size() ? lines[hit] : KwicLine{};
}

bool CConcordance::Sort(CIndex& index, ConcordanceOrder order, const SortProgress& progress) {
  // One key per row, read page by page in list order.
  std::vector<std::u32string> keys(order == ConcordanceOrder::kList ? 0 : m_order.size());
  for (std::size_t entry = 0; entry < m_entries.size() && !keys.empty(); ++entry) {
    if (progress && entry % kPagesPerProgress == 0 && !progress(entry, m_entries.size())) return false;
    std::vector<KwicLine> lines;
    index.FindOccurrences(m_entries[entry].pageNumber, m_strKeyword, m_nDisplayCode, m_bVariants, m_nContext, lines);
    for (std::size_t hit = 0; hit < lines.size() && m_firstRow[entry] + hit < m_firstRow[entry + 1]; ++hit) {
      keys[m_firstRow[entry] + hit] = SortKey(lines[hit], order);
    }
  }
  if (progress && !progress(m_entries.size(), m_entries.size())) return false;
  std::iota(m_order.begin(), m_order.end(), std::size_t{0});
  if (!keys.empty()) {
    std::stable_sort(m_order.begin(), m_order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  }
  return true;
}
