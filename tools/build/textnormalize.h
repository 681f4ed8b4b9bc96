// Turning source strings into the text that pages show and the index holds.
#ifndef CODEXA_TOOLS_BUILD_TEXTNORMALIZE_H_
#define CODEXA_TOOLS_BUILD_TEXTNORMALIZE_H_

#include <string>
#include <string_view>
#include <vector>

#include "tools/build/pagecontent.h"

namespace codexa::build {

// The text as a page stores it: printable ASCII becomes its full-width form
// (U+FF01 to U+FF5E) and ASCII spaces and control characters become the
// ideographic space U+3000. So page text never holds markup characters, and
// every character of the corpus's text is three bytes or more, which is what
// the renderer's "?" takes a character to be.
std::string DisplayText(std::string_view text);
// The same, appended to `out`.
void AppendDisplayText(std::string_view text, std::string& out);

// Cuts a line of text into main-text runs and the inline notes it carries:
// a bracketed stretch "（…）" or "(…)", brackets included and nesting
// allowed, becomes a note run. A bracket that is never closed is text.
std::vector<Run> SplitInlineNotes(std::string_view text);

// 1 -> 一, 10 -> 十, 12 -> 十二, 105 -> 一百零五, 900 -> 九百 (n below 10,000).
std::string ChineseNumber(int n);

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_TEXTNORMALIZE_H_
