// Query evaluation: from a query text to the page and count arrays.
//
// A keyword is turned into terms (its characters that have a posting list)
// grouped into segments (the runs between "*"). Every term carries its own
// cursor on its list; the lists are walked together page by page, and a page
// is examined only when every term has a record for it. Pages where some
// term is missing are passed over without reading their positions.
//
// Positions are compared as "adjusted positions": a term at keyword position
// p (every character and every "?" takes one position, "*" none) that sits
// at text position t has the adjusted position (N - 1 - p) + t, N being the
// keyword's number of positions. The terms of one segment match together
// exactly when their adjusted positions are equal; that common value is the
// segment's alignment. Two consecutive segments fit when the later one's
// alignment lies 0 to 300 above the earlier one's: then the first character
// after the "*" stands at least one position (plus one per "?" between) and
// at most 300 positions further after the last character before it.
//
// Counting rule. Without "*" the count of a page is the number of places
// where the keyword matches, overlapping ones included (AAA holds AA twice).
// With "*" the count is the number of alignments of the first segment that
// can be completed: a chain of alignments of the later segments, each
// fitting the one before. An occurrence of the first segment counts once,
// however many completions it has. The chain need not use the earliest
// alignment of each later segment (for A*B*C, a later B may be the one that
// reaches C), so the segments are resolved from the last one backwards: the
// alignments of segment k that have a completion are kept, and segment k - 1
// keeps those of its alignments that fit one of them.
//
// The page-count table (engine/ngramtable.h), when the index has a usable
// one, answers a plain run of one or two characters (no "?" or "*" between
// them) straight from its list. Any other keyword that has two characters
// side by side (in a longer run, or around a "?" or "*") is matched only on
// the pages that hold every such pair; one without (明?月) walks its
// characters' position lists, whose skip tables pass over the pages that
// lack one of them. Without a usable table, the position lists answer.
//
// AND evaluates its keywords rarest first, by the smallest page-count list
// that bounds each one's pages, and looks for every later keyword only on
// the pages left so far: a frequent keyword is then read on a few pages
// instead of through its whole list. Its page-count list is decoded whole
// where those pages are about as many as its blocks, and otherwise only in
// the blocks that can hold one of them, the others stepped over by their
// heads; where even its blocks far outnumber the pages, its positions are
// matched on those pages instead. The results are combined as engine/hitcombine.h
// tells.

#include <algorithm>
#include <utility>

#include "base/unicode.h"
#include "engine/codeconverter.h"
#include "engine/hitcombine.h"
#include "engine/index.h"
#include "engine/indexstate.h"

