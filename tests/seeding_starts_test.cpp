// Clustering from several starts: the kept run is the one a plain loop over
// chooseSeeds and cluster would keep, to the bit; ties keep the earlier run;
// refusals write nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "bits.h"
#include "vantor/seeding.h"

using Vantor::Clustions;

namespace {

// The outputs of one call, with the totals and the start that won.
struct Result {
    bool ok = false;
    std::vector<double> prototypes, similarities[2];
    std::vector<int> assignments[2];
    int passInfo[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
    int winner = vt::kUntouchedInt;
    double total = vt::kUntouched;

    Result(int k, int n, int m)
        : prototypes(static_cast<std::size_t>(k * m), vt::kUntouched),
          similarities{std::vector<double>(n, vt::kUntouched), std::vector<double>(n, vt::kUntouched)},
          assignments{std::vector<int>(n, vt::kUntouchedInt), std::vector<int>(n, vt::kUntouchedInt)} {}

    bool untouched() const {
        for (double x : prototypes) if (x != vt::kUntouched) return false;
        for (int side = 0; side < 2; ++side) {
            for (double x : similarities[side]) if (x != vt::kUntouched) return false;
            for (int a : assignments[side]) if (a != vt::kUntouchedInt) return false;
        }
        return passInfo[0] == vt::kUntouchedInt && passInfo[1] == vt::kUntouchedInt &&
               winner == vt::kUntouchedInt && total == vt::kUntouched;
    }
};

// Items on a coarse grid, signed or not, so that runs from different starts
// often end apart and sometimes tie.
std::vector<double> gridItems(int n, int m, bool signedValues, std::uint64_t salt) {
    std::vector<double> items(static_cast<std::size_t>(n * m));
    std::uint64_t x = salt * 2654435761u + 1;
    for (double& v : items) {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        const int step = static_cast<int>((x >> 33) % 9);  // 0 .. 8
        v = signedValues ? (step - 4) / 4.0 : step / 8.0;
    }
    return items;
}

Result fromStarts(Clustions& c, int rule, int restarts, std::uint64_t seed,
                  const std::vector<double>& items, int k, int n, int m, bool twoSided) {
    Result r(k, n, m);
    const int dims[3] = {k, n, m};
    r.ok = Vantor::clusterFromStarts(c, rule, restarts, seed, items.data(), dims, twoSided,
                                     r.prototypes.data(), r.assignments[0].data(),
                                     r.similarities[0].data(), r.assignments[1].data(),
                                     r.similarities[1].data(), r.passInfo, &r.winner, &r.total);
    return r;
}

// The same by hand: seeds from start i, one clustering run each, the first
// of the largest totals kept.
Result byHand(Clustions& c, int rule, int restarts, std::uint64_t seed,
              std::vector<double> items, int k, int n, int m, bool twoSided) {
    Result best(k, n, m);
    for (int start = 0; start < restarts; ++start) {
        Result run(k, n, m);
        const std::uint64_t s = Vantor::restartSeed(seed, start);
        if (!Vantor::chooseSeeds(c, rule, k, items.data(), n, m, twoSided, s,
                                 run.prototypes.data(), nullptr, nullptr)) {
            return best;
        }
        int dims[3] = {k, n, m};
        run.ok = twoSided ? c.cluster(run.prototypes.data(), items.data(), dims,
                                      run.assignments[0].data(), run.assignments[1].data(),
                                      run.similarities[0].data(), run.similarities[1].data(),
                                      run.passInfo)
                          : c.cluster(run.prototypes.data(), items.data(), dims,
                                      run.assignments[0].data(), run.similarities[0].data(),
                                      run.passInfo);
        long double sum = 0.0L;
        for (int j = 0; j < n; ++j) {
            for (int side = 0; side < (twoSided ? 2 : 1); ++side) {
                if (run.assignments[side][j] >= 0) sum += run.similarities[side][j];
            }
        }
        run.total = static_cast<double>(sum);
        run.winner = start;
        if (start == 0 || run.total > best.total) best = run;
    }
    return best;
}

void expectSameRun(const Result& got, const Result& want, bool twoSided, const char* what) {
    ASSERT_TRUE(got.ok) << what;
    EXPECT_EQ(got.winner, want.winner) << what;
    EXPECT_EQ(vt::bits(got.total), vt::bits(want.total)) << what;
    EXPECT_EQ(got.passInfo[0], want.passInfo[0]) << what;
    EXPECT_EQ(got.passInfo[1], want.passInfo[1]) << what;
    ASSERT_EQ(got.prototypes.size(), want.prototypes.size());
    for (std::size_t i = 0; i < got.prototypes.size(); ++i) {
        EXPECT_EQ(vt::bits(got.prototypes[i]), vt::bits(want.prototypes[i])) << what << " " << i;
    }
    for (int side = 0; side < (twoSided ? 2 : 1); ++side) {
        EXPECT_EQ(got.assignments[side], want.assignments[side]) << what;
        for (std::size_t j = 0; j < got.similarities[side].size(); ++j) {
            EXPECT_EQ(vt::bits(got.similarities[side][j]), vt::bits(want.similarities[side][j]))
                << what << " side " << side << " item " << j;
        }
    }
}

TEST(ClusterFromStarts, KeepsTheRunAPlainLoopKeeps) {
    int differentWinners = 0;
    for (bool twoSided : {false, true}) {
        for (std::uint64_t salt = 1; salt <= 6; ++salt) {
            const int k = 3, n = 30, m = 3;
            const std::vector<double> items = gridItems(n, m, twoSided, salt);
            Clustions c(0.125);
            c.setLimits(static_cast<int>(salt % 3) + 1);
            const Result got =
                fromStarts(c, VANTOR_SEEDING_KMEANS_PP, 7, salt, items, k, n, m, twoSided);
            const Result want =
                byHand(c, VANTOR_SEEDING_KMEANS_PP, 7, salt, items, k, n, m, twoSided);
            expectSameRun(got, want, twoSided, twoSided ? "two-sided" : "one-sided");
            differentWinners += got.winner != 0;
        }
    }
    // Otherwise the table would not tell keeping the best from keeping the first.
    EXPECT_GT(differentWinners, 0);
}

TEST(ClusterFromStarts, DeterministicRulesRunOnce) {
    const int k = 3, n = 20, m = 2;
    const std::vector<double> items = gridItems(n, m, false, 3);
    for (int rule : {VANTOR_SEEDING_FARTHEST, VANTOR_SEEDING_FIRST}) {
        Clustions c;
        const Result got = fromStarts(c, rule, 5, 99, items, k, n, m, false);
        const Result want = byHand(c, rule, 1, 99, items, k, n, m, false);
        expectSameRun(got, want, false, rule == VANTOR_SEEDING_FIRST ? "first" : "farthest");
    }
}

TEST(ClusterFromStarts, EqualTotalsKeepTheEarlierStart) {
    // With k = 1 every start ends in the same single cluster, so every total
    // is the same and start 0 must win.
    const int n = 12, m = 2;
    const std::vector<double> items = gridItems(n, m, false, 5);
    Clustions c;
    const Result got = fromStarts(c, VANTOR_SEEDING_KMEANS_PP, 6, 42, items, 1, n, m, false);
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.winner, 0);
}

TEST(ClusterFromStarts, RefusalsWriteNothing) {
    const int k = 2, n = 4, m = 2;
    const std::vector<double> items = {0.5, 0.1, 0.2, 0.9, 0.0, 0.0, 0.7, 0.7};
    const int dims[3] = {k, n, m};
    struct Case {
        const char* what;
        int rule, restarts;
        bool twoSided, nullDims, nullPrototypes, nullPassInfo, nullPos;
        int k;
    };
    const Case cases[] = {
        {"restarts 0", VANTOR_SEEDING_KMEANS_PP, 0, false, false, false, false, false, k},
        {"restarts < 0", VANTOR_SEEDING_FARTHEST, -2, false, false, false, false, false, k},
        {"null dims", VANTOR_SEEDING_KMEANS_PP, 3, false, true, false, false, false, k},
        {"null prototypes", VANTOR_SEEDING_KMEANS_PP, 3, false, false, true, false, false, k},
        {"null passInfo", VANTOR_SEEDING_KMEANS_PP, 3, false, false, false, true, false, k},
        {"two-sided without positive arrays", VANTOR_SEEDING_FIRST, 1, true, false, false, false,
         true, k},
        {"unknown rule", 7, 3, false, false, false, false, false, k},
        {"k = 0", VANTOR_SEEDING_KMEANS_PP, 3, false, false, false, false, false, 0},
        {"fewer candidates than k", VANTOR_SEEDING_KMEANS_PP, 3, false, false, false, false,
         false, 4},
    };
    for (const Case& x : cases) {
        Result r(k, n, m);
        const int caseDims[3] = {x.k, n, m};
        Clustions c;
        EXPECT_FALSE(Vantor::clusterFromStarts(
            c, x.rule, x.restarts, 1, items.data(), x.nullDims ? nullptr : caseDims, x.twoSided,
            x.nullPrototypes ? nullptr : r.prototypes.data(), r.assignments[0].data(),
            r.similarities[0].data(), x.nullPos ? nullptr : r.assignments[1].data(),
            x.nullPos ? nullptr : r.similarities[1].data(), x.nullPassInfo ? nullptr : r.passInfo,
            &r.winner, &r.total))
            << x.what;
        EXPECT_TRUE(r.untouched()) << x.what;
    }
    // One-sided needs no positive-part arrays, and the report pointers are
    // optional.
    Result r(k, n, m);
    Clustions c;
    EXPECT_TRUE(Vantor::clusterFromStarts(c, VANTOR_SEEDING_KMEANS_PP, 2, 1, items.data(), dims,
                                          false, r.prototypes.data(), r.assignments[0].data(),
                                          r.similarities[0].data(), nullptr, nullptr, r.passInfo,
                                          nullptr, nullptr));
}

}  // namespace
