// codexa-search on damaged corpora: every data file in turn is removed,
// emptied, cut short, bit-flipped, given wrong values or replaced by
// garbage. Each run must end in time, without a crash, either with a clear
// message and a failure code or with a sound result (the very result of
// the intact corpus when the run does not read the damaged file), and
// nothing in the corpus folder may change.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <set>
#include <sstream>

#include "corpus/catalogueformat.h"
#include "engine/indexformat.h"
#include "engine/variants.h"
#include "tests/corrupt/damagedcorpus.h"
#include "writer/scratchdir.h"

namespace {

namespace fs = std::filesystem;
using codexa::corrupt::Damage;
using codexa::corrupt::kDataFiles;
using codexa::writer::ScratchDir;

// A run that takes longer than this counts as a hang.
constexpr int kTimeoutSeconds = 60;
const std::string kOpenFailed = "データを開けませんでした。";

enum class Form { kList, kRaw, kRender };

struct SearchRun {
  const char* name;
  std::vector<std::string> args;
  Form form;
  std::set<std::string> reads;  // the data files its result depends on
};

const std::set<std::string> kFileList = {FileListHeaderName(), FileListTextName()};

std::set<std::string> With(std::set<std::string> files, std::initializer_list<std::string> more) {
  files.insert(more);
  return files;
}

const std::vector<SearchRun>& Runs() {
  static const std::vector<SearchRun> runs = {
      {"full text in the scope",
       {"學而", "時"},
       Form::kList,
       With(kFileList, {IndexHeaderName(), IndexPostingName(), kVariantFileName, kCatalogueFileName})},
      {"main text, OR",
       {"--target", "main", "--or", "--raw", "學", "之"},
       Form::kRaw,
       With(kFileList,
            {IndexHeaderName(SearchTarget::kMainText), IndexPostingName(SearchTarget::kMainText), kVariantFileName})},
      {"notes without variants",
       {"--target", "notes", "--no-variants", "--raw", "也", "學?"},
       Form::kRaw,
       With(kFileList, {IndexHeaderName(SearchTarget::kAnnotations), IndexPostingName(SearchTarget::kAnnotations)})},
      {"rendered hit",
       {"--render", "5", "學", "故"},
       Form::kRender,
       With(kFileList, {IndexHeaderName(), IndexPostingName(), kVariantFileName})},
  };
  return runs;
}

std::string Quote(const std::string& arg) {
  std::string out = "'";
  for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Outcome {
  int exitCode = -1;  // 124 and above: timed out or killed by a signal
  std::string out, err;
};

Outcome RunSearch(const fs::path& corpus, const SearchRun& run, const ScratchDir& scratch) {
  std::string command = "timeout -s KILL " + std::to_string(kTimeoutSeconds) + " " + Quote(CODEXA_SEARCH_EXE) +
                        " --corpus " + Quote(corpus.string());
  for (const std::string& arg : run.args) command += " " + Quote(arg);
  command += " >" + Quote((scratch / "out").string()) + " 2>" + Quote((scratch / "err").string());
  const int status = std::system(command.c_str());
  Outcome outcome;
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.out = scratch.Read("out");
  outcome.err = scratch.Read("err");
  return outcome;
}

size_t Count(const std::string& text, const std::string& needle) {
  size_t count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
  return count;
}

// A result that a damaged file may change but must leave well-formed.
void ExpectWellFormed(const Form form, const std::string& out) {
  std::istringstream lines(out);
  std::string line;
  std::set<std::string> pages;
  switch (form) {
    case Form::kList:
      while (std::getline(lines, line) && !line.starts_with("全部で ")) EXPECT_EQ(Count(line, "\t"), 5u) << line;
      EXPECT_TRUE(line.starts_with("全部で ")) << out;
      break;
    case Form::kRaw:
      while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_TRUE(pages.insert(line.substr(0, tab)).second) << "page listed twice: " << line;
        EXPECT_NE(line.substr(tab + 1), "0") << line;
      }
      break;
    case Form::kRender:
      EXPECT_TRUE(out.starts_with("<html><head>") && out.ends_with("</center></BODY></html>")) << out;
      break;
  }
}

class CorruptSearchTest : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() {
    m_pIntact = new ScratchDir;
    std::string error;
    ASSERT_TRUE(codexa::corrupt::WriteSmallCorpus(m_pIntact->path(), error)) << error;
    ScratchDir scratch;
    for (const SearchRun& run : Runs()) {
      const Outcome outcome = RunSearch(m_pIntact->path(), run, scratch);
      ASSERT_EQ(outcome.exitCode, 0) << run.name << ": " << outcome.err;
      ASSERT_FALSE(outcome.out.empty()) << run.name;
      m_baseline.push_back(outcome.out);
    }
  }
  static void TearDownTestSuite() {
    delete m_pIntact;
    m_baseline.clear();
  }

