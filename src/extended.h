// The extended precision every running sum, term and quotient is carried in:
// a 64-bit significand with a 15-bit exponent, rounded to nearest (ties to
// even) after every operation and rounded to double once, when stored.
//
// Where `long double` is that format (x86 and x86-64 with GCC and Clang), the
// kernels use it directly and run on the x87 unit. Everywhere else (64-bit
// ARM, where it has 113 bits; Apple and MSVC-like targets, where it is
// `double`) `long double` would give other numbers, so the kernels run on
// SoftExtended below: the same format in integer arithmetic, giving x87's
// answers to the bit for what the kernels do with it. That is conversion from
// double (exact), +, -, *, /, the comparisons and the rounding to double,
// including what x87 does with NaN (a signalling NaN is made quiet; of two
// NaNs the one with the larger significand survives; an invalid operation
// gives the negative default NaN), infinities, signed zeros and subnormals.
//
// `Vantor::Extended` names the type the kernels use. Building with
// VANTOR_SOFT_EXTENDED defined picks SoftExtended on x86 too, which is how
// its bits are held to the x87 unit's on one machine.
#ifndef VANTOR_SRC_EXTENDED_H
#define VANTOR_SRC_EXTENDED_H

#include <cfloat>
#include <cstdint>
#include <cstring>

#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384
#define VANTOR_X87_LONG_DOUBLE 1
#else
#define VANTOR_X87_LONG_DOUBLE 0
#endif

// The 64 x 64 -> 128-bit product and the division use the compiler's 128-bit
// integers where it has them; VANTOR_EXTENDED_NO_INT128 forces the portable
// code so that it is built and tested on a compiler that has them too.
#if defined(__SIZEOF_INT128__) && !defined(VANTOR_EXTENDED_NO_INT128)
#define VANTOR_EXTENDED_INT128 1
#else
#define VANTOR_EXTENDED_INT128 0
#endif

// The rare cases of an operation go out of line, so that the common ones
// inline into the kernels' loops.
#if defined(__GNUC__)
#define VANTOR_EXTENDED_OUT_OF_LINE __attribute__((noinline))
#else
#define VANTOR_EXTENDED_OUT_OF_LINE
#endif