namespace {

constexpr char16_t kSpace = u' ';
constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr uint32_t kAnyOne = u'?';
constexpr uint32_t kFullWidthAnyOne = 0xFF1F;
constexpr uint32_t kGap = u'*';
// The most characters a "*" may stand for.
constexpr uint64_t kMaxGap = 300;

bool IsSeparator(char16_t unit) { return unit == kSpace || unit == kIdeographicSpace; }

// One keyword character with a posting list.
struct Term {
  CPostingCursor cursor;
  int32_t code = 0;
  uint64_t lead = 0;      // N - 1 - keyword position
  uint64_t adjusted = 0;  // lead + text position of the current occurrence
};

// The terms of a keyword in keyword order, split into the segments that
// hold terms.
struct KeywordTerms {
  std::vector<Term> terms;
  std::vector<size_t> segmentEnds;  // one past each segment's last term
};

// Moves the term to its next occurrence on the current page.
inline bool StepTerm(Term& term) {
  uint32_t delta;
  if (!term.cursor.NextPosition(delta)) return false;
  term.adjusted += delta;
  return true;
}

// Calls `visit` with every alignment of the terms [first, last) on the
// current page, ascending, until `visit` answers false or a term has no
// occurrence left on the page.
template <class Visit>
void ForEachAlignment(Term* first, Term* last, Visit&& visit) {
  uint64_t threshold = 0;
  for (Term* term = first; term != last; ++term) {
    uint32_t position;
    if (!term->cursor.NextPosition(position)) return;
    term->adjusted = term->lead + position;
    threshold = std::max(threshold, term->adjusted);
  }
  if (last - first == 1) {
    do {
      if (!visit(first->adjusted)) return;
    } while (StepTerm(*first));
    return;
  }
  for (;;) {
    bool aligned = true;
    for (Term* term = first; term != last; ++term) {
      while (term->adjusted < threshold) {
        if (!StepTerm(*term)) return;
      }
      if (term->adjusted > threshold) {
        threshold = term->adjusted;
        aligned = false;
      }
    }
    if (aligned) {
      if (!visit(threshold)) return;
      ++threshold;
    }
  }
}

// The number of alignments of two terms on the current page: ForEachAlignment
// for two, with their adjusted positions kept in registers rather than in
// the terms. Keywords like 明?月, which have no pair of adjacent characters
// to narrow their pages by, come here on every page that holds both.
uint32_t CountPairAlignments(Term& first, Term& second) {
  uint32_t delta;
  if (!first.cursor.NextPosition(delta)) return 0;
  uint64_t a = first.lead + delta;
  if (!second.cursor.NextPosition(delta)) return 0;
  uint64_t b = second.lead + delta;
  uint64_t threshold = std::max(a, b);
  uint32_t count = 0;
  for (;;) {
    while (a < threshold) {
      if (!first.cursor.NextPosition(delta)) return count;
      a += delta;
    }
    threshold = a;
    while (b < threshold) {
      if (!second.cursor.NextPosition(delta)) return count;
      b += delta;
    }
    if (b == threshold) {
      ++count;
      ++threshold;
    } else {
      threshold = b;
    }
  }
}

// Counts the matches of a pattern on the page that all its terms are on,
// by the counting rule above. Keeps its buffers from page to page.
class PageMatcher {
 public:
  uint32_t Count(KeywordTerms& pattern) {
    uint32_t count = 0;
    const auto countOne = [&count](uint64_t) {
      ++count;
      return true;
    };
    size_t segment = pattern.segmentEnds.size() - 1;
    if (segment == 0 && pattern.terms.size() == 2) return CountPairAlignments(pattern.terms[0], pattern.terms[1]);
    if (segment == 0) {
      ForEachAlignment(Begin(pattern, 0), End(pattern, 0), countOne);
      return count;
    }
    m_completable.clear();
    ForEachAlignment(Begin(pattern, segment), End(pattern, segment), [this](uint64_t alignment) {
      m_completable.push_back(alignment);
      return true;
    });
    while (--segment > 0 && !m_completable.empty()) {
      m_earlier.clear();
      ForEachFitting(Begin(pattern, segment), End(pattern, segment), [this](uint64_t alignment) {
        m_earlier.push_back(alignment);
        return true;
      });
      m_completable.swap(m_earlier);
    }
    if (m_completable.empty()) return 0;
    ForEachFitting(Begin(pattern, 0), End(pattern, 0), countOne);
    return count;
  }

 private:
  static Term* Begin(KeywordTerms& pattern, size_t segment) {
    return pattern.terms.data() + (segment == 0 ? 0 : pattern.segmentEnds[segment - 1]);
  }
  static Term* End(KeywordTerms& pattern, size_t segment) { return pattern.terms.data() + pattern.segmentEnds[segment]; }

  // Hands `keep` the alignments of the segment [first, last) that some
  // completable alignment of the next segment fits.
  template <class Keep>
  void ForEachFitting(Term* first, Term* last, Keep&& keep) {
    size_t next = 0;
    ForEachAlignment(first, last, [&](uint64_t alignment) {
      while (next < m_completable.size() && m_completable[next] < alignment) ++next;
      if (next == m_completable.size()) return false;
      return m_completable[next] - alignment > kMaxGap || keep(alignment);
    });
  }

