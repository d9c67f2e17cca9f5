// The facts hosts report instead of computing them again: they must agree
// with what the seeding and the clustering do, to the bit and to the count.
#include <gtest/gtest.h>
#include <vantor/clustering_steps.h>
#include <vantor/clustions.h>
#include <vantor/run_facts.h>
#include <vantor/seeding.h>

#include <cstdint>
#include <vector>

#include "bits.h"

namespace {

// The total is summed in long double: 1 + 2^-53 + 2^-53 is 1 + 2^-52, where
// adding in double would stay at 1.
TEST(RunFacts, TotalSimilarityIsOneLongDoubleSumInItemOrder) {
    const double half = 1.1102230246251565e-16;  // 2^-53
    const std::vector<int> assigned{0, 1, 1, -1};
    const std::vector<double> similarities{1.0, half, half, 5.0};
    double total = 0.0;
    ASSERT_TRUE(Vantor::totalSimilarity(false, assigned.data(), similarities.data(), nullptr,
                                        nullptr, 4, &total));
    EXPECT_EQ(total, 1.0000000000000002);

    // Two-sided: an item's negative part, then its positive part. The sum is
    // 1.75 + 3 * 2^-53, half way between two doubles, rounded once to the
    // even one, 1.75 + 2^-51.
    const std::vector<int> positive{-1, 0, 0, 2};
    const std::vector<double> posSimilarities{9.0, half, 0.25, 0.5};
    ASSERT_TRUE(Vantor::totalSimilarity(true, assigned.data(), similarities.data(),
                                        positive.data(), posSimilarities.data(), 4, &total));
    EXPECT_EQ(total, 0x1.c000000000002p+0);

    EXPECT_TRUE(Vantor::totalSimilarity(true, nullptr, nullptr, nullptr, nullptr, 0, &total));
    EXPECT_EQ(total, 0.0);
    total = vt::kUntouched;
    EXPECT_FALSE(Vantor::totalSimilarity(true, assigned.data(), similarities.data(), nullptr,
                                         posSimilarities.data(), 4, &total));
    EXPECT_FALSE(Vantor::totalSimilarity(false, nullptr, similarities.data(), nullptr, nullptr, 4,
                                         &total));
    EXPECT_EQ(total, vt::kUntouched);
}

// The total clusterFromStarts keeps a run by is the one a host gets from
// the run's outputs.
TEST(RunFacts, TotalSimilarityIsTheOneRestartsCompare) {
    const std::vector<double> items{0.9, -0.1, 0.3, 0.7, -0.6, 0.2, 0.1, 0.8,
                                    -0.4, 0.5, 0.3, -0.9, 0.6, 0.6, 0.05, 0.2};
    for (bool twoSided : {false, true}) {
        Vantor::Clustions clustions(0.1);
        const int dims[3] = {2, 8, 2};
        std::vector<double> prototypes(4);
        std::vector<int> a(8), b(8);
        std::vector<double> s(8), t(8);
        int passInfo[2], winner = -1;
        double reported = 0.0, recomputed = 1.0;
        ASSERT_TRUE(Vantor::clusterFromStarts(clustions, VANTOR_SEEDING_KMEANS_PP, 4, 42,
                                              items.data(), dims, twoSided, prototypes.data(),
                                              a.data(), s.data(), b.data(), t.data(), passInfo,
                                              &winner, &reported));
        ASSERT_TRUE(Vantor::totalSimilarity(twoSided, a.data(), s.data(), b.data(), t.data(), 8,
                                            &recomputed));
        EXPECT_EQ(vt::bits(recomputed), vt::bits(reported)) << twoSided;
    }
}

// k equal to the count is accepted by the seeding, one more is refused.
TEST(RunFacts, CandidatesAreWhatTheSeedingCounts) {
    const std::vector<double> items{0.0,  0.0,  -0.5, 0.0, 0.5, -0.5, vt::kNaN, 0.2,
                                    -0.0, -0.0, vt::kNaN, vt::kNaN, 0.3, 0.1};
    const int n = 7, m = 2;
    const std::int64_t counts[2] = {3, 5};  // written out: rows 2, 3 and 6; parts of 1, 2, 3, 6
    Vantor::Clustions similarity;
    for (bool twoSided : {false, true}) {
        const std::int64_t count = Vantor::countCandidates(twoSided, items.data(), n, m);
        EXPECT_EQ(count, counts[twoSided]) << twoSided;
        std::vector<double> seeds(static_cast<std::size_t>(count + 1) * m);
        const int k = static_cast<int>(count);
        EXPECT_TRUE(Vantor::chooseSeeds(similarity, VANTOR_SEEDING_FIRST, k, items.data(), n, m,
                                        twoSided, 0, seeds.data(), nullptr, nullptr));
        EXPECT_FALSE(Vantor::chooseSeeds(similarity, VANTOR_SEEDING_FIRST, k + 1, items.data(), n,
                                         m, twoSided, 0, seeds.data(), nullptr, nullptr));
    }
    EXPECT_EQ(Vantor::countCandidates(false, nullptr, 3, 2), 0);
    EXPECT_EQ(Vantor::countCandidates(true, items.data(), 7, 0), 0);
}

TEST(RunFacts, PartsHoldNoNegativeZeroAndNoNaN) {
    const std::vector<double> row{-0.5, 0.0, -0.0, vt::kNaN, 2.0, -vt::kInf};
    std::vector<double> negative(6, vt::kUntouched), positive(6, vt::kUntouched);
    ASSERT_TRUE(Vantor::splitParts(row.data(), 1, 6, negative.data(), positive.data()));
    const std::vector<double> wantNegative{0.5, 0.0, 0.0, 0.0, 0.0, vt::kInf};
    const std::vector<double> wantPositive{0.0, 0.0, 0.0, 0.0, 2.0, 0.0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(vt::bits(negative[i]), vt::bits(wantNegative[i])) << i;
        EXPECT_EQ(vt::bits(positive[i]), vt::bits(wantPositive[i])) << i;
    }
    EXPECT_TRUE(Vantor::splitParts(row.data(), 1, 6, nullptr, positive.data()));
    EXPECT_FALSE(Vantor::splitParts(nullptr, 1, 6, negative.data(), positive.data()));
}

// A count handed in by a caller that no fold could have produced: a
// negative one must not overwrite a prototype, one at the edge of int64 must
// not wrap around.
TEST(RunFacts, StepsRefuseCountsNoFoldMakes) {
    std::vector<double> prototypes{0.25, 0.75};
    const std::vector<double> sums{3.0, 6.0};
    const std::int64_t negative[1] = {-3};
    ASSERT_TRUE(Vantor::steps::finishUpdate(sums.data(), negative, 1, 2, prototypes.data()));
    EXPECT_EQ(prototypes, (std::vector<double>{0.25, 0.75}));

    const std::vector<double> items{0.5, 0.5, 0.25, 0.25};
    const std::vector<int> assigned{0, 0};
    struct Case {
        bool twoSided;
        std::int64_t count;
        bool ok;
    };
    const Case cases[] = {
        {false, INT64_MAX - 2, true},  {false, INT64_MAX - 1, false}, {false, INT64_MAX, false},
        {true, INT64_MAX - 4, true},   {true, INT64_MAX - 3, false},  {false, -1, false},
    };
    for (const Case& c : cases) {
        std::vector<double> running{vt::kUntouched, vt::kUntouched};
        std::int64_t counts[1] = {c.count};
        EXPECT_EQ(Vantor::steps::fold(c.twoSided, items.data(), 2, 2, assigned.data(),
                                      assigned.data(), 1, running.data(), counts),
                  c.ok)
            << c.count;
        if (!c.ok) {
            EXPECT_EQ(counts[0], c.count);
            EXPECT_EQ(running[0], vt::kUntouched);
        } else {
            EXPECT_EQ(counts[0], INT64_MAX);
        }
    }
}

}  // namespace
