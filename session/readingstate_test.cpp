// The reading state's rules on a small catalogue: the ends of a volume, the
// first and last volume, a one-page volume, a record without pages, and the
// hit anchors at both ends.
#include "session/readingstate.h"

#include <gtest/gtest.h>

#include <climits>

#include "writer/corpuswriter.h"
#include "writer/scratchdir.h"

namespace {

using codexa::writer::CatalogueRecord;

// 1 經部 > 2 詩經 > 3 卷一 (files 1-3), 4 卷二 (file 4 only)
//        > 5 雜篇 > 6 卷一 (no pages; its file number 5)
// 7 集部 > 8 唐詩 > 9 卷一 (files 10-12)
//        > 10 附録 (a work after the last volume)
const std::vector<CatalogueRecord> kCatalogue = {
    {u"經部", 1, 1, 5, 1}, {u"詩經", 2, 1, 4, 1}, {u"卷一", 3, 1, 3, 1}, {u"卷二", 3, 4, 1, 4},
    {u"雜篇", 2, 5, 0, 5}, {u"卷一", 3, 5, 0, 5}, {u"集部", 1, 5, 3, 10}, {u"唐詩", 2, 5, 3, 10},
    {u"卷一", 3, 5, 3, 10}, {u"附録", 2, 8, 0, 13},
};

class ReadingStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(codexa::writer::WriteCatalogue(m_dir.path(), kCatalogue, error)) << error;
    std::ostringstream diagnostics;
    ASSERT_TRUE(m_catalogue.Load(m_dir / "zemo.dir", {}, diagnostics));
    ASSERT_EQ(m_catalogue.NodeCount(), 11);
  }
  codexa::writer::ScratchDir m_dir;
  CCatalogue m_catalogue;
};

struct PlaceCase {
  const char* name;
  int record, page;  // record 0: no volume entered
  bool prevPage, nextPage;
  int prevVolume, nextVolume;
  bool canPrevVolume, canNextVolume;
};

TEST_F(ReadingStateTest, RulesAtEachPlace) {
  const PlaceCase cases[] = {
      {"before any volume", 0, 0, false, false, 0, 3, false, false},
      {"first page of the first volume", 3, 1, false, true, 0, 4, false, true},
      {"inside a volume", 3, 2, true, true, 0, 4, false, true},
      {"last page of a volume", 3, 3, true, false, 0, 4, false, true},
      {"one-page volume", 4, 4, false, false, 3, 6, true, true},
      {"record without pages", 6, 5, false, false, 4, 9, true, true},
      {"last page of the last volume", 9, 12, true, false, 6, 0, true, false},
      {"first page of the last volume", 9, 10, false, true, 6, 0, true, false},
      // The unsigned rule of the next page: one below the first file still
      // counts as inside, two below as far beyond the last.
      {"one below the first file", 9, 9, false, true, 6, 0, true, false},
      {"two below the first file", 9, 8, false, false, 6, 0, true, false},
      {"beyond the last file", 9, 13, true, false, 6, 0, true, false},
  };
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    CReadingState state(m_catalogue);
    if (c.record != 0) state.EnterVolume(c.record);
    state.SetPage(c.page);
    EXPECT_EQ(state.CanPrevPage(), c.prevPage);
    EXPECT_EQ(state.CanNextPage(), c.nextPage);
    EXPECT_EQ(state.PrevVolume(), c.prevVolume);
    EXPECT_EQ(state.NextVolume(), c.nextVolume);
    EXPECT_EQ(state.CanPrevVolume(), c.canPrevVolume);
    EXPECT_EQ(state.CanNextVolume(), c.canNextVolume);
  }
}

