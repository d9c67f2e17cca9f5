// Four doubles side by side (AVX2), and whether this processor may use them.
//
// One build serves every x86-64 processor: the kernels that only compare and
// select (similarity_rows.inc, value_range.inc) are compiled twice, once with
// the baseline's two-wide lanes (lanes.h) and once, between
// VANTOR_WIDE_BEGIN and VANTOR_WIDE_END, with these four-wide ones and AVX2
// code generation for that copy alone. Which copy runs is decided once, at
// load, from the processor's own report. Both copies compare and select
// exactly the same values, so they give the same bits; the tests hold both
// to the literal reference (the baseline through a static build pinned with
// VANTOR_BASELINE_ONLY, which no shipped build defines).
#ifndef VANTOR_SRC_WIDE_LANES_H
#define VANTOR_SRC_WIDE_LANES_H

#include "lanes.h"

#if VANTOR_SSE2_LANES && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VANTOR_WIDE_LANES 1
#include <cpuid.h>
#include <immintrin.h>
#else
#define VANTOR_WIDE_LANES 0
#endif

#if VANTOR_WIDE_LANES

// Every function defined between the two marks is compiled for AVX2.
#if defined(__clang__)
#define VANTOR_WIDE_BEGIN \
    _Pragma("clang attribute push(__attribute__((target(\"avx2\"))), apply_to = function)")
#define VANTOR_WIDE_END _Pragma("clang attribute pop")
#else
#define VANTOR_WIDE_BEGIN _Pragma("GCC push_options") _Pragma("GCC target(\"avx2\")")
#define VANTOR_WIDE_END _Pragma("GCC pop_options")
#endif

namespace Vantor {
namespace lanes {

// AVX2 needs the processor's support and the system's: the upper halves of
// the registers must be saved on a context switch (XCR0 bits 1 and 2).
inline bool processorHasAvx2() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0) return false;
    if ((c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0) return false;
    unsigned low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 6u) != 6u) return false;
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d) == 0) return false;
    return (b & bit_AVX2) != 0;
}

#if defined(VANTOR_BASELINE_ONLY)
constexpr bool kWide = false;
#else
// Read at load; until then (a kernel run by another static initialiser) it
// is false, and the baseline serves.
inline const bool kWide = processorHasAvx2();
#endif

}  // namespace lanes
}  // namespace Vantor

VANTOR_WIDE_BEGIN
namespace Vantor {
namespace quad {

struct Quad {
    __m256d v;
};
using Vec = Quad;
constexpr int kWidth = 4;

inline Quad load(const double* p) { return {_mm256_loadu_pd(p)}; }
inline Quad broadcast(double x) { return {_mm256_set1_pd(x)}; }
inline void store(double* p, Quad x) { _mm256_storeu_pd(p, x.v); }

// Ordered, quiet comparisons, as the baseline's: false with NaN.
inline Quad lessThan(Quad x, Quad y) { return {_mm256_cmp_pd(x.v, y.v, _CMP_LT_OQ)}; }
inline Quad greaterThan(Quad x, Quad y) { return {_mm256_cmp_pd(x.v, y.v, _CMP_GT_OQ)}; }

inline Quad atLeast(Quad x, Quad y) { return {_mm256_cmp_pd(x.v, y.v, _CMP_GE_OQ)}; }
// All-ones where x or y is NaN.
inline Quad unordered(Quad x, Quad y) { return {_mm256_cmp_pd(x.v, y.v, _CMP_UNORD_Q)}; }

inline Quad both(Quad x, Quad y) { return {_mm256_and_pd(x.v, y.v)}; }
inline Quad either(Quad x, Quad y) { return {_mm256_or_pd(x.v, y.v)}; }
inline Quad zeroWhere(Quad mask, Quad x) { return {_mm256_andnot_pd(mask.v, x.v)}; }
inline Quad keepWhere(Quad mask, Quad x) { return {_mm256_and_pd(mask.v, x.v)}; }
// x where mask is set, y elsewhere: one BLENDVPD, which reads the mask's
// sign bits, all set or all clear in a comparison's result.
inline Quad select(Quad mask, Quad x, Quad y) { return {_mm256_blendv_pd(y.v, x.v, mask.v)}; }
inline bool any(Quad mask) { return _mm256_movemask_pd(mask.v) != 0; }
// The semantics of MAXPD and MINPD, lane by lane, as in lanes.h.
inline Quad greaterElse(Quad x, Quad y) { return {_mm256_max_pd(x.v, y.v)}; }
inline Quad lesserElse(Quad x, Quad y) { return {_mm256_min_pd(x.v, y.v)}; }

}  // namespace quad
}  // namespace Vantor
VANTOR_WIDE_END

#else

namespace Vantor {
namespace lanes {
constexpr bool kWide = false;
}  // namespace lanes
}  // namespace Vantor

#endif

#endif
