#include "session/searchhistory.h"

#include <algorithm>
#include <charconv>

#include "base/unicode.h"

const char* const kHistoryScopeMissingMessage = "この検索の範囲は今のコーパスにありません。";

namespace {

bool ReadInt(std::string_view text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Splits `line` at its tabs; a keyword holds none, so the count tells the
// older form (five fields, no scope path) from the present one (six).
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos && fields.size() < 6;) {
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

bool ReadRecord(std::string_view line, SearchRecord& record) {
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.size() != 5 && fields.size() != 6) return false;
  int mode = 0, target = 0, variants = 0;
  if (!ReadInt(fields[0], mode) || !ReadInt(fields[1], target) || !ReadInt(fields[2], variants) ||
      !ReadInt(fields[3], record.scopeRecord) || !Utf8ToUtf16(fields.back(), record.keyword)) {
    return false;
  }
  if (fields.size() == 6 && !Utf8ToUtf16(fields[4], record.scopePath)) return false;
  if (mode < 0 || mode > 1 || target < 0 || target > 2 || variants < 0 || variants > 1) return false;
  record.mode = static_cast<SearchMode>(mode);
  record.target = static_cast<DisplayCode>(target);
  record.variants = variants == 1;
  return !record.keyword.empty() && record.keyword.find_first_of(u"\t\n") == std::u16string::npos;
}

}  // namespace

void CSearchHistory::Add(SearchRecord record) {
  std::erase(m_records, record);
  m_records.insert(m_records.begin(), std::move(record));
  if (m_records.size() > kMaxRecords) m_records.resize(kMaxRecords);
}

std::string CSearchHistory::Save() const {
  std::string text;
  for (const SearchRecord& record : m_records) {
    text += std::to_string(static_cast<int>(record.mode)) + '\t' + std::to_string(static_cast<int>(record.target)) +
            '\t' + (record.variants ? "1" : "0") + '\t' + std::to_string(record.scopeRecord) + '\t';
    Utf16ToUtf8(record.scopePath, text);
    text += '\t';
    Utf16ToUtf8(record.keyword, text);
    text += '\n';
  }
  return text;
}

std::size_t CSearchHistory::Load(std::string_view text) {
  m_records.clear();
  std::size_t skipped = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    SearchRecord record;
    if (m_records.size() < kMaxRecords && ReadRecord(text.substr(0, end), record)) {
      m_records.push_back(std::move(record));
    } else {
      ++skipped;
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return skipped;
}

int ScopeRecordIn(const SearchRecord& record, const CCatalogue& catalogue) {
  return record.scopePath.empty() ? record.scopeRecord : catalogue.FindRecordByPath(record.scopePath);
}