// A hostile catalogue: first and last file numbers at the ends of their
// types. Nothing wraps (the sanitizer build checks), and the largest file
// number has no next page.
TEST(ReadingStateLimitsTest, RecordsAtTheEndsOfTheirTypes) {
  // 1 部 > 2 書 > volumes 3 .. 6 as (first file, pages): (65535, INT32_MAX),
  // (0, INT32_MIN), (65535, INT32_MIN), (1, INT32_MAX)
  const std::vector<CatalogueRecord> records = {
      {u"部", 1, 1, INT32_MAX, 1},          {u"書", 2, 1, INT32_MAX, 1},
      {u"卷一", 3, 1, INT32_MAX, UINT16_MAX}, {u"卷二", 3, 1, INT32_MIN, 0},
      {u"卷三", 3, 1, INT32_MIN, UINT16_MAX}, {u"卷四", 3, INT32_MAX, INT32_MAX, 1},
  };
  codexa::writer::ScratchDir dir;
  std::string error;
  ASSERT_TRUE(codexa::writer::WriteCatalogue(dir.path(), records, error)) << error;
  CCatalogue catalogue;
  std::ostringstream diagnostics;
  ASSERT_TRUE(catalogue.Load(dir / "zemo.dir", {}, diagnostics));

  struct Case {
    int record, page;
    int firstFile, lastFile;
    bool prevPage, nextPage;
  };
  const Case cases[] = {
      {3, UINT16_MAX, UINT16_MAX, INT_MAX, false, true},
      {3, INT_MAX - 1, UINT16_MAX, INT_MAX, true, true},
      {3, INT_MAX, UINT16_MAX, INT_MAX, true, false},  // the largest file number has no next
      {3, INT_MIN, UINT16_MAX, INT_MAX, false, false},
      {4, 0, 0, INT_MIN, false, false},  // one below INT_MIN: held to it
      {4, INT_MIN, 0, INT_MIN, false, false},
      {4, INT_MAX, 0, INT_MIN, true, false},
      {5, UINT16_MAX, UINT16_MAX, INT_MIN + UINT16_MAX - 1, false, false},
      {5, INT_MIN, UINT16_MAX, INT_MIN + UINT16_MAX - 1, false, false},
      {6, 1, 1, INT_MAX, false, true},
      {6, INT_MAX - 1, 1, INT_MAX, true, true},
      {6, INT_MAX, 1, INT_MAX, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "record " << c.record << " page " << c.page);
    CReadingState state(catalogue);
    state.EnterVolume(c.record);
    EXPECT_EQ(state.CurPage(), c.firstFile);
    state.SetPage(c.page);
    EXPECT_EQ(state.FirstFile(), c.firstFile);
    EXPECT_EQ(state.LastFile(), c.lastFile);
    EXPECT_EQ(state.CanPrevPage(), c.prevPage);
    EXPECT_EQ(state.CanNextPage(), c.nextPage);
  }
}

TEST_F(ReadingStateTest, EnteringAVolumeStandsOnItsFirstPage) {
  CReadingState state(m_catalogue);
  EXPECT_EQ(state.CurRecord(), 0);
  EXPECT_EQ(state.CurPage(), 0);
  state.EnterVolume(9);
  EXPECT_EQ(state.CurRecord(), 9);
  EXPECT_EQ(state.CurPage(), 10);
  EXPECT_EQ(state.FirstFile(), 10);
  EXPECT_EQ(state.LastFile(), 12);
  EXPECT_EQ(state.PageLabel(108), "108/10");
  state.SetPage(12);
  EXPECT_EQ(state.PageLabel(108), "108/12");
  state.EnterVolume(6);
  EXPECT_EQ(state.LastFile(), 4);  // no pages: the range ends before it starts
  // Records out of the catalogue read as the all-zero record.
  state.EnterVolume(50);
  EXPECT_EQ(state.CurPage(), 0);
  EXPECT_FALSE(state.CanPrevPage());
  EXPECT_FALSE(state.CanNextPage());
  EXPECT_EQ(state.PrevVolume(), 9);
}

// Walking volume by volume crosses works and categories and stops at the
// ends.
TEST_F(ReadingStateTest, VolumeWalk) {
  CReadingState state(m_catalogue);
  std::vector<int> forward;
  for (int r = state.NextVolume(); r != 0; r = state.NextVolume()) {
    forward.push_back(r);
    state.EnterVolume(r);
  }
  EXPECT_EQ(forward, (std::vector<int>{3, 4, 6, 9}));
  std::vector<int> backward;
  for (int r = state.PrevVolume(); r != 0; r = state.PrevVolume()) {
    backward.push_back(r);
    state.EnterVolume(r);
  }
  EXPECT_EQ(backward, (std::vector<int>{6, 4, 3}));
}

