// Writes the seed corpora of the fuzz targets, one folder per target under
// the folder given, from small valid corpora made with the corpus writer:
//   fuzz_seedgen fuzz/seeds
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "base/unicode.h"
#include "corpus/catalogueformat.h"
#include "engine/indexformat.h"
#include "engine/ngramtable.h"
#include "engine/variants.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/indexcodes.h"
#include "fuzz/ngramzones.h"
#include "session/bookmarks.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"
#include "writer/textcorpus.h"

namespace {

namespace fs = std::filesystem;
using codexa::fuzz::FuzzInputBuilder;
using codexa::fuzz::Utf16Bytes;
using codexa::writer::ScratchDir;

fs::path g_seeds;

void Seed(const std::string& target, const std::string& name, const FuzzInputBuilder& input) {
  fs::create_directories(g_seeds / target);
  std::ofstream(g_seeds / target / name, std::ios::binary).write(input.bytes().data(), input.bytes().size());
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  Utf16ToUtf8(text, out);
  return out;
}

// A stored page as the builder writes them: title, two cells, an annotation.
std::string PageHtml(std::u16string_view first, std::u16string_view second, std::u16string_view note) {
  return "<html><head><meta charset=utf-8><title>" + Utf8(first.substr(0, 2)) +
         "</title></head><body><table><tr><TD width=80>" + Utf8(first) + "<br><font size=-1 color=\"#993366\">" +
         Utf8(note) + "</font></TD><TD>" + Utf8(second) + "<p>" + Utf8(first) + "<h4>" + Utf8(second) +
         "</TD></tr></table></body></html>";
}

void FileListSeeds() {
  const std::vector<codexa::writer::StoredPage> pages = {
      {"\xE7\xB6\x93\xE9\x83\xA8\\\xE5\x8D\xB7\xE4\xB8\x80\\0001.htm", PageHtml(u"一丁丂", u"七丄", u"丁")},
      {"\xE7\xB6\x93\xE9\x83\xA8\\\xE5\x8D\xB7\xE4\xB8\x80\\0002.htm", PageHtml(u"丁七", u"一丂丁", u"")},
      {"vol\\x\\5.a.b", ""},
  };
  for (uint32_t nameLength : {100u, 260u}) {
    ScratchDir dir;
    std::string error;
    if (!codexa::writer::WriteFileList(dir.path(), kCorpusName, pages, nameLength, error))
      throw std::runtime_error(error);
    Seed("filelist", "names" + std::to_string(nameLength),
         FuzzInputBuilder()
             .U32(0)
             .U32(2)
             .Byte(0)
             .Chunk(Utf16Bytes(u"丁 一\u3000七"))
             .Chunk(dir.Read(FileListHeaderName()))
             .Rest(dir.Read(FileListTextName())));
  }
}

// Query picks (see alphabet.h): 0-7 letters, 8 '?', 9 '*', 10 space.
std::string Picks(std::initializer_list<uint8_t> picks) { return std::string(picks.begin(), picks.end()); }

void IndexSeeds() {
  const std::vector<std::vector<uint32_t>> groups = {{0x4E00, 0x4E01}, {0x4E02, 0x4E03}};
  codexa::writer::TextCorpusWriter corpus(groups);
  corpus.AddPage(U"\u4E00\u4E01\u4E02\u4E00\u4E01");
  corpus.AddPage(U"\u4E03\u4E02");
  // Lists of more than a hundred records, so that they get skip tables.
  for (int p = 0; p < 150; ++p) corpus.AddPage(p % 5 ? U"\u4E00\u4E01\u4E02\u4E03\u4E00" : U"\u4E03\u4E00");
  ScratchDir dir;
  std::string error;
  if (!corpus.Write(dir.path(), {.interleave = true, .seed = 3}, error)) throw std::runtime_error(error);
  const std::string header = dir.Read(IndexHeaderName());

  struct Query {
    const char* name;
    uint8_t flags;
    std::string picks;
  };
  const Query queries[] = {{"and", 0, Picks({0, 1, 10, 2})},
                           {"or-variants", 3, Picks({0, 8, 2, 10, 3})},
                           {"star-render", 6, Picks({0, 9, 1, 10, 2, 9, 9, 0})}};
  for (const Query& query : queries) {
    FuzzInputBuilder input;
    input.Byte(query.flags).Chunk(query.picks);
    for (int32_t code : codexa::fuzz::kListedCodes) {
      const auto read = [&](size_t offset) {
        codexa::fuzz::FuzzInput number(reinterpret_cast<const uint8_t*>(header.data() + offset), 4);
        return number.U32();
      };
      input.U32(read(FirstBlockEntryAt(code))).U32(read(LastPageEntryAt(code)));
      input.U16(static_cast<uint16_t>(read(SideFormatEntryAt(code))));
      input.U32(read(SideLocationEntryAt(code)));
    }
    input.Chunk(dir.Read(kVariantFileName)).Chunk(header.substr(kHeaderTablesSize)).Rest(dir.Read(IndexPostingName()));
    Seed("index", query.name, input);
  }
}

void VariantSeeds() {
  const std::string lookups = FuzzInputBuilder().U32(0x4E00).U32(0x4E04).U32(0x20000).U32(0).bytes();
  Seed("variants", "crlf", FuzzInputBuilder().Chunk(Picks({0, 1, 10, 2, 3, 8, 9})).Chunk(lookups).Rest(
                               "4E00,4E01\r\n0x4e02,4E03\n\r\n,,\n20000,4E00,  +4E05\n"));
  Seed("variants", "many-forms", FuzzInputBuilder().Chunk(Picks({0, 0, 0, 0, 1, 1, 1, 1, 10, 0, 1})).Chunk(lookups).Rest(
                                     "4E00,4E01,4E02,4E03,4E04\n4E01,4E05,4E06\n"));
}

void CatalogueSeeds() {
  ScratchDir dir;
  std::string error;
  const std::vector<codexa::writer::CatalogueRecord> records = {
      {u"經部", 1, 1, 5, 1}, {u"論語", 2, 1, 4, 1}, {u"卷一", 3, 1, 2, 1}, {u"卷二", 3, 3, 2, 1},
      {u"孟子", 2, 5, 1, 1}, {u"卷一", 3, 5, 1, 1}, {u"集部", 1, 6, 2, 7}, {u"楚辭", 2, 6, 2, 7},
      {u"卷一", 3, 6, 2, 7}, {u"孤", 3, 9, 1, 1}};
  if (!codexa::writer::WriteCatalogue(dir.path(), records, error)) throw std::runtime_error(error);
  FuzzInputBuilder input;
  input.Chunk(dir.Read(kCatalogueFileName));
  for (uint32_t page : {0u, 3u, 2u, 5u, 6u, 4u, 100u}) input.U32(page).U32(page + 1);
  Seed("catalogue", "two-categories", input);
}

void RenderSeeds() {
  const std::string page = PageHtml(u"一丁丂丁一丂", u"一七丁丂一", u"丁一丂") + "<TD>x</TD>";
  Seed("render", "plain", FuzzInputBuilder().Byte(0).Chunk("vol\\0002.htm").Chunk(Picks({0, 1, 10, 2})).Rest(page));
  Seed("render", "wildcards",
       FuzzInputBuilder().Byte(1).Chunk("vol\\0003.htm").Chunk(Picks({0, 8, 2, 10, 1, 9, 0, 11, 9, 8})).Rest(page));
  Seed("render", "notes", FuzzInputBuilder().Byte(2).Chunk("0004").Chunk(Picks({1, 10, 0, 10, 1})).Rest(page));
}

void QuerySeeds() {
  const std::u16string queries[] = {u"一丁 丂", u"一?丁 \U00020000", u"一*丁*丂", u"**一　丁?", u"丂\xD800丁 \xDC00",
                                    u"一\u3002丁 あ豈"};
  for (int i = 0; i < static_cast<int>(std::size(queries)); ++i) {
    Seed("query", "query" + std::to_string(i), FuzzInputBuilder().Byte(i % 2).Rest(Utf16Bytes(queries[i])));
  }
}

// Four queries (AND, OR with folding, a four-character run, OR of two
// keywords), then the edits of each seed (see ngramzones.h).
void NgramTableSeeds() {
  FuzzInputBuilder queries;
  queries.Byte(3);
  const std::pair<uint8_t, std::string> picks[] = {
      {0, Picks({0, 1, 10, 2})}, {3, Picks({1, 2, 3})}, {2, Picks({4, 5, 6, 7})}, {1, Picks({0, 10, 7})}};
  for (const auto& [flags, units] : picks) queries.Byte(flags).Byte(static_cast<uint8_t>(units.size())).Rest(units);
  struct Edit {
    codexa::fuzz::NgramZone zone;
    uint16_t index;
    uint32_t value;
  };
  const std::pair<const char*, std::vector<Edit>> seeds[] = {
      {"intact", {}},
      {"header-magic", {{codexa::fuzz::kHeaderWord, 0, 0}}},
      {"single-bound", {{codexa::fuzz::kSingleEntry, 1, 0x00FFFFFF}}},
      {"group-bound", {{codexa::fuzz::kGroupWord, 1, 0x00FFFFFF}, {codexa::fuzz::kGroupStartEntry, 0, 0x7FFFFFFF}}},
      {"directory-entry", {{codexa::fuzz::kDirectoryByte, 3, 0xFF}, {codexa::fuzz::kDirectoryByte, 40, 0x02}}},
      {"list-head", {{codexa::fuzz::kListByte, 1, 0x21}, {codexa::fuzz::kListByte, 30, 0xC0}}},
      {"cut-padding", {{codexa::fuzz::kCut, 0, 3}}},
      {"cut-lists", {{codexa::fuzz::kCut, 0, 200}, {codexa::fuzz::kTableEntry, 0, kNgramFormat}}},
  };
  for (const auto& [name, edits] : seeds) {
    FuzzInputBuilder input = queries;
    for (const Edit& edit : edits) input.Byte(edit.zone).U16(edit.index).U32(edit.value);
    Seed("ngramtable", name, input);
  }
}

// A file the reader writes, one of each kind with escapes, and one cut
// short in its last line.
void BookmarkSeeds() {
  CBookmarkList list;
  list.Add({BookmarkKind::kContentsPage, u"《詩經》卷一、第2頁、經部", u"經部\\詩經\\卷一", 2, {}});
  list.Add({BookmarkKind::kHitPage, u"【明月　清風】100%", u"集部\\唐\t詩\\卷一", 107,
            {u"明月　清風", SearchMode::kOr, DisplayCode::kAnnotations, false}});
  const std::string text = list.Save();
  Seed("bookmarks", "two-kinds", FuzzInputBuilder().Rest(text));
  Seed("bookmarks", "cut-short", FuzzInputBuilder().Rest(text.substr(0, text.size() - 7)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SEED-FOLDER\n", argv[0]);
    return 2;
  }
  g_seeds = argv[1];
  FileListSeeds();
  IndexSeeds();
  VariantSeeds();
  CatalogueSeeds();
  RenderSeeds();
  QuerySeeds();
  NgramTableSeeds();
  BookmarkSeeds();
  return 0;
}