namespace Vantor {
namespace soft {

// A 128-bit unsigned integer as two halves: shifts, sums and differences
// compile to the same few instructions as a built-in 128-bit type would.
struct U128 {
    std::uint64_t hi, lo;
};

#if VANTOR_EXTENDED_INT128
__extension__ typedef unsigned __int128 Native128;  // not ISO C++, hence __extension__
#endif

inline int leadingZeros(std::uint64_t x) {  // x != 0
#if defined(__GNUC__)
    return __builtin_clzll(x);
#else
    int n = 0;
    for (std::uint64_t top = std::uint64_t{1} << 63; (x & top) == 0; top >>= 1) ++n;
    return n;
#endif
}

inline int leadingZeros(U128 x) {  // x != 0
    return x.hi != 0 ? leadingZeros(x.hi) : 64 + leadingZeros(x.lo);
}

inline U128 shiftLeft(U128 x, int n) {  // 0 <= n < 128
    if (n == 0) return x;
    if (n >= 64) return {x.lo << (n - 64), 0};
    return {(x.hi << n) | (x.lo >> (64 - n)), x.lo << n};
}

// x >> n with every bit shifted out folded into the lowest bit, so that a
// rounding decision made later still sees that something was lost.
inline U128 shiftRightSticky(U128 x, int n) {
    if (n <= 0) return x;
    if (n >= 128) return {0, (x.hi | x.lo) != 0 ? 1u : 0u};
    if (n >= 64) {
        const std::uint64_t lost = (n == 64 ? 0 : x.hi << (128 - n)) | x.lo;
        return {0, (n == 64 ? x.hi : x.hi >> (n - 64)) | (lost != 0 ? 1u : 0u)};
    }
    const std::uint64_t lost = x.lo << (64 - n);
    return {x.hi >> n, ((x.hi << (64 - n)) | (x.lo >> n)) | (lost != 0 ? 1u : 0u)};
}

inline U128 plus(U128 a, U128 b) {
    const std::uint64_t lo = a.lo + b.lo;
    return {a.hi + b.hi + (lo < a.lo ? 1u : 0u), lo};
}

inline U128 minus(U128 a, U128 b) {  // a >= b
    return {a.hi - b.hi - (a.lo < b.lo ? 1u : 0u), a.lo - b.lo};
}

inline U128 product(std::uint64_t a, std::uint64_t b) {
#if VANTOR_EXTENDED_INT128
    const Native128 p = static_cast<Native128>(a) * b;
    return {static_cast<std::uint64_t>(p >> 64), static_cast<std::uint64_t>(p)};
#else
    const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32, bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const std::uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
    const std::uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    return {hh + (lh >> 32) + (hl >> 32) + (middle >> 32), (middle << 32) | (ll & 0xFFFFFFFFu)};
#endif
}

// floor(a * 2^65 / b) for significands a and b with their top bit set (a
// value in [2^64, 2^66)), and whether the division left a remainder.
inline U128 quotient(std::uint64_t a, std::uint64_t b, bool* inexact) {
#if VANTOR_EXTENDED_INT128
    const Native128 n = static_cast<Native128>(a) << 64;
    const Native128 q = n / b;
    Native128 r = (n % b) << 1;
    const unsigned bit = r >= b ? 1u : 0u;
    if (bit != 0) r -= b;
    const Native128 whole = (q << 1) | bit;
    *inexact = r != 0;
    return {static_cast<std::uint64_t>(whole >> 64), static_cast<std::uint64_t>(whole)};
#else
    // One quotient bit per step; the remainder stays below b, so only its
    // doubling can pass 2^64, and then the next bit is 1.
    U128 q{0, 0};
    std::uint64_t r = a;
    for (int i = 0; i < 66; ++i) {
        bool carry = false;
        if (i > 0) {
            carry = (r >> 63) != 0;
            r <<= 1;
        }
        const bool bit = carry || r >= b;
        if (bit) r -= b;
        q = shiftLeft(q, 1);
        q.lo |= bit ? 1u : 0u;
    }
    *inexact = r != 0;
    return q;
#endif
}

constexpr std::uint16_t kSign = 0x8000;
constexpr std::int32_t kMaxExponent = 0x7FFF;  // infinities and NaN
constexpr std::int32_t kBias = 16383;
constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
constexpr std::uint64_t kQuiet = std::uint64_t{1} << 62;

}  // namespace soft

class SoftExtended {
public:
    constexpr SoftExtended() : significand_(0), signExponent_(0) {}
    // Exact: every double is an extended value. A signalling NaN arrives
    // quiet, as x87 loads it.
    SoftExtended(double x) { *this = fromDouble(x); }  // NOLINT: implicit, as for long double

    // The value with these fields, for tests: an encoding the x87 unit
    // produces (no unnormals, pseudo-infinities or pseudo-NaNs).
    static constexpr SoftExtended fromBits(std::uint16_t signExponent, std::uint64_t significand) {
        return SoftExtended(signExponent, significand);
    }
    constexpr std::uint16_t signExponent() const { return signExponent_; }
    constexpr std::uint64_t significand() const { return significand_; }

    // Rounded to nearest double once, from the 64-bit value.
    explicit operator double() const { return toDouble(); }

    friend SoftExtended operator+(SoftExtended a, SoftExtended b) { return sum(a, b, false); }
    friend SoftExtended operator-(SoftExtended a, SoftExtended b) { return sum(a, b, true); }
    friend SoftExtended operator*(SoftExtended a, SoftExtended b) { return product(a, b); }
    friend SoftExtended operator/(SoftExtended a, SoftExtended b) { return quotient(a, b); }
    SoftExtended& operator+=(SoftExtended b) { return *this = *this + b; }
    SoftExtended& operator-=(SoftExtended b) { return *this = *this - b; }
    SoftExtended& operator*=(SoftExtended b) { return *this = *this * b; }
    SoftExtended& operator/=(SoftExtended b) { return *this = *this / b; }

