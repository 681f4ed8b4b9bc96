// codexa-search: the reader's search run from the command line. It opens a
// corpus folder, evaluates a query the way the search form does and prints
// the hit entries inside a scope, the engine's raw result, or one page's
// rendered hits.
#ifndef CODEXA_TOOLS_SEARCH_SEARCHCOMMAND_H_
#define CODEXA_TOOLS_SEARCH_SEARCHCOMMAND_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/searchtarget.h"

// Exit codes, so that scripts can tell the failures apart.
// The numbers are the program's exit status and never change.
enum class SearchExit : int {
  kOk = 0,
  kUsage = 2,          // bad options or arguments, text that is not UTF-8
  kCorpus = 3,         // the corpus does not open
  kQueryRefused = 4,   // empty, or refused by the engine
  kNoScope = 5,        // the scope does not exist or the catalogue has none
  kRender = 6,         // the page to render does not exist or has no hit
  kOutput = 7,         // the output could not be written (a full disk, say)
};

enum class OutputForm { kList, kJson, kRaw, kRender, kKwic };

struct SearchOptions {
  std::filesystem::path corpus;  // empty: the folder of the executable
  bool orMode = false;
  SearchTarget target = SearchTarget::kFullText;
  DisplayCode displayCode = DisplayCode::kFullText;  // the target's, for the renderer
  bool variants = true;
  std::optional<std::string> scope;  // a catalogue path joined by "\"
  bool wholeCorpus = false;          // --all: every page, the root as scope
  uint32_t kwicContext = 0;          // --kwic N: characters either side
  OutputForm form = OutputForm::kList;
  uint32_t renderPage = 0;
  std::string query;  // the QUERY arguments joined by spaces, UTF-8
  bool help = false;
};

// Parses argv[1 ..]. False with `error` set on a usage error.
bool ParseSearchArguments(const std::vector<std::string>& args, SearchOptions& options, std::string& error);

// The text printed for --help.
std::string SearchUsage();

// Runs the search of `options` against the corpus in `corpus` and writes
// the result to `out`, messages to `err`.
SearchExit RunSearch(const SearchOptions& options, const std::filesystem::path& corpus, std::ostream& out,
              std::ostream& err);

// Flushes `out` and answers `result`, or kOutput with a message on `err`
// when anything written to `out` was lost: a script must not take a cut
// result for a whole one.
SearchExit FinishOutput(SearchExit result, std::ostream& out, std::ostream& err);

#endif  // CODEXA_TOOLS_SEARCH_SEARCHCOMMAND_H_
