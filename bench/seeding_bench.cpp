// Seeding against one clustering pass on the same data in the same run:
// choosing k = 16 starting prototypes among n = 100,000 items of m = 32
// should cost no more than one pass of the clustering it starts (n * k
// similarities either way). Every figure counts n * k * m elements, so the
// summary's ratio of two figures is the ratio of their times.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "per_element.h"
#include "vantor/seeding.h"

namespace {

constexpr double kThreshold = 0.25;

struct Case {
    int k, n, m;
    bool twoSided;
};

// Items uniform in [0, 1] (one-sided) or [-1, 1] (two-sided), kept between
// the calls of one figure.
const std::vector<double>& itemsOf(const Case& c) {
    static std::vector<double> items;
    static int key = -1;
    if (key != c.twoSided + 2 * c.n) {
        items = bench::uniformValues(static_cast<std::size_t>(c.n) * c.m,
                                     c.twoSided ? -1.0 : 0.0, 1.0, 61);
        key = c.twoSided + 2 * c.n;
    }
    return items;
}

void seeding(benchmark::State& state, Case c, int rule) {
    const std::vector<double>& items = itemsOf(c);
    Vantor::Clustions similarity(kThreshold);
    std::vector<double> seeds(static_cast<std::size_t>(c.k) * c.m);
    std::vector<int> sourceItems(c.k), sourceParts(c.k);
    std::uint64_t randomSeed = 0;
    for (auto _ : state) {
        const bool ok = Vantor::chooseSeeds(similarity, rule, c.k, items.data(), c.n, c.m,
                                            c.twoSided, randomSeed++, seeds.data(),
                                            sourceItems.data(), sourceParts.data());
        if (!ok) state.SkipWithError("seeding refused");
        benchmark::DoNotOptimize(seeds.data());
    }
    bench::setPerElement(state, static_cast<double>(c.n) * c.k * c.m);
}

// One pass (iterationLimit 1) from the first k items as seeds.
void onePass(benchmark::State& state, Case c) {
    std::vector<double> items = itemsOf(c);
    Vantor::Clustions clustions(kThreshold);
    clustions.setLimits(1);
    std::vector<double> prototypes;
    std::vector<int> negative(c.n), positive(c.n);
    std::vector<double> negativeSimilarity(c.n), positiveSimilarity(c.n);
    int dims[3] = {c.k, c.n, c.m};
    int passInfo[2];
    for (auto _ : state) {
        prototypes.assign(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(c.k) * c.m);
        if (c.twoSided) {
            clustions.cluster(prototypes.data(), items.data(), dims, negative.data(),
                              positive.data(), negativeSimilarity.data(),
                              positiveSimilarity.data(), passInfo);
        } else {
            clustions.cluster(prototypes.data(), items.data(), dims, negative.data(),
                              negativeSimilarity.data(), passInfo);
        }
        benchmark::DoNotOptimize(prototypes.data());
    }
    bench::setPerElement(state, static_cast<double>(c.n) * c.k * c.m);
}

const bool kRegistered = [] {
    for (const Case c : {Case{16, 100000, 32, false}, Case{16, 100000, 32, true}, Case{16, 8000, 32, false}}) {
        const std::string base = std::string("seeding/") + (c.twoSided ? "two_sided_" : "") +
                                 "k16_n" + std::to_string(c.n) + "_m32/";
        const auto timed = [](benchmark::internal::Benchmark* b) {
            b->Unit(benchmark::kMillisecond);
        };
        timed(benchmark::RegisterBenchmark((base + "kmeans++").c_str(), seeding, c,
                                           static_cast<int>(VANTOR_SEEDING_KMEANS_PP)));
        timed(benchmark::RegisterBenchmark((base + "farthest").c_str(), seeding, c,
                                           static_cast<int>(VANTOR_SEEDING_FARTHEST)));
        timed(benchmark::RegisterBenchmark((base + "one_pass").c_str(), onePass, c));
    }
    return true;
}();

}  // namespace