    // Every comparison with a NaN is false except !=.
    friend bool operator==(SoftExtended a, SoftExtended b) { return compare(a, b) == 0; }
    friend bool operator!=(SoftExtended a, SoftExtended b) { return compare(a, b) != 0; }
    friend bool operator<(SoftExtended a, SoftExtended b) { return compare(a, b) == -1; }
    friend bool operator>(SoftExtended a, SoftExtended b) { return compare(a, b) == 1; }
    friend bool operator<=(SoftExtended a, SoftExtended b) {
        const int c = compare(a, b);
        return c == -1 || c == 0;
    }
    friend bool operator>=(SoftExtended a, SoftExtended b) {
        const int c = compare(a, b);
        return c == 1 || c == 0;
    }

private:
    constexpr SoftExtended(std::uint16_t signExponent, std::uint64_t significand)
        : significand_(significand), signExponent_(signExponent) {}

    // A finite non-zero value as significand * 2^(exponent - kBias - 63), the
    // significand's top bit set; subnormals get an exponent below 1.
    struct Parts {
        bool negative;
        std::int32_t exponent;
        std::uint64_t significand;
    };

    bool negative() const { return (signExponent_ & soft::kSign) != 0; }
    std::int32_t exponentField() const { return signExponent_ & 0x7FFF; }
    bool isNaN() const {
        return exponentField() == soft::kMaxExponent && (significand_ << 1) != 0;
    }
    bool isInfinity() const {
        return exponentField() == soft::kMaxExponent && (significand_ << 1) == 0;
    }
    bool isZero() const { return exponentField() == 0 && significand_ == 0; }

    Parts parts() const {
        std::int32_t exponent = exponentField();
        std::uint64_t significand = significand_;
        if (exponent == 0) exponent = 1;  // subnormal: the smallest normal exponent
        const int shift = soft::leadingZeros(significand);
        return {negative(), exponent - shift, significand << shift};
    }

    static SoftExtended signedZero(bool negative) { return {negative ? soft::kSign : std::uint16_t{0}, 0}; }
    static SoftExtended infinity(bool negative) {
        return {static_cast<std::uint16_t>((negative ? soft::kSign : 0) | soft::kMaxExponent), soft::kTop};
    }
    // What x87 gives for an invalid operation (inf - inf, 0 * inf, 0 / 0,
    // inf / inf): the "real indefinite", a quiet NaN with the sign set.
    static SoftExtended indefinite() {
        return {static_cast<std::uint16_t>(soft::kSign | soft::kMaxExponent), soft::kTop | soft::kQuiet};
    }
    SoftExtended quieted() const { return {signExponent_, significand_ | soft::kQuiet}; }

    // The NaN an operation with a NaN operand gives: a quiet NaN wins over a
    // signalling one; of two of the same kind the larger significand wins
    // (on a tie the positive one); the result is always quiet.
    static SoftExtended propagate(SoftExtended a, SoftExtended b) {
        if (!a.isNaN()) return b.quieted();
        if (!b.isNaN()) return a.quieted();
        const bool aQuiet = (a.significand_ & soft::kQuiet) != 0;
        const bool bQuiet = (b.significand_ & soft::kQuiet) != 0;
        if (aQuiet != bQuiet) return aQuiet ? a : b;
        if (a.significand_ != b.significand_) return (a.significand_ > b.significand_ ? a : b).quieted();
        return (a.signExponent_ < b.signExponent_ ? a : b).quieted();
    }

