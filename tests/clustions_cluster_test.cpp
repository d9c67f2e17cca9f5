// Both clustering methods: worked runs, the choice and stop rules, the
// prototype update, and refusals that must leave every array as it was.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <initializer_list>
#include <type_traits>
#include <vector>

#include "bits.h"
#include "row_matrix.h"
#include "vantor/clustions.h"

using Vantor::Clustions;
using vt::bits;

namespace {

constexpr int kGuard = 3;  // sentinels past the end of every output array

// Similarity from the minima and maxima left after gating and clamping,
// position by position: both sums in long double, one division.
double q(std::initializer_list<double> minima, std::initializer_list<double> maxima) {
    long double lo = 0.0L, hi = 0.0L;
    for (double v : minima) lo += v;
    for (double v : maxima) hi += v;
    return static_cast<double>(lo / hi);
}

// One run of either method. An empty expectation means "left untouched".
struct Row {
    const char* what;
    bool twoSided;
    double threshold;
    int limit;
    std::vector<int> dims;
    std::vector<double> prototypes = {}, items = {};
    bool ok = false;
    std::vector<int> passInfo = {};
    std::vector<double> prototypesOut = {};
    std::vector<int> assignments = {}, posAssignments = {};  // one-sided: assignments only
    std::vector<double> similarities = {}, posSimilarities = {};
};

// The output arrays of a run, each padded with sentinels.
struct Outputs {
    std::vector<int> a, b, passInfo;
    std::vector<double> s, t, prototypes, items;
    int dims[3];

    Outputs(const Row& r) : passInfo(2 + kGuard, vt::kUntouchedInt), prototypes(r.prototypes),
                            items(r.items), dims{r.dims[0], r.dims[1], r.dims[2]} {
        const std::size_t n = r.dims[1] > 0 ? r.dims[1] : 0;
        a = b = std::vector<int>(n + kGuard, vt::kUntouchedInt);
        s = t = std::vector<double>(n + kGuard, vt::kUntouched);
        prototypes.insert(prototypes.end(), kGuard, vt::kUntouched);
    }

