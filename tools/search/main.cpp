#include <cstdio>
#include <iostream>
#include <system_error>

#include "tools/search/searchcommand.h"

namespace {

// The corpus lies beside the executables, in the program folder.
std::filesystem::path ProgramFolder(const char* argv0) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.parent_path();
  return std::filesystem::absolute(argv0, error).parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  SearchOptions options;
  std::string error;
  if (!ParseSearchArguments(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::cerr << "codexa-search: " << error << "\n" << SearchUsage();
    return static_cast<int>(SearchExit::kUsage);
  }
  if (options.help) {
    std::cout << SearchUsage();
    return static_cast<int>(FinishOutput(SearchExit::kOk, std::cout, std::cerr));
  }
  const std::filesystem::path corpus = options.corpus.empty() ? ProgramFolder(argv[0]) : options.corpus;
  const SearchExit exitCode = RunSearch(options, corpus, std::cout, std::cerr);
  return static_cast<int>(FinishOutput(exitCode, std::cout, std::cerr));
}
