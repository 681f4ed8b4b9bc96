// Character encoding helpers shared by the search engine and the renderer,
// and the mapping from characters to the codes that key the index tables.
#ifndef CODEXA_ENGINE_CODECONVERTER_H_
#define CODEXA_ENGINE_CODECONVERTER_H_

#include <cstdint>
#include <string>
#include <string_view>

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

// Appends the standard UTF-8 form (1 to 4 bytes) of one code point up to
// U+10FFFF to `out`.
void AppendUtf8(uint32_t codePoint, std::string& out);

// Appends the UTF-8 form of `source` to `out` (what `out` holds stays in
// front). A surrogate pair makes one code point; an unpaired surrogate is
// written as the three bytes of its own value. Returns 0 when every unit was
// converted, 1 when `source` ends with a high surrogate (left unconverted).
int Utf16ToUtf8(std::u16string_view source, std::string& out);

// Reads UTF-16 units from [src, srcEnd) as code points into [dst, dstEnd),
// moving both cursors past what was used. Returns 0 when the source is used
// up, 1 when it ends with a high surrogate (left unread), 2 when the target
// is full.
int DecodeUtf16(const char16_t*& src, const char16_t* srcEnd, uint32_t*& dst, uint32_t* dstEnd);

#endif  // CODEXA_ENGINE_CODECONVERTER_H_
