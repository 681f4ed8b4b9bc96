// Unpacking the bit-packed numbers of a page-count list block
// (engine/indexformat.h, "A page-count list") with vector instructions,
// where the processor has them.
//
// The program is built for the x86-64 baseline; these functions use AVX2
// only when the processor running it reports it, and otherwise do nothing,
// leaving every number to the portable decoder in engine/pagecountlist.cpp.
// They take the numbers eight at a time (eight numbers of W bits fill W
// bytes), only for widths up to kVectorUnpackMaxWidth, and only groups
// whose loads end at or before `readable`; the caller decodes the rest, from
// the number answered on, exactly as it decodes them without this. Both
// ways give the same values.
#ifndef CODEXA_ENGINE_VECTORUNPACK_H_
#define CODEXA_ENGINE_VECTORUNPACK_H_

#include <cstdint>

// The widest numbers unpacked with vectors: a number of that width starts
// anywhere in a byte and still lies in four bytes.
inline constexpr uint32_t kVectorUnpackMaxWidth = 24;

// Whether this processor takes the vector path.
bool VectorUnpackAvailable();

// Pages from steps (each page is the one before plus its step plus 1):
// unpacks the leading groups of eight of the `n` steps of `width` bits at
// `in` into out[0 ..), continuing from `page`, which it leaves at the last
// page written. Answers how many it wrote: a multiple of 8, 0 when the
// vector path does not apply.
uint32_t UnpackPageStepsVector(const uint8_t* in, const uint8_t* readable, uint32_t width, uint32_t n, uint32_t& page,
                               uint32_t* out);

// Numbers plus a constant: the same for out[i] = number i + `plus`.
uint32_t UnpackPlusVector(const uint8_t* in, const uint8_t* readable, uint32_t width, uint32_t n, uint32_t plus,
                          uint32_t* out);

#endif  // CODEXA_ENGINE_VECTORUNPACK_H_
