// Page-count lists of single codes and of adjacent code pairs: which pages
// hold a character (or two characters one position apart) and how often.
//
// The position lists answer every query, but a one- or two-character
// keyword then costs a walk over every position of its characters. The
// builder therefore adds, for each code and for each pair of codes that
// stand at adjacent positions, the list of (page, number of occurrences).
// A one-character keyword is then one such list, a two-character keyword
// the list of its pair, and a longer keyword is looked for only on the
// pages that hold all of its pairs.
//
// The table lies in posting blocks that no chain reaches, located through
// the spare header slots of kNgramTableCode (a code no character maps to);
// its layout and that of its lists are in engine/indexformat.h. A list is
// a run of blocks of bit-packed page steps, each block as wide as its
// largest step needs, and counts, which are mostly 1, coded as the few that
// are not. Pairs are found through a directory of small groups: a binary
// search over the groups of the first code, then a few entries read in
// turn. A pair on one page once (the most common kind) is held in its
// directory entry, and a list equal to one written before (a pair of
// variant groups is often on the same pages as the pair of own codes) is
// written once.
//
// Which pairs are there. At every position the page holds the character's
// own code and the codes of its variant groups. For each two adjacent
// positions the table has the pair of own codes, and every pair that a
// keyword can form with variant folding: of group codes, or of the own
// code where the character has no group (no two characters share an own
// code, so folding leaves an own code alone only for such a character). A
// pair that is not in the table occurs nowhere.
//
// The engine trusts none of it: a table whose header or extent does not
// fit is ignored, so is a table of another version (one written by an
// older builder), a list or directory entry whose bounds do not fit is not
// used, and the keyword is then answered from the position lists alone,
// the way files without the table are read.
#ifndef CODEXA_ENGINE_NGRAMTABLE_H_
#define CODEXA_ENGINE_NGRAMTABLE_H_

#include <cstddef>
#include <cstdint>

#include "engine/indexformat.h"
#include "engine/pagecountlist.h"

class NgramTable {
 public:
  enum class Lookup { kFound, kAbsent, kUnusable };

  // Finds the table from the two header-table entries of kNgramTableCode.
  // False (and an empty table) when there is none or it does not fit.
  bool Open(const uint8_t* postings, size_t size, uint16_t format, uint32_t location);
  bool IsOpen() const { return m_pLists != nullptr; }

  // The list of one code; kAbsent when the code occurs nowhere. `list` is
  // set only for kFound.
  Lookup Single(int32_t code, PageCountList& list) const;
  // The list of `first` followed by `second` at the next position.
  Lookup Pair(int32_t first, int32_t second, PageCountList& list) const;

 private:
  Lookup ListAt(uint64_t from, uint64_t to, PageCountList& list) const;
  // The group of `first`'s pairs where `second` would be; false when the
  // code has no group that could hold it (kAbsent) or the groups do not fit.
  bool FindGroup(int32_t first, uint32_t second, uint32_t& group, Lookup& failed) const;
  Lookup FindInGroup(uint32_t group, uint32_t second, PageCountList& list) const;

  const uint8_t* m_pSingle = nullptr;
  const uint8_t* m_pGroupStart = nullptr;
  const uint8_t* m_pGroups = nullptr;
  const uint8_t* m_pDirectory = nullptr;
  const uint8_t* m_pLists = nullptr;
  uint32_t m_nGroupCount = 0;
  uint32_t m_nDirectoryBytes = 0;
  uint64_t m_nListBytes = 0;
  uint32_t m_nPageBound = 0;
};

#endif  // CODEXA_ENGINE_NGRAMTABLE_H_
