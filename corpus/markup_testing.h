// The markup that rendered pages carry, spelled out once for the tests so
// that a change to the renderer's own constants shows.
#ifndef CODEXA_CORPUS_MARKUP_TESTING_H_
#define CODEXA_CORPUS_MARKUP_TESTING_H_

#include <cstdio>
#include <string>

namespace codexa::testing {

inline const std::string O = "<b style='color:red;background:#D9D9D9;'>";  // highlight open
inline const std::string C = "</b>";                                          // highlight close
inline const std::string kNote = "<font size=-1 color=\"#993366\">";
inline const std::string kNoteEnd = "</font>";

// The anchor numbered n.
inline std::string A(int n) {
  char text[40];
  std::snprintf(text, sizeof text, "<a name=\"%04d\"></a>", n);
  return text;
}

}  // namespace codexa::testing

#endif  // CODEXA_CORPUS_MARKUP_TESTING_H_
