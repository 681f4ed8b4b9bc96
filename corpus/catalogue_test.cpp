#include "corpus/catalogue.h"
#include "corpus/hitlist.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "corpus/catalogueformat.h"
#include "writer/scratchdir.h"

namespace {

namespace fs = std::filesystem;

struct Rec {
  std::u16string name;
  int32_t level;
  int32_t docID;
  int32_t docNo;
  uint16_t curFileName;
};

void PutLittle(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// The 216 bytes of one record, laid out by hand so that tests can also cut
// and corrupt them.
std::string Encode(const Rec& r) {
  std::string out;
  for (std::size_t i = 0; i < kNodeNameUnits; ++i) PutLittle(out, i < r.name.size() ? r.name[i] : 0, 2);
  PutLittle(out, static_cast<uint32_t>(r.level), 4);
  PutLittle(out, static_cast<uint32_t>(r.docID), 4);
  PutLittle(out, static_cast<uint32_t>(r.docNo), 4);
  PutLittle(out, r.curFileName, 2);
  PutLittle(out, 0xBEEF, 2);  // never read
  return out;
}

std::string Encode(const std::vector<Rec>& records) {
  std::string out;
  for (const Rec& r : records) out += Encode(r);
  return out;
}

class CatalogueTest : public ::testing::Test {
 protected:
  // Writes `bytes` as the catalogue and loads it, listing included.
  bool Load(const std::string& bytes) {
    m_dir.Write(kCatalogueFileName, bytes);
    return m_catalogue.Load(m_dir / kCatalogueFileName, m_dir / "zemo.txt", m_diagnostics);
  }
  std::string Listing() const { return m_dir.Read("zemo.txt"); }

  codexa::writer::ScratchDir m_dir;
  CCatalogue m_catalogue;
  std::ostringstream m_diagnostics;
};

// 經部 (pages 1-10): 論語 with 卷一 (pages 1-3, files 1-3) and 卷二 (4-6, files
// 1-3); 孟子 with 卷一 (7-8, files 5-6). 集部 (11-20): 楚辭 (11-20) with one
// volume 卷一 (11-15, files 1-5). Pages 9-10 and 16-20 lie in no volume.
const std::vector<Rec> kSample = {
    {u"經部", 1, 1, 10, 1},  {u"論語", 2, 1, 6, 1},  {u"卷一", 3, 1, 3, 1},    {u"卷二", 3, 4, 3, 1},
    {u"孟子", 2, 7, 2, 5},   {u"卷一", 3, 7, 2, 5},  {u"集部", 1, 11, 10, 1}, {u"楚辭", 2, 11, 10, 1},
    {u"卷一", 3, 11, 5, 1},
};

TEST_F(CatalogueTest, LoadsThreeLevelTreeAndWritesListing) {
  ASSERT_TRUE(Load(Encode({kSample[0], kSample[1], kSample[2], kSample[3]})));
  EXPECT_EQ(m_catalogue.NodeCount(), 5);
  const ContentsNodeTag& root = m_catalogue.Root();
  EXPECT_EQ(root.name, u"root");
  EXPECT_EQ(root.level, 0);
  ASSERT_EQ(root.children.size(), 1u);
  const ContentsNodeTag& category = *root.children[0];
  ASSERT_EQ(category.children.size(), 1u);
  const ContentsNodeTag& work = *category.children[0];
  ASSERT_EQ(work.children.size(), 2u);
  EXPECT_EQ(work.pParent, &category);
  EXPECT_EQ(work.children[1]->name, u"卷二");
  EXPECT_EQ(work.children[1]->record, 4);
  EXPECT_EQ(work.children[1]->docID, 4);
  EXPECT_EQ(work.children[1]->pParent, &work);
  EXPECT_EQ(m_catalogue.Record(4).curFileName, 1);
  EXPECT_EQ(m_catalogue.Record(4).unused, 0xBEEF);
  EXPECT_EQ(Listing(),
            "name=經部\tdocID=1\tdocNo=10\tcurFileName=1\n"
            "\tname=論語\tdocID=1\tdocNo=6\tcurFileName=1\n"
            "\t\tname=卷一\tdocID=1\tdocNo=3\tcurFileName=1\n"
            "\t\tname=卷二\tdocID=4\tdocNo=3\tcurFileName=1\n");
  EXPECT_TRUE(m_diagnostics.str().empty());
}

TEST_F(CatalogueTest, NameFillingAllUnitsIsKeptWhole) {
  Rec r{std::u16string(kNodeNameUnits, u'字'), 1, 1, 1, 1};
  ASSERT_TRUE(Load(Encode(r)));
  EXPECT_EQ(m_catalogue.FindNodeByRecord(1)->name, r.name);
}

// Malformed catalogues keep every record but build nodes only for those that
// fit in the tree, and say so once.
TEST_F(CatalogueTest, MalformedRecordsAreLeftOutOfTheTreeAndReportedOnce) {
  struct Case {
    const char* what;
    std::string bytes;
    int nodeCount;
    std::vector<int> withoutNode;
    const char* diagnostic;
  };
  const std::string partial = Encode(kSample[0]).substr(0, 100);
  const Case cases[] = {
      {"work before any category", Encode({{u"孤", 2, 1, 1, 1}, kSample[0], kSample[1], {u"孤", 3, 1, 1, 1}}), 5, {1},
       "1 record(s) without a parent"},
      {"volume with no work yet", Encode({kSample[0], {u"卷", 3, 1, 1, 1}, {u"卷", 3, 2, 1, 2}}), 4, {2, 3},
       "2 record(s) without a parent"},
      {"levels 0, negative, lowest, too deep",
       Encode({kSample[0], {u"零", 0, 1, 1, 1}, {u"負", -3, 1, 1, 1}, {u"極", INT_MIN, 1, 1, 1},
               {u"深", kMaxNodeLevel + 1, 1, 1, 1}}),
       6, {2, 3, 4, 5}, "4 record(s) without a parent"},
      {"trailing partial record", Encode({kSample[0], kSample[1]}) + partial, 3, {}, "partial record of 100 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m_diagnostics.str("");
    ASSERT_TRUE(Load(c.bytes));
    EXPECT_EQ(m_catalogue.NodeCount(), c.nodeCount);
    for (int i = 1; i < m_catalogue.NodeCount(); ++i) {
      const bool expectNode = std::find(c.withoutNode.begin(), c.withoutNode.end(), i) == c.withoutNode.end();
      EXPECT_EQ(m_catalogue.FindNodeByRecord(i) != nullptr, expectNode) << "record " << i;
    }
    const std::string said = m_diagnostics.str();
    EXPECT_NE(said.find(c.diagnostic), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    // Every record read is listed, the partial one is not.
    const std::string listing = Listing();
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), c.nodeCount - 1);
  }
}

TEST_F(CatalogueTest, DeepLevelsAttachBelowTheirParents) {
  std::vector<Rec> chain;
  for (int level = 1; level <= kMaxNodeLevel; ++level) chain.push_back({u"段", level, 1, 1, 1});
  ASSERT_TRUE(Load(Encode(chain)));
  const ContentsNodeTag* deepest = m_catalogue.FindNodeByRecord(kMaxNodeLevel);
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(deepest->pParent, m_catalogue.FindNodeByRecord(kMaxNodeLevel - 1));
  EXPECT_EQ(ScopePath(*deepest).size(), 2u * kMaxNodeLevel - 1);
}

TEST_F(CatalogueTest, MoreThanNineThousandNineHundredNinetyNineRecords) {
  std::vector<Rec> records = {{u"集部", 1, 1, 12000, 1}, {u"全詩", 2, 1, 12000, 1}};
  for (int i = 0; i < 12000; ++i) records.push_back({u"卷" + std::u16string(1, u'0' + i % 10), 3, i + 1, 1, 1});
  ASSERT_TRUE(Load(Encode(records)));
  EXPECT_EQ(m_catalogue.NodeCount(), 12003);
  EXPECT_EQ(m_catalogue.Root().children[0]->children[0]->children.size(), 12000u);
  const ContentsNodeTag* last = m_catalogue.FindNodeByRecord(12002);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->docID, 12000);
  std::vector<SearchNodeTag> entries;
  const uint32_t pages[] = {11999}, counts[] = {4};
  EXPECT_EQ(ApplyScope(*last, pages, counts, entries), 4u);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].volume, u"卷9");
}

