#include "corpus/filelist.h"

#include <gtest/gtest.h>

#include "corpus/filelistformat.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using codexa::writer::ScratchDir;
using codexa::writer::StoredPage;

const std::vector<StoredPage> kPages = {
    {"集部\\御定全唐詩\\卷一\\0001.htm", "<html>一</html>"},
    {"集部\\御定全唐詩\\卷一\\0002.htm", ""},
    {"集部\\御定全唐詩\\卷二\\0001.htm", "<html>\xA7\x00\xFF</html>"},
    {"noslash.htm", "x"},
    {"vol\\12", "y"},
};

void WriteCorpus(const ScratchDir& dir, const std::vector<StoredPage>& pages = kPages, uint32_t nameLength = 100) {
  std::string error;
  ASSERT_TRUE(codexa::writer::WriteFileList(dir.path(), kCorpusName, pages, nameLength, error)) << error;
}

uint32_t Le32(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

void PutLe32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(FileList, FreshObjectIsClosedWithDefaults) {
  CFileList list;
  EXPECT_FALSE(list.IsOpen());
  EXPECT_EQ(list.GetPageCount(), 0u);
  EXPECT_EQ(list.GetNameLength(), 100u);
  uint32_t size = 7, page = 7;
  std::string bytes = "kept";
  EXPECT_FALSE(list.GetPageSize(0, size));
  EXPECT_FALSE(list.ReadPage(0, bytes));
  EXPECT_FALSE(list.FindPageByFileNumber(0, 1, page));
  EXPECT_EQ(bytes, "kept");
  EXPECT_EQ(size, 7u);
}

TEST(FileList, StoresEntriesWhereReadersLookForThem) {
  ScratchDir dir;
  WriteCorpus(dir);
  const std::string header = dir.Read(FileListHeaderName());
  ASSERT_EQ(header.size(), 268u + 5 * 108);
  EXPECT_EQ(Le32(header, 0), 5u);
  EXPECT_EQ(Le32(header, 4), 100u);
  EXPECT_EQ(Le32(header, 368), kPages[0].html.size());  // page 0: end
  EXPECT_EQ(Le32(header, 372), kPages[0].html.size());  // page 0: size
  EXPECT_EQ(header.substr(484, kPages[2].name.size()), kPages[2].name);  // page 2's entry

  const std::string text = dir.Read(FileListTextName());
  const std::string& plain = kPages[2].html;
  const uint32_t end = Le32(header, 268 + 2 * 108 + 100);
  for (size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(static_cast<uint8_t>(text[end - plain.size() + i]), static_cast<uint8_t>(plain[i]) ^ 0xA7);
  }
}

TEST(FileList, OpensAndReadsEveryPage) {
  ScratchDir dir;
  WriteCorpus(dir);
  CFileList list;
  ASSERT_TRUE(list.Open(dir.path(), kCorpusNameUtf16));
  EXPECT_EQ(list.GetPageCount(), kPages.size());
  for (uint32_t p = 0; p < kPages.size(); ++p) {
    uint32_t size = 99;
    std::string bytes = "old", name;
    ASSERT_TRUE(list.GetPageSize(p, size));
    EXPECT_EQ(size, kPages[p].html.size());
    ASSERT_TRUE(list.ReadPageAndName(p, bytes, name));
    EXPECT_EQ(bytes, kPages[p].html);
    EXPECT_EQ(name, kPages[p].name);
  }
  list.Close();
  EXPECT_FALSE(list.IsOpen());
  EXPECT_EQ(list.GetPageCount(), kPages.size());  // kept after Close
  std::string bytes;
  EXPECT_FALSE(list.ReadPage(0, bytes));
}

TEST(FileList, OpenFailsWithoutBothFiles) {
  ScratchDir dir;
  WriteCorpus(dir);
  CFileList list;
  EXPECT_FALSE(list.Open(dir.path(), u"Other"));
  std::filesystem::remove(dir / FileListTextName());
  EXPECT_FALSE(list.Open(dir.path(), kCorpusNameUtf16));
  EXPECT_FALSE(list.IsOpen());
  list.Close();
  std::filesystem::remove(dir / FileListHeaderName());
  dir.Write(FileListTextName(), "x");
  EXPECT_FALSE(list.Open(dir.path(), kCorpusNameUtf16));
}

TEST(FileList, FileNumberOfStoredNames) {
  const struct {
    const char* name;
    bool has;
    int number;
  } cases[] = {
      {"vol\\x\\0012.htm", true, 12},
      {"0012.htm", false, 0},
      {"vol\\12", false, 0},
      {"vol\\5.a.b", true, 5},
      {"a.b\\7", false, 0},            // the only dot lies before the last backslash
      {"a\\ \t-7.htm", true, -7},
      {"a\\+42x.htm", true, 42},
      {"a\\abc.htm", true, 0},          // no digits read as 0
      {"a\\.htm", true, 0},
      {"a\\12345678901.htm", false, 0},  // 11 characters, but beyond an int
      {"a\\-2147483648.htm", true, -2147483647 - 1},
      {"a\\ 2147483647.htm", true, 2147483647},
      {"a\\000000000001.htm", false, 0},  // 12 characters
  };
  for (const auto& c : cases) {
    int number = -99;
    EXPECT_EQ(CFileList::FileNumberOfName(c.name, number), c.has) << c.name;
    if (c.has) {
      EXPECT_EQ(number, c.number) << c.name;
    }
  }
}

TEST(FileList, FindPageByFileNumber) {
  ScratchDir dir;
  WriteCorpus(dir);
  CFileList list;
  ASSERT_TRUE(list.Open(dir.path(), kCorpusNameUtf16));
  const struct {
    uint32_t start;
    int number;
    bool found;
    uint32_t page;
  } cases[] = {
      {0, 1, true, 0},
      {1, 1, true, 2},   // from the start page on
      {0, 2, true, 1},
      {0, 12, false, 4},  // "vol\12" has no dot: no number; last entry examined
      {3, 1, false, 4},
      {5, 1, false, 4},   // start at the end of the table: start - 1
      {9, 1, false, 8},
      {0xFFFFFFFF, 1, false, 0xFFFFFFFE},
  };
  for (const auto& c : cases) {
    uint32_t page = 12345;
    EXPECT_EQ(list.FindPageByFileNumber(c.start, c.number, page), c.found) << c.start << " " << c.number;
    EXPECT_EQ(page, c.page) << c.start << " " << c.number;
  }
}

TEST(FileList, FindScansTheHeaderFileNotThePageCount) {
  ScratchDir dir;
  WriteCorpus(dir);
  std::string header = dir.Read(FileListHeaderName());
  PutLe32(header, 0, 1);  // the count says 1, the table holds 5 entries
  header += "part\\9.htm";  // and a cut-off sixth entry
  dir.Write(FileListHeaderName(), header);
  CFileList list;
  ASSERT_TRUE(list.Open(dir.path(), kCorpusNameUtf16));
  uint32_t page = 0;
  EXPECT_TRUE(list.FindPageByFileNumber(0, 1, page) && page == 0);
  EXPECT_TRUE(list.FindPageByFileNumber(1, 1, page) && page == 2);
  EXPECT_FALSE(list.FindPageByFileNumber(0, 9, page));  // the cut name has no zero byte
  EXPECT_EQ(page, 5u);
  std::string bytes;
  EXPECT_FALSE(list.ReadPage(2, bytes));  // beyond the page count
}

// Damaged file lists: Open refuses what it cannot use, page operations
// refuse entries they cannot read whole; nothing is read outside.
TEST(FileList, RefusesDamagedFiles) {
  struct Case {
    const char* what;
    void (*damage)(std::string& header, std::string& text);
    bool opens;
    uint32_t page;  // the page that must then be refused
  };
  const Case cases[] = {
      {"header shorter than 268 bytes", [](std::string& h, std::string&) { h.resize(267); }, false, 0},
      {"name length above 260", [](std::string& h, std::string&) { PutLe32(h, 4, 261); }, false, 0},
      {"name length far above 260", [](std::string& h, std::string&) { PutLe32(h, 4, 0xFFFFFFF0); }, false, 0},
      {"page at the page count", [](std::string&, std::string&) {}, true, 5},
      {"page far beyond", [](std::string&, std::string&) {}, true, 0xFFFFFFFF},
      {"page count above the table", [](std::string& h, std::string&) { PutLe32(h, 0, 6); }, true, 5},
      {"end beyond the text file", [](std::string& h, std::string&) { PutLe32(h, 368, 1000); }, true, 0},
      {"size above end", [](std::string& h, std::string&) { PutLe32(h, 372, Le32(h, 368) + 1); }, true, 0},
      {"size far above end", [](std::string& h, std::string&) { PutLe32(h, 372, 0xFFFFFFFF); }, true, 0},
      {"text file cut short", [](std::string&, std::string& t) { t.resize(t.size() - 2); }, true, 4},
      {"last entry cut short", [](std::string& h, std::string&) { h.resize(h.size() - 1); }, true, 4},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteCorpus(dir);
    std::string header = dir.Read(FileListHeaderName()), text = dir.Read(FileListTextName());
    c.damage(header, text);
    dir.Write(FileListHeaderName(), header);
    dir.Write(FileListTextName(), text);
    CFileList list;
    ASSERT_EQ(list.Open(dir.path(), kCorpusNameUtf16), c.opens) << c.what;
    if (!c.opens) {
      EXPECT_EQ(list.GetPageCount(), 0u) << c.what;
      continue;
    }
    uint32_t size = 7;
    std::string bytes = "kept", name;
    EXPECT_FALSE(list.GetPageSize(c.page, size) && list.ReadPage(c.page, bytes)) << c.what;
    EXPECT_FALSE(list.ReadPageAndName(c.page, bytes, name)) << c.what;
    EXPECT_EQ(bytes, "kept") << c.what;
    std::string first;
    if (c.page != 0) {
      EXPECT_TRUE(list.ReadPage(0, first)) << c.what;  // the rest stays readable
    }
  }
}

TEST(FileList, NameFieldWithoutZeroByte) {
  // A 10-byte field filled to the brim: the page reads, the name does not.
  ScratchDir dir;
  WriteCorpus(dir, {{"a\\1.htm", "one"}, {"b\\2.htm", "two"}}, 10);
  std::string header = dir.Read(FileListHeaderName());
  header.replace(268 + 18, 10, "c\\2.htmxxx");
  dir.Write(FileListHeaderName(), header);
  CFileList list;
  ASSERT_TRUE(list.Open(dir.path(), kCorpusNameUtf16));
  std::string bytes, name;
  EXPECT_TRUE(list.ReadPage(1, bytes));
  EXPECT_EQ(bytes, "two");
  EXPECT_FALSE(list.ReadPageAndName(1, bytes, name));
  uint32_t page;
  EXPECT_FALSE(list.FindPageByFileNumber(0, 2, page));
  EXPECT_EQ(page, 1u);
}

TEST(FileList, ZeroNameLengthStillReadsPages) {
  ScratchDir dir;
  WriteCorpus(dir, {}, 0);
  std::string header = dir.Read(FileListHeaderName());
  PutLe32(header, 0, 1);
  std::string entry(8, '\0');
  PutLe32(entry, 0, 2);
  PutLe32(entry, 4, 2);
  dir.Write(FileListHeaderName(), header + entry);
  dir.Write(FileListTextName(), std::string{static_cast<char>('o' ^ 0xA7), static_cast<char>('k' ^ 0xA7)});
  CFileList list;
  ASSERT_TRUE(list.Open(dir.path(), kCorpusNameUtf16));
  std::string bytes;
  EXPECT_TRUE(list.ReadPage(0, bytes));
  EXPECT_EQ(bytes, "ok");
  uint32_t page;
  EXPECT_FALSE(list.FindPageByFileNumber(0, 0, page));
  EXPECT_EQ(page, 0u);
}

}  // namespace
