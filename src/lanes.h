// Two doubles processed side by side with exact bitwise selection: SSE2 on
// x86-64 (always present there), plain 64-bit masks elsewhere or when the
// build defines VANTOR_PORTABLE_LANES (the portable preset does, so that the
// plain path is built and held to the reference on this machine too). Only
// comparisons and bit operations live here, never arithmetic, so using them
// cannot change a single bit of any result; the kernels use them to pick
// values without branches and leave every addition to extended code (extended.h).
#ifndef VANTOR_SRC_LANES_H
#define VANTOR_SRC_LANES_H

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(VANTOR_PORTABLE_LANES)
#define VANTOR_SSE2_LANES 1
#include <emmintrin.h>
#else
#define VANTOR_SSE2_LANES 0
#endif

// What the optimiser does for the kernels at -O3 and not at -O2, written
// into them so that every host's flags get the same speed (R and Debian
// build at -O2): their small steps inlined, and their short loops of known
// bound unrolled. Neither changes an operation or its order.
#if defined(__GNUC__) || defined(__clang__)
#define VANTOR_KERNEL_INLINE inline __attribute__((always_inline))
#define VANTOR_KERNEL_LAMBDA_INLINE __attribute__((always_inline))
#define VANTOR_PRAGMA(text) _Pragma(#text)
#define VANTOR_UNROLL(count) VANTOR_PRAGMA(GCC unroll count)
#else
#define VANTOR_KERNEL_INLINE inline
#define VANTOR_KERNEL_LAMBDA_INLINE
#define VANTOR_UNROLL(count)
#endif

