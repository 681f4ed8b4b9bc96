#include "session/bookmarks.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "base/unicode.h"

const char* const kBookmarksFullMessage =
    "しおりがいっぱいです。「しおりの整理」で要らないしおりを削除してから追加して下さい。";

namespace {

constexpr std::string_view kHeader = "codexa-bookmarks 1";
constexpr std::string_view kPageKind = "page";
constexpr std::string_view kHitKind = "hit";
constexpr std::size_t kPageFields = 4;
constexpr std::size_t kHitFields = 8;

// --- Fields: the escapes of tab, line breaks and "%" ---

void AppendField(std::u16string_view text, std::string& line) {
  std::string utf8;
  Utf16ToUtf8(text, utf8);
  for (const char c : utf8) {
    switch (c) {
      case '\t': line += "%09"; break;
      case '\n': line += "%0A"; break;
      case '\r': line += "%0D"; break;
      case '%': line += "%25"; break;
      default: line += c;
    }
  }
}

bool ReadField(std::string_view field, std::u16string& text) {
  std::string utf8;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      utf8 += field[i];
      continue;
    }
    const std::string_view escape = field.substr(i, 3);
    if (escape == "%09") utf8 += '\t';
    else if (escape == "%0A") utf8 += '\n';
    else if (escape == "%0D") utf8 += '\r';
    else if (escape == "%25") utf8 += '%';
    else return false;
    i += 2;
  }
  return Utf8ToUtf16(utf8, text);
}

bool ReadInt(std::string_view text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The tab-separated fields of `line`.
std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

bool ReadSearch(const std::vector<std::string_view>& fields, HitSearch& search) {
  int target = 0;
  int variants = 0;
  if (!ReadField(fields[4], search.keyword) || HoldsNoKeyword(KeywordOfText(search.keyword))) return false;
  if (fields[5] != "and" && fields[5] != "or") return false;
  search.mode = fields[5] == "or" ? SearchMode::kOr : SearchMode::kAnd;
  if (!ReadInt(fields[6], target) || target < 0 || target > 2) return false;
  if (!ReadInt(fields[7], variants) || variants < 0 || variants > 1) return false;
  search.target = static_cast<DisplayCode>(target);
  search.variants = variants == 1;
  return true;
}

bool ReadBookmark(std::string_view line, Bookmark& bookmark) {
  const std::vector<std::string_view> fields = SplitFields(line);
  const bool hit = fields[0] == kHitKind;
  if (!hit && fields[0] != kPageKind) return false;
  if (fields.size() != (hit ? kHitFields : kPageFields)) return false;
  bookmark.kind = hit ? BookmarkKind::kHitPage : BookmarkKind::kContentsPage;
  // A name mended by hand is taken as the list would have kept it.
  if (!ReadField(fields[1], bookmark.name)) return false;
  bookmark.name = CBookmarkList::FitName(bookmark.name);
  if (bookmark.name.empty()) return false;
  if (!ReadField(fields[2], bookmark.volumePath) || bookmark.volumePath.empty()) return false;
  if (!ReadInt(fields[3], bookmark.fileNumber)) return false;
  return !hit || ReadSearch(fields, bookmark.search);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\u3000' || c == u'\t' || c == u'\n' || c == u'\r'; }

}  // namespace

std::u16string CBookmarkList::FitName(std::u16string_view name) {
  std::u16string fit(name);
  std::replace_if(fit.begin(), fit.end(), [](char16_t c) { return c == u'\t' || c == u'\n' || c == u'\r'; }, u' ');
  fit.erase(fit.begin(), std::find_if_not(fit.begin(), fit.end(), IsBlank));
  if (fit.size() > kMaxNameLength) {
    std::size_t cut = kMaxNameLength;
    // Never between the halves of a surrogate pair.
    if (fit[cut - 1] >= 0xD800 && fit[cut - 1] <= 0xDBFF) --cut;
    fit.resize(cut);
  }
  // After the cut, which may leave blanks at the end: a name fitted once
  // stays as it is when fitted again, as it is when read back.
  fit.erase(std::find_if_not(fit.rbegin(), fit.rend(), IsBlank).base(), fit.end());
  return fit;
}

bool CBookmarkList::Add(Bookmark bookmark) {
  bookmark.name = FitName(bookmark.name);
  if (m_items.size() >= kMaxBookmarks || bookmark.name.empty()) return false;
  m_items.push_back(std::move(bookmark));
  return true;
}

bool CBookmarkList::Rename(std::size_t index, std::u16string_view name) {
  std::u16string fit = FitName(name);
  if (index >= m_items.size() || fit.empty()) return false;
  m_items[index].name = std::move(fit);
  return true;
}

bool CBookmarkList::Remove(std::size_t index) {
  if (index >= m_items.size()) return false;
  m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool CBookmarkList::MoveUp(std::size_t index) {
  if (index == 0 || index >= m_items.size()) return false;
  std::swap(m_items[index - 1], m_items[index]);
  return true;
}

bool CBookmarkList::MoveDown(std::size_t index) { return index + 1 < m_items.size() && MoveUp(index + 1); }

std::string CBookmarkList::Save() const {
  std::string text(kHeader);
  text += '\n';
  for (const Bookmark& bookmark : m_items) {
    const bool hit = bookmark.kind == BookmarkKind::kHitPage;
    text += hit ? kHitKind : kPageKind;
    text += '\t';
    AppendField(bookmark.name, text);
    text += '\t';
    AppendField(bookmark.volumePath, text);
    text += '\t' + std::to_string(bookmark.fileNumber);
    if (hit) {
      text += '\t';
      AppendField(bookmark.search.keyword, text);
      text += bookmark.search.mode == SearchMode::kOr ? "\tor\t" : "\tand\t";
      text += std::to_string(static_cast<int>(bookmark.search.target)) + (bookmark.search.variants ? "\t1" : "\t0");
    }
    text += '\n';
  }
  return text;
}

BookmarkTextRead CBookmarkList::Load(std::string_view text) {
  m_items.clear();
  BookmarkTextRead result;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    // A last line without its line feed may have been cut short.
    const bool ended = end != std::string_view::npos;
    std::string_view line = text.substr(0, end);
    text.remove_prefix(ended ? end + 1 : text.size());
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      first = false;
      result.headed = ended && line == kHeader;
      if (!result.headed) return result;
      continue;
    }
    Bookmark bookmark;
    if (ended && m_items.size() < kMaxBookmarks && ReadBookmark(line, bookmark)) {
      m_items.push_back(std::move(bookmark));
      ++result.read;
    } else {
      ++result.skipped;
    }
  }
  return result;
}