  std::vector<uint64_t> m_completable;  // of the segment after the one at hand
  std::vector<uint64_t> m_earlier;
};

// Moves a cursor to its list's next page record. False when the list is
// complete or ran off its data.
inline bool NextPage(CPostingCursor& cursor) {
  return !cursor.AtEnd() && cursor.SkipRestOfPage() && cursor.NextRecordHeader();
}

// Brings every term to the lowest page at or above `target` that all of
// them hold and leaves `target` on it. False when some list ends first.
bool AlignPages(std::vector<Term>& terms, uint64_t& target) {
  // No page lies above 32 bits; a target raised below is some term's page.
  if (target > UINT32_MAX) return false;
  for (bool aligned = false; !aligned;) {
    aligned = true;
    for (Term& term : terms) {
      const auto goal = static_cast<uint32_t>(target);
      if (term.cursor.page() < goal) term.cursor.SkipToward(goal);
      if (!term.cursor.AdvanceTo(goal)) return false;
      if (term.cursor.page() > goal) {
        target = term.cursor.page();
        aligned = false;
      }
    }
  }
  return true;
}

// The pages of a one-character keyword with their counts: every record of
// its list, read straight through.
void EvaluateOneTerm(CPostingCursor& cursor, HitArrays& hits) {
  // Pages only ascend: a record that does not (a damaged list) is passed
  // over.
  uint64_t next = 0;
  do {
    if (cursor.page() < next) continue;
    if (const uint32_t count = cursor.CountRestOfPage()) hits.Add(cursor.page(), count);
    next = uint64_t{cursor.page()} + 1;
  } while (NextPage(cursor));
}

// Where each term's skip table sends it for each of a few candidate pages,
// found for all of them at once (SkipTable::LastEntriesBelow), and the
// records there asked for, before any term moves. Taken one candidate and
// one term at a time, each search and each walk from its record waits on
// its own cache misses in turn; a search made only when the cursor gets
// there would find the same entries.
class JumpPlan {
 public:
  // Past this many candidates the records asked for early would crowd each
  // other out of the cache before they are read, and the cursors' own
  // searches, from entries close behind, take few steps anyway.
  static constexpr size_t kMostCandidates = 64;
  // A single candidate has no other's misses to overlap with.
  static constexpr size_t kFewestCandidates = 2;

  JumpPlan(const std::vector<Term>& terms, const std::vector<uint32_t>& candidates) {
    const bool few = candidates.size() >= kFewestCandidates && candidates.size() <= kMostCandidates;
    m_candidates = few ? candidates.size() : 0;
    m_entries.resize(terms.size() * m_candidates);
    if (m_candidates == 0) return;
    for (size_t t = 0; t < terms.size(); ++t) {
      terms[t].cursor.skipTable().LastEntriesBelow(candidates.data(), m_candidates, &m_entries[t * m_candidates]);
    }
    for (size_t c = 0; c < m_candidates; ++c) {
      for (size_t t = 0; t < terms.size(); ++t) terms[t].cursor.PrefetchSample(Entry(t, c));
    }
  }

  bool planned() const { return m_candidates != 0; }
  uint32_t Entry(size_t term, size_t candidate) const { return m_entries[term * m_candidates + candidate]; }