    // Rounds value * 2^(exponent - kBias - 127) to nearest, ties to even, at
    // 64 bits (fewer below the smallest normal exponent). `value` is exact
    // or carries whatever was lost in its lowest bit.
    static SoftExtended round(bool negative, std::int32_t exponent, soft::U128 value) {
        if (value.hi == 0 && value.lo == 0) return signedZero(negative);
        const int shift = soft::leadingZeros(value);
        value = soft::shiftLeft(value, shift);
        exponent -= shift;
        if (exponent < 1) {
            value = soft::shiftRightSticky(value, 1 - exponent);
            exponent = 0;
        }
        std::uint64_t significand = value.hi;
        if (value.lo > soft::kTop || (value.lo == soft::kTop && (significand & 1) != 0)) {
            ++significand;
            if (significand == 0) {  // carried out of the top bit
                significand = soft::kTop;
                ++exponent;
            } else if (exponent == 0 && (significand & soft::kTop) != 0) {
                exponent = 1;  // a subnormal rounded up to the smallest normal
            }
        }
        if (exponent >= soft::kMaxExponent) return infinity(negative);
        return {static_cast<std::uint16_t>((negative ? soft::kSign : 0) | exponent), significand};
    }

    // Two normal numbers of the same sign, the only case a running sum of
    // terms of one sign meets after its first term: no cancellation, at most
    // one bit of carry, and the rounding in 64-bit words.
    static SoftExtended sameSignNormals(SoftExtended a, SoftExtended b, std::uint16_t sign) {
        std::uint32_t ea = a.exponentField(), eb = b.exponentField();
        std::uint64_t big = a.significand_, small = b.significand_;
        if (ea < eb) {
            const std::uint32_t e = ea;
            ea = eb;
            eb = e;
            big = b.significand_;
            small = a.significand_;
        }
        const std::uint32_t shift = ea - eb;
        std::uint64_t below = 0;  // the bits of `small` under the last place of `big`
        if (shift >= 128) {
            below = 1;
            small = 0;
        } else if (shift > 64) {
            below = (small >> (shift - 64)) | ((small << (128 - shift)) != 0 ? 1u : 0u);
            small = 0;
        } else if (shift == 64) {
            below = small;
            small = 0;
        } else if (shift > 0) {
            below = small << (64 - shift);
            small >>= shift;
        }
        std::uint64_t significand = big + small;
        if (significand < big) {  // carried out: one bit down
            below = (below >> 1) | (below & 1) | (significand << 63);
            significand = (significand >> 1) | soft::kTop;
            ++ea;
        }
        if (below > soft::kTop || (below == soft::kTop && (significand & 1) != 0)) {
            if (++significand == 0) {
                significand = soft::kTop;
                ++ea;
            }
        }
        if (ea >= static_cast<std::uint32_t>(soft::kMaxExponent)) return infinity(sign != 0);
        return {static_cast<std::uint16_t>(sign | ea), significand};
    }

    // The cases a running sum meets on almost every step stay inline (two
    // normal numbers of one sign; a zero added to a normal number); the rest
    // is a call.
    static SoftExtended sum(SoftExtended a, SoftExtended b, bool subtract) {
        const std::uint16_t bSign = (b.signExponent_ ^ (subtract ? soft::kSign : 0)) & soft::kSign;
        const bool aNormal = a.exponentField() - 1u < 0x7FFEu;
        if (aNormal && b.exponentField() - 1u < 0x7FFEu && (a.signExponent_ & soft::kSign) == bSign)
            return sameSignNormals(a, b, bSign);
        if (aNormal && b.isZero()) return a;
        return anySum(a, b, subtract);
    }

