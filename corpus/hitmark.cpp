#include "corpus/hitmark.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

// A '?' stands for exactly this many bytes: one character from U+0800 to
// U+FFFF, which is what classical text is made of.
constexpr size_t kQuestionMarkBytes = 3;
constexpr std::string_view kParagraphTag = "<p>";
constexpr std::string_view kHeadingTag = "<h4>";

// Appends the text atoms [first, last) to the piece.
void AppendStretch(const std::vector<KeywordAtom>& atoms, size_t first, size_t last, PatternPiece& piece) {
  for (size_t i = first; i < last; ++i) {
    const Spellings& spellings = atoms[i].spellings;
    piece.bytes += spellings.front();
    bool plainAfterPlain = spellings.size() == 1 && !piece.folded.empty() && piece.folded.back().size() == 1;
    if (plainAfterPlain)
      piece.folded.back().front() += spellings.front();
    else
      piece.folded.push_back(spellings);
  }
}

size_t FindWildcard(const std::vector<KeywordAtom>& atoms, size_t from, size_t to, char wildcard) {
  while (from < to && atoms[from].wildcard != wildcard) ++from;
  return from;
}

// Fills the segment [first, last) (no '*' inside) into the pattern, whose
// last piece is the segment's own, still empty, piece.
void FillSegment(const std::vector<KeywordAtom>& atoms, size_t first, size_t last, Pattern& pattern) {
  int questionMarks = 1;
  while (first != last) {
    size_t mark = FindWildcard(atoms, first, last, '?');
    if (mark != first) {
      AppendStretch(atoms, first, mark, pattern.back());
      pattern.back().gap = questionMarks;
      pattern.emplace_back().kind = PieceKind::PIECE_AFTER_QMARK;
      questionMarks = 1;
    } else {
      ++questionMarks;
    }
    first = mark == last ? last : mark + 1;
  }
  // The piece opened last received no text.
  pattern.pop_back();
}

std::vector<KeywordAtom> AtomsOfBytes(std::string_view keyword) {
  std::vector<KeywordAtom> atoms;
  size_t pos = 0;
  while (pos < keyword.size()) {
    if (keyword[pos] == '*' || keyword[pos] == '?') {
      atoms.push_back(KeywordAtom{keyword[pos++], {}});
      continue;
    }
    size_t end = keyword.find_first_of("*?", pos);
    if (end == std::string_view::npos) end = keyword.size();
    atoms.push_back(KeywordAtom{0, {std::string(keyword.substr(pos, end - pos))}});
    pos = end;
  }
  return atoms;
}

}  // namespace

Pattern CompileAtoms(const std::vector<KeywordAtom>& atoms) {
  Pattern pattern;
  size_t begin = 0;
  while (begin < atoms.size()) {
    size_t star = FindWildcard(atoms, begin, atoms.size(), '*');
    if (star != begin) {
      pattern.emplace_back().kind = begin == 0 ? PieceKind::PIECE_FIRST : PieceKind::PIECE_AFTER_STAR;
      FillSegment(atoms, begin, star, pattern);
    }
    begin = star + 1;
  }
  // A piece whose every stretch has one spelling is plain text.
  for (PatternPiece& piece : pattern) {
    if (piece.folded.size() == 1 && piece.folded.front().size() == 1) piece.folded.clear();
  }
  return pattern;
}

Pattern CompilePattern(std::string_view keyword) { return CompileAtoms(AtomsOfBytes(keyword)); }

namespace {

// Where a piece was found, and how many bytes it covers (folded pieces
// cover as many as the spellings found there).
struct Occurrence {
  size_t pos;
  size_t length;
};

// Finds the next occurrence of one piece in a run. It keeps its last
// answer: an attempt asks from positions that mostly only grow, and a
// search from anywhere between the last start and the occurrence found
// has the same answer, so each stretch of the run is searched about once
// however many attempts fail.
class PieceFinder {
 public:
  PieceFinder(std::string_view text, std::string_view literal, const std::vector<Spellings>* folded)
      : m_strText(text), m_strLiteral(literal), m_pFolded(folded) {}

  // The first occurrence starting at or after `from`; pos is the end of
  // the run when there is none.
  Occurrence Find(size_t from) {
    bool known = m_bHasCache && from >= m_nCacheFrom && (m_cache.pos == m_strText.size() || from <= m_cache.pos);
    if (!known) {
      m_cache = m_pFolded && !m_pFolded->empty() ? SearchFolded(from) : SearchLiteral(from);
      m_nCacheFrom = from;
      m_bHasCache = true;
    }
    return m_cache;
  }

