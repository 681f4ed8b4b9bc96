// codexa-build: builds a corpus directory from a source.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/variants.h"
#include "tools/build/corpusbuilder.h"
#include "tools/build/defaultsource.h"
#include "tools/build/jsonsource.h"
#include "tools/build/progress.h"
#include "tools/build/textsource.h"
#include "tools/build/variantgroups.h"

namespace {

namespace fs = std::filesystem;
using namespace codexa::build;

constexpr const char* kUsage =
    "usage: codexa-build [--default | --texts] [--variants DIR] SOURCE OUTDIR\n"
    "\n"
    "Builds the corpus files the reader opens (Index-fl.h/.cnt, the index pairs\n"
    "Index, Index_content and Index_desc, yitizi.txt, zemo.dir) into OUTDIR.\n"
    "Files are written beside OUTDIR's corpus first and moved in only when all\n"
    "are complete, so a failed build leaves the corpus there untouched.\n"
    "\n"
    "  SOURCE          a JSON source file (format: tools/build/jsonsource.h), or\n"
    "                  with --default the unpacked chinese-poetry package, or\n"
    "                  with --texts a folder of plain-text files\n"
    "  --default       map the chinese-poetry package (the default corpus)\n"
    "  --texts         SOURCE is a folder of UTF-8 text files: folders in it are\n"
    "                  categories, folders in those works, each .txt file in a\n"
    "                  work a volume; a line starting with \"#\" titles a piece,\n"
    "                  other lines are paragraphs, text in （…） or (…) is\n"
    "                  annotation (details: tools/build/textsource.h)\n"
    "  --variants DIR  variant groups from the Unihan and OpenCC tables in DIR\n"
    "                  (as tools/build/prepare-variant-sources.sh writes them),\n"
    "                  or the groups of the corpus in DIR when it holds\n"
    "                  yitizi.txt (the program folder, say); without it the\n"
    "                  corpus has no variant groups\n";

struct Options {
  bool defaultSource = false;
  bool texts = false;
  fs::path variants;
  fs::path source;
  fs::path output;
};

// False with the reason in `error` on a usage error.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--default") {
      options.defaultSource = true;
    } else if (arg == "--texts") {
      options.texts = true;
    } else if (arg == "--variants") {
      if (i + 1 == argc) {
        error = "--variants needs a folder";
        return false;
      }
      options.variants = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (options.defaultSource && options.texts) {
    error = "--default and --texts exclude each other";
    return false;
  }
  if (positional.size() != 2) {
    error = "codexa-build needs SOURCE and OUTDIR, " + std::to_string(positional.size()) + " given";
    return false;
  }
  options.source = positional[0];
  options.output = positional[1];
  return true;
}

void PrintSummary(const BuildSummary& summary, const fs::path& output, double seconds) {
  std::printf("Built %s pages (%s characters indexed, %.1f MB of pages), %s catalogue records, %s variant groups "
              "in %s\n",
              Grouped(summary.pages).c_str(), Grouped(summary.characters).c_str(), summary.textBytes / 1e6,
              Grouped(summary.catalogueRecords).c_str(), Grouped(summary.variantGroups).c_str(),
              output.string().c_str());
  for (const auto& [file, size] : summary.files) std::printf("  %-22s %12s bytes\n", file.c_str(), Grouped(size).c_str());
  if (summary.droppedEmptyNodes > 0) {
    std::printf("  left out of the catalogue: %s entries without pages\n", Grouped(summary.droppedEmptyNodes).c_str());
  }
  for (const std::string& path : summary.leftOut) std::printf("  left out, without pages: %s\n", path.c_str());
  std::printf("Time: %.1f s\n", seconds);
}

void PrintTextsRead(const TextSourceReport& report, const fs::path& source) {
  std::printf("Read %s text files (%s bytes) from %s\n", Grouped(report.files).c_str(), Grouped(report.bytes).c_str(),
              source.string().c_str());
  for (const std::string& entry : report.passedOver) {
    std::printf("  passed over (not a category or work folder, or a volume .txt file): %s\n", entry.c_str());
  }
}

// The groups of the tables in `folder`, or of the corpus there.
VariantGroups LoadGroups(const fs::path& folder) {
  VariantGroups groups;
  std::string error;
  if (fs::exists(folder / kVariantFileName)) {
    CVariantTable table;
    if (!table.Load(folder)) throw BuildError("variant groups: cannot read " + (folder / kVariantFileName).string());
    return table.groups();
  }
  if (!LoadVariantGroups(folder, groups, error)) {
    throw BuildError("variant groups: " + error +
                     "; --variants takes a corpus folder that holds yitizi.txt (the program folder, say) or the "
                     "tables prepare-variant-sources.sh writes");
  }
  return groups;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "codexa-build: %s\n", error.c_str());
    std::fputs(kUsage, stderr);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  try {
    CheckOutput(options.output);
    CorpusBuilder builder(options.variants.empty() ? VariantGroups() : LoadGroups(options.variants));
    Progress progress;
    if (options.defaultSource) {
      ReadDefaultSource(options.source, builder, progress);
    } else if (options.texts) {
      PrintTextsRead(ReadTextSource(options.source, builder, progress), options.source);
    } else {
      ReadJsonSource(options.source, builder);
    }
    const BuildSummary summary = builder.Write(options.output);
    PrintSummary(summary, options.output,
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "\ncodexa-build: %s\ncodexa-build: nothing was written; %s is as it was\n", e.what(),
                 options.output.string().c_str());
    return 1;
  }
}