 private:
  size_t m_candidates = 0;
  std::vector<uint32_t> m_entries;  // by term, then by candidate
};

// AlignPages for a target far ahead (candidate page `c` of `plan`): every
// term that is behind first jumps by its skip table, then AlignPages walks
// them on. The searches of the terms' skip tables do not wait on each
// other, so their memory reads overlap, where AlignPages would take each
// term's search and walk in turn.
bool JumpAndAlignPages(std::vector<Term>& terms, const JumpPlan& plan, size_t c, uint64_t& target) {
  if (target > UINT32_MAX) return false;  // no page lies above 32 bits
  const auto goal = static_cast<uint32_t>(target);
  for (size_t t = 0; t < terms.size(); ++t) {
    CPostingCursor& cursor = terms[t].cursor;
    if (cursor.page() >= goal) continue;
    plan.planned() ? cursor.SkipToward(goal, plan.Entry(t, c)) : cursor.SkipToward(goal);
  }
  return AlignPages(terms, target);
}

// The pages where the pattern matches at or after the pages in
// `candidates` (ascending), with their counts.
void EvaluateOnPages(KeywordTerms& pattern, const std::vector<uint32_t>& candidates, HitArrays& hits) {
  PageMatcher matcher;
  const JumpPlan plan(pattern.terms, candidates);
  // 64 bits, so that the page after the highest page number is no wrap back
  // to page 0.
  uint64_t target = 0;
  for (size_t c = 0; c < candidates.size(); ++c) {
    if (candidates[c] < target) continue;
    target = candidates[c];
    if (!JumpAndAlignPages(pattern.terms, plan, c, target)) return;
    const uint32_t page = static_cast<uint32_t>(target);
    if (const uint32_t count = matcher.Count(pattern)) hits.Add(page, count);
    target = uint64_t{page} + 1;
  }
}

// Whether the terms stand at consecutive keyword positions of one segment.
bool IsPlainRun(const KeywordTerms& pattern) {
  if (pattern.segmentEnds.size() != 1) return false;
  for (size_t i = 1; i < pattern.terms.size(); ++i) {
    if (pattern.terms[i - 1].lead != pattern.terms[i].lead + 1) return false;
  }
  return true;
}

// Calls `visit` with the index i of every term that stands right after
// term i - 1 in the text wherever the pattern matches: in the same segment,
// at the next keyword position.
template <class Visit>
void ForEachAdjacentPair(const KeywordTerms& pattern, Visit&& visit) {
  size_t segment = 0;
  for (size_t i = 1; i < pattern.terms.size(); ++i) {
    if (i == pattern.segmentEnds[segment]) {
      ++segment;
      continue;
    }
    if (pattern.terms[i - 1].lead == pattern.terms[i].lead + 1) visit(i);
  }
}

// What the page-count table holds for a keyword: the lists of its pairs of
// adjacent terms or, when it has no such pair, of its terms, the smallest
// (the rarest) first. Looked up once and kept with the keyword: ordering an
// AND, answering a short run and narrowing the pages of a longer one all
// read the same lists, and each lookup costs a few cache misses in tables
// of hundreds of kilobytes.
struct KeywordLists {
  bool paired = false;  // the lists are of pairs
  bool usable = true;   // the table answered every lookup
  bool absent = false;  // some pair or term occurs nowhere
  std::vector<PageCountList> found;
};

void LookUpLists(const KeywordTerms& pattern, const NgramTable& ngrams, KeywordLists& lists) {
  lists = KeywordLists();
  lists.found.reserve(pattern.terms.size());
  const auto keep = [&lists](NgramTable::Lookup lookup, const PageCountList& list) {
    lists.usable = lists.usable && lookup != NgramTable::Lookup::kUnusable;
    lists.absent = lists.absent || lookup == NgramTable::Lookup::kAbsent;
    if (lookup == NgramTable::Lookup::kFound) lists.found.push_back(list);
  };
  PageCountList list;
  ForEachAdjacentPair(pattern, [&](size_t i) {
    lists.paired = true;
    keep(ngrams.Pair(pattern.terms[i - 1].code, pattern.terms[i].code, list), list);
  });
  if (!lists.paired) {
    for (const Term& term : pattern.terms) keep(ngrams.Single(term.code, list), list);
  }
  std::sort(lists.found.begin(), lists.found.end(),
            [](const PageCountList& a, const PageCountList& b) { return a.size() < b.size(); });
}

// How a page-count list is read when only the pages of `within` matter.
enum class WithinRead {
  kWhole,   // decoded whole, then intersected
  kBlocks,  // only its blocks that can hold a page of `within`
  kNot,     // not at all: positions are matched on those pages instead
};

// Beyond this many blocks of a page-count list per page of `within`,
// matching positions on those pages costs less than stepping over the
// list's blocks. A block is passed over by reading and checking its head
// (some 25 ns), one that holds a page is decoded (some 150 ns), and a
// page's positions cost a skip-table search and a record of each term
// (some 300 ns for two terms; engine_bench, "AND, common and rare").
constexpr uint64_t kNarrowingBlocksPerPage = 8;

// With about a page of `within` per block or more, nearly every block holds
// one, and decoding the list whole and intersecting it (through a bitmap,
// engine/hitcombine.h) runs faster than finding each block's pages.
WithinRead HowToReadWithin(const PageCountList& list, const std::vector<uint32_t>& within) {
  const uint64_t blocks = PageCountBlocks(list);
  if (blocks > kNarrowingBlocksPerPage * within.size()) return WithinRead::kNot;
  return within.size() >= blocks ? WithinRead::kWhole : WithinRead::kBlocks;
}

// Answers a run of one or two terms from its page-count list (its term's
// or its pair's), with `within` as HowToReadWithin tells. False when the
// table cannot answer, or when matching positions on the pages of `within`
// costs less.
bool AnswerFromTable(const KeywordLists& lists, const std::vector<uint32_t>* within, HitArrays& hits,
                     uint64_t& listBytes) {
  if (!lists.usable) return false;
  if (lists.absent) return true;
  const PageCountList& list = lists.found[0];
  const WithinRead read = within == nullptr ? WithinRead::kWhole : HowToReadWithin(list, *within);
  if (read == WithinRead::kNot) return false;
  if (read == WithinRead::kBlocks) {
    listBytes += DecodePageCountsWithin(list, *within, hits);
    return true;
  }
  DecodePageCounts(list, hits);
  listBytes += list.size();
  return true;
}

// A pair that narrows pages already few saves only the matching of the
// pages it removes: past this many bytes of its list per page left, reading
// it (even block by block) costs more than that saves (comparison program:
// the four- and five-character phrases).
constexpr size_t kNarrowingBytesPerPage = 64;

// Keeps the pages of `pages` that `list` holds, reading only its pages and
// only in the blocks that can hold one of them; false when it is not worth
// reading (HowToReadWithin). Without counts, block by block costs no more
// than whole even where nearly every block holds a page: each block's
// pages are kept as they are found, and no decoded list is intersected
// afterwards.
bool NarrowByList(const PageCountList& list, std::vector<uint32_t>& pages, std::vector<uint32_t>& kept,
                  uint64_t& listBytes) {
  if (HowToReadWithin(list, pages) == WithinRead::kNot || list.size() > kNarrowingBytesPerPage * pages.size()) {
    return false;
  }
  kept.clear();
  listBytes += DecodePagesWithin(list, pages, kept);
  pages.swap(kept);
  return true;
}

// The pages (of `within`, when given) that hold every pair of adjacent
// terms of the pattern, ascending: a match needs them all. The rarest pairs
// narrow them first, each read only in its blocks that can hold a page
// left; pairs whose blocks far outnumber the pages left are not read. A
// single term's list would narrow nothing: its own cursor passes over the
// pages without it through the skip table anyway. False when the
// table cannot tell or the pattern has no such pair.
bool CandidatePages(const KeywordLists& found, const std::vector<uint32_t>* within, std::vector<uint32_t>& pages,
                    uint64_t& listBytes) {
  if (!found.paired || !found.usable) return false;
  if (found.absent) {
    pages.clear();
    return true;
  }
  const std::vector<PageCountList>& lists = found.found;
  size_t next = 0;
  if (within != nullptr) {
    pages = *within;
  } else {
    HitArrays decoded;
    DecodePageCounts(lists[0], decoded);
    listBytes += lists[0].size();
    pages.swap(decoded.pages);
    next = 1;
  }
  std::vector<uint32_t> kept;
  for (size_t k = next; k < lists.size() && !pages.empty(); ++k) {
    if (!NarrowByList(lists[k], pages, kept, listBytes)) break;
  }
  return true;
}

// The index tables a keyword's terms are started from.
struct ListTables {
  const std::vector<uint32_t>& firstBlock;
  const std::vector<uint32_t>& lastPage;
  const std::vector<uint16_t>& sideFormat;
  const std::vector<uint32_t>& sideLocation;
  const PostingSource& source;
  const CVariantTable& variantGroups;
};

// Ends the segment being built, when it holds terms.
void CloseSegment(KeywordTerms& pattern) {
  const size_t begin = pattern.segmentEnds.empty() ? 0 : pattern.segmentEnds.back();
  if (pattern.terms.size() > begin) pattern.segmentEnds.push_back(pattern.terms.size());
}

// Turns a keyword into its terms and segments. Characters without an index
// code are dropped before positions are counted; "?" and U+FF1F take a
// position; "*" ends a segment (so leading, repeated and trailing ones
// change nothing). False when there are no terms or some character has no
// list: then nothing can match. The cursors are not started yet.
bool BuildPattern(std::u16string_view keyword, bool variants, const ListTables& tables, KeywordTerms& pattern) {
  pattern.terms.reserve(keyword.size());
  const char16_t* source = keyword.data();
  const char16_t* const end = source + keyword.size();
  uint64_t nextPosition = 0;
  while (source != end) {
    uint32_t character;
    uint32_t* target = &character;
    DecodeUtf16(source, end, target, target + 1);
    // A high surrogate left unread at the end has no index code anyway.
    if (target == &character) break;
    if (character == kGap) {
      CloseSegment(pattern);
      continue;
    }
    if (character == kAnyOne || character == kFullWidthAnyOne) {
      ++nextPosition;
      continue;
    }
    int32_t code = CharToIndexCode(character);
    if (code < 0) continue;
    if (variants) tables.variantGroups.FindVariantGroup(character, code);
    const auto index = static_cast<size_t>(code);
    if (index >= tables.firstBlock.size() || index >= tables.lastPage.size() || tables.firstBlock[index] == kNoBlock)
      return false;
    Term& term = pattern.terms.emplace_back();
    term.code = code;
    term.lead = nextPosition++;  // the keyword position for now
  }
  CloseSegment(pattern);
  const uint64_t positionCount = nextPosition;
  for (Term& term : pattern.terms) term.lead = positionCount - 1 - term.lead;
  return !pattern.terms.empty();
}

// Starts every term's cursor on its list. False when some list runs off
// its data at once: then nothing can match.
bool StartCursors(KeywordTerms& pattern, const ListTables& tables) {
  for (Term& term : pattern.terms) {
    const auto index = static_cast<size_t>(term.code);
    SkipTable skip;
    if (index < tables.sideFormat.size() && index < tables.sideLocation.size()) {
      skip.Open(tables.source.data, tables.source.size, tables.sideFormat[index], tables.sideLocation[index],
                term.code);
    }
    if (!term.cursor.Start(tables.source, tables.firstBlock[index], tables.lastPage[index], skip)) return false;
  }
  return true;
}

// The pages where the pattern matches, ascending, with their counts; with
// `within` (ascending), pages outside it may be left out. The cursors are
// started only when the page-count table cannot answer alone.
void MatchPattern(KeywordTerms& pattern, const KeywordLists& lists, const ListTables& tables,
                  const std::vector<uint32_t>* within, HitArrays& hits, uint64_t& listBytes) {
  const bool run = IsPlainRun(pattern);
  if (run && pattern.terms.size() <= 2 && AnswerFromTable(lists, within, hits, listBytes)) return;
  std::vector<uint32_t> candidates;
  const bool narrowed = CandidatePages(lists, within, candidates, listBytes);
  const std::vector<uint32_t>* pages = narrowed ? &candidates : within;
  if ((pages != nullptr && pages->empty()) || !StartCursors(pattern, tables)) return;
  if (pages != nullptr) return EvaluateOnPages(pattern, *pages, hits);
  if (pattern.terms.size() == 1) return EvaluateOneTerm(pattern.terms[0].cursor, hits);
  PageMatcher matcher;
  uint64_t target = 0;  // 64 bits: see EvaluateOnPages
  while (AlignPages(pattern.terms, target)) {
    const uint32_t page = static_cast<uint32_t>(target);
    if (const uint32_t count = matcher.Count(pattern)) hits.Add(page, count);
    target = uint64_t{page} + 1;
  }
}

// MatchPattern, adding to `listBytes` the bytes of the lists it read: the
// page-count lists it decoded, and what the cursors went through (a cursor
// that was never started has gone nowhere).
void EvaluatePattern(KeywordTerms& pattern, const KeywordLists& lists, const ListTables& tables,
                     const std::vector<uint32_t>* within, HitArrays& hits, uint64_t& listBytes) {
  MatchPattern(pattern, lists, tables, within, hits, listBytes);
  for (const Term& term : pattern.terms) listBytes += term.cursor.bytesRead();
}

// The bytes of the smallest page-count list that holds every page the
// pattern can match on: of a pair of its terms that stand side by side,
// or, when it has no such pair, of one of its terms (a pair is nearly
// always far rarer than either of its characters). It orders the keywords
// of an AND: a keyword's bytes follow its pages closely, so the keyword
// with the fewest goes first and the others are looked for only on its
// pages. UINT64_MAX when the table cannot tell.
uint64_t BoundingListBytes(const KeywordLists& lists) {
  if (lists.absent) return 0;
  return lists.found.empty() ? UINT64_MAX : lists.found.front().size();
}

// One keyword of a query, ready to be evaluated.
struct Keyword {
  KeywordTerms pattern;
  KeywordLists lists;
  uint64_t boundingBytes = 0;
};

}  // namespace

