// Engine benchmark: builds its own index of generated pages (a Zipf-like
// character distribution with some planted phrases and variant groups),
// then prints the time to open it and, for typical queries with and without
// variant folding, the median wall and CPU time, the bytes of index lists
// the engine reads for them, those bytes per CPU second, and that rate as a
// share of this machine's memcpy bandwidth measured in the same run.
//
//   engine_bench [pages] [repetitions]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "bench/benchsupport.h"
#include "corpus/filelistformat.h"
#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/index_testing.h"
#include "writer/scratchdir.h"
#include "writer/textcorpus.h"

namespace {

using Clock = std::chrono::steady_clock;
using codexa::bench::Median;
using codexa::bench::MemcpyBandwidth;
using codexa::bench::ThreadSeconds;

constexpr uint32_t kPageLength = 600;
constexpr uint32_t kDistinct = 6000;
constexpr uint32_t kVariantPairs = 1000;  // ranks r and kDistinct / 2 + r form a group
constexpr double kPhraseShare = 0.03;     // pages that hold the planted phrase

// Rank r of the distribution is the character U+4E00 + r.
char32_t Ranked(uint32_t rank) { return static_cast<char32_t>(0x4E00 + rank); }

// Zipf-Mandelbrot weights 1 / (r + 2.7), close to the shape of character
// frequencies in classical texts (the most frequent one near 6%).
std::discrete_distribution<uint32_t> CharacterDistribution() {
  std::vector<double> weights(kDistinct);
  for (uint32_t r = 0; r < kDistinct; ++r) weights[r] = 1.0 / (r + 2.7);
  return std::discrete_distribution<uint32_t>(weights.begin(), weights.end());
}

std::u32string Phrase() {
  std::u32string phrase;
  for (uint32_t r = 20; r < 26; ++r) phrase += Ranked(r);
  return phrase;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// CPU time of this thread: on a busy machine it leaves out the time spent
// waiting for a core, which wall time cannot.

struct Query {
  const char* label;
  std::u32string text;
  bool isAnd;
};

}  // namespace

int main(int argc, char** argv) {
  const uint32_t pageCount = argc > 1 ? static_cast<uint32_t>(std::atoi(argv[1])) : 50000;
  const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;

  std::vector<std::vector<uint32_t>> groups;
  for (uint32_t r = 0; r < kVariantPairs; ++r) groups.push_back({Ranked(r), Ranked(kDistinct / 2 + r)});
  codexa::writer::TextCorpusWriter corpus(groups);
  std::mt19937 random(20261210);
  std::discrete_distribution<uint32_t> character = CharacterDistribution();
  std::bernoulli_distribution planted(kPhraseShare);
  const std::u32string phrase = Phrase();
  const auto buildStart = Clock::now();
  std::u32string page(kPageLength, U' ');
  for (uint32_t p = 0; p < pageCount; ++p) {
    for (char32_t& c : page) c = Ranked(character(random));
    if (planted(random)) page.replace(random() % (kPageLength - phrase.size()), phrase.size(), phrase);
    corpus.AddPage(page, false);
  }
  codexa::writer::ScratchDir dir;
  std::string error;
  if (!corpus.Write(dir.path(), {}, error)) {
    std::fprintf(stderr, "cannot write the index: %s\n", error.c_str());
    return 1;
  }
  std::printf("index: %u pages x %u characters, %zu lists, written in %.1f s\n", pageCount, kPageLength,
              corpus.lists().size(), Seconds(Clock::now() - buildStart));

  CIndex index;
  std::vector<double> openTimes;
  for (int i = 0; i < repetitions; ++i) {
    index.Close();
    const auto start = Clock::now();
    if (!index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText)) return 1;
    openTimes.push_back(Seconds(Clock::now() - start));
  }
  std::printf("Open: median %.2f ms\n", Median(openTimes) * 1e3);

  const double memcpyRate = MemcpyBandwidth();
  std::printf("memcpy: %.2f GB/s\n\n", memcpyRate / 1e9);

  const std::u32string c0(1, Ranked(0)), c1(1, Ranked(1)), c2(1, Ranked(2)), c3(1, Ranked(3));
  const std::u32string c7(1, Ranked(7)), c9(1, Ranked(9));
  // A pair on a few dozen pages.
  const std::u32string rarePair{Ranked(100), Ranked(101)};
  const Query queries[] = {
      {"1 character (most frequent)", c0, true},
      {"2 characters", c0 + c1, true},
      {"6 characters", phrase, true},
      {"? keyword", c0 + U"?" + c1, true},
      {"* keyword", c7 + U"*" + c9, true},
      {"AND of two keywords", c0 + c1 + U" " + c2 + c3, true},
      {"AND, common and rare", c0 + c1 + U" " + rarePair, true},
      {"OR of two keywords", c0 + c1 + U" " + c2 + c3, false},
  };
  std::printf("%-28s %-8s %9s %9s %8s %11s %9s %8s\n", "query", "variants", "wall ms", "cpu ms", "pages",
              "list bytes", "MB/s", "memcpy%");
  for (const Query& query : queries) {
    for (const bool variants : {false, true}) {
      std::vector<double> wall, cpu;
      for (int i = 0; i < repetitions; ++i) {
        std::u16string text = codexa::writer::Utf32ToUtf16(query.text);
        const auto start = Clock::now();
        const double cpuStart = ThreadSeconds();
        query.isAnd ? index.SearchAnd(text, variants) : index.SearchOr(text, variants);
        cpu.push_back(ThreadSeconds() - cpuStart);
        wall.push_back(Seconds(Clock::now() - start));
      }
      const uint64_t bytes = CIndexTesting::ListBytesRead(index);
      const double rate = bytes / Median(cpu);
      std::printf("%-28s %-8s %9.3f %9.3f %8u %11llu %9.1f %7.1f%%\n", query.label, variants ? "on" : "off",
                  Median(wall) * 1e3, Median(cpu) * 1e3, index.GetResultCount(),
                  static_cast<unsigned long long>(bytes), rate / 1e6, 100 * rate / memcpyRate);
    }
  }
  return 0;
}
