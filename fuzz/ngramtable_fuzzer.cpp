// A valid index whose page-count table (engine/ngramtable.h) is damaged
// part by part, opened and searched. A valid table holds two arrays of
// 100,001 entries, so the index target, which makes its files from raw
// bytes, never reaches one that validates; here every input starts from
// the table the builder wrote for a small corpus, changes some of its
// fields (fuzz/ngramzones.h) or cuts the posting file short, and puts it
// all back afterwards.
//
// Every search must end with sound result arrays, and the table read
// straight from the damaged bytes must hand out only lists inside them
// that decode to ascending pages. Where nothing but the table's header,
// its header-table entries or the length of the file past the position
// lists changed, and the table then does not validate (or validates as
// built), every result must equal that of the same corpus read without
// the table.
//
// Input: number of queries (byte: 1 + value % 4); per query flags (byte:
// 1 OR, 2 variants), number of picks (byte: value % 16) and the picks (see
// alphabet.h); then edits of seven bytes each up to the end, kMaxEdits at
// most (fuzz/ngramzones.h).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/index_testing.h"
#include "engine/indexformat.h"
#include "engine/ngramtable.h"
#include "fuzz/alphabet.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/indexcodes.h"
#include "fuzz/ngramzones.h"
#include "fuzz/require.h"
#include "fuzz/soundresult.h"
#include "writer/scratchdir.h"
#include "writer/textcorpus.h"

