// The engine against a brute-force count over the default corpus: for each
// keyword (no "*"), the pages and hit counts of a search equal the number of
// places where the keyword's characters stand at the right distances in the
// characters the builder indexed, for each search target, with and without
// variant folding. Skipped when the default corpus has not been built.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/unicode.h"
#include "corpus/filelist.h"
#include "corpus/filelistformat.h"
#include "engine/codeconverter.h"
#include "engine/index.h"
#include "engine/variants.h"
#include "tools/build/indexedtext.h"
#include "tools/build/utf8.h"

namespace codexa::build {
namespace {

namespace fs = std::filesystem;

// A break between stretches of adjacent positions.
constexpr uint32_t kBreak = 0;

// The indexed characters of every page as stretches of adjacent positions,
// each stretch of one run kind, stretches separated by kBreak.
struct IndexedCorpus {
  std::vector<uint32_t> chars;
  std::vector<RunKind> kinds;   // kind of each character
  std::vector<size_t> pageStart;  // chars index of each page; one more at the end
};

IndexedCorpus ReadIndexedCorpus(const fs::path& dir) {
  IndexedCorpus corpus;
  CFileList list;
  EXPECT_TRUE(list.Open(dir, kCorpusNameUtf16));
  std::string html, name;
  std::vector<IndexedChar> scanned;
  for (uint32_t page = 0; page < list.GetPageCount(); ++page) {
    corpus.pageStart.push_back(corpus.chars.size());
    if (!list.ReadPageAndName(page, html, name)) {
      ADD_FAILURE() << "page " << page << " unreadable";
      continue;
    }
    ScanIndexedText(html, CellSelector(name), scanned);
    for (size_t i = 0; i < scanned.size(); ++i) {
      if (i > 0 && scanned[i].position != scanned[i - 1].position + 1) {
        corpus.chars.push_back(kBreak);
        corpus.kinds.push_back(RunKind::kMainText);
      }
      corpus.chars.push_back(scanned[i].codePoint);
      corpus.kinds.push_back(scanned[i].kind);
    }
    corpus.chars.push_back(kBreak);
    corpus.kinds.push_back(RunKind::kMainText);
  }
  corpus.pageStart.push_back(corpus.chars.size());
  return corpus;
}

// A keyword as terms: the characters each position may hold ("?" = any).
struct Term {
  size_t offset;
  std::vector<uint32_t> accepted;
};

std::vector<Term> Terms(std::u16string_view keyword, bool variants, const CVariantTable& table) {
  std::vector<Term> terms;
  size_t offset = 0;
  const std::u16string text(keyword);
  const std::string utf8 = [&] {
    std::string out;
    Utf16ToUtf8(text, out);
    return out;
  }();
  for (size_t i = 0; i < utf8.size(); ++offset) {
    const uint32_t cp = NextCodePoint(utf8, i);
    if (cp == '?' || cp == 0xFF1F) continue;
    int32_t code = CharToIndexCode(cp);
    std::vector<uint32_t> accepted{cp};
    if (variants && table.FindVariantGroup(cp, code)) accepted = table.groups()[static_cast<size_t>(code - kFirstGroupCode)];
    terms.push_back({offset, accepted});
  }
  return terms;
}

bool Accepts(const Term& term, uint32_t cp) {
  for (uint32_t a : term.accepted) {
    if (a == cp) return true;
  }
  return false;
}

using Hits = std::map<uint32_t, uint32_t>;

Hits BruteForce(const IndexedCorpus& corpus, const std::vector<Term>& terms, SearchTarget target) {
  Hits hits;
  if (terms.empty()) return hits;
  const size_t first = terms.front().offset;
  const size_t span = terms.back().offset - first;
  const auto kindWanted = [&](RunKind kind) {
    return target == SearchTarget::kFullText || (target == SearchTarget::kMainText) == (kind == RunKind::kMainText);
  };
  for (uint32_t page = 0; page + 1 < corpus.pageStart.size(); ++page) {
    uint32_t count = 0;
    const size_t end = corpus.pageStart[page + 1];
    for (size_t i = corpus.pageStart[page]; i + span < end; ++i) {
      if (corpus.chars[i] == kBreak || !kindWanted(corpus.kinds[i])) continue;
      bool match = true;
      for (const Term& term : terms) match = match && Accepts(term, corpus.chars[i + term.offset - first]);
      // A "?" between two characters stands for a position of the same
      // stretch: across a break the positions are far apart.
      for (size_t k = i; match && k <= i + span; ++k) match = corpus.chars[k] != kBreak;
      count += match;
    }
    if (count > 0) hits[page] = count;
  }
  return hits;
}

class DefaultCorpusOracle : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!fs::exists(Dir() / FileListHeaderName())) return;
    m_pCorpus = new IndexedCorpus(ReadIndexedCorpus(Dir()));
  }
  static void TearDownTestSuite() {
    delete m_pCorpus;
    m_pCorpus = nullptr;
  }
  void SetUp() override {
    if (!m_pCorpus) GTEST_SKIP() << "the default corpus is not built at " << Dir();
    m_table.Load(Dir());
  }
  static fs::path Dir() { return CODEXA_DEFAULT_CORPUS; }

  void Check(const std::u16string& keyword, SearchTarget target, bool variants) {
    CIndex index;
    ASSERT_TRUE(index.Open(Dir(), kCorpusNameUtf16, target));
    std::u16string query = keyword;
    index.SearchAnd(query, variants);
    Hits engine;
    for (size_t i = 0; i < index.GetPageArray().size(); ++i) engine[index.GetPageArray()[i]] = index.GetCountArray()[i];
    EXPECT_TRUE(std::is_sorted(index.GetPageArray().begin(), index.GetPageArray().end()));
    const Hits expected = BruteForce(*m_pCorpus, Terms(keyword, variants, m_table), target);
    std::string label;
    Utf16ToUtf8(keyword, label);
    std::string differences;
    for (const auto& [page, count] : expected) {
      const auto it = engine.find(page);
      if (it == engine.end() || it->second != count) {
        differences += " page " + std::to_string(page) + ": " + std::to_string(count) + " expected, " +
                       std::to_string(it == engine.end() ? 0 : it->second) + " found;";
      }
    }
    for (const auto& [page, count] : engine) {
      if (!expected.count(page)) differences += " page " + std::to_string(page) + ": " + std::to_string(count) + " found, none expected;";
    }
    EXPECT_TRUE(differences.empty()) << label << " target " << TargetInfoOf(target).commandName << (variants ? " with variants" : "") << ":"
                                     << differences.substr(0, 2000);
    m_nCheckedHits += expected.size();
  }

  static IndexedCorpus* m_pCorpus;
  CVariantTable m_table;
  size_t m_nCheckedHits = 0;
};

