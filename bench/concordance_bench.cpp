// The concordance on the default corpus: the first screen of 之 over the
// whole corpus (goal: 100 ms, search included) and every one of its
// occurrences with 12 characters of context written out as TSV, as an
// export does (goal: 3 s). Run from the program folder's corpus:
//   bin/concordance_bench [CORPUS-DIR]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/benchsupport.h"
#include "corpus/filelistformat.h"
#include "session/concordance.h"
#include "session/searchrun.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path dir = argc > 1 ? argv[1] : CODEXA_DEFAULT_CORPUS;
  CIndex index;
  CCatalogue catalogue;
  if (!index.Open(dir, kCorpusNameUtf16, SearchTarget::kFullText) || !catalogue.Load(dir / kCatalogueFileName, {})) {
    std::fprintf(stderr, "no corpus in %s\n", dir.string().c_str());
    return 1;
  }
  constexpr std::size_t kScreenRows = 40;
  std::vector<double> firstScreen, export_;
  std::size_t rows = 0, bytes = 0;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    CSearchRun run(u"之", SearchMode::kAnd, true);
    run.Run(index, &catalogue.Root());
    CConcordance concordance(run.Entries().Labelled(), run.Keyword(), DisplayCode::kFullText, true, 12);
    for (std::size_t row = 0; row < kScreenRows && row < concordance.RowCount(); ++row) concordance.Line(index, row);
    firstScreen.push_back(Seconds(start));

    const auto exportStart = std::chrono::steady_clock::now();
    std::string out;
    for (std::size_t row = 0; row < concordance.RowCount(); ++row) {
      const SearchNodeTag& entry = concordance.Entry(row);
      const KwicLine line = concordance.Line(index, row);
      out += std::to_string(entry.pageNumber) + '\t' + line.left + '\t' + line.hit + '\t' + line.right + '\n';
    }
    export_.push_back(Seconds(exportStart));
    rows = concordance.RowCount();
    bytes = out.size();
  }
  std::printf("之 over the whole corpus: %zu occurrences\n", rows);
  std::printf("first screen (%zu rows, search included): median %.1f ms (goal 100 ms)\n", kScreenRows,
              codexa::bench::Median(firstScreen) * 1e3);
  std::printf("every occurrence as TSV (%zu bytes): median %.2f s (goal 3 s)\n", bytes,
              codexa::bench::Median(export_));
  return 0;
}