int CIndex::CheckQuery(std::u16string_view query) {
  int keywords = 0;
  bool inKeyword = false;
  for (const char16_t unit : query) {
    if (IsSeparator(unit)) {
      inKeyword = false;
      continue;
    }
    if (unit < 0x100 && unit != kGap && unit != kAnyOne) return 0;
    if (!inKeyword) ++keywords;
    inKeyword = true;
  }
  return keywords;
}

namespace {

// Calls `evaluate` with each keyword of `query` in turn, overwriting every
// U+0020 that separates them with U+3000. U+3000 itself separates nothing
// here: it stays inside the keyword, where it is dropped as a character
// without an index code.
template <class Evaluate>
void ForEachKeyword(std::u16string& query, Evaluate&& evaluate) {
  size_t start = 0;
  for (size_t i = 0; i <= query.size(); ++i) {
    if (i < query.size() && query[i] != kSpace) continue;
    if (i > start) evaluate(std::u16string_view(query).substr(start, i - start));
    if (i < query.size()) query[i] = kIdeographicSpace;
    start = i + 1;
  }
}

}  // namespace

void CIndex::SearchAnd(std::u16string& query, bool variants) {
  if (CheckQuery(query) == 0) return;
  State& state = *m_pState;
  HitArrays& result = state.m_result;
  result.Clear();
  state.m_nListBytesRead = 0;
  m_nResultCount = 0;
  const ListTables tables{state.m_firstBlock,   state.m_lastPage, state.m_sideFormat,
                          state.m_sideLocation, state.m_source,   state.m_variantGroups};
  // Every keyword is made ready before any is evaluated: one that cannot
  // match (or a closed index) leaves the intersection empty at once.
  std::vector<Keyword> keywords;
  bool matchable = state.IsOpen();
  ForEachKeyword(query, [&](std::u16string_view text) {
    if (!matchable) return;
    Keyword& keyword = keywords.emplace_back();
    matchable = BuildPattern(text, variants, tables, keyword.pattern);
    if (!matchable) return;
    LookUpLists(keyword.pattern, state.m_ngrams, keyword.lists);
    keyword.boundingBytes = BoundingListBytes(keyword.lists);
  });
  if (!matchable) return;
  // The keyword with the fewest pages first (see BoundingListBytes); the
  // sum of the counts and the ascending pages do not depend on the order.
  if (keywords.size() > 1) {
    std::stable_sort(keywords.begin(), keywords.end(),
                     [](const Keyword& a, const Keyword& b) { return a.boundingBytes < b.boundingBytes; });
  }
  EvaluatePattern(keywords[0].pattern, keywords[0].lists, tables, nullptr, result, state.m_nListBytesRead);
  // Once the intersection is empty, later keywords cannot change it.
  for (size_t k = 1; k < keywords.size() && result.size() != 0; ++k) {
    state.m_keywordHits.Clear();
    EvaluatePattern(keywords[k].pattern, keywords[k].lists, tables, &result.pages, state.m_keywordHits,
                    state.m_nListBytesRead);
    IntersectResult(state.m_keywordHits, result);
  }
  m_nResultCount = static_cast<uint32_t>(result.size());
}

