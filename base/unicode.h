// Unicode encoding forms: UTF-16, as the user interface and the engine's
// interfaces hand text over, and UTF-8, as pages and rendered documents
// hold it. Every function stays inside its buffers whatever the input.
#ifndef CODEXA_BASE_UNICODE_H_
#define CODEXA_BASE_UNICODE_H_

#include <cstdint>
#include <string>
#include <string_view>

// Appends the standard UTF-8 form (1 to 4 bytes) of one code point up to
// U+10FFFF to `out`.
void AppendUtf8(uint32_t codePoint, std::string& out);

// Appends the UTF-8 form of `source` to `out` (what `out` holds stays in
// front). A surrogate pair makes one code point; an unpaired surrogate is
// written as the three bytes of its own value. Returns 0 when every unit was
// converted, 1 when `source` ends with a high surrogate (left unconverted).
int Utf16ToUtf8(std::u16string_view source, std::string& out);
// The UTF-8 form of `source`, converted as above.
std::string ToUtf8(std::u16string_view source);

// Replaces `out` with the UTF-16 form of `text`; false for malformed,
// overlong or surrogate sequences, so that mangled text is refused rather
// than read.
bool Utf8ToUtf16(std::string_view text, std::u16string& out);

// Reads UTF-16 units from [src, srcEnd) as code points into [dst, dstEnd),
// moving both cursors past what was used. Returns 0 when the source is used
// up, 1 when it ends with a high surrogate (left unread), 2 when the target
// is full.
int DecodeUtf16(const char16_t*& src, const char16_t* srcEnd, uint32_t*& dst, uint32_t* dstEnd);

// White space as the plain-text formats read it (the variant table, the
// numbers in stored names): the space and the ASCII controls tab to
// carriage return.
inline bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

#endif  // CODEXA_BASE_UNICODE_H_
