// Page splitting, keyword patterns, hit marking and page rendering on
// arbitrary page bytes and keyword texts.
//
// Input: display code (byte), stored name (chunk), keyword picks (chunk,
// see alphabet.h), page bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "base/unicode.h"
#include "corpus/hitmark.h"
#include "corpus/kwic.h"
#include "corpus/pagesplit.h"
#include "corpus/render.h"
#include "engine/index.h"
#include "engine/variantexpand.h"
#include "engine/variants.h"
#include "fuzz/alphabet.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/require.h"

namespace {

using codexa::fuzz::CountOccurrences;
using codexa::fuzz::FuzzInput;

// Removes what MarkRun adds: anchors ("<a name="NNNN"></a>", 19 bytes
// while the numbers have four digits), highlight tags. Returns the number
// of anchors removed.
int StripMarks(std::string& text) {
  int anchors = 0;
  for (size_t at; (at = text.find(kAnchorHead)) != std::string::npos; ++anchors) text.erase(at, 19);
  for (std::string_view mark : {kHighlightOpen, kHighlightClose}) {
    for (size_t at; (at = text.find(mark)) != std::string::npos;) text.erase(at, mark.size());
  }
  return anchors;
}

// MarkRun only adds anchors and highlights: taking them out again gives the
// run back, and the counter moved by the number of anchors.
void CheckMarkRun(std::string_view run, std::string_view keyword) {
  const bool runHasMarks = run.find("<a name=") != std::string_view::npos ||
                           run.find("<b style") != std::string_view::npos || run.find("</b>") != std::string_view::npos;
  int counter = 0;
  std::string marked = MarkRun(run, keyword, counter);
  if (CompilePattern(keyword).empty()) FUZZ_REQUIRE(marked == run && counter == 0);
  if (runHasMarks || counter >= 10000) return;
  FUZZ_REQUIRE(StripMarks(marked) == counter);
  FUZZ_REQUIRE(marked == run);
}

// Whether a tag of `page` holds a byte outside ASCII. A keyword the reader
// accepts (no unit below U+0100 but the wildcards) can match only there
// inside a tag, and the markup around such a match splits the tag, so that
// later passes may read the page's sections differently.
bool HasNonAsciiTag(std::string_view page) {
  bool inTag = false;
  for (char c : page) {
    if (c == '<' && !inTag) inTag = true;
    else if (c == '>' && inTag) inTag = false;
    else if (inTag && static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// Every line of the keyword-in-context listing names an anchor the
// rendered page writes, where the page leaves no doubt which of its marks
// are the renderer's: none of its own, no tag a keyword can match in.
void CheckOccurrences(std::string_view page, std::string_view name, std::u16string_view keywords,
                      const std::vector<Pattern>& patterns, DisplayCode displayCode, int anchors) {
  // Listed for every page, the damaged ones too, which must only end cleanly.
  const std::vector<KwicLine> lines = PageOccurrences(page, name, patterns, displayCode, 5);
  const bool ownMarks = page.find(kAnchorHead) != std::string_view::npos ||
                        page.find("<b style") != std::string_view::npos ||
                        page.find(kHighlightClose) != std::string_view::npos;
  if (ownMarks || HasNonAsciiTag(page) || CIndex::CheckQuery(keywords) <= 0) return;
  for (const KwicLine& line : lines) FUZZ_REQUIRE(line.anchor >= 0 && line.anchor < anchors);
}

// A rendered page is the frame around the three texts. Every anchor the
// passes wrote is in it when the stored page holds none of its own and its
// tags give a keyword the reader accepts nothing to match.
void CheckRendered(std::string_view page, std::string_view name, std::u16string_view keywords,
                   const std::vector<Pattern>& patterns, DisplayCode displayCode) {
  std::string output = "untouched";
  const int anchors = RenderPatterns(page, name, patterns, displayCode, output);
  if (patterns.empty()) {
    FUZZ_REQUIRE(anchors == 0 && output == "untouched");
    return;
  }
  FUZZ_REQUIRE(output.starts_with(kFrameHead) && output.ends_with(kFrameTail));
  if (page.find(kAnchorHead) == std::string_view::npos && !HasNonAsciiTag(page) && CIndex::CheckQuery(keywords) > 0) {
    FUZZ_REQUIRE(CountOccurrences(output, kAnchorHead) == static_cast<size_t>(anchors));
  }
  CheckOccurrences(page, name, keywords, patterns, displayCode, anchors);
}

// The keywords of a query text: the runs between U+0020 and U+3000.
std::vector<std::u16string> Keywords(std::u16string_view text) {
  std::vector<std::u16string> keywords(1);
  for (char16_t unit : text) {
    if (unit != u' ' && unit != 0x3000) {
      keywords.back() += unit;
    } else if (!keywords.back().empty()) {
      keywords.emplace_back();
    }
  }
  return keywords;
}

const CVariantTable& FoldingTable() {
  static const CVariantTable table = [] {
    CVariantTable t;
    t.Parse("4E00,4E01,20000\n4E02,4E03\n4E01,4E04\n");
    return t;
  }();
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  // 3 is no display code: the renderer must mark nothing for it.
  const auto displayCode = static_cast<DisplayCode>(input.Byte() % 4);
  const std::string_view name = input.Chunk();
  const std::u16string keywords = codexa::fuzz::PickUnits(input.Chunk());
  const std::string_view page = input.Rest();

  std::vector<HTMLNode> nodes;
  SplitPage(page, nodes);
  FUZZ_REQUIRE(nodes.size() == 3);
  FUZZ_REQUIRE(nodes[0].text.size() + nodes[1].text.size() + nodes[2].text.size() <= page.size());

  std::vector<FilterItem> runs;
  for (const HTMLNode& node : nodes) {
    const size_t first = runs.size();
    SplitRuns(node.text, runs);
    FUZZ_REQUIRE(runs.size() > first && runs[first].kind == RunKind::kMainText);
  }
  for (const std::u16string& keyword : Keywords(keywords)) {
    std::string utf8;
    Utf16ToUtf8(keyword, utf8);
    for (const FilterItem& run : runs) CheckMarkRun(run.text, utf8);
  }

  CheckRendered(page, name, keywords, KeywordPatterns(keywords), displayCode);
  std::vector<Pattern> folded;
  for (const std::vector<KeywordAtom>& atoms : FoldedKeywords(FoldingTable(), keywords)) {
    folded.push_back(CompileAtoms(atoms));
  }
  CheckRendered(page, name, keywords, folded, displayCode);
  return 0;
}
