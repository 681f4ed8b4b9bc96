// The mapping from characters to the codes that key the index tables.
#ifndef CODEXA_ENGINE_CODECONVERTER_H_
#define CODEXA_ENGINE_CODECONVERTER_H_

#include <cstdint>

// The index tables hold one entry per index code 0 .. kIndexCodeCount - 1.
constexpr int32_t kIndexCodeCount = 100000;
// Code kFirstGroupCode + n keys the merged list of variant group n.
constexpr int32_t kFirstGroupCode = 88065;
// Groups numbered at or above this have no room in the tables.
constexpr uint32_t kGroupCodeCapacity = kIndexCodeCount - kFirstGroupCode;  // 11,935

// The index code of a code point, or -1 when the character is not indexed.
// No two code points share a code: the page-count table of adjacent pairs
// relies on it (engine/ngramtable.h).
int32_t CharToIndexCode(uint32_t codePoint);

#endif  // CODEXA_ENGINE_CODECONVERTER_H_
