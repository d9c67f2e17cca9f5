// Shared conventions of the benchmarks: every figure is a time per element
// (per position, or per item x prototype x feature for clustering) in the
// counter "per_elem", so the summary can set it against the machine's floor.
#ifndef VANTOR_BENCH_PER_ELEMENT_H
#define VANTOR_BENCH_PER_ELEMENT_H

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace bench {

// Reports the time per element, for `elements` elements per iteration.
inline void setPerElement(benchmark::State& state, double elements) {
    state.counters["per_elem"] = benchmark::Counter(
        elements, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// n values drawn uniformly from [lo, hi) with a fixed seed.
inline std::vector<double> uniformValues(std::size_t n, double lo, double hi, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> dist(lo, hi);
    std::vector<double> v(n);
    for (double& x : v) x = dist(rng);
    return v;
}

// How many distinct inputs a benchmark of n elements cycles through: enough
// that small inputs cannot be learnt by the branch predictor over the
// iterations (a host rarely aggregates the same vector twice), one when the
// input alone exceeds the caches.
inline int distinctInputs(std::int64_t n) { return n >= 100000 ? 1 : 64; }

}  // namespace bench

#endif
