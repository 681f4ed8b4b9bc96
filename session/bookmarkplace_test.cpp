// A bookmark made of the page shown and its page found again: in the corpus
// it was made in, in a rebuilt corpus whose records and pages have moved,
// and not at all where the corpus lacks its volume or page.
#include "session/bookmarkplace.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/unicode.h"
#include "corpus/filelistformat.h"
#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"
#include "writer/textcorpus.h"

namespace {

using codexa::writer::CatalogueRecord;

struct Page {
  std::string name;
  std::u32string text;
};

// 經部 (1) > 詩經 (2) > 卷一 (3: files 1-2, pages 0-1), 卷二 (4: file 3, page 2);
// 集部 (5) > 唐詩 (6) > 卷一 (7: files 1-2, pages 3-4).
const std::vector<Page> kPages = {
    {"經部\\詩經\\卷一\\0001.htm", U"明月"}, {"經部\\詩經\\卷一\\0002.htm", U"清風"},
    {"經部\\詩經\\卷二\\0003.htm", U"明月松"}, {"集部\\唐詩\\卷一\\0001.htm", U"白鶴"},
    {"集部\\唐詩\\卷一\\0002.htm", U"黃鶴"},
};
const std::vector<CatalogueRecord> kCatalogue = {
    {u"經部", 1, 1, 3, 1}, {u"詩經", 2, 1, 3, 1}, {u"卷一", 3, 1, 2, 1}, {u"卷二", 3, 3, 1, 3},
    {u"集部", 1, 4, 2, 1}, {u"唐詩", 2, 4, 2, 1}, {u"卷一", 3, 4, 2, 1},
};

// The same texts rebuilt with a new volume in front: every record and
// every page number has moved, the paths and file numbers have not.
std::vector<Page> RebuiltPages() {
  std::vector<Page> pages = {{"經部\\序\\卷一\\0001.htm", U"序"}};
  pages.insert(pages.end(), kPages.begin(), kPages.end());
  return pages;
}
const std::vector<CatalogueRecord> kRebuiltCatalogue = {
    {u"經部", 1, 1, 4, 1}, {u"序", 2, 1, 1, 1},    {u"卷一", 3, 1, 1, 1}, {u"詩經", 2, 2, 3, 1},
    {u"卷一", 3, 2, 2, 1}, {u"卷二", 3, 4, 1, 3}, {u"集部", 1, 5, 2, 1}, {u"唐詩", 2, 5, 2, 1},
    {u"卷一", 3, 5, 2, 1},
};

class Corpus {
 public:
  Corpus(const std::vector<Page>& pages, const std::vector<CatalogueRecord>& catalogue) {
    codexa::writer::TextCorpusWriter texts;
    std::vector<codexa::writer::StoredPage> stored;
    for (const Page& page : pages) {
      texts.AddPage(page.text);
      std::string utf8;
      for (const char32_t c : page.text) AppendUtf8(c, utf8);
      stored.push_back({page.name, "<html><body><table><tr><TD>" + utf8 + "</TD></tr></table></body></html>"});
    }
    std::string error;
    EXPECT_TRUE(texts.Write(m_dir.path(), {}, error)) << error;
    // The pages again under their filed names, which carry the file numbers.
    EXPECT_TRUE(codexa::writer::WriteFileList(m_dir.path(), kCorpusName, stored, 100, error)) << error;
    EXPECT_TRUE(codexa::writer::WriteCatalogue(m_dir.path(), catalogue, error)) << error;
    std::ostringstream diagnostics;
    EXPECT_TRUE(m_catalogue.Load(m_dir / "zemo.dir", {}, diagnostics));
    EXPECT_TRUE(m_index.Open(m_dir.path(), kCorpusNameUtf16, SearchTarget::kFullText));
  }
  // The text of the 0-based `page` as the page store holds it.
  std::string Text(uint32_t page) {
    std::string bytes;
    m_index.ReadPage(page, bytes);
    return bytes;
  }

