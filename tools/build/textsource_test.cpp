// A folder of plain-text files through the builder: its layout becomes the
// catalogue, lines become paragraphs, bracketed text annotations, long
// volumes several pages; bad bytes and names end in an error naming the file.
#include "tools/build/textsource.h"

#include <gtest/gtest.h>

#include "corpus/catalogue.h"
#include "corpus/catalogueformat.h"
#include "corpus/filelist.h"
#include "engine/index.h"
#include "tools/build/pagelayout.h"
#include "tools/build/utf8.h"
#include "writer/scratchdir.h"

namespace codexa::build {
namespace {

namespace fs = std::filesystem;
using writer::ScratchDir;

// A piece as "title|paragraph|paragraph", a paragraph's annotation runs in [].
std::string Spelled(const PageContent& piece) {
  std::string out = piece.title;
  for (const Paragraph& paragraph : piece.paragraphs) {
    out += "|";
    for (const Run& run : paragraph.runs) out += run.kind == RunKind::kAnnotation ? "[" + run.text + "]" : run.text;
  }
  return out;
}

TEST(VolumeText, LinesHeadingsAndAnnotations) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}},
      {"\n \n\t\n", {}},
      {"床前明月光\n疑是地上霜", {"|床前明月光|疑是地上霜"}},
      // A byte-order mark, CR LF line ends and the spaces around a line go.
      {"\xEF\xBB\xBF　　床前\r\n\r\n  地上霜 \r\n", {"|床前|地上霜"}},
      {"# 靜夜思\n（李白）\n床前(一作牀前)明月光", {"靜夜思|[（李白）]|床前[(一作牀前)]明月光"}},
      {"序\n#春曉\n春眠\n#  \n無題", {"|序", "春曉|春眠", "|無題"}},
      {"# 甲\n# 乙\n文", {"甲", "乙|文"}},
      // A bracket never closed is text.
      {"子曰（未完", {"|子曰（未完"}},
      // A lone CR ends a line too, as old editors save them.
      {"# 題\r床前\r\r地上霜\r", {"題|床前|地上霜"}},
      // A bare "#" with nothing after it adds no empty piece of its own.
      {"#\n# \n甲\n#\n", {"|甲"}},
  };
  for (const auto& [text, expected] : cases) {
    std::vector<std::string> pieces;
    for (const PageContent& piece : ParseVolumeText(text)) pieces.push_back(Spelled(piece));
    EXPECT_EQ(pieces, expected) << text;
  }
}

TEST(VolumeText, NamesInNaturalOrder) {
  const std::pair<const char*, const char*> ordered[] = {
      {"2 卷", "10 卷"}, {"卷2", "卷10"}, {"a", "b"}, {"a", "a1"}, {"09", "10"}, {"卷一", "卷二"}};
  for (const auto& [first, second] : ordered) {
    EXPECT_TRUE(NaturalLess(first, second)) << first << " < " << second;
    EXPECT_FALSE(NaturalLess(second, first)) << second << " < " << first;
  }
  EXPECT_FALSE(NaturalLess("卷", "卷"));
  EXPECT_NE(NaturalLess("01", "1"), NaturalLess("1", "01"));
}

TEST(VolumeText, InvalidUtf8IsFound) {
  const std::pair<std::string, size_t> cases[] = {
      {"明月", std::string::npos},
      {"\xEF\xBF\xBD", std::string::npos},  // U+FFFD itself is text
      {"\xF0\x9F\x98\x80", std::string::npos},
      {"ab\xFF", 2},
      {"明\xE6\x9C", 3},             // cut short
      {"\xC0\xAF", 0},               // overlong
      {"a\xE0\x80\xAF", 1},          // overlong
      {"\xED\xA0\x80", 0},           // a surrogate
      {"\xF4\x90\x80\x80", 0},       // beyond U+10FFFF
      {"\xB6\xAB\xCE\xF7", 0},       // GBK
  };
  for (const auto& [text, offset] : cases) EXPECT_EQ(FindInvalidUtf8(text), offset) << text;
}

void WriteFile(const fs::path& file, std::string_view text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// Paragraphs of 50 characters: 30 of them are more than two pages.
std::string LongVolume() {
  std::string text = "# 長篇\n";
  for (int i = 0; i < 30; ++i) {
    for (int k = 0; k < 49; ++k) text += "文";
    text += "。\n";
  }
  return text;
}

// A volume name within the catalogue's 99 units whose stored page name
// ("集部\唐詩\NAME\0001.htm") passes 259 bytes.
std::string LongName() {
  std::string name;
  for (int i = 0; i < 80; ++i) name += "長";
  return name;
}

class TextFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(m_dir / "src/集部/唐詩/10 卷十.txt", "# 春曉\n（孟浩然）\n春眠不覺曉");
    WriteFile(m_dir / "src/集部/唐詩/2 卷二.txt", "# 靜夜思\n床前明月光（一作看月光）");
    WriteFile(m_dir / "src/集部/唐詩/notes.md", "not a volume");
    WriteFile(m_dir / "src/集部/唐詩/.hidden.txt", "hidden");
    WriteFile(m_dir / "src/經部/論語/學而.txt", LongVolume());
    WriteFile(m_dir / "src/經部/stray.txt", "not in a work");
    WriteFile(m_dir / "src/README.txt", "not in a category");
  }

  TextSourceReport Build() {
    CorpusBuilder builder({});
    Progress progress;
    TextSourceReport report = ReadTextSource(m_dir / "src", builder, progress);
    builder.Write(m_dir / "out");
    return report;
  }

  ScratchDir m_dir;
};

