// No memory is a refusal: whichever of the seeding's allocations fails,
// including those of the clustering runs inside clusterFromStarts, the call
// returns false and every output keeps its contents. This program replaces
// the non-throwing array allocation, so it lives on its own.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "bits.h"
#include "failing_allocation.h"
#include "vantor/seeding.h"

namespace {

const int kK = 2, kN = 4, kM = 2;
const std::vector<double> kItems = {0.5, -0.1, 0.2, 0.9, -0.3, 0.0, 0.7, 0.7};

struct Outputs {
    std::vector<double> doubles[3] = {std::vector<double>(kK * kM, vt::kUntouched),
                                      std::vector<double>(kN, vt::kUntouched),
                                      std::vector<double>(kN, vt::kUntouched)};
    std::vector<int> ints[4] = {std::vector<int>(kK, vt::kUntouchedInt),
                                std::vector<int>(kN, vt::kUntouchedInt),
                                std::vector<int>(kN, vt::kUntouchedInt),
                                std::vector<int>(3, vt::kUntouchedInt)};
    double total = vt::kUntouched;

    bool untouched() const {
        const Outputs fresh;
        for (int i = 0; i < 3; ++i) {
            if (doubles[i] != fresh.doubles[i]) return false;
        }
        for (int i = 0; i < 4; ++i) {
            if (ints[i] != fresh.ints[i]) return false;
        }
        return total == vt::kUntouched;
    }
};

// Runs one call with allocation number `failAt` failing; returns its result.
bool call(bool starts, bool twoSided, int failAt, Outputs& o) {
    Vantor::Clustions c;
    allocations = 0;
    failing = failAt;
    bool ok;
    if (starts) {
        const int dims[3] = {kK, kN, kM};
        ok = Vantor::clusterFromStarts(c, VANTOR_SEEDING_KMEANS_PP, 3, 5, kItems.data(), dims,
                                       twoSided, o.doubles[0].data(), o.ints[1].data(),
                                       o.doubles[1].data(), o.ints[2].data(), o.doubles[2].data(),
                                       o.ints[3].data(), o.ints[0].data(), &o.total);
    } else {
        ok = Vantor::chooseSeeds(c, VANTOR_SEEDING_KMEANS_PP, kK, kItems.data(), kN, kM, twoSided,
                                 5, o.doubles[0].data(), o.ints[0].data(), o.ints[1].data());
    }
    failing = 0;
    return ok;
}

// The similarity cache of a run is the one allocation that may fail without
// a refusal: the run then rescans in full, to the same bits.
TEST(SeedingScratch, EveryFailedAllocationIsARefusalOrChangesNothing) {
    for (bool starts : {false, true}) {
        for (bool twoSided : {false, true}) {
            Outputs plain;
            ASSERT_TRUE(call(starts, twoSided, 0, plain));
            int failures = 0;
            for (int failAt = 1;; ++failAt) {
                Outputs o;
                if (call(starts, twoSided, failAt, o)) {
                    EXPECT_TRUE(vt::sameBits(o.doubles[0], plain.doubles[0]) &&
                                vt::sameBits(o.doubles[1], plain.doubles[1]) &&
                                vt::sameBits(o.doubles[2], plain.doubles[2]) &&
                                o.ints[0] == plain.ints[0] && o.ints[1] == plain.ints[1] &&
                                o.ints[2] == plain.ints[2] && o.ints[3] == plain.ints[3])
                        << starts << twoSided << " allocation " << failAt;
                    // Done once the call made fewer allocations than failAt.
                    if (allocations < failAt) break;
                    ASSERT_LT(failAt, 100);
                    continue;
                }
                ++failures;
                EXPECT_TRUE(o.untouched()) << starts << twoSided << " allocation " << failAt;
                ASSERT_LT(failAt, 100);
            }
            EXPECT_GE(failures, 3) << starts << twoSided;
        }
    }
}

}  // namespace
