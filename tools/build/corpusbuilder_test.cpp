// A small source through the builder and back through the engine; bad
// sources and exceeded limits end in a clear error with nothing written.
#include "tools/build/corpusbuilder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "corpus/catalogue.h"
#include "corpus/catalogueformat.h"
#include "corpus/filelist.h"
#include "engine/index.h"
#include "engine/indexformat.h"
#include "engine/variants.h"
#include "tools/build/jsonsource.h"
#include "tools/build/pagelayout.h"
#include "writer/scratchdir.h"

namespace codexa::build {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using writer::ScratchDir;

// U+570B 國 and U+56FD 国 fold together.
const std::vector<std::vector<uint32_t>> kGroups = {{0x570B, 0x56FD}};

json SmallSource() {
  return {{"categories",
           {{{"name", "經部"},
             {"works",
              {{{"name", "詩經"},
                {"volumes",
                 {{{"name", "周南"},
                   {"pages",
                    {{{"title", "關雎"},
                      {"paragraphs", {"關關雎鳩，在河之洲。", json::array({"窈窕淑女", {{"note", "（淑，善也）"}}, "君子好逑。"})}}},
                     {{"title", "葛覃"}, {"paragraphs", {"葛之覃兮，施于中谷。", {{"note", "國風之二"}}}}}}}},
                  {{"name", "召南"}, {"pages", {{{"title", "鵲巢"}, {"paragraphs", {"維鵲有巢，维鳩居之。国"}}}}}}}}}}}}}}};
}

void WriteText(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

class BuiltCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(m_dir / "source.json", SmallSource().dump());
    CorpusBuilder builder(kGroups);
    ReadJsonSource(m_dir / "source.json", builder);
    m_summary = builder.Write(m_dir.path());
  }

  // Pages and counts of a search of `query` in target `target`.
  std::vector<std::pair<uint32_t, uint32_t>> Search(SearchTarget target, std::u16string query, bool variants = false) {
    CIndex index;
    EXPECT_TRUE(index.Open(m_dir.path(), kCorpusNameUtf16, target));
    index.SearchAnd(query, variants);
    std::vector<std::pair<uint32_t, uint32_t>> hits;
    for (size_t i = 0; i < index.GetPageArray().size(); ++i) hits.emplace_back(index.GetPageArray()[i], index.GetCountArray()[i]);
    return hits;
  }

  ScratchDir m_dir;
  BuildSummary m_summary;
};

using Hits = std::vector<std::pair<uint32_t, uint32_t>>;

TEST_F(BuiltCorpus, PagesNamesAndFileNumbersReadBack) {
  EXPECT_EQ(m_summary.pages, 3u);
  CFileList list;
  ASSERT_TRUE(list.Open(m_dir.path(), kCorpusNameUtf16));
  ASSERT_EQ(list.GetPageCount(), 3u);
  const char* names[] = {"經部\\詩經\\周南\\0001.htm", "經部\\詩經\\周南\\0002.htm", "經部\\詩經\\召南\\0001.htm"};
  for (uint32_t p = 0; p < 3; ++p) {
    std::string html, name;
    ASSERT_TRUE(list.ReadPageAndName(p, html, name));
    EXPECT_EQ(name, names[p]);
    EXPECT_NE(html.find(p == 2 ? "維鵲有巢" : p == 1 ? "葛之覃兮" : "關關雎鳩"), std::string::npos);
  }
  uint32_t page = 0;
  EXPECT_TRUE(list.FindPageByFileNumber(2, 1, page));
  EXPECT_EQ(page, 2u);
  EXPECT_TRUE(list.FindPageByFileNumber(0, 2, page));
  EXPECT_EQ(page, 1u);
}