IndexedCorpus* DefaultCorpusOracle::m_pCorpus = nullptr;

TEST_F(DefaultCorpusOracle, ChosenKeywords) {
  const std::u16string keywords[] = {u"月",   u"明月",     u"床前明月光", u"白日依山盡", u"春?秋", u"?之",
                                     u"天?地?", u"子曰",   u"一作",       u"君不見",     u"風??雨", u"學而時習之"};
  for (const std::u16string& keyword : keywords) {
    for (SearchTarget target : {SearchTarget::kFullText, SearchTarget::kMainText, SearchTarget::kAnnotations}) Check(keyword, target, false);
  }
  // Folding: simplified, traditional and Japanese forms.
  for (const char16_t* keyword : {u"学而", u"國", u"长安", u"気", u"東风"}) {
    Check(keyword, SearchTarget::kFullText, true);
    Check(keyword, SearchTarget::kMainText, true);
  }
  EXPECT_GT(m_nCheckedHits, 10000u) << "the keywords should find something";
}

// Keywords cut from random places of the indexed text, 1 to 6 characters,
// some characters replaced by "?".
TEST_F(DefaultCorpusOracle, SampledKeywords) {
  std::mt19937 random(20240611);
  const IndexedCorpus& corpus = *m_pCorpus;
  for (int sample = 0; sample < 40;) {
    const size_t at = random() % corpus.chars.size();
    const size_t length = 1 + random() % 6;
    std::u16string keyword;
    bool usable = true, hasTerm = false;
    for (size_t k = 0; k < length && usable; ++k) {
      const uint32_t cp = at + k < corpus.chars.size() ? corpus.chars[at + k] : kBreak;
      if (cp == kBreak) usable = false;
      // Characters the engine drops from keywords, and the full-width "？"
      // it reads as "?", stand as "?"; so do some others.
      else if (CharToIndexCode(cp) < 0 || cp == 0xFF1F || random() % 4 == 0) keyword += u'?';
      else {
        hasTerm = true;
        std::string utf8;
        AppendUtf8(cp, utf8);
        keyword += Utf8ToUtf16(utf8);
      }
    }
    if (!usable || !hasTerm) continue;
    ++sample;
    Check(keyword, SearchTarget::kFullText, sample % 3 == 0);
    Check(keyword, sample % 2 ? SearchTarget::kMainText : SearchTarget::kAnnotations, sample % 3 == 0);
  }
}

}  // namespace
}  // namespace codexa::build