namespace {

namespace fz = codexa::fuzz;
using Bytes = std::vector<uint8_t>;

constexpr size_t kMaxQueries = 4;
constexpr size_t kMaxPicks = 15;
constexpr size_t kMaxEdits = 64;
constexpr size_t kEditSize = 7;
constexpr uint32_t kPageCount = 160;

// U+4E05 and U+4E07 stand in no group, so that folded keywords pair group
// codes with own codes.
const std::vector<std::vector<uint32_t>> kGroups = {{0x4E00, 0x4E01}, {0x4E02, 0x4E03}, {0x4E04, 0x4E06}};

// Pseudo-random pages over the alphabet: its first four letters on every
// page, all but the last on every ninth. The last letter stands on two
// pages far apart and one page repeats a letter 200 times, so that the
// lists carry two-byte deltas and counts too.
std::vector<std::u32string> PageTexts() {
  std::vector<std::u32string> pages;
  std::minstd_rand next(2024);
  for (uint32_t p = 0; p < kPageCount; ++p) {
    std::u32string text(next() % 40, U' ');
    for (char32_t& c : text) c = fz::kAlphabet[next() % (p % 9 == 0 ? 7 : 4)];
    pages.push_back(text);
  }
  pages[1] += fz::kAlphabet[7];
  pages[150] += fz::kAlphabet[7];
  pages[100] = std::u32string(200, fz::kAlphabet[0]);
  return pages;
}

uint32_t Little(const uint8_t* bytes, int width) {
  uint32_t value = 0;
  for (int i = 0; i < width; ++i) value |= uint32_t{bytes[i]} << (8 * i);
  return value;
}

void PutLittle(uint8_t* bytes, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteAt(int fd, const uint8_t* bytes, size_t size, size_t offset) {
  FUZZ_REQUIRE(::pwrite(fd, bytes, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size));
}

void PutInFile(int fd, size_t offset, uint32_t value, int width) {
  uint8_t bytes[4];
  PutLittle(bytes, value, width);
  WriteAt(fd, bytes, width, offset);
}

// Where the parts of the intact table lie in the posting file.
struct TableLayout {
  size_t header = 0, single = 0, groupStart = 0, groups = 0, directory = 0, lists = 0, end = 0;
  uint32_t groupCount = 0, directoryBytes = 0;
  uint64_t listBytes = 0;
};

TableLayout LayoutOf(const Bytes& postings, uint32_t location) {
  TableLayout table;
  table.header = size_t{location} * kNgramAlign;
  table.groupCount = Little(&postings[table.header + 12], 4);
  table.listBytes = Little(&postings[table.header + 16], 4) | uint64_t{Little(&postings[table.header + 20], 4)} << 32;
  table.directoryBytes = Little(&postings[table.header + 24], 4);
  table.single = table.header + kNgramHeaderSize;
  table.groupStart = table.single + (size_t{kIndexCodeCount} + 1) * 4;
  table.groups = table.groupStart + (size_t{kIndexCodeCount} + 1) * 4;
  table.directory = table.groups + (size_t{table.groupCount} + 1) * kNgramGroupSize;
  table.lists = table.directory + table.directoryBytes;
  table.end = table.lists + table.listBytes + kNgramPadding;
  return table;
}

// Entry c or c + 1 of a per-code array, c a listed code.
size_t ListedEntry(uint16_t index) {
  const size_t slot = index % (2 * std::size(fz::kListedCodes));
  return static_cast<size_t>(fz::kListedCodes[slot / 2]) + slot % 2;
}

struct Query {
  std::u16string text;
  bool orMode = false;
  bool variants = false;
};

// What one input did to the files.
struct Damage {
  std::vector<std::pair<size_t, size_t>> edited;  // offset and size in the posting file
  size_t length = 0;                              // of the posting file
  uint16_t format = 0;
  uint32_t location = 0;
  // Only the table's header, its entries and the file past the position
  // lists changed.
  bool headerOnly = true;
};

// One small corpus in two copies: one that each input damages and then
// restores, and one whose kNgramTableCode entries are zero, so that it is
// read without the table.
class Corpus {
 public:
  Corpus() {
    codexa::writer::TextCorpusWriter writer(kGroups);
    for (const std::u32string& page : PageTexts()) writer.AddPage(page);
    std::string error;
    FUZZ_REQUIRE(writer.Write(m_damagedDir.path(), {.interleave = true, .seed = 5}, error));
    const std::string header = m_damagedDir.Read(IndexHeaderName());
    const auto* headerBytes = reinterpret_cast<const uint8_t*>(header.data());
    m_nFormat = static_cast<uint16_t>(Little(headerBytes + SideFormatEntryAt(kNgramTableCode), 2));
    m_nLocation = Little(headerBytes + SideLocationEntryAt(kNgramTableCode), 4);
    const std::string postings = m_damagedDir.Read(IndexPostingName());
    m_intact.assign(postings.begin(), postings.end());
    m_damaged = m_intact;
    NgramTable table;
    FUZZ_REQUIRE(table.Open(m_intact.data(), m_intact.size(), m_nFormat, m_nLocation));
    m_table = LayoutOf(m_intact, m_nLocation);

    for (const auto& entry : std::filesystem::directory_iterator(m_damagedDir.path())) {
      std::filesystem::copy_file(entry.path(), m_plainDir / entry.path().filename().string());
    }
    const int plainHeader = ::open((m_plainDir / IndexHeaderName()).c_str(), O_WRONLY | O_CLOEXEC);
    FUZZ_REQUIRE(plainHeader >= 0);
    PutInFile(plainHeader, SideFormatEntryAt(kNgramTableCode), 0, 2);
    PutInFile(plainHeader, SideLocationEntryAt(kNgramTableCode), 0, 4);
    ::close(plainHeader);
    FUZZ_REQUIRE(m_plain.Open(m_plainDir.path(), kCorpusNameUtf16, SearchTarget::kFullText) &&
                 !CIndexTesting::NgramTableOf(m_plain).IsOpen());

    m_nHeaderFd = ::open((m_damagedDir / IndexHeaderName()).c_str(), O_WRONLY | O_CLOEXEC);
    m_nPostingFd = ::open((m_damagedDir / IndexPostingName()).c_str(), O_WRONLY | O_CLOEXEC);
    FUZZ_REQUIRE(m_nHeaderFd >= 0 && m_nPostingFd >= 0);
  }

  const std::filesystem::path& damagedDir() const { return m_damagedDir.path(); }
  const Bytes& damaged() const { return m_damaged; }
  CIndex& plain() { return m_plain; }

  // Applies the edits in `edits` to the damaged bytes.
  Damage Apply(std::string_view edits) {
    Damage damage{.length = m_intact.size(), .format = m_nFormat, .location = m_nLocation};
    for (size_t at = 0, n = 0; at + kEditSize <= edits.size() && n < kMaxEdits; at += kEditSize, ++n) {
      fz::FuzzInput edit(reinterpret_cast<const uint8_t*>(edits.data() + at), kEditSize);
      const uint8_t zone = edit.Byte() % fz::kZoneCount;
      const uint16_t index = edit.U16();
      const uint32_t value = edit.U32();
      Edit(zone, index, value, damage);
    }
    return damage;
  }

  // Puts the damage into the files.
  void Write(const Damage& damage) {
    PutInFile(m_nHeaderFd, SideFormatEntryAt(kNgramTableCode), damage.format, 2);
    PutInFile(m_nHeaderFd, SideLocationEntryAt(kNgramTableCode), damage.location, 4);
    for (const auto& [offset, size] : damage.edited) WriteAt(m_nPostingFd, &m_damaged[offset], size, offset);
    if (damage.length < m_intact.size()) FUZZ_REQUIRE(::ftruncate(m_nPostingFd, static_cast<off_t>(damage.length)) == 0);
  }

  // Brings the bytes and the posting file back to the intact ones (the
  // header entries are written by every input).
  void Restore(const Damage& damage) {
    for (const auto& [offset, size] : damage.edited) {
      std::memcpy(&m_damaged[offset], &m_intact[offset], size);
      WriteAt(m_nPostingFd, &m_intact[offset], size, offset);
    }
    if (damage.length < m_intact.size()) {
      WriteAt(m_nPostingFd, &m_intact[damage.length], m_intact.size() - damage.length, damage.length);
    }
  }

  // Whether the table still stands where it was built, with its header
  // and extent as built.
  bool AsBuilt(const Damage& damage) const {
    return damage.format == m_nFormat && damage.location == m_nLocation && damage.length >= m_table.end &&
           std::memcmp(&m_damaged[m_table.header], &m_intact[m_table.header], kNgramHeaderSize) == 0;
  }

 private:
  void Edit(uint8_t zone, uint16_t index, uint32_t value, Damage& damage) {
    const size_t groupWords = 3 * (size_t{m_table.groupCount} + 1);
    switch (zone) {
      case fz::kHeaderWord:
        return Put(m_table.header + 4 * (index % 8), value, 4, damage);
      case fz::kSingleEntry:
        damage.headerOnly = false;
        return Put(m_table.single + 4 * ListedEntry(index), value, 4, damage);
      case fz::kGroupStartEntry:
        damage.headerOnly = false;
        return Put(m_table.groupStart + 4 * ListedEntry(index), value, 4, damage);
      case fz::kGroupWord:
        damage.headerOnly = false;
        return Put(m_table.groups + 4 * (index % groupWords), value, 4, damage);
      case fz::kDirectoryByte:
        damage.headerOnly = false;
        if (m_table.directoryBytes == 0) return;
        return Put(m_table.directory + index % m_table.directoryBytes, value, 1, damage);
      case fz::kListByte:
        damage.headerOnly = false;
        return Put(m_table.lists + index % (m_table.listBytes + kNgramPadding), value, 1, damage);
      case fz::kTableEntry:
        if (index % 2 == 0) {
          damage.format = static_cast<uint16_t>(value);
        } else {
          damage.location = value;
        }
        return;
      default:
        damage.length = std::min(damage.length, m_table.end - value % (m_table.end + 1));
        if (damage.length < m_table.header) damage.headerOnly = false;
        return;
    }
  }

  void Put(size_t offset, uint32_t value, int width, Damage& damage) {
    PutLittle(&m_damaged[offset], value, width);
    damage.edited.emplace_back(offset, width);
  }

  codexa::writer::ScratchDir m_damagedDir, m_plainDir;
  Bytes m_intact, m_damaged;
  uint16_t m_nFormat = 0;
  uint32_t m_nLocation = 0;
  TableLayout m_table;
  int m_nHeaderFd = -1, m_nPostingFd = -1;
  CIndex m_plain;
};

// Looks up every listed code, every pair of them and a few codes out of
// range straight on `bytes`: a list found must be one page held in the
// directory or non-empty bytes inside them before the padding, and decode
// to ascending pages with counts, and so must a read of it for some pages.
// Answers whether the table opened.
bool CheckTable(const Bytes& bytes, uint16_t format, uint32_t location) {
  NgramTable table;
  const bool opened = table.Open(bytes.data(), bytes.size(), format, location);
  FUZZ_REQUIRE(opened == table.IsOpen());
  const auto base = reinterpret_cast<uintptr_t>(bytes.data());
  HitArrays hits;
  const auto check = [&](NgramTable::Lookup found, const PageCountList& list) {
    if (!opened) FUZZ_REQUIRE(found == NgramTable::Lookup::kUnusable);
    if (found != NgramTable::Lookup::kFound) return;
    const auto begin = reinterpret_cast<uintptr_t>(list.begin), end = reinterpret_cast<uintptr_t>(list.end);
    FUZZ_REQUIRE(list.onlyPage ? begin == end : base <= begin && begin < end && end - base + kNgramPadding <= bytes.size());
    hits.Clear();
    DecodePageCounts(list, hits);
    FUZZ_REQUIRE(hits.pages.size() == hits.counts.size());
    FUZZ_REQUIRE(std::adjacent_find(hits.pages.begin(), hits.pages.end(), std::greater_equal<>()) == hits.pages.end());
    FUZZ_REQUIRE(std::find(hits.counts.begin(), hits.counts.end(), 0u) == hits.counts.end());
    // Read again for every other page it gave (and one past the last): the
    // blocks stepped over are checked less, so only soundness is asked.
    std::vector<uint32_t> within;
    for (size_t i = 0; i < hits.size(); i += 2) within.push_back(hits.pages[i]);
    if (hits.size() != 0 && hits.pages.back() != UINT32_MAX) within.push_back(hits.pages.back() + 1);
    HitArrays wanted;
    FUZZ_REQUIRE(DecodePageCountsWithin(list, within, wanted) <= list.size());
    FUZZ_REQUIRE(wanted.pages.size() == wanted.counts.size());
    FUZZ_REQUIRE(std::adjacent_find(wanted.pages.begin(), wanted.pages.end(), std::greater_equal<>()) ==
                 wanted.pages.end());
    FUZZ_REQUIRE(std::find(wanted.counts.begin(), wanted.counts.end(), 0u) == wanted.counts.end());
    for (const uint32_t page : wanted.pages) FUZZ_REQUIRE(std::binary_search(within.begin(), within.end(), page));
    // Its pages alone: read the same way, blocks and all.
    std::vector<uint32_t> wantedPages;
    FUZZ_REQUIRE(DecodePagesWithin(list, within, wantedPages) <= list.size());
    FUZZ_REQUIRE(wantedPages == wanted.pages);
  };
  const auto single = [&](int32_t code) {
    PageCountList list;
    check(table.Single(code, list), list);
  };
  const auto pair = [&](int32_t first, int32_t second) {
    PageCountList list;
    check(table.Pair(first, second, list), list);
  };
  for (const int32_t first : fz::kListedCodes) {
    single(first);
    for (const int32_t second : fz::kListedCodes) pair(first, second);
    pair(first, -1);
    pair(first, INT32_MAX);
  }
  for (const int32_t code : {-1, kIndexCodeCount - 1, kIndexCodeCount, INT32_MAX}) {
    single(code);
    pair(code, fz::kListedCodes[0]);
  }
  return opened;
}

void Search(CIndex& index, const Query& query) {
  std::u16string text = query.text;
  if (query.orMode) {
    index.SearchOr(text, query.variants);
  } else {
    index.SearchAnd(text, query.variants);
  }
}

// Opens the damaged copy and runs the queries on it, against the copy read
// without the table where `comparable`.
void CheckSearches(Corpus& corpus, const Damage& damage, const std::vector<Query>& queries, bool tableOpened,
                   bool comparable) {
  CIndex index;
  if (!index.Open(corpus.damagedDir(), kCorpusNameUtf16, SearchTarget::kFullText)) {
    // Only a shorter posting file may keep the index from opening: the
    // table alone never does.
    FUZZ_REQUIRE(!index.IsOpen() && damage.length < corpus.damaged().size());
    return;
  }
  FUZZ_REQUIRE(CIndexTesting::NgramTableOf(index).IsOpen() == tableOpened);
  for (const Query& query : queries) {
    const int keywords = CIndex::CheckQuery(query.text);
    if (keywords == 0) {
      // A refused query leaves the last result in place (which the plain
      // copy need not share).
      const std::vector<uint32_t> pages = index.GetPageArray(), counts = index.GetCountArray();
      Search(index, query);
      FUZZ_REQUIRE(index.GetPageArray() == pages && index.GetCountArray() == counts);
      continue;
    }
    Search(index, query);
    fz::RequireSoundResult(index, !query.orMode || keywords == 1);
    if (!comparable) continue;
    Search(corpus.plain(), query);
    FUZZ_REQUIRE(index.GetPageArray() == corpus.plain().GetPageArray());
    FUZZ_REQUIRE(index.GetCountArray() == corpus.plain().GetCountArray());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Corpus corpus;

  fz::FuzzInput input(data, size);
  std::vector<Query> queries(1 + input.Byte() % kMaxQueries);
  for (Query& query : queries) {
    const uint8_t flags = input.Byte();
    std::string picks(input.Byte() % (kMaxPicks + 1), '\0');
    for (char& pick : picks) pick = static_cast<char>(input.Byte());
    query.text = fz::PickUnits(picks);
    query.orMode = flags & 1;
    query.variants = flags & 2;
  }
  const Damage damage = corpus.Apply(input.Rest());
  corpus.Write(damage);

  // The table read from the bytes as the file now holds them: a shorter
  // file gets a copy of its own length, so that any read past it is caught.
  bool tableOpened;
  if (damage.length < corpus.damaged().size()) {
    const Bytes cut(corpus.damaged().begin(), corpus.damaged().begin() + static_cast<ptrdiff_t>(damage.length));
    tableOpened = CheckTable(cut, damage.format, damage.location);
  } else {
    tableOpened = CheckTable(corpus.damaged(), damage.format, damage.location);
  }
  const bool comparable = damage.headerOnly && (!tableOpened || corpus.AsBuilt(damage));
  CheckSearches(corpus, damage, queries, tableOpened, comparable);
  corpus.Restore(damage);
  return 0;
}
