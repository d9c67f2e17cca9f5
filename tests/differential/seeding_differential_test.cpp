// The library's chooseSeeds against the literal O(n * k * m) reference on
// seeded random inputs: the same result, the same seeds to the bit and the
// same items and parts, for all three rules, one- and two-sided, NaN, the
// infinities and -0.0 included. And whatever the rule, every seed is a row,
// or a part of a row, of the input.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bits.h"
#include "literal_seeding.h"
#include "random_values.h"
#include "vantor/seeding.h"

using Vantor::Clustions;
using vt::bits;

namespace {

constexpr int kCases = 1500;

struct Choice {
    bool ok = false;
    std::vector<double> seeds;
    std::vector<int> items, parts;
};

struct Problem {
    Clustions config;
    int rule, k, n, m;
    bool twoSided;
    std::uint64_t randomSeed;
    std::vector<double> items;
};

Problem drawProblem(std::uint64_t seed) {
    vt::RandomValues draw(seed);
    Problem p;
    p.config.threshold = draw.threshold();
    const int rules[] = {VANTOR_SEEDING_FARTHEST, VANTOR_SEEDING_KMEANS_PP, VANTOR_SEEDING_FIRST};
    p.rule = rules[draw.between(0, 2)];
    p.twoSided = draw.chance(0.4);
    // Up to 70 items so that the candidates cross the four-at-a-time blocks
    // with every remainder; sometimes more seeds than candidates.
    p.n = draw.between(1, 70);
    p.m = draw.chance(0.85) ? draw.between(1, 9) : draw.between(30, 70);
    p.k = draw.between(1, draw.chance(0.9) ? 12 : 150);
    p.randomSeed = (static_cast<std::uint64_t>(draw.between(0, 1 << 30)) << 32) ^
                   static_cast<std::uint64_t>(draw.between(0, 1 << 30));
    const double outside = draw.chance(0.6) ? 0.0 : 0.05;
    p.items = draw.values(p.n * p.m, p.twoSided ? -1.0 : 0.0, 1.0, p.config.threshold, outside);
    // Repeated rows give ties and weights of 0.
    if (p.n >= 3 && draw.chance(0.3)) {
        for (int i = 0; i < p.m; ++i) p.items[static_cast<std::size_t>(2 * p.m + i)] = p.items[i];
    }
    // Now and then no NaN at all, so that the exchanged-arguments path runs
    // on every candidate.
    if (draw.chance(0.3)) {
        for (double& x : p.items) {
            if (std::isnan(x)) x = 0.5;
        }
    }
    return p;
}

template <class Choose>
Choice run(const Problem& p, Choose choose) {
    Choice c;
    c.seeds.assign(static_cast<std::size_t>(p.k * p.m), vt::kUntouched);
    c.items.assign(static_cast<std::size_t>(p.k), vt::kUntouchedInt);
    c.parts = c.items;
    Clustions config = p.config;
    c.ok = choose(config, p.rule, p.k, p.items.data(), p.n, p.m, p.twoSided, p.randomSeed,
                  c.seeds.data(), c.items.data(), c.parts.data());
    return c;
}

TEST(SeedingDifferential, LibraryEqualsLiteralReference) {
    int accepted = 0;
    for (int seed = 1; seed <= kCases; ++seed) {
        const Problem p = drawProblem(static_cast<std::uint64_t>(seed));
        const Choice got = run(p, Vantor::chooseSeeds);
        const Choice want = run(p, literal::chooseSeeds);
        ASSERT_EQ(got.ok, want.ok) << "seed " << seed;
        accepted += got.ok;
        ASSERT_EQ(got.items, want.items) << "seed " << seed << " rule " << p.rule;
        ASSERT_EQ(got.parts, want.parts) << "seed " << seed;
        for (std::size_t i = 0; i < got.seeds.size(); ++i) {
            ASSERT_EQ(bits(got.seeds[i]), bits(want.seeds[i])) << "seed " << seed << " at " << i;
        }
    }
    // Both outcomes must be well represented.
    EXPECT_GT(accepted, kCases / 2);
    EXPECT_LT(accepted, kCases);
}

TEST(SeedingDifferential, EverySeedIsARowOrAPartOfOne) {
    for (int seed = 1; seed <= kCases; ++seed) {
        const Problem p = drawProblem(static_cast<std::uint64_t>(seed) + 100000);
        const Choice got = run(p, Vantor::chooseSeeds);
        if (!got.ok) continue;
        std::vector<int> taken(static_cast<std::size_t>(2 * p.n), 0);
        for (int t = 0; t < p.k; ++t) {
            const int j = got.items[t], part = got.parts[t];
            ASSERT_TRUE(j >= 0 && j < p.n) << "seed " << seed;
            ASSERT_TRUE(part == VANTOR_PART_NEGATIVE || part == VANTOR_PART_POSITIVE);
            ASSERT_TRUE(p.twoSided || part == VANTOR_PART_POSITIVE);
            // No candidate is taken twice.
            ASSERT_EQ(taken[static_cast<std::size_t>(2 * j + part)]++, 0) << "seed " << seed;
            bool anyAboveZero = false;
            for (int i = 0; i < p.m; ++i) {
                const double x = p.items[static_cast<std::size_t>(j * p.m + i)];
                const double want = !p.twoSided                     ? x
                                    : part == VANTOR_PART_NEGATIVE ? (x < 0.0 ? -x : 0.0)
                                                                    : (x > 0.0 ? x : 0.0);
                const double s = got.seeds[static_cast<std::size_t>(t * p.m + i)];
                ASSERT_EQ(bits(s), bits(want)) << "seed " << seed;
                anyAboveZero |= s > 0.0;
            }
            ASSERT_TRUE(anyAboveZero) << "a seed without a positive value, seed " << seed;
        }
    }
}

}  // namespace
