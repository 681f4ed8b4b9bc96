#include "engine/ngramtable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/indexformat.h"
#include "writer/corpuswriter.h"
#include "writer/pagecountencoder.h"
#include "writer/scratchdir.h"
#include "writer/textcorpus.h"

namespace {

using Entries = std::vector<std::pair<uint32_t, uint32_t>>;

Entries ToEntries(const HitArrays& hits) {
  Entries entries;
  for (size_t i = 0; i < hits.size(); ++i) entries.emplace_back(hits.pages[i], hits.counts[i]);
  return entries;
}

// The entries of a list held in `bytes`, decoded with the padding the
// table has after its lists.
Entries Decode(std::string bytes, uint64_t pageBound = uint64_t{1} << 32) {
  const size_t size = bytes.size();
  bytes.append(kNgramPadding, '\0');
  const auto* begin = reinterpret_cast<const uint8_t*>(bytes.data());
  HitArrays hits;
  DecodePageCounts({begin, begin + size, {}, pageBound}, hits);
  return ToEntries(hits);
}

// The entries of a list held in `bytes` whose pages `within` holds, with
// the bytes the decoder read.
Entries DecodeWithin(std::string bytes, const std::vector<uint32_t>& within, uint64_t* bytesRead = nullptr) {
  const size_t size = bytes.size();
  bytes.append(kNgramPadding, '\0');
  const auto* begin = reinterpret_cast<const uint8_t*>(bytes.data());
  HitArrays hits;
  const uint64_t read = DecodePageCountsWithin({begin, begin + size, {}, uint64_t{1} << 32}, within, hits);
  if (bytesRead != nullptr) *bytesRead = read;
  return ToEntries(hits);
}

// The pages of a list held in `bytes` that `within` holds, read without
// their counts, with the bytes the decoder read.
std::vector<uint32_t> PagesWithin(std::string bytes, const std::vector<uint32_t>& within,
                                  uint64_t* bytesRead = nullptr) {
  const size_t size = bytes.size();
  bytes.append(kNgramPadding, '\0');
  const auto* begin = reinterpret_cast<const uint8_t*>(bytes.data());
  std::vector<uint32_t> pages;
  const uint64_t read = DecodePagesWithin({begin, begin + size, {}, uint64_t{1} << 32}, within, pages);
  if (bytesRead != nullptr) *bytesRead = read;
  return pages;
}

std::vector<uint32_t> PagesOf(const Entries& entries) {
  std::vector<uint32_t> pages;
  for (const auto& entry : entries) pages.push_back(entry.first);
  return pages;
}

// The pages from 0 below `end`.
std::vector<uint32_t> PagesBelow(uint32_t end) {
  std::vector<uint32_t> pages(end);
  for (uint32_t i = 0; i < end; ++i) pages[i] = i;
  return pages;
}

// A table number.
std::string Number(uint64_t value) {
  std::string bytes;
  AppendTableNumber(value, bytes);
  return bytes;
}

std::string Bytes(std::initializer_list<uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

// The bytes the writer makes of these entries.
std::string Encoded(const Entries& entries) {
  std::vector<uint32_t> pages, counts;
  for (const auto& [page, count] : entries) {
    pages.push_back(page);
    counts.push_back(count);
  }
  std::string bytes;
  codexa::writer::AppendPageCountList(pages, counts, bytes);
  return bytes;
}

// n pages from `first`, `step` apart, each `count` times.
Entries Evenly(uint32_t first, uint32_t n, uint32_t step, uint32_t count = 1) {
  Entries entries;
  for (uint32_t i = 0; i < n; ++i) entries.emplace_back(first + i * step, count);
  return entries;
}

TEST(DecodePageCounts, ReadsWhatTheWriterWrites) {
  Entries mostlyOnes = Evenly(3, 300, 7);
  mostlyOnes[5].second = 2;
  mostlyOnes[200].second = 70000;
  Entries manyCounts = Evenly(0, 130, 2);
  for (size_t i = 0; i < manyCounts.size(); ++i) manyCounts[i].second = 1 + static_cast<uint32_t>(i % 5);
  const struct {
    const char* what;
    Entries entries;
  } cases[] = {
      {"one page", {{42, 1}}},
      {"one page, counted often", {{0, 3}}},
      {"consecutive pages over three blocks", Evenly(0, 300, 1)},
      {"exactly one block", Evenly(10, 128, 3)},
      {"a block and one more", Evenly(10, 129, 3)},
      {"mostly ones: counts flagged", mostlyOnes},
      {"many counts above one: counts packed", manyCounts},
      {"the widest steps and counts", {{0, 1}, {0xFFFFFFFE, 0x80000000}, {0xFFFFFFFF, 1}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(Encoded(c.entries)), c.entries) << c.what;
}

// Each step width, in blocks long enough to be read eight numbers at a
// time and then one by one: a first step of that width, then steps of 1;
// the counts packed at the same width where it is a count width.
TEST(DecodePageCounts, ReadsEveryWidth) {
  for (uint32_t width = 0; width <= kNgramMaxStepWidth; ++width) {
    const uint64_t gap = std::min<uint64_t>(uint64_t{1} << width, 0xFFFFFFFFu - 18);
    Entries entries = {{0, 1}};
    for (uint32_t i = 0; i < 19; ++i) entries.emplace_back(static_cast<uint32_t>(gap + i), 1);
    EXPECT_EQ(Decode(Encoded(entries)), entries) << "step width " << width;
    if (width > kNgramMaxCountWidth) continue;
    for (size_t i = 0; i < entries.size(); ++i) entries[i] = {static_cast<uint32_t>(i), i % 2 ? 1 : 1u << width};
    EXPECT_EQ(Decode(Encoded(entries)), entries) << "count width " << width;
  }
}

TEST(DecodePageCounts, ReadsHandMadeListsAndStopsAtWhatDoesNotFit) {
  const std::string fullBlock = Number(0) + Bytes({0});  // pages 0 .. 127, each once
  const struct {
    const char* what;
    std::string bytes;
    Entries expected;
  } cases[] = {
      {"consecutive pages take no step bits", Number(2) + Number(7) + Bytes({0}), {{7, 1}, {8, 1}}},
      {"counts packed", Number(2) + Number(1) + Bytes({0x40, 3, 0x2B}), {{1, 4}, {2, 6}}},
      {"counts flagged", Number(3) + Number(1) + Bytes({0x80, 2, 0b101, 0b1110}), {{1, 4}, {2, 1}, {3, 5}}},
      {"no entries", Number(0) + Number(1) + Bytes({0}), {}},
      {"more entries than the bytes can hold", Number(1000) + Number(0) + Bytes({0}), {}},
      {"entry count longer than five bytes", Bytes({0x81, 0x80, 0x80, 0x80, 0x80, 0x00}) + Number(1) + Bytes({0}), {}},
      {"step width above 32", Number(2) + Number(1) + Bytes({33, 0}), {}},
      {"count mode 3", Number(1) + Number(1) + Bytes({0xC0, 1, 0}), {}},
      {"count width above 31", Number(1) + Number(1) + Bytes({0x40, 32, 0, 0, 0, 0}), {}},
      {"count width missing", Number(1) + Number(1) + Bytes({0x40}), {}},
      {"steps past the list", Number(3) + Number(1) + Bytes({8, 1}), {}},
      {"flags past the list", Number(2) + Number(1) + Bytes({0x80, 1}), {}},
      {"flagged counts past the list", Number(2) + Number(1) + Bytes({0x80, 8, 0b11, 1}), {}},
      {"page past 32 bits", Number(2) + Number(0xFFFFFFFF) + Bytes({0}), {}},
      {"block not above the one before", Number(129) + fullBlock + Number(127) + Bytes({0}), Evenly(0, 128, 1)},
      {"block missing", Number(129) + fullBlock, Evenly(0, 128, 1)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decode(c.bytes), c.expected) << c.what;
    EXPECT_EQ(DecodeWithin(c.bytes, PagesBelow(1000)), c.expected) << c.what << ", within every page";
    EXPECT_EQ(PagesWithin(c.bytes, PagesBelow(1000)), PagesOf(c.expected)) << c.what << ", pages alone";
  }
}

// The entries whose pages `within` (ascending) holds.
Entries EntriesWithin(const Entries& entries, const std::vector<uint32_t>& within) {
  Entries kept;
  for (const auto& entry : entries) {
    if (std::binary_search(within.begin(), within.end(), entry.first)) kept.push_back(entry);
  }
  return kept;
}

// Reading a list for some pages gives the entries a whole decoding gives on
// those pages, and reads only the blocks that can hold them.
TEST(DecodePageCounts, WithinPagesReadsOnlyTheBlocksThatCanHoldThem) {
  Entries entries = Evenly(5, 1000, 1000);  // eight blocks, pages 5 .. 999005
  for (size_t i = 0; i < entries.size(); i += 7) entries[i].second = 2 + static_cast<uint32_t>(i % 3);
  std::vector<uint32_t> everyPage;
  for (const auto& entry : entries) everyPage.push_back(entry.first);
  const std::string list = Encoded(entries);
  const struct {
    const char* what;
    std::vector<uint32_t> within;
  } cases[] = {
      {"none", {}},
      {"below the first page", {0, 4}},
      {"the first page", {5}},
      {"between pages", {6, 7, 1004}},
      {"the last page of a block and the first of the next", {127005, 128005}},
      {"one in the middle", {500005}},
      {"the last page", {999005}},
      {"past the last page", {999006, 1500000}},
      {"every page", everyPage},
      {"every page and those between", PagesBelow(1000000)},
  };
  for (const auto& c : cases) {
    uint64_t bytesRead = 0, pageBytesRead = 0;
    EXPECT_EQ(DecodeWithin(list, c.within, &bytesRead), EntriesWithin(entries, c.within)) << c.what;
    EXPECT_LE(bytesRead, list.size()) << c.what;
    EXPECT_EQ(PagesWithin(list, c.within, &pageBytesRead), PagesOf(EntriesWithin(entries, c.within))) << c.what;
    EXPECT_LE(pageBytesRead, bytesRead) << c.what;
  }
  uint64_t bytesRead = 0;
  DecodeWithin(list, everyPage, &bytesRead);
  EXPECT_EQ(bytesRead, list.size()) << "every block";
  PagesWithin(list, everyPage, &bytesRead);
  EXPECT_LT(bytesRead, list.size()) << "every block's pages, without its counts";
  DecodeWithin(list, {500005}, &bytesRead);
  EXPECT_LT(bytesRead, list.size() / 3) << "one block and the heads of the others";

  // Blocks of close pages, many of them wanted: kept through a bitmap of
  // the block's pages rather than merged.
  Entries close = Evenly(3, 300, 2);
  for (size_t i = 0; i < close.size(); i += 3) close[i].second = 9;
  std::vector<uint32_t> everyFourth;
  for (uint32_t page = 1; page < 700; page += 4) everyFourth.push_back(page);
  for (const auto& within : {PagesBelow(700), everyFourth}) {
    EXPECT_EQ(DecodeWithin(Encoded(close), within), EntriesWithin(close, within)) << within.size() << " wanted";
    EXPECT_EQ(PagesWithin(Encoded(close), within), PagesOf(EntriesWithin(close, within))) << within.size();
  }

  HitArrays hits;
  EXPECT_EQ(DecodePageCountsWithin({nullptr, nullptr, 7, 10}, {6, 8}, hits), 0u);
  EXPECT_EQ(DecodePageCountsWithin({nullptr, nullptr, 7, 10}, {6, 7}, hits), 0u);
  EXPECT_EQ(ToEntries(hits), (Entries{{7, 1}})) << "a page held in the directory";
  std::vector<uint32_t> pages;
  EXPECT_EQ(DecodePagesWithin({nullptr, nullptr, 7, 10}, {6, 8}, pages), 0u);
  EXPECT_EQ(DecodePagesWithin({nullptr, nullptr, 7, 10}, {6, 7}, pages), 0u);
  EXPECT_EQ(pages, std::vector<uint32_t>{7}) << "a page held in the directory, pages alone";
}

// Pages stay below the table's page bound, and so does the entry count.
TEST(DecodePageCounts, KeepsBelowThePageBound) {
  Entries apart = Evenly(0, 128, 1);
  for (const auto& entry : Evenly(300, 72, 1)) apart.push_back(entry);
  const std::string list = Encoded(apart);
  EXPECT_EQ(Decode(list, 372), apart);
  EXPECT_EQ(Decode(list, 371), Evenly(0, 128, 1)) << "the second block reaches the bound";
  EXPECT_EQ(Decode(list, 127), Entries{}) << "the first block reaches the bound";
  EXPECT_EQ(Decode(list, 199), Entries{}) << "more entries than pages";
  HitArrays hits;
  DecodePageCounts({nullptr, nullptr, 5, 5}, hits);
  EXPECT_EQ(hits.size(), 0u) << "one page, at the bound";
}

constexpr int32_t kA = 100, kB = 200, kGroup = kFirstGroupCode;

// Page 0: A B A, B in a group. Page 2: B B B, then A after a gap.
std::string SmallTable(uint32_t& location) {
  codexa::writer::PostingCollector collector;
  const struct {
    int32_t code;
    uint32_t page, position;
  } occurrences[] = {{kA, 0, 0},     {kB, 0, 1}, {kGroup, 0, 1}, {kA, 0, 2},     {kB, 2, 0},  {kGroup, 2, 0},
                     {kGroup, 2, 1}, {kB, 2, 1}, {kB, 2, 2},     {kGroup, 2, 2}, {kA, 2, 10}};
  for (const auto& o : occurrences) collector.Add(o.code, o.page, o.position);
  std::vector<std::string_view> positionLists(kIndexCodeCount);
  for (const auto& [code, list] : collector.Finish()) positionLists[static_cast<size_t>(code)] = list.bytes;
  std::string postings(kNgramAlign, '\0');  // location 0 would mean "no table"
  location = 1;
  for (const std::string& piece : collector.ngrams().Table(positionLists)) postings += piece;
  return postings;
}

struct OpenedTable {
  explicit OpenedTable(std::string table) : bytes(std::move(table)) {}
  std::string bytes;
  NgramTable table;
  bool Open(uint32_t location, uint16_t format = kNgramFormat) {
    return table.Open(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), format, location);
  }
  // The entries of a lookup, or {{UINT32_MAX, kind}} for a list not found.
  Entries Lookup(int32_t first, int32_t second = -1) const {
    PageCountList list;
    const NgramTable::Lookup found = second < 0 ? table.Single(first, list) : table.Pair(first, second, list);
    if (found != NgramTable::Lookup::kFound) return {{UINT32_MAX, static_cast<uint32_t>(found)}};
    HitArrays hits;
    DecodePageCounts(list, hits);
    return ToEntries(hits);
  }
};

const Entries kAbsent = {{UINT32_MAX, static_cast<uint32_t>(NgramTable::Lookup::kAbsent)}};
const Entries kUnusable = {{UINT32_MAX, static_cast<uint32_t>(NgramTable::Lookup::kUnusable)}};

TEST(NgramTable, HoldsOwnPairsAndThePairsFoldingForms) {
  uint32_t location;
  OpenedTable t(SmallTable(location));
  ASSERT_EQ(location, 1u);
  ASSERT_TRUE(t.Open(location));
  const struct {
    int32_t first, second;
    Entries expected;
  } cases[] = {
      {kA, -1, {{0, 2}, {2, 1}}},
      {kB, -1, {{0, 1}, {2, 3}}},
      {kGroup, -1, {{0, 1}, {2, 3}}},
      {kA + 1, -1, kAbsent},
      {kA, kB, {{0, 1}}},
      {kB, kA, {{0, 1}}},
      {kB, kB, {{2, 2}}},  // overlapping: B B B holds B B twice
      // Folded: the group code where there is a group, the own code where
      // there is none.
      {kA, kGroup, {{0, 1}}},
      {kGroup, kA, {{0, 1}}},
      {kGroup, kGroup, {{2, 2}}},
      // No keyword forms these: the own code of a grouped character meets
      // a group code only when folding is off, and then there are no
      // group codes. Positions 2 and 10 are not adjacent.
      {kB, kGroup, kAbsent},
      {kGroup, kB, kAbsent},
      {kA, kA, kAbsent},
      {kIndexCodeCount, kA, kUnusable},
  };
  for (const auto& c : cases) EXPECT_EQ(t.Lookup(c.first, c.second), c.expected) << c.first << " " << c.second;
}

void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

uint32_t Get32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

TEST(NgramTable, RefusesATableThatDoesNotFit) {
  uint32_t location;
  const std::string intact = SmallTable(location);
  const size_t start = size_t{location} * kNgramAlign;
  {
    OpenedTable t(intact);
    EXPECT_FALSE(t.Open(location, kNgramFormat + 1));
    EXPECT_FALSE(t.Open(0));
    EXPECT_FALSE(t.Open(location + 1));
    EXPECT_FALSE(t.Open(UINT32_MAX));
    EXPECT_EQ(t.Lookup(kA), kUnusable);
  }
  const struct {
    const char* what;
    size_t at;
    uint32_t value;
  } damages[] = {
      {"magic", 0, 0},
      {"version", 4, kNgramVersion + 1},
      {"version 1, an older builder's", 4, 1},
      {"code count", 8, kIndexCodeCount - 1},
      {"group count past the file", 12, 0x7FFFFFFF},
      {"group count at its limit", 12, UINT32_MAX},
      {"list bytes past the file", 16, 0x7FFFFFFF},
      {"list bytes above 32 bits", 20, 1},
      {"directory bytes past the file", 24, 0x7FFFFFFF},
  };
  for (const auto& damage : damages) {
    OpenedTable t(intact);
    Put32(t.bytes, start + damage.at, damage.value);
    EXPECT_FALSE(t.Open(location)) << damage.what;
  }
  OpenedTable cut(intact.substr(0, intact.size() - 1));  // the padding is part of the table
  EXPECT_FALSE(cut.Open(location));
}

TEST(NgramTable, ListBoundsThatDoNotFitAreUnusable) {
  uint32_t location;
  const std::string intact = SmallTable(location);
  const size_t header = size_t{location} * kNgramAlign;
  const size_t single = header + kNgramHeaderSize;
  const size_t groupStart = single + (size_t{kIndexCodeCount} + 1) * 4;
  const size_t groups = groupStart + (size_t{kIndexCodeCount} + 1) * 4;
  OpenedTable base(intact);
  ASSERT_TRUE(base.Open(location));
  const uint32_t groupCount = Get32(intact, header + 12);
  const size_t groupOfB = groups + size_t{Get32(intact, groupStart + 4 * kB)} * kNgramGroupSize;
  const struct {
    const char* what;
    size_t at;
    uint32_t value;
    int32_t first, second;
  } damages[] = {
      {"single list ends before it starts", single + 4 * (kB + 1), 0, kB, -1},
      {"single list ends past the lists", single + 4 * (kB + 1), 0x7FFFFFFF, kB, -1},
      {"group range ends before it starts", groupStart + 4 * (kB + 1), 0, kB, kA},
      {"group range past the groups", groupStart + 4 * (kB + 1), groupCount + 1, kB, kA},
      {"group entries past the directory", groupOfB + 4, 0x7FFFFFFF, kB, kA},
      {"group entries start after the next group's", groupOfB + 4, Get32(intact, groupOfB + kNgramGroupSize + 4) + 1,
       kB, kA},
      {"group lists past the lists", groupOfB + 8, 0x7FFFFFFF, kB, kB},
  };
  for (const auto& damage : damages) {
    OpenedTable t(intact);
    Put32(t.bytes, damage.at, damage.value);
    ASSERT_TRUE(t.Open(location)) << damage.what;
    EXPECT_EQ(t.Lookup(damage.first, damage.second), kUnusable) << damage.what;
    EXPECT_EQ(t.Lookup(kGroup, kGroup), base.Lookup(kGroup, kGroup)) << damage.what;
  }
}

// Enough pairs of one first code for several groups, and lists of several
// blocks: every lookup agrees with the pages the occurrences were on.
TEST(NgramTable, FindsEveryPairAmongManyGroups) {
  constexpr uint32_t kPages = 300, kSeconds = 40;
  codexa::writer::PostingCollector collector;
  std::map<std::pair<int32_t, int32_t>, Entries> expected;
  for (uint32_t page = 0; page < kPages; ++page) {
    const int32_t second = kB + static_cast<int32_t>(page % kSeconds);
    const bool twice = page % 3 == 0;  // A also at position 5, after a gap
    collector.Add(kA, page, 0);
    collector.Add(second, page, 1);
    if (twice) collector.Add(kA, page, 5);
    expected[{kA, -1}].emplace_back(page, twice ? 2 : 1);
    expected[{kA, second}].emplace_back(page, 1);
  }
  std::vector<std::string_view> positionLists(kIndexCodeCount);
  for (const auto& [code, list] : collector.Finish()) positionLists[static_cast<size_t>(code)] = list.bytes;
  std::string postings(kNgramAlign, '\0');
  for (const std::string& piece : collector.ngrams().Table(positionLists)) postings += piece;
  OpenedTable t(postings);
  ASSERT_TRUE(t.Open(1));
  for (const auto& [pair, entries] : expected) EXPECT_EQ(t.Lookup(pair.first, pair.second), entries) << pair.second;
  EXPECT_EQ(t.Lookup(kA, kB - 1), kAbsent);
  EXPECT_EQ(t.Lookup(kA, kB + kSeconds), kAbsent);
  EXPECT_EQ(t.Lookup(kB, kA), kAbsent);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Queries answered with a damaged table agree with the same index read
// without its table: the engine falls back to the position lists.
TEST(NgramTable, DamagedTablesFallBackToThePositionLists) {
  const std::vector<std::vector<uint32_t>> groups = {{U'天', U'宙'}};
  const std::u32string pages[] = {U"天地玄黃宇宙洪荒", U"宙地玄天地天地", U"洪荒天地玄黃", U"地天地天"};
  codexa::writer::ScratchDir dir;
  codexa::writer::TextCorpusWriter corpus(groups);
  for (const auto& page : pages) corpus.AddPage(page);
  std::string error;
  ASSERT_TRUE(corpus.Write(dir.path(), {}, error)) << error;

  const std::u16string queries[] = {u"天", u"天地", u"地天地", u"天地玄黃", u"宙地", u"天地 洪荒"};
  const auto results = [&]() {
    std::vector<std::vector<uint32_t>> all;
    CIndex index;
    EXPECT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
    for (const bool variants : {false, true}) {
      for (std::u16string query : queries) {
        index.SearchAnd(query, variants);
        all.push_back(index.GetPageArray());
        all.push_back(index.GetCountArray());
      }
    }
    return all;
  };
  const auto headerPath = dir.path() / IndexHeaderName(), postingPath = dir.path() / IndexPostingName();
  const std::string header = ReadFile(headerPath), postings = ReadFile(postingPath);
  const size_t locationAt = size_t{kIndexCodeCount} * 6 + size_t{kNgramTableCode} * 4;
  const size_t table = size_t{Get32(header, locationAt)} * kNgramAlign;
  ASSERT_GT(table, 0u);
  const auto withTable = results();

  std::string plain = header;
  Put32(plain, locationAt, 0);
  std::ofstream(headerPath, std::ios::binary | std::ios::trunc) << plain;
  const auto withoutTable = results();
  ASSERT_EQ(withoutTable, withTable);
  std::ofstream(headerPath, std::ios::binary | std::ios::trunc) << header;

  const size_t single = table + kNgramHeaderSize, groupStart = single + (size_t{kIndexCodeCount} + 1) * 4;
  const size_t sky = static_cast<size_t>(CharToIndexCode(U'天'));
  const struct {
    const char* what;
    size_t at;
  } damages[] = {{"magic", table}, {"single list of 天", single + 4 * (sky + 1)}, {"pairs of 天", groupStart + 4 * (sky + 1)}};
  for (const auto& damage : damages) {
    std::string damaged = postings;
    Put32(damaged, damage.at, 0x7FFFFFFF);
    std::ofstream(postingPath, std::ios::binary | std::ios::trunc) << damaged;
    EXPECT_EQ(results(), withoutTable) << damage.what;
  }
}

}  // namespace
