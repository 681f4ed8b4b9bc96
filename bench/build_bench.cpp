// Builds the whole default corpus, then a SQLite FTS5 index (trigram
// tokenizer) of the same page texts: the text of each page's indexed cell,
// one row per page. Prints both times and sizes, and the builder's peak
// resident memory.
//
//   build_bench [PACKAGE [VARIANTS]]   (defaults: the set-up's .cache folders)
#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "corpus/filelist.h"
#include "engine/indexformat.h"
#include "tools/build/corpusbuilder.h"
#include "tools/build/defaultsource.h"
#include "tools/build/indexedtext.h"
#include "tools/build/utf8.h"
#include "tools/build/variantgroups.h"
#include "writer/scratchdir.h"

namespace {

namespace fs = std::filesystem;
using namespace codexa::build;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Each page's indexed text; stretches that a tag separates go on new lines.
std::vector<std::string> PageTexts(const fs::path& corpus) {
  CFileList list;
  if (!list.Open(corpus, kCorpusNameUtf16)) return {};
  std::vector<std::string> texts(list.GetPageCount());
  std::string html, name;
  std::vector<IndexedChar> chars;
  for (uint32_t page = 0; page < list.GetPageCount(); ++page) {
    if (!list.ReadPageAndName(page, html, name)) continue;
    ScanIndexedText(html, CellSelector(name), chars);
    for (size_t i = 0; i < chars.size(); ++i) {
      if (i > 0 && chars[i].position != chars[i - 1].position + 1) texts[page] += '\n';
      AppendUtf8(chars[i].codePoint, texts[page]);
    }
  }
  return texts;
}

bool Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK) return true;
  std::fprintf(stderr, "sqlite: %s\n", error ? error : "?");
  sqlite3_free(error);
  return false;
}

// Builds the FTS5 index in `file`; the time of the inserts and the final
// merge, not of preparing the texts.
double BuildFts5(const fs::path& file, const std::vector<std::string>& texts) {
  sqlite3* db = nullptr;
  if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) return -1;
  Exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
  const auto start = Clock::now();
  Exec(db, "CREATE VIRTUAL TABLE pages USING fts5(body, tokenize='trigram', detail='full');");
  Exec(db, "BEGIN");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO pages(rowid, body) VALUES(?, ?)", -1, &insert, nullptr);
  for (size_t page = 0; page < texts.size(); ++page) {
    sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(page));
    sqlite3_bind_text(insert, 2, texts[page].data(), static_cast<int>(texts[page].size()), SQLITE_STATIC);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  Exec(db, "COMMIT");
  Exec(db, "INSERT INTO pages(pages) VALUES('optimize');");
  const double seconds = Seconds(start);
  sqlite3_close(db);
  return seconds;
}

uint64_t Size(const fs::path& file) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  return ec ? 0 : size;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path package = argc > 1 ? fs::path(argv[1]) : fs::path(CODEXA_POETRY_SOURCE);
  const fs::path variants = argc > 2 ? fs::path(argv[2]) : fs::path(CODEXA_SOURCE_DIR) / ".cache/variants";
  codexa::writer::ScratchDir scratch;

  VariantGroups groups;
  std::string error;
  if (fs::exists(variants) && !LoadVariantGroups(variants, groups, error)) {
    std::fprintf(stderr, "variant groups: %s\n", error.c_str());
    return 1;
  }
  BuildSummary summary;
  auto start = Clock::now();
  try {
    CorpusBuilder builder(std::move(groups));
    Progress progress;
    ReadDefaultSource(package, builder, progress);
    summary = builder.Write(scratch.path());
  } catch (const BuildError& e) {
    std::fprintf(stderr, "build: %s\n", e.what());
    return 1;
  }
  const double buildSeconds = Seconds(start);
  // The builder's peak: nothing else has run in this process yet.
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double buildPeakMB = static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;
  uint64_t indexBytes = 0, fullTextIndexBytes = 0;
  for (const auto& [file, size] : summary.files) {
    if (file.find("-idx.") != std::string::npos) indexBytes += size;
    if (file == IndexHeaderName() || file == IndexPostingName()) fullTextIndexBytes += size;
  }

  const std::vector<std::string> texts = PageTexts(scratch.path());
  uint64_t textBytes = 0;
  for (const std::string& text : texts) textBytes += text.size();
  const double ftsSeconds = BuildFts5(scratch / "fts5.db", texts);

  std::printf("pages %llu, indexed characters %llu, page texts %.1f MB\n",
              static_cast<unsigned long long>(summary.pages), static_cast<unsigned long long>(summary.characters),
              textBytes / 1e6);
  std::printf("codexa-build  %7.1f s  (source to all files: pages %.1f MB, three indexes %.1f MB, full text alone %.1f MB;"
              " peak resident memory %.0f MB)\n",
              buildSeconds, summary.textBytes / 1e6, indexBytes / 1e6, fullTextIndexBytes / 1e6, buildPeakMB);
  std::printf("SQLite FTS5   %7.1f s  (trigram index of the page texts: %.1f MB)\n", ftsSeconds,
              Size(scratch / "fts5.db") / 1e6);
  return 0;
}
