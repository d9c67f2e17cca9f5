// The con_* C entries: counts, capacities, the ok flag and untouched outputs.
#include <gtest/gtest.h>

#include "bits.h"
#include "vantor/contifiers.h"
#include "vantor/vantor.h"

using vt::bits;

namespace {

// Every case starts from the default configuration and leaves it behind, so
// the cases do not depend on each other's order.
class ConEntries : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        *Vantor::con = Vantor::Contifiers();
    }
    static double threshold() {
        int n = 1, ok = 0;
        double out = vt::kUntouched;
        con_getThresholds(&n, &out, &ok);
        EXPECT_EQ(ok, 1);
        return out;
    }
};

TEST_F(ConEntries, SetterCountMustMatchExactly) {
    double values[2] = {0.25, 0.25};
    for (int n : {0, 2, -1}) {
        int ok = -1;
        con_setThresholds(&n, values, &ok);
        EXPECT_EQ(ok, 0) << n;
        EXPECT_EQ(bits(threshold()), bits(0.0)) << n;
    }
    int one = 1, ok = -1;
    con_setThresholds(&one, values, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(threshold(), 0.25);
}

TEST_F(ConEntries, RefusedSetterLeavesConfigurationUnchanged) {
    int one = 1, two = 2, ok = -1;
    double bad = 1.5;
    con_setThresholds(&one, &bad, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(bits(threshold()), bits(0.0));

    int modes[2] = {1, 3};
    con_setModes(&two, modes, &ok);
    EXPECT_EQ(ok, 0);
    int out[2] = {0, 0};
    con_getModes(&two, out, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 1);

    int good[2] = {0, 2};
    con_setModes(&one, good, &ok);  // right values, wrong count
    EXPECT_EQ(ok, 0);
    con_setModes(&two, good, &ok);
    EXPECT_EQ(ok, 1);
    con_getModes(&two, out, &ok);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 2);
}

TEST_F(ConEntries, GetterCapacityTooSmallLeavesOutputUntouched) {
    int zero = 0, one = 1, ok = -1;
    double t = vt::kUntouched;
    con_getThresholds(&zero, &t, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(t, vt::kUntouched);

    int modes[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
    con_getModes(&one, modes, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(modes[0], vt::kUntouchedInt);
    EXPECT_EQ(modes[1], vt::kUntouchedInt);
}

TEST_F(ConEntries, AggregateReportsThroughOk) {
    int n = 2, ok = -1;
    double first[] = {0.5, 1.0}, second[] = {0.25, 1.0}, result = vt::kUntouched;
    con_aggregate(&n, first, second, &result, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_NEAR(result, 1.25 / 1.5, 1e-15);

    second[1] = 1.5;
    con_aggregate(&n, first, second, &result, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(bits(result), bits(0.0));

    result = vt::kUntouched;
    con_aggregate(&n, nullptr, second, &result, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(result, vt::kUntouched);

    int negative = -3;
    con_aggregate(&negative, first, second, &result, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(bits(result), bits(0.0));
}

TEST_F(ConEntries, NullCountOrFlagNeverCrashes) {
    double v[] = {0.5}, result = vt::kUntouched;
    int ok = -1, modes[2] = {0, 0};
    con_setThresholds(nullptr, v, &ok);
    EXPECT_EQ(ok, 0);
    ok = -1;
    con_getModes(nullptr, modes, &ok);
    EXPECT_EQ(ok, 0);
    ok = -1;
    con_aggregate(nullptr, v, v, &result, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(result, vt::kUntouched);
    int one = 1;
    con_setThresholds(&one, nullptr, &ok);
    EXPECT_EQ(ok, 0);
    // Without a flag there is no way to report, so nothing happens at all.
    double quarter = 0.25;
    con_setThresholds(&one, &quarter, nullptr);
    EXPECT_EQ(bits(threshold()), bits(0.0));
}

TEST_F(ConEntries, RedirectedPointerMovesEntriesToHostInstance) {
    Vantor::Contifiers mine(0.5);
    Vantor::Contifiers* const original = Vantor::con;
    Vantor::con = &mine;
    int one = 1, ok = -1;
    double quarter = 0.25;
    con_setThresholds(&one, &quarter, &ok);
    Vantor::con = original;
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(mine.threshold, 0.25);
    EXPECT_EQ(bits(threshold()), bits(0.0));
}

}  // namespace
