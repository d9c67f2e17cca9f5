// The exported blocks of a clustering pass, driven block by block the way a
// host spreads a run out, give Clustions::cluster's bits for every way of
// cutting the items into blocks; and they refuse what they cannot use.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bits.h"
#include "differential/random_values.h"
#include "vantor/clustering_steps.h"
#include "vantor/clustions.h"

namespace {

using Vantor::steps::finishUpdate;
using Vantor::steps::fold;
using Vantor::steps::scan;
using Vantor::steps::startUpdate;

struct Problem {
    double threshold;
    int limit, k, n, m;
    bool twoSided;
    std::vector<double> seeds, items;
};

struct Outcome {
    std::vector<double> prototypes, similarities, posSimilarities;
    std::vector<int> assignments, posAssignments;
    int passInfo[2] = {0, 0};
};

Outcome inMemory(const Problem& p) {
    Vantor::Clustions c;
    c.threshold = p.threshold;
    c.iterationLimit = p.limit;
    Outcome o;
    o.prototypes = p.seeds;
    o.assignments.assign(p.n, 0);
    o.posAssignments.assign(p.n, 0);
    o.similarities.assign(p.n, 0.0);
    o.posSimilarities.assign(p.n, 0.0);
    std::vector<double> items = p.items;
    int dims[3] = {p.k, p.n, p.m};
    const bool ok =
        p.twoSided
            ? c.cluster(o.prototypes.data(), items.data(), dims, o.assignments.data(),
                        o.posAssignments.data(), o.similarities.data(),
                        o.posSimilarities.data(), o.passInfo)
            : c.cluster(o.prototypes.data(), items.data(), dims, o.assignments.data(),
                        o.similarities.data(), o.passInfo);
    EXPECT_TRUE(ok);
    return o;
}

// A host's run: the scans block by block, then the fold block after block
// into sums of its own (filled with NaN first: rows are started by their
// first member, never before), carrying only sums and counts.
Outcome inBlocks(const Problem& p, const std::vector<int>& blocks) {
    Outcome o;
    o.prototypes = p.seeds;
    o.assignments.assign(p.n, -1);
    o.posAssignments.assign(p.n, -1);
    o.similarities.assign(p.n, -1.0);
    o.posSimilarities.assign(p.n, -1.0);
    std::vector<double> sums(static_cast<std::size_t>(p.k) * p.m, vt::kNaN);
    std::vector<std::int64_t> counts(p.k, 99);
    std::vector<double> workspace(2 * static_cast<std::size_t>(p.m));
    const double* items = p.items.data();
    int pass = 0;
    bool changed = false;
    do {
        ++pass;
        changed = false;
        std::int64_t at = 0;
        for (int size : blocks) {
            bool blockChanged = true;
            const bool ok =
                scan(p.threshold, p.twoSided, items + at * p.m, size, p.m, o.prototypes.data(), p.k,
                     &o.assignments[at], &o.similarities[at],
                     p.twoSided ? &o.posAssignments[at] : nullptr,
                     p.twoSided ? &o.posSimilarities[at] : nullptr, &blockChanged,
                     p.twoSided ? workspace.data() : nullptr);
            EXPECT_TRUE(ok);
            changed = changed || blockChanged;
            at += size;
        }
        if (!changed) break;
        EXPECT_TRUE(startUpdate(p.k, counts.data()));
        at = 0;
        for (int size : blocks) {
            const bool ok = fold(p.twoSided, items + at * p.m, size, p.m, &o.assignments[at],
                                 p.twoSided ? &o.posAssignments[at] : nullptr, p.k, sums.data(),
                                 counts.data());
            EXPECT_TRUE(ok);
            at += size;
        }
        EXPECT_TRUE(finishUpdate(sums.data(), counts.data(), p.k, p.m, o.prototypes.data()));
    } while (pass < p.limit);
    o.passInfo[0] = changed ? 0 : 1;
    o.passInfo[1] = pass;
    return o;
}

std::string differences(const Outcome& want, const Outcome& got, bool twoSided) {
    std::string out;
    const auto sameBits = [](const std::vector<double>& a, const std::vector<double>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (vt::bits(a[i]) != vt::bits(b[i])) return false;
        }
        return true;
    };
    if (!sameBits(want.prototypes, got.prototypes)) out += " prototypes";
    if (!sameBits(want.similarities, got.similarities)) out += " similarities";
    if (want.assignments != got.assignments) out += " assignments";
    if (twoSided && !sameBits(want.posSimilarities, got.posSimilarities)) out += " posSimilarities";
    if (twoSided && want.posAssignments != got.posAssignments) out += " posAssignments";
    if (want.passInfo[0] != got.passInfo[0] || want.passInfo[1] != got.passInfo[1]) {
        out += " passInfo";
    }
    return out;
}

