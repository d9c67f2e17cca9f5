// Starting prototypes: the three rules on tables small enough to follow by
// hand, two-sided candidates, refusals that must write nothing, the random
// draws pinned to the bit, and restarts that keep the best run.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "bits.h"
#include "vantor/seeding.h"

using Vantor::Clustions;
using vt::bits;

namespace {

constexpr int kGuard = 2;  // sentinels past the end of every output

struct Picked {
    bool ok = false;
    std::vector<double> seeds;
    std::vector<int> items, parts;
};

Picked choose(int rule, int k, const std::vector<double>& items, int m, bool twoSided,
              std::uint64_t randomSeed = 0, double threshold = 0.0) {
    Clustions c;
    c.threshold = threshold;
    const int n = static_cast<int>(items.size()) / m;
    const int room = k > 0 ? k : 0;
    Picked p;
    p.seeds.assign(static_cast<std::size_t>(room * m + kGuard), vt::kUntouched);
    p.items.assign(static_cast<std::size_t>(room + kGuard), vt::kUntouchedInt);
    p.parts = p.items;
    p.ok = Vantor::chooseSeeds(c, rule, k, items.data(), n, m, twoSided, randomSeed,
                               p.seeds.data(), p.items.data(), p.parts.data());
    p.seeds.resize(p.seeds.size() - kGuard);
    p.items.resize(p.items.size() - kGuard);
    p.parts.resize(p.parts.size() - kGuard);
    return p;
}

constexpr int N = VANTOR_PART_NEGATIVE;
constexpr int P = VANTOR_PART_POSITIVE;

// One hand-checked choice: the items (rows of m), the rule and k, and the
// items and parts the seeds must come from.
struct RuleRow {
    const char* what;
    int rule, k, m;
    bool twoSided;
    std::vector<double> items;
    std::vector<int> wantItems, wantParts;
};

const RuleRow kRuleRows[] = {
    // Item 4 has no positive value. Seed 0 = item 0; closeness 0.9/1.1 for
    // item 1, 0 for item 2, 0.5/1.5 for item 3: item 2 is farthest. Then
    // item 3 (still 0.5/1.5 against 0.9/1.1), then item 1.
    {"farthest spreads, skips the row without a positive value", VANTOR_SEEDING_FARTHEST, 4, 2,
     false, {1, 0, 0.9, 0.1, 0, 1, 0.5, 0.5, 0, 0}, {0, 2, 3, 1}, {P, P, P, P}},
    // Items 1 and 2 are both at similarity 0 from item 0.
    {"farthest takes the lowest index on a tie", VANTOR_SEEDING_FARTHEST, 2, 2, false,
     {1, 0, 0, 1, 0, 1}, {0, 1}, {P, P}},
    // Items 0 (all zero) and 1 (negative only) are no candidates.
    {"first skips candidates without a positive value", VANTOR_SEEDING_FIRST, 2, 2, false,
     {0, 0, -1, 0, 0.2, 0.3, 0.4, 0}, {2, 3}, {P, P}},
    // Parts: 0- = (0, .5), 0+ = (.5, 0), 1- = (1, 0), 3+ = (.3, .2); item 1
    // has no positive part and item 2 no part at all.
    {"first over two-sided parts", VANTOR_SEEDING_FIRST, 4, 2, true,
     {0.5, -0.5, -1, 0, 0, 0, 0.3, 0.2}, {0, 0, 1, 3}, {N, P, N, P}},
    // From 0-: 0+ and 1- both at 0, 3+ at .2/.8, so 0+ (lower). Then 1- at
    // .5/1 and 3+ at .3/.7: 3+.
    {"farthest over two-sided parts", VANTOR_SEEDING_FARTHEST, 3, 2, true,
     {0.5, -0.5, -1, 0, 0, 0, 0.3, 0.2}, {0, 0, 3}, {N, P, P}},
    // Once item 0 or 1 is a seed, the other weighs (1 - 1)^2 = 0 and item 2
    // weighs 1; from item 2 both weigh 1, so either may follow.
    {"k-means++ never draws a weight of 0", VANTOR_SEEDING_KMEANS_PP, 2, 2, false,
     {1, 0, 1, 0, 0, 1}, {}, {}},
};

class Rules : public ::testing::TestWithParam<RuleRow> {};

TEST_P(Rules, PickTheHandCheckedCandidates) {
    const RuleRow& r = GetParam();
    const Picked p = choose(r.rule, r.k, r.items, r.m, r.twoSided);
    ASSERT_TRUE(p.ok) << r.what;
    if (!r.wantItems.empty()) {
        EXPECT_EQ(p.items, r.wantItems) << r.what;
        EXPECT_EQ(p.parts, r.wantParts) << r.what;
    }
    for (int t = 0; t < r.k; ++t) {
        // Each seed holds exactly the values of its item's part.
        for (int i = 0; i < r.m; ++i) {
            const double x = r.items[static_cast<std::size_t>(p.items[t] * r.m + i)];
            const double want = !r.twoSided ? x : p.parts[t] == N ? (x < 0 ? -x : 0.0)
                                                                  : (x > 0 ? x : 0.0);
            EXPECT_EQ(bits(p.seeds[static_cast<std::size_t>(t * r.m + i)]), bits(want)) << r.what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeding, Rules, ::testing::ValuesIn(kRuleRows));

TEST(KmeansPlusPlus, DrawsEveryWeightedCandidateAndNoWeightlessOne) {
    // Items 0 and 1 are equal, so whichever comes first leaves the other at
    // weight 0: the second seed is then item 2. Over many seeds every item
    // must open the draw at least once.
    const std::vector<double> items = {1, 0, 1, 0, 0, 1};
    std::vector<int> opened(3, 0);
    for (std::uint64_t s = 0; s < 64; ++s) {
        const Picked p = choose(VANTOR_SEEDING_KMEANS_PP, 2, items, 2, false, s);
        ASSERT_TRUE(p.ok);
        ++opened[p.items[0]];
        if (p.items[0] != 2) {
            EXPECT_EQ(p.items[1], 2) << "seed " << s;
        }
        EXPECT_NE(p.items[0], p.items[1]);
    }
    for (int i = 0; i < 3; ++i) EXPECT_GT(opened[i], 0) << "item " << i;
}

TEST(KmeansPlusPlus, AllWeightsZeroFallsBackToDistinctUniformPicks) {
    // Every item equal: after the first seed all weights are 0.
    const std::vector<double> items(5 * 2, 0.5);
    for (std::uint64_t s = 0; s < 16; ++s) {
        const Picked p = choose(VANTOR_SEEDING_KMEANS_PP, 5, items, 2, false, s);
        ASSERT_TRUE(p.ok);
        std::vector<int> seen(5, 0);
        for (int j : p.items) ++seen[j];
        EXPECT_EQ(seen, std::vector<int>(5, 1)) << "seed " << s;
    }
}

TEST(KmeansPlusPlus, SameSeedSamePicksOtherSeedOtherPicks) {
    std::vector<double> items;
    for (int j = 0; j < 40; ++j) items.push_back(((j * 37) % 41) / 41.0);
    const Picked a = choose(VANTOR_SEEDING_KMEANS_PP, 4, items, 1, false, 12345);
    const Picked b = choose(VANTOR_SEEDING_KMEANS_PP, 4, items, 1, false, 12345);
    const Picked c = choose(VANTOR_SEEDING_KMEANS_PP, 4, items, 1, false, 12346);
    EXPECT_EQ(a.items, b.items);
    EXPECT_NE(a.items, c.items);
}

// SplitMix64's published first outputs for seed 0: the generator is the
// standard one, so another language can reproduce the picks.
TEST(RestartSeed, IsOutputNumberStartPlusOneOfSplitMix64) {
    EXPECT_EQ(Vantor::restartSeed(0, 0), 0xE220A8397B1DCDAFULL);
    EXPECT_EQ(Vantor::restartSeed(0, 1), 0x6E789E6AA1B965F4ULL);
    EXPECT_EQ(Vantor::restartSeed(0, 2), 0x06C45D188009454FULL);
    EXPECT_NE(Vantor::restartSeed(1, 0), Vantor::restartSeed(0, 0));
}

// A refused call: false, and not a single output written.
struct RefusalRow {
    const char* what;
    int rule, k, n, m;
    bool twoSided, nullItems, nullSeeds;
};

const RefusalRow kRefusals[] = {
    {"k = 0", VANTOR_SEEDING_FIRST, 0, 3, 2, false, false, false},
    {"k < 0", VANTOR_SEEDING_FIRST, -1, 3, 2, false, false, false},
    {"n = 0", VANTOR_SEEDING_FIRST, 1, 0, 2, false, false, false},
    {"n < 0", VANTOR_SEEDING_FIRST, 1, -3, 2, false, false, false},
    {"m = 0", VANTOR_SEEDING_FIRST, 1, 3, 0, false, false, false},
    {"m < 0", VANTOR_SEEDING_FARTHEST, 1, 3, -2, false, false, false},
    {"unknown rule 3", 3, 1, 3, 2, false, false, false},
    {"unknown rule -1", -1, 1, 3, 2, false, false, false},
    {"null items", VANTOR_SEEDING_KMEANS_PP, 1, 3, 2, false, true, false},
    {"null seeds", VANTOR_SEEDING_KMEANS_PP, 1, 3, 2, false, false, true},
    // Items {(0.5, -0.5), (0, 0), (-1, -1)}: two rows with a positive value
    // (none: item 2 is negative only), three parts with a value.
    {"fewer one-sided candidates than k", VANTOR_SEEDING_FARTHEST, 2, 3, 2, false, false, false},
    {"fewer parts than k", VANTOR_SEEDING_KMEANS_PP, 4, 3, 2, true, false, false},
};

class Refusals : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(Refusals, WriteNothing) {
    const RefusalRow& r = GetParam();
    const std::vector<double> items = {0.5, -0.5, 0, 0, -1, -1};
    std::vector<double> seeds(16, vt::kUntouched);
    std::vector<int> sourceItems(8, vt::kUntouchedInt), sourceParts = sourceItems;
    Clustions c;
    EXPECT_FALSE(Vantor::chooseSeeds(c, r.rule, r.k, r.nullItems ? nullptr : items.data(), r.n,
                                     r.m, r.twoSided, 7, r.nullSeeds ? nullptr : seeds.data(),
                                     sourceItems.data(), sourceParts.data()))
        << r.what;
    EXPECT_EQ(seeds, std::vector<double>(16, vt::kUntouched)) << r.what;
    EXPECT_EQ(sourceItems, std::vector<int>(8, vt::kUntouchedInt)) << r.what;
    EXPECT_EQ(sourceParts, std::vector<int>(8, vt::kUntouchedInt)) << r.what;
}

INSTANTIATE_TEST_SUITE_P(Seeding, Refusals, ::testing::ValuesIn(kRefusals));

TEST(Refusals, ExactlyEnoughCandidatesIsAccepted) {
    const std::vector<double> items = {0.5, -0.5, 0, 0, -1, -1};
    EXPECT_TRUE(choose(VANTOR_SEEDING_FARTHEST, 1, items, 2, false).ok);
    EXPECT_TRUE(choose(VANTOR_SEEDING_FARTHEST, 3, items, 2, true).ok);
}

}  // namespace

namespace {

// Items from a fixed integer recurrence (no std:: distribution, whose output
// differs between standard libraries), on a grid of 1/16 in [-1, 1] or [0, 1].
std::vector<double> pinnedItems(bool twoSided) {
    std::vector<double> items(50 * 4);
    std::uint64_t x = 2024;
    for (double& v : items) {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        const int step = static_cast<int>(x >> 59);  // 0 .. 31
        v = twoSided ? (step - 16) / 16.0 : (step % 17) / 16.0;
    }
    return items;
}

struct PinnedRow {
    bool twoSided;
    std::uint64_t randomSeed;
    std::vector<int> items, parts;
};

// The picks the library's draws give on every platform. If one of these
// changes, every host's reproducible starts change with it.
const PinnedRow kPinned[] = {
    {false, 0, {44, 22, 1, 48, 5}, {P, P, P, P, P}},
    {false, 1, {28, 39, 48, 21, 22}, {P, P, P, P, P}},
    {false, 42, {37, 9, 17, 21, 2}, {P, P, P, P, P}},
    {false, 0xFFFFFFFFFFFFFFFFULL, {44, 47, 11, 20, 31}, {P, P, P, P, P}},
    {true, 0, {44, 23, 1, 48, 9}, {P, N, N, P, N}},
    {true, 7, {20, 0, 45, 32, 25}, {N, P, N, N, N}},
    {true, 0x9E3779B97F4A7C15ULL, {22, 1, 48, 7, 18}, {N, N, P, P, N}},
};

class PinnedPicks : public ::testing::TestWithParam<PinnedRow> {};

TEST_P(PinnedPicks, AreTheSameOnEveryPlatform) {
    const PinnedRow& r = GetParam();
    const Picked p = choose(VANTOR_SEEDING_KMEANS_PP, 5, pinnedItems(r.twoSided), 4, r.twoSided,
                            r.randomSeed, 0.125);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.items, r.items);
    EXPECT_EQ(p.parts, r.parts);
}

INSTANTIATE_TEST_SUITE_P(Seeding, PinnedPicks, ::testing::ValuesIn(kPinned));

}  // namespace
