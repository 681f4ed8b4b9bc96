#include "corpus/kwic.h"

#include <algorithm>
#include <utility>

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
  std::vector<std::vector<std::pair<MatchSpan, int>>> matchesOfRun(runs.size());
  std::vector<MatchSpan> spans;
  int anchor = 0;
  for (const Pattern& pattern : patterns) {
    const int anchorsPerMatch = AnchorsPerMatch(pattern);
    for (std::size_t run = 0; run < runs.size(); ++run) {
      if (!MarksRun(displayCode, runs[run].kind)) continue;
      spans.clear();
      FindMatches(runs[run].text, pattern, spans);
      for (const MatchSpan& span : spans) {
        matchesOfRun[run].emplace_back(span, anchor);
        anchor += anchorsPerMatch;
      }
    }
  }
  std::vector<KwicLine> lines;
  for (std::size_t run = 0; run < runs.size(); ++run) {
    std::vector<std::pair<MatchSpan, int>>& matches = matchesOfRun[run];
    std::sort(matches.begin(), matches.end(), [](const auto& a, const auto& b) {
      return a.first.begin != b.first.begin ? a.first.begin < b.first.begin : a.first.end < b.first.end;
    });
    for (const auto& [span, first] : matches) {
      lines.push_back(LineOf(runs[run].text, span, context));
      lines.back().anchor = first;
    }
  }
  return lines;
}