TEST_F(ReadingStateTest, HitsAtBothEnds) {
  CReadingState state(m_catalogue);
  EXPECT_FALSE(state.CanPrevHit());
  EXPECT_FALSE(state.CanNextHit());
  EXPECT_TRUE(state.HitFile().empty());

  state.OpenHitPage("/tmp/windows1.html", 3);
  EXPECT_EQ(state.HitFile(), "/tmp/windows1.html");
  EXPECT_EQ(state.HitFragment(), "#0000");
  EXPECT_FALSE(state.PrevHit());
  EXPECT_EQ(state.CurHit(), 0);
  EXPECT_TRUE(state.NextHit());
  EXPECT_TRUE(state.NextHit());
  EXPECT_EQ(state.HitFragment(), "#0002");
  EXPECT_FALSE(state.CanNextHit());
  EXPECT_FALSE(state.NextHit());
  EXPECT_EQ(state.CurHit(), 2);
  EXPECT_TRUE(state.PrevHit());
  EXPECT_EQ(state.HitFragment(), "#0001");

  // A search starts the anchors again and keeps the page.
  state.RestartHits();
  EXPECT_EQ(state.CurHit(), 0);
  EXPECT_EQ(state.PageHits(), 3);
  EXPECT_TRUE(state.CanNextHit());

  // Opening another page starts at its first anchor; a page of one anchor
  // or none allows no step.
  for (int anchors : {0, 1}) {
    state.NextHit();
    state.OpenHitPage("/tmp/windows2.html", anchors);
    EXPECT_EQ(state.CurHit(), 0);
    EXPECT_FALSE(state.CanPrevHit());
    EXPECT_FALSE(state.CanNextHit());
  }
  // Anchor numbers grow a fifth digit.
  state.OpenHitPage("/tmp/windows1.html", 10001);
  while (state.NextHit()) {
  }
  EXPECT_EQ(state.HitFragment(), "#10000");
}

// A hit page becomes the page being read in its own volume, and the
// page commands go on from it; the citation follows the page shown.
TEST_F(ReadingStateTest, HitPageOpensInItsVolume) {
  CReadingState state(m_catalogue);
  EXPECT_EQ(state.ShownPage(), CReadingState::Shown::kNothing);
  EXPECT_EQ(state.ShownSource().page, 0);
  EXPECT_FALSE(state.OpenHitInVolume());
  state.EnterVolume(3);
  state.SetPage(2);
  EXPECT_EQ(state.ShownSource().work, u"詩經");
  EXPECT_EQ(state.ShownSource().volume, u"卷一");
  EXPECT_EQ(state.ShownSource().category, u"經部");
  EXPECT_EQ(state.ShownSource().page, 2);
  // Page 5 (0-based) is the second page of 集部\唐詩\卷一, file 11.
  state.OpenHitPage("/tmp/windows1.html", 2, SearchNodeTag{u"集部", u"唐詩", u"卷一", 5, 11, 2});
  EXPECT_EQ(state.ShownPage(), CReadingState::Shown::kHitPage);
  EXPECT_EQ(state.HitVolume(), 9);
  EXPECT_EQ(state.ShownSource().work, u"唐詩");
  EXPECT_EQ(state.ShownSource().page, 11);
  EXPECT_EQ(state.CurRecord(), 3);  // the volume read stays until asked
  ASSERT_TRUE(state.OpenHitInVolume());
  EXPECT_EQ(state.CurRecord(), 9);
  EXPECT_EQ(state.CurPage(), 11);
  EXPECT_EQ(state.CurHit(), 0);
  EXPECT_FALSE(state.CanOpenHitInVolume());  // it stands there now
  EXPECT_TRUE(state.CanPrevPage());
  EXPECT_TRUE(state.CanNextPage());
  EXPECT_EQ(state.PrevVolume(), 6);
  state.SetPage(12);
  EXPECT_EQ(state.ShownPage(), CReadingState::Shown::kVolumePage);
  EXPECT_FALSE(state.CanOpenHitInVolume());  // the hit page is no longer shown
}

// Only a hit page inside a volume whose file numbers hold it opens there.
TEST_F(ReadingStateTest, HitPagesThatCannotOpenInAVolume) {
  const SearchNodeTag entries[] = {
      {u"", u"", u"", 40, 0, 1},                  // beyond every record
      {u"集部", u"唐詩", u"卷一", 5, 99, 1},       // a file number the volume lacks
      {u"集部", u"唐詩", u"卷一", 5, 9, 1},        // one below its first file
  };
  for (const SearchNodeTag& entry : entries) {
    CReadingState state(m_catalogue);
    state.OpenHitPage("/tmp/windows1.html", 1, entry);
    EXPECT_FALSE(state.OpenHitInVolume());
    EXPECT_EQ(state.CurRecord(), 0);
  }
}

}  // namespace
