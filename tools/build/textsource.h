// Texts of one's own: a folder of UTF-8 plain-text files, laid out as the
// catalogue is.
//
//   DIR/
//     經部/                 a category: every folder in DIR
//       詩經/               a work: every folder in a category
//         01 周南.txt       a volume: every ".txt" file in a work, named
//         02 召南.txt       after the file without ".txt"
//
// Folders and files are taken in name order, a run of digits counting as
// its number ("2" before "10"). Names starting with "." are passed over;
// other files and folders where none belong are passed over too and listed
// in the report, so nothing is left out unseen.
//
// Inside a volume file every line is a paragraph, blank lines and the
// spaces around a line aside; a line ends at LF, CR LF or a lone CR. A line
// starting with "#" is a heading: it starts a piece (a poem, a chapter)
// titled by the rest of the line, or without a title when nothing follows
// the "#"; the lines before the first heading are a piece without a title.
// A piece with neither title nor text is left out. Text in
// brackets, "（…）" or "(…)", nesting allowed, is annotation, the rest main
// text; a line wholly in brackets is an annotation paragraph. Pieces are
// filled onto pages as the default corpus's are (pagelayout.h): consecutive
// pieces share a page up to its budget, and a longer piece is cut at its
// paragraph ends.
//
// A file must be UTF-8 (a byte-order mark at its start is allowed), and so
// must every name.
#ifndef CODEXA_TOOLS_BUILD_TEXTSOURCE_H_
#define CODEXA_TOOLS_BUILD_TEXTSOURCE_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tools/build/corpusbuilder.h"
#include "tools/build/pagecontent.h"
#include "tools/build/progress.h"

namespace codexa::build {

// What the folder held, for the builder's summary.
struct TextSourceReport {
  uint64_t files = 0;  // volume files read
  uint64_t bytes = 0;  // their size
  // Entries passed over, as paths relative to the folder.
  std::vector<std::string> passedOver;
};

// Reads the folder and hands its items to `builder`. Throws BuildError for
// a folder that cannot be read, a file or name that is not UTF-8, or a
// format limit a volume breaks, naming the file (and, for bad UTF-8, the
// line).
TextSourceReport ReadTextSource(const std::filesystem::path& folder, CorpusBuilder& builder, Progress& progress);

// The pieces of one volume file's text (valid UTF-8).
std::vector<PageContent> ParseVolumeText(std::string_view text);

// Name order with runs of ASCII digits compared by their number.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace codexa::build

#endif  // CODEXA_TOOLS_BUILD_TEXTSOURCE_H_
