// The citation a scholar pastes into a paper: the passage copied from the
// text view and where it stands in the corpus. Its form:
//
//   「passage」（《work》volume、第N頁、category）
//   「白日依山盡」（《御定全唐詩》卷一、第3頁、集部）
//
// N is the page's number in its volume, as the result list and the page
// label show it. A part the corpus does not know (a page outside any
// volume) is left out with its 、; white space around the passage is
// trimmed, line breaks inside it are kept. With no passage selected the
// text is the source alone, without brackets: 《work》volume、第N頁、category.
#ifndef CODEXA_SESSION_CITATION_H_
#define CODEXA_SESSION_CITATION_H_

#include <string>
#include <string_view>

struct CitationSource {
  std::u16string category;
  std::u16string work;
  std::u16string volume;
  int page = 0;  // 0: unknown
};

std::u16string CitationText(std::u16string_view passage, const CitationSource& source);

#endif  // CODEXA_SESSION_CITATION_H_