namespace Vantor {
namespace lanes {

#if VANTOR_SSE2_LANES

struct Pair {
    __m128d v;
};

inline Pair load(const double* p) { return {_mm_loadu_pd(p)}; }
// p[0] in the low lane, +0.0 in the high one.
inline Pair loadOne(const double* p) { return {_mm_load_sd(p)}; }
inline Pair broadcast(double x) { return {_mm_set1_pd(x)}; }
inline void store(double* p, Pair x) { _mm_storeu_pd(p, x.v); }

// Ordered comparisons: all-ones where the relation holds, false with NaN.
inline Pair lessThan(Pair x, Pair y) { return {_mm_cmplt_pd(x.v, y.v)}; }
inline Pair greaterThan(Pair x, Pair y) { return {_mm_cmpgt_pd(x.v, y.v)}; }
inline Pair atLeast(Pair x, Pair y) { return {_mm_cmpge_pd(x.v, y.v)}; }
inline Pair atMost(Pair x, Pair y) { return {_mm_cmple_pd(x.v, y.v)}; }
inline Pair equal(Pair x, Pair y) { return {_mm_cmpeq_pd(x.v, y.v)}; }
// All-ones where x or y is NaN.
inline Pair unordered(Pair x, Pair y) { return {_mm_cmpunord_pd(x.v, y.v)}; }

inline Pair both(Pair x, Pair y) { return {_mm_and_pd(x.v, y.v)}; }
inline Pair either(Pair x, Pair y) { return {_mm_or_pd(x.v, y.v)}; }
// x where mask is clear, +0.0 where it is set.
inline Pair zeroWhere(Pair mask, Pair x) { return {_mm_andnot_pd(mask.v, x.v)}; }
// x where mask is set, +0.0 elsewhere.
inline Pair keepWhere(Pair mask, Pair x) { return {_mm_and_pd(mask.v, x.v)}; }
inline Pair select(Pair mask, Pair x, Pair y) {
    return {_mm_or_pd(_mm_and_pd(mask.v, x.v), _mm_andnot_pd(mask.v, y.v))};
}
inline bool any(Pair mask) { return _mm_movemask_pd(mask.v) != 0; }
// x where x > y, else y (so y when either is NaN): the semantics of MAXPD.
inline Pair greaterElse(Pair x, Pair y) { return {_mm_max_pd(x.v, y.v)}; }
// x where x < y, else y (so y when either is NaN): the semantics of MINPD.
inline Pair lesserElse(Pair x, Pair y) { return {_mm_min_pd(x.v, y.v)}; }
// Bit 0 set when the low lane's mask is set, bit 1 for the high lane.
inline int maskBits(Pair mask) { return _mm_movemask_pd(mask.v); }
inline void storeLow(double* p, Pair x) { _mm_store_sd(p, x.v); }
inline void storeHigh(double* p, Pair x) { _mm_storeh_pd(p, x.v); }
inline double low(Pair x) { return _mm_cvtsd_f64(x.v); }
inline double high(Pair x) { return _mm_cvtsd_f64(_mm_unpackhi_pd(x.v, x.v)); }

#else

struct Pair {
    std::uint64_t u[2];
};

inline std::uint64_t bitsOf(double x) {
    std::uint64_t u;
    std::memcpy(&u, &x, sizeof u);
    return u;
}
inline double valueOf(std::uint64_t u) {
    double x;
    std::memcpy(&x, &u, sizeof x);
    return x;
}
inline std::uint64_t maskOf(bool b) { return b ? ~std::uint64_t{0} : 0; }

inline Pair load(const double* p) { return {{bitsOf(p[0]), bitsOf(p[1])}}; }
inline Pair loadOne(const double* p) { return {{bitsOf(p[0]), 0}}; }
inline Pair broadcast(double x) { return {{bitsOf(x), bitsOf(x)}}; }
inline void store(double* p, Pair x) {
    p[0] = valueOf(x.u[0]);
    p[1] = valueOf(x.u[1]);
}
template <class Relation>
inline Pair compare(Pair x, Pair y, Relation holds) {
    return {{maskOf(holds(valueOf(x.u[0]), valueOf(y.u[0]))),
             maskOf(holds(valueOf(x.u[1]), valueOf(y.u[1])))}};
}
inline Pair lessThan(Pair x, Pair y) { return compare(x, y, [](double a, double b) { return a < b; }); }
inline Pair greaterThan(Pair x, Pair y) {
    return compare(x, y, [](double a, double b) { return a > b; });
}
inline Pair atLeast(Pair x, Pair y) { return compare(x, y, [](double a, double b) { return a >= b; }); }
inline Pair atMost(Pair x, Pair y) { return compare(x, y, [](double a, double b) { return a <= b; }); }
inline Pair equal(Pair x, Pair y) { return compare(x, y, [](double a, double b) { return a == b; }); }
inline Pair unordered(Pair x, Pair y) {
    return compare(x, y, [](double a, double b) { return a != a || b != b; });
}
inline Pair both(Pair x, Pair y) { return {{x.u[0] & y.u[0], x.u[1] & y.u[1]}}; }
inline Pair either(Pair x, Pair y) { return {{x.u[0] | y.u[0], x.u[1] | y.u[1]}}; }
inline Pair zeroWhere(Pair mask, Pair x) { return {{~mask.u[0] & x.u[0], ~mask.u[1] & x.u[1]}}; }
inline Pair keepWhere(Pair mask, Pair x) { return both(mask, x); }
inline Pair select(Pair mask, Pair x, Pair y) { return either(keepWhere(mask, x), zeroWhere(mask, y)); }
inline bool any(Pair mask) { return (mask.u[0] | mask.u[1]) != 0; }
inline Pair greaterElse(Pair x, Pair y) { return select(greaterThan(x, y), x, y); }
inline Pair lesserElse(Pair x, Pair y) { return select(lessThan(x, y), x, y); }
inline int maskBits(Pair mask) { return static_cast<int>((mask.u[0] & 1) | ((mask.u[1] & 1) << 1)); }
inline void storeLow(double* p, Pair x) { *p = valueOf(x.u[0]); }
inline void storeHigh(double* p, Pair x) { *p = valueOf(x.u[1]); }
inline double low(Pair x) { return valueOf(x.u[0]); }
inline double high(Pair x) { return valueOf(x.u[1]); }

#endif

// The names the kernels written once for every lane width use
// (similarity_rows.inc, value_range.inc).
using Vec = Pair;
constexpr int kWidth = 2;

}  // namespace lanes
}  // namespace Vantor

#endif
