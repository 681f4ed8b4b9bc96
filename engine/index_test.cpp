#include "engine/index.h"

#include <gtest/gtest.h>

#include "engine/codeconverter.h"
#include "engine/index_testing.h"
#include "engine/indexformat.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using codexa::writer::ScratchDir;

// A small corpus: three pages, one index per target whose lists tell the
// targets apart (code 6656 occurs on page `target`).
void WriteCorpus(const ScratchDir& dir) {
  std::string error;
  ASSERT_TRUE(codexa::writer::WriteFileList(
      dir.path(), kCorpusName, {{"a\\1.htm", "one"}, {"a\\2.htm", "two"}, {"b\\1.htm", "three"}}, 100, error))
      << error;
  for (const TargetInfo& info : kTargets) {
    const auto target = static_cast<uint32_t>(info.target);
    codexa::writer::PostingCollector collector;
    collector.Add(6656, target, 4);
    ASSERT_TRUE(codexa::writer::WriteIndex(dir.path(), IndexBaseName(info.target), collector.Finish(), {}, error))
        << error;
  }
  ASSERT_TRUE(codexa::writer::WriteVariantTable(dir.path(), {{0x4E00, 0x5F0C}}, error)) << error;
}

TEST(Index, FreshObjectIsClosedAndEmpty) {
  CIndex index;
  EXPECT_FALSE(index.IsOpen());
  EXPECT_TRUE(index.GetPageArray().empty());
  EXPECT_TRUE(index.GetCountArray().empty());
  EXPECT_EQ(index.GetResultCount(), 0u);
  EXPECT_EQ(index.GetPageCount(), 0u);
  EXPECT_TRUE(CIndexTesting::VariantsOf(index).groups().empty());
}

TEST(Index, OpensEachTargetOnTheSharedFileList) {
  ScratchDir dir;
  WriteCorpus(dir);
  CIndex index;
  for (SearchTarget target : {SearchTarget::kFullText, SearchTarget::kAnnotations, SearchTarget::kMainText}) {
    ASSERT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, target)) << TargetInfoOf(target).commandName;
    EXPECT_TRUE(index.IsOpen());
    EXPECT_EQ(index.GetPageCount(), 3u);
    uint32_t first = 0, last = 0;
    ASSERT_TRUE(CIndexTesting::ListOf(index, 6656, first, last));
    EXPECT_EQ(last, static_cast<uint32_t>(target));
    EXPECT_FALSE(CIndexTesting::ListOf(index, 6657, first, last));
    EXPECT_FALSE(CIndexTesting::ListOf(index, -1, first, last));
    EXPECT_FALSE(CIndexTesting::ListOf(index, kIndexCodeCount, first, last));
    EXPECT_EQ(CIndexTesting::VariantsOf(index).GroupOf(0x5F0C), 0);
    index.Close();
    EXPECT_FALSE(index.IsOpen());
  }
}

TEST(Index, ForwardsPageOperationsOnlyWhileOpen) {
  ScratchDir dir;
  WriteCorpus(dir);
  CIndex index;
  ASSERT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
  uint32_t page = 0, size = 0;
  std::string bytes;
  EXPECT_TRUE(index.FindPageByFileNumber(1, 1, page));
  EXPECT_EQ(page, 2u);
  EXPECT_TRUE(index.GetPageSize(2, size));
  EXPECT_EQ(size, 5u);
  EXPECT_TRUE(index.ReadPage(1, bytes));
  EXPECT_EQ(bytes, "two");

  index.Close();
  page = size = 77;
  bytes = "kept";
  EXPECT_FALSE(index.FindPageByFileNumber(0, 1, page));
  EXPECT_FALSE(index.GetPageSize(0, size));
  EXPECT_FALSE(index.ReadPage(0, bytes));
  EXPECT_EQ(page, 77u);
  EXPECT_EQ(size, 77u);
  EXPECT_EQ(bytes, "kept");
  EXPECT_EQ(CIndexTesting::PostingSourceOf(index).data, nullptr);
}

TEST(Index, ChainLengthFollowsTheHeaderSize) {
  const struct {
    size_t extra;  // bytes after the four tables
    uint32_t chainLength;
  } cases[] = {{0, 0}, {3, 0}, {4, 1}, {7, 1}, {8, 2}, {400, 2}};  // never beyond the two posting blocks
  for (const auto& c : cases) {
    ScratchDir dir;
    WriteCorpus(dir);
    std::string header = dir.Read(IndexHeaderName());
    header.resize(kHeaderTablesSize + c.extra, '\0');
    dir.Write(IndexHeaderName(), header);
    dir.Write(IndexPostingName(), dir.Read(IndexPostingName()) + std::string(kPostingBlockSize, '\0'));
    CIndex index;
    ASSERT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText)) << c.extra;
    EXPECT_EQ(CIndexTesting::PostingSourceOf(index).chainLength, c.chainLength) << c.extra;
    EXPECT_EQ(CIndexTesting::PostingSourceOf(index).size, 2 * kPostingBlockSize);
  }
}

TEST(Index, OpenFailuresTellTheUserOnceAndLeaveItClosed) {
  struct Case {
    const char* what;
    void (*damage)(const ScratchDir& dir);
  };
  const Case cases[] = {
      {"no header", [](const ScratchDir& d) { std::filesystem::remove(d / IndexHeaderName()); }},
      {"empty header", [](const ScratchDir& d) { d.Write(IndexHeaderName(), ""); }},
      {"header shorter than its tables",
       [](const ScratchDir& d) {
         d.Write(IndexHeaderName(), d.Read(IndexHeaderName()).substr(0, kHeaderTablesSize - 1));
       }},
      {"no posting file", [](const ScratchDir& d) { std::filesystem::remove(d / IndexPostingName()); }},
      {"empty posting file", [](const ScratchDir& d) { d.Write(IndexPostingName(), ""); }},
      {"posting file is a directory",
       [](const ScratchDir& d) {
         std::filesystem::remove(d / IndexPostingName());
         std::filesystem::create_directory(d / IndexPostingName());
       }},
      {"no file list header", [](const ScratchDir& d) { std::filesystem::remove(d / FileListHeaderName()); }},
      {"no file list text", [](const ScratchDir& d) { std::filesystem::remove(d / FileListTextName()); }},
      {"file list header cut", [](const ScratchDir& d) { d.Write(FileListHeaderName(), "short"); }},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteCorpus(dir);
    c.damage(dir);
    CIndex index;
    EXPECT_FALSE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText)) << c.what;
    EXPECT_FALSE(index.IsOpen()) << c.what;
    EXPECT_FALSE(CIndexTesting::FileListOf(index).IsOpen()) << c.what;
    uint32_t first, last;
    EXPECT_FALSE(CIndexTesting::ListOf(index, 6656, first, last)) << c.what;
    std::string bytes;
    EXPECT_FALSE(index.ReadPage(0, bytes)) << c.what;
    EXPECT_EQ(CIndexTesting::VariantsOf(index).groups().size(), 1u) << c.what;  // loaded before the failure
  }
}

TEST(Index, AFailedOpenClosesWhatWasOpenBefore) {
  ScratchDir dir;
  WriteCorpus(dir);
  CIndex index;
  ASSERT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
  EXPECT_FALSE(index.Open(dir.path(), u"Missing", SearchTarget::kFullText));
  EXPECT_FALSE(index.IsOpen());
  std::string bytes;
  EXPECT_FALSE(index.ReadPage(0, bytes));
  EXPECT_TRUE(index.Open(dir.path(), kCorpusNameUtf16, SearchTarget::kMainText));
}

}  // namespace