TEST_F(BuiltCorpus, CatalogueInPreOrderWithPageRanges) {
  std::ifstream file(m_dir / kCatalogueFileName, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 4u * kNodeRecordSize);
  struct Expected {
    std::u16string name;
    int level, docID, docNo;
  };
  const Expected expected[] = {{u"經部", 1, 1, 3}, {u"詩經", 2, 1, 3}, {u"周南", 3, 1, 2}, {u"召南", 3, 3, 1}};
  for (size_t i = 0; i < 4; ++i) {
    const NodeItemRecord record = NodeItemRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.data()) + i * kNodeRecordSize);
    EXPECT_EQ(record.Name(), expected[i].name) << i;
    EXPECT_EQ(record.level, expected[i].level) << i;
    EXPECT_EQ(record.docID, expected[i].docID) << i;
    EXPECT_EQ(record.docNo, expected[i].docNo) << i;
    EXPECT_EQ(record.curFileName, 1) << i;
  }
}

TEST_F(BuiltCorpus, VariantGroupsReadBack) {
  CVariantTable table;
  ASSERT_TRUE(table.Load(m_dir.path()));
  EXPECT_EQ(table.groups(), kGroups);
}

TEST_F(BuiltCorpus, SearchesFindWhatEachTargetHolds) {
  // 關雎 stands on page 0 (odd file number: second cell) as title and in 關關雎鳩.
  EXPECT_EQ(Search(SearchTarget::kFullText, u"關雎"), (Hits{{0, 2}}));
  EXPECT_EQ(Search(SearchTarget::kFullText, u"雎鳩"), (Hits{{0, 1}}));
  // Main text and annotations go to their own targets.
  EXPECT_EQ(Search(SearchTarget::kFullText, u"善也"), (Hits{{0, 1}}));
  EXPECT_EQ(Search(SearchTarget::kAnnotations, u"善也"), (Hits{{0, 1}}));
  EXPECT_EQ(Search(SearchTarget::kMainText, u"善也"), Hits{});
  EXPECT_EQ(Search(SearchTarget::kMainText, u"君子"), (Hits{{0, 1}}));
  EXPECT_EQ(Search(SearchTarget::kAnnotations, u"君子"), Hits{});
  // Punctuation takes a position: 鳩 and 在 are two apart.
  EXPECT_EQ(Search(SearchTarget::kFullText, u"鳩在"), Hits{});
  EXPECT_EQ(Search(SearchTarget::kFullText, u"鳩?在"), (Hits{{0, 1}}));
  // Nothing matches across a paragraph or from main text into a note.
  EXPECT_EQ(Search(SearchTarget::kFullText, u"洲窈"), Hits{});
  EXPECT_EQ(Search(SearchTarget::kFullText, u"洲*窈"), Hits{});
  EXPECT_EQ(Search(SearchTarget::kFullText, u"女*淑"), Hits{});
  // Variant folding: 國 (a note of page 1) and 国 (page 2) find each other.
  EXPECT_EQ(Search(SearchTarget::kFullText, u"国"), (Hits{{2, 1}}));
  EXPECT_EQ(Search(SearchTarget::kFullText, u"国", true), (Hits{{1, 1}, {2, 1}}));
  EXPECT_EQ(Search(SearchTarget::kMainText, u"國", true), (Hits{{2, 1}}));
}

// --- bad input and limits

struct Failure {
  const char* what;
  std::string expectedInMessage;
};

// Runs `build` into a directory that already holds a corpus and checks that
// it fails with `expected` in its message and leaves that corpus as it was.
void ExpectFailureKeepsCorpus(const std::function<void(const fs::path&)>& build, const std::string& expected) {
  ScratchDir dir;
  WriteText(dir / "source.json", SmallSource().dump());
  {
    CorpusBuilder builder(kGroups);
    ReadJsonSource(dir / "source.json", builder);
    builder.Write(dir.path());
  }
  const std::string before = dir.Read(FileListTextName()) + dir.Read(IndexPostingName()) + dir.Read(kCatalogueFileName);
  try {
    build(dir.path());
    ADD_FAILURE() << "no error; expected one mentioning " << expected;
  } catch (const BuildError& e) {
    EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
  }
  EXPECT_TRUE(dir.Read(FileListTextName()) + dir.Read(IndexPostingName()) + dir.Read(kCatalogueFileName) == before)
      << "the corpus changed";
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().filename().string().rfind(".codexa-build", 0), std::string::npos) << "temporary left behind";
  }
}

