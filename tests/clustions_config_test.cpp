// Construction, configuration and the similarity both clustering methods use.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "bits.h"
#include "vantor/clustions.h"

using Vantor::Clustions;
using vt::bits;

namespace {

TEST(ClustionsConfig, ConstructorKeepsOnlyTheHalfOpenUnitInterval) {
    struct Row { double value, want; };
    const Row rows[] = {{0.0, 0.0},  {1.0, 1.0},     {1e-300, 1e-300},      {0.5, 0.5},
                        {-0.0, 0.0}, {-0.5, 0.0},    {1.0000000000000002, 0.0},
                        {vt::kNaN, 0.0}, {vt::kInf, 0.0}, {-vt::kInf, 0.0}};
    for (const Row& r : rows) {
        Clustions c(r.value);
        EXPECT_EQ(bits(c.threshold), bits(r.want)) << r.value;
        EXPECT_EQ(c.iterationLimit, 40) << r.value;
    }
    Clustions c;
    EXPECT_EQ(bits(c.threshold), bits(0.0));
    EXPECT_EQ(c.iterationLimit, 40);
}

TEST(ClustionsConfig, ThresholdSetterTakesTheClosedIntervalAndNaN) {
    struct Row { double value; bool accepted; };
    const Row rows[] = {{0.0, true},         {1.0, true},  {-0.0, true},
                        {vt::kNaN, true},    {-1e-300, false}, {1.0000000000000002, false},
                        {vt::kInf, false},   {-vt::kInf, false}};
    for (const Row& r : rows) {
        Clustions c(0.25);
        c.iterationLimit = 7;
        EXPECT_EQ(c.thresholds(r.value), r.accepted) << r.value;
        EXPECT_EQ(bits(c.threshold), bits(r.accepted ? r.value : 0.25)) << r.value;
        EXPECT_EQ(c.iterationLimit, 7);
    }
}

TEST(ClustionsConfig, LimitSetterNeedsAtLeastOnePass) {
    for (int limit : {0, -1, INT_MIN, 1, INT_MAX}) {
        Clustions c;
        c.threshold = 0.75;
        EXPECT_EQ(c.setLimits(limit), limit > 0) << limit;
        EXPECT_EQ(c.iterationLimit, limit > 0 ? limit : 40) << limit;
        EXPECT_EQ(c.threshold, 0.75);
    }
}

TEST(ClustionsConfig, GettersWriteOneValueOrRefuse) {
    Clustions c(0.5);
    c.iterationLimit = 9;
    for (int capacity : {0, -5, INT_MIN, 1, 2, 100}) {
        double t[2] = {vt::kUntouched, vt::kUntouched};
        int l[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
        const int want = capacity > 0 ? 1 : 0;
        EXPECT_EQ(c.thresholds(capacity, t), want) << capacity;
        EXPECT_EQ(c.getLimits(capacity, l), want) << capacity;
        EXPECT_EQ(t[0], want ? 0.5 : vt::kUntouched);
        EXPECT_EQ(l[0], want ? 9 : vt::kUntouchedInt);
        EXPECT_EQ(t[1], vt::kUntouched);
        EXPECT_EQ(l[1], vt::kUntouchedInt);
    }
    EXPECT_EQ(c.thresholds(1, nullptr), 0);
    EXPECT_EQ(c.getLimits(1, nullptr), 0);
}

// Sums in long double, one division, rounded once: the reference for rows
// whose answer is not a short decimal.
double ratio(long double minima, long double maxima) {
    return static_cast<double>(minima / maxima);
}

struct SimilRow {
    const char* what;
    double threshold;
    std::vector<double> first, second;
    double want;
};

const SimilRow kSimil[] = {
    {"plain ratio", 0.0, {0.2, 0.5}, {0.1, 0.4}, ratio(0.1L + 0.4L, 0.2L + 0.5L)},
    {"one position", 0.0, {0.25}, {1.0}, 0.25},
    {"swapped", 0.0, {1.0}, {0.25}, 0.25},
    {"equal vectors", 0.0, {0.5, 0.5}, {0.5, 0.5}, 1.0},
    {"all zero", 0.0, {0.0, 0.0}, {0.0, 0.0}, 0.0},
    {"negatives clamp to zero", 0.0, {-0.3, -0.2}, {0.1, -0.5}, 0.0},
    {"both below the threshold: gated", 0.3, {0.2, 0.5}, {0.1, 0.4}, 0.8},
    {"at the threshold counts", 0.3, {0.3, 0.5}, {0.1, 0.4}, 0.625},
    {"one significant value keeps a negative partner", 0.3, {-0.5, 0.5}, {0.5, 0.4}, 0.4},
    {"gate before clamp", 0.3, {-0.5, 0.5}, {0.2, 0.4}, 0.8},
    {"threshold one", 1.0, {1.0, 0.5}, {0.25, 1.0}, 0.375},
    {"everything gated", 1.0, {0.9, 0.5}, {0.25, 0.99}, 0.0},
    {"NaN threshold never gates", vt::kNaN, {0.1, -0.2}, {0.05, -0.1}, 0.5},
    {"-0.0 threshold", -0.0, {0.1, -0.2}, {0.05, -0.1}, 0.5},
    {"NaN in first: 0.0", 0.5, {vt::kNaN, 0.5}, {0.2, 0.4}, 0.0},
    {"NaN in second: NaN", 0.5, {0.2, 0.5}, {vt::kNaN, 0.4}, vt::kNaN},
    {"NaN in second, nothing else counts: 0.0", 0.0, {0.0}, {vt::kNaN}, 0.0},
    {"infinity over infinity", 0.0, {vt::kInf, 0.5}, {vt::kInf, 0.5}, vt::kNaN},
    {"infinity in the maxima only", 0.0, {vt::kInf, 0.5}, {0.5, 0.5}, 0.0},
    {"sums kept in long double", 0.0, {1.0, 0x1p-53, 0x1p-53}, {1.0, 0.0, 0.0},
     ratio(1.0L, 1.0L + 0x1p-53L + 0x1p-53L)},
};

TEST(ClustionsSimilarity, KnownAnswersToTheBit) {
    for (const SimilRow& r : kSimil) {
        Clustions c;
        c.threshold = r.threshold;
        std::vector<double> a = r.first, b = r.second;
        const double got = c.evalSimil(a.data(), b.data(), static_cast<int>(a.size()));
        // The sign of a NaN made by inf / inf is the hardware's business.
        if (std::isnan(r.want)) {
            EXPECT_TRUE(std::isnan(got)) << r.what;
        } else {
            EXPECT_EQ(bits(got), bits(r.want)) << r.what;
        }
    }
}

TEST(ClustionsSimilarity, NonPositiveLengthReadsNothing) {
    Clustions c;
    for (int n : {0, -3, INT_MIN}) EXPECT_EQ(bits(c.evalSimil(nullptr, nullptr, n)), bits(0.0));
}

}  // namespace