    VANTOR_EXTENDED_OUT_OF_LINE static SoftExtended anySum(SoftExtended a, SoftExtended b, bool subtract) {
        if (a.isNaN() || b.isNaN()) return propagate(a, b);
        const bool bNegative = b.negative() != subtract;
        if (a.isInfinity()) {
            if (b.isInfinity() && a.negative() != bNegative) return indefinite();
            return a;
        }
        if (b.isInfinity()) return infinity(bNegative);
        if (b.isZero()) {
            // x + 0 is x, except that +0 + -0 is +0 (to nearest).
            if (a.isZero()) return signedZero(a.negative() && bNegative);
            return a;
        }
        if (a.isZero()) return {static_cast<std::uint16_t>(bNegative ? b.signExponent_ | soft::kSign
                                                                       : b.signExponent_ & 0x7FFF),
                                b.significand_};
        Parts x = a.parts(), y = b.parts();
        y.negative = bNegative;
        if (y.exponent > x.exponent || (y.exponent == x.exponent && y.significand > x.significand)) {
            const Parts t = x;
            x = y;
            y = t;
        }
        // Both significands one bit down from the top, so the sum cannot
        // carry out; 63 bits below the smaller one keep the lost bits.
        const soft::U128 larger{x.significand >> 1, x.significand << 63};
        const soft::U128 smaller = soft::shiftRightSticky(
            soft::U128{y.significand >> 1, y.significand << 63}, x.exponent - y.exponent);
        if (x.negative == y.negative) return round(x.negative, x.exponent + 1, soft::plus(larger, smaller));
        const soft::U128 difference = soft::minus(larger, smaller);
        // An exact zero difference is +0 to nearest.
        if (difference.hi == 0 && difference.lo == 0) return signedZero(false);
        return round(x.negative, x.exponent + 1, difference);
    }

    static SoftExtended product(SoftExtended a, SoftExtended b) {
        if (a.exponentField() - 1u < 0x7FFEu && b.exponentField() - 1u < 0x7FFEu) {
            // Two normal numbers: the product of the significands has its
            // top bit at 127 or 126, and only a result near the ends of the
            // exponent range needs the general rounding below.
            soft::U128 p = soft::product(a.significand_, b.significand_);
            std::int32_t exponent = a.exponentField() + b.exponentField() - soft::kBias + 1;
            if ((p.hi & soft::kTop) == 0) {
                p = soft::shiftLeft(p, 1);
                --exponent;
            }
            if (exponent >= 1 && exponent < soft::kMaxExponent - 1) {
                std::uint64_t significand = p.hi;
                if (p.lo > soft::kTop || (p.lo == soft::kTop && (significand & 1) != 0)) {
                    if (++significand == 0) {
                        significand = soft::kTop;
                        ++exponent;
                    }
                }
                const std::uint16_t sign = (a.signExponent_ ^ b.signExponent_) & soft::kSign;
                return {static_cast<std::uint16_t>(sign | exponent), significand};
            }
        }
        return anyProduct(a, b);
    }

    VANTOR_EXTENDED_OUT_OF_LINE static SoftExtended anyProduct(SoftExtended a, SoftExtended b) {
        if (a.isNaN() || b.isNaN()) return propagate(a, b);
        const bool negative = a.negative() != b.negative();
        if (a.isInfinity() || b.isInfinity()) {
            if (a.isZero() || b.isZero()) return indefinite();
            return infinity(negative);
        }
        if (a.isZero() || b.isZero()) return signedZero(negative);
        const Parts x = a.parts(), y = b.parts();
        return round(negative, x.exponent + y.exponent - soft::kBias + 1,
                     soft::product(x.significand, y.significand));
    }

    static SoftExtended quotient(SoftExtended a, SoftExtended b) {
        if (a.isNaN() || b.isNaN()) return propagate(a, b);
        const bool negative = a.negative() != b.negative();
        if (a.isInfinity()) return b.isInfinity() ? indefinite() : infinity(negative);
        if (b.isInfinity()) return signedZero(negative);
        if (b.isZero()) return a.isZero() ? indefinite() : infinity(negative);
        if (a.isZero()) return signedZero(negative);
        const Parts x = a.parts(), y = b.parts();
        bool inexact = false;
        soft::U128 q = soft::shiftLeft(soft::quotient(x.significand, y.significand, &inexact), 62);
        q.lo |= inexact ? 1u : 0u;
        return round(negative, x.exponent - y.exponent + soft::kBias, q);
    }

