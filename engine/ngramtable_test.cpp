#include "engine/ngramtable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/indexformat.h"
#include "writer/corpuswriter.h"
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
Entries Decode(std::string bytes) {
  const size_t size = bytes.size();
  bytes.append(kNgramPadding, '\0');
  const auto* begin = reinterpret_cast<const uint8_t*>(bytes.data());
  HitArrays hits;
  DecodePageCounts({begin, begin + size}, hits);
  return ToEntries(hits);
}

// One block of a list: the width codes, then the steps and the counts.
std::string Block(uint32_t stepCode, uint32_t countCode, const std::vector<uint32_t>& steps,
                  const std::vector<uint32_t>& counts) {
  std::string bytes{static_cast<char>(stepCode | countCode << 2), static_cast<char>(steps.size())};
  const auto append = [&bytes](uint32_t value, uint32_t code) {
    for (uint32_t i = 0; i < (1u << code); ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  };
  for (const uint32_t step : steps) append(step, stepCode);
  for (const uint32_t count : counts) append(count, countCode);
  return bytes;
}

TEST(DecodePageCounts, ReadsBlocksAndPassesOverBrokenEntries) {
  const std::vector<uint32_t> ones(9, 1);
  const struct {
    const char* what;
    std::string bytes;
    Entries expected;
  } cases[] = {
      {"one-byte numbers, eight at once and two more",
       Block(0, 0, {1, 2, 1, 5, 1, 127, 1, 1, 3, 255}, {1, 3, 127, 2, 1, 1, 2, 1, 4, 255}),
       {{1, 1}, {3, 3}, {4, 127}, {9, 2}, {10, 1}, {137, 1}, {138, 2}, {139, 1}, {142, 4}, {397, 255}}},
      {"two-byte steps", Block(1, 0, {300, 1, 65535, 2, 1, 1, 1, 1, 7}, ones),
       {{300, 1}, {301, 1}, {65836, 1}, {65838, 1}, {65839, 1}, {65840, 1}, {65841, 1}, {65842, 1}, {65849, 1}}},
      {"four-byte steps, two-byte counts", Block(2, 1, {70000, 1}, {300, 65535}), {{70000, 300}, {70001, 65535}}},
      {"blocks go on from the page before", Block(0, 0, {5}, {1}) + Block(0, 0, {1, 1}, {1, 2}),
       {{5, 1}, {6, 1}, {7, 2}}},
      {"page 0 first", Block(0, 0, {0, 1, 1, 1, 1, 1, 1, 1, 1}, ones),
       {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}}},
      {"page repeated", Block(0, 0, {1, 1, 0, 1, 1, 1, 1, 1, 1}, ones),
       {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}}},
      {"count zero", Block(1, 0, {1, 1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 0, 1, 1, 1, 1}),
       {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}}},
      {"width code 3", Block(0, 0, {1}, {1}) + std::string("\x03\x01\x01\x01", 4), {{1, 1}}},
      {"high header bits", Block(0, 0, {1}, {1}) + std::string("\x10\x01\x01\x01", 4), {{1, 1}}},
      {"empty block", Block(0, 0, {1}, {1}) + std::string("\x00\x00\x01\x01", 4), {{1, 1}}},
      {"block longer than the list", Block(0, 0, {1}, {1}) + Block(0, 0, {1, 1}, {1, 1}).substr(0, 5), {{1, 1}}},
      {"single byte left", Block(0, 0, {1}, {1}) + "\x01", {{1, 1}}},
      {"page past 32 bits", Block(2, 0, {0xFFFFFFFF, 1}, {1, 1}), {{0xFFFFFFFF, 1}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.bytes), c.expected) << c.what;
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
  std::string postings(16, '\0');  // location 0 would mean "no table"
  location = collector.ngrams().AppendTable(positionLists, postings);
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
      {"code count", 8, kIndexCodeCount - 1},
      {"pair count past the file", 12, 0x7FFFFFFF},
      {"list bytes past the file", 16, 0x7FFFFFFF},
      {"list bytes above 32 bits", 20, 1},
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
  const size_t single = size_t{location} * kNgramAlign + kNgramHeaderSize;
  const size_t pairStart = single + (size_t{kIndexCodeCount} + 1) * 4;
  OpenedTable base(intact);
  ASSERT_TRUE(base.Open(location));
  const uint32_t pairCount = Get32(intact, size_t{location} * kNgramAlign + 12);
  const struct {
    const char* what;
    size_t at;
    uint32_t value;
    int32_t first, second;
  } damages[] = {
      {"single list ends before it starts", single + 4 * (kB + 1), 0, kB, -1},
      {"single list ends past the lists", single + 4 * (kB + 1), 0x7FFFFFFF, kB, -1},
      {"pair range ends before it starts", pairStart + 4 * (kB + 1), 0, kB, kA},
      {"pair range past the pairs", pairStart + 4 * (kB + 1), pairCount + 1, kB, kA},
  };
  for (const auto& damage : damages) {
    OpenedTable t(intact);
    Put32(t.bytes, damage.at, damage.value);
    ASSERT_TRUE(t.Open(location)) << damage.what;
    EXPECT_EQ(t.Lookup(damage.first, damage.second), kUnusable) << damage.what;
    EXPECT_EQ(t.Lookup(kGroup, kGroup), base.Lookup(kGroup, kGroup)) << damage.what;
  }
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

  const size_t single = table + kNgramHeaderSize, pairStart = single + (size_t{kIndexCodeCount} + 1) * 4;
  const size_t sky = static_cast<size_t>(CharToIndexCode(U'天'));
  const struct {
    const char* what;
    size_t at;
  } damages[] = {{"magic", table}, {"single list of 天", single + 4 * (sky + 1)}, {"pairs of 天", pairStart + 4 * (sky + 1)}};
  for (const auto& damage : damages) {
    std::string damaged = postings;
    Put32(damaged, damage.at, 0x7FFFFFFF);
    std::ofstream(postingPath, std::ios::binary | std::ios::trunc) << damaged;
    EXPECT_EQ(results(), withoutTable) << damage.what;
  }
}

}  // namespace