  // A corpus folder whose files are links to the intact ones, except the
  // damaged file, which is its own copy (or absent).
  void MakeDamagedCorpus(const fs::path& folder, const std::string& file, const Damage& damage) {
    fs::create_directories(folder);
    for (const std::string& name : kDataFiles) {
      if (name != file) fs::create_hard_link(m_pIntact->path() / name, folder / name);
    }
    if (damage.bytes) std::ofstream(folder / file, std::ios::binary).write(damage.bytes->data(), damage.bytes->size());
  }

  void CheckRun(const std::string& file, const SearchRun& run, size_t index, const fs::path& corpus) {
    const Outcome outcome = RunSearch(corpus, run, m_scratch);
    ASSERT_LT(outcome.exitCode, 124) << "crashed or hung; stderr: " << outcome.err;
    if (!run.reads.contains(file)) {
      EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
      EXPECT_EQ(outcome.out, m_baseline[index]);
      return;
    }
    if (outcome.exitCode == 0) {
      ExpectWellFormed(run.form, outcome.out);
      return;
    }
    EXPECT_TRUE(outcome.exitCode == 3 || outcome.exitCode == 5 || outcome.exitCode == 6)
        << "exit " << outcome.exitCode << ": " << outcome.err;
    // The catalogue may add its own diagnostics; the program says why it stopped.
    EXPECT_TRUE(outcome.err.starts_with("codexa-search: ") || outcome.err.find("\ncodexa-search: ") != std::string::npos)
        << outcome.err;
    EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    if (outcome.exitCode == 3) {
      EXPECT_EQ(Count(outcome.err, kOpenFailed), 1u) << outcome.err;
    }
  }

  static ScratchDir* m_pIntact;
  static std::vector<std::string> m_baseline;
  ScratchDir m_scratch;
};

ScratchDir* CorruptSearchTest::m_pIntact = nullptr;
std::vector<std::string> CorruptSearchTest::m_baseline;

TEST_P(CorruptSearchTest, EndsCleanlyAndWritesNothing) {
  const std::string& file = GetParam();
  const std::string intactBytes = m_pIntact->Read(file);
  ASSERT_FALSE(intactBytes.empty());
  const codexa::corrupt::FolderState intactState = codexa::corrupt::StateOf(m_pIntact->path());
  int caseNumber = 0;
  for (const Damage& damage : codexa::corrupt::DamagesOf(file, intactBytes)) {
    SCOPED_TRACE(file + " " + damage.name);
    const fs::path corpus = m_scratch / ("case" + std::to_string(caseNumber++));
    MakeDamagedCorpus(corpus, file, damage);
    const codexa::corrupt::FolderState before = codexa::corrupt::StateOf(corpus);
    for (size_t i = 0; i < Runs().size(); ++i) {
      SCOPED_TRACE(Runs()[i].name);
      CheckRun(file, Runs()[i], i, corpus);
    }
    EXPECT_EQ(codexa::corrupt::StateOf(corpus), before);
    fs::remove_all(corpus);
  }
  EXPECT_EQ(codexa::corrupt::StateOf(m_pIntact->path()), intactState);
}

INSTANTIATE_TEST_SUITE_P(EveryDataFile, CorruptSearchTest, ::testing::ValuesIn(kDataFiles),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
