// The six Contifiers kernels and aggregate's dispatch, validation and NaN rules.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bits.h"
#include "vantor/contifiers.h"

using Vantor::Contifiers;
using vt::bits;

namespace {

using Kernel = bool (Contifiers::*)(int, double*, double*, double*);

struct NamedKernel {
    const char* name;
    Kernel run;
};

const NamedKernel kKernels[] = {
    {"aggMutType0", &Contifiers::aggMutType0}, {"aggMutType1", &Contifiers::aggMutType1},
    {"aggMutType2", &Contifiers::aggMutType2}, {"aggDirType0", &Contifiers::aggDirType0},
    {"aggDirType1", &Contifiers::aggDirType1}, {"aggDirType2", &Contifiers::aggDirType2},
};

// Runs aggregate under the given configuration and returns the degree;
// `ok` receives aggregate's result.
double aggregateWith(double threshold, int relation, int type, std::vector<double> first,
                     std::vector<double> second, bool* ok) {
    Contifiers c;
    c.threshold = threshold;
    c.relationMode = relation;
    c.typeMode = type;
    double result = vt::kUntouched;
    *ok = c.aggregate(static_cast<int>(first.size()), first.data(), second.data(), &result);
    return result;
}

struct WorkedRow {
    double threshold;
    int relation, type;
    double want;
};

// Two vectors worked through by hand for every kernel and both directions:
// first {0.2, 0.8, 0.6, 0.5}, second {0.9, 0.4, 0.3, 0.5}.
const WorkedRow kWorked[] = {
    {0.5, 0, 0, 0.93 / 2.8},  {0.5, 0, 1, 0.5},        {0.5, 0, 2, 1.67 / 2.8},
    {0.5, 1, 0, 1.0 / 1.9},   {0.5, 1, 1, 1.2 / 1.9},  {0.5, 1, 2, 1.4 / 1.9},
    {0.5, 2, 0, 0.68 / 1.4},  {0.5, 2, 1, 0.5},        {0.5, 2, 2, 0.55},
    {0.0, 0, 0, 0.93 / 2.8},  {0.0, 0, 1, 0.5},        {0.0, 0, 2, 1.67 / 2.8},
    {0.0, 1, 0, 1.2 / 2.1},   {0.0, 1, 1, 1.4 / 2.1},  {0.0, 1, 2, 1.6 / 2.1},
};

TEST(ContifiersKernels, WorkedExampleForEveryKernelAndRelation) {
    for (const WorkedRow& r : kWorked) {
        bool ok = false;
        const double got = aggregateWith(r.threshold, r.relation, r.type, {0.2, 0.8, 0.6, 0.5},
                                         {0.9, 0.4, 0.3, 0.5}, &ok);
        EXPECT_TRUE(ok);
        EXPECT_NEAR(got, r.want, 1e-12)
            << "threshold " << r.threshold << " relation " << r.relation << " type " << r.type;
    }
}

TEST(ContifiersKernels, MutualKernelsIgnoreTheOrderOfTheVectors) {
    const std::vector<double> a = {0.1, 0.7, 0.3, 1.0, 0.0, 0.45};
    const std::vector<double> b = {0.6, 0.7, 0.05, 0.2, 0.9, 0.5};
    for (int type = 0; type < 3; ++type) {
        bool ok1 = false, ok2 = false;
        const double ab = aggregateWith(0.3, 0, type, a, b, &ok1);
        const double ba = aggregateWith(0.3, 0, type, b, a, &ok2);
        EXPECT_TRUE(ok1 && ok2);
        EXPECT_EQ(bits(ab), bits(ba)) << "type " << type;
        EXPECT_GE(ab, 0.0);
        EXPECT_LE(ab, 1.0);
    }
}

// Rows whose answers are exact in binary, checked to the bit.
struct ExactRow {
    const char* what;
    double threshold;
    int relation, type;
    std::vector<double> first, second;
    bool ok;
    double want;
};

const double kTiny = std::ldexp(1.0, -54);

const std::vector<ExactRow> kExact = {
    {"default configuration", 0.0, 1, 1, {0.5, 1.0}, {0.25, 1.0}, true, 1.25 / 1.5},
    {"zero, negative zero and one are valid", 0.0, 1, 1, {0.0, -0.0, 1.0}, {1.0, 0.0, -0.0}, true, 0.0},
    {"weight exactly at the threshold takes part", 0.5, 1, 1, {0.5, 0.25}, {0.25, 1.0}, true, 0.5},
    {"weight just below the threshold is gated", 0.5, 1, 1,
     {std::nextafter(0.5, 0.0), 1.0}, {0.0, 0.5}, true, 0.5},
    {"zero weight at threshold zero leaves the denominator empty", 0.0, 0, 2, {0.0}, {0.0}, true, 0.0},
    {"no position passes the gate", 0.9, 1, 0, {0.5, 0.8}, {1.0, 1.0}, true, 0.0},
    {"value above one at the end fails", 0.0, 1, 1, {0.5, 1.0000001}, {0.5, 0.5}, false, 0.0},
    {"tiny negative value fails", 0.0, 0, 0, {0.5, 0.5}, {0.5, -1e-300}, false, 0.0},
    {"infinity fails", 0.0, 0, 1, {vt::kInf}, {0.5}, false, 0.0},
    {"NaN in the weighing vector is skipped", 0.5, 1, 0, {vt::kNaN, 0.75}, {0.5, 0.5}, true, 0.5},
    {"NaN beside a gated first value is skipped", 0.5, 1, 2, {0.25}, {vt::kNaN}, true, 0.0},
    {"NaN threshold gates out everything", vt::kNaN, 0, 1, {0.5, 1.0}, {1.0, 0.5}, true, 0.0},
    {"out-of-range value still fails under a NaN threshold", vt::kNaN, 0, 1, {0.5}, {1.5}, false, 0.0},
    {"out-of-range mode fields fall back to directed reversed, Type0", 0.0, 7, -3,
     {0.25}, {0.5}, true, 0.25},
    // 1 + 2^-54 + 2^-54 is 1 + 2^-53 in long double but 1 in double: the
    // quotient 0.5 / (1 + 2^-53) rounds to the double just below 0.5 only
    // when the denominator was kept wide.
    {"sums are carried in extended precision", 0.0, 0, 1, {1.0, kTiny, kTiny}, {0.5, 0.0, 0.0},
     true, std::nextafter(0.5, 0.0)},
};

TEST(ContifiersKernels, ExactAnswers) {
    for (const ExactRow& r : kExact) {
        bool ok = !r.ok;
        const double got = aggregateWith(r.threshold, r.relation, r.type, r.first, r.second, &ok);
        EXPECT_EQ(ok, r.ok) << r.what;
        EXPECT_EQ(bits(got), bits(r.want)) << r.what << ": got " << got;
    }
}

TEST(ContifiersKernels, NaNInTheContainingVectorPoisonsTheResult) {
    // With first {0.7} reaching the gate, a NaN beside it makes every term NaN.
    for (int relation : {0, 1}) {
        for (int type = 0; type < 3; ++type) {
            bool ok = false;
            const double got = aggregateWith(0.5, relation, type, {0.7}, {vt::kNaN}, &ok);
            EXPECT_TRUE(ok);
            EXPECT_TRUE(std::isnan(got)) << relation << "," << type;
        }
    }
}

TEST(ContifiersKernels, NaNWeightIsSkippedInEveryKernel) {
    // Only position 1 counts: 0.7 for the product kernel, 1.0 for the others.
    for (int relation : {0, 1}) {
        for (int type = 0; type < 3; ++type) {
            bool ok = false;
            const double got =
                aggregateWith(0.5, relation, type, {vt::kNaN, 0.7}, {0.9, 0.7}, &ok);
            EXPECT_TRUE(ok);
            const double want = (relation == 0 && type == 0) ? 0.7 * 0.7 / 0.7 : 1.0;
            EXPECT_NEAR(got, want, 1e-15) << relation << "," << type;
        }
    }
}

TEST(ContifiersKernels, KernelCalledDirectlyLeavesResultOnFailure) {
    Contifiers c;
    double first[] = {0.5, 0.5, 1.5, vt::kNaN};
    double second[] = {0.5, 0.5, 0.5, 0.5};
    for (const NamedKernel& k : kKernels) {
        double result = vt::kUntouched;
        EXPECT_FALSE((c.*k.run)(4, first, second, &result)) << k.name;
        EXPECT_EQ(result, vt::kUntouched) << k.name;
    }
}

TEST(ContifiersKernels, NonPositiveLengthReadsNothing) {
    Contifiers c;
    for (int n : {0, -3}) {
        for (const NamedKernel& k : kKernels) {
            double result = vt::kUntouched;
            // Pointers to nothing: the kernel must not read them.
            EXPECT_TRUE((c.*k.run)(n, nullptr, nullptr, &result)) << k.name;
            EXPECT_EQ(bits(result), bits(0.0)) << k.name;
        }
    }
}

TEST(ContifiersAggregate, NullArraysAreRefused) {
    Contifiers c;
    double v[] = {0.5};
    double result = vt::kUntouched;
    EXPECT_FALSE(c.aggregate(1, nullptr, v, &result));
    EXPECT_EQ(result, vt::kUntouched);
    EXPECT_FALSE(c.aggregate(1, v, nullptr, &result));
    EXPECT_EQ(result, vt::kUntouched);
    EXPECT_FALSE(c.aggregate(1, v, v, nullptr));
}

TEST(ContifiersAggregate, RelationTwoExchangesTheVectors) {
    const std::vector<double> a = {0.2, 0.8, 0.6, 0.5}, b = {0.9, 0.4, 0.3, 0.5};
    for (int type = 0; type < 3; ++type) {
        bool ok1 = false, ok2 = false;
        const double reversed = aggregateWith(0.5, 2, type, a, b, &ok1);
        const double swapped = aggregateWith(0.5, 1, type, b, a, &ok2);
        EXPECT_TRUE(ok1 && ok2);
        EXPECT_EQ(bits(reversed), bits(swapped)) << type;
    }
}

}  // namespace
