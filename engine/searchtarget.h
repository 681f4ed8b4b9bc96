// The three search targets of a corpus, and everything that names one: the
// code CIndex::Open takes, the display code the renderer marks hits with,
// the suffix of the target's index files after the corpus name, and the
// word `codexa-search --target` takes. This table is the one place that
// pairs them; the two numberings are not interchangeable.
#ifndef CODEXA_ENGINE_SEARCHTARGET_H_
#define CODEXA_ENGINE_SEARCHTARGET_H_

#include <span>
#include <string_view>

#include "corpus/displaycode.h"

// The code given to CIndex::Open.
enum class SearchTarget : int { kFullText = 0, kAnnotations = 1, kMainText = 2 };

struct TargetInfo {
  SearchTarget target;
  DisplayCode display;
  std::string_view fileSuffix;   // after the corpus name in the index file names (engine/indexformat.h)
  std::string_view commandName;  // codexa-search --target
};

// In the order the search form lists them: full text, main text,
// annotations (display codes 0, 1, 2).
inline constexpr TargetInfo kTargets[] = {
    {SearchTarget::kFullText, DisplayCode::kFullText, "", "full"},
    {SearchTarget::kMainText, DisplayCode::kMainText, "_content", "main"},
    {SearchTarget::kAnnotations, DisplayCode::kAnnotations, "_desc", "notes"},
};

// The row of `target`; the full text for a value outside the enumeration,
// as opening an unknown target has always opened the full text.
const TargetInfo& TargetInfoOf(SearchTarget target);
// The row of `display`; null for a value outside the enumeration.
const TargetInfo* TargetInfoOf(DisplayCode display);
// The row whose command name is `name`; null when none is.
const TargetInfo* FindTargetByName(std::string_view name);

#endif  // CODEXA_ENGINE_SEARCHTARGET_H_