// Whole, one row at a time, and uneven cuts with empty blocks among them
// (at the start, in the middle, at the end).
std::vector<std::vector<int>> cuttingsOf(int n, vt::RandomValues& rng) {
    std::vector<std::vector<int>> cuttings{{n}, std::vector<int>(n, 1)};
    for (int variant = 0; variant < 3; ++variant) {
        std::vector<int> blocks{0};
        for (int left = n; left > 0;) {
            const int size = std::min(left, rng.between(1, 9));
            blocks.push_back(size);
            if (rng.chance(0.2)) blocks.push_back(0);
            left -= size;
        }
        blocks.push_back(0);
        cuttings.push_back(blocks);
    }
    return cuttings;
}

// NaN with payloads of their own, so that a fold which lost the order of the
// operands of an addition would be seen.
double nanWithPayload(std::uint64_t payload) {
    std::uint64_t u = 0x7ff8000000000000ULL | (payload & 0xffffULL);
    double x;
    std::memcpy(&x, &u, sizeof x);
    return x;
}

Problem randomProblem(vt::RandomValues& rng, bool twoSided) {
    Problem p;
    p.twoSided = twoSided;
    p.threshold = rng.chance(0.5) ? 0.0 : rng.grid(0.0, 1.0);
    p.limit = rng.chance(0.3) ? rng.between(1, 3) : 40;
    p.k = rng.between(1, 6);
    p.n = rng.between(1, 60);
    p.m = rng.between(1, 9);
    const double lo = twoSided ? -1.0 : 0.0;
    p.items = rng.values(p.n * p.m, lo, 1.0, p.threshold, 0.0);
    for (double& x : p.items) {
        if (std::isnan(x)) x = nanWithPayload(static_cast<std::uint64_t>(rng.between(1, 500)));
    }
    p.seeds = rng.values(p.k * p.m, 0.0, 1.0, p.threshold, 0.0);
    return p;
}

TEST(ClusteringSteps, BlocksGiveTheInMemoryBitsForEveryCutting) {
    vt::RandomValues rng(20261208);
    int limited = 0, converged = 0;
    for (int round = 0; round < 120; ++round) {
        const bool twoSided = round % 2 == 1;
        const Problem p = randomProblem(rng, twoSided);
        const Outcome want = inMemory(p);
        (want.passInfo[0] == 1 ? converged : limited) += 1;
        for (const std::vector<int>& blocks : cuttingsOf(p.n, rng)) {
            const Outcome got = inBlocks(p, blocks);
            EXPECT_EQ(differences(want, got, twoSided), "")
                << "round " << round << " two-sided " << twoSided << " blocks " << blocks.size();
        }
    }
    // Both ways a run ends were exercised.
    EXPECT_GT(limited, 5);
    EXPECT_GT(converged, 5);
}

// A fold that goes on in another call (another process, another machine)
// picks up where the last one stopped: two halves give one whole.
TEST(ClusteringSteps, FoldSplitAnywhereEqualsOneFold) {
    const std::vector<double> items{0.1, nanWithPayload(7), 0.3, nanWithPayload(9), -0.0, 0.7,
                                    1e308, 0.5, 1e308, 0.25};
    const std::vector<int> assignments{0, 0, 1, 0, 0};
    for (int cut = 0; cut <= 5; ++cut) {
        std::vector<double> whole(4, 5.0), split(4, -5.0);
        std::vector<std::int64_t> wholeCounts(2), splitCounts(2);
        ASSERT_TRUE(startUpdate(2, wholeCounts.data()));
        ASSERT_TRUE(fold(false, items.data(), 5, 2, assignments.data(), nullptr, 2, whole.data(),
                         wholeCounts.data()));
        ASSERT_TRUE(startUpdate(2, splitCounts.data()));
        ASSERT_TRUE(fold(false, items.data(), cut, 2, assignments.data(), nullptr, 2, split.data(),
                         splitCounts.data()));
        ASSERT_TRUE(fold(false, items.data() + 2 * cut, 5 - cut, 2, assignments.data() + cut,
                         nullptr, 2, split.data(), splitCounts.data()));
        EXPECT_EQ(wholeCounts, splitCounts);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(vt::bits(whole[i]), vt::bits(split[i])) << cut;
        // Item NaN + sum NaN keeps the item's: the last NaN folded stays.
        EXPECT_EQ(vt::bits(split[1]), vt::bits(nanWithPayload(9))) << cut;
    }
}

