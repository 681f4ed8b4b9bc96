// Runs codexa-search against small corpora written with the corpus writer.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <memory>

#include "base/unicode.h"
#include "corpus/filelistformat.h"
#include "engine/codeconverter.h"
#include "tools/search/searchcommand.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

namespace fs = std::filesystem;
using codexa::writer::CatalogueRecord;
using codexa::writer::PostingCollector;
using codexa::writer::ScratchDir;
using codexa::writer::StoredPage;

struct Page {
  std::string name;
  std::u16string main;  // BMP characters only: one unit, one character
  std::u16string notes;
};

// Catalogue: 經部 > 論語 > 卷一 (pages 0-1), 卷二 (pages 2-3); 經部 > 孟子 >
// 卷一 (page 4); 集部 > 楚辭 > 卷一 (pages 5-6). Every volume starts at file 1.
const Page kPages[] = {
    {"經部\\論語\\卷一\\0001.htm", u"學而時習之", u"學者覺也"},
    {"經部\\論語\\卷一\\0002.htm", u"有朋自遠方來", u"朋同類也"},
    {"經部\\論語\\卷二\\0001.htm", u"學而不思則罔", u"罔無所得"},
    {"經部\\論語\\卷二\\0002.htm", u"温故而知新", u""},
    {"經部\\孟子\\卷一\\0001.htm", u"孟子見梁惠王", u"王曰叟"},
    {"集部\\楚辭\\卷一\\0001.htm", u"帝高陽之苗裔兮", u"學"},
    {"集部\\楚辭\\卷一\\0002.htm", u"溫故", u""},
};
const std::vector<CatalogueRecord> kCatalogue = {
    {u"經部", 1, 1, 5, 1}, {u"論語", 2, 1, 4, 1}, {u"卷一", 3, 1, 2, 1}, {u"卷二", 3, 3, 2, 1}, {u"孟子", 2, 5, 1, 1},
    {u"卷一", 3, 5, 1, 1}, {u"集部", 1, 6, 2, 1}, {u"楚辭", 2, 6, 2, 1}, {u"卷一", 3, 6, 2, 1},
};
const std::vector<std::vector<uint32_t>> kGroups = {{0x6E29, 0x6EAB}};  // 温 溫

std::string Utf8(std::u16string_view text) {
  std::string out;
  Utf16ToUtf8(text, out);
  return out;
}

// Both cells hold the page's text, so either cell the renderer picks has it.
std::string PageHtml(const Page& page) {
  const std::string cell = Utf8(page.main) + "<font size=-1 color=\"#993366\">" + Utf8(page.notes) + "</font>";
  return "<html><head><title>" + Utf8(page.main.substr(0, 2)) + "</title></head><body><table><tr><TD>" + cell + "</TD><TD>" + cell +
         "</TD></tr></table></body></html>";
}

// Each character takes a position under its own code and under its variant
// group's code; the notes start one position after the main text, so no
// keyword matches across the two.
void AddText(PostingCollector& collector, uint32_t page, std::u16string_view text, uint32_t firstPosition) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const uint32_t position = firstPosition + static_cast<uint32_t>(i);
    collector.Add(CharToIndexCode(text[i]), page, position);
    for (std::size_t g = 0; g < kGroups.size(); ++g) {
      for (uint32_t member : kGroups[g]) {
        if (member == text[i]) collector.Add(kFirstGroupCode + static_cast<int32_t>(g), page, position);
      }
    }
  }
}

void WriteCorpus(const fs::path& dir, bool withCatalogue) {
  std::string error;
  std::vector<StoredPage> stored;
  PostingCollector full, main, notes;
  for (uint32_t p = 0; p < std::size(kPages); ++p) {
    const Page& page = kPages[p];
    stored.push_back({page.name, PageHtml(page)});
    AddText(full, p, page.main, 0);
    AddText(full, p, page.notes, static_cast<uint32_t>(page.main.size()) + 1);
    AddText(main, p, page.main, 0);
    AddText(notes, p, page.notes, 0);
  }
  ASSERT_TRUE(codexa::writer::WriteFileList(dir, kCorpusName, stored, 100, error)) << error;
  const std::pair<const char*, PostingCollector*> targets[] = {
      {"Index", &full}, {"Index_content", &main}, {"Index_desc", &notes}};
  for (const auto& [base, collector] : targets) {
    ASSERT_TRUE(codexa::writer::WriteIndex(dir, base, collector->Finish(), {}, error)) << error;
  }
  ASSERT_TRUE(codexa::writer::WriteVariantTable(dir, kGroups, error)) << error;
  if (withCatalogue) {
    ASSERT_TRUE(codexa::writer::WriteCatalogue(dir, kCatalogue, error)) << error;
  }
}