TEST_F(TextFolder, FoldersBecomeTheCatalogueInNaturalOrder) {
  const TextSourceReport report = Build();
  EXPECT_EQ(report.files, 3u);
  EXPECT_EQ(report.passedOver,
            (std::vector<std::string>{"README.txt", "經部/stray.txt", "集部/唐詩/notes.md"}));
  CCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(m_dir / "out" / kCatalogueFileName, {}));
  std::vector<std::u16string> names;
  for (int record = 1; record < catalogue.NodeCount(); ++record) names.push_back(catalogue.Record(record).Name());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"經部", u"論語", u"學而", u"集部", u"唐詩", u"2 卷二", u"10 卷十"}));
}

TEST_F(TextFolder, LongVolumesAreCutAtParagraphEndsToThePageBudget) {
  Build();
  CFileList list;
  ASSERT_TRUE(list.Open(m_dir / "out", kCorpusNameUtf16));
  // 30 paragraphs of 50 and a title: 11 a page (title included) up to 600.
  ASSERT_EQ(list.GetPageCount(), 5u);
  std::string html, name;
  ASSERT_TRUE(list.ReadPageAndName(2, html, name));
  EXPECT_EQ(name, "經部\\論語\\學而\\0003.htm");
  EXPECT_NE(html.find("<h4>長篇（三）</h4>"), std::string::npos);
}

TEST_F(TextFolder, BracketsAreAnnotationsForEveryTarget) {
  Build();
  const auto pages = [&](SearchTarget target, std::u16string query) {
    CIndex index;
    EXPECT_TRUE(index.Open(m_dir / "out", kCorpusNameUtf16, target));
    index.SearchAnd(query, false);
    return index.GetPageArray().size();
  };
  EXPECT_EQ(pages(SearchTarget::kFullText, u"看月光"), 1u);
  EXPECT_EQ(pages(SearchTarget::kAnnotations, u"看月光"), 1u);
  EXPECT_EQ(pages(SearchTarget::kMainText, u"看月光"), 0u);
  EXPECT_EQ(pages(SearchTarget::kMainText, u"明月光"), 1u);
  EXPECT_EQ(pages(SearchTarget::kAnnotations, u"孟浩然"), 1u);
  EXPECT_EQ(pages(SearchTarget::kAnnotations, u"明月光"), 0u);
}

TEST_F(TextFolder, BadFilesAndNamesAreNamedInTheError) {
  const std::pair<std::string, std::string> cases[] = {
      {"集部/唐詩/3 卷三.txt", "床前\n明月\xB9\xE2"},  // not UTF-8 on line 2
      {"集部/唐詩/4 卷四.txt", "床前\r明月\xB9\xE2"},  // the same with a lone CR
      {"集部/唐詩/\xB9\xE2.txt", "明月"},
      {std::string("集部/唐詩/") + std::string(100, 'x') + ".txt", "明月"},
      {"集部/唐詩/卷\\四.txt", "明月"},
      // A page's limits are met when the volume ends: followed by another
      // volume, and as the very last one.
      {"集部/唐詩/1 " + LongName() + ".txt", "明月"},
      {"集部/唐詩/99 " + LongName() + ".txt", "明月"},
  };
  const std::string expected[] = {
      "texts: 集部/唐詩/3 卷三.txt is not UTF-8 (line 2, byte 7)",
      "texts: 集部/唐詩/4 卷四.txt is not UTF-8 (line 2, byte 7)",
      "is not UTF-8",
      "texts: 集部/唐詩/" + std::string(100, 'x') + ".txt: catalogue name length",
      "backslash",
      "texts: 集部/唐詩/1 " + LongName() + ".txt: stored-name length",
      "texts: 集部/唐詩/99 " + LongName() + ".txt: stored-name length",
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const fs::path file = m_dir / "src" / cases[i].first;
    WriteFile(file, cases[i].second);
    try {
      Build();
      ADD_FAILURE() << "no error for " << cases[i].first;
    } catch (const BuildError& e) {
      EXPECT_NE(std::string(e.what()).find(expected[i]), std::string::npos) << e.what();
    }
    fs::remove(file);
  }
  EXPECT_FALSE(fs::exists(m_dir / "out")) << "nothing written";
}

TEST(TextSourceFolder, MissingFolderIsAnError) {
  ScratchDir dir;
  CorpusBuilder builder({});
  Progress progress;
  EXPECT_THROW(ReadTextSource(dir / "none", builder, progress), BuildError);
}

}  // namespace
}  // namespace codexa::build