TEST_F(CatalogueTest, MissingOrUnreadableCatalogueLeavesNoScope) {
  ASSERT_TRUE(Load(Encode(kSample)));
  fs::create_directory(m_dir / "adir");
  for (const fs::path& path : {m_dir / "absent.dir", m_dir / "adir"}) {
    SCOPED_TRACE(path.string());
    EXPECT_FALSE(m_catalogue.Load(path, m_dir / "zemo.txt", m_diagnostics));
    EXPECT_EQ(m_catalogue.NodeCount(), 1);
    EXPECT_TRUE(m_catalogue.Root().children.empty());
    // Record 1 reads as all zero, like the root, yet yields no scope node.
    EXPECT_EQ(m_catalogue.Record(1).level, 0);
    EXPECT_EQ(m_catalogue.FindNodeByRecord(1), nullptr);
    EXPECT_TRUE(fs::exists(m_dir / "zemo.txt"));
    EXPECT_EQ(Listing(), "");
  }
}

TEST_F(CatalogueTest, ListingNeverWritesThroughALink) {
  m_dir.Write("victim", "mine");
  fs::create_symlink(m_dir / "victim", m_dir / "zemo.txt");
  ASSERT_TRUE(Load(Encode(kSample)));
  EXPECT_EQ(m_dir.Read("victim"), "mine");
  EXPECT_EQ(m_catalogue.NodeCount(), static_cast<int>(kSample.size()) + 1);
  EXPECT_NE(m_diagnostics.str().find("cannot create the catalogue listing"), std::string::npos);
}

