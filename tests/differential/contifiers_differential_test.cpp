// The library's Contifiers against the literal reference on seeded random
// inputs: every result and every returned flag must agree to the bit.
#include <gtest/gtest.h>

#include <vector>

#include "bits.h"
#include "literal_contifiers.h"
#include "random_values.h"
#include "vantor/contifiers.h"

using Vantor::Contifiers;
using vt::bits;

namespace {

using Method = bool (Contifiers::*)(int, double*, double*, double*);
using Literal = bool (*)(const Contifiers&, int, const double*, const double*, double*);

struct KernelPair {
    const char* name;
    Method library;
    Literal reference;
};

const KernelPair kKernels[] = {
    {"aggMutType0", &Contifiers::aggMutType0, literal::aggMutType0},
    {"aggMutType1", &Contifiers::aggMutType1, literal::aggMutType1},
    {"aggMutType2", &Contifiers::aggMutType2, literal::aggMutType2},
    {"aggDirType0", &Contifiers::aggDirType0, literal::aggDirType0},
    {"aggDirType1", &Contifiers::aggDirType1, literal::aggDirType1},
    {"aggDirType2", &Contifiers::aggDirType2, literal::aggDirType2},
};

struct Case {
    Contifiers config;
    int n;
    std::vector<double> first, second;
};

Case drawCase(std::uint64_t seed) {
    vt::RandomValues draw(seed);
    Case c;
    c.config.threshold = draw.threshold();
    // Mostly the modes the setter lets in, sometimes values only a host that
    // writes the fields directly can store, which take the default branches.
    const int relations[] = {0, 1, 2, 0, 1, 2, 7, -1};
    const int types[] = {0, 1, 2, 0, 1, 2, 5, -4};
    c.config.relationMode = relations[draw.between(0, 7)];
    c.config.typeMode = types[draw.between(0, 7)];
    c.n = draw.length();
    const double outside = draw.outsideRate();
    c.first = draw.values(c.n, 0.0, 1.0, c.config.threshold, outside);
    c.second = draw.values(c.n, 0.0, 1.0, c.config.threshold, outside);
    // Equal vectors make every position a tie between the two values.
    if (draw.chance(0.05)) c.second = c.first;
    return c;
}

constexpr int kCases = 6000;

TEST(ContifiersDifferential, AggregateMatchesTheLiteralStepsToTheBit) {
    for (int seed = 0; seed < kCases; ++seed) {
        Case c = drawCase(seed);
        double got = vt::kUntouched, want = vt::kUntouched;
        const bool gotOk = c.config.aggregate(c.n, c.first.data(), c.second.data(), &got);
        const bool wantOk =
            literal::conAggregate(c.config, c.n, c.first.data(), c.second.data(), &want);
        ASSERT_EQ(gotOk, wantOk) << "seed " << seed;
        ASSERT_EQ(bits(got), bits(want)) << "seed " << seed << ": " << got << " vs " << want;
    }
}

TEST(ContifiersDifferential, EveryKernelMatchesTheLiteralStepsToTheBit) {
    for (int seed = 0; seed < kCases; ++seed) {
        Case c = drawCase(1000000 + seed);
        for (const KernelPair& k : kKernels) {
            double got = vt::kUntouched, want = vt::kUntouched;
            const bool gotOk = (c.config.*k.library)(c.n, c.first.data(), c.second.data(), &got);
            const bool wantOk = k.reference(c.config, c.n, c.first.data(), c.second.data(), &want);
            ASSERT_EQ(gotOk, wantOk) << k.name << " seed " << seed;
            ASSERT_EQ(bits(got), bits(want)) << k.name << " seed " << seed;
        }
    }
}

}  // namespace
