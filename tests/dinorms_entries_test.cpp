// The din_* C entries: counts, capacities, the ok flag and untouched outputs.
#include <gtest/gtest.h>

#include "bits.h"
#include "vantor/dinorms.h"
#include "vantor/vantor.h"

using vt::bits;

namespace {

// Every case starts from the load-time configuration and leaves it behind.
class DinEntries : public ::testing::Test {
protected:
    void SetUp() override { *Vantor::din = Vantor::Dinorms(); }
    void TearDown() override { *Vantor::din = Vantor::Dinorms(); }

    static void expectThresholds(double threshold, double band) {
        int n = 2, ok = -1;
        double out[2] = {vt::kUntouched, vt::kUntouched};
        din_getThresholds(&n, out, &ok);
        EXPECT_EQ(ok, 1);
        EXPECT_EQ(bits(out[0]), bits(threshold));
        EXPECT_EQ(bits(out[1]), bits(band));
    }
    static void expectModes(int agg, int cmb) {
        int n = 2, ok = -1, out[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
        din_getModes(&n, out, &ok);
        EXPECT_EQ(ok, 1);
        EXPECT_EQ(out[0], agg);
        EXPECT_EQ(out[1], cmb);
    }
};

TEST_F(DinEntries, SettersTakeExactlyTwoValidValues) {
    expectThresholds(0.0, 0.0);
    expectModes(0, 0);
    double good[3] = {0.25, 0.5, 0.75};
    int goodModes[3] = {1, 3, 0};
    for (int n : {1, 3, 0, -2}) {
        int ok = -1;
        din_setThresholds(&n, good, &ok);
        EXPECT_EQ(ok, 0) << n;
        ok = -1;
        din_setModes(&n, goodModes, &ok);
        EXPECT_EQ(ok, 0) << n;
    }
    expectThresholds(0.0, 0.0);
    expectModes(0, 0);

    int two = 2, ok = -1;
    double bad[2] = {0.5, 1.5};
    din_setThresholds(&two, bad, &ok);
    EXPECT_EQ(ok, 0);
    int badModes[2] = {3, 0};
    din_setModes(&two, badModes, &ok);
    EXPECT_EQ(ok, 0);
    expectThresholds(0.0, 0.0);
    expectModes(0, 0);

    din_setThresholds(&two, good, &ok);
    EXPECT_EQ(ok, 1);
    ok = -1;
    din_setModes(&two, goodModes, &ok);
    EXPECT_EQ(ok, 1);
    expectThresholds(0.25, 0.5);
    expectModes(1, 3);
}

TEST_F(DinEntries, GettersBelowCapacityTwoLeaveOutputUntouched) {
    for (int n : {1, 0, -5}) {
        int ok = -1, modes[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
        double values[2] = {vt::kUntouched, vt::kUntouched};
        din_getModes(&n, modes, &ok);
        EXPECT_EQ(ok, 0) << n;
        ok = -1;
        din_getThresholds(&n, values, &ok);
        EXPECT_EQ(ok, 0) << n;
        EXPECT_TRUE(modes[0] == vt::kUntouchedInt && modes[1] == vt::kUntouchedInt) << n;
        EXPECT_TRUE(values[0] == vt::kUntouched && values[1] == vt::kUntouched) << n;
    }
    int three = 3, ok = -1;
    double values[3] = {1.0, 1.0, vt::kUntouched};
    din_getThresholds(&three, values, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_TRUE(values[0] == 0.0 && values[1] == 0.0 && values[2] == vt::kUntouched);
}

TEST_F(DinEntries, AggregateReportsThroughOk) {
    int two = 2, ok = -1;
    double thresholds[2] = {0.25, 0.25};
    int modes[2] = {1, 1};  // probabilistic sum, then the certainty factor
    din_setThresholds(&two, thresholds, &ok);
    din_setModes(&two, modes, &ok);

    int n = 6;
    double values[] = {0.5, -0.125, 0, -0.5, 0.25, -0.75};
    double result[4] = {vt::kUntouched, vt::kUntouched, vt::kUntouched, vt::kUntouched};
    din_aggregate(&n, values, result, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(bits(result[0]), bits(-0.875));
    EXPECT_EQ(bits(result[1]), bits(0.625));
    EXPECT_EQ(bits(result[2]), bits(-0x1.5555555555555p-1));
    EXPECT_EQ(result[3], vt::kUntouched);

    values[4] = 1.5;
    din_aggregate(&n, values, result, &ok);
    EXPECT_EQ(ok, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(bits(result[i]), bits(0.0));

    int negative = -3;
    result[0] = result[1] = result[2] = vt::kUntouched;
    din_aggregate(&negative, values, result, &ok);
    EXPECT_EQ(ok, 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(bits(result[i]), bits(0.0));

    result[0] = result[1] = result[2] = vt::kUntouched;
    din_aggregate(&n, nullptr, result, &ok);
    EXPECT_EQ(ok, 0);
    ok = -1;
    din_aggregate(nullptr, values, result, &ok);
    EXPECT_EQ(ok, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(result[i], vt::kUntouched);
}

TEST_F(DinEntries, RedirectedPointerMovesEntriesToHostInstance) {
    Vantor::Dinorms mine(0.5, 0.5);
    Vantor::Dinorms* const original = Vantor::din;
    Vantor::din = &mine;
    int two = 2, ok = -1, modes[2] = {2, 2};
    din_setModes(&two, modes, &ok);
    Vantor::din = original;
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(mine.aggMode, 2);
    EXPECT_EQ(mine.cmbMode, 2);
    expectModes(0, 0);
}

}  // namespace
