// Every character of the default corpus's pages must have a glyph in some
// installed font, or the reader shows an empty box. The test lists the
// characters no font covers and fails on any that is not a private-use
// character (those have no standard glyph anywhere; the view frames them).
// Skipped when the corpus has not been built.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "corpus/filelistformat.h"
#include "engine/index.h"

namespace {

namespace fs = std::filesystem;

bool IsPrivateUse(uint32_t c) { return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000; }

// Counts each code point above ASCII of `utf8` into `counts`; bytes that
// are no UTF-8 are skipped.
void CountCharacters(const std::string& utf8, std::map<uint32_t, int>& counts) {
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || i + length > utf8.size()) {
      ++i;
      continue;
    }
    uint32_t c = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    ++counts[c];
    i += length;
  }
}

// The characters any installed font has a glyph for.
FcCharSet* InstalledCoverage() {
  FcInit();
  FcPattern* all = FcPatternCreate();
  FcObjectSet* wanted = FcObjectSetBuild(FC_CHARSET, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, all, wanted);
  FcCharSet* covered = FcCharSetCreate();
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &charset) == FcResultMatch) {
      FcCharSetMerge(covered, charset, nullptr);
    }
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(wanted);
  FcPatternDestroy(all);
  return covered;
}

TEST(FontCoverageTest, EveryCharacterOfThePagesHasAFont) {
  const fs::path dir = CODEXA_DEFAULT_CORPUS;
  if (!fs::exists(dir / FileListHeaderName())) GTEST_SKIP() << "no default corpus in " << dir;
  CIndex index;
  ASSERT_TRUE(index.Open(dir, kCorpusNameUtf16, SearchTarget::kFullText));
  std::map<uint32_t, int> counts;
  std::string bytes;
  for (uint32_t page = 0; page < index.GetPageCount(); ++page) {
    ASSERT_TRUE(index.ReadPage(page, bytes)) << page;
    CountCharacters(bytes, counts);
  }
  FcCharSet* covered = InstalledCoverage();
  int privateUse = 0, privateUseOccurrences = 0, missing = 0;
  for (const auto& [c, count] : counts) {
    if (FcCharSetHasChar(covered, c)) continue;
    std::printf("no font: U+%04X (%d times)%s\n", c, count, IsPrivateUse(c) ? " private use" : "");
    if (IsPrivateUse(c)) {
      ++privateUse;
      privateUseOccurrences += count;
    } else {
      ++missing;
    }
  }
  FcCharSetDestroy(covered);
  std::printf("%zu distinct characters; %d private-use ones (%d occurrences) and %d others without a font\n",
              counts.size(), privateUse, privateUseOccurrences, missing);
  EXPECT_EQ(missing, 0) << "characters outside the private-use area that no installed font covers";
}

}  // namespace
