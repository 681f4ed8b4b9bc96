// codexa_compare: Codexa's engine side by side with SQLite FTS5 (trigram),
// ripgrep, a naive in-memory scan and Xapian (CJK n-grams), on the page
// texts of the built default corpus and one set of queries, in one run.
//
// First every system's answer is checked against Codexa's (pages and, where
// the system counts them, hits per page); then the queries are timed, the
// systems taking turns in every round so that they share the machine's
// state. Times are wall-clock medians of warm runs.
//
//   codexa_compare [--corpus DIR] [--work DIR] [--rounds N] [--reuse]
//                  [--builder PROGRAM --source DIR [--variants DIR]]
//
// The time to Open and the first query after it are taken in a fresh
// process of this program, the way a reader meets them after its start.
//
// --corpus: the built corpus (default: this program's folder). --work: where
// the peers' files go (default /tmp/codexa-compare). With --builder, the
// whole default corpus is built once more into the work folder, for the
// build time. With --reuse, a Xapian database left in the work folder by
// an earlier run is used again (its build takes many minutes), with the
// build time recorded then.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <sstream>

#include "base/unicode.h"
#include "bench/benchsupport.h"
#include "bench/compare/codexapeer.h"
#include "bench/compare/naivepeer.h"
#include "bench/compare/pagetexts.h"
#include "bench/compare/ripgreppeer.h"
#include "bench/compare/sqlitepeer.h"
#include "bench/compare/xapianpeer.h"
#include "engine/index_testing.h"
#include "tools/build/progress.h"