    bool run(Clustions& c, bool twoSided) {
        if (twoSided) {
            return c.cluster(prototypes.data(), items.data(), dims, a.data(), b.data(), s.data(),
                             t.data(), passInfo.data());
        }
        return c.cluster(prototypes.data(), items.data(), dims, a.data(), s.data(),
                         passInfo.data());
    }
};

template <class T>
void expectPrefix(const std::vector<T>& got, std::vector<T> want, std::size_t used, T sentinel,
                  const char* what, const char* array) {
    if (want.empty()) want.assign(used, sentinel);
    want.insert(want.end(), got.size() - want.size(), sentinel);
    for (std::size_t i = 0; i < got.size(); ++i) {
        if constexpr (std::is_same_v<T, double>) {
            EXPECT_EQ(bits(got[i]), bits(want[i])) << what << ": " << array << "[" << i << "] "
                                                   << got[i] << " want " << want[i];
        } else {
            EXPECT_EQ(got[i], want[i]) << what << ": " << array << "[" << i << "]";
        }
    }
}

void check(const Row& r) {
    Clustions c(0.5);
    c.threshold = r.threshold;
    c.iterationLimit = r.limit;
    Outputs o(r);
    EXPECT_EQ(o.run(c, r.twoSided), r.ok) << r.what;
    const std::size_t n = r.dims[1] > 0 ? r.dims[1] : 0;
    std::vector<double> protos = r.prototypesOut.empty() ? r.prototypes : r.prototypesOut;
    expectPrefix(o.prototypes, protos, protos.size(), vt::kUntouched, r.what, "prototypes");
    expectPrefix(o.items, r.items, r.items.size(), vt::kUntouched, r.what, "items");
    expectPrefix(o.passInfo, r.passInfo, 2, vt::kUntouchedInt, r.what, "passInfo");
    expectPrefix(o.a, r.assignments, n, vt::kUntouchedInt, r.what, "assignments");
    expectPrefix(o.s, r.similarities, n, vt::kUntouched, r.what, "similarities");
    expectPrefix(o.b, r.twoSided ? r.posAssignments : std::vector<int>(), n, vt::kUntouchedInt,
                 r.what, "posAssignments");
    expectPrefix(o.t, r.twoSided ? r.posSimilarities : std::vector<double>(), n, vt::kUntouched,
                 r.what, "posSimilarities");
}

// Seeds and items used by several one-sided rows.
const std::vector<double> kAxes = {1.0, 0.0, 0.0, 1.0};
const std::vector<double> kThree = {0.9, 0.1, 0.2, 0.8, 1.0, 1.0};
const std::vector<double> kThreeMeans = {(1.0 + 0.9) / 2, (1.0 + 0.1) / 2, 0.2, 0.8};
const std::vector<double> kThreeSeedSims = {q({0.9, 0.0}, {1.0, 0.1}), q({0.0, 0.8}, {0.2, 1.0}),
                                            0.5};
// Two-sided: seeds, items and the prototypes after the first pass.
const std::vector<double> kSeeds2 = {0.1, 0.2, 0.3, 0.9, 0.1, 0.5};
const std::vector<double> kItems2 = {0.3, 0.0, 0.9, 0.2, 0.4, 0.0, 0.0, 0.0, 0.0};
const std::vector<double> kMeans2 = {0.2 / 5, 0.4 / 5, 0.0, 0.3, 0.0, 0.9};
const double kP = 1.0e16 + 1.0;  // rounds to 1e16 + 2 (ties to even)
const double kA = (1.0 + 0.9) / 2, kB = (1.0 + 0.1) / 2;  // pass-1 means
const double kMean1 = (1.0 + (0.2 + 0.9)) / 3, kMean2 = (1.0 + (0.8 + 0.1)) / 3;  // k = 1
const double kQ = kP / 4;  // two-sided rounding row

const Row kRows[] = {
    // One-sided.
    {"worked run converges on pass 2", false, 0.0, 40, {2, 3, 2}, kAxes, kThree, true, {1, 2},
     kThreeMeans, {0, 1, 0}, {}, {q({0.9, 0.1}, {kA, kB}), 1.0, q({kA, kB}, {1.0, 1.0})}},
    {"limit 1 updates once; similarities still describe the seeds", false, 0.0, 1, {2, 3, 2},
     kAxes, kThree, true, {0, 1}, kThreeMeans, {0, 1, 0}, {}, kThreeSeedSims},
    {"limit 0 written into the field ends after one pass", false, 0.0, 0, {2, 3, 2}, kAxes,
     kThree, true, {0, 1}, kThreeMeans, {0, 1, 0}, {}, kThreeSeedSims},
    {"most negative limit ends after one pass", false, 0.0, INT_MIN, {2, 3, 2}, kAxes, kThree,
     true, {0, 1}, kThreeMeans, {0, 1, 0}, {}, kThreeSeedSims},
    {"k = 1 takes the mean of all items", false, 0.0, 40, {1, 3, 2}, {1.0, 0.0}, kThree, true,
     {1, 2}, {kMean1, kMean2}, {0, 0, 0}, {},
     {q({kMean1, 0.1}, {0.9, kMean2}), q({0.2, kMean2}, {kMean1, 0.8}),
      q({kMean1, kMean2}, {1.0, 1.0})}},
    {"a tie keeps the own prototype", false, 0.0, 40, {2, 3, 1}, {0.25, 0.75}, {0.5, 1.5, 0.25},
     true, {1, 2}, {0.25, 1.0}, {1, 1, 0}, {}, {0.5, q({1.0}, {1.5}), 1.0}},
    {"a cycle runs to the limit", false, 0.5, 40, {3, 5, 1}, {0.5, 0.5, 1.0},
     {0.5, 0.0, 1.0, 0.25, 0.5}, true, {0, 40}, {0.0, 1.25 / 3, 1.0}, {1, 0, 2, 1, 1}, {},
     {1.0, 0.0, 0.625, 0.5, 1.0}},
    {"the same cycle stopped at 3", false, 0.5, 3, {3, 5, 1}, {0.5, 0.5, 1.0},
     {0.5, 0.0, 1.0, 0.25, 0.5}, true, {0, 3}, {0.0, 0.5, 0.625}, {1, 0, 2, 2, 1}, {},
     {q({1.25 / 3}, {0.5}), 0.0, 1.0, 0.25, q({1.25 / 3}, {0.5})}},
    {"zero items go to prototype 0; an unchosen seed keeps its bits", false, 0.0, 40, {2, 2, 2},
     {1.0, 0.0, -0.0, 1.0}, {0.0, 0.0, 0.0, 0.0}, true, {1, 2}, {0.0, 0.0, -0.0, 1.0}, {0, 0},
     {}, {0.0, 0.0}},
    {"negative values enter the mean", false, 0.0, 40, {2, 2, 2}, kAxes, {-0.5, 0.9, 0.2, 0.8},
     true, {1, 2}, {1.0, 0.0, (0.2 + -0.5) / 2, (0.8 + 0.9) / 2}, {1, 1}, {},
     {q({0.0, (0.8 + 0.9) / 2}, {0.0, 0.9}), q({0.0, 0.8}, {0.2, (0.8 + 0.9) / 2})}},
    {"sums rounded to double after each addition, in item order", false, 0.0, 40, {1, 3, 1},
     {0.5}, {1.0, 1.0e16, -1.0e16}, true, {1, 2}, {(-1.0e16 + kP) / 3}, {0, 0, 0}, {},
     {q({(-1.0e16 + kP) / 3}, {1.0}), q({(-1.0e16 + kP) / 3}, {1.0e16}), 0.0}},
    {"NaN prototypes: nothing is assigned, the run goes to the limit", false, 0.0, 5, {2, 2, 2},
     {vt::kNaN, 0.0, vt::kNaN, 1.0}, kAxes, true, {0, 5}, {}, {-1, -1}, {}, {-1.0, -1.0}},
    {"negative n: one empty pass", false, 0.0, 40, {2, -1, 2}, kAxes, kThree, true, {1, 1}},
    {"negative m: no features, all on prototype 0", false, 0.0, 40, {2, 2, -2}, kAxes, kThree,
     true, {1, 2}, {}, {0, 0}, {}, {0.0, 0.0}},
    {"negative m at limit 1", false, 0.0, 1, {2, 2, -2}, kAxes, kThree, true, {0, 1}, {}, {0, 0},
     {}, {0.0, 0.0}},
    {"no prototypes", false, 0.0, 40, {0, 3, 2}, kAxes, kThree, false},
    {"no items", false, 0.0, 40, {2, 0, 2}, kAxes, kThree, false},
    {"no features", false, 0.0, 40, {2, 3, 0}, kAxes, kThree, false},
    {"negative k", false, 0.0, 40, {-1, 3, 2}, kAxes, kThree, false},

    // Two-sided.
    {"two-sided worked run", true, 0.0, 40, {2, 3, 3}, kSeeds2, kItems2, true, {1, 2}, kMeans2,
     {0, 0, 0}, {1, 0, 0}, {0.0, 0.0, 0.0},
     {1.0, q({0.2 / 5, 0.4 / 5, 0.0}, {0.2, 0.4, 0.0}), 0.0}},
    {"two-sided limit 1", true, 0.0, 1, {2, 3, 3}, kSeeds2, kItems2, true, {0, 1}, kMeans2,
     {0, 0, 0}, {1, 0, 0}, {0.0, 0.0, 0.0},
     {q({0.3, 0.0, 0.5}, {0.9, 0.1, 0.9}), q({0.1, 0.2, 0.0}, {0.2, 0.4, 0.3}), 0.0}},
    {"two-sided limit -1 written into the field", true, 0.0, -1, {2, 3, 3}, kSeeds2, kItems2,
     true, {0, 1}, kMeans2, {0, 0, 0}, {1, 0, 0}, {0.0, 0.0, 0.0},
     {q({0.3, 0.0, 0.5}, {0.9, 0.1, 0.9}), q({0.1, 0.2, 0.0}, {0.2, 0.4, 0.3}), 0.0}},
    {"two-sided k = 1: both parts of each item count", true, 0.0, 40, {1, 2, 2}, {0.2, 0.2},
     {0.5, -0.5, -1.0, 1.0}, true, {1, 2}, {0.375, 0.375}, {0, 0}, {0, 0},
     {q({0.0, 0.375}, {0.375, 0.5}), q({0.375, 0.0}, {1.0, 0.375})},
     {q({0.375, 0.0}, {0.5, 0.375}), q({0.0, 0.375}, {0.375, 1.0})}},
    {"two-sided tie keeps the own prototype", true, 0.0, 40, {2, 3, 1}, {0.25, 0.75},
     {0.5, 1.5, 0.25}, true, {1, 2}, {0.25 / 4, 1.0}, {0, 0, 0}, {1, 1, 0}, {0.0, 0.0, 0.0},
     {0.5, q({1.0}, {1.5}), 0.25}},
    {"two-sided: NaN and -0.0 features belong to neither part", true, 0.0, 40, {1, 2, 2},
     {0.5, 0.5}, {vt::kNaN, 0.4, -0.2, -0.0}, true, {1, 2}, {0.2 / 4, 0.4 / 4}, {0, 0}, {0, 0},
     {0.0, q({0.2 / 4, 0.0}, {0.2, 0.4 / 4})}, {q({0.0, 0.4 / 4}, {0.2 / 4, 0.4}), 0.0}},
    {"two-sided sums rounded after each addition", true, 0.0, 40, {1, 2, 1}, {0.5},
     {1.0, -1.0e16}, true, {1, 2}, {kQ}, {0, 0}, {0, 0}, {0.0, q({kQ}, {1.0e16})},
     {q({1.0}, {kQ}), 0.0}},
    {"two-sided NaN prototypes leave every part unassigned", true, 0.0, 5, {2, 1, 2},
     {vt::kNaN, 0.0, vt::kNaN, 1.0}, {0.9, -0.1}, true, {0, 5}, {}, {-1}, {-1}, {-1.0}, {-1.0}},
    {"two-sided negative n", true, 0.0, 40, {2, -3, 3}, kSeeds2, kItems2, true, {1, 1}},
    {"two-sided negative m", true, 0.0, 40, {2, 3, -3}, kSeeds2, kItems2, true, {1, 2}, {},
     {0, 0, 0}, {0, 0, 0}, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}},
    {"two-sided negative m at limit 1", true, 0.0, 1, {2, 3, -3}, kSeeds2, kItems2, true,
     {0, 1}, {}, {0, 0, 0}, {0, 0, 0}, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}},
    {"two-sided no prototypes", true, 0.0, 40, {0, 3, 3}, kSeeds2, kItems2, false},
    {"two-sided no items", true, 0.0, 40, {2, 0, 3}, kSeeds2, kItems2, false},
    {"two-sided no features", true, 0.0, 40, {2, 3, 0}, kSeeds2, kItems2, false},
    {"two-sided negative k", true, 0.0, 40, {-2, 3, 3}, kSeeds2, kItems2, false},
};

