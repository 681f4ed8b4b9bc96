#include "corpus/render.h"

#include <set>

#include "corpus/filelist.h"
#include "corpus/pagesplit.h"
#include "base/unicode.h"

int CellSelector(std::string_view storedName) {
  int number = 0;
  if (!CFileList::FileNumberOfName(storedName, number)) return 0;
  return number % 2 == 0 ? 0 : 1;
}

std::vector<Pattern> KeywordPatterns(std::u16string_view keywords) {
  std::vector<Pattern> patterns;
  std::set<std::string> seen;
  size_t pos = 0;
  while (pos < keywords.size()) {
    size_t end = keywords.find_first_of(u" \u3000", pos);
    if (end == std::u16string_view::npos) end = keywords.size();
    if (end > pos) {
      std::string keyword;
      Utf16ToUtf8(keywords.substr(pos, end - pos), keyword);
      if (seen.insert(keyword).second) patterns.push_back(CompilePattern(keyword));
    }
    pos = end + 1;
  }
  return patterns;
}

bool MarksRun(DisplayCode displayCode, RunKind kind) {
  switch (displayCode) {
    case DisplayCode::kFullText: return true;
    case DisplayCode::kMainText: return kind == RunKind::kMainText;
    case DisplayCode::kAnnotations: return kind == RunKind::kAnnotation;
    default: return false;
  }
}

namespace {

std::string MarkCell(std::string_view cell, const Pattern& pattern, DisplayCode displayCode, int& counter) {
  std::string marked;
  const int code = static_cast<int>(displayCode);
  if (code < 0 || code > 2) return marked;
  std::vector<FilterItem> runs;
  SplitRuns(cell, runs);
  marked.reserve(cell.size() + 1024);
  for (const FilterItem& run : runs) {
    if (run.kind == RunKind::kAnnotation) marked += kAnnotationOpen;
    if (MarksRun(displayCode, run.kind))
      MarkRun(run.text, pattern, counter, marked);
    else
      marked += run.text;
    if (run.kind == RunKind::kAnnotation) marked += kAnnotationClose;
  }
  return marked;
}

}  // namespace

void RenderKeyword(std::string_view pageText, std::string& output, const Pattern& pattern, int selector,
                   DisplayCode displayCode, int& counter) {
  std::vector<HTMLNode> nodes;
  SplitPage(pageText, nodes);
  HTMLNode& cell = nodes[static_cast<size_t>(selector) + 1];
  cell.text = MarkCell(cell.text, pattern, displayCode, counter);
  output.reserve(output.size() + pageText.size() + 1024);
  output += kFrameHead;
  output += nodes[0].text;
  output += kFrameLeft;
  output += nodes[1].text;
  output += kFrameMiddle;
  output += nodes[2].text;
  output += kFrameTail;
}

void RenderKeyword(std::string_view pageText, std::string& output, std::string_view keyword, int selector,
                   DisplayCode displayCode, int& counter) {
  RenderKeyword(pageText, output, CompilePattern(keyword), selector, displayCode, counter);
}

int RenderPatterns(std::string_view pageText, std::string_view storedName, const std::vector<Pattern>& patterns,
                   DisplayCode displayCode, std::string& output) {
  if (patterns.empty()) return 0;
  int selector = CellSelector(storedName);
  int counter = 0;
  std::string page(pageText);
  std::string rendered;
  for (const Pattern& pattern : patterns) {
    rendered.clear();
    RenderKeyword(page, rendered, pattern, selector, displayCode, counter);
    page.swap(rendered);
  }
  output = std::move(page);
  return counter;
}

int CFileList::RenderPage(uint32_t page, std::string& output, std::u16string_view keywords, DisplayCode displayCode) {
  if (!m_bOpen) return 0;
  std::string pageText;
  std::string storedName;
  // An unreadable page (beyond the entries, or outside the text file)
  // renders nothing rather than a frame around garbage.
  if (!ReadPageAndName(page, pageText, storedName)) return 0;
  return RenderPatterns(pageText, storedName, KeywordPatterns(keywords), displayCode, output);
}