namespace {

namespace fs = std::filesystem;
using namespace compare;
using Clock = std::chrono::steady_clock;
using codexa::bench::Median;
using codexa::bench::MemcpyBandwidth;
using codexa::build::Grouped;

struct Options {
  fs::path corpus;
  fs::path work = "/tmp/codexa-compare";
  int rounds = 11;
  fs::path builder, source, variants;
  bool reuse = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  options.corpus = fs::read_symlink("/proc/self/exe").parent_path();
  for (int i = 1; i < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--reuse") {
      options.reuse = true;
      --i;
      continue;
    }
    if (i + 1 == argc) return false;
    const char* value = argv[i + 1];
    if (name == "--corpus") {
      options.corpus = value;
    } else if (name == "--work") {
      options.work = value;
    } else if (name == "--rounds") {
      options.rounds = std::max(1, std::atoi(value));
    } else if (name == "--builder") {
      options.builder = value;
    } else if (name == "--source") {
      options.source = value;
    } else if (name == "--variants") {
      options.variants = value;
    } else {
      return false;
    }
  }
  return true;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <class F>
double Time(F&& f) {
  const auto start = Clock::now();
  f();
  return Seconds(Clock::now() - start);
}


// The ideograph that occurs most often in the pages.
std::string MostFrequentCharacter(const std::vector<std::string>& pages) {
  std::map<uint32_t, uint64_t> counts;
  for (const std::string& page : pages) {
    for (const uint32_t c : DecodeUtf8(page)) {
      if ((c >= 0x3400 && c <= 0x9FFF) || (c >= 0x20000 && c <= 0x2FA1F)) ++counts[c];
    }
  }
  const auto top = std::max_element(counts.begin(), counts.end(),
                                    [](const auto& a, const auto& b) { return a.second < b.second; });
  std::string out;
  if (top != counts.end()) AppendUtf8(top->first, out);
  return out;
}

Query MakeQuery(std::string label, std::string text, bool isAnd = true, bool variants = false) {
  Query query;
  query.label = std::move(label);
  query.text = std::move(text);
  query.utf16 = ToUtf16(query.text);
  query.isAnd = isAnd;
  query.variants = variants;
  return query;
}

std::vector<Query> Queries(const std::vector<std::string>& pages, const CVariantTable& variants) {
  std::vector<Query> queries = {
      MakeQuery("1 char, most frequent", MostFrequentCharacter(pages)),
      MakeQuery("2 chars, frequent", "明月"),
      MakeQuery("2 chars, rare", "鴻鵠"),
      MakeQuery("4-char phrase", "春風得意"),
      MakeQuery("5-char phrase", "床前明月光"),
      MakeQuery("? keyword", "明?月"),
      MakeQuery("* keyword", "白日*黃河"),
      MakeQuery("AND of two", "明月 故鄉"),
      MakeQuery("OR of two", "明月 清風", false),
      MakeQuery("variants, 2 chars", "国家", true, true),
  };
  for (Query& query : queries) {
    size_t at = 0;
    while (at <= query.text.size()) {
      size_t end = query.text.find(' ', at);
      if (end == std::string::npos) end = query.text.size();
      if (end > at) query.keywords.push_back(ParseKeyword(query.text.substr(at, end - at), query.variants ? &variants : nullptr));
      at = end + 1;
    }
  }
  return queries;
}

// How `answer` differs from Codexa's `expected`: empty when it agrees.
std::string Difference(const std::vector<PageHits>& expected, const std::vector<PageHits>& answer) {
  size_t missing = 0, extra = 0, countsDiffer = 0;
  size_t i = 0, j = 0;
  while (i < expected.size() || j < answer.size()) {
    if (j == answer.size() || (i < expected.size() && expected[i].page < answer[j].page)) {
      ++missing, ++i;
    } else if (i == expected.size() || answer[j].page < expected[i].page) {
      ++extra, ++j;
    } else {
      if (answer[j].hits != kUnknownHits && answer[j].hits != expected[i].hits) ++countsDiffer;
      ++i, ++j;
    }
  }
  if (missing + extra + countsDiffer == 0) return {};
  return std::to_string(missing) + " pages missing, " + std::to_string(extra) + " extra, " +
         std::to_string(countsDiffer) + " with other hit counts";
}

std::string HitsText(int64_t hits) { return hits == kUnknownHits ? "-" : Grouped(static_cast<uint64_t>(hits)); }

struct Row {
  std::vector<double> times;      // warm: straight after the same search
  std::vector<double> coldTimes;  // right after the other systems' turns
  Summary summary;
  std::string note;  // why the system does not run the query, or how it differs
  bool runs = true;
};

// Builds the default corpus again into the work folder with the builder;
// the seconds it took, or a negative number when it failed.
double TimeCorpusBuild(const Options& options, fs::path& output) {
  output = options.work / "codexa-corpus";
  fs::create_directories(output);
  std::vector<std::string> arguments{options.builder.string(), "--default"};
  if (!options.variants.empty()) arguments.insert(arguments.end(), {"--variants", options.variants.string()});
  arguments.insert(arguments.end(), {options.source.string(), output.string()});
  std::string log;
  bool ok = false;
  const double seconds = Time([&] { ok = RunProgram(arguments, log); });
  return ok ? seconds : -1;
}

// A query as one argument for the first-query run: "A" or "O", "V" or
// "-", then the text.
std::string QueryArgument(const Query& query) {
  return std::string(query.isAnd ? "A" : "O") + (query.variants ? "V" : "-") + query.text;
}

// The first-query run, in a fresh process like a reader that has just
// started (the comparison's own process holds the other systems' data):
// for each query, Open, then one timed search. Prints the Open time and
// the query time in milliseconds, one line per query.
int FirstQueries(const fs::path& corpus, int count, char** arguments) {
  CodexaPeer engine(corpus);
  for (int i = 0; i < count; ++i) {
    const std::string argument = arguments[i];
    if (argument.size() < 2) return 2;
    Query query = MakeQuery("", argument.substr(2), argument[0] == 'A', argument[1] == 'V');
    const double open = engine.Reopen();
    const double first = Time([&] { engine.Search(query); });
    std::printf("%.6f %.6f\n", open * 1e3, first * 1e3);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress shows as it comes
  if (argc >= 3 && std::strcmp(argv[1], "--first-queries") == 0) return FirstQueries(argv[2], argc - 3, argv + 3);
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs("usage: codexa_compare [--corpus DIR] [--work DIR] [--rounds N] [--reuse] "
                "[--builder PROGRAM --source DIR [--variants DIR]]\n",
                stderr);
    return 2;
  }
  fs::create_directories(options.work);
  std::string error;
  std::vector<std::string> pages;
  const double exportSeconds = Time([&] { ReadPageTexts(options.corpus, pages, error); });
  if (!error.empty()) {
    std::fprintf(stderr, "codexa_compare: %s\n", error.c_str());
    return 1;
  }
  uint64_t textBytes = 0, characters = 0;
  for (const std::string& page : pages) {
    textBytes += page.size();
    characters += DecodeUtf8(page).size();
  }
  std::printf("Page texts: %s pages, %s characters, %.1f MB, read back from %s in %.1f s\n", Grouped(pages.size()).c_str(),
              Grouped(characters).c_str(), textBytes / 1e6, options.corpus.string().c_str(), exportSeconds);

  auto codexa = std::make_unique<CodexaPeer>(options.corpus);
  std::vector<std::unique_ptr<Peer>> systems;
  CodexaPeer* engine = codexa.get();
  systems.push_back(std::move(codexa));
  systems.push_back(std::make_unique<SqlitePeer>());
  systems.push_back(std::make_unique<RipgrepPeer>(options.work / "pages.txt"));
  systems.push_back(std::make_unique<NaivePeer>());
  systems.push_back(std::make_unique<XapianPeer>(options.work / "xapian", options.reuse));

  std::printf("\n%-12s %12s %14s  %s\n", "system", "build s", "index MB", "what");
  for (auto& system : systems) {
    double seconds = Time([&] {
      if (!system->Build(pages, error)) {
        std::fprintf(stderr, "codexa_compare: %s: %s\n", system->Name().c_str(), error.c_str());
        std::exit(1);
      }
    });
    std::string what;
    uint64_t bytes = system->IndexBytes();
    if (system.get() == engine) {
      fs::path built;
      seconds = options.builder.empty() ? -1 : TimeCorpusBuild(options, built);
      what = seconds < 0 ? "build not timed (no --builder)"
                         : "codexa-build: the whole default corpus (pages, three indexes, catalogue)";
      what += "; size: Index-idx.h + Index-idx.m";
    } else if (system->Name() == "SQLite FTS5") {
      what = "in memory, text and trigram index, merged ('optimize')";
    } else if (system->Name() == "ripgrep") {
      what = "the page file, one page a line";
    } else if (system->Name() == "naive scan") {
      what = "the page texts in memory";
    } else {
      what = "unigrams and bigrams with positions, on disk";
    }
    if (system->RecordedBuildSeconds() >= 0) {
      seconds = system->RecordedBuildSeconds();
      what += " (built by an earlier run)";
    }
    std::printf("%-12s %12s %14.1f  %s\n", system->Name().c_str(), seconds < 0 ? "-" : std::to_string(seconds).substr(0, 6).c_str(),
                bytes / 1e6, what.c_str());
  }

  const std::vector<Query> queries = Queries(pages, CIndexTesting::VariantsOf(engine->index()));
  std::vector<std::vector<Row>> rows(queries.size(), std::vector<Row>(systems.size()));
  std::printf("\nChecking every answer against Codexa's\n");
  for (size_t q = 0; q < queries.size(); ++q) {
    const std::vector<PageHits> expected = engine->Check(queries[q]);
    for (size_t s = 1; s < systems.size(); ++s) {
      Row& row = rows[q][s];
      row.note = systems[s]->Unsupported(queries[q]);
      row.runs = row.note.empty();
      if (!row.runs) continue;
      row.note = Difference(expected, systems[s]->Check(queries[q]));
      if (!row.note.empty()) {
        std::printf("  %s on \"%s\": %s\n    as %s\n", systems[s]->Name().c_str(), queries[q].text.c_str(),
                    row.note.c_str(), systems[s]->Expression(queries[q]).c_str());
      }
    }
  }

  const double memcpyRate = MemcpyBandwidth();
  for (int round = 0; round < options.rounds; ++round) {
    for (size_t q = 0; q < queries.size(); ++q) {
      for (size_t s = 0; s < systems.size(); ++s) {
        Row& row = rows[q][s];
        if (!row.runs) continue;
        // The first run finds the processor's caches full of the other
        // systems' data; the run straight after it is the warm one.
        row.coldTimes.push_back(Time([&] { row.summary = systems[s]->Search(queries[q]); }));
        row.times.push_back(Time([&] { row.summary = systems[s]->Search(queries[q]); }));
      }
    }
  }
  std::vector<double> opens, firsts(queries.size(), -1);
  std::vector<std::string> arguments{fs::read_symlink("/proc/self/exe").string(), "--first-queries",
                                     options.corpus.string()};
  for (const Query& query : queries) arguments.push_back(QueryArgument(query));
  std::string output;
  if (RunProgram(arguments, output)) {
    std::istringstream lines(output);
    for (double& first : firsts) {
      double open = 0;
      if (lines >> open >> first) opens.push_back(open / 1e3);
      first /= 1e3;
    }
  }

  std::printf("\nmemcpy %.1f GB/s; Open %.2f ms (median); times in ms, medians of %d rounds; ratio = system / Codexa\n"
              "ms: warm, the search run again straight after itself; cold ms: its first run in the round, after\n"
              "the other systems' turns have filled the processor's caches with their data\n",
              memcpyRate / 1e9, Median(opens) * 1e3, options.rounds);
  std::printf("\n%-24s %-14s %10s %10s %12s %9s %10s %9s  %s\n", "query", "system", "ms", "pages", "hits", "ratio",
              "cold ms", "ratio", "check");
  for (size_t q = 0; q < queries.size(); ++q) {
    const double codexaTime = Median(rows[q][0].times), codexaCold = Median(rows[q][0].coldTimes);
    std::printf("%-24s \"%s\"%s\n", queries[q].label.c_str(), queries[q].text.c_str(), queries[q].isAnd ? "" : " (OR)");
    for (size_t s = 0; s < systems.size(); ++s) {
      const Row& row = rows[q][s];
      if (!row.runs) {
        std::printf("%-24s %-14s %10s %10s %12s %9s %10s %9s  cannot run: %s\n", "", systems[s]->Name().c_str(), "-",
                    "-", "-", "-", "-", "-", row.note.c_str());
        continue;
      }
      const double time = Median(row.times), cold = Median(row.coldTimes);
      const std::string check = s == 0 ? "" : row.note.empty() ? "same pages" : row.note;
      std::printf("%-24s %-14s %10.4f %10s %12s %8.1fx %10.4f %8.1fx  %s\n", "", systems[s]->Name().c_str(),
                  time * 1e3, Grouped(row.summary.pages).c_str(), HitsText(row.summary.hits).c_str(), time / codexaTime,
                  cold * 1e3, cold / codexaCold, check.c_str());
    }
    const uint64_t listBytes = engine->ListBytes(queries[q]);
    const double rate = listBytes / codexaTime;
    std::printf("%-24s Codexa: first query after Open %.3f ms; list bytes read %s, %.0f MB/s = %.1f%% of memcpy\n", "",
                firsts[q] * 1e3, Grouped(listBytes).c_str(), rate / 1e6, 100 * rate / memcpyRate);
  }
  return 0;
}
