// Every page that a search of the default corpus lists must open with at
// least one hit anchor, for each search target with its display code. A
// page listed for a wildcard keyword counts only where the renderer can see
// the match: within one run and one paragraph of the highlighted cell (the
// index counts positions across tags, runs and paragraphs, the renderer
// matches the page's bytes).

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "base/unicode.h"
#include "corpus/filelistformat.h"
#include "corpus/pagesplit.h"
#include "corpus/render.h"
#include "engine/index.h"
#include "engine/index_testing.h"

namespace {

namespace fs = std::filesystem;

struct Query {
  std::u16string keyword;
  bool variants;
};
const Query kQueries[] = {
    {u"明月", false}, {u"長安", false},  {u"长安", true},   {u"不知", true},    {u"故人", false},
    {u"白雲", true},  {u"春?花", false}, {u"明*光", false}, {u"?風*雨", false}, {u"天??地", false},
};

bool HasWildcard(std::u16string_view keyword) { return keyword.find_first_of(u"*?") != std::u16string_view::npos; }

// The keyword as a pattern over bytes: '?' one three-byte character, '*'
// any stretch, inside one paragraph (the text is cut at paragraphs before).
std::regex WildcardRegex(std::u16string_view keyword) {
  std::string utf8;
  Utf16ToUtf8(keyword, utf8);
  std::string pattern;
  for (char c : utf8) {
    if (c == '?')
      pattern += "[\\xE0-\\xEF][\\x80-\\xBF][\\x80-\\xBF]";
    else if (c == '*')
      pattern += "[\\s\\S]*";
    else
      pattern += c;
  }
  return std::regex(pattern);
}

// Whether a wildcard keyword matches inside one run that the display code
// marks and one paragraph of it.
bool RendererCanSee(const std::string& pageText, const std::string& name, DisplayCode displayCode,
                    const std::regex& keyword) {
  std::vector<HTMLNode> nodes;
  SplitPage(pageText, nodes);
  std::vector<FilterItem> runs;
  SplitRuns(nodes[static_cast<size_t>(CellSelector(name)) + 1].text, runs);
  for (const FilterItem& run : runs) {
    if (displayCode == DisplayCode::kMainText && run.kind != RunKind::kMainText) continue;
    if (displayCode == DisplayCode::kAnnotations && run.kind != RunKind::kAnnotation) continue;
    static const std::regex paragraphs("<p>|<h4>");
    for (std::sregex_token_iterator part(run.text.begin(), run.text.end(), paragraphs, -1), end; part != end;
         ++part) {
      if (std::regex_search(part->str(), keyword)) return true;
    }
  }
  return false;
}

TEST(RenderCorpusTest, EveryListedPageOpensWithAnAnchor) {
  const fs::path dir = CODEXA_DEFAULT_CORPUS;
  if (!fs::exists(dir / FileListHeaderName())) GTEST_SKIP() << "no default corpus in " << dir;
  std::vector<size_t> checkedPerQuery(std::size(kQueries));
  for (const TargetInfo& target : kTargets) {
    CIndex index;
    ASSERT_TRUE(index.Open(dir, kCorpusNameUtf16, target.target));
    for (size_t q = 0; q < std::size(kQueries); ++q) {
      const Query& query = kQueries[q];
      std::u16string text = query.keyword;
      index.SearchAnd(text, query.variants);
      const std::vector<uint32_t> pages = index.GetPageArray();
      const bool wildcard = HasWildcard(query.keyword);
      const std::regex pattern = wildcard ? WildcardRegex(query.keyword) : std::regex();
      std::string label;
      Utf16ToUtf8(query.keyword, label);
      label += " target " + std::string(target.commandName) + (query.variants ? " variants" : "");
      size_t checked = 0, missed = 0;
      for (uint32_t page : pages) {
        std::string output;
        if (index.RenderHit(page, output, query.keyword, target.display, query.variants) > 0) {
          ++checked;
          continue;
        }
        std::string pageText, name;
        ASSERT_TRUE(CIndexTesting::FileListOf(index).ReadPageAndName(page, pageText, name))
            << label << " page " << page;
        if (wildcard && !RendererCanSee(pageText, name, target.display, pattern)) continue;
        ++checked;
        if (++missed <= 3) ADD_FAILURE() << label << ": page " << page << " (" << name << ") has no anchor";
      }
      EXPECT_EQ(missed, 0u) << label << ": " << missed << " of " << pages.size() << " pages";
      checkedPerQuery[q] += checked;
    }
  }
  // Each keyword must have been put to the test somewhere.
  for (size_t q = 0; q < std::size(kQueries); ++q) EXPECT_GT(checkedPerQuery[q], 0u) << q;
}

}  // namespace
