#include "tools/search/searchcommand.h"

#include <charconv>
#include <cstdio>

#include "base/unicode.h"
#include "corpus/catalogue.h"
#include "corpus/filelistformat.h"
#include "engine/index.h"
#include "session/searchrun.h"
#include "tools/search/scopehint.h"

namespace {

// A TSV field: tabs and line breaks inside a name would split the row.
std::string TsvField(std::string out) {
  for (char& c : out) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return out;
}

std::string TsvField(std::u16string_view text) { return TsvField(ToUtf8(text)); }

// A JSON string literal. Unpaired surrogates (possible in odd catalogue
// names) are written as escapes, so the output stays valid UTF-8.
std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool high = unit >= 0xD800 && unit < 0xDC00;
    const bool pairs = high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
    if (unit == u'"' || unit == u'\\') {
      out += '\\';
      out += static_cast<char>(unit);
    } else if (unit < 0x20 || (unit >= 0xD800 && unit < 0xE000 && !pairs)) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
      out += escape;
    } else {
      Utf16ToUtf8(text.substr(i, pairs ? 2 : 1), out);
      if (pairs) ++i;
    }
  }
  return out + "\"";
}

void PrintList(const CSearchRun& run, std::ostream& out) {
  for (const SearchNodeTag& e : run.Entries()) {
    out << TsvField(e.category) << '\t' << TsvField(e.title) << '\t' << TsvField(e.volume) << '\t' << e.fileNumber
        << '\t' << e.pageNumber << '\t' << e.hitCount << '\n';
  }
  out << run.Tally() << '\n';
}

void PrintJson(const CSearchRun& run, std::ostream& out) {
  const CHitList& entries = run.Entries();
  out << "{\"pages\":" << entries.size() << ",\"hits\":" << run.TotalHits() << ",\"entries\":[";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const SearchNodeTag e = entries[i];
    out << (i == 0 ? "" : ",") << "\n{\"category\":" << JsonString(e.category) << ",\"title\":" << JsonString(e.title)
        << ",\"volume\":" << JsonString(e.volume) << ",\"fileNumber\":" << e.fileNumber << ",\"page\":" << e.pageNumber
        << ",\"hitCount\":" << e.hitCount << "}";
  }
  out << "]}\n";
}

// Every occurrence on the listed pages, in list order, one TSV line each.
void PrintKwic(const CSearchRun& run, CIndex& index, const SearchOptions& options, std::ostream& out) {
  std::vector<KwicLine> lines;
  for (const SearchNodeTag& e : run.Entries()) {
    const std::string labels = TsvField(e.category) + '\t' + TsvField(e.title) + '\t' + TsvField(e.volume) + '\t' +
                               std::to_string(e.fileNumber) + '\t' + std::to_string(e.pageNumber) + '\t';
    index.FindOccurrences(e.pageNumber, run.Keyword(), options.displayCode, options.variants, options.kwicContext,
                          lines);
    for (const KwicLine& line : lines) {
      out << labels << TsvField(line.left) << '\t' << TsvField(line.hit) << '\t' << TsvField(line.right) << '\n';
    }
  }
}

// The scope node of `options`: the root for the whole corpus, the node at
// its path, or record 1 as the search form starts. Null, with the reason on
// `err`, when there is none.
const ContentsNodeTag* FindScope(const CCatalogue& catalogue, const SearchOptions& options, std::ostream& err) {
  if (options.wholeCorpus) return &catalogue.Root();
  int record = 1;
  if (options.scope) {
    std::u16string path;
    Utf8ToUtf16(*options.scope, path);
    record = catalogue.FindRecordByPath(path);
    if (record == 0) {
      err << "codexa-search: no catalogue node has the path \"" << *options.scope << "\"\n";
      if (const std::string hint = ScopeHint(catalogue, path); !hint.empty()) err << "codexa-search: " << hint << '\n';
      return nullptr;
    }
  }
  const ContentsNodeTag* scope = catalogue.FindNodeByRecord(record);
  if (scope == nullptr) err << "codexa-search: " << MessageOf(SearchStatus::kNoScope) << '\n';
  return scope;
}

