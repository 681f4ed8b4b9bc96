#include "corpus/kwic.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "corpus/pagesplit.h"
#include "corpus/render.h"

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The last `count` characters of `text`.
std::string_view LastChars(std::string_view text, std::size_t count) {
  std::size_t start = text.size();
  for (std::size_t n = 0; n < count && start > 0; ++n) {
    do --start;
    while (start > 0 && IsContinuationByte(text[start]));
  }
  return text.substr(start);
}

// The first `count` characters of `text`.
std::string_view FirstChars(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t n = 0; n < count && end < text.size(); ++n) {
    do ++end;
    while (end < text.size() && IsContinuationByte(text[end]));
  }
  return text.substr(0, end);
}

// `text` without its tags.
std::string WithoutTags(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find('<', at);
    out += text.substr(at, open == std::string_view::npos ? std::string_view::npos : open - at);
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find('>', open);
    at = close == std::string_view::npos ? text.size() : close + 1;
  }
  return out;
}

KwicLine LineOf(std::string_view run, const MatchSpan& span, std::size_t context) {
  // The text before the match back to the tag before it, and after it up
  // to the next tag.
  const std::string_view before = run.substr(0, span.begin);
  const std::size_t tagEnd = before.rfind('>');
  const std::string_view left = tagEnd == std::string_view::npos ? before : before.substr(tagEnd + 1);
  const std::string_view after = run.substr(span.end);
  const std::string_view right = after.substr(0, std::min(after.find('<'), after.size()));
  return {std::string(LastChars(left, context)), WithoutTags(run.substr(span.begin, span.end - span.begin)),
          std::string(FirstChars(right, context))};
}

// One match of a keyword on the page, with the anchor the rendered page
// writes before it.
struct NumberedMatch {
  MatchSpan span;
  std::size_t pattern = 0;
  int anchor = 0;
};

// Whether a match of one keyword reaches into a match of another. The
// renderer marks the keywords one after the other, so the markup of an
// earlier keyword may then cut a later keyword's match, which it no longer
// finds: that match gets no anchor, and the later keyword's anchors after
// it are numbered lower than counting the matches on the plain text says.
// The matches are one run's, in text order.
bool KeywordsOverlap(const std::vector<NumberedMatch>& matchesByStart, std::size_t patternCount) {
  std::vector<std::size_t> furthestEnd(patternCount, 0);
  for (const NumberedMatch& match : matchesByStart) {
    for (std::size_t other = 0; other < patternCount; ++other) {
      if (other != match.pattern && furthestEnd[other] > match.span.begin) return true;
    }
    furthestEnd[match.pattern] = std::max(furthestEnd[match.pattern], match.span.end);
  }
  return false;
}

// An anchor of the rendered page and the byte of its run's plain text it
// stands before.
struct AnchorPlace {
  std::size_t run = 0;
  std::size_t offset = 0;
  int number = 0;
};

// The length of the markup the renderer adds that starts `text` (an anchor
// or either end of a highlight; `number` set for an anchor), or 0.
std::size_t AddedMarkupAt(std::string_view text, int& number) {
  if (text.starts_with(kHighlightOpen)) return kHighlightOpen.size();
  if (text.starts_with(kHighlightClose)) return kHighlightClose.size();
  if (!text.starts_with(kAnchorHead)) return 0;
  std::size_t at = kAnchorHead.size();
  number = 0;
  // The renderer writes at least four digits; nine keep the number an int.
  while (at < text.size() && at - kAnchorHead.size() < 9 && text[at] >= '0' && text[at] <= '9') {
    number = number * 10 + (text[at++] - '0');
  }
  if (at - kAnchorHead.size() < 4 || !text.substr(at).starts_with(kAnchorTail)) return 0;
  return at + kAnchorTail.size();
}

// Finds where the anchors of the rendered run `marked` stand in its plain
// text `plain` by stepping over the markup the renderer added. False when
// the two do not pair up (the page's own text holding such markup).
bool PlaceAnchors(std::string_view marked, std::string_view plain, std::size_t run, std::vector<AnchorPlace>& places) {
  std::size_t at = 0, offset = 0;
  while (at < marked.size()) {
    int number = -1;
    const std::size_t added = AddedMarkupAt(marked.substr(at), number);
    if (added != 0 && !plain.substr(offset).starts_with(marked.substr(at, added))) {
      if (number >= 0) places.push_back({run, offset, number});
      at += added;
    } else if (offset < plain.size() && marked[at] == plain[offset]) {
      ++at, ++offset;
    } else {
      return false;
    }
  }
  return offset == plain.size();
}

