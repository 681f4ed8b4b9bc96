// The bookmark list: its moves, its names, and its text read back, with
// every kind of damage a file may bring left out line by line.
#include "session/bookmarks.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

Bookmark Page(std::u16string name, int file = 2) { return {BookmarkKind::kContentsPage, std::move(name), u"經部\\詩經\\卷一", file, {}}; }

Bookmark Hit(std::u16string name) {
  return {BookmarkKind::kHitPage, std::move(name), u"集部\\唐詩\\卷一", 107, {u"白鶴　山水", SearchMode::kOr, DisplayCode::kAnnotations, false}};
}

std::vector<std::u16string> Names(const CBookmarkList& list) {
  std::vector<std::u16string> names;
  for (const Bookmark& bookmark : list.Items()) names.push_back(bookmark.name);
  return names;
}

TEST(BookmarkListTest, RenameRemoveAndMoveWithinBounds) {
  CBookmarkList list;
  for (const char16_t* name : {u"一", u"二", u"三"}) ASSERT_TRUE(list.Add(Page(name)));
  EXPECT_TRUE(list.MoveDown(0));
  EXPECT_TRUE(list.MoveUp(2));
  EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"二", u"三", u"一"}));
  EXPECT_FALSE(list.MoveUp(0));
  EXPECT_FALSE(list.MoveDown(2));
  EXPECT_FALSE(list.MoveDown(99));
  EXPECT_TRUE(list.Rename(1, u"  參\t之\n頁 "));
  EXPECT_FALSE(list.Rename(1, u" \u3000 "));  // blank: the old name stays
  EXPECT_FALSE(list.Rename(3, u"四"));
  EXPECT_TRUE(list.Remove(0));
  EXPECT_FALSE(list.Remove(2));
  EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"參 之 頁", u"一"}));
}

TEST(BookmarkListTest, NamesAreCutWholeAndTheListIsBounded) {
  // A long name is cut, never between the halves of a surrogate pair.
  std::u16string longName(CBookmarkList::kMaxNameLength - 1, u'頁');
  longName += u"\U00020000\U00020000";
  const std::u16string fit = CBookmarkList::FitName(longName);
  EXPECT_EQ(fit, std::u16string(CBookmarkList::kMaxNameLength - 1, u'頁'));
  // Blanks the cut leaves at the end go too, so fitting twice changes
  // nothing.
  const std::u16string spaced = u"頁" + std::u16string(CBookmarkList::kMaxNameLength, u'\r') + u"頁";
  EXPECT_EQ(CBookmarkList::FitName(spaced), u"頁");
  EXPECT_EQ(CBookmarkList::FitName(CBookmarkList::FitName(longName)), fit);
  CBookmarkList list;
  EXPECT_FALSE(list.Add(Page(u"")));
  for (std::size_t i = 0; i < CBookmarkList::kMaxBookmarks; ++i) ASSERT_TRUE(list.Add(Page(u"頁")));
  EXPECT_FALSE(list.Add(Page(u"one too many")));
  EXPECT_EQ(list.Items().size(), CBookmarkList::kMaxBookmarks);
}

TEST(BookmarkListTest, SavedTextReadsBackTheSame) {
  CBookmarkList list;
  list.Add(Page(u"《詩經》卷一、第2頁、經部"));
  list.Add(Hit(u"【白鶴　山水】《唐詩》卷一、第107頁、集部"));
  // A catalogue may name a volume with anything, the escapes' "%" too.
  Bookmark odd = Page(u"100% 頁");
  odd.volumePath = u"類\t別\\書%09\n\\卷\r";
  odd.fileNumber = -7;
  list.Add(odd);
  const std::string text = list.Save();
  EXPECT_EQ(text.substr(0, text.find('\n')), "codexa-bookmarks 1");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
  CBookmarkList read;
  const BookmarkTextRead result = read.Load(text);
  EXPECT_TRUE(result.Whole());
  EXPECT_EQ(result.read, 3u);
  EXPECT_EQ(read.Items(), list.Items());
  // Line ends of another system read the same.
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_TRUE(read.Load(crlf).Whole());
  EXPECT_EQ(read.Items(), list.Items());
}

TEST(BookmarkListTest, LinesThatDoNotReadWholeAreLeftOut) {
  const std::string header = "codexa-bookmarks 1\n";
  const std::string good = "page\t頁\t經部\\詩經\\卷一\t2\n";
  const struct {
    const char* name;
    std::string line;
  } damaged[] = {
      {"no such kind", "leaf\t頁\t經部\t2\n"},
      {"a field missing", "page\t頁\t經部\n"},
      {"a field too many", "page\t頁\t經部\t2\tx\n"},
      {"hit without its search", "hit\t頁\t經部\t2\n"},
      {"file number not a number", "page\t頁\t經部\t二\n"},
      {"file number too large", "page\t頁\t經部\t99999999999\n"},
      {"blank name", "page\t \t經部\t2\n"},
      {"no volume", "page\t頁\t\t2\n"},
      {"broken escape", "page\t頁%2\t經部\t2\n"},
      {"unknown escape", "page\t頁%41\t經部\t2\n"},
      {"cut UTF-8", "page\t\xE9\xA0\t經部\t2\n"},
      {"a NUL inside a number", std::string("page\t頁\t經部\t2") + '\0' + "\n"},
      {"no such mode", "hit\t頁\t經部\t2\t月\txor\t0\t1\n"},
      {"no such target", "hit\t頁\t經部\t2\t月\tand\t3\t1\n"},
      {"folding not 0 or 1", "hit\t頁\t經部\t2\t月\tand\t0\t2\n"},
      {"blank keywords", "hit\t頁\t經部\t2\t\u3000 \tand\t0\t1\n"},
      {"cut short: no line end", "page\t頁\t經部\\詩經\\卷一\t2"},
  };
  for (const auto& [name, line] : damaged) {
    CBookmarkList list;
    // A line cut short can only be the last.
    const bool cutShort = line.back() != '\n';
    const BookmarkTextRead result = list.Load(header + good + line + (cutShort ? "" : good));
    EXPECT_FALSE(result.Whole()) << name;
    EXPECT_EQ(result.skipped, 1u) << name;
    // The sound lines around it are kept.
    EXPECT_EQ(list.Items().size(), cutShort ? 1u : 2u) << name;
  }
  // A text that is not ours, or of another version, gives nothing.
  for (const std::string& text : {std::string(), std::string("codexa-bookmarks 2\n") + good, good,
                                 std::string("codexa-bookmarks 1")}) {
    CBookmarkList list;
    const BookmarkTextRead result = list.Load(text);
    EXPECT_FALSE(result.Whole());
    EXPECT_TRUE(list.Empty());
  }
}

TEST(BookmarkListTest, AHostileTextIsBounded) {
  std::string text = "codexa-bookmarks 1\n";
  for (std::size_t i = 0; i < CBookmarkList::kMaxBookmarks + 5; ++i) text += "page\t頁\t經部\t1\n";
  CBookmarkList list;
  const BookmarkTextRead result = list.Load(text);
  EXPECT_EQ(list.Items().size(), CBookmarkList::kMaxBookmarks);
  EXPECT_EQ(result.skipped, 5u);
  EXPECT_FALSE(result.Whole());
}

}  // namespace