std::string Quote(const std::string& arg) {
  std::string out = "'";
  for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct ProgramRun {
  SearchExit exitCode = static_cast<SearchExit>(-1);
  std::string out, err;
};

ProgramRun RunProgram(const ScratchDir& scratch, const std::string& program, const std::vector<std::string>& args) {
  std::string command = Quote(program);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " >" + Quote((scratch / "out").string()) + " 2>" + Quote((scratch / "err").string());
  const int status = std::system(command.c_str());
  ProgramRun run;
  run.exitCode = static_cast<SearchExit>(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  run.out = scratch.Read("out");
  run.err = scratch.Read("err");
  return run;
}

class SearchCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    m_pCorpus = new ScratchDir;
    m_pNoCatalogue = new ScratchDir;
    WriteCorpus(m_pCorpus->path(), true);
    WriteCorpus(m_pNoCatalogue->path(), false);
  }
  static void TearDownTestSuite() {
    delete m_pCorpus;
    delete m_pNoCatalogue;
  }
  ProgramRun Search(const fs::path& corpus, std::vector<std::string> args) {
    args.insert(args.begin(), {"--corpus", corpus.string()});
    return RunProgram(m_scratch, CODEXA_SEARCH_EXE, args);
  }

  static ScratchDir* m_pCorpus;
  static ScratchDir* m_pNoCatalogue;
  ScratchDir m_scratch;
};

ScratchDir* SearchCommandTest::m_pCorpus = nullptr;
ScratchDir* SearchCommandTest::m_pNoCatalogue = nullptr;

TEST_F(SearchCommandTest, ListsHitEntriesInsideTheScope) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      // Default scope: record 1 (經部); page 5 lies in 集部 and is dropped. Equal
      // file numbers keep the engine's page order.
      {{"學"},
       "經部\t論語\t卷一\t1\t0\t2\n"
       "經部\t論語\t卷二\t1\t2\t1\n"
       "全部で 2 頁で、3 箇所でした。\n"},
      {{"--scope", "集部", "學"}, "集部\t楚辭\t卷一\t1\t5\t1\n全部で 1 頁で、1 箇所でした。\n"},
      {{"--scope", "經部\\論語\\卷二", "--target", "main", "學"}, "經部\t論語\t卷二\t1\t2\t1\n全部で 1 頁で、1 箇所でした。\n"},
      {{"--target", "notes", "學"}, "經部\t論語\t卷一\t1\t0\t1\n全部で 1 頁で、1 箇所でした。\n"},
      // The work scope interleaves its two volumes by file number.
      {{"--or", "--scope", "經部\\論語", "學", "朋", "温"},
       "經部\t論語\t卷一\t1\t0\t2\n經部\t論語\t卷二\t1\t2\t1\n經部\t論語\t卷一\t2\t1\t2\n經部\t論語\t卷二\t2\t3\t1\n"
       "全部で 4 頁で、6 箇所でした。\n"},
      {{"學 朋"}, "全部で 0 頁で、0 箇所でした。\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const ProgramRun run = Search(m_pCorpus->path(), c.args);
    EXPECT_EQ(run.exitCode, SearchExit::kOk) << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "");
  }
}

TEST_F(SearchCommandTest, RawPrintsTheEngineResultBeforeAnyScope) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      {{"--raw", "學"}, "0\t2\n2\t1\n5\t1\n"},
      {{"--raw", "--target", "main", "學"}, "0\t1\n2\t1\n"},
      {{"--raw", "--target", "notes", "學"}, "0\t1\n5\t1\n"},
      {{"--raw", "温故"}, "3\t1\n6\t1\n"},
      {{"--raw", "--no-variants", "温故"}, "3\t1\n"},
      {{"--raw", "--or", "學 朋"}, "0\t2\n2\t1\n5\t1\n1\t2\n"},
      {{"--raw", "--or", "學　朋"}, "0\t2\n2\t1\n5\t1\n1\t2\n"},  // ideographic space
      {{"--raw", "--or", "學", "朋"}, "0\t2\n2\t1\n5\t1\n1\t2\n"},
      {{"--raw", "學 朋"}, ""},
      {{"--raw", "學?時"}, "0\t1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const ProgramRun run = Search(m_pCorpus->path(), c.args);
    EXPECT_EQ(run.exitCode, SearchExit::kOk) << run.err;
    EXPECT_EQ(run.out, c.out);
  }
}

