// The library's Dinorms against the literal reference on seeded random inputs:
// every aggregate, combined value and returned flag must agree to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bits.h"
#include "literal_dinorms.h"
#include "random_values.h"
#include "vantor/dinorms.h"

using Vantor::Dinorms;
using vt::bits;

namespace {

using Kernel = bool (Dinorms::*)(int, double*, double*);
using LiteralKernel = bool (*)(const Dinorms&, int, const double*, double*);
using Rule = bool (Dinorms::*)(double*);
using LiteralRule = bool (*)(const Dinorms&, double*);

const struct {
    const char* name;
    Kernel library;
    LiteralKernel reference;
} kKernels[] = {
    {"aggType0", &Dinorms::aggType0, literal::aggType0},
    {"aggType1", &Dinorms::aggType1, literal::aggType1},
    {"aggType2", &Dinorms::aggType2, literal::aggType2},
};

const struct {
    const char* name;
    Rule library;
    LiteralRule reference;
} kRules[] = {
    {"cmbType0", &Dinorms::cmbType0, literal::cmbType0},
    {"cmbType1", &Dinorms::cmbType1, literal::cmbType1},
    {"cmbType2", &Dinorms::cmbType2, literal::cmbType2},
    {"cmbType3", &Dinorms::cmbType3, literal::cmbType3},
};

struct Case {
    Dinorms config;
    int n;
    std::vector<double> values;
};

Case drawCase(std::uint64_t seed) {
    vt::RandomValues draw(seed);
    Case c;
    c.config.threshold = draw.threshold();
    c.config.neutralBand = draw.threshold();
    // A host may write any value into the fields; the kernels must follow the
    // literal steps for those too.
    if (draw.chance(0.05)) c.config.threshold = draw.uniform(-1.5, -0.01);
    if (draw.chance(0.03)) c.config.threshold = draw.uniform(1.0, 2.0);
    const int aggModes[] = {0, 1, 2, 0, 1, 2, 5, -1};
    const int cmbModes[] = {0, 1, 2, 3, 0, 1, 2, 3, 9};
    c.config.aggMode = aggModes[draw.between(0, 7)];
    c.config.cmbMode = cmbModes[draw.between(0, 8)];
    c.n = draw.length();
    const double outside = draw.outsideRate();
    c.values = draw.values(c.n, -1.0, 1.0, c.config.threshold, outside);
    // Runs of one sign drive the bounded sum into its clip and keep it there.
    if (draw.chance(0.1)) {
        const double sign = draw.chance(0.5) ? 1.0 : -1.0;
        for (double& v : c.values) v = sign * std::fabs(v);
    }
    return c;
}

constexpr int kCases = 6000;

TEST(DinormsDifferential, AggregateMatchesTheLiteralStepsToTheBit) {
    for (int seed = 0; seed < kCases; ++seed) {
        Case c = drawCase(2000000 + seed);
        double got[3] = {vt::kUntouched, vt::kUntouched, vt::kUntouched};
        double want[3] = {vt::kUntouched, vt::kUntouched, vt::kUntouched};
        const bool gotOk = c.config.aggregate(c.n, c.values.data(), got);
        const bool wantOk = literal::dinAggregate(c.config, c.n, c.values.data(), want);
        ASSERT_EQ(gotOk, wantOk) << "seed " << seed;
        for (int i = 0; i < 3; ++i) ASSERT_EQ(bits(got[i]), bits(want[i])) << "seed " << seed << " element " << i;
    }
}

TEST(DinormsDifferential, EveryKernelMatchesTheLiteralStepsToTheBit) {
    for (int seed = 0; seed < kCases; ++seed) {
        Case c = drawCase(3000000 + seed);
        for (const auto& k : kKernels) {
            double got[2] = {vt::kUntouched, vt::kUntouched};
            double want[2] = {vt::kUntouched, vt::kUntouched};
            const bool gotOk = (c.config.*k.library)(c.n, c.values.data(), got);
            const bool wantOk = k.reference(c.config, c.n, c.values.data(), want);
            ASSERT_EQ(gotOk, wantOk) << k.name << " seed " << seed;
            ASSERT_EQ(bits(got[0]), bits(want[0])) << k.name << " seed " << seed;
            ASSERT_EQ(bits(got[1]), bits(want[1])) << k.name << " seed " << seed;
        }
    }
}

TEST(DinormsDifferential, EveryRuleMatchesTheLiteralStepsToTheBit) {
    vt::RandomValues draw(4000000);
    for (int i = 0; i < kCases; ++i) {
        Dinorms config;
        config.neutralBand = draw.threshold();
        // Mostly aggregates in range, sometimes NaN, -0.0 or out of range.
        const double r0 = -draw.value(0.0, 1.0, config.neutralBand, 0.05);
        const double r1 = draw.value(0.0, 1.0, config.neutralBand, 0.05);
        for (const auto& rule : kRules) {
            double got[3] = {r0, r1, vt::kUntouched};
            double want[3] = {r0, r1, vt::kUntouched};
            const bool gotOk = (config.*rule.library)(got);
            const bool wantOk = rule.reference(config, want);
            ASSERT_EQ(gotOk, wantOk) << rule.name << " case " << i;
            for (int j = 0; j < 3; ++j) ASSERT_EQ(bits(got[j]), bits(want[j])) << rule.name << " case " << i;
        }
    }
}

}  // namespace