 private:
  Occurrence SearchLiteral(size_t from) const {
    size_t pos = m_strText.find(m_strLiteral, from);
    if (pos == std::string_view::npos) return {m_strText.size(), 0};
    return {pos, m_strLiteral.size()};
  }

  // The end of the stretches from `index` on matched at `pos`, or npos.
  size_t MatchStretches(size_t index, size_t pos) const {
    for (; index < m_pFolded->size(); ++index) {
      std::string_view rest = m_strText.substr(pos);
      const Spellings& spellings = (*m_pFolded)[index];
      auto it = spellings.begin();
      while (it != spellings.end() && !rest.starts_with(*it)) ++it;
      if (it == spellings.end()) return std::string_view::npos;
      pos += it->size();
    }
    return pos;
  }

  // Candidates are the occurrences of the first stretch's spellings, each
  // found by a plain forward search and searched again only once passed.
  Occurrence SearchFolded(size_t from) const {
    const Spellings& head = m_pFolded->front();
    std::vector<size_t> next(head.size());
    for (size_t i = 0; i < head.size(); ++i) next[i] = m_strText.find(head[i], from);
    for (;;) {
      size_t best = 0;
      for (size_t i = 1; i < head.size(); ++i) {
        if (next[i] < next[best]) best = i;
      }
      size_t start = next[best];
      if (start == std::string_view::npos) return {m_strText.size(), 0};
      size_t end = MatchStretches(1, start + head[best].size());
      if (end != std::string_view::npos) return {start, end - start};
      for (size_t i = 0; i < head.size(); ++i) {
        if (next[i] == start) next[i] = m_strText.find(head[i], start + 1);
      }
    }
  }

  std::string_view m_strText;
  std::string_view m_strLiteral;
  const std::vector<Spellings>* m_pFolded;
  bool m_bHasCache = false;
  size_t m_nCacheFrom = 0;
  Occurrence m_cache{0, 0};
};

void AppendAnchor(int& counter, std::string& out) {
  // Written whole: numbers of five digits and more must still be found by
  // the navigation fragment of the same number.
  char number[16];
  const int length = std::snprintf(number, sizeof number, "%04d", counter++);
  out += kAnchorHead;
  out.append(number, static_cast<size_t>(length));
  out += kAnchorTail;
}

void AppendHighlighted(std::string_view text, int& counter, bool anchorFirst, std::string& out) {
  if (anchorFirst) AppendAnchor(counter, out);
  out += kHighlightOpen;
  if (!anchorFirst) AppendAnchor(counter, out);
  out += text;
  out += kHighlightClose;
}

// Matches one pattern in one run, attempt after attempt.
class RunMarker {
 public:
  RunMarker(std::string_view text, const Pattern& pattern)
      : m_strText(text),
        m_pattern(pattern),
        m_paragraph(text, kParagraphTag, nullptr),
        m_heading(text, kHeadingTag, nullptr) {
    m_finders.reserve(pattern.size());
    for (const PatternPiece& piece : pattern) m_finders.emplace_back(text, piece.bytes, &piece.folded);
    m_hits.reserve(pattern.size());
    // A run keeps its tags whole ('<' to the next '>'; its text has no '<').
    for (size_t open = text.find('<'); open != std::string_view::npos; open = text.find('<', open + 1)) {
      size_t close = text.find('>', open + 1);
      if (close == std::string_view::npos) close = text.size() - 1;
      m_tags.push_back({open, close + 1 - open});
      open = close;
    }
  }

  void Mark(int& counter, std::string& out) {
    Scan([&](size_t copied) { WriteMatch(copied, counter, out); },
         [&](size_t copied, size_t next) { out.append(m_strText.substr(copied, next - copied)); });
  }

  void Collect(std::vector<MatchSpan>& spans) {
    Scan([&](size_t) { spans.push_back({m_hits.front().pos, m_hits.back().pos + m_hits.back().length}); },
         [](size_t, size_t) {});
  }

 private:
  // The attempts over the whole run: `matched(copied)` after each complete
  // match (m_hits holds its pieces), `plain(copied, next)` for the text an
  // attempt passed over without one.
  template <typename Matched, typename Plain>
  void Scan(Matched matched, Plain plain) {
    size_t copied = 0;
    while (copied < m_strText.size()) {
      size_t next = Attempt(copied);
      if (m_hits.size() == m_pattern.size()) {
        matched(copied);
      } else {
        plain(copied, next);
      }
      copied = next;
    }
  }

