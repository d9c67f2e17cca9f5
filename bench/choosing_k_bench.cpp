// The scan over k against the clusterings it runs, in the same run: scanK
// for k = 2..20 (n = 50,000 items of m = 32, ten k-means++ starts, every
// core) should cost no more than 1.2x the 19 runSeededClustering calls it
// makes, measured here one after the other with the same arguments. A
// program of its own (vantor_bench_choosing_k): each figure takes minutes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "vantor/choosing_k.h"
#include "vantor/clustering_run.h"

namespace {

constexpr int kN = 50000, kM = 32, kFirst = 2, kLast = 20, kStarts = 10;

// Twelve groups, each high on a few features of its own, over a low noise
// floor: data with structure, so runs converge as they would on real tables.
const std::vector<double>& groupedItems() {
    static const std::vector<double> items = [] {
        std::mt19937_64 rng(20);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<double> v(static_cast<std::size_t>(kN) * kM);
        for (int j = 0; j < kN; ++j) {
            const int group = j % 12;
            for (int f = 0; f < kM; ++f) {
                const bool own = f / 3 == group || (f + 5) % 12 == group;
                v[static_cast<std::size_t>(j) * kM + f] =
                    own ? 0.5 + 0.5 * unit(rng) : 0.3 * unit(rng);
            }
        }
        return v;
    }();
    return items;
}

void scan(benchmark::State& state) {
    const std::vector<double>& items = groupedItems();
    Vantor::KScanOptions options;
    options.restarts = kStarts;
    options.threads = 0;
    std::vector<Vantor::KScanRow> rows(kLast - kFirst + 1);
    int suggested = 0;
    for (auto _ : state) {
        if (!Vantor::scanK(Vantor::Clustions(), options, items.data(), kN, kM, kFirst, kLast,
                           rows.data(), nullptr, &suggested)) {
            state.SkipWithError("scan refused");
        }
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["suggested_k"] = suggested;
}

void clusterings(benchmark::State& state) {
    const std::vector<double>& items = groupedItems();
    Vantor::ClusteringOptions options;
    options.threads = 0;
    std::vector<double> prototypes(static_cast<std::size_t>(kLast) * kM);
    std::vector<int> assignments(kN);
    std::vector<double> similarities(kN);
    for (auto _ : state) {
        for (int k = kFirst; k <= kLast; ++k) {
            Vantor::ClusteringReport report;
            if (!Vantor::runSeededClustering(Vantor::Clustions(), options,
                                             VANTOR_SEEDING_KMEANS_PP, kStarts, 0, items.data(),
                                             kN, kM, false, prototypes.data(), k,
                                             assignments.data(), similarities.data(), nullptr,
                                             nullptr, &report)) {
                state.SkipWithError("clustering refused");
            }
        }
        benchmark::DoNotOptimize(prototypes.data());
    }
}

}  // namespace

BENCHMARK(scan)->Name("choosing_k/scan_k2_20")->Unit(benchmark::kSecond)->UseRealTime()
    ->Iterations(1);
BENCHMARK(clusterings)->Name("choosing_k/clusterings_k2_20")->Unit(benchmark::kSecond)
    ->UseRealTime()->Iterations(1);