    // -1, 0 or 1 as a is below, equal to or above b; 2 when unordered.
    static int compare(SoftExtended a, SoftExtended b) {
        if (a.isNaN() || b.isNaN()) return 2;
        if (a.isZero() && b.isZero()) return 0;
        if (a.negative() != b.negative()) return a.negative() ? -1 : 1;
        // Same sign: the magnitudes order as (exponent, significand).
        const std::int32_t ea = a.exponentField(), eb = b.exponentField();
        int magnitude = 0;
        if (ea != eb) {
            magnitude = ea < eb ? -1 : 1;
        } else if (a.significand_ != b.significand_) {
            magnitude = a.significand_ < b.significand_ ? -1 : 1;
        }
        return a.negative() ? -magnitude : magnitude;
    }

    static SoftExtended fromDouble(double x) {
        std::uint64_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        const std::uint16_t sign = (bits >> 63) != 0 ? soft::kSign : 0;
        const std::int32_t exponent = static_cast<std::int32_t>((bits >> 52) & 0x7FF);
        const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
        if (exponent == 0x7FF) {
            if (fraction == 0) return infinity(sign != 0);
            return {static_cast<std::uint16_t>(sign | soft::kMaxExponent),
                    soft::kTop | soft::kQuiet | (fraction << 11)};
        }
        if (exponent == 0) {
            if (fraction == 0) return signedZero(sign != 0);
            // fraction * 2^-1074, normalised
            const int shift = soft::leadingZeros(fraction);
            return {static_cast<std::uint16_t>(sign | (soft::kBias - 1074 + 63 - shift)), fraction << shift};
        }
        return {static_cast<std::uint16_t>(sign | (exponent - 1023 + soft::kBias)),
                ((std::uint64_t{1} << 52) | fraction) << 11};
    }

    double toDouble() const {
        std::uint64_t bits = negative() ? std::uint64_t{1} << 63 : 0;
        if (isNaN()) {
            // The top 52 bits of the fraction, made quiet.
            bits |= (std::uint64_t{0x7FF} << 52) | (std::uint64_t{1} << 51) |
                    ((significand_ >> 11) & ((std::uint64_t{1} << 52) - 1));
        } else if (isInfinity()) {
            bits |= std::uint64_t{0x7FF} << 52;
        } else if (!isZero()) {
            const Parts p = parts();
            std::int32_t exponent = p.exponent - soft::kBias + 1023;
            // 53 bits stay (fewer for a subnormal result); the rest rounds.
            int drop = 11;
            if (exponent < 1) {
                drop += 1 - exponent;
                exponent = 0;
            }
            const soft::U128 kept = soft::shiftRightSticky(soft::U128{p.significand, 0}, drop);
            std::uint64_t significand = kept.hi;
            if (kept.lo > soft::kTop || (kept.lo == soft::kTop && (significand & 1) != 0)) {
                ++significand;
                if (significand == (std::uint64_t{1} << 53)) {
                    significand >>= 1;
                    ++exponent;
                } else if (exponent == 0 && significand == (std::uint64_t{1} << 52)) {
                    exponent = 1;
                }
            }
            if (exponent >= 0x7FF) {
                bits |= std::uint64_t{0x7FF} << 52;
            } else {
                bits |= (static_cast<std::uint64_t>(exponent) << 52) |
                        (significand & ((std::uint64_t{1} << 52) - 1));
            }
        }
        double x;
        std::memcpy(&x, &bits, sizeof x);
        return x;
    }

    std::uint64_t significand_;
    std::uint16_t signExponent_;
};

// The type every kernel keeps its sums, terms and quotients in.
#if VANTOR_X87_LONG_DOUBLE && !defined(VANTOR_SOFT_EXTENDED)
using Extended = long double;
#else
using Extended = SoftExtended;
#endif

}  // namespace Vantor

#endif