  codexa::writer::ScratchDir m_dir;
  CCatalogue m_catalogue;
  CIndex m_index;
};

class BookmarkPlaceTest : public ::testing::Test {
 protected:
  Corpus m_corpus{kPages, kCatalogue};
  CReadingState m_reading{m_corpus.m_catalogue};
};

TEST_F(BookmarkPlaceTest, ContentsPageIsNamedAndFoundAgain) {
  EXPECT_FALSE(BookmarkOfShownPage(m_reading, m_corpus.m_catalogue));  // nothing shown
  m_reading.EnterVolume(4);
  m_reading.SetPage(3);
  const std::optional<Bookmark> bookmark = BookmarkOfShownPage(m_reading, m_corpus.m_catalogue);
  ASSERT_TRUE(bookmark);
  EXPECT_EQ(*bookmark, (Bookmark{BookmarkKind::kContentsPage, u"《詩經》卷二、第3頁、經部", u"經部\\詩經\\卷二", 3, {}}));
  BookmarkedPage found;
  ASSERT_TRUE(FindBookmarkedPage(*bookmark, m_corpus.m_catalogue, m_corpus.m_index, found));
  EXPECT_EQ(found.record, 4);
  EXPECT_EQ(found.page, 2u);
}

TEST_F(BookmarkPlaceTest, HitPageKeepsItsSearchAndLabels) {
  const Bookmark seed{BookmarkKind::kHitPage, u"x", u"集部\\唐詩\\卷一", 2, {}};
  BookmarkedPage hit;
  ASSERT_TRUE(FindBookmarkedPage(seed, m_corpus.m_catalogue, m_corpus.m_index, hit));
  EXPECT_EQ(hit.page, 4u);
  EXPECT_EQ(hit.entry.category, u"集部");
  EXPECT_EQ(hit.entry.title, u"唐詩");
  EXPECT_EQ(hit.entry.volume, u"卷一");
  EXPECT_EQ(hit.entry.fileNumber, 2);
  const HitSearch search{u"鶴　黃", SearchMode::kOr, DisplayCode::kMainText, false};
  m_reading.OpenHitPage("hit.html", 1, hit.entry, search);
  const std::optional<Bookmark> bookmark = BookmarkOfShownPage(m_reading, m_corpus.m_catalogue);
  ASSERT_TRUE(bookmark);
  EXPECT_EQ(*bookmark, (Bookmark{BookmarkKind::kHitPage, u"【鶴　黃】《唐詩》卷一、第2頁、集部", u"集部\\唐詩\\卷一", 2, search}));
  // A hit page outside every volume cannot be bookmarked.
  m_reading.OpenHitPage("hit.html", 1, SearchNodeTag{u"", u"", u"", 99, 0, 1}, search);
  EXPECT_FALSE(BookmarkOfShownPage(m_reading, m_corpus.m_catalogue));
}

// Every page bookmarked in the corpus is found in the rebuilt one, with
// the same text under other record and page numbers.
TEST_F(BookmarkPlaceTest, EveryPageIsFoundInARebuiltCorpus) {
  Corpus rebuilt(RebuiltPages(), kRebuiltCatalogue);
  for (int record : {3, 4, 7}) {
    m_reading.EnterVolume(record);
    for (int file = m_reading.FirstFile(); file <= m_reading.LastFile(); ++file) {
      m_reading.SetPage(file);
      const std::optional<Bookmark> bookmark = BookmarkOfShownPage(m_reading, m_corpus.m_catalogue);
      ASSERT_TRUE(bookmark);
      BookmarkedPage here;
      BookmarkedPage there;
      ASSERT_TRUE(FindBookmarkedPage(*bookmark, m_corpus.m_catalogue, m_corpus.m_index, here));
      ASSERT_TRUE(FindBookmarkedPage(*bookmark, rebuilt.m_catalogue, rebuilt.m_index, there));
      EXPECT_EQ(there.record, here.record + 2);
      EXPECT_EQ(there.page, here.page + 1);
      EXPECT_EQ(rebuilt.Text(there.page), m_corpus.Text(here.page));
    }
  }
}

TEST_F(BookmarkPlaceTest, APageTheCorpusLacksIsNotFound) {
  const struct {
    const char* name;
    std::u16string path;
    int file;
  } missing[] = {
      {"no such volume", u"經部\\詩經\\卷九", 1},
      {"no such category", u"史部\\詩經\\卷一", 1},
      {"a file number beyond the volume", u"經部\\詩經\\卷一", 9},
      {"the file number of the next volume", u"經部\\詩經\\卷一", 3},
      {"a file number before the volume", u"經部\\詩經\\卷二", 1},
      {"a negative file number", u"經部\\詩經\\卷二", -3},
      {"a path cut short", u"經部\\詩經\\", 1},
  };
  for (const auto& [name, path, file] : missing) {
    BookmarkedPage found;
    EXPECT_FALSE(FindBookmarkedPage({BookmarkKind::kContentsPage, u"x", path, file, {}}, m_corpus.m_catalogue,
                                    m_corpus.m_index, found))
        << name;
  }
}

}  // namespace
