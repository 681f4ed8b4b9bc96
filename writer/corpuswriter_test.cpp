#include "writer/corpuswriter.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "corpus/catalogueformat.h"
#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/index_testing.h"
#include "engine/indexformat.h"
#include "engine/postingcursor.h"
#include "engine/variants.h"
#include "writer/scratchdir.h"

namespace codexa::writer {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

TEST(Writer, CollectsTheWorkedExampleList) {
  PostingCollector collector;
  collector.Add(6656, 5, 3);
  collector.Add(9, 5, 1);
  collector.Add(6656, 5, 10);
  collector.Add(6656, 130, 7);
  const auto& lists = collector.Finish();
  std::string error;
  EXPECT_TRUE(collector.ok(error));
  ASSERT_EQ(lists.size(), 2u);
  EXPECT_EQ(lists.at(6656).bytes, Bytes({0x05, 0x02, 0x00, 0x03, 0x07, 0x7D, 0x01, 0x00, 0x07}));
  EXPECT_EQ(lists.at(6656).lastPage, 130u);
  EXPECT_EQ(lists.at(9).bytes, Bytes({0x05, 0x01, 0x00, 0x01}));
}

TEST(Writer, CollectorRefusesWhatTheFormatCannotHold) {
  struct Case {
    const char* what;
    void (*add)(PostingCollector& c);
  };
  const Case cases[] = {
      {"page before the last", [](PostingCollector& c) { c.Add(1, 5, 0), c.Add(1, 6, 0), c.Add(1, 5, 1); }},
      {"same position twice", [](PostingCollector& c) { c.Add(1, 5, 9), c.Add(1, 5, 9); }},
      {"position going back", [](PostingCollector& c) { c.Add(1, 5, 9), c.Add(1, 5, 8); }},
      {"position too large", [](PostingCollector& c) { c.Add(1, 5, 4194304); }},
      {"page delta too large", [](PostingCollector& c) { c.Add(1, 4194304, 0); }},
      {"code out of range", [](PostingCollector& c) { c.Add(100000, 0, 0); }},
      {"negative code", [](PostingCollector& c) { c.Add(-1, 0, 0); }},
      {"page of more than 65,535 position bytes",
       [](PostingCollector& c) {
         for (uint32_t p = 0; p <= 65535; ++p) c.Add(1, 0, p);
       }},
  };
  for (const Case& c : cases) {
    PostingCollector collector;
    c.add(collector);
    collector.Finish();
    std::string error;
    EXPECT_FALSE(collector.ok(error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
  PostingCollector full;  // exactly 65,535 position bytes still fit
  for (uint32_t p = 0; p < 65535; ++p) full.Add(1, 0, p);
  full.Finish();
  std::string error;
  EXPECT_TRUE(full.ok(error)) << error;
}

struct Occurrences {
  std::map<int32_t, std::map<uint32_t, std::vector<uint32_t>>> byCode;  // code -> page -> positions
};

// A seeded random corpus: a few frequent codes whose lists span many
// blocks, and many rare ones; position gaps of every encoded length.
Occurrences RandomOccurrences(uint32_t seed) {
  std::mt19937 random(seed);
  Occurrences occ;
  for (uint32_t page = 0; page < 400; page += 1 + random() % 3) {
    for (int32_t code : {6656, 0, 99999, 75776}) {
      uint32_t position = random() % 50;
      for (int n = 0; n < 60; ++n) {
        occ.byCode[code][page].push_back(position);
        const uint32_t gap = random() % 8 == 0 ? 20000 + random() % 50000 : 1 + random() % 300;
        position += gap;
      }
    }
    if (random() % 5 == 0) occ.byCode[static_cast<int32_t>(1000 + random() % 50)][page].push_back(random() % 600);
  }
  occ.byCode[88065][70000].push_back(4194303);  // a far page and the largest position
  return occ;
}

std::map<uint32_t, std::vector<uint32_t>> ReadList(const CIndex& index, int32_t code) {
  std::map<uint32_t, std::vector<uint32_t>> pages;
  uint32_t first, last;
  if (!CIndexTesting::ListOf(index, code, first, last)) return pages;
  CPostingCursor cursor;
  bool ok = cursor.Start(CIndexTesting::PostingSourceOf(index), first, last);
  while (ok) {
    std::vector<uint32_t>& positions = pages[cursor.page()];
    uint32_t value, position = 0;
    for (bool firstOne = true; cursor.NextPosition(value); firstOne = false) {
      position = firstOne ? value : position + value;
      positions.push_back(position);
    }
    if (cursor.AtEnd()) break;
    ok = cursor.NextRecordHeader();
  }
  EXPECT_FALSE(cursor.Failed()) << code;
  return pages;
}

TEST(Writer, IndexRoundTripsThroughTheReader) {
  const Occurrences occ = RandomOccurrences(42);
  for (const BlockLayout layout : {BlockLayout{}, BlockLayout{true, 3}, BlockLayout{true, 99}}) {
    PostingCollector collector;
    std::map<uint32_t, std::vector<std::pair<int32_t, uint32_t>>> byPage;  // feed page by page
    for (const auto& [code, pages] : occ.byCode) {
      for (const auto& [page, positions] : pages) {
        for (uint32_t position : positions) byPage[page].emplace_back(code, position);
      }
    }
    for (const auto& [page, items] : byPage) {
      for (const auto& [code, position] : items) collector.Add(code, page, position);
    }
    std::string error;
    const auto& lists = collector.Finish();
    ASSERT_TRUE(collector.ok(error)) << error;

    ScratchDir dir;
    ASSERT_TRUE(WriteFileList(dir.path(), kCorpusName, {{"a\\1.htm", "x"}}, 100, error)) << error;
    ASSERT_TRUE(WriteIndex(dir.path(), IndexBaseName(SearchTarget::kFullText), lists, layout, error)) << error;
    CIndex index;
    ASSERT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
    for (const auto& [code, pages] : occ.byCode) EXPECT_EQ(ReadList(index, code), pages) << code;
    EXPECT_EQ(ReadList(index, 1), (std::map<uint32_t, std::vector<uint32_t>>{}));

    const PostingSource& source = CIndexTesting::PostingSourceOf(index);
    EXPECT_EQ(source.size % kPostingBlockSize, 0u);
    EXPECT_EQ(source.chainLength, source.size / kPostingBlockSize);
    uint32_t links = 0, jumps = 0;
    for (uint32_t b = 0; b < source.chainLength; ++b) {
      links += source.chain[b] != kNoBlock;
      jumps += source.chain[b] != kNoBlock && source.chain[b] != b + 1;
    }
    EXPECT_GE(links, 10u);  // lists long enough to chain
    if (layout.interleave) {
      EXPECT_GT(jumps, links / 2);
    } else {
      EXPECT_EQ(jumps, 0u);
    }
  }
}

TEST(Writer, AnIndexWithoutListsStillOpens) {
  ScratchDir dir;
  std::string error;
  ASSERT_TRUE(WriteFileList(dir.path(), kCorpusName, {}, 100, error)) << error;
  ASSERT_TRUE(WriteIndex(dir.path(), IndexBaseName(SearchTarget::kFullText), {}, {}, error)) << error;
  CIndex index;
  ASSERT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
  uint32_t first, last;
  for (int32_t code = 0; code < kIndexCodeCount; ++code) ASSERT_FALSE(CIndexTesting::ListOf(index, code, first, last));
  EXPECT_EQ(index.GetPageCount(), 0u);
}

TEST(Writer, FileListRefusesNamesThatDoNotFit) {
  ScratchDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileList(dir.path(), kCorpusName, {{"a\\1.htm", "x"}}, 261, error));
  EXPECT_FALSE(WriteFileList(dir.path(), kCorpusName, {{std::string(10, 'n'), "x"}}, 10, error));
  EXPECT_TRUE(WriteFileList(dir.path(), kCorpusName, {{std::string(9, 'n'), "x"}}, 10, error)) << error;
}

TEST(Writer, VariantTableReadsBackAsWritten) {
  ScratchDir dir;
  const std::vector<std::vector<uint32_t>> groups = {{0x4E00, 0x5F0C}, {}, {0x20000}, {0, 0xFFFFFFFF}};
  std::string error;
  ASSERT_TRUE(WriteVariantTable(dir.path(), groups, error)) << error;
  EXPECT_EQ(dir.Read(kVariantFileName), "4E00,5F0C\n,\n20000\n0,FFFFFFFF\n");
  CVariantTable table;
  ASSERT_TRUE(table.Load(dir.path()));
  EXPECT_EQ(table.groups(), groups);
}

TEST(Writer, CatalogueRecordsAre216Bytes) {
  ScratchDir dir;
  std::string error;
  ASSERT_TRUE(WriteCatalogue(dir.path(), {{u"集部", 1, 1, 30, 0}, {u"卷一", 3, 2, 5, 65535}}, error)) << error;
  const std::string bytes = dir.Read(kCatalogueFileName);
  ASSERT_EQ(bytes.size(), 2 * kNodeRecordSize);
  EXPECT_EQ(bytes.substr(0, 6), Bytes({0xC6, 0x96, 0xE8, 0x90, 0x00, 0x00}));  // U+96C6 U+90E8, zero
  EXPECT_EQ(bytes.substr(200, 16), Bytes({1, 0, 0, 0, 1, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(bytes.substr(216 + 200, 16), Bytes({3, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0, 0xFF, 0xFF, 0, 0}));
  EXPECT_FALSE(WriteCatalogue(dir.path(), {{std::u16string(100, u'x'), 1, 1, 1, 0}}, error));
  EXPECT_TRUE(WriteCatalogue(dir.path(), {{std::u16string(99, u'x'), 1, 1, 1, 0}}, error)) << error;
}

}  // namespace
}  // namespace codexa::writer