TEST(BuilderErrors, MalformedSourcesNameThePlace) {
  const std::pair<std::string, std::string> cases[] = {
      {R"({"categories": [{"name": "經部", "works": [)", "malformed JSON"},
      {"\xff\xfe{}", "malformed JSON"},
      {R"([1, 2])", "top level"},
      {R"({"categories": [{"name": "甲", "works": [{"name": "乙", "volumes": [{"name": "丙", "pages": [{"paragraphs": [7]}]}]}]}]})",
       "categories[0].works[0].volumes[0].pages[0].paragraphs[0]"},
      {R"({"categories": [{"name": "甲", "works": [{"volumes": []}]}]})", "categories[0].works[0]: expected a string \"name\""},
      {R"({"categories": [{"name": "甲\\乙", "works": []}]})", "backslash"},
      {R"({"categories": [{"name": "甲", "works": [{"name": "乙", "volumes": []}]}]})", "no pages"},
  };
  for (const auto& [source, expected] : cases) {
    ExpectFailureKeepsCorpus(
        [&](const fs::path& out) {
          WriteText(out / "bad.json", source);
          CorpusBuilder builder(kGroups);
          ReadJsonSource(out / "bad.json", builder);
          builder.Write(out);
        },
        expected);
  }
}

// A builder with one volume open.
CorpusBuilder& OpenVolume(CorpusBuilder& builder, std::string_view volume = "卷") {
  builder.StartCategory("部");
  builder.StartWork("書");
  builder.StartVolume(volume);
  return builder;
}

TEST(BuilderErrors, LimitsAreCheckedBeforeWriting) {
  const PageContent page{"題", {MainParagraph("天地玄黃")}};
  const std::pair<std::function<void(const fs::path&)>, std::string> cases[] = {
      {[&](const fs::path& out) {
         // Each name is within the catalogue's 99 units, the joined name is not.
         std::string name;
         for (int i = 0; i < 33; ++i) name += "頁";
         CorpusBuilder builder({});
         builder.StartCategory(name);
         builder.StartWork(name);
         builder.StartVolume(name);
         builder.AddPage(page);
         builder.Write(out);
       },
       "stored-name length"},
      {[&](const fs::path& out) {
         CorpusBuilder builder({});
         OpenVolume(builder, std::string(100, 'x'));
         builder.Write(out);
       },
       "catalogue name length"},
      {[&](const fs::path& out) {
         CorpusBuilder builder({});
         OpenVolume(builder);
         for (int i = 0; i <= 65535; ++i) builder.AddPage({"", {MainParagraph("字")}});
         builder.Write(out);
       },
       "file numbers"},
      {[&](const fs::path& out) {
         CorpusBuilder builder({});
         OpenVolume(builder);
         builder.AddPage({"", std::vector<Paragraph>(4200, MainParagraph("字"))});
         builder.Write(out);
       },
       "positions"},
      {[&](const fs::path& out) {
         // 70,000 neighbours: one byte of delta each, past the 16-bit length.
         std::string text;
         for (int i = 0; i < 70000; ++i) text += "之";
         CorpusBuilder builder({});
         OpenVolume(builder).AddPage({"", {MainParagraph(text)}});
         builder.Write(out);
       },
       "position bytes: 部\\書\\卷\\0001.htm holds too many occurrences of \"之\""},
      {[&](const fs::path& out) {
         CorpusBuilder builder(std::vector<std::vector<uint32_t>>(11936, {0x4E00}));
         OpenVolume(builder).AddPage(page);
         builder.Write(out);
       },
       "group codes"},
      {[&](const fs::path& out) {
         CorpusBuilder builder({}, {.maxPages = 2});
         OpenVolume(builder);
         for (int i = 0; i < 3; ++i) builder.AddPage(page);
         builder.Write(out);
       },
       "page count"},
      {[&](const fs::path& out) {
         CorpusBuilder builder({}, {.maxTextBytes = 1500});
         OpenVolume(builder);
         for (int i = 0; i < 3; ++i) builder.AddPage(page);
         builder.Write(out);
       },
       "text file size"},
  };
  for (const auto& [build, expected] : cases) ExpectFailureKeepsCorpus(build, expected);
}