class ClusterRuns : public ::testing::TestWithParam<Row> {};
TEST_P(ClusterRuns, MatchEveryBitAndWriteNothingElse) { check(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Clustions, ClusterRuns, ::testing::ValuesIn(kRows));

// A missing array is refused before anything is written, but only when the
// dimensions say the call needs it.
TEST(ClusterArguments, MissingArraysRefusedOnlyWhenNeeded) {
    for (bool twoSided : {false, true}) {
        for (int dropped = 0; dropped < 8; ++dropped) {
            for (const std::vector<int>& dims :
                 {std::vector<int>{2, 3, 2}, {2, -1, 2}, {2, 3, -2}}) {
                const int slots = twoSided ? 8 : 6;
                if (dropped >= slots) continue;
                Row r{"", twoSided, 0.0, 40, dims, kAxes, kThree};
                Outputs o(r);
                void* args[8] = {o.prototypes.data(), o.items.data(), o.dims, o.a.data(),
                                 o.b.data(), o.s.data(), o.t.data(), o.passInfo.data()};
                if (!twoSided) {
                    args[4] = o.s.data();
                    args[5] = o.passInfo.data();
                }
                args[dropped] = nullptr;
                Clustions c;
                const bool ok =
                    twoSided ? c.cluster(static_cast<double*>(args[0]), static_cast<double*>(args[1]),
                                         static_cast<int*>(args[2]), static_cast<int*>(args[3]),
                                         static_cast<int*>(args[4]), static_cast<double*>(args[5]),
                                         static_cast<double*>(args[6]), static_cast<int*>(args[7]))
                             : c.cluster(static_cast<double*>(args[0]), static_cast<double*>(args[1]),
                                         static_cast<int*>(args[2]), static_cast<int*>(args[3]),
                                         static_cast<double*>(args[4]), static_cast<int*>(args[5]));
                const bool passInfoDropped = dropped == slots - 1;
                const bool needed = dropped == 2 || passInfoDropped ||
                                    (dims[1] > 0 && (dropped >= 3 || dims[2] > 0));
                EXPECT_EQ(ok, !needed) << twoSided << " " << dropped << " " << dims[1] << " "
                                       << dims[2];
                if (!needed) continue;
                EXPECT_EQ(o.passInfo[0], vt::kUntouchedInt);
                EXPECT_EQ(o.a[0], vt::kUntouchedInt);
                EXPECT_EQ(bits(o.s[0]), bits(vt::kUntouched));
                EXPECT_EQ(bits(o.prototypes[0]), bits(1.0));
            }
        }
    }
}

// NaN and infinities anywhere: the call succeeds, stays inside its arrays
// and assigns only real prototypes.
TEST(ClusterArguments, NaNAndInfinitiesNeverFailOrOverrun) {
    const double oddValues[] = {vt::kNaN, vt::kInf, -vt::kInf, -0.0, 1e308, 5e-324};
    for (bool twoSided : {false, true}) {
        for (double x : oddValues) {
            Row r{"", twoSided, 0.0, 6, {3, 3, 2}, {x, 0.5, 1.0, x, x, x},
                  {x, -x, 0.5, x, -0.25, 1.0}};
            Outputs o(r);
            Clustions c;
            c.iterationLimit = 6;
            EXPECT_TRUE(o.run(c, twoSided)) << x;
            expectPrefix(o.prototypes, std::vector<double>(o.prototypes.begin(),
                                                           o.prototypes.begin() + 6),
                         6, vt::kUntouched, "oddValues", "prototypes");
            for (int j = 0; j < 3; ++j) {
                EXPECT_GE(o.a[j], -1);
                EXPECT_LT(o.a[j], 3);
                EXPECT_GE(o.b[j], twoSided ? -1 : vt::kUntouchedInt);
            }
            for (int g = 3; g < 3 + kGuard; ++g) {
                EXPECT_EQ(o.a[g], vt::kUntouchedInt);
                EXPECT_EQ(bits(o.t[g]), bits(vt::kUntouched));
            }
            EXPECT_LE(o.passInfo[1], 6);
        }
    }
}

// After a converged run each similarity is measured against the returned
// prototypes, and no prototype is more similar than the one chosen.
TEST(ClusterProperties, ConvergedRunsEndOnAMostSimilarPrototype) {
    unsigned state = 12345;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) / 4294967296.0; };
    for (int trial = 0; trial < 20; ++trial) {
        const int k = 2 + trial % 4, n = 12, m = 3;
        Row r{"", trial % 2 == 1, 0.1 * (trial % 3), 200, {k, n, m}};
        for (int i = 0; i < k * m; ++i) r.prototypes.push_back(next());
        for (int i = 0; i < n * m; ++i) r.items.push_back(2 * next() - 1);
        Outputs o(r);
        Clustions c;
        c.threshold = r.threshold;
        c.iterationLimit = 200;
        ASSERT_TRUE(o.run(c, r.twoSided));
        if (o.passInfo[0] != 1) continue;  // a cycle; nothing to check
        for (int j = 0; j < n; ++j) {
            std::vector<double> parts[2] = {{}, {}};
            for (int i = 0; i < m; ++i) {
                const double x = o.items[j * m + i];
                parts[0].push_back(r.twoSided ? (x < 0 ? -x : 0.0) : x);
                parts[1].push_back(x > 0 ? x : 0.0);
            }
            for (int side = 0; side < (r.twoSided ? 2 : 1); ++side) {
                const int own = side == 0 ? o.a[j] : o.b[j];
                const double sim = side == 0 ? o.s[j] : o.t[j];
                ASSERT_GE(own, 0);
                EXPECT_EQ(bits(sim), bits(c.evalSimil(parts[side].data(),
                                                      &o.prototypes[own * m], m)));
                for (int p = 0; p < k; ++p) {
                    EXPECT_LE(c.evalSimil(parts[side].data(), &o.prototypes[p * m], m), sim);
                }
            }
        }
    }
}

TEST(RowMatrix, OffsetsAreFormedIn64Bits) {
    EXPECT_EQ(Vantor::rowOf(INT_MAX, INT_MAX), 4611686014132420609LL);
    EXPECT_EQ(Vantor::rowOf(3, 1 << 30), 3LL << 30);
    double matrix[4] = {};
    EXPECT_EQ(Vantor::rowIn(matrix, 3, 1), matrix + 3);
    EXPECT_EQ(Vantor::rowIn(matrix, 3, -5), matrix) << "a row without values is never offset";
}

}  // namespace
