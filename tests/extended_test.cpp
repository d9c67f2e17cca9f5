// SoftExtended against the x87 unit, to the bit: every operation the kernels
// use, on the edges (subnormals of both formats, ties, overflow, every pair
// of NaN kinds, signed zeros) and on long seeded random runs. Built twice,
// once on 128-bit integers and once on the portable integer code.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "bits.h"
#include "extended.h"

#if VANTOR_X87_LONG_DOUBLE

using Vantor::SoftExtended;

namespace {

struct Bits {
    std::uint16_t signExponent;
    std::uint64_t significand;
    bool operator==(const Bits& o) const {
        return signExponent == o.signExponent && significand == o.significand;
    }
};

std::ostream& operator<<(std::ostream& out, const Bits& b) {
    return out << std::hex << b.signExponent << ":" << b.significand << std::dec;
}

long double hard(SoftExtended x) {
    long double y = 0.0L;
    const std::uint64_t s = x.significand();
    const std::uint16_t e = x.signExponent();
    std::memcpy(&y, &s, 8);
    std::memcpy(reinterpret_cast<char*>(&y) + 8, &e, 2);
    return y;
}

Bits bitsOf(long double y) {
    Bits b;
    std::memcpy(&b.significand, &y, 8);
    std::memcpy(&b.signExponent, reinterpret_cast<const char*>(&y) + 8, 2);
    return b;
}

Bits bitsOf(SoftExtended x) { return {x.signExponent(), x.significand()}; }

SoftExtended make(std::uint16_t signExponent, std::uint64_t significand) {
    return SoftExtended::fromBits(signExponent, significand);
}

// The x87 side, out of line so that nothing is folded at compile time.
__attribute__((noinline)) long double x87(char op, long double a, long double b) {
    switch (op) {
        case '+': return a + b;
        case '-': return a - b;
        case '*': return a * b;
        default: return a / b;
    }
}
__attribute__((noinline)) long double x87Load(double x) { return x; }
__attribute__((noinline)) double x87Store(long double x) { return static_cast<double>(x); }
__attribute__((noinline)) int x87Compare(long double a, long double b) {
    return (a < b) | (a <= b) << 1 | (a == b) << 2 | (a != b) << 3 | (a >= b) << 4 | (a > b) << 5;
}

SoftExtended soft(char op, SoftExtended a, SoftExtended b) {
    switch (op) {
        case '+': return a + b;
        case '-': return a - b;
        case '*': return a * b;
        default: return a / b;
    }
}
int softCompare(SoftExtended a, SoftExtended b) {
    return (a < b) | (a <= b) << 1 | (a == b) << 2 | (a != b) << 3 | (a >= b) << 4 | (a > b) << 5;
}

constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
constexpr std::uint64_t kQuiet = std::uint64_t{1} << 62;

// Counts disagreements of one pair on every operation and comparison,
// reporting the first few.
int checkPair(SoftExtended a, SoftExtended b) {
    int wrong = 0;
    for (const char op : {'+', '-', '*', '/'}) {
        const Bits want = bitsOf(x87(op, hard(a), hard(b)));
        const Bits got = bitsOf(soft(op, a, b));
        if (!(want == got)) {
            ++wrong;
            ADD_FAILURE() << bitsOf(a) << " " << op << " " << bitsOf(b) << ": x87 " << want << ", soft "
                          << got;
        }
    }
    if (x87Compare(hard(a), hard(b)) != softCompare(a, b)) {
        ++wrong;
        ADD_FAILURE() << "comparisons of " << bitsOf(a) << " and " << bitsOf(b);
    }
    return wrong;
}

int checkStore(SoftExtended a) {
    const double want = x87Store(hard(a)), got = static_cast<double>(a);
    if (vt::bits(want) == vt::bits(got)) return 0;
    ADD_FAILURE() << "to double " << bitsOf(a) << ": x87 " << std::hex << vt::bits(want) << ", soft "
                  << vt::bits(got) << std::dec;
    return 1;
}

double fromBits(std::uint64_t u) {
    double x;
    std::memcpy(&x, &u, sizeof x);
    return x;
}

// Values where the arithmetic has a special case or a boundary.
std::vector<SoftExtended> edges() {
    std::vector<SoftExtended> v;
    for (const std::uint16_t sign : {std::uint16_t{0}, std::uint16_t{0x8000}}) {
        const auto at = [&](std::uint16_t e, std::uint64_t s) { v.push_back(make(sign | e, s)); };
        at(0, 0);                                     // zero
        at(0, 1);                                     // smallest subnormal
        at(0, kTop - 1);                              // largest subnormal
        at(1, kTop);                                  // smallest normal
        at(1, kTop | 1);
        at(0x3FFF, kTop);                             // 1
        at(0x3FFF, kTop | 1);                         // 1 + one unit in the last place
        at(0x3FFF, ~std::uint64_t{0});                // just below 2
        at(0x3FFE, ~std::uint64_t{0});                // just below 1
        at(0x3FBF, kTop);                             // 2^-64: half a unit of 1
        at(0x3FC0, kTop);                             // 2^-63
        at(0x3FBF, kTop | 1);                         // just over half a unit of 1
        at(0x3FFF, kTop | 0x400);                     // 1 + 2^-53: a tie when stored
        at(0x3FFF, kTop | 0xC00);                     // 1 + 3 * 2^-53: a tie, rounds up
        at(0x3FFF, kTop | 0x401);                     // just over the tie
        at(0x3FFF, kTop | 0x3FF);                     // just under it
        at(0x3FFF - 1022, kTop);                      // smallest normal double
        at(0x3FFF - 1023, kTop | (kTop >> 1));        // a subnormal double and a half
        at(0x3FFF - 1074, kTop);                      // smallest subnormal double
        at(0x3FFF - 1075, kTop);                      // half of it: a tie to 0
        at(0x3FFF - 1075, kTop | 1);                  // just over half: rounds to it
        at(0x3FFF + 1023, ~std::uint64_t{0});         // rounds to the double infinity
        at(0x3FFF + 1023, kTop | 0x3FF);              // stays the largest double
        at(0x7FFE, ~std::uint64_t{0});                // largest extended
        at(0x7FFE, kTop);
        at(0x7FFF, kTop);                             // infinity
        at(0x7FFF, kTop | kQuiet);                    // the default quiet NaN
        at(0x7FFF, kTop | kQuiet | 1);                // quiet NaNs with payloads
        at(0x7FFF, kTop | kQuiet | 0x12345678);
        at(0x7FFF, kTop | 1);                         // signalling NaNs
        at(0x7FFF, kTop | 0x12345678);
        at(0x7FFF, kTop | (kQuiet >> 1));
    }
    return v;
}

TEST(SoftExtended, EveryPairOfEdgeValuesAsX87) {
    const std::vector<SoftExtended> values = edges();
    int wrong = 0;
    for (const SoftExtended a : values) {
        for (const SoftExtended b : values) wrong += checkPair(a, b);
        wrong += checkStore(a);
        if (wrong > 20) FAIL() << "stopping after " << wrong << " disagreements";
    }
}

TEST(SoftExtended, ConversionFromEveryKindOfDoubleAsX87) {
    const std::uint64_t doubles[] = {
        0, 0x8000000000000000u,                    // +0.0 and -0.0
        1, 0x800FFFFFFFFFFFFFu,                    // subnormals
        0x0010000000000000u, 0x3FF0000000000000u,  // smallest normal, 1
        0x7FEFFFFFFFFFFFFFu, 0xFFF0000000000000u,  // largest, -infinity
        0x7FF8000000000000u, 0xFFF8000000000001u,  // quiet NaNs
        0x7FF0000000000001u, 0xFFF4000000000000u,  // signalling NaNs: loaded quiet
    };
    for (const std::uint64_t u : doubles) {
        const double x = fromBits(u);
        EXPECT_EQ(bitsOf(x87Load(x)), bitsOf(SoftExtended(x))) << std::hex << u;
        EXPECT_EQ(vt::bits(x87Store(x87Load(x))), vt::bits(static_cast<double>(SoftExtended(x))))
            << std::hex << u;
    }
}

// A random extended value from one of the ranges where the rounding has
// something to do: ordinary magnitudes, the double subnormal boundary, the
// extended subnormals and the edge of overflow; significands either random
// or with long runs of equal low bits, which make ties and carries.
class Draw {
public:
    explicit Draw(std::uint64_t seed) : rng_(seed) {}