SearchExit Render(CIndex& index, const SearchOptions& options, std::u16string_view query, std::ostream& out,
           std::ostream& err) {
  if (options.renderPage >= index.GetPageCount()) {
    err << "codexa-search: page " << options.renderPage << " does not exist; the corpus has " << index.GetPageCount()
        << " pages (0 to " << index.GetPageCount() << " - 1)\n";
    return SearchExit::kRender;
  }
  std::string html;
  index.RenderHit(options.renderPage, html, query, options.displayCode, options.variants);
  if (html.empty()) {
    err << "codexa-search: page " << options.renderPage << " could not be read\n";
    return SearchExit::kRender;
  }
  out << html;
  return SearchExit::kOk;
}

bool ParseTarget(std::string_view name, SearchOptions& options) {
  const TargetInfo* info = FindTargetByName(name);
  if (info == nullptr) return false;
  options.target = info->target;
  options.displayCode = info->display;
  return true;
}

bool ParseNumber(std::string_view text, uint32_t& number) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The widest context --kwic takes: more than any paragraph needs.
constexpr uint32_t kMaxKwicContext = 10000;

bool SetForm(SearchOptions& options, OutputForm form, std::string& error) {
  if (options.form != OutputForm::kList && options.form != form) {
    error = form == OutputForm::kKwic || options.form == OutputForm::kKwic
                ? "--kwic excludes --json, --raw and --render"
                : "--json, --raw and --render exclude each other";
    return false;
  }
  options.form = form;
  return true;
}

}  // namespace

std::string SearchUsage() {
  return "Usage: codexa-search [--corpus DIR] [--or] [--target full|main|notes] [--no-variants]\n"
         "                     [--scope PATH | --all] [--json | --raw | --kwic N] [--render PAGE]\n"
         "                     QUERY...\n"
         "\n"
         "Searches the corpus as the reader's search form does and prints the hit\n"
         "entries inside the scope, one per line, in list order:\n"
         "  category<TAB>work<TAB>volume<TAB>file number<TAB>page<TAB>hits\n"
         "then the tally line. Several QUERY arguments are joined with spaces; each\n"
         "space-separated keyword may use \"?\" (one character) and \"*\" (a gap).\n"
         "\n"
         "  --corpus DIR     corpus folder (default: the folder of this program)\n"
         "  --or             pages with any keyword (default: pages with all)\n"
         "  --target T       full (default), main (main text) or notes (annotations)\n"
         "  --no-variants    do not fold variant characters\n"
         "  --scope PATH     catalogue path joined by \"\\\", e.g. \"經部\\論語\"\n"
         "                   (default: the catalogue's first record)\n"
         "  --all            the whole corpus as the scope: every page of the result,\n"
         "                   labelled with the category that holds it\n"
         "  --json           print one JSON object: pages, hits, entries\n"
         "  --raw            print the engine's result before any scope: page<TAB>count\n"
         "  --render PAGE    print the HTML of page PAGE (0-based) with the hits marked\n"
         "  --kwic N         print every occurrence on the listed pages, in list order:\n"
         "                   category<TAB>work<TAB>volume<TAB>file number<TAB>page<TAB>\n"
         "                   left context<TAB>hit<TAB>right context\n"
         "                   with up to N characters of context either side (at most\n"
         "                   10000); a context ends where its paragraph, heading or\n"
         "                   annotation ends\n"
         "  --help           print this text\n"
         "\n"
         "Exit codes: 0 done (also with no hit), 2 usage, 3 corpus does not open,\n"
         "4 query empty or refused (it may not hold ASCII letters or digits),\n"
         "5 no such scope, 6 page to render does not exist.\n"
         "7 output could not be written (a full disk, say).\n";
}

