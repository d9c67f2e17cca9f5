// A failed scratch allocation is a refusal: false, ok = 0, nothing written,
// nothing leaked. This program replaces the non-throwing array allocation
// that the library uses, so it can make any one of them fail.
#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <vector>

#include "bits.h"
#include "failing_allocation.h"
#include "vantor/vantor.h"

namespace {

struct Arrays {
    std::vector<double> prototypes{1.0, 0.0, 0.0, 1.0}, items{0.9, -0.1, 0.2, 0.8, 1.0, -1.0};
    std::vector<int> dims{2, 3, 2}, a = std::vector<int>(3, vt::kUntouchedInt), b = a,
                                    passInfo = std::vector<int>(2, vt::kUntouchedInt);
    std::vector<double> s = std::vector<double>(3, vt::kUntouched), t = s;

    // Runs one method through its entry and returns ok.
    int run(bool twoSided, int failAt) {
        int ok = -1;
        allocations = 0;
        failing = failAt;
        if (twoSided) {
            clu_cluster2(prototypes.data(), items.data(), dims.data(), a.data(), b.data(),
                         s.data(), t.data(), passInfo.data(), &ok);
        } else {
            clu_cluster(prototypes.data(), items.data(), dims.data(), a.data(), s.data(),
                        passInfo.data(), &ok);
        }
        failing = 0;
        return ok;
    }
    bool untouched() const {
        const Arrays fresh;
        return prototypes == fresh.prototypes && a == fresh.a && b == fresh.b &&
               passInfo == fresh.passInfo && s == fresh.s && t == fresh.t;
    }
};

TEST(ClustionsScratch, AllocatedOncePerCallAndSizedOnlyWhenItCanBe) {
    struct Row { bool twoSided; int m, wantAllocations; };
    // Counts only for one-sided; counts and two part vectors for two-sided;
    // nothing at all when there are no features, so no value to update.
    for (const Row& r : {Row{false, 2, 1}, Row{true, 2, 3}, Row{false, -2, 0}, Row{true, -2, 0}}) {
        Arrays x;
        x.dims[2] = r.m;
        EXPECT_EQ(x.run(r.twoSided, 0), 1);
        EXPECT_EQ(allocations, r.wantAllocations) << r.twoSided << " m " << r.m;
        EXPECT_EQ(x.passInfo[1], 2);
    }
}

TEST(ClustionsScratch, NoItemsOrNoFeaturesAllocateNothingWhateverK) {
    struct Row { int k, n, m, wantPasses; };
    for (bool twoSided : {false, true}) {
        for (const Row& r : {Row{2, -1, 2, 1}, Row{INT_MAX, -1, 5, 1}, Row{INT_MAX, 3, -1, 2}}) {
            Arrays x;
            x.dims = {r.k, r.n, r.m};
            EXPECT_EQ(x.run(twoSided, 0), 1);
            EXPECT_EQ(allocations, 0) << twoSided << " " << r.k << " " << r.n << " " << r.m;
            EXPECT_EQ(x.passInfo, (std::vector<int>{1, r.wantPasses}));
        }
    }
}

TEST(ClustionsScratch, EveryFailedAllocationIsARefusal) {
    for (bool twoSided : {false, true}) {
        for (int failAt = 1; failAt <= (twoSided ? 3 : 1); ++failAt) {
            Arrays x;
            EXPECT_EQ(x.run(twoSided, failAt), 0) << twoSided << " " << failAt;
            EXPECT_TRUE(x.untouched()) << twoSided << " " << failAt;
        }
    }
}

TEST(ClustionsScratch, RefusedDimensionsAllocateNothing) {
    for (bool twoSided : {false, true}) {
        for (const std::vector<int>& dims : {std::vector<int>{0, 3, 2}, {-2, 3, 2}}) {
            Arrays x;
            x.dims = dims;
            EXPECT_EQ(x.run(twoSided, 0), 0);
            EXPECT_EQ(allocations, 0);
            EXPECT_TRUE(x.untouched());
        }
    }
}

}  // namespace
