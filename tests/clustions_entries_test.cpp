// The clu_* C entries: counts, capacities, the ok flag, and that they act on
// whatever instance Vantor::clu points at.
#include <gtest/gtest.h>

#include <vector>

#include "bits.h"
#include "vantor/clustions.h"
#include "vantor/vantor.h"

using vt::bits;

namespace {

class CluEntries : public ::testing::Test {
protected:
    void SetUp() override { *Vantor::clu = Vantor::Clustions(); }
    void TearDown() override { *Vantor::clu = Vantor::Clustions(); }
};

TEST_F(CluEntries, DefaultsAndCapacities) {
    int one = 1, zero = 0, ok = -1, limit = vt::kUntouchedInt;
    double t = vt::kUntouched;
    clu_getThresholds(&one, &t, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(bits(t), bits(0.0));
    clu_getLimits(&one, &limit, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(limit, 40);
    t = vt::kUntouched;
    limit = vt::kUntouchedInt;
    clu_getThresholds(&zero, &t, &ok);
    EXPECT_EQ(ok, 0);
    ok = -1;
    clu_getLimits(&zero, &limit, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(t, vt::kUntouched);
    EXPECT_EQ(limit, vt::kUntouchedInt);
}

TEST_F(CluEntries, SettersNeedExactlyOneValidValue) {
    struct Row { int n; double threshold; int limit; int ok; };
    const Row rows[] = {{2, 0.25, 10, 0}, {0, 0.25, 10, 0}, {1, 1.5, 0, 0}, {1, 0.25, 10, 1}};
    for (const Row& r : rows) {
        *Vantor::clu = Vantor::Clustions();
        int n = r.n, okT = -1, okL = -1;
        double t[2] = {r.threshold, r.threshold};
        int l[2] = {r.limit, r.limit};
        clu_setThresholds(&n, t, &okT);
        clu_setLimits(&n, l, &okL);
        EXPECT_EQ(okT, r.ok) << r.n;
        EXPECT_EQ(okL, r.ok) << r.n;
        EXPECT_EQ(Vantor::clu->threshold, r.ok ? 0.25 : 0.0);
        EXPECT_EQ(Vantor::clu->iterationLimit, r.ok ? 10 : 40);
    }
}

// The one-sided worked run through the entry, with the limit set by entry.
TEST_F(CluEntries, ClusterReportsThroughOk) {
    int one = 1, limit = 1, ok = -1;
    clu_setLimits(&one, &limit, &ok);
    ASSERT_EQ(ok, 1);
    double prototypes[] = {1.0, 0.0, 0.0, 1.0}, items[] = {0.9, 0.1, 0.2, 0.8, 1.0, 1.0};
    int dims[] = {2, 3, 2}, assignments[3], passInfo[2];
    double similarities[3];
    ok = -1;
    clu_cluster(prototypes, items, dims, assignments, similarities, passInfo, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(std::vector<int>(assignments, assignments + 3), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(passInfo[0], 0);
    EXPECT_EQ(passInfo[1], 1);
    EXPECT_EQ(bits(prototypes[2]), bits(0.2));

    for (const std::vector<int>& bad : {std::vector<int>{0, 3, 2}, {-1, 3, 2}}) {
        int d[] = {bad[0], bad[1], bad[2]};
        passInfo[0] = vt::kUntouchedInt;
        ok = -1;
        clu_cluster(prototypes, items, d, assignments, similarities, passInfo, &ok);
        EXPECT_EQ(ok, 0);
        EXPECT_EQ(passInfo[0], vt::kUntouchedInt);
    }
    ok = -1;
    clu_cluster(prototypes, items, nullptr, assignments, similarities, passInfo, &ok);
    EXPECT_EQ(ok, 0);
}

// The two-sided worked run through the entry, on a host's own instance.
TEST_F(CluEntries, Cluster2RunsOnTheInstanceThePointerNames) {
    Vantor::Clustions mine;
    mine.iterationLimit = 1;
    Vantor::Clustions* const original = Vantor::clu;
    Vantor::clu = &mine;
    double prototypes[] = {0.1, 0.2, 0.3, 0.9, 0.1, 0.5};
    double items[] = {0.3, 0.0, 0.9, 0.2, 0.4, 0.0, 0.0, 0.0, 0.0};
    int dims[] = {2, 3, 3}, neg[3], pos[3], passInfo[2], ok = -1;
    double negSim[3], posSim[3];
    clu_cluster2(prototypes, items, dims, neg, pos, negSim, posSim, passInfo, &ok);
    Vantor::clu = original;
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(std::vector<int>(pos, pos + 3), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(std::vector<int>(neg, neg + 3), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(passInfo[0], 0) << "ran with the host's limit of 1";
    EXPECT_EQ(passInfo[1], 1);

    int zero[] = {2, 3, 0};
    ok = -1;
    clu_cluster2(prototypes, items, zero, neg, pos, negSim, posSim, passInfo, &ok);
    EXPECT_EQ(ok, 0);
}

}  // namespace
