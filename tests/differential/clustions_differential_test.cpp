// The library's Clustions against the literal reference on seeded random
// inputs: similarities, prototypes, assignments, passInfo and the returned
// flag must agree to the bit, for evalSimil and both clustering methods.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bits.h"
#include "literal_clustions.h"
#include "random_values.h"
#include "vantor/clustions.h"

using Vantor::Clustions;
using vt::bits;

namespace {

constexpr int kCases = 3000;

// The inputs of one clustering call, with the outputs preset to a value no
// method writes, so that an untouched element is compared too.
struct ClusterCall {
    Clustions config;
    int dims[3];
    std::vector<double> prototypes, items;
    std::vector<int> assignments, posAssignments;
    std::vector<double> similarities, posSimilarities;
    int passInfo[2] = {vt::kUntouchedInt, vt::kUntouchedInt};
};

int rows(int count) { return count > 0 ? count : 0; }

ClusterCall drawCall(std::uint64_t seed) {
    vt::RandomValues draw(seed);
    ClusterCall r;
    r.config.threshold = draw.threshold();
    const int limits[] = {1, 2, 3, 5, 40};
    r.config.iterationLimit = limits[draw.between(0, 4)];
    // Small dimensions give ties, cycles and empty prototypes; a long row
    // crosses any blocking of the features; zero and negative counts test
    // the refusals and the empty runs.
    int k = draw.between(1, 7);
    int n = draw.chance(0.9) ? draw.between(1, 14) : draw.between(-2, 0);
    int m = draw.chance(0.8) ? draw.between(1, 9) : (draw.chance(0.7) ? draw.between(60, 140) : draw.between(-2, 0));
    if (draw.chance(0.02)) k = 0;
    r.dims[0] = k;
    r.dims[1] = n;
    r.dims[2] = m;
    const double t = r.config.threshold;
    // Seeds mostly in [0, 1] on a coarse grid, sometimes negative, NaN or
    // infinite; sometimes two seeds are equal.
    const double seedOutside = draw.chance(0.7) ? 0.0 : 0.1;
    r.prototypes = draw.values(rows(k) * rows(m), 0.0, 1.0, t, seedOutside);
    if (k >= 2 && m > 0 && draw.chance(0.2))
        for (int i = 0; i < m; ++i) r.prototypes[m + i] = r.prototypes[i];
    // Items signed, with NaN, -0.0 and infinities among them now and then.
    const double itemOutside = draw.chance(0.7) ? 0.0 : 0.05;
    r.items = draw.values(rows(n) * rows(m), -1.0, 1.0, t, itemOutside);
    if (draw.chance(0.3))
        for (double& x : r.items) x = std::fabs(x);
    r.assignments.assign(rows(n), vt::kUntouchedInt);
    r.posAssignments.assign(rows(n), vt::kUntouchedInt);
    r.similarities.assign(rows(n), vt::kUntouched);
    r.posSimilarities.assign(rows(n), vt::kUntouched);
    return r;
}

void expectSameBits(const std::vector<double>& got, const std::vector<double>& want, const char* what,
                    int seed) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(bits(got[i]), bits(want[i])) << what << "[" << i << "] seed " << seed;
}

void expectSame(const ClusterCall& got, const ClusterCall& want, bool gotOk, bool wantOk, int seed) {
    ASSERT_EQ(gotOk, wantOk) << "seed " << seed;
    expectSameBits(got.prototypes, want.prototypes, "prototypes", seed);
    expectSameBits(got.similarities, want.similarities, "similarities", seed);
    expectSameBits(got.posSimilarities, want.posSimilarities, "posSimilarities", seed);
    ASSERT_EQ(got.assignments, want.assignments) << "seed " << seed;
    ASSERT_EQ(got.posAssignments, want.posAssignments) << "seed " << seed;
    ASSERT_EQ(got.passInfo[0], want.passInfo[0]) << "seed " << seed;
    ASSERT_EQ(got.passInfo[1], want.passInfo[1]) << "seed " << seed;
}

TEST(ClustionsDifferential, EvalSimilMatchesTheLiteralStepsToTheBit) {
    for (int seed = 0; seed < kCases; ++seed) {
        vt::RandomValues draw(5000000 + seed);
        Clustions c;
        c.threshold = draw.threshold();
        const int n = draw.length();
        const double outside = draw.outsideRate();
        std::vector<double> first = draw.values(n, -1.0, 1.0, c.threshold, outside);
        std::vector<double> second = draw.values(n, 0.0, 1.0, c.threshold, outside);
        if (draw.chance(0.05)) second = first;
        const double got = c.evalSimil(first.data(), second.data(), n);
        const double want = literal::evalSimil(c, first.data(), second.data(), n);
        ASSERT_EQ(bits(got), bits(want)) << "seed " << seed << ": " << got << " vs " << want;
    }
}

TEST(ClustionsDifferential, OneSidedClusteringMatchesTheLiteralStepsToTheBit) {
    for (int seed = 0; seed < kCases; ++seed) {
        ClusterCall got = drawCall(6000000 + seed);
        ClusterCall want = got;
        const bool gotOk = got.config.cluster(got.prototypes.data(), got.items.data(), got.dims,
                                              got.assignments.data(), got.similarities.data(),
                                              got.passInfo);
        const bool wantOk =
            literal::cluster(want.config, want.prototypes.data(), want.items.data(), want.dims,
                             want.assignments.data(), want.similarities.data(), want.passInfo);
        expectSame(got, want, gotOk, wantOk, seed);
    }
}

TEST(ClustionsDifferential, TwoSidedClusteringMatchesTheLiteralStepsToTheBit) {
    for (int seed = 0; seed < kCases; ++seed) {
        ClusterCall got = drawCall(7000000 + seed);
        ClusterCall want = got;
        const bool gotOk = got.config.cluster(
            got.prototypes.data(), got.items.data(), got.dims, got.assignments.data(),
            got.posAssignments.data(), got.similarities.data(), got.posSimilarities.data(), got.passInfo);
        const bool wantOk = literal::cluster(
            want.config, want.prototypes.data(), want.items.data(), want.dims, want.assignments.data(),
            want.posAssignments.data(), want.similarities.data(), want.posSimilarities.data(),
            want.passInfo);
        expectSame(got, want, gotOk, wantOk, seed);
    }
}

}  // namespace
