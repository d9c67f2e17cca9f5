// Whole clustering runs: the bits of Clustions::cluster (and, seeded, of
// clusterFromStarts) for every thread count and with the similarity cache
// on, off or squeezed by the cap; the evaluations the cache saves; refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "bits.h"
#include "vantor/clustering_run.h"
#include "vantor/seeding.h"

using Vantor::Clustions;
using Vantor::ClusteringOptions;
using Vantor::ClusteringReport;

namespace {

struct Case {
    const char* name;
    int k, n, m;
    bool twoSided;
    int nanItems;  // items with a NaN feature, spread over the table
    int limit;     // a low one stops the run at the limit
    double threshold;
};

const Case kCases[] = {
    {"one-sided converging", 6, 300, 7, false, 0, 40, 0.0},
    {"one-sided NaN items", 5, 250, 9, false, 4, 40, 0.1},
    {"one-sided stops at limit", 8, 200, 5, false, 0, 3, 0.0},
    {"two-sided converging", 5, 240, 6, true, 0, 40, 0.0},
    {"two-sided NaN, limit", 7, 180, 11, true, 3, 4, 0.2},
    {"k above n", 9, 7, 3, false, 1, 40, 0.0},
};

// Items scattered around a few centres, so that runs take several passes
// and late passes move only some of them.
std::vector<double> itemsFor(const Case& c, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<std::vector<double>> centres(4, std::vector<double>(c.m));
    for (auto& centre : centres) {
        for (double& v : centre) v = c.twoSided ? 2.0 * unit(random) - 1.0 : unit(random);
    }
    std::vector<double> items(static_cast<std::size_t>(c.n) * c.m);
    for (int j = 0; j < c.n; ++j) {
        const auto& centre = centres[static_cast<std::size_t>(j) % centres.size()];
        for (int i = 0; i < c.m; ++i) items[j * c.m + i] = centre[i] + 0.6 * (unit(random) - 0.5);
    }
    for (int t = 0; t < c.nanItems; ++t) items[(t * 37 % c.n) * c.m + t % c.m] = vt::kNaN;
    return items;
}

struct Outputs {
    std::vector<double> prototypes, similarities[2];
    std::vector<int> assignments[2];
    ClusteringReport report;

    Outputs(const Case& c, const std::vector<double>& seeds)
        : prototypes(seeds),
          similarities{std::vector<double>(c.n, vt::kUntouched), std::vector<double>(c.n, vt::kUntouched)},
          assignments{std::vector<int>(c.n, vt::kUntouchedInt), std::vector<int>(c.n, vt::kUntouchedInt)} {}

