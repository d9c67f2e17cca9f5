// Construction and configuration of Dinorms.
#include <gtest/gtest.h>

#include <climits>

#include "bits.h"
#include "vantor/dinorms.h"

using Vantor::Dinorms;
using vt::bits;

namespace {

struct PairRow {
    const char* what;
    double threshold, band;
    bool accepted;            // by the setter
    double wantT, wantB;      // what the constructor keeps
};

const PairRow kPairs[] = {
    {"both closed ends", 0.0, 1.0, true, 0.0, 1.0},
    {"one and zero", 1.0, 0.0, true, 1.0, 0.0},
    {"negative zero is inside and kept", -0.0, 0.5, true, -0.0, 0.5},
    {"bad threshold alone", 1.5, 0.5, false, 0.0, 0.5},
    {"bad band alone", 0.5, -0.1, false, 0.5, 0.0},
    {"band just above one", 0.5, 1.0000001, false, 0.5, 0.0},
    {"threshold just below zero", -1e-300, 0.5, false, 0.0, 0.5},
    {"infinities", vt::kInf, -vt::kInf, false, 0.0, 0.0},
    {"NaN threshold", vt::kNaN, 0.5, true, 0.0, 0.5},
    {"NaN band", 0.5, vt::kNaN, true, 0.5, 0.0},
};

TEST(DinormsConfig, ConstructorJudgesEachValueByItself) {
    for (const PairRow& r : kPairs) {
        Dinorms d(r.threshold, r.band);
        EXPECT_EQ(bits(d.threshold), bits(r.wantT)) << r.what;
        EXPECT_EQ(bits(d.neutralBand), bits(r.wantB)) << r.what;
        EXPECT_EQ(d.aggMode, 0) << r.what;
        EXPECT_EQ(d.cmbMode, 0) << r.what;
    }
    Dinorms plain;
    EXPECT_EQ(bits(plain.threshold), bits(0.0));
    EXPECT_EQ(bits(plain.neutralBand), bits(0.0));
    EXPECT_EQ(plain.aggMode + plain.cmbMode, 0);
}

TEST(DinormsConfig, SetterStoresBothOrNeither) {
    for (const PairRow& r : kPairs) {
        Dinorms d(0.25, 0.75);
        d.aggMode = 2;
        d.cmbMode = 3;
        EXPECT_EQ(d.thresholds(r.threshold, r.band), r.accepted) << r.what;
        // NaN fails no ordered comparison, so the setter stores it as given.
        EXPECT_EQ(bits(d.threshold), bits(r.accepted ? r.threshold : 0.25)) << r.what;
        EXPECT_EQ(bits(d.neutralBand), bits(r.accepted ? r.band : 0.75)) << r.what;
        EXPECT_EQ(d.aggMode, 2);
        EXPECT_EQ(d.cmbMode, 3);
    }
}

TEST(DinormsConfig, SetModesChecksBothBeforeStoringEither) {
    struct Row { int agg, cmb; bool accepted; };
    const Row rows[] = {{2, 3, true}, {0, 0, true}, {3, 0, false}, {0, 4, false},
                        {-1, 0, false}, {0, -1, false}, {2, 4, false}};
    for (const Row& r : rows) {
        Dinorms d;
        d.aggMode = 1;
        d.cmbMode = 2;
        EXPECT_EQ(d.setModes(r.agg, r.cmb), r.accepted) << r.agg << "," << r.cmb;
        EXPECT_EQ(d.aggMode, r.accepted ? r.agg : 1);
        EXPECT_EQ(d.cmbMode, r.accepted ? r.cmb : 2);
    }
}

TEST(DinormsConfig, GettersNeedRoomForTwoAsASignedCount) {
    Dinorms d(0.25, 0.5);
    ASSERT_TRUE(d.setModes(1, 3));
    for (int capacity : {1, 0, -5, INT_MIN}) {
        double t[2] = {vt::kUntouched, vt::kUntouched};
        int m[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
        EXPECT_EQ(d.thresholds(capacity, t), 0) << capacity;
        EXPECT_EQ(d.getModes(capacity, m), 0) << capacity;
        EXPECT_TRUE(t[0] == vt::kUntouched && t[1] == vt::kUntouched) << capacity;
        EXPECT_TRUE(m[0] == vt::kUntouchedInt && m[1] == vt::kUntouchedInt) << capacity;
    }
    for (int capacity : {2, 3, INT_MAX}) {
        double t[3] = {0.0, 0.0, vt::kUntouched};
        int m[3] = {0, 0, vt::kUntouchedInt};
        EXPECT_EQ(d.thresholds(capacity, t), 2);
        EXPECT_EQ(d.getModes(capacity, m), 2);
        EXPECT_TRUE(t[0] == 0.25 && t[1] == 0.5 && t[2] == vt::kUntouched) << capacity;
        EXPECT_TRUE(m[0] == 1 && m[1] == 3 && m[2] == vt::kUntouchedInt) << capacity;
    }
    EXPECT_EQ(d.thresholds(2, nullptr), 0);
    EXPECT_EQ(d.getModes(2, nullptr), 0);
}

}  // namespace
