#include "corpus/pagesplit.h"

namespace {

// Walks `input` as text and tags: a tag runs from a '<' outside a tag to the
// next '>'. Calls onText for every stretch of text and onTag for every
// complete tag ('<' and '>' included); a tag still open at the end is
// dropped.
template <typename OnText, typename OnTag>
void ScanTags(std::string_view input, OnText onText, OnTag onTag) {
  size_t pos = 0;
  while (pos < input.size()) {
    size_t open = input.find('<', pos);
    if (open == std::string_view::npos) {
      onText(input.substr(pos));
      return;
    }
    if (open > pos) onText(input.substr(pos, open - pos));
    size_t close = input.find('>', open + 1);
    if (close == std::string_view::npos) return;
    onTag(input.substr(open, close - open + 1));
    pos = close + 1;
  }
}

bool StartsWith(std::string_view tag, std::string_view prefix) { return tag.substr(0, prefix.size()) == prefix; }

// Where SplitPage stands in the page; odd states keep their bytes.
enum Section : int {
  kBeforeTitle = 0,
  kInTitle = 1,
  kAfterTitle = 2,
  kInFirstCell = 3,
  kBetweenCells = 4,
  kInSecondCell = 5,
  kAfterCells = 6,
};

// The state a tag leads to, or -1 when the tag is an ordinary one.
int NextSection(int state, std::string_view tag) {
  if (state == kBeforeTitle && StartsWith(tag, "<title")) return kInTitle;
  if (StartsWith(tag, "<TD")) {
    if (state == kAfterTitle) return kInFirstCell;
    if (state == kBetweenCells) return kInSecondCell;
    return state;
  }
  if (StartsWith(tag, "</title>")) return kAfterTitle;
  if (StartsWith(tag, "</TD")) {
    if (state == kInFirstCell) return kBetweenCells;
    if (state == kInSecondCell) return kAfterCells;
    return state;
  }
  return -1;
}

}  // namespace

void SplitPage(std::string_view page, std::vector<HTMLNode>& nodes) {
  std::string kept[3];  // title, first cell, second cell
  int state = kBeforeTitle;
  auto keep = [&](std::string_view bytes) {
    if (state % 2 == 1) kept[state / 2].append(bytes);
  };
  ScanTags(page, keep, [&](std::string_view tag) {
    int next = NextSection(state, tag);
    if (next < 0)
      keep(tag);
    else
      state = next;
  });
  for (std::string& text : kept) nodes.push_back(HTMLNode{std::move(text)});
}

void SplitRuns(std::string_view cell, std::vector<FilterItem>& runs) {
  runs.push_back(FilterItem{});
  auto current = [&]() -> FilterItem& { return runs.back(); };
  ScanTags(
      cell, [&](std::string_view text) { current().text.append(text); },
      [&](std::string_view tag) {
        if (StartsWith(tag, kAnnotationOpen)) {
          runs.push_back(FilterItem{{}, RunKind::kAnnotation});
        } else if (current().kind == RunKind::kAnnotation && StartsWith(tag, kAnnotationClose)) {
          runs.push_back(FilterItem{{}, RunKind::kMainText});
        } else {
          current().text.append(tag);
        }
      });
}
