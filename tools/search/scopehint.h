// What codexa-search says after "no catalogue node has the path": how to
// reach a scope the user most likely meant. A path is joined by "\", which
// a shell user easily types as "/" or ends with a separator, and a work or
// volume name alone is not a path.
#ifndef CODEXA_TOOLS_SEARCH_SCOPEHINT_H_
#define CODEXA_TOOLS_SEARCH_SCOPEHINT_H_

#include <string>
#include <string_view>

#include "corpus/catalogue.h"

// One line of UTF-8, without the program's prefix or a line end:
//   did you mean "經部\論語"? (names are joined by "\")
//     when the path with "/" as "\" and without separators at its ends is one;
//   paths ending in "卷一": 經部\論語\卷一, 集部\楚辭\卷一
//     the paths whose last name is the path's last name (at most ten);
//   the categories: 經部, 集部
//     otherwise. Empty when the catalogue holds no category.
std::string ScopeHint(const CCatalogue& catalogue, std::u16string_view path);

#endif  // CODEXA_TOOLS_SEARCH_SCOPEHINT_H_
