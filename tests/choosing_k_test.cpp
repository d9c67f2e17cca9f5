// The scan over k and the silhouettes: worked answers by hand, the literal
// reference to the bit on random tables (NaN, unassigned items, both sides),
// the same bits for every thread count, the suggestion on clearly separated
// groups, and refusals that write nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "bits.h"
#include "literal_choosing_k.h"
#include "random_values.h"
#include "vantor/choosing_k.h"
#include "vantor/clustering_run.h"
#include "vantor/seeding.h"

using Vantor::Clustions;
using Vantor::KScanOptions;
using Vantor::KScanRow;
using Vantor::SilhouetteSummary;
using vt::bits;

namespace {

constexpr double kNaN = vt::kNaN;

// ---- Worked by hand ------------------------------------------------------

struct Worked {
    const char* what;
    bool twoSided;
    int k, m;
    std::vector<double> items, prototypes;
    std::vector<int> assignments, posAssignments;
    std::vector<double> want, wantPos, wantClusterMeans;
    double wantMean;
    std::int64_t wantCounted, wantUndefined;
};

const Worked kWorked[] = {
    {"an item between two prototypes scores 0, one on its own prototype 1",
     false, 2, 2, {1, 0, 0, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0}, {},
     {1.0, 1.0, 0.0}, {}, {0.5, 1.0}, 2.0 / 3.0, 3, 0},
    {"an item nearer another prototype than its own scores below 0: (0 - 3/4) / (3/4)",
     false, 2, 2, {1, 0}, {0.5, 1, 1, 0}, {0}, {},
     {-1.0}, {}, {-1.0, kNaN}, -1.0, 1, 0},
    {"a loose member of an isolated prototype scores its closeness: (1 - 1/2) / 1",
     false, 2, 2, {1, 0}, {0.5, 0, 0, 1}, {0}, {},
     {0.5}, {}, {0.5, kNaN}, 0.5, 1, 0},
    {"unassigned items and NaN prototypes leave the silhouette undefined",
     false, 2, 2, {0, 1, 1, 0}, {kNaN, 0, 0, 1}, {1, -1}, {},
     {kNaN, kNaN}, {}, {kNaN, kNaN}, kNaN, 0, 2},
    {"two-sided: each part an item; a part without values scores 0 and counts",
     true, 2, 2, {-1, 0, 0, 1}, {1, 0, 0, 1}, {0, 0}, {0, 1},
     {1.0, 0.0}, {0.0, 1.0}, {1.0 / 3.0, 1.0}, 0.5, 4, 0},
};

class WorkedSilhouettes : public ::testing::TestWithParam<Worked> {};

TEST_P(WorkedSilhouettes, MatchEveryBit) {
    const Worked& w = GetParam();
    const std::int64_t n = static_cast<std::int64_t>(w.items.size()) / w.m;
    std::vector<double> values(n, vt::kUntouched), posValues(n, vt::kUntouched);
    std::vector<double> means(w.k, vt::kUntouched);
    SilhouetteSummary summary;
    ASSERT_TRUE(Vantor::silhouettes(Clustions(), w.items.data(), n, w.m, w.twoSided,
                                    w.prototypes.data(), w.k, w.assignments.data(),
                                    w.twoSided ? w.posAssignments.data() : nullptr, values.data(),
                                    posValues.data(), means.data(), &summary, 1))
        << w.what;
    for (std::int64_t j = 0; j < n; ++j) {
        EXPECT_EQ(bits(values[j]), bits(w.want[j])) << w.what << " item " << j;
        if (w.twoSided) {
            EXPECT_EQ(bits(posValues[j]), bits(w.wantPos[j])) << w.what << " item " << j;
        }
    }
    for (int l = 0; l < w.k; ++l) {
        // NaN means compare as NaN, whatever the payload.
        if (std::isnan(w.wantClusterMeans[l])) {
            EXPECT_TRUE(std::isnan(means[l])) << w.what << " prototype " << l;
        } else {
            EXPECT_EQ(bits(means[l]), bits(w.wantClusterMeans[l])) << w.what << " prototype " << l;
        }
    }
    if (std::isnan(w.wantMean)) {
        EXPECT_TRUE(std::isnan(summary.mean)) << w.what;
    } else {
        EXPECT_EQ(bits(summary.mean), bits(w.wantMean)) << w.what;
    }
    EXPECT_EQ(summary.counted, w.wantCounted) << w.what;
    EXPECT_EQ(summary.undefined, w.wantUndefined) << w.what;
}

INSTANTIATE_TEST_SUITE_P(ChoosingK, WorkedSilhouettes, ::testing::ValuesIn(kWorked));

// ---- Against the literal reference ---------------------------------------

struct Problem {
    Clustions config;
    bool twoSided;
    int k, m;
    std::int64_t n;
    std::vector<double> items, prototypes;
    std::vector<int> assignments[2];
};

Problem drawProblem(std::uint64_t seed) {
    vt::RandomValues draw(seed);
    Problem p;
    p.config.threshold = draw.threshold();
    p.twoSided = draw.chance(0.4);
    p.n = draw.between(1, 60);
    p.m = draw.chance(0.85) ? draw.between(1, 9) : draw.between(30, 70);
    p.k = draw.between(2, draw.chance(0.8) ? 9 : 30);
    const double low = p.twoSided ? -1.0 : 0.0;
    p.items = draw.values(static_cast<int>(p.n) * p.m, low, 1.0, p.config.threshold, 0.02);
    // Prototypes mostly free of NaN, so that most silhouettes are defined.
    p.prototypes = draw.values(p.k * p.m, 0.0, 1.0, p.config.threshold, 0.0);
    if (draw.chance(0.7)) {
        for (double& x : p.prototypes) {
            if (std::isnan(x)) x = 0.5;
        }
    }
    for (auto& side : p.assignments) {
        side.resize(static_cast<std::size_t>(p.n));
        for (int& a : side) a = draw.chance(0.05) ? -1 : draw.between(0, p.k - 1);
    }
    return p;
}

struct Measured {
    std::vector<double> values[2], means;
    SilhouetteSummary summary;
};

void expectSame(const Measured& got, const Measured& want, const std::string& what) {
    for (int side = 0; side < 2; ++side) {
        for (std::size_t j = 0; j < want.values[side].size(); ++j) {
            ASSERT_EQ(bits(got.values[side][j]), bits(want.values[side][j]))
                << what << " side " << side << " item " << j;
        }
    }
    for (std::size_t l = 0; l < want.means.size(); ++l) {
        ASSERT_EQ(bits(got.means[l]), bits(want.means[l])) << what << " prototype " << l;
    }
    EXPECT_EQ(bits(got.summary.mean), bits(want.summary.mean)) << what;
    EXPECT_EQ(got.summary.counted, want.summary.counted) << what;
    EXPECT_EQ(got.summary.undefined, want.summary.undefined) << what;
}

TEST(ChoosingK, SilhouettesMatchTheLiteralReferenceOnEveryThreadCount) {
    for (std::uint64_t seed = 1; seed <= 400; ++seed) {
        const Problem p = drawProblem(seed);
        Measured want;
        for (auto& side : want.values) side.assign(static_cast<std::size_t>(p.n), vt::kUntouched);
        want.means.assign(static_cast<std::size_t>(p.k), vt::kUntouched);
        literal::silhouettes(p.config, p.items.data(), p.n, p.m, p.twoSided,
                             p.prototypes.data(), p.k, p.assignments[0].data(),
                             p.assignments[1].data(), want.values[0].data(),
                             want.values[1].data(), want.means.data(), &want.summary);
        for (int threads : {1, 2, 3, 8}) {
            Measured got = want;
            for (auto& side : got.values) side.assign(side.size(), vt::kUntouched);
            ASSERT_TRUE(Vantor::silhouettes(p.config, p.items.data(), p.n, p.m, p.twoSided,
                                            p.prototypes.data(), p.k, p.assignments[0].data(),
                                            p.assignments[1].data(), got.values[0].data(),
                                            got.values[1].data(), got.means.data(), &got.summary,
                                            threads));
            expectSame(got, want,
                       "seed " + std::to_string(seed) + " threads " + std::to_string(threads));
        }
    }
}

// ---- The scan ------------------------------------------------------------

// g groups of `each` items; group i is high (0.7 .. 1) on features 2i and
// 2i + 1 and low (0 .. 0.03) elsewhere. Signed, its feature 2i + 1 is
// negative instead, so its negative parts form a group of their own too:
// 2g groups of parts.
std::vector<double> separatedGroups(int g, int each, int m, bool signedValues,
                                    std::uint64_t seed) {
    vt::RandomValues draw(seed);
    std::vector<double> items;
    for (int i = 0; i < g; ++i) {
        for (int r = 0; r < each; ++r) {
            for (int f = 0; f < m; ++f) {
                const double high = draw.uniform(0.7, 1.0), low = draw.uniform(0.0, 0.03);
                if (f / 2 != i) {
                    items.push_back(low);
                } else {
                    items.push_back(signedValues && f % 2 == 1 ? -high : high);
                }
            }
        }
    }
    return items;
}

struct Scan {
    bool ok = false;
    std::vector<KScanRow> rows;
    std::vector<double> clusterMeans;
    int suggested = vt::kUntouchedInt;
};

Scan scan(const Clustions& c, const KScanOptions& options, const std::vector<double>& items,
          int m, int kFirst, int kLast) {
    Scan s;
    const int count = kLast >= kFirst ? kLast - kFirst + 1 : 1;
    s.rows.assign(static_cast<std::size_t>(count), KScanRow{});
    s.rows[0].k = vt::kUntouchedInt;
    s.clusterMeans.assign(static_cast<std::size_t>(
                              kLast >= kFirst ? Vantor::kScanClusterOffset(kFirst, kLast + 1) : 1),
                          vt::kUntouched);
    const std::int64_t n = static_cast<std::int64_t>(items.size()) / m;
    s.ok = Vantor::scanK(c, options, items.data(), n, m, kFirst, kLast, s.rows.data(),
                         s.clusterMeans.data(), &s.suggested);
    return s;
}

TEST(ChoosingK, ScanRowsAreTheEnginesRunsMeasuredLiterally) {
    struct Case {
        bool twoSided;
        int rule, threads;
        double threshold;
    };
    const Case cases[] = {{false, VANTOR_SEEDING_KMEANS_PP, 1, 0.0},
                          {false, VANTOR_SEEDING_FARTHEST, 2, 0.25},
                          {true, VANTOR_SEEDING_KMEANS_PP, 3, 0.0},
                          {true, VANTOR_SEEDING_FIRST, 8, 0.5}};
    const int m = 8, kFirst = 2, kLast = 7;
    for (const Case& cs : cases) {
        const std::vector<double> items = separatedGroups(4, 9, m, cs.twoSided, 11);
        const int n = static_cast<int>(items.size()) / m;
        Clustions c;
        c.thresholds(cs.threshold);
        c.setLimits(6);  // some runs stop at the limit
        KScanOptions options;
        options.rule = cs.rule;
        options.restarts = 4;
        options.randomSeed = 99;
        options.twoSided = cs.twoSided;
        options.threads = cs.threads;
        const Scan got = scan(c, options, items, m, kFirst, kLast);
        ASSERT_TRUE(got.ok);

        std::vector<KScanRow> want;
        for (int k = kFirst; k <= kLast; ++k) {
            std::vector<double> prototypes(static_cast<std::size_t>(k * m));
            std::vector<int> a[2] = {std::vector<int>(n), std::vector<int>(n)};
            std::vector<double> s[2] = {std::vector<double>(n), std::vector<double>(n)};
            Vantor::ClusteringOptions engine;
            engine.threads = cs.threads;
            Vantor::ClusteringReport report;
            ASSERT_TRUE(Vantor::runSeededClustering(c, engine, cs.rule, 4, 99, items.data(), n, m,
                                                    cs.twoSided, prototypes.data(), k, a[0].data(),
                                                    s[0].data(), a[1].data(), s[1].data(),
                                                    &report));
            std::vector<double> values[2] = {std::vector<double>(n), std::vector<double>(n)};
            std::vector<double> means(static_cast<std::size_t>(k));
            KScanRow row;
            literal::silhouettes(c, items.data(), n, m, cs.twoSided, prototypes.data(), k,
                                 a[0].data(), a[1].data(), values[0].data(), values[1].data(),
                                 means.data(), &row.silhouette);
            const std::string what = "k " + std::to_string(k) + " threads " +
                                     std::to_string(cs.threads);
            const KScanRow& r = got.rows[static_cast<std::size_t>(k - kFirst)];
            EXPECT_EQ(r.k, k) << what;
            EXPECT_EQ(bits(r.totalSimilarity), bits(report.totalSimilarity)) << what;
            EXPECT_EQ(bits(r.silhouette.mean), bits(row.silhouette.mean)) << what;
            EXPECT_EQ(r.silhouette.counted, row.silhouette.counted) << what;
            EXPECT_EQ(r.silhouette.undefined, row.silhouette.undefined) << what;
            EXPECT_EQ(r.passes, report.passes) << what;
            EXPECT_EQ(r.converged, report.converged) << what;
            EXPECT_EQ(r.winningStart, report.winningStart) << what;
            EXPECT_EQ(r.evaluations, report.evaluations) << what;
            for (int l = 0; l < k; ++l) {
                EXPECT_EQ(bits(got.clusterMeans[static_cast<std::size_t>(
                              Vantor::kScanClusterOffset(kFirst, k) + l)]),
                          bits(means[static_cast<std::size_t>(l)]))
                    << what << " prototype " << l;
            }
            row.k = k;
            want.push_back(row);
        }
        EXPECT_EQ(got.suggested, Vantor::suggestK(want.data(), static_cast<int>(want.size())));
    }
}

TEST(ChoosingK, SuggestsTheNumberOfSeparatedGroups) {
    for (bool twoSided : {false, true}) {
        // Two-sided, every group gives a group of negative parts and one of
        // positive parts.
        for (int g = 3; g <= (twoSided ? 8 : 16); ++g) {
            const int m = 32;
            const std::vector<double> items = separatedGroups(g, 12, m, twoSided, 1000 + g);
            KScanOptions options;
            options.randomSeed = 7;
            options.twoSided = twoSided;
            const Scan got = scan(Clustions(), options, items, m, 2, 20);
            ASSERT_TRUE(got.ok);
            EXPECT_EQ(got.suggested, twoSided ? 2 * g : g)
                << (twoSided ? "two-sided, " : "") << g << " groups";
        }
    }
}

TEST(ChoosingK, ScanGivesTheSameFiguresOnEveryThreadCount) {
    for (bool twoSided : {false, true}) {
        const int m = 12;
        std::vector<double> items = separatedGroups(6, 15, m, twoSided, 3);
        items[5] = kNaN;  // an item with NaN, which every similarity treats as 0
        KScanOptions options;
        options.twoSided = twoSided;
        options.restarts = 5;
        const Scan one = scan(Clustions(0.1), options, items, m, 2, 9);
        ASSERT_TRUE(one.ok);
        for (int threads : {2, 3, 8, 0}) {
            options.threads = threads;
            const Scan got = scan(Clustions(0.1), options, items, m, 2, 9);
            ASSERT_TRUE(got.ok);
            for (std::size_t r = 0; r < one.rows.size(); ++r) {
                const KScanRow &a = got.rows[r], &b = one.rows[r];
                const std::string what = "threads " + std::to_string(threads) + " row " +
                                         std::to_string(r);
                EXPECT_EQ(bits(a.totalSimilarity), bits(b.totalSimilarity)) << what;
                EXPECT_EQ(bits(a.silhouette.mean), bits(b.silhouette.mean)) << what;
                EXPECT_EQ(a.silhouette.counted, b.silhouette.counted) << what;
                EXPECT_EQ(a.passes, b.passes) << what;
                EXPECT_EQ(a.winningStart, b.winningStart) << what;
            }
            for (std::size_t i = 0; i < one.clusterMeans.size(); ++i) {
                EXPECT_EQ(bits(got.clusterMeans[i]), bits(one.clusterMeans[i])) << threads;
            }
            EXPECT_EQ(got.suggested, one.suggested) << threads;
        }
    }
}

TEST(ChoosingK, SuggestionTakesTheLargestMeanAndTheSmallerKOnTies) {
    auto row = [](int k, double mean) {
        KScanRow r;
        r.k = k;
        r.silhouette.mean = mean;
        return r;
    };
    struct Case {
        std::vector<KScanRow> rows;
        int want;
    };
    const Case cases[] = {
        {{row(2, 0.1), row(3, 0.4), row(4, 0.2)}, 3},
        {{row(2, 0.3), row(3, 0.3)}, 2},
        {{row(5, 0.3), row(4, 0.3)}, 4},  // rows in any order
        {{row(2, kNaN), row(3, 0.0), row(4, -0.5)}, 3},
        {{row(2, kNaN), row(3, kNaN)}, 0},
        {{}, 0},
    };
    for (const Case& cs : cases) {
        EXPECT_EQ(Vantor::suggestK(cs.rows.data(), static_cast<int>(cs.rows.size())), cs.want);
    }
}

// ---- Refusals ------------------------------------------------------------

TEST(ChoosingK, RefusedScansWriteNothing) {
    const int m = 4;
    std::vector<double> items = separatedGroups(2, 3, m, false, 5);  // 6 items
    std::vector<double> zeros = items;
    for (int i = 0; i < 2 * m; ++i) zeros[static_cast<std::size_t>(i)] = 0.0;  // 4 candidates
    struct Case {
        const char* what;
        const std::vector<double>* items;
        int kFirst, kLast, rule, restarts;
        bool twoSided;
        int threads = 1;
    };
    const Case cases[] = {
        {"an empty range", &items, 4, 3, VANTOR_SEEDING_KMEANS_PP, 3, false},
        {"k = 1 has no silhouette", &items, 1, 3, VANTOR_SEEDING_KMEANS_PP, 3, false},
        {"k above the items", &items, 2, 7, VANTOR_SEEDING_KMEANS_PP, 3, false},
        {"k above the candidates", &zeros, 2, 5, VANTOR_SEEDING_KMEANS_PP, 3, false},
        {"k above the parts", &items, 2, 13, VANTOR_SEEDING_FARTHEST, 3, true},
        {"k above the parts with a value", &items, 2, 7, VANTOR_SEEDING_FARTHEST, 3, true},
        {"an unknown rule", &items, 2, 3, 17, 3, false},
        {"no restart", &items, 2, 3, VANTOR_SEEDING_KMEANS_PP, 0, false},
        {"negative threads", &items, 2, 3, VANTOR_SEEDING_KMEANS_PP, 3, false, -1},
    };
    for (const Case& cs : cases) {
        KScanOptions options;
        options.rule = cs.rule;
        options.restarts = cs.restarts;
        options.twoSided = cs.twoSided;
        options.threads = cs.threads;
        const Scan got = scan(Clustions(), options, *cs.items, m, cs.kFirst, cs.kLast);
        EXPECT_FALSE(got.ok) << cs.what;
        EXPECT_EQ(got.rows[0].k, vt::kUntouchedInt) << cs.what;
        EXPECT_EQ(got.suggested, vt::kUntouchedInt) << cs.what;
        for (double x : got.clusterMeans) EXPECT_EQ(x, vt::kUntouched) << cs.what;
    }
    KScanRow row;
    int suggested = vt::kUntouchedInt;
    EXPECT_FALSE(Vantor::scanK(Clustions(), KScanOptions(), nullptr, 6, m, 2, 3, &row, nullptr,
                               &suggested));
    EXPECT_FALSE(Vantor::scanK(Clustions(), KScanOptions(), items.data(), 0, m, 2, 3, &row,
                               nullptr, &suggested));
    EXPECT_FALSE(Vantor::scanK(Clustions(), KScanOptions(), items.data(), 6, m, 2, 3, nullptr,
                               nullptr, &suggested));
    EXPECT_EQ(suggested, vt::kUntouchedInt);
}

TEST(ChoosingK, RefusedSilhouettesWriteNothing) {
    const std::vector<double> items = {0.5, 0.2, -0.3, 0.9}, prototypes = {1, 0, 0, 1, 0.5, 0.5};
    struct Case {
        const char* what;
        int k;
        std::vector<int> assignments, posAssignments;
        bool twoSided, nullPos;
        std::int64_t n;
        int threads = 2;
    };
    const Case cases[] = {
        {"one prototype", 1, {0, 0}, {0, 0}, false, false, 2},
        {"an assignment at k", 2, {0, 2}, {0, 0}, false, false, 2},
        {"an assignment below -1", 3, {-2, 0}, {0, 0}, false, false, 2},
        {"a positive assignment out of range", 3, {0, 0}, {0, 3}, true, false, 2},
        {"no positive outputs two-sided", 3, {0, 0}, {0, 0}, true, true, 2},
        {"no items", 3, {0, 0}, {0, 0}, false, false, 0},
        {"negative threads", 3, {0, 0}, {0, 0}, false, false, 2, -1},
    };
    for (const Case& cs : cases) {
        std::vector<double> values(2, vt::kUntouched), posValues(2, vt::kUntouched),
            means(3, vt::kUntouched);
        SilhouetteSummary summary;
        summary.counted = vt::kUntouchedInt;
        EXPECT_FALSE(Vantor::silhouettes(Clustions(), items.data(), cs.n, 2, cs.twoSided,
                                         prototypes.data(), cs.k, cs.assignments.data(),
                                         cs.posAssignments.data(), values.data(),
                                         cs.nullPos ? nullptr : posValues.data(), means.data(),
                                         &summary, cs.threads))
            << cs.what;
        for (double x : values) EXPECT_EQ(x, vt::kUntouched) << cs.what;
        for (double x : posValues) EXPECT_EQ(x, vt::kUntouched) << cs.what;
        for (double x : means) EXPECT_EQ(x, vt::kUntouched) << cs.what;
        EXPECT_EQ(summary.counted, vt::kUntouchedInt) << cs.what;
    }
}

}  // namespace