    std::uint64_t next() { return rng_(); }

    SoftExtended value() {
        const std::uint64_t r = next();
        static const int centres[] = {0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF - 1040, 40, 0x7FFE - 40};
        std::int32_t e = centres[r % 6] + static_cast<int>((r >> 3) % 81) - 40;
        if (e < 0) e = 0;
        if (e > 0x7FFE) e = 0x7FFE;
        std::uint64_t s = next();
        switch ((r >> 10) % 4) {
            case 0: s &= ~((std::uint64_t{1} << ((r >> 12) % 64)) - 1); break;
            case 1: s |= (std::uint64_t{1} << ((r >> 12) % 64)) - 1; break;
            default: break;
        }
        s = e == 0 ? s >> 1 : s | kTop;
        const std::uint16_t sign = (r >> 20) & 1 ? 0x8000 : 0;
        if ((r >> 21) % 64 == 0) return make(sign | 0x7FFF, kTop | (s >> 2) | ((r >> 27) & 1 ? kQuiet : 1));
        if ((r >> 21) % 64 == 1) return make(sign | 0x7FFF, kTop);
        if ((r >> 21) % 64 == 2) return make(sign, 0);
        return make(static_cast<std::uint16_t>(sign | e), s);
    }

    // Operands near each other make cancellation, far apart make sticky bits.
    SoftExtended near(SoftExtended a) {
        const std::uint64_t r = next();
        const int shift = static_cast<int>(r % 8) - 4;
        std::int32_t e = (a.signExponent() & 0x7FFF) + shift;
        if (e < 1 || e > 0x7FFE) return value();
        const std::uint64_t s = a.significand() ^ (next() >> (r >> 3) % 64);
        return make(static_cast<std::uint16_t>(((a.signExponent() & 0x8000) ^ ((r >> 9) & 1 ? 0x8000 : 0)) | e),
                     s | kTop);
    }

private:
    std::mt19937_64 rng_;
};

TEST(SoftExtended, RandomOperandsAsX87) {
    Draw draw(20231209);
    int wrong = 0;
    for (int i = 0; i < 400000 && wrong <= 20; ++i) {
        const SoftExtended a = draw.value();
        const SoftExtended b = i % 2 ? draw.value() : draw.near(a);
        wrong += checkPair(a, b);
        wrong += checkStore(a);
    }
}

// Long chains as the kernels run them: doubles converted, multiplied and
// added into running sums, quotients of the sums, every step stored.
TEST(SoftExtended, RandomChainsAsX87) {
    std::mt19937_64 rng(977);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int wrong = 0;
    for (int chain = 0; chain < 200 && wrong <= 20; ++chain) {
        long double hs = 0.0L, hp = 0.0L;
        SoftExtended ss = 0.0, sp = 0.0;
        const double scale = chain % 4 == 0 ? 1e-300 : chain % 4 == 1 ? 1e300 : 1.0;
        for (int i = 0; i < 2000; ++i) {
            const double v = unit(rng) * scale, w = unit(rng);
            hs = x87('+', hs, x87('*', x87Load(v), x87Load(w)));
            ss = ss + SoftExtended(v) * SoftExtended(w);
            hp = x87('+', hp, x87('-', x87Load(v), x87('*', hp, x87Load(v))));
            sp = sp + (SoftExtended(v) - sp * v);
            const long double hq = x87('/', hs, hp);
            const SoftExtended sq = ss / sp;
            if (!(bitsOf(hs) == bitsOf(ss)) || !(bitsOf(hp) == bitsOf(sp)) || !(bitsOf(hq) == bitsOf(sq)) ||
                vt::bits(x87Store(hq)) != vt::bits(static_cast<double>(sq))) {
                ADD_FAILURE() << "chain " << chain << " step " << i;
                ++wrong;
                break;
            }
        }
    }
}

}  // namespace

#else

TEST(SoftExtended, NeedsTheX87FormatAsReference) { GTEST_SKIP() << "long double is not the x87 format"; }

#endif