void CIndex::SearchOr(std::u16string& query, bool variants) {
  if (CheckQuery(query) == 0) return;
  State& state = *m_pState;
  state.m_result.Clear();
  state.m_nListBytesRead = 0;
  m_nResultCount = 0;
  const ListTables tables{state.m_firstBlock,   state.m_lastPage, state.m_sideFormat,
                          state.m_sideLocation, state.m_source,   state.m_variantGroups};
  state.m_resultRuns.clear();
  ForEachKeyword(query, [&](std::u16string_view text) {
    KeywordTerms pattern;
    KeywordLists lists;
    // Up to the first keyword with pages, the union is that keyword's
    // pages, which go straight into the result as its first run.
    const bool first = state.m_result.size() == 0;
    HitArrays& hits = first ? state.m_result : state.m_keywordHits;
    hits.Clear();
    if (state.IsOpen() && BuildPattern(text, variants, tables, pattern)) {
      LookUpLists(pattern, state.m_ngrams, lists);
      EvaluatePattern(pattern, lists, tables, nullptr, hits, state.m_nListBytesRead);
    }
    if (!first) {
      UniteResult(hits, state.m_result, state.m_resultRuns);
    } else if (hits.size() != 0) {
      state.m_resultRuns.push_back(hits.size());
    }
  });
  m_nResultCount = static_cast<uint32_t>(state.m_result.size());
}