TEST_F(SearchCommandTest, WholeCorpusAndKeywordInContext) {
  struct Case {
    const char* what;
    const fs::path* corpus;
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      // Every page of --raw "學" (0, 2, 5), each labelled by its category.
      {"whole corpus", &m_pCorpus->path(), {"--all", "學"},
       "經部\t論語\t卷一\t1\t0\t2\n經部\t論語\t卷二\t1\t2\t1\n集部\t楚辭\t卷一\t1\t5\t1\n"
       "全部で 3 頁で、4 箇所でした。\n"},
      {"whole corpus without a catalogue", &m_pNoCatalogue->path(), {"--all", "學"},
       "\t\t\t0\t0\t2\n\t\t\t0\t2\t1\n\t\t\t0\t5\t1\n全部で 3 頁で、4 箇所でした。\n"},
      // Main text and annotation are separate paragraphs: no context crosses.
      {"kwic in the default scope", &m_pCorpus->path(), {"--kwic", "2", "學"},
       "經部\t論語\t卷一\t1\t0\t\t學\t而時\n經部\t論語\t卷一\t1\t0\t\t學\t者覺\n"
       "經部\t論語\t卷二\t1\t2\t\t學\t而不\n"},
      {"kwic over the whole corpus, variants folded", &m_pCorpus->path(), {"--kwic", "3", "--all", "故"},
       "經部\t論語\t卷二\t2\t3\t温\t故\t而知新\n集部\t楚辭\t卷一\t2\t6\t溫\t故\t\n"},
      {"kwic of a two-character hit in a scope", &m_pCorpus->path(), {"--kwic", "1", "--scope", "經部\\孟子", "梁惠"},
       "經部\t孟子\t卷一\t1\t4\t見\t梁惠\t王\n"},
      {"kwic without a hit", &m_pCorpus->path(), {"--kwic", "5", "叟叟"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ProgramRun run = Search(*c.corpus, c.args);
    EXPECT_EQ(run.exitCode, SearchExit::kOk) << run.err;
    EXPECT_EQ(run.out, c.out);
  }
}

TEST_F(SearchCommandTest, JsonHoldsTheSameEntries) {
  const ProgramRun run = Search(m_pCorpus->path(), {"--json", "學"});
  EXPECT_EQ(run.exitCode, SearchExit::kOk) << run.err;
  EXPECT_EQ(run.out,
            "{\"pages\":2,\"hits\":3,\"entries\":[\n"
            "{\"category\":\"經部\",\"title\":\"論語\",\"volume\":\"卷一\",\"fileNumber\":1,\"page\":0,\"hitCount\":2},\n"
            "{\"category\":\"經部\",\"title\":\"論語\",\"volume\":\"卷二\",\"fileNumber\":1,\"page\":2,\"hitCount\":1}]}\n");
  EXPECT_EQ(Search(m_pCorpus->path(), {"--json", "叟叟"}).out, "{\"pages\":0,\"hits\":0,\"entries\":[]}\n");
}

TEST_F(SearchCommandTest, RenderWritesThePageWithItsHits) {
  const ProgramRun run = Search(m_pCorpus->path(), {"--render", "4", "梁惠"});
  EXPECT_EQ(run.exitCode, SearchExit::kOk) << run.err;
  // One match: one anchor, before the keyword.
  const std::size_t anchor = run.out.find("name=\"0000\"");
  EXPECT_NE(anchor, std::string::npos) << run.out;
  EXPECT_NE(run.out.find("梁惠", anchor), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("name=\"0001\""), std::string::npos) << run.out;
}

TEST_F(SearchCommandTest, FailuresGiveAMessageAndTheirExitCode) {
  struct Case {
    const char* what;
    const fs::path* corpus;
    std::vector<std::string> args;
    SearchExit exitCode;
    std::vector<std::string> said;
  };
  const fs::path missing = m_scratch / "absent";
  const fs::path& good = m_pCorpus->path();
  const Case cases[] = {
      {"corpus does not open", &missing, {"學"}, SearchExit::kCorpus, {"データを開けませんでした。", "absent"}},
      {"ASCII letter", &good, {"學a"}, SearchExit::kQueryRefused, {"refused"}},
      {"digit", &good, {"--raw", "1"}, SearchExit::kQueryRefused, {"refused"}},
      {"only spaces", &good, {"　 "}, SearchExit::kQueryRefused, {"何かキーワードを入力して検索をして下さい。"}},
      {"unknown scope", &good, {"--scope", "史部", "學"}, SearchExit::kNoScope, {"史部"}},
      {"partial scope path", &good, {"--scope", "經部\\", "學"}, SearchExit::kNoScope, {"no catalogue node"}},
      {"no catalogue", &m_pNoCatalogue->path(), {"學"}, SearchExit::kNoScope,
       {"you delete data file!", "検索範囲をまた指定していません。"}},
      {"page to render out of range", &good, {"--render", "7", "學"}, SearchExit::kRender, {"page 7 does not exist"}},
      {"no query", &good, {"--or"}, SearchExit::kUsage, {"no QUERY", "Usage:"}},
      {"bad target", &good, {"--target", "all", "學"}, SearchExit::kUsage, {"--target"}},
      {"two output forms", &good, {"--json", "--raw", "學"}, SearchExit::kUsage, {"exclude"}},
      {"scope with raw", &good, {"--raw", "--scope", "經部", "學"}, SearchExit::kUsage, {"--scope"}},
      {"whole corpus with raw", &good, {"--all", "--raw", "學"}, SearchExit::kUsage, {"--all does not apply"}},
      {"whole corpus with a scope", &good, {"--all", "--scope", "經部", "學"}, SearchExit::kUsage, {"--all and --scope"}},
      {"kwic with json", &good, {"--kwic", "3", "--json", "學"}, SearchExit::kUsage, {"--kwic excludes"}},
      {"kwic width not a number", &good, {"--kwic", "x", "學"}, SearchExit::kUsage, {"--kwic takes"}},
      {"kwic width too large", &good, {"--kwic", "10001", "學"}, SearchExit::kUsage, {"--kwic takes"}},
      {"value missing", &good, {"學", "--scope"}, SearchExit::kUsage, {"--scope needs a value"}},
      {"bad page number", &good, {"--render", "-1", "學"}, SearchExit::kUsage, {"page number"}},
      {"unknown option", &good, {"--fast", "學"}, SearchExit::kUsage, {"unknown option --fast"}},
      {"not UTF-8", &good, {"\xE5\xAD"}, SearchExit::kUsage, {"UTF-8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ProgramRun run = Search(*c.corpus, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out, "");
    for (const std::string& text : c.said) EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
  }
}

TEST_F(SearchCommandTest, AnUnknownScopeIsAnsweredWithThePathsNearIt) {
  struct Case {
    const char* scope;
    std::string hint;
  };
  const Case cases[] = {
      // Slashes, as file paths have them, and separators at the ends.
      {"經部/論語", "did you mean \"經部\\論語\"?"},
      {"\\經部\\論語\\", "did you mean \"經部\\論語\"?"},
      // A name alone: every path that ends in it.
      {"卷一", "paths ending in \"卷一\": 經部\\論語\\卷一, 經部\\孟子\\卷一, 集部\\楚辭\\卷一"},
      {"史部\\楚辭", "paths ending in \"楚辭\": 集部\\楚辭"},
      // Nothing near: the categories to start from.
      {"史部", "the categories: 經部, 集部"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scope);
    const ProgramRun run = Search(m_pCorpus->path(), {"--scope", c.scope, "學"});
    EXPECT_EQ(run.exitCode, SearchExit::kNoScope);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("codexa-search: no catalogue node has the path \"" + std::string(c.scope) + "\"\n", 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find(c.hint), std::string::npos) << run.err;
  }
}

TEST_F(SearchCommandTest, OutputThatCannotBeWrittenIsAnError) {
  for (const char* form : {"--all", "--raw", "--json"}) {
    SCOPED_TRACE(form);
    const std::string command = Quote(CODEXA_SEARCH_EXE) + " --corpus " + Quote(m_pCorpus->path().string()) + " " +
                                form + " 學 >/dev/full 2>" + Quote((m_scratch / "err").string());
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(static_cast<SearchExit>(WEXITSTATUS(status)), SearchExit::kOutput);
    EXPECT_NE(m_scratch.Read("err").find("codexa-search: cannot write the output"), std::string::npos)
        << m_scratch.Read("err");
  }
}

TEST_F(SearchCommandTest, DefaultCorpusIsTheProgramFolder) {
  const fs::path program = m_pCorpus->path() / "codexa-search";
  fs::copy_file(CODEXA_SEARCH_EXE, program, fs::copy_options::overwrite_existing);
  const ProgramRun run = RunProgram(m_scratch, program.string(), {"--raw", "學"});
  fs::remove(program);
  EXPECT_EQ(run.exitCode, SearchExit::kOk) << run.err;
  EXPECT_EQ(run.out, "0\t2\n2\t1\n5\t1\n");
}

TEST_F(SearchCommandTest, HelpNeedsNeitherQueryNorCorpus) {
  const ProgramRun run = RunProgram(m_scratch, CODEXA_SEARCH_EXE, {"--corpus", "/nonexistent", "--help"});
  EXPECT_EQ(run.exitCode, SearchExit::kOk);
  EXPECT_EQ(run.out.rfind("Usage: codexa-search", 0), 0u) << run.out;
  for (const char* option : {"--render PAGE", "--all", "--kwic N", "7 output"}) {
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(run.err, "");
}

}  // namespace
