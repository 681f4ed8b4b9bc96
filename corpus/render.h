// Setting a stored page into the page frame with the keywords of a query
// highlighted and anchored in one of its two cells. CFileList::RenderPage
// reads the page and calls these; the engine calls them directly for
// keywords whose variant forms are folded into one pattern.
#ifndef CODEXA_CORPUS_RENDER_H_
#define CODEXA_CORPUS_RENDER_H_

#include <string>
#include <string_view>
#include <vector>

#include "corpus/displaycode.h"
#include "corpus/hitmark.h"
#include "corpus/pagesplit.h"

// The four pieces of the page frame: head, title, left, first cell,
// middle, second cell, tail.
inline constexpr std::string_view kFrameHead =
    "<html><head>\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
inline constexpr std::string_view kFrameLeft =
    "</title></head><div align=\"center\"><center><BODY>\t\t<TABLE border=1 cellPadding=0 cellSpacing=1 "
    "class=wd_gray height=477 width=635 bordercolor=\"#FFCC66\">\t\t<tr>  <TD height=477 width=80 vAlign=top "
    "align=\"center\" background=\"../Back.gif\">";
inline constexpr std::string_view kFrameMiddle = "</TD>\t\t<TD height=477 width=450 vAlign=top align=\"center\">";
inline constexpr std::string_view kFrameTail = "</TD> \t\t</tr></table></div></div>\t\t</center></BODY></html>";

// The cell a stored page name selects: 1 (the second cell) when its file
// number is odd, 0 when even or when the name carries none.
int CellSelector(std::string_view storedName);

// The distinct keywords of `keywords` (separated by U+0020 or U+3000) in
// UTF-8, in order of first appearance, each compiled.
std::vector<Pattern> KeywordPatterns(std::u16string_view keywords);

// Whether a pass for `displayCode` marks a run of `kind`.
bool MarksRun(DisplayCode displayCode, RunKind kind);

// One highlighting pass: appends to `output` the page frame around the
// title and cells of `pageText`, with the selected cell's runs marked as
// `displayCode` says (0 every run, 1 main text only, 2 annotations only;
// any other code leaves the cell empty). `counter` goes on numbering the
// anchors.
void RenderKeyword(std::string_view pageText, std::string& output, const Pattern& pattern, int selector,
                   DisplayCode displayCode, int& counter);
void RenderKeyword(std::string_view pageText, std::string& output, std::string_view keyword, int selector,
                   DisplayCode displayCode, int& counter);

// Runs one pass per pattern, each on the page the pass before rendered,
// and leaves the last pass's page in `output`. Returns the number of
// anchors written. With no patterns it returns 0 and leaves `output`
// untouched.
int RenderPatterns(std::string_view pageText, std::string_view storedName, const std::vector<Pattern>& patterns,
                   DisplayCode displayCode, std::string& output);

#endif  // CODEXA_CORPUS_RENDER_H_
