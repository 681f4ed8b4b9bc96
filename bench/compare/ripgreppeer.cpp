#include "bench/compare/ripgreppeer.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>

extern char** environ;

namespace compare {

namespace {

// rg exits with 1 when nothing matched.
constexpr int kNoMatchStatus = 1;

bool HasGap(const Query& query) {
  return std::any_of(query.keywords.begin(), query.keywords.end(), [](const Keyword& k) { return !k.Literal(); });
}

// One pattern for the whole query: OR is an alternation, AND a look-ahead
// for each keyword from the line's start.
std::string QueryPattern(const Query& query) {
  std::string pattern;
  for (const Keyword& keyword : query.keywords) {
    if (query.isAnd && query.keywords.size() > 1) {
      pattern += "(?=.*" + ToRegex(keyword, false) + ")";
    } else {
      pattern += (pattern.empty() ? "" : "|") + ToRegex(keyword, false);
    }
  }
  return query.isAnd && query.keywords.size() > 1 ? "^" + pattern : pattern;
}

bool NeedsPcre2(const Query& query) { return HasGap(query) || (query.isAnd && query.keywords.size() > 1); }

// Line number -> places, from "line:match" lines of rg -n -o.
void AddPlaces(const std::string& output, std::map<uint32_t, int64_t>& places) {
  size_t at = 0;
  while (at < output.size()) {
    size_t end = output.find('\n', at);
    if (end == std::string::npos) end = output.size();
    places[static_cast<uint32_t>(std::stoul(output.substr(at, end - at))) - 1] += 1;
    at = end + 1;
  }
}

}  // namespace

bool RunProgram(const std::vector<std::string>& arguments, std::string& output, int worstStatus) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  output.clear();
  char buffer[1 << 16];
  for (ssize_t n; spawned == 0 && (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
  close(pipeFds[0]);
  int status = 0;
  if (spawned != 0 || waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) <= worstStatus;
}

bool RipgrepPeer::Build(const std::vector<std::string>& pages, std::string& error) {
  std::ofstream out(m_strFile, std::ios::binary);
  for (const std::string& page : pages) out << page << '\n';
  if (out.flush()) return true;
  error = "cannot write " + m_strFile.string();
  return false;
}

uint64_t RipgrepPeer::IndexBytes() const { return std::filesystem::file_size(m_strFile); }

std::vector<std::string> RipgrepPeer::CountArguments(const Query& query) const {
  std::vector<std::string> arguments{"rg", "--no-config", "-c"};
  if (NeedsPcre2(query)) arguments.push_back("-P");
  arguments.insert(arguments.end(), {"-e", QueryPattern(query), m_strFile.string()});
  return arguments;
}

std::string RipgrepPeer::Expression(const Query& query) const {
  std::string line;
  for (const std::string& argument : CountArguments(query)) line += (line.empty() ? "" : " ") + argument;
  return line;
}

Summary RipgrepPeer::Search(const Query& query) {
  std::string output;
  if (!RunProgram(CountArguments(query), output, kNoMatchStatus)) return {};
  return {output.empty() ? 0 : std::stoull(output), kUnknownHits};
}

std::vector<PageHits> RipgrepPeer::Check(const Query& query) {
  std::string output;
  RunProgram(CountArguments(query), output, kNoMatchStatus);
  const uint64_t matchingLines = output.empty() ? 0 : std::stoull(output);
  std::map<uint32_t, int64_t> places;
  std::map<uint32_t, size_t> keywordsFound;
  for (const Keyword& keyword : query.keywords) {
    std::map<uint32_t, int64_t> ofKeyword;
    RunProgram({"rg", "--no-config", "-P", "-n", "-o", "-e", ToRegex(keyword, true), m_strFile.string()}, output,
               kNoMatchStatus);
    AddPlaces(output, ofKeyword);
    for (auto [line, count] : ofKeyword) {
      places[line] += count;
      ++keywordsFound[line];
    }
  }
  std::vector<PageHits> result;
  for (auto [line, count] : places) {
    if (!query.isAnd || keywordsFound[line] == query.keywords.size()) result.push_back({line, count});
  }
  // The timed count must agree with the pages listed here; a line that
  // stands for no page shows the difference in the comparison.
  if (result.size() != matchingLines) result.push_back({UINT32_MAX, kUnknownHits});
  return result;
}

}  // namespace compare
