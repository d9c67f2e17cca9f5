// Construction and configuration of Contifiers.
#include <gtest/gtest.h>

#include <ostream>

#include "bits.h"
#include "vantor/contifiers.h"

using Vantor::Contifiers;
using vt::bits;

namespace {

struct CtorRow {
    const char* what;
    double value;
    double want;
};

const CtorRow kCtorRows[] = {
    {"zero", 0.0, 0.0},
    {"negative zero becomes positive zero", -0.0, 0.0},
    {"inside the open interval", 0.5, 0.5},
    {"tiny positive", 1e-300, 1e-300},
    {"one is outside the open interval", 1.0, 0.0},
    {"negative", -0.5, 0.0},
    {"above one", 2.0, 0.0},
    {"NaN", vt::kNaN, 0.0},
    {"plus infinity", vt::kInf, 0.0},
    {"minus infinity", -vt::kInf, 0.0},
};

// Lets test listings name a row by what it pins down.
void PrintTo(const CtorRow& r, std::ostream* os) { *os << r.what; }

class ContifiersCtor : public ::testing::TestWithParam<CtorRow> {};

TEST_P(ContifiersCtor, KeepsOnlyOpenIntervalAndDefaultsModes) {
    const CtorRow& r = GetParam();
    Contifiers c(r.value);
    EXPECT_EQ(bits(c.threshold), bits(r.want)) << r.what;
    EXPECT_EQ(c.relationMode, 1) << r.what;
    EXPECT_EQ(c.typeMode, 1) << r.what;
}

INSTANTIATE_TEST_SUITE_P(Values, ContifiersCtor, ::testing::ValuesIn(kCtorRows));

TEST(ContifiersConfig, DefaultIsDirectedType1AtZero) {
    Contifiers c;
    EXPECT_EQ(bits(c.threshold), bits(0.0));
    int out[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
    EXPECT_EQ(c.getModes(2, out), 2);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 1);
}

struct SetRow {
    const char* what;
    double value;
    bool accepted;
};

const SetRow kSetRows[] = {
    {"zero", 0.0, true},
    {"negative zero, kept as it is", -0.0, true},
    {"one, closed end", 1.0, true},
    {"NaN passes both comparisons", vt::kNaN, true},
    {"just below zero", -1e-300, false},
    {"just above one", 1.0000001, false},
    {"plus infinity", vt::kInf, false},
    {"minus infinity", -vt::kInf, false},
};

void PrintTo(const SetRow& r, std::ostream* os) { *os << r.what; }

class ContifiersSetThreshold : public ::testing::TestWithParam<SetRow> {};

TEST_P(ContifiersSetThreshold, StoresExactlyOrLeavesUnchanged) {
    const SetRow& r = GetParam();
    Contifiers c(0.25);
    EXPECT_EQ(c.thresholds(r.value), r.accepted) << r.what;
    const double want = r.accepted ? r.value : 0.25;
    EXPECT_EQ(bits(c.threshold), bits(want)) << r.what;
    EXPECT_EQ(c.relationMode, 1);
    EXPECT_EQ(c.typeMode, 1);
}

INSTANTIATE_TEST_SUITE_P(Values, ContifiersSetThreshold, ::testing::ValuesIn(kSetRows));

TEST(ContifiersConfig, ThresholdGetterRefusesOnlyZeroCapacityOrNull) {
    Contifiers c(0.5);
    for (int capacity : {1, 5, -1, -2147483647 - 1}) {
        double out[2] = {vt::kUntouched, vt::kUntouched};
        EXPECT_EQ(c.thresholds(capacity, out), 1) << capacity;
        EXPECT_EQ(out[0], 0.5) << capacity;
        EXPECT_EQ(out[1], vt::kUntouched) << "writes one value only";
    }
    double out = vt::kUntouched;
    EXPECT_EQ(c.thresholds(0, &out), 0);
    EXPECT_EQ(out, vt::kUntouched);
    EXPECT_EQ(c.thresholds(1, nullptr), 0);
}

TEST(ContifiersConfig, SetModesChecksBothBeforeStoringEither) {
    struct Row { int relation, type; bool accepted; };
    const Row rows[] = {{3, 0, false}, {-1, 1, false}, {0, 3, false}, {2, -1, false},
                        {2, 0, true},  {0, 2, true},   {1, 1, true}};
    for (const Row& r : rows) {
        Contifiers c;
        c.relationMode = 1;
        c.typeMode = 1;
        EXPECT_EQ(c.setModes(r.relation, r.type), r.accepted) << r.relation << "," << r.type;
        EXPECT_EQ(c.relationMode, r.accepted ? r.relation : 1);
        EXPECT_EQ(c.typeMode, r.accepted ? r.type : 1);
    }
}

TEST(ContifiersConfig, ModesGetterNeedsRoomForTwo) {
    Contifiers c;
    ASSERT_TRUE(c.setModes(2, 0));
    for (int capacity : {1, 0, -5}) {
        int out[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
        EXPECT_EQ(c.getModes(capacity, out), 0) << capacity;
        EXPECT_EQ(out[0], vt::kUntouchedInt);
        EXPECT_EQ(out[1], vt::kUntouchedInt);
    }
    int out[2] = {0, 0};
    EXPECT_EQ(c.getModes(3, out), 2);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(c.getModes(2, nullptr), 0);
}

}  // namespace
