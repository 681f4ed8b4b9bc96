#include "engine/vectorunpack.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#include <array>
#include <cstddef>

namespace {

// How four consecutive numbers of a group are taken from one 16-byte load
// at byte `at` of the group: a byte shuffle puts the four bytes that hold
// each number in its lane, a shift per lane drops the bits before it.
struct HalfPlan {
  uint8_t shuffle[16];
  uint32_t shift[4];
  uint32_t at;
};

struct WidthPlan {
  HalfPlan half[2];  // numbers 0-3 and 4-7 of the group
  uint32_t mask;
};

constexpr std::array<WidthPlan, kVectorUnpackMaxWidth + 1> MakePlans() {
  std::array<WidthPlan, kVectorUnpackMaxWidth + 1> plans{};
  for (uint32_t width = 1; width <= kVectorUnpackMaxWidth; ++width) {
    WidthPlan& plan = plans[width];
    plan.mask = (uint32_t{1} << width) - 1;
    for (uint32_t h = 0; h < 2; ++h) {
      HalfPlan& half = plan.half[h];
      half.at = 4 * h * width / 8;
      for (uint32_t lane = 0; lane < 4; ++lane) {
        const uint32_t bit = (4 * h + lane) * width;
        half.shift[lane] = bit % 8;
        for (uint32_t b = 0; b < 4; ++b) half.shuffle[4 * lane + b] = static_cast<uint8_t>(bit / 8 - half.at + b);
      }
    }
  }
  return plans;
}

constexpr std::array<WidthPlan, kVectorUnpackMaxWidth + 1> kPlans = MakePlans();

// The bytes from a group's start that its two loads reach.
uint32_t GroupReach(const WidthPlan& plan) { return plan.half[1].at + 16; }

bool Applies(uint32_t width) { return width != 0 && width <= kVectorUnpackMaxWidth && VectorUnpackAvailable(); }

[[gnu::target("avx2")]] inline __m128i UnpackFour(const uint8_t* group, const HalfPlan& half, __m128i mask) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(group + half.at));
  v = _mm_shuffle_epi8(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(half.shuffle)));
  v = _mm_srlv_epi32(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(half.shift)));
  return _mm_and_si128(v, mask);
}

[[gnu::target("avx2")]] uint32_t PageStepsAvx2(const uint8_t* in, const uint8_t* readable, uint32_t width, uint32_t n,
                                               uint32_t& page, uint32_t* out) {
  const WidthPlan& plan = kPlans[width];
  const __m128i mask = _mm_set1_epi32(static_cast<int>(plan.mask)), one = _mm_set1_epi32(1);
  __m128i last = _mm_set1_epi32(static_cast<int>(page));  // the page before, in every lane
  const std::ptrdiff_t reach = GroupReach(plan);
  uint32_t i = 0;
  for (; i + 8 <= n && readable - in >= reach; i += 8, in += width) {
    for (uint32_t h = 0; h < 2; ++h) {
      // Steps plus 1, summed across the lanes, on the page before.
      __m128i v = _mm_add_epi32(UnpackFour(in, plan.half[h], mask), one);
      v = _mm_add_epi32(v, _mm_slli_si128(v, 4));
      v = _mm_add_epi32(v, _mm_slli_si128(v, 8));
      v = _mm_add_epi32(v, last);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4 * h), v);
      last = _mm_shuffle_epi32(v, 0xFF);
    }
  }
  page = static_cast<uint32_t>(_mm_cvtsi128_si32(last));
  return i;
}

[[gnu::target("avx2")]] uint32_t PlusAvx2(const uint8_t* in, const uint8_t* readable, uint32_t width, uint32_t n,
                                          uint32_t plus, uint32_t* out) {
  const WidthPlan& plan = kPlans[width];
  const __m128i mask = _mm_set1_epi32(static_cast<int>(plan.mask)), add = _mm_set1_epi32(static_cast<int>(plus));
  const std::ptrdiff_t reach = GroupReach(plan);
  uint32_t i = 0;
  for (; i + 8 <= n && readable - in >= reach; i += 8, in += width) {
    for (uint32_t h = 0; h < 2; ++h) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4 * h),
                       _mm_add_epi32(UnpackFour(in, plan.half[h], mask), add));
    }
  }
  return i;
}

}  // namespace

bool VectorUnpackAvailable() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

uint32_t UnpackPageStepsVector(const uint8_t* in, const uint8_t* readable, uint32_t width, uint32_t n, uint32_t& page,
                               uint32_t* out) {
  return Applies(width) ? PageStepsAvx2(in, readable, width, n, page, out) : 0;
}

uint32_t UnpackPlusVector(const uint8_t* in, const uint8_t* readable, uint32_t width, uint32_t n, uint32_t plus,
                          uint32_t* out) {
  return Applies(width) ? PlusAvx2(in, readable, width, n, plus, out) : 0;
}

#else  // no vector path on other machines

bool VectorUnpackAvailable() { return false; }

uint32_t UnpackPageStepsVector(const uint8_t*, const uint8_t*, uint32_t, uint32_t, uint32_t&, uint32_t*) { return 0; }

uint32_t UnpackPlusVector(const uint8_t*, const uint8_t*, uint32_t, uint32_t, uint32_t, uint32_t*) { return 0; }

#endif
