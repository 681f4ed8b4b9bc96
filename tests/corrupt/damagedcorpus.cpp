#include "tests/corrupt/damagedcorpus.h"

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>

#include "base/unicode.h"
#include "corpus/catalogueformat.h"
#include "engine/codeconverter.h"
#include "engine/indexformat.h"
#include "engine/variants.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"
#include "writer/textcorpus.h"

namespace codexa::corrupt {

namespace fs = std::filesystem;

const std::vector<std::string> kDataFiles = {FileListHeaderName(),
                                             FileListTextName(),
                                             IndexHeaderName(),
                                             IndexPostingName(),
                                             IndexHeaderName(SearchTarget::kMainText),
                                             IndexPostingName(SearchTarget::kMainText),
                                             IndexHeaderName(SearchTarget::kAnnotations),
                                             IndexPostingName(SearchTarget::kAnnotations),
                                             kVariantFileName,
                                             kCatalogueFileName};

namespace {

struct Page {
  const char* name;
  std::u32string main, notes;
};

// Two works of one category; the last page repeats 學 so that its lists
// run over several posting blocks.
std::vector<Page> Pages() {
  return {{"經部\\論語\\卷一\\0001.htm", U"學而時習之", U"學者覺也"},
          {"經部\\論語\\卷一\\0002.htm", U"有朋自遠方來", U"朋同類也"},
          {"經部\\論語\\卷一\\0003.htm", U"學而不思則罔", U"罔無所得"},
          {"經部\\論語\\卷一\\0004.htm", U"温故而知新", U"之"},
          {"經部\\孟子\\卷一\\0001.htm", U"孟子見梁惠王", U"王曰叟"},
          {"經部\\孟子\\卷一\\0002.htm", U"溫故学之", U"學"},
          {"經部\\孟子\\卷一\\0003.htm", std::u32string(3000, U'學') + U"而時", U"也"}};
}

const std::vector<std::vector<uint32_t>> kGroups = {{0x6E29, 0x6EAB}, {0x5B66, 0x5B78}};  // 温溫 学學

std::string Utf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) {
    const char16_t units[2] = {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                               static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
    Utf16ToUtf8(c < 0x10000 ? std::u16string(1, static_cast<char16_t>(c)) : std::u16string(units, 2), out);
  }
  return out;
}

// The stored page: its main text in the first cell with the notes set off
// as an annotation, the same again in the second.
std::string PageHtml(const Page& page) {
  const std::string cell = Utf8(page.main) + "<font size=-1 color=\"#993366\">" + Utf8(page.notes) + "</font>";
  return "<html><head><title>" + Utf8(page.main.substr(0, 2)) + "</title></head><body><table><tr><TD>" + cell +
         "</TD><TD>" + cell + "</TD></tr></table></body></html>";
}

// Writes the index of `target` from the given texts.
bool WriteTarget(const fs::path& directory, SearchTarget target, const std::vector<std::u32string>& texts,
                 std::string& error) {
  writer::TextCorpusWriter corpus(kGroups);
  for (const std::u32string& text : texts) corpus.AddPage(text, false);
  writer::ScratchDir scratch;
  if (!corpus.Write(scratch.path(), {.interleave = true, .seed = 5}, error)) return false;
  for (const std::string_view suffix : {kIndexHeaderSuffix, kIndexPostingSuffix}) {
    fs::copy_file(scratch / IndexFileName(SearchTarget::kFullText, suffix), directory / IndexFileName(target, suffix),
                  fs::copy_options::overwrite_existing);
  }
  return true;
}

std::mt19937 RandomFor(const std::string& file, const std::string& what) {
  std::seed_seq seed(file.begin(), file.end());
  std::mt19937 random(seed);
  random.discard(std::hash<std::string>{}(what) % 1000);
  return random;
}

std::string Garbage(size_t size, std::mt19937& random) {
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

std::string FlipBits(std::string bytes, const std::vector<size_t>& offsets, std::mt19937& random) {
  for (size_t offset : offsets) {
    if (offset < bytes.size()) bytes[offset] = static_cast<char>(bytes[offset] ^ (1 << (random() % 8)));
  }
  return bytes;
}

void Overwrite32(std::string& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4 && offset + i < bytes.size(); ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// The offsets that the format of `file` gives a meaning, where a cut or
// a changed value tells the most.
std::vector<size_t> Boundaries(const std::string& file) {
  constexpr size_t kTables = kHeaderTablesSize;
  constexpr size_t kEntrySize = kDefaultNameLength + kEntryNumbersSize;
  if (file.ends_with(kIndexHeaderSuffix)) return {kTables - 1, kTables, kTables + 1};
  if (file.ends_with(kIndexPostingSuffix)) return {kPostingBlockSize, kPostingBlockSize + 1};
  if (file.ends_with(kFileListHeaderSuffix)) {
    return {4, 8, kFileListHeaderSize - 1, kFileListHeaderSize, kFileListHeaderSize + kEntrySize - 1};
  }
  if (file == kCatalogueFileName) return {kNodeRecordSize, 2 * kNodeRecordSize + 100};
  return {};
}

// Values the format stores that a damaged file gets wrong on purpose: the
// lists of the searched characters in an index header, the entries of the
// file list, the numbers of the catalogue records.
std::vector<Damage> ChangedValues(const std::string& file, const std::string& bytes) {
  std::mt19937 random = RandomFor(file, "values");
  std::vector<Damage> damages;
  if (file.ends_with(kIndexHeaderSuffix)) {
    std::vector<int32_t> codes = {kFirstGroupCode, kFirstGroupCode + 1};
    for (char32_t c : U"學而時之也學") codes.push_back(CharToIndexCode(c));
    std::string firstBlocks = bytes, lastPages = bytes, chain = bytes;
    for (int32_t code : codes) {
      if (code < 0) continue;
      Overwrite32(firstBlocks, FirstBlockEntryAt(code), random() % 64);
      Overwrite32(lastPages, LastPageEntryAt(code), random() % 16 == 0 ? random() : random() % 8);
    }
    for (size_t at = kHeaderTablesSize; at + 4 <= chain.size(); at += 4) Overwrite32(chain, at, random() % 8);
    damages.push_back({"first blocks of the searched lists changed", firstBlocks});
    damages.push_back({"last pages of the searched lists changed", lastPages});
    damages.push_back({"block chain scrambled", chain});
  } else if (file == FileListHeaderName()) {
    std::string entries = bytes, counts = bytes, nameLength = bytes;
    constexpr size_t kEntrySize = kDefaultNameLength + kEntryNumbersSize;
    for (size_t entry = kFileListHeaderSize; entry + kEntrySize <= entries.size(); entry += kEntrySize) {
      Overwrite32(entries, entry + kDefaultNameLength, random() % 2 ? random() : random() % 200000);
      Overwrite32(entries, entry + kDefaultNameLength + 4, random() % 2 ? random() : random() % 20000);
    }
    Overwrite32(counts, 0, 0xFFFFFFFF);
    Overwrite32(nameLength, 4, 261);
    damages.push_back({"entries pointing anywhere", entries});
    damages.push_back({"page count too large", counts});
    damages.push_back({"name length too large", nameLength});
  } else if (file == kCatalogueFileName) {
    std::string levels = bytes, ranges = bytes;
    for (size_t record = 0; record + kNodeRecordSize <= bytes.size(); record += kNodeRecordSize) {
      Overwrite32(levels, record + 200, random() % 6 - 1);
      Overwrite32(ranges, record + 204, random() % 3 ? random() % 12 : random());
      Overwrite32(ranges, record + 208, random() % 3 ? random() % 12 - 4 : random());
    }
    damages.push_back({"levels out of order", levels});
    damages.push_back({"page ranges wrong", ranges});
  }
  return damages;
}

}  // namespace

bool WriteSmallCorpus(const fs::path& directory, std::string& error) {
  std::vector<writer::StoredPage> stored;
  std::vector<std::u32string> full, main, notes;
  for (const Page& page : Pages()) {
    stored.push_back({page.name, PageHtml(page)});
    full.push_back(page.main + U"。" + page.notes);
    main.push_back(page.main);
    notes.push_back(page.notes);
  }
  const std::vector<writer::CatalogueRecord> catalogue = {
      {u"經部", 1, 1, 7, 1}, {u"論語", 2, 1, 4, 1}, {u"卷一", 3, 1, 4, 1}, {u"孟子", 2, 5, 3, 1}, {u"卷一", 3, 5, 3, 1}};
  return WriteTarget(directory, SearchTarget::kFullText, full, error) &&
         WriteTarget(directory, SearchTarget::kMainText, main, error) &&
         WriteTarget(directory, SearchTarget::kAnnotations, notes, error) &&
         writer::WriteFileList(directory, kCorpusName, stored, kDefaultNameLength, error) &&
         writer::WriteVariantTable(directory, kGroups, error) && writer::WriteCatalogue(directory, catalogue, error);
}

std::vector<Damage> DamagesOf(const std::string& file, const std::string& bytes) {
  std::vector<Damage> damages = {{"missing", std::nullopt}, {"empty", ""}};
  std::set<size_t> cuts = {1, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1};
  for (size_t offset : Boundaries(file)) cuts.insert(offset);
  for (size_t cut : cuts) {
    if (cut > 0 && cut < bytes.size()) damages.push_back({"truncated at " + std::to_string(cut), bytes.substr(0, cut)});
  }
  std::mt19937 random = RandomFor(file, "flips");
  std::vector<size_t> anywhere(32);
  for (size_t& offset : anywhere) offset = random() % bytes.size();
  damages.push_back({"32 bits flipped", FlipBits(bytes, anywhere, random)});
  std::vector<size_t> nearBoundaries;
  for (size_t offset : Boundaries(file)) {
    for (size_t k = 0; k < 8; ++k) nearBoundaries.push_back(offset - 4 + k);
  }
  if (!nearBoundaries.empty()) damages.push_back({"bits flipped at the boundaries", FlipBits(bytes, nearBoundaries, random)});
  for (Damage& damage : ChangedValues(file, bytes)) damages.push_back(std::move(damage));
  damages.push_back({"garbage of the same size", Garbage(bytes.size(), random)});
  return damages;
}

FolderState StateOf(const fs::path& directory) {
  FolderState state;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    struct stat info {};
    ::lstat(entry.path().c_str(), &info);
    // Any write moves the modification time. (Not the change time: the
    // tests link the same files into many folders, which moves it too.)
    state[entry.path().filename().string()] = std::to_string(info.st_size) + " bytes, mode " +
                                              std::to_string(info.st_mode) + ", modified " +
                                              std::to_string(info.st_mtim.tv_sec) + "." +
                                              std::to_string(info.st_mtim.tv_nsec);
  }
  return state;
}

}  // namespace codexa::corrupt
