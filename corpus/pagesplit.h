// The two scanners that cut a stored page along the shape the renderer
// relies on: a title and a table of two cells, in which annotations are set
// off by one particular font tag. Both work on UTF-8 bytes, see tags as
// '<' up to the next '>', and compare tag names bytewise, case-sensitive.
#ifndef CODEXA_CORPUS_PAGESPLIT_H_
#define CODEXA_CORPUS_PAGESPLIT_H_

#include <string>
#include <string_view>
#include <vector>

// One piece of a page: its title or one of its two cells.
struct HTMLNode {
  std::string text;
};

// Kinds of a cell run.
enum class RunKind : int { kMainText = 0, kAnnotation = 1 };

// One run of a cell's text: main text or an annotation, tags included.
struct FilterItem {
  std::string text;
  RunKind kind = RunKind::kMainText;

  bool operator==(const FilterItem&) const = default;
};

// The tag that opens an annotation; it must stand exactly like this.
inline constexpr std::string_view kAnnotationOpen = "<font size=-1 color=\"#993366\">";
inline constexpr std::string_view kAnnotationClose = "</font>";

// Appends three nodes to `nodes`: the title (the text of the first tag
// starting with "<title" up to "</title>"), the first and the second cell
// (the text between the first two "<TD" tags after the title and the
// "</TD" that closes each). Tags inside a kept section stay in its text;
// anything outside the three sections is dropped. Missing sections are
// empty: a page of any shape splits without error.
void SplitPage(std::string_view page, std::vector<HTMLNode>& nodes);

// Appends the runs of `cell` to `runs` in text order. The first run is
// always main text (possibly empty); the annotation tag starts an
// annotation run, and "</font>" inside an annotation run starts a new main
// text run. Neither tag is kept. A "</font>" in main text stays in it.
void SplitRuns(std::string_view cell, std::vector<FilterItem>& runs);

#endif  // CODEXA_CORPUS_PAGESPLIT_H_