TEST(BuilderCatalogue, EntriesWithoutPagesAreLeftOutAndNamed) {
  ScratchDir dir;
  CorpusBuilder builder({});
  builder.StartCategory("集部");
  builder.StartWork("唐詩");
  builder.StartVolume("空");
  builder.StartVolume("卷一");
  builder.AddPiece({"春曉", {MainParagraph("春眠不覺曉")}});
  builder.StartWork("無卷");
  builder.StartCategory("史部");
  builder.StartCategory("子部");
  builder.StartWork("空書");
  builder.StartVolume("空卷");
  const BuildSummary summary = builder.Write(dir.path());
  EXPECT_EQ(summary.droppedEmptyNodes, 6u);
  // The highest of them only: a category's own works and volumes go with it.
  EXPECT_EQ(summary.leftOut, (std::vector<std::string>{"集部\\唐詩\\空", "集部\\無卷", "史部", "子部"}));
  CCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(dir / kCatalogueFileName, {}));
  EXPECT_EQ(catalogue.NodeCount(), 4);
}

TEST(BuilderPieces, PiecesFillPagesWithinTheirVolume) {
  ScratchDir dir;
  CorpusBuilder builder({});
  OpenVolume(builder, "甲");
  builder.AddPiece({"春曉", {MainParagraph("春眠不覺曉")}});
  builder.AddPiece({"", {MainParagraph("處處聞啼鳥")}});
  PageContent m_long{"長", {}};
  for (int i = 0; i < 10; ++i) m_long.paragraphs.push_back(MainParagraph(std::string(100, 'x')));
  builder.AddPiece(std::move(m_long));  // 501 characters on one page, the rest on the next
  builder.AddPiece({"夜", {MainParagraph("夜來風雨聲")}});
  builder.StartVolume("乙");
  builder.AddPiece({"花", {MainParagraph("花落知多少")}});
  builder.AddPage({"頁", {MainParagraph("一頁")}});
  EXPECT_EQ(builder.Write(dir.path()).pages, 5u);

  CFileList list;
  ASSERT_TRUE(list.Open(dir.path(), kCorpusNameUtf16));
  const std::pair<const char*, std::vector<const char*>> expected[] = {
      {"部\\書\\甲\\0001.htm", {"春眠不覺曉", "處處聞啼鳥"}},
      {"部\\書\\甲\\0002.htm", {"<h4>長</h4>"}},
      {"部\\書\\甲\\0003.htm", {"長（二）", "夜來風雨聲"}},
      {"部\\書\\乙\\0001.htm", {"花落知多少"}},
      {"部\\書\\乙\\0002.htm", {"一頁"}},
  };
  ASSERT_EQ(list.GetPageCount(), std::size(expected));
  for (uint32_t p = 0; p < list.GetPageCount(); ++p) {
    std::string html, name;
    ASSERT_TRUE(list.ReadPageAndName(p, html, name));
    EXPECT_EQ(name, expected[p].first);
    for (const char* text : expected[p].second) EXPECT_NE(html.find(text), std::string::npos) << p << " " << text;
  }

  CIndex index;
  ASSERT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
  const auto pagesOf = [&](std::u16string query) {
    index.SearchAnd(query, false);
    return index.GetPageArray();
  };
  EXPECT_EQ(pagesOf(u"雨聲"), std::vector<uint32_t>{2});
  // The last line of one piece and the first of the next are not neighbours.
  EXPECT_TRUE(pagesOf(u"曉處").empty());
}

