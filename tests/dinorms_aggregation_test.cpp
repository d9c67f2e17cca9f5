// The Dinorms kernels, combination rules and aggregate, checked to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "bits.h"
#include "vantor/dinorms.h"

using Vantor::Dinorms;
using vt::bits;

namespace {

using Kernel = bool (Dinorms::*)(int, double*, double*);
using Rule = bool (Dinorms::*)(double*);
const Kernel kKernels[] = {&Dinorms::aggType0, &Dinorms::aggType1, &Dinorms::aggType2};
const Rule kRules[] = {&Dinorms::cmbType0, &Dinorms::cmbType1, &Dinorms::cmbType2,
                       &Dinorms::cmbType3};

const double k54 = std::ldexp(1.0, -54);
const double k53 = std::ldexp(1.0, -53);

struct KernelRow {
    const char* what;
    double threshold;
    std::vector<double> values;
    bool ok;
    double want[3][2];  // {negative, positive} for aggType0, aggType1, aggType2
};

const std::vector<KernelRow> kKernelRows = {
    {"threshold inclusive, inner values skipped, bounded sum clipped", 0.25,
     {0.5, -0.125, 0, -0.5, 0.25, -0.75}, true, {{-0.75, 0.5}, {-0.875, 0.625}, {-1.0, 0.75}}},
    {"negative threshold is inclusive too", 0.25, {-0.25, std::nextafter(0.25, 0.0)}, true,
     {{-0.25, 0.0}, {-0.25, 0.0}, {-0.25, 0.0}}},
    {"bounded sum stays at -1 once reached", 0.0, {-0.5, -0.75, -0.25}, true,
     {{-0.75, 0.0}, {-0.90625, 0.0}, {-1.0, 0.0}}},
    {"bounded sum stays at 1 once reached", 0.0, {0.75, 0.5, 0.25}, true,
     {{0.0, 0.75}, {0.0, 0.90625}, {0.0, 1.0}}},
    {"threshold one keeps only the ends", 1.0, {1.0, -1.0, 0.99, -0.99}, true,
     {{-1.0, 1.0}, {-1.0, 1.0}, {-1.0, 1.0}}},
    {"threshold zero keeps tiny values", 0.0, {1e-300, -1e-300}, true,
     {{-1e-300, 1e-300}, {-1e-300, 1e-300}, {-1e-300, 1e-300}}},
    {"negative zero is skipped, aggregate stays +0", 0.0, {-0.0, 0.25}, true,
     {{0.0, 0.25}, {0.0, 0.25}, {0.0, 0.25}}},
    {"NaN value is skipped", 0.25, {vt::kNaN, 0.5}, true, {{0.0, 0.5}, {0.0, 0.5}, {0.0, 0.5}}},
    {"everything inside the band", 0.5, {0.2, -0.4}, true, {{0.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}}},
    {"NaN threshold makes nothing significant, not even 1.5", vt::kNaN, {0.5, 1.5, -3.0}, true,
     {{0.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}}},
    // 0.5 + 2^-54 rounds back to 0.5 in double; only a wide accumulator keeps
    // the four increments (each one 2^-55 after the product, for aggType1).
    {"aggregates are carried in extended precision", 0.0,
     {0.5, k54, k54, k54, k54, -0.5, -k54, -k54, -k54, -k54}, true,
     {{-0.5, 0.5}, {-(0.5 + k53), 0.5 + k53}, {-(0.5 + 4 * k54), 0.5 + 4 * k54}}},
    // Regrouping the probabilistic sum as (B + v) - B*v changes the last bit;
    // the negative side mirrors the positive one exactly.
    {"probabilistic sum keeps its grouping", 0.0,
     {0x1.c3e61c634764cp-4, 0x1.90e41ef652157p-2, 0x1.1a74d1c31c237p-2,
      -0x1.c3e61c634764cp-4, -0x1.90e41ef652157p-2, -0x1.1a74d1c31c237p-2}, true,
     {{-0x1.90e41ef652157p-2, 0x1.90e41ef652157p-2},
      {-0x1.37466e225cd84p-1, 0x1.37466e225cd84p-1},
      {-0x1.8e293be92009p-1, 0x1.8e293be92009p-1}}},
    // The extreme-value rule reads the range of the whole vector: its
    // smallest value only counts when it is significant.
    {"smallest value inside the band leaves the negative side at zero", 0.5, {-0.25, 0.75, 0.125},
     true, {{0.0, 0.75}, {0.0, 0.75}, {0.0, 0.75}}},
    {"only zeros of both signs under threshold zero", 0.0, {-0.0, 0.0, -0.0}, true,
     {{0.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}}},
    {"threshold -0.0 acts as 0", -0.0, {-0.0, -0.5, 0.25}, true,
     {{-0.5, 0.25}, {-0.5, 0.25}, {-0.5, 0.25}}},
    {"a threshold above one (written by a host) makes 1.5 insignificant", 1.5, {1.25, -1.25}, true,
     {{0.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}}},
    {"value above one after valid ones", 0.25, {0.5, -0.5, 1.5, 0.75}, false, {}},
    {"value just below minus one", 0.0, {-1.0000001}, false, {}},
    {"plus infinity", 1.0, {vt::kInf}, false, {}},
    {"minus infinity behind a NaN", 0.5, {vt::kNaN, -vt::kInf}, false, {}},
};

TEST(DinormsKernels, KnownAnswers) {
    for (const KernelRow& r : kKernelRows) {
        for (int k = 0; k < 3; ++k) {
            Dinorms d;
            d.threshold = r.threshold;
            std::vector<double> values = r.values;
            double result[3] = {vt::kUntouched, vt::kUntouched, vt::kUntouched};
            EXPECT_EQ((d.*kKernels[k])(static_cast<int>(values.size()), values.data(), result), r.ok)
                << r.what << " aggType" << k;
            const double want0 = r.ok ? r.want[k][0] : vt::kUntouched;
            const double want1 = r.ok ? r.want[k][1] : vt::kUntouched;
            EXPECT_EQ(bits(result[0]), bits(want0)) << r.what << " aggType" << k;
            EXPECT_EQ(bits(result[1]), bits(want1)) << r.what << " aggType" << k;
            EXPECT_EQ(result[2], vt::kUntouched) << "a kernel writes two values only";
            EXPECT_EQ(std::memcmp(values.data(), r.values.data(), values.size() * sizeof(double)), 0)
                << "values are read only";
        }
    }
}

// An invalid value fails the call wherever it sits: at either end, and on
// either side of the lane and block boundaries of the scans.
TEST(DinormsKernels, InvalidValueFailsAtAnyPosition) {
    for (int n : {1, 2, 3, 4, 5, 7, 8, 9, 255, 256, 257, 513}) {
        for (int at : {0, n / 2, n - 1}) {
            for (double bad : {1.5, -vt::kInf, std::nextafter(-1.0, -2.0)}) {
                std::vector<double> values(n, 0.5);
                values[at] = bad;
                for (int k = 0; k < 3; ++k) {
                    Dinorms d;
                    d.threshold = 0.25;
                    double result[2] = {vt::kUntouched, vt::kUntouched};
                    EXPECT_FALSE((d.*kKernels[k])(n, values.data(), result)) << n << " " << at;
                    EXPECT_EQ(result[0], vt::kUntouched);
                    EXPECT_EQ(result[1], vt::kUntouched);
                    values[at] = -0.75;  // valid there: the extremes are found anywhere
                    ASSERT_TRUE((d.*kKernels[0])(n, values.data(), result)) << n << " " << at;
                    EXPECT_EQ(result[0], -0.75) << n << " " << at;
                    EXPECT_EQ(result[1], n > 1 ? 0.5 : 0.0) << n << " " << at;
                    values[at] = bad;
                }
            }
        }
    }
}

TEST(DinormsKernels, NonPositiveLengthReadsNothing) {
    Dinorms d;
    for (int n : {0, -4}) {
        for (Kernel k : kKernels) {
            double result[2] = {vt::kUntouched, vt::kUntouched};
            EXPECT_TRUE((d.*k)(n, nullptr, result));
            EXPECT_EQ(bits(result[0]), bits(0.0));
            EXPECT_EQ(bits(result[1]), bits(0.0));
        }
    }
}

struct RuleRow {
    const char* what;
    double band, r0, r1;
    bool ok;
    double want[4];  // cmbType0 .. cmbType3
};

const RuleRow kRuleRows[] = {
    {"positive side wins", 0.0, -0.5, 0.75, true, {0.75, 0.5, 0.25, 0.34375}},
    {"sum equal to +band is not neutral", 0.25, -0.5, 0.75, true, {0.75, 0.5, 0.25, 0.34375}},
    {"sum equal to -band is not neutral", 0.25, -0.75, 0.5, true, {-0.75, -0.5, -0.25, -0.34375}},
    {"sum inside the band", 0.3, -0.75, 0.5, true, {0.0, 0.0, 0.0, 0.0}},
    {"certainty factor with a full negative side", 0.25, -1.0, 0.75, true,
     {-1.0, -1.0, -0.25, -0.4375}},
    {"full tie needs no division", 0.0, -1.0, 1.0, true, {0.0, 0.0, 0.0, 0.0}},
    {"only the negative side", 0.0, -1.0, 0.0, true, {-1.0, -1.0, -1.0, -1.0}},
    {"only the positive side", 0.0, 0.0, 1.0, true, {1.0, 1.0, 1.0, 1.0}},
    {"a zero sum of negative zeros: only the plain sum keeps the sign", 0.0, -0.0, -0.0, true,
     {0.0, 0.0, -0.0, 0.0}},
    {"NaN band makes nothing neutral", vt::kNaN, -0.5, 0.75, true, {0.75, 0.5, 0.25, 0.34375}},
    {"NaN negative side passes the check", 0.0, vt::kNaN, 0.5, true,
     {0.0, 0.0, vt::kNaN, vt::kNaN}},
    {"NaN positive side passes the check", 0.5, -0.5, vt::kNaN, true,
     {0.0, 0.0, vt::kNaN, vt::kNaN}},
    // The sum 1 - 3*2^-54 and the divisor 1 - 2^-54 both need more than
    // double precision; rounded early they give 1 - 2^-52 instead.
    {"sum and quotient in extended precision", 0.0, -k54, 1.0 - k53, true,
     {1.0 - k53, 1.0 - k53, 1.0 - 2 * k53, 1.0 - k53}},
    // (1 + x)(1 - x) with x = 2^-27 + 2^-52 is 1 - 2^-54 in extended
    // precision, which rounds to 1; a double product gives 1 - 2^-53.
    {"product in extended precision", 0.0, -(std::ldexp(1.0, -27) + std::ldexp(1.0, -52)), 1.0,
     true, {1.0, 1.0, 0x1.ffffffbfffffep-1, 1.0}},
    // 0.25 - 2^-60 lies inside the band only while the sum is kept wide.
    {"band compares the extended sum", 0.25, -std::ldexp(1.0, -60), 0.25, true, {0, 0, 0, 0}},
    {"negative side below -1", 0.0, -1.5, 0.5, false, {}},
    {"negative side above 0", 0.0, 0.1, 0.5, false, {}},
    {"positive side below 0", 0.0, -0.5, -0.25, false, {}},
    {"positive side above 1", 0.0, -0.5, 1.5, false, {}},
};

TEST(DinormsRules, KnownAnswers) {
    for (const RuleRow& r : kRuleRows) {
        for (int k = 0; k < 4; ++k) {
            Dinorms d;
            d.neutralBand = r.band;
            double result[4] = {r.r0, r.r1, vt::kUntouched, vt::kUntouched};
            EXPECT_EQ((d.*kRules[k])(result), r.ok) << r.what << " cmbType" << k;
            const double want = r.ok ? r.want[k] : vt::kUntouched;
            EXPECT_EQ(bits(result[2]), bits(want)) << r.what << " cmbType" << k << ": " << result[2];
            EXPECT_EQ(bits(result[0]), bits(r.r0));
            EXPECT_EQ(bits(result[1]), bits(r.r1));
            EXPECT_EQ(result[3], vt::kUntouched);
        }
    }
    Dinorms d;
    for (Rule k : kRules) EXPECT_FALSE((d.*k)(nullptr));
}

// aggregate on one vector that has values inside the band, values on both
// edges of it, a clipped bounded sum and a sum equal to -band.
TEST(DinormsAggregate, EveryPairOfModes) {
    const double aggregates[3][2] = {{-0.75, 0.5}, {-0.875, 0.625}, {-1.0, 0.75}};
    const double combined[3][4] = {{-0.75, -0.5, -0.25, -0.34375},
                                   {-0.875, -0x1.5555555555555p-1, -0.25, -0.38671875},
                                   {-1.0, -1.0, -0.25, -0.4375}};
    for (double band : {0.25, 0.3}) {
        for (int agg = 0; agg < 3; ++agg) {
            for (int cmb = 0; cmb < 4; ++cmb) {
                Dinorms d(0.25, band);
                ASSERT_TRUE(d.setModes(agg, cmb));
                double values[] = {0.5, -0.125, 0, -0.5, 0.25, -0.75};
                double result[4] = {vt::kUntouched, vt::kUntouched, vt::kUntouched, vt::kUntouched};
                EXPECT_TRUE(d.aggregate(6, values, result));
                const double want = band == 0.25 ? combined[agg][cmb] : 0.0;
                EXPECT_EQ(bits(result[0]), bits(aggregates[agg][0])) << agg << "," << cmb;
                EXPECT_EQ(bits(result[1]), bits(aggregates[agg][1])) << agg << "," << cmb;
                EXPECT_EQ(bits(result[2]), bits(want)) << agg << "," << cmb << " band " << band;
                EXPECT_EQ(result[3], vt::kUntouched);
            }
        }
    }
}

TEST(DinormsAggregate, FieldsOutsideTheirRangeFallBackToType0) {
    for (int agg : {3, -1, 1000}) {
        for (int cmb : {4, -1}) {
            Dinorms d(0.25, 0.0);
            d.aggMode = agg;
            d.cmbMode = cmb;
            double values[] = {0.5, -0.125, -0.75, 0.25};
            double result[3];
            EXPECT_TRUE(d.aggregate(4, values, result));
            EXPECT_EQ(result[0], -0.75);
            EXPECT_EQ(result[1], 0.5);
            EXPECT_EQ(result[2], -0.75) << "cmbType0 returns the winning aggregate";
        }
    }
}

TEST(DinormsAggregate, RefusalsAndEmptyVectors) {
    for (int agg = 0; agg < 3; ++agg) {
        for (int cmb = 0; cmb < 4; ++cmb) {
            Dinorms d;
            ASSERT_TRUE(d.setModes(agg, cmb));
            double bad[] = {-0.5, 0.75, 1.5, 0.5};
            double result[4] = {vt::kUntouched, vt::kUntouched, vt::kUntouched, vt::kUntouched};
            EXPECT_FALSE(d.aggregate(4, bad, result));
            for (int i = 0; i < 3; ++i) EXPECT_EQ(bits(result[i]), bits(0.0)) << "zeroed " << i;
            EXPECT_EQ(result[3], vt::kUntouched);

            for (int n : {0, -1}) {
                result[0] = result[1] = result[2] = vt::kUntouched;
                EXPECT_TRUE(d.aggregate(n, bad, result));
                for (int i = 0; i < 3; ++i) EXPECT_EQ(bits(result[i]), bits(0.0));
            }

            result[0] = result[1] = result[2] = vt::kUntouched;
            EXPECT_FALSE(d.aggregate(4, nullptr, result));
            for (int i = 0; i < 3; ++i) EXPECT_EQ(result[i], vt::kUntouched);
            EXPECT_FALSE(d.aggregate(4, bad, nullptr));
        }
    }
}

}  // namespace