    bool sameAs(const Outputs& o) const {
        return vt::sameBits(prototypes, o.prototypes) && vt::sameBits(similarities[0], o.similarities[0]) &&
               vt::sameBits(similarities[1], o.similarities[1]) && assignments[0] == o.assignments[0] &&
               assignments[1] == o.assignments[1] && report.converged == o.report.converged &&
               report.passes == o.report.passes && report.winningStart == o.report.winningStart &&
               vt::bits(report.totalSimilarity) == vt::bits(o.report.totalSimilarity);
    }
};

Clustions clustionsFor(const Case& c) {
    Clustions clustions(c.threshold);
    clustions.iterationLimit = c.limit;
    return clustions;
}

// The seeds: the first k items (every case has k <= n or repeats rows).
std::vector<double> seedsFor(const Case& c, const std::vector<double>& items) {
    std::vector<double> seeds(static_cast<std::size_t>(c.k) * c.m);
    for (int p = 0; p < c.k; ++p) {
        for (int i = 0; i < c.m; ++i) seeds[p * c.m + i] = items[(p % c.n) * c.m + i];
    }
    return seeds;
}

// The oracle: Clustions::cluster on the same arrays.
Outputs byCluster(const Case& c, const std::vector<double>& items) {
    Outputs o(c, seedsFor(c, items));
    Clustions clustions = clustionsFor(c);
    int dims[3] = {c.k, c.n, c.m};
    int passInfo[2];
    double* data = const_cast<double*>(items.data());
    const bool ok = c.twoSided ? clustions.cluster(o.prototypes.data(), data, dims, o.assignments[0].data(),
                                                   o.assignments[1].data(), o.similarities[0].data(),
                                                   o.similarities[1].data(), passInfo)
                               : clustions.cluster(o.prototypes.data(), data, dims, o.assignments[0].data(),
                                                   o.similarities[0].data(), passInfo);
    EXPECT_TRUE(ok);
    o.report.converged = passInfo[0] == 1;
    o.report.passes = passInfo[1];
    long double total = 0.0L;
    for (int j = 0; j < c.n; ++j) {
        for (int side = 0; side < (c.twoSided ? 2 : 1); ++side) {
            if (o.assignments[side][j] >= 0) total += o.similarities[side][j];
        }
    }
    o.report.totalSimilarity = static_cast<double>(total);
    return o;
}

Outputs byRun(const Case& c, const std::vector<double>& items, const ClusteringOptions& options) {
    Outputs o(c, seedsFor(c, items));
    EXPECT_TRUE(Vantor::runClustering(clustionsFor(c), options, items.data(), c.n, c.m, c.twoSided,
                                      o.prototypes.data(), c.k, o.assignments[0].data(),
                                      o.similarities[0].data(), c.twoSided ? o.assignments[1].data() : nullptr,
                                      c.twoSided ? o.similarities[1].data() : nullptr, &o.report));
    return o;
}

// Cache settings: on (the default cap), off, and a cap that holds the
// similarities of about a third of the items.
std::vector<std::int64_t> capsFor(const Case& c) {
    const std::int64_t row = 8 * c.k * (c.twoSided ? 2 : 1);
    return {ClusteringOptions{}.memoryCap, 0, row * (c.n / 3) + row / 2};
}

TEST(ClusteringRun, GivesTheBitsOfClusterForEveryThreadCountAndCache) {
    for (const Case& c : kCases) {
        const std::vector<double> items = itemsFor(c, 17);
        const Outputs expected = byCluster(c, items);
        for (int threads : {1, 2, 3, 8}) {
            for (std::int64_t cap : capsFor(c)) {
                const Outputs got = byRun(c, items, ClusteringOptions{threads, cap});
                EXPECT_TRUE(got.sameAs(expected)) << c.name << ", threads " << threads << ", cap " << cap;
            }
        }
    }
}

TEST(ClusteringRun, SeededGivesTheBitsOfClusterFromStarts) {
    for (const Case& c : kCases) {
        const std::vector<double> items = itemsFor(c, 29);
        Clustions clustions = clustionsFor(c);
        Outputs expected(c, std::vector<double>(static_cast<std::size_t>(c.k) * c.m, vt::kUntouched));
        int passInfo[2];
        const int dims[3] = {c.k, c.n, c.m};
        const bool ok = Vantor::clusterFromStarts(
            clustions, VANTOR_SEEDING_KMEANS_PP, 5, 99, items.data(), dims, c.twoSided,
            expected.prototypes.data(), expected.assignments[0].data(), expected.similarities[0].data(),
            expected.assignments[1].data(), expected.similarities[1].data(), passInfo,
            &expected.report.winningStart, &expected.report.totalSimilarity);
        if (c.k > c.n) {  // fewer candidates than k: both refuse
            EXPECT_FALSE(ok);
            continue;
        }
        ASSERT_TRUE(ok) << c.name;
        expected.report.converged = passInfo[0] == 1;
        expected.report.passes = passInfo[1];
        for (int threads : {1, 2, 3, 8}) {
            for (std::int64_t cap : capsFor(c)) {
                Outputs got(c, expected.prototypes);
                ASSERT_TRUE(Vantor::runSeededClustering(
                    clustions, ClusteringOptions{threads, cap}, VANTOR_SEEDING_KMEANS_PP, 5, 99, items.data(),
                    c.n, c.m, c.twoSided, got.prototypes.data(), c.k, got.assignments[0].data(),
                    got.similarities[0].data(), got.assignments[1].data(), got.similarities[1].data(),
                    &got.report));
                EXPECT_TRUE(got.sameAs(expected)) << c.name << ", threads " << threads << ", cap " << cap;
            }
        }
    }
}

// Without the cache every pass costs k evaluations per item and side. With
// it, a pass after the first measures afresh only the prototypes the update
// before it rewrote: those whose row changed, read here from runs of
// Clustions::cluster stopped one pass apart.
TEST(ClusteringRun, CacheMeasuresOnlyPrototypesThatChanged) {
    // More prototypes than centres, so that some settle early.
    const Case cases[] = {{"one-sided", 12, 400, 6, false, 0, 40, 0.0},
                          {"two-sided", 12, 400, 6, true, 0, 40, 0.0}};
    for (const Case& c : cases) {
        const std::vector<double> items = itemsFor(c, 5);
        const int sides = c.twoSided ? 2 : 1;
        const Outputs full = byRun(c, items, ClusteringOptions{1, 0});
        ASSERT_TRUE(full.report.converged) << c.name;
        ASSERT_GT(full.report.passes, 3) << c.name;
        EXPECT_EQ(full.report.evaluations, std::int64_t{full.report.passes} * c.k * c.n * sides);

        std::int64_t expected = std::int64_t{c.k} * c.n * sides;  // the first pass measures all
        std::vector<double> before = seedsFor(c, items);
        for (int limit = 1; limit < full.report.passes; ++limit) {
            Case stopped = c;
            stopped.limit = limit;
            const std::vector<double> after = byCluster(stopped, items).prototypes;
            for (int p = 0; p < c.k; ++p) {
                const std::vector<double> a(before.begin() + p * c.m, before.begin() + (p + 1) * c.m);
                const std::vector<double> b(after.begin() + p * c.m, after.begin() + (p + 1) * c.m);
                if (!vt::sameBits(a, b)) expected += std::int64_t{c.n} * sides;
            }
            before = after;
        }
        const Outputs cachedRun = byRun(c, items, ClusteringOptions{});
        EXPECT_EQ(cachedRun.report.evaluations, expected) << c.name;
        EXPECT_LT(cachedRun.report.evaluations, full.report.evaluations) << c.name;
    }
}

TEST(ClusteringRun, RefusalsWriteNothing) {
    const Case c = kCases[3];
    const std::vector<double> items = itemsFor(c, 3);
    struct Refusal {
        const char* what;
        int k, n, m, threads, restarts, rule;
        std::int64_t cap;
        bool nullItems, nullPositive;
    };
    const int K = c.k, N = c.n, M = c.m, PP = VANTOR_SEEDING_KMEANS_PP;
    const Refusal refusals[] = {
        {"k 0", 0, N, M, 1, 2, PP, 0, false, false},     {"n 0", K, 0, M, 1, 2, PP, 0, false, false},
        {"m 0", K, N, 0, 1, 2, PP, 0, false, false},     {"k -1", -1, N, M, 1, 2, PP, 0, false, false},
        {"threads -1", K, N, M, -1, 2, PP, 0, false, false},
        {"cap -1", K, N, M, 1, 2, PP, -1, false, false},
        {"no items", K, N, M, 1, 2, PP, 0, true, false}, {"no positive side", K, N, M, 1, 2, PP, 0, false, true},
    };
    for (const Refusal& r : refusals) {
        for (bool seeded : {false, true}) {
            const std::vector<double> seeds(static_cast<std::size_t>(K) * M, vt::kUntouched);
            Outputs o(c, seeds);
            const bool ok = seeded ? Vantor::runSeededClustering(
                                         Clustions(), ClusteringOptions{r.threads, r.cap}, r.rule, r.restarts, 1,
                                         r.nullItems ? nullptr : items.data(), r.n, r.m, true,
                                         o.prototypes.data(), r.k, o.assignments[0].data(),
                                         o.similarities[0].data(), r.nullPositive ? nullptr : o.assignments[1].data(),
                                         o.similarities[1].data(), &o.report)
                                   : Vantor::runClustering(
                                         Clustions(), ClusteringOptions{r.threads, r.cap},
                                         r.nullItems ? nullptr : items.data(), r.n, r.m, true,
                                         o.prototypes.data(), r.k, o.assignments[0].data(),
                                         o.similarities[0].data(), r.nullPositive ? nullptr : o.assignments[1].data(),
                                         o.similarities[1].data(), &o.report);
            EXPECT_FALSE(ok) << r.what << (seeded ? " seeded" : "");
            EXPECT_TRUE(o.sameAs(Outputs(c, seeds)) && o.report.evaluations == 0) << r.what;
        }
    }
    // Seeding's own refusals.
    for (int restarts : {0, 1}) {
        for (int rule : {PP, 3}) {
            if (restarts == 1 && rule == PP) continue;
            const std::vector<double> seeds(static_cast<std::size_t>(K) * M, vt::kUntouched);
            Outputs o(c, seeds);
            EXPECT_FALSE(Vantor::runSeededClustering(Clustions(), ClusteringOptions{}, rule, restarts, 1,
                                                     items.data(), N, M, false, o.prototypes.data(), K,
                                                     o.assignments[0].data(), o.similarities[0].data(),
                                                     nullptr, nullptr, nullptr));
            EXPECT_TRUE(o.sameAs(Outputs(c, seeds))) << restarts << rule;
        }
    }
}

}  // namespace