TEST(BuilderCommand, ReportsErrorsAndBuildsGoodSources) {
  ScratchDir dir;
  WriteText(dir / "bad.json", "{\"categories\": [");
  WriteText(dir / "good.json", SmallSource().dump());
  const auto run = [&](const std::string& source, const std::string& log) {
    const std::string command = std::string(CODEXA_BUILD_TOOL) + " " + (dir / source).string() + " " +
                                (dir / "out").string() + " >" + (dir / log).string() + " 2>&1";
    return WEXITSTATUS(std::system(command.c_str()));
  };
  EXPECT_EQ(run("bad.json", "bad.log"), 1);
  EXPECT_NE(dir.Read("bad.log").find("malformed JSON"), std::string::npos) << dir.Read("bad.log");
  EXPECT_FALSE(fs::exists(dir / "out" / FileListHeaderName()));
  EXPECT_EQ(run("good.json", "good.log"), 0);
  EXPECT_NE(dir.Read("good.log").find("Built 3 pages"), std::string::npos) << dir.Read("good.log");
  EXPECT_TRUE(fs::exists(dir / "out" / FileListHeaderName()));
}

// Runs codexa-build with `args` in `dir`; its exit status, and its output in "log".
int RunBuilder(const ScratchDir& dir, const std::string& args) {
  const std::string command =
      "cd " + dir.path().string() + " && " + CODEXA_BUILD_TOOL + " " + args + " >log 2>&1";
  return WEXITSTATUS(std::system(command.c_str()));
}

TEST(BuilderCommand, UsageErrorsSayWhatIsWrong) {
  ScratchDir dir;
  const std::pair<const char*, const char*> cases[] = {
      {"--variants", "--variants needs a folder"},
      {"--texts --default src out", "--default and --texts exclude each other"},
      {"--texts src", "needs SOURCE and OUTDIR"},
      {"--texts a b c", "needs SOURCE and OUTDIR"},
      {"-t src out", "unknown option -t"},
  };
  for (const auto& [args, said] : cases) {
    EXPECT_EQ(RunBuilder(dir, args), 2) << args;
    EXPECT_NE(dir.Read("log").find(said), std::string::npos) << args << ": " << dir.Read("log");
    EXPECT_NE(dir.Read("log").find("usage: codexa-build"), std::string::npos) << args;
  }
}

TEST(BuilderCommand, AnOutputThatCannotBeMadeStopsTheBuildBeforeTheSourceIsRead) {
  ScratchDir dir;
  fs::create_directories(dir / "src" / "部" / "書");
  WriteText(dir / "src" / "部" / "書" / "卷.txt", "天地玄黃");
  WriteText(dir / "file", "");
  EXPECT_EQ(RunBuilder(dir, "--texts src file/out"), 1);
  const std::string log = dir.Read("log");
  EXPECT_NE(log.find("output: cannot create the directory file/out"), std::string::npos) << log;
  EXPECT_EQ(log.find("Read 1 text files"), std::string::npos) << log;
}

TEST(BuilderOutput, LeftoversOfADeadBuildAreRemoved) {
  ScratchDir dir;
  // A build that died midway left its temporary folder; its process is gone.
  fs::create_directory(dir / ".codexa-build.999999999");
  WriteText(dir / ".codexa-build.999999999" / FileListTextName(), "partial");
  WriteText(dir / "source.json", SmallSource().dump());
  CorpusBuilder builder(kGroups);
  ReadJsonSource(dir / "source.json", builder);
  builder.Write(dir.path());
  EXPECT_FALSE(fs::exists(dir / ".codexa-build.999999999"));
  EXPECT_TRUE(fs::exists(dir / FileListTextName()));
}

}  // namespace
}  // namespace codexa::build