TEST_F(CatalogueTest, FindNodeByRecordNeverAnswersTheRoot) {
  // Two records with equal numbers in different categories: each index finds
  // its own node, so labels come from the right category.
  ASSERT_TRUE(Load(Encode({{u"甲", 1, 1, 0, 1}, {u"乙", 1, 1, 0, 1}, {u"孤", 3, 5, 1, 1}})));
  for (int index : {0, -1, 4, INT_MAX, 3}) EXPECT_EQ(m_catalogue.FindNodeByRecord(index), nullptr) << index;
  ASSERT_NE(m_catalogue.FindNodeByRecord(2), nullptr);
  EXPECT_EQ(m_catalogue.FindNodeByRecord(2)->name, u"乙");
  EXPECT_EQ(m_catalogue.Record(INT_MAX).level, 0);
}

TEST_F(CatalogueTest, ScopePathAndLookupByPath) {
  ASSERT_TRUE(Load(Encode(kSample)));
  EXPECT_EQ(ScopePath(*m_catalogue.FindNodeByRecord(6)), u"經部\\孟子\\卷一");
  EXPECT_EQ(ScopePath(m_catalogue.Root()), u"");
  const std::pair<std::u16string, int> cases[] = {
      {u"經部", 1}, {u"經部\\論語\\卷二", 4}, {u"經部\\孟子\\卷一", 6}, {u"集部\\楚辭\\卷一", 9},
      {u"集部\\論語", 0}, {u"經部\\", 0}, {u"", 0}, {u"史部", 0},
  };
  for (const auto& [path, record] : cases) EXPECT_EQ(m_catalogue.FindRecordByPath(path), record);
}

TEST(ContentsNodeTagTest, HoldsComputesRangesWithoutWrapping) {
  struct Case {
    int docID, docNo;
    uint32_t page;
    bool holds;
  };
  const Case cases[] = {
      {4, 3, 2, false}, {4, 3, 3, true},  {4, 3, 5, true},  {4, 3, 6, false},
      {1, 0, 0, false},  // an empty node holds nothing
      {0, 0, 0xFFFFFFFF, false}, {0, 0, 0, false},  // like the root
      {-5, 3, 0, false}, {INT_MAX, INT_MAX, 0xFFFFFFF0, true}, {INT_MAX, 1, 0xFFFFFFFF, false},
  };
  for (const Case& c : cases) {
    ContentsNodeTag node;
    node.docID = c.docID;
    node.docNo = c.docNo;
    EXPECT_EQ(node.Holds(c.page), c.holds) << c.docID << " " << c.docNo << " " << c.page;
  }
}

