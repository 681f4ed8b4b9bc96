#include "tools/build/indexedtext.h"

#include "corpus/filelist.h"
#include "tools/build/utf8.h"

namespace codexa::build {

namespace {

constexpr std::string_view kNoteTag = "<font size=-1 color=\"#993366\">";

bool StartsWith(std::string_view tag, std::string_view prefix) { return tag.substr(0, prefix.size()) == prefix; }

// Where the page scan stands, in the order the renderer walks a page:
// before the title, title, before the first cell, first cell, between the
// cells, second cell, after it.
enum Section { kBeforeTitle, kTitle, kBeforeFirst, kFirst, kBetween, kSecond, kAfter };

Section AfterTag(Section section, std::string_view tag) {
  if (StartsWith(tag, "<title") && section == kBeforeTitle) return kTitle;
  if (StartsWith(tag, "<TD")) return section == kBeforeFirst ? kFirst : section == kBetween ? kSecond : section;
  if (tag == "</title>") return kBeforeFirst;
  if (StartsWith(tag, "</TD")) return section == kFirst ? kBetween : section == kSecond ? kAfter : section;
  return section;
}

}  // namespace

int CellSelector(std::string_view storedName) {
  int number = 0;
  if (!CFileList::FileNumberOfName(storedName, number)) return 0;
  return number % 2 != 0 ? 1 : 0;
}

void ScanIndexedText(std::string_view html, int selector, std::vector<IndexedChar>& out) {
  out.clear();
  const Section cell = selector == 0 ? kFirst : kSecond;
  Section section = kBeforeTitle;
  RunKind kind = RunKind::kMain;
  uint32_t next = 0;
  for (size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      const size_t close = html.find('>', i);
      if (close == std::string_view::npos) break;  // an unfinished tag is dropped
      const std::string_view tag = html.substr(i, close + 1 - i);
      i = close + 1;
      const Section before = section;
      section = AfterTag(section, tag);
      if (before != cell || section != cell) continue;  // the cell's own tags
      next += kTagGap;
      if (tag == kNoteTag) {
        kind = RunKind::kNote;
      } else if (kind == RunKind::kNote && StartsWith(tag, "</font>")) {
        kind = RunKind::kMain;
      }
      continue;
    }
    if (section != cell) {
      ++i;
      continue;
    }
    const uint32_t cp = NextCodePoint(html, i);
    out.push_back({cp, next++, kind});
  }
}

}  // namespace codexa::build
