// The citation's text: a contents page, a hit page, the parts a page may
// lack, the white space around a passage, and no passage at all.
#include "session/citation.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* name;
  std::u16string passage;
  CitationSource source;
  std::u16string expected;
};

TEST(CitationTest, Forms) {
  const CitationSource tang{u"集部", u"御定全唐詩", u"卷一", 3};
  const Case cases[] = {
      {"a passage", u"白日依山盡", tang, u"「白日依山盡」（《御定全唐詩》卷一、第3頁、集部）"},
      {"trimmed, inner break kept", u" \n白日依山盡，\n黃河入海流。\u3000", tang,
       u"「白日依山盡，\n黃河入海流。」（《御定全唐詩》卷一、第3頁、集部）"},
      {"no passage", u"  ", tang, u"《御定全唐詩》卷一、第3頁、集部"},
      {"outside any volume", u"學", CitationSource{u"經部", u"", u"", 0}, u"「學」（經部）"},
      {"a volume without a work", u"學", CitationSource{u"經部", u"", u"卷二", 12},
       u"「學」（卷二、第12頁、經部）"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CitationText(c.passage, c.source), c.expected);
  }
}

}  // namespace