TEST_F(CatalogueTest, ApplyScopeLabelsFiltersAndSorts) {
  ASSERT_TRUE(Load(Encode(kSample)));
  struct Expected {
    std::u16string category, title, volume;
    uint32_t page;
    int fileNumber;
    uint32_t hits;
  };
  struct Case {
    const char* what;
    int scope;
    std::vector<uint32_t> pages, counts;
    std::vector<Expected> entries;
    uint64_t total;
  };
  const Case cases[] = {
      {"volume scope drops pages outside it", 4, {0, 3, 5, 6, 12}, {1, 2, 3, 4, 5},
       {{u"經部", u"論語", u"卷二", 3, 1, 2}, {u"經部", u"論語", u"卷二", 5, 3, 3}}, 5},
      {"work scope interleaves two volumes from file 1", 2, {0, 1, 2, 3, 4, 5}, {1, 1, 1, 2, 2, 2},
       {{u"經部", u"論語", u"卷一", 0, 1, 1}, {u"經部", u"論語", u"卷二", 3, 1, 2},
        {u"經部", u"論語", u"卷一", 1, 2, 1}, {u"經部", u"論語", u"卷二", 4, 2, 2},
        {u"經部", u"論語", u"卷一", 2, 3, 1}, {u"經部", u"論語", u"卷二", 5, 3, 2}},
       9},
      {"category scope with a page in no volume", 1, {8, 6, 2, 12}, {7, 3, 1, 9},
       {{u"經部", u"", u"", 8, 0, 7}, {u"經部", u"論語", u"卷一", 2, 3, 1}, {u"經部", u"孟子", u"卷一", 6, 5, 3}},
       11},
      {"work scope with a page in no volume", 8, {17, 10}, {2, 1},
       {{u"集部", u"楚辭", u"", 17, 0, 2}, {u"集部", u"楚辭", u"卷一", 10, 1, 1}}, 3},
      {"count array shorter than the page array", 7, {10, 11, 12}, {6, 1}, {{u"集部", u"楚辭", u"卷一", 10, 1, 6},
       {u"集部", u"楚辭", u"卷一", 11, 2, 1}}, 7},
      {"nothing in scope", 9, {0, 20}, {1, 1}, {}, 0},
      {"whole corpus keeps every page, labelled by its category", 0, {8, 0, 12, 17, 25}, {1, 2, 3, 4, 5},
       {{u"經部", u"", u"", 8, 0, 1}, {u"集部", u"楚辭", u"", 17, 0, 4}, {u"", u"", u"", 25, 0, 5},
        {u"經部", u"論語", u"卷一", 0, 1, 2}, {u"集部", u"楚辭", u"卷一", 12, 3, 3}},
       15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<SearchNodeTag> entries = {SearchNodeTag{}};  // replaced, not appended to
    // Record 0 stands for the whole corpus, whose scope node is the root.
    const ContentsNodeTag* scope = c.scope == 0 ? &m_catalogue.Root() : m_catalogue.FindNodeByRecord(c.scope);
    ASSERT_NE(scope, nullptr);
    EXPECT_EQ(ApplyScope(*scope, c.pages, c.counts, entries), c.total);
    ASSERT_EQ(entries.size(), c.entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      SCOPED_TRACE(i);
      const Expected& e = c.entries[i];
      EXPECT_EQ(entries[i].category, e.category);
      EXPECT_EQ(entries[i].title, e.title);
      EXPECT_EQ(entries[i].volume, e.volume);
      EXPECT_EQ(entries[i].pageNumber, e.page);
      EXPECT_EQ(entries[i].fileNumber, e.fileNumber);
      EXPECT_EQ(entries[i].hitCount, e.hits);
    }
  }
}

TEST_F(CatalogueTest, ApplyScopeTotalDoesNotOverflow) {
  ASSERT_TRUE(Load(Encode(kSample)));
  std::vector<SearchNodeTag> entries;
  const uint32_t pages[] = {0, 1, 2}, counts[] = {0xFFFFFFFF, 0xFFFFFFFF, 2};
  EXPECT_EQ(ApplyScope(*m_catalogue.FindNodeByRecord(3), pages, counts, entries), 0x200000000ull);
}

TEST(ApplyScopeTest, SortsFileNumbersAsUnsigned) {
  // A huge volume: far into it the file numbers pass 2^31 and sort after
  // small ones, as the unsigned values they are.
  ContentsNodeTag volume;
  volume.level = 3;
  volume.docID = 1;
  volume.docNo = INT_MAX;
  volume.curFileName = 0xFFFF;
  volume.name = u"卷";
  std::vector<SearchNodeTag> entries;
  const uint32_t pages[] = {0x7FFFFFF0u, 0}, counts[] = {1, 1};
  ApplyScope(volume, pages, counts, entries);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].fileNumber, 0xFFFF);
  EXPECT_EQ(static_cast<uint32_t>(entries[1].fileNumber), 0x7FFFFFF0u + 0xFFFF);
}

}  // namespace
