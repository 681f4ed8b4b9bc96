// Finding the pages two ascending page arrays both hold with vector
// instructions, where the processor has them (AVX2, chosen at run time:
// the program is built for the x86-64 baseline).
//
// Eight pages of each array are compared all against all in a few
// instructions, and the array whose eight end lower moves on (both when
// they end alike). A merge that compares one pair at a time takes a step
// per page and guesses wrong at about every other one on arrays of like
// length; this one takes a step per eight pages. (Which array moves on is
// left a branch: spelled as arithmetic, every step's loads would wait on
// the step before, which measured slower than the wrong guesses.) The
// pages past the last whole eight of either array are merged one by one.
#ifndef CODEXA_ENGINE_VECTORINTERSECT_H_
#define CODEXA_ENGINE_VECTORINTERSECT_H_

#include <cstddef>
#include <cstdint>

// Whether this processor takes the vector path.
bool VectorIntersectAvailable();

// For every page both a[0 .. na) and b[0 .. nb) hold (each strictly
// ascending), in ascending order, writes its index in `a` to atA and in `b`
// to atB, and answers how many; each takes up to min(na, nb) entries.
// Answers 0 without the vector path (VectorIntersectAvailable).
size_t IntersectPagesVector(const uint32_t* a, size_t na, const uint32_t* b, size_t nb, uint32_t* atA, uint32_t* atB);

#endif  // CODEXA_ENGINE_VECTORINTERSECT_H_