  // One attempt from `pos`. When every piece was found, m_hits holds them
  // and the result is the end of the match. Otherwise the attempt stopped
  // at the first piece that failed, and the result is where the next
  // attempt starts: the rest of the run is copied unchanged up to there.
  size_t Attempt(size_t pos) {
    const size_t end = m_strText.size();
    m_hits.clear();
    for (size_t i = 0; i < m_pattern.size(); ++i) {
      const PatternPiece& piece = m_pattern[i];
      Occurrence found{end, 0};
      if (piece.kind == PieceKind::PIECE_AFTER_QMARK) {
        size_t place = pos + kQuestionMarkBytes * static_cast<size_t>(piece.gap);
        // The '?' stretch runs past the run: no later match either.
        if (pos == end || place >= end) return end;
        found = m_finders[i].Find(place);
        if (found.pos == end) return end;
        // Not at its place: a match may still start inside this attempt.
        if (found.pos != place) return m_hits.front().pos + 1;
        if (TagEnd(found) != std::string_view::npos) return m_hits.front().pos + 1;
      } else {
        if (pos == end) return end;
        found = m_finders[i].Find(pos);
        if (found.pos == end) return end;
        // Markup written inside a tag would break the tag apart, and the
        // page's next pass would read the pieces as other tags (a stray
        // "</title>" drops the rest of the cell, anchors included): the
        // piece is looked for behind the tag (at its '?' place above, it
        // just fails).
        for (size_t tagEnd = TagEnd(found); tagEnd != std::string_view::npos; tagEnd = TagEnd(found)) {
          found = m_finders[i].Find(tagEnd);
          if (found.pos == end) return end;
        }
        if (piece.kind == PieceKind::PIECE_AFTER_STAR) {
          // A '*' never reaches across a paragraph: resume behind it.
          size_t paragraph = m_paragraph.Find(pos).pos;
          if (paragraph < found.pos) return paragraph + kParagraphTag.size();
          size_t heading = m_heading.Find(pos).pos;
          if (heading < found.pos) return heading + kHeadingTag.size();
        }
      }
      m_hits.push_back(found);
      pos = found.pos + found.length;
    }
    return pos;
  }

  // The end of the last tag the occurrence reaches into, or npos.
  size_t TagEnd(const Occurrence& found) const {
    auto after = std::lower_bound(m_tags.begin(), m_tags.end(), found.pos + found.length,
                                  [](const Occurrence& tag, size_t end) { return tag.pos < end; });
    if (after == m_tags.begin()) return std::string_view::npos;
    const Occurrence& last = *std::prev(after);
    return found.pos < last.pos + last.length ? last.pos + last.length : std::string_view::npos;
  }

  // Every piece gets an anchor and a highlight; a '?' stretch is
  // highlighted with an anchor of its own, a '*' stretch stays plain.
  void WriteMatch(size_t copied, int& counter, std::string& out) const {
    out.append(m_strText.substr(copied, m_hits.front().pos - copied));
    for (size_t i = 0; i < m_hits.size(); ++i) {
      const Occurrence& hit = m_hits[i];
      AppendHighlighted(m_strText.substr(hit.pos, hit.length), counter, true, out);
      if (i + 1 == m_hits.size()) break;
      size_t stretchEnd = hit.pos + hit.length;
      std::string_view between = m_strText.substr(stretchEnd, m_hits[i + 1].pos - stretchEnd);
      if (m_pattern[i + 1].kind == PieceKind::PIECE_AFTER_QMARK)
        AppendHighlighted(between, counter, false, out);
      else
        out += between;
    }
  }

  std::string_view m_strText;
  const Pattern& m_pattern;
  std::vector<PieceFinder> m_finders;
  PieceFinder m_paragraph;
  PieceFinder m_heading;
  std::vector<Occurrence> m_hits;
  std::vector<Occurrence> m_tags;  // in order
};

}  // namespace

void MarkRun(std::string_view run, const Pattern& pattern, int& counter, std::string& out) {
  if (pattern.empty()) {
    out += run;
    return;
  }
  RunMarker(run, pattern).Mark(counter, out);
}

void FindMatches(std::string_view run, const Pattern& pattern, std::vector<MatchSpan>& spans) {
  if (!pattern.empty()) RunMarker(run, pattern).Collect(spans);
}

int AnchorsPerMatch(const Pattern& pattern) {
  const auto questionStretches = std::count_if(pattern.begin(), pattern.end(), [](const PatternPiece& piece) {
    return piece.kind == PieceKind::PIECE_AFTER_QMARK;
  });
  return static_cast<int>(pattern.size()) + static_cast<int>(questionStretches);
}

std::string MarkRun(std::string_view run, std::string_view keyword, int& counter) {
  std::string out;
  MarkRun(run, CompilePattern(keyword), counter, out);
  return out;
}
