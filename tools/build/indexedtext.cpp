#include "tools/build/indexedtext.h"

#include "corpus/filelist.h"
#include "corpus/pagesplit.h"
#include "tools/build/utf8.h"

namespace codexa::build {

int CellSelector(std::string_view storedName) {
  int number = 0;
  if (!CFileList::FileNumberOfName(storedName, number)) return 0;
  return number % 2 != 0 ? 1 : 0;
}

// The page is cut with the renderer's own scanners, so the index sees the
// cell and its runs exactly as the highlighting will.
void ScanIndexedText(std::string_view html, int selector, std::vector<IndexedChar>& out) {
  out.clear();
  std::vector<HTMLNode> nodes;
  SplitPage(html, nodes);
  std::vector<FilterItem> runs;
  SplitRuns(nodes[selector == 0 ? 1 : 2].text, runs);
  uint32_t next = 0;
  for (size_t r = 0; r < runs.size(); ++r) {
    if (r > 0) next += kTagGap;  // the annotation tag that began or ended this run
    const RunKind kind = runs[r].kind == RunKind::kAnnotation ? RunKind::kAnnotation : RunKind::kMainText;
    const std::string_view text = runs[r].text;
    for (size_t i = 0; i < text.size();) {
      if (text[i] == '<') {
        const size_t close = text.find('>', i);  // runs hold whole tags only
        i = close == std::string_view::npos ? text.size() : close + 1;
        next += kTagGap;
        continue;
      }
      out.push_back({NextCodePoint(text, i), next++, kind});
    }
  }
}

}  // namespace codexa::build
