#include "engine/vectorintersect.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#include <bit>

namespace {

// The pages past the last whole eight, merged one by one.
size_t MergeRest(const uint32_t* a, size_t i, size_t na, const uint32_t* b, size_t j, size_t nb, uint32_t* atA,
                 uint32_t* atB, size_t found) {
  const size_t most = na < nb ? na : nb;
  while (i < na && j < nb && found < most) {
    if (a[i] < b[j]) {
      ++i;
    } else if (b[j] < a[i]) {
      ++j;
    } else {
      atA[found] = static_cast<uint32_t>(i++);
      atB[found++] = static_cast<uint32_t>(j++);
    }
  }
  return found;
}

// Lanes of `a` equal to some lane of `b` within the same half of the
// register: `b` turned within each half by 0 .. 3 lanes, the turns made
// side by side, none waiting on another.
[[gnu::target("avx2")]] inline __m256i EqualWithinHalves(__m256i a, __m256i b) {
  return _mm256_or_si256(
      _mm256_or_si256(_mm256_cmpeq_epi32(a, b), _mm256_cmpeq_epi32(a, _mm256_shuffle_epi32(b, 0x39))),
      _mm256_or_si256(_mm256_cmpeq_epi32(a, _mm256_shuffle_epi32(b, 0x4E)),
                      _mm256_cmpeq_epi32(a, _mm256_shuffle_epi32(b, 0x93))));
}

[[gnu::target("avx2")]] size_t IntersectAvx2(const uint32_t* a, size_t na, const uint32_t* b, size_t nb, uint32_t* atA,
                                             uint32_t* atB) {
  size_t i = 0, j = 0, found = 0;
  // Strictly ascending arrays share at most this many pages; arrays that
  // are not (a caller's fault) still never write past it.
  const size_t most = na < nb ? na : nb;
  while (i + 8 <= na && j + 8 <= nb) {
    const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
    const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + j));
    // With b's halves swapped as well, every pair of lanes meets.
    const __m256i equal =
        _mm256_or_si256(EqualWithinHalves(va, vb), EqualWithinHalves(va, _mm256_permute2x128_si256(vb, vb, 1)));
    const auto lanes = static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(equal)));
    for (uint32_t bits = lanes, k = 0; bits != 0 && found < most; bits &= bits - 1) {
      const size_t at = i + static_cast<size_t>(std::countr_zero(bits));
      while (k < 7 && b[j + k] < a[at]) ++k;  // it is among b's eight
      atA[found] = static_cast<uint32_t>(at);
      atB[found++] = static_cast<uint32_t>(j + k);
    }
    const uint32_t lastA = a[i + 7], lastB = b[j + 7];
    i += size_t{lastA <= lastB} << 3;
    j += size_t{lastB <= lastA} << 3;
  }
  return MergeRest(a, i, na, b, j, nb, atA, atB, found);
}

}  // namespace

bool VectorIntersectAvailable() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

size_t IntersectPagesVector(const uint32_t* a, size_t na, const uint32_t* b, size_t nb, uint32_t* atA, uint32_t* atB) {
  return VectorIntersectAvailable() ? IntersectAvx2(a, na, b, nb, atA, atB) : 0;
}

#else  // no vector path on other machines

bool VectorIntersectAvailable() { return false; }

size_t IntersectPagesVector(const uint32_t*, size_t, const uint32_t*, size_t, uint32_t*, uint32_t*) { return 0; }

#endif