// The anchors of the page rendered with every keyword, in page order.
// False when the rendered cell does not pair up with the plain one.
bool RenderedAnchors(std::string_view pageText, std::string_view storedName, const std::vector<Pattern>& patterns,
                     DisplayCode displayCode, const std::vector<FilterItem>& plainRuns,
                     std::vector<AnchorPlace>& places) {
  std::string rendered;
  RenderPatterns(pageText, storedName, patterns, displayCode, rendered);
  std::vector<HTMLNode> nodes;
  SplitPage(rendered, nodes);
  std::vector<FilterItem> runs;
  SplitRuns(nodes[static_cast<std::size_t>(CellSelector(storedName)) + 1].text, runs);
  // The renderer closes an annotation the page left open, which leaves an
  // empty run after it.
  while (runs.size() > plainRuns.size() && runs.back().text.empty()) runs.pop_back();
  if (runs.size() != plainRuns.size()) return false;
  for (std::size_t run = 0; run < runs.size(); ++run) {
    if (!PlaceAnchors(runs[run].text, plainRuns[run].text, run, places)) return false;
  }
  return true;
}

// The anchor to open a match at: the first one the page writes inside the
// match (its own, or, where its keyword's match was cut, the mark that cut
// it), else the last one before it, else the first one. `places` is in page
// order and not empty.
int AnchorFor(const std::vector<AnchorPlace>& places, std::size_t run, const MatchSpan& span) {
  const auto inside = std::lower_bound(places.begin(), places.end(), std::pair(run, span.begin),
                                       [](const AnchorPlace& place, const std::pair<std::size_t, std::size_t>& at) {
                                         return std::pair(place.run, place.offset) < at;
                                       });
  if (inside != places.end() && inside->run == run && inside->offset < span.end) return inside->number;
  return inside == places.begin() ? places.front().number : std::prev(inside)->number;
}

}  // namespace

std::vector<KwicLine> PageOccurrences(std::string_view pageText, std::string_view storedName,
                                      const std::vector<Pattern>& patterns, DisplayCode displayCode,
                                      std::size_t context) {
  std::vector<HTMLNode> nodes;
  SplitPage(pageText, nodes);
  std::vector<FilterItem> runs;
  SplitRuns(nodes[static_cast<std::size_t>(CellSelector(storedName)) + 1].text, runs);
  // The matches of every run, numbered as the renderer numbers its
  // anchors: the first keyword over the whole cell, then the next.
  std::vector<std::vector<NumberedMatch>> matchesOfRun(runs.size());
  std::vector<MatchSpan> spans;
  int anchor = 0;
  for (std::size_t pattern = 0; pattern < patterns.size(); ++pattern) {
    const int anchorsPerMatch = AnchorsPerMatch(patterns[pattern]);
    for (std::size_t run = 0; run < runs.size(); ++run) {
      if (!MarksRun(displayCode, runs[run].kind)) continue;
      spans.clear();
      FindMatches(runs[run].text, patterns[pattern], spans);
      for (const MatchSpan& span : spans) {
        matchesOfRun[run].push_back({span, pattern, anchor});
        anchor += anchorsPerMatch;
      }
    }
  }
  // Lines come in text order: by start, then end.
  bool overlap = false;
  for (std::vector<NumberedMatch>& matches : matchesOfRun) {
    std::sort(matches.begin(), matches.end(), [](const NumberedMatch& a, const NumberedMatch& b) {
      return a.span.begin != b.span.begin ? a.span.begin < b.span.begin : a.span.end < b.span.end;
    });
    overlap = overlap || (patterns.size() > 1 && KeywordsOverlap(matches, patterns.size()));
  }
  // Where keywords overlap, the count above may not be what the page
  // writes: the anchors are then looked up in the rendered page itself.
  std::vector<AnchorPlace> places;
  const bool placed =
      overlap && RenderedAnchors(pageText, storedName, patterns, displayCode, runs, places) && !places.empty();
  std::vector<KwicLine> lines;
  for (std::size_t run = 0; run < runs.size(); ++run) {
    for (const NumberedMatch& match : matchesOfRun[run]) {
      lines.push_back(LineOf(runs[run].text, match.span, context));
      lines.back().anchor = placed ? AnchorFor(places, run, match.span) : match.anchor;
    }
  }
  return lines;
}