TEST(ClusteringSteps, ValuesThatAreNoPrototypeIndexAreUnassigned) {
    const std::vector<double> prototypes{1.0, 0.0, 0.0, 1.0};
    const std::vector<double> items{0.9, 0.1, 0.2, 0.8, 1.0, 1.0, 0.0, 0.5};
    std::vector<int> assignments{2, -7, INT_MIN, INT_MAX};
    std::vector<double> similarities{0.99, 5.0, vt::kNaN, 2.0};
    bool changed = false;
    ASSERT_TRUE(scan(0.0, false, items.data(), 4, 2, prototypes.data(), 2, assignments.data(),
                     similarities.data(), nullptr, nullptr, &changed, nullptr));
    EXPECT_TRUE(changed);
    EXPECT_EQ(assignments, (std::vector<int>{0, 1, 0, 1}));
    EXPECT_DOUBLE_EQ(similarities[0], 0.9 / 1.1);
    EXPECT_DOUBLE_EQ(similarities[3], 0.5 / 1.0);

    // The fold skips them, whatever their value.
    const std::vector<int> foreign{2, -1, 1, INT_MIN};
    std::vector<double> sums(4, 0.0);
    std::vector<std::int64_t> counts(2);
    ASSERT_TRUE(startUpdate(2, counts.data()));
    ASSERT_TRUE(
        fold(false, items.data(), 4, 2, foreign.data(), nullptr, 2, sums.data(), counts.data()));
    EXPECT_EQ(counts, (std::vector<std::int64_t>{0, 1}));
    EXPECT_EQ(sums, (std::vector<double>{0.0, 0.0, 1.0, 1.0}));
    ASSERT_TRUE(fold(true, items.data(), 4, 2, foreign.data(), foreign.data(), 2, sums.data(),
                     counts.data()));
    EXPECT_EQ(counts, (std::vector<std::int64_t>{0, 3}));
}

TEST(ClusteringSteps, RefusalsWriteNothing) {
    double proto[2] = {0.5, 0.5}, item[2] = {0.2, 0.4}, sim[1] = {vt::kUntouched},
           sums[2] = {vt::kUntouched, vt::kUntouched}, work[4];
    int a[1] = {vt::kUntouchedInt};
    std::int64_t counts[1] = {7};
    bool changed = true;
    struct Row {
        const char* what;
        bool ok;
    };
    const Row rows[] = {
        {"scan k 0", scan(0.0, false, item, 1, 2, proto, 0, a, sim, nullptr, nullptr, &changed,
                          nullptr)},
        {"scan no flag",
         scan(0.0, false, item, 1, 2, proto, 1, a, sim, nullptr, nullptr, nullptr, nullptr)},
        {"scan no items",
         scan(0.0, false, nullptr, 1, 2, proto, 1, a, sim, nullptr, nullptr, &changed, nullptr)},
        {"scan no prototypes",
         scan(0.0, false, item, 1, 2, nullptr, 1, a, sim, nullptr, nullptr, &changed, nullptr)},
        {"scan no similarities",
         scan(0.0, false, item, 1, 2, proto, 1, a, nullptr, nullptr, nullptr, &changed, nullptr)},
        {"parts no workspace",
         scan(0.0, true, item, 1, 2, proto, 1, a, sim, a, sim, &changed, nullptr)},
        {"parts no positive side",
         scan(0.0, true, item, 1, 2, proto, 1, a, sim, nullptr, sim, &changed, work)},
        {"parts k -1", scan(0.0, true, item, 1, 2, proto, -1, a, sim, a, sim, &changed, work)},
        {"start k 0", startUpdate(0, counts)},
        {"start no counts", startUpdate(1, nullptr)},
        {"fold no sums", fold(false, item, 1, 2, a, nullptr, 1, nullptr, counts)},
        {"fold no assignments", fold(false, item, 1, 2, nullptr, nullptr, 1, sums, counts)},
        {"fold no counts", fold(false, item, 1, 2, a, nullptr, 1, sums, nullptr)},
        {"parts fold no positive", fold(true, item, 1, 2, a, nullptr, 1, sums, counts)},
        {"finish no sums", finishUpdate(nullptr, counts, 1, 2, proto)},
        {"finish k 0", finishUpdate(sums, counts, 0, 2, proto)},
    };
    for (const Row& r : rows) EXPECT_FALSE(r.ok) << r.what;
    EXPECT_TRUE(changed);
    EXPECT_EQ(a[0], vt::kUntouchedInt);
    EXPECT_EQ(sim[0], vt::kUntouched);
    EXPECT_EQ(sums[0], vt::kUntouched);
    EXPECT_EQ(counts[0], 7);
    EXPECT_EQ(proto[0], 0.5);

    // Empty blocks and blocks without features need no arrays.
    EXPECT_TRUE(
        scan(0.0, false, nullptr, 0, 2, nullptr, 1, nullptr, nullptr, nullptr, nullptr, &changed,
             nullptr));
    EXPECT_FALSE(changed);
    EXPECT_TRUE(scan(0.0, true, nullptr, 1, -1, nullptr, 3, a, sim, a, sim, &changed, nullptr));
    EXPECT_EQ(a[0], 0);
    EXPECT_TRUE(fold(false, nullptr, 1, 0, a, nullptr, 1, nullptr, counts));
    EXPECT_TRUE(finishUpdate(nullptr, counts, 1, -3, nullptr));
}

}  // namespace
