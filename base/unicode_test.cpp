#include "base/unicode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Utf16ToUtf8, AppendsStandardFormsBehindWhatIsThere) {
  const struct {
    std::u16string source;
    std::string expected;
    int status;
  } cases[] = {
      {u"abc", "\x61\x62\x63", 0},
      {u"\u4E00", "\xE4\xB8\x80", 0},
      {u"\xD840\xDC00", "\xF0\xA0\x80\x80", 0},
      {u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF", 0},
      {u"\xDC00", "\xED\xB0\x80", 0},                  // lone low surrogate: its own value
      {u"\xD800" u"a", "\xED\xA0\x80" "a", 0},         // high surrogate not followed by a low one
      {u"\u00E9\u07FF\u0800", "\xC3\xA9\xDF\xBF\xE0\xA0\x80", 0},
      {u"a\xD840", "a", 1},                            // ends with a high surrogate
      {u"", "", 0},
  };
  for (const auto& c : cases) {
    std::string out = "kept";
    EXPECT_EQ(Utf16ToUtf8(c.source, out), c.status);
    EXPECT_EQ(out, "kept" + c.expected);
  }
}

TEST(AppendUtf8, WritesTheShortestForm) {
  const struct {
    uint32_t codePoint;
    std::string bytes;
  } cases[] = {{0x7F, "\x7F"}, {0x80, "\xC2\x80"}, {0xFFFF, "\xEF\xBF\xBF"}, {0x10000, "\xF0\x90\x80\x80"},
               {0x10FFFF, "\xF4\x8F\xBF\xBF"}};
  for (const auto& c : cases) {
    std::string out;
    AppendUtf8(c.codePoint, out);
    EXPECT_EQ(out, c.bytes) << std::hex << c.codePoint;
  }
}

TEST(DecodeUtf16, PairsSurrogatesAndReportsWhereItStopped) {
  const std::u16string source = u"\u4E00\xD840\xDC00\xDC00x";
  uint32_t target[8];
  const char16_t* src = source.data();
  uint32_t* dst = target;
  EXPECT_EQ(DecodeUtf16(src, source.data() + source.size(), dst, target + 8), 0);
  ASSERT_EQ(dst - target, 4);
  EXPECT_EQ(target[0], 0x4E00u);
  EXPECT_EQ(target[1], 0x20000u);
  EXPECT_EQ(target[2], 0xDC00u);
  EXPECT_EQ(target[3], static_cast<uint32_t>('x'));
  EXPECT_EQ(src, source.data() + source.size());
}

TEST(DecodeUtf16, StopsAtAFullTargetOrATrailingHighSurrogate) {
  const std::u16string pair = u"\xD840\xDC00\u4E00";
  uint32_t one[1];
  const char16_t* src = pair.data();
  uint32_t* dst = one;
  EXPECT_EQ(DecodeUtf16(src, pair.data() + pair.size(), dst, one + 1), 2);
  EXPECT_EQ(one[0], 0x20000u);
  EXPECT_EQ(src, pair.data() + 2);

  const std::u16string cut = u"a\xD840";
  src = cut.data();
  uint32_t two[2];
  dst = two;
  EXPECT_EQ(DecodeUtf16(src, cut.data() + cut.size(), dst, two + 2), 1);
  EXPECT_EQ(dst - two, 1);
  EXPECT_EQ(src, cut.data() + 1);  // the high surrogate is left unread
}

}  // namespace
