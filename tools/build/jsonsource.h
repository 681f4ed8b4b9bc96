// The builder's own source format: one JSON file that spells out the
// catalogue and every page, for small corpora of one's own and for tests.
//
//   {"categories": [
//     {"name": "經部", "works": [
//       {"name": "詩經", "volumes": [
//         {"name": "周南", "pages": [
//           {"title": "關雎",
//            "paragraphs": [
//              "關關雎鳩，在河之洲。",                          main text
//              ["參差荇菜", {"note": "（荇，接余也）"}, "左右流之。"],  runs
//              {"note": "后妃之德也。"}                       an annotation
//            ]}]}]}]}]}
//
// Every name is required and must not contain a backslash. A page's title
// is optional. Pages are taken as they are: each one is one stored page,
// and the pages of a volume get the file numbers 1, 2, … in their order.
// Text is plain (no markup): "<" and the like are shown as written.
#ifndef CODEXA_TOOLS_BUILD_JSONSOURCE_H_
#define CODEXA_TOOLS_BUILD_JSONSOURCE_H_

#include <filesystem>

#include "tools/build/corpusbuilder.h"

namespace codexa::build {

// Reads the source file and hands its items to `builder`. Throws BuildError
// for a file that cannot be read, malformed JSON, or a value of the wrong
// shape, naming the place in the file.
void ReadJsonSource(const std::filesystem::path& file, CorpusBuilder& builder);

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_JSONSOURCE_H_