bool ParseSearchArguments(const std::vector<std::string>& args, SearchOptions& options, std::string& error) {
  std::vector<std::string> words;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      words.push_back(arg);
      continue;
    }
    const bool takesValue =
        arg == "--corpus" || arg == "--target" || arg == "--scope" || arg == "--render" || arg == "--kwic";
    if (takesValue && i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--or") {
      options.orMode = true;
    } else if (arg == "--no-variants") {
      options.variants = false;
    } else if (arg == "--json") {
      if (!SetForm(options, OutputForm::kJson, error)) return false;
    } else if (arg == "--raw") {
      if (!SetForm(options, OutputForm::kRaw, error)) return false;
    } else if (arg == "--all") {
      options.wholeCorpus = true;
    } else if (arg == "--kwic") {
      if (!SetForm(options, OutputForm::kKwic, error)) return false;
      if (!ParseNumber(args[++i], options.kwicContext) || options.kwicContext > kMaxKwicContext) {
        error = "--kwic takes a number of characters from 0 to 10000, not \"" + args[i] + "\"";
        return false;
      }
    } else if (arg == "--corpus") {
      options.corpus = args[++i];
    } else if (arg == "--scope") {
      options.scope = args[++i];
    } else if (arg == "--target") {
      if (!ParseTarget(args[++i], options)) {
        error = "--target takes full, main or notes, not \"" + args[i] + "\"";
        return false;
      }
    } else if (arg == "--render") {
      if (!SetForm(options, OutputForm::kRender, error)) return false;
      if (!ParseNumber(args[++i], options.renderPage)) {
        error = "--render takes a page number, not \"" + args[i] + "\"";
        return false;
      }
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (options.help) return true;
  if (words.empty()) {
    error = "no QUERY given";
    return false;
  }
  for (std::size_t i = 0; i < words.size(); ++i) options.query += (i == 0 ? "" : " ") + words[i];
  std::u16string check;
  if (!Utf8ToUtf16(options.query, check) || (options.scope && !Utf8ToUtf16(*options.scope, check))) {
    error = "QUERY and PATH must be UTF-8 text";
    return false;
  }
  if (options.scope && (options.form == OutputForm::kRaw || options.form == OutputForm::kRender)) {
    error = "--scope does not apply to --raw and --render, which work before any scope";
    return false;
  }
  if (options.wholeCorpus && options.scope) {
    error = "--all and --scope exclude each other";
    return false;
  }
  if (options.wholeCorpus && (options.form == OutputForm::kRaw || options.form == OutputForm::kRender)) {
    error = "--all does not apply to --raw and --render, which work before any scope";
    return false;
  }
  return true;
}

SearchExit RunSearch(const SearchOptions& options, const std::filesystem::path& corpus, std::ostream& out,
              std::ostream& err) {

  // The query is read as the search form reads its keyword box, and
  // checked before the corpus is opened, so a bad query is told apart from
  // a bad corpus.
  std::u16string text;
  Utf8ToUtf16(options.query, text);
  CSearchRun run(KeywordOfText(text), options.orMode ? SearchMode::kOr : SearchMode::kAnd, options.variants);
  const SearchStatus status = run.Check();
  if (status == SearchStatus::kRefusedKeyword) {
    // Said in English, with the rule, for the script's author.
    err << "codexa-search: the query is refused: keywords may not hold ASCII letters, digits or other characters "
           "below U+0100 except \"?\" and \"*\"\n";
    return SearchExit::kQueryRefused;
  }
  if (status != SearchStatus::kDone) {
    err << "codexa-search: " << MessageOf(status) << '\n';
    return SearchExit::kQueryRefused;
  }

  CIndex index;
  if (!index.Open(corpus, kCorpusNameUtf16, options.target)) {
    err << "codexa-search: " << kOpenFailedMessage << '\n';
    err << "codexa-search: cannot open the corpus in " << corpus.string() << '\n';
    return SearchExit::kCorpus;
  }
  // The page is rendered with the query as read, before any search.
  if (options.form == OutputForm::kRender) return Render(index, options, run.Keyword(), out, err);

  run.Evaluate(index);
  const std::vector<uint32_t>& pages = index.GetPageArray();
  const std::vector<uint32_t>& counts = index.GetCountArray();
  if (options.form == OutputForm::kRaw) {
    for (std::size_t i = 0; i < pages.size() && i < counts.size(); ++i) out << pages[i] << '\t' << counts[i] << '\n';
    return SearchExit::kOk;
  }

  // The listing "zemo.txt" is the reader's diagnostic; a script's working
  // folder is left alone.
  CCatalogue catalogue;
  if (!catalogue.Load(corpus / kCatalogueFileName, {}, err)) {
    err << "codexa-search: " << kCatalogueMissingMessage << '\n';
  }
  const ContentsNodeTag* scope = FindScope(catalogue, options, err);
  if (scope == nullptr) return SearchExit::kNoScope;
  run.CutToScope(index, *scope);
  if (options.form == OutputForm::kJson) {
    PrintJson(run, out);
  } else if (options.form == OutputForm::kKwic) {
    PrintKwic(run, index, options, out);
  } else {
    PrintList(run, out);
  }
  return SearchExit::kOk;
}

SearchExit FinishOutput(SearchExit result, std::ostream& out, std::ostream& err) {
  out.flush();
  if (out) return result;
  err << "codexa-search: cannot write the output; what was printed is incomplete\n";
  return SearchExit::kOutput;
}
