// Whole clustering runs: Clustions::cluster from k-means++ seeds against the
// runs of vantor/clustering_run.h from the same seeds, on one and two
// threads, with the similarity cache on and off; and ten seeded restarts.
// The data are clustered (16 centres plus noise), as real runs see them:
// most passes then move a handful of items, which is where the cache pays.
// Each figure also reports the passes and similarity evaluations it made.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "per_element.h"
#include "vantor/clustering_run.h"
#include "vantor/seeding.h"

namespace {

constexpr int kK = 16, kM = 32, kCentres = 16;

// n items around kCentres centres uniform in [0, 1], noise of +-0.15.
const std::vector<double>& clusteredItems(int n) {
    static std::vector<double> items;
    static int made = -1;
    if (made != n) {
        const std::vector<double> centres =
            bench::uniformValues(static_cast<std::size_t>(kCentres) * kM, 0.0, 1.0, 7);
        const std::vector<double> noise =
            bench::uniformValues(static_cast<std::size_t>(n) * kM, -0.15, 0.15, 11);
        items.resize(static_cast<std::size_t>(n) * kM);
        for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j) {
            for (std::size_t i = 0; i < kM; ++i) {
                items[j * kM + i] = centres[(j % kCentres) * kM + i] + noise[j * kM + i];
            }
        }
        made = n;
    }
    return items;
}

std::vector<double> seedsFor(const std::vector<double>& items, int n) {
    Vantor::Clustions clustions;
    std::vector<double> seeds(static_cast<std::size_t>(kK) * kM);
    Vantor::chooseSeeds(clustions, VANTOR_SEEDING_KMEANS_PP, kK, items.data(), n, kM, false, 3,
                        seeds.data(), nullptr, nullptr);
    return seeds;
}

void counters(benchmark::State& state, std::int64_t passes, std::int64_t evaluations) {
    state.counters["passes"] = static_cast<double>(passes);
    state.counters["evaluations"] = static_cast<double>(evaluations);
}

// Today's whole run: Clustions::cluster from the seeds.
void byCluster(benchmark::State& state, int n) {
    std::vector<double> items = clusteredItems(n);
    const std::vector<double> seeds = seedsFor(items, n);
    Vantor::Clustions clustions;
    std::vector<double> prototypes;
    std::vector<int> assignments(n);
    std::vector<double> similarities(n);
    int dims[3] = {kK, n, kM};
    int passInfo[2] = {0, 0};
    for (auto _ : state) {
        prototypes = seeds;
        clustions.cluster(prototypes.data(), items.data(), dims, assignments.data(),
                          similarities.data(), passInfo);
        benchmark::DoNotOptimize(prototypes.data());
    }
    counters(state, passInfo[1], std::int64_t{passInfo[1]} * kK * n);
}

void byRun(benchmark::State& state, int n, int threads, bool cache) {
    const std::vector<double>& items = clusteredItems(n);
    const std::vector<double> seeds = seedsFor(items, n);
    const Vantor::Clustions clustions;
    Vantor::ClusteringOptions options;
    options.threads = threads;
    if (!cache) options.memoryCap = 0;
    std::vector<double> prototypes;
    std::vector<int> assignments(n);
    std::vector<double> similarities(n);
    Vantor::ClusteringReport report;
    for (auto _ : state) {
        prototypes = seeds;
        if (!Vantor::runClustering(clustions, options, items.data(), n, kM, false,
                                   prototypes.data(), kK, assignments.data(), similarities.data(),
                                   nullptr, nullptr, &report)) {
            state.SkipWithError("run refused");
        }
        benchmark::DoNotOptimize(prototypes.data());
    }
    counters(state, report.passes, report.evaluations);
}

// Ten k-means++ starts, the best kept: the restarts run side by side.
void restarts(benchmark::State& state, int n, int threads, bool cache) {
    const std::vector<double>& items = clusteredItems(n);
    const Vantor::Clustions clustions;
    Vantor::ClusteringOptions options;
    options.threads = threads;
    if (!cache) options.memoryCap = 0;
    std::vector<double> prototypes(static_cast<std::size_t>(kK) * kM);
    std::vector<int> assignments(n);
    std::vector<double> similarities(n);
    Vantor::ClusteringReport report;
    for (auto _ : state) {
        if (!Vantor::runSeededClustering(clustions, options, VANTOR_SEEDING_KMEANS_PP, 10, 1,
                                         items.data(), n, kM, false, prototypes.data(), kK,
                                         assignments.data(), similarities.data(), nullptr,
                                         nullptr, &report)) {
            state.SkipWithError("run refused");
        }
        benchmark::DoNotOptimize(prototypes.data());
    }
    counters(state, report.allPasses, report.evaluations);
}

const bool kRegistered = [] {
    const auto timed = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    for (int n : {50000, 100000}) {
        const std::string base = "run/k16_n" + std::to_string(n) + "_m32/";
        timed(benchmark::RegisterBenchmark((base + "cluster").c_str(), byCluster, n));
        for (int threads : {1, 2}) {
            for (bool cache : {false, true}) {
                const std::string name = base + "threads" + std::to_string(threads) +
                                         (cache ? "_cache" : "_nocache");
                timed(benchmark::RegisterBenchmark(name.c_str(), byRun, n, threads, cache));
            }
        }
    }
    for (int threads : {1, 2}) {
        for (bool cache : {false, true}) {
            const std::string name = "run/k16_n50000_m32/10_starts_threads" +
                                     std::to_string(threads) + (cache ? "_cache" : "_nocache");
            timed(benchmark::RegisterBenchmark(name.c_str(), restarts, 50000, threads, cache));
        }
    }
    return true;
}();

}  // namespace
