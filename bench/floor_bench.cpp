// The machine's floor for the library's loops, measured in the same run:
//  - add_latency: one dependent chain of long double additions, the bound of
//    any sequential sum (one addition per element and chain);
//  - add_throughput: six independent chains (x87 has eight registers), the
//    bound of the clustering scan, which makes two additions per feature;
//  - stream1 / stream2: reading one or two vectors of doubles with the
//    cheapest possible work per element, the bound on getting the inputs in.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "per_element.h"

namespace {

constexpr int kChain = 4092;  // a multiple of six, small enough for L1

// Keeps a long double result alive without constraining its register.
volatile long double gSink;

// Out of line so that the sums live in x87 registers for the whole loop
// rather than in the benchmark's frame across its calls.
__attribute__((noinline)) long double oneChain(const double* values, int n) {
    long double sum = 0.0L;
    for (int i = 0; i < n; ++i) sum += values[i];
    return sum;
}

__attribute__((noinline)) long double sixChains(const double* values, int n) {
    long double s0 = 0.0L, s1 = 0.0L, s2 = 0.0L, s3 = 0.0L, s4 = 0.0L, s5 = 0.0L;
    for (int i = 0; i + 6 <= n; i += 6) {
        s0 += values[i];
        s1 += values[i + 1];
        s2 += values[i + 2];
        s3 += values[i + 3];
        s4 += values[i + 4];
        s5 += values[i + 5];
    }
    return ((s0 + s1) + (s2 + s3)) + (s4 + s5);
}

void addLatency(benchmark::State& state) {
    const std::vector<double> values = bench::uniformValues(kChain, 0.0, 1e-3, 11);
    for (auto _ : state) gSink = oneChain(values.data(), kChain);
    bench::setPerElement(state, kChain);
}

void addThroughput(benchmark::State& state) {
    const std::vector<double> values = bench::uniformValues(kChain, 0.0, 1e-3, 12);
    for (auto _ : state) gSink = sixChains(values.data(), kChain);
    bench::setPerElement(state, kChain);
}

// OR of the bit patterns of every value: needs each element once, costs
// almost nothing per element.
std::uint64_t orOfBits(const double* p, std::size_t n) {
#if defined(__SSE2__)
    __m128i a0 = _mm_setzero_si128(), a1 = a0, a2 = a0, a3 = a0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        a0 = _mm_or_si128(a0, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        a1 = _mm_or_si128(a1, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 2)));
        a2 = _mm_or_si128(a2, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 4)));
        a3 = _mm_or_si128(a3, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 6)));
    }
    const __m128i all = _mm_or_si128(_mm_or_si128(a0, a1), _mm_or_si128(a2, a3));
    std::uint64_t lanes[2];
    std::memcpy(lanes, &all, sizeof lanes);
    std::uint64_t r = lanes[0] | lanes[1];
#else
    std::uint64_t r = 0;
    std::size_t i = 0;
#endif
    for (; i < n; ++i) {
        std::uint64_t u;
        std::memcpy(&u, p + i, sizeof u);
        r |= u;
    }
    return r;
}

void streamOne(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<double> a = bench::uniformValues(n, 0.0, 1.0, 13);
    for (auto _ : state) benchmark::DoNotOptimize(orOfBits(a.data(), n));
    bench::setPerElement(state, static_cast<double>(n));
}

void streamTwo(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<double> a = bench::uniformValues(n, 0.0, 1.0, 14);
    const std::vector<double> b = bench::uniformValues(n, 0.0, 1.0, 15);
    for (auto _ : state) {
        benchmark::DoNotOptimize(orOfBits(a.data(), n));
        benchmark::DoNotOptimize(orOfBits(b.data(), n));
    }
    bench::setPerElement(state, static_cast<double>(n));
}

}  // namespace

BENCHMARK(addLatency)->Name("floor/add_latency");
BENCHMARK(addThroughput)->Name("floor/add_throughput");
BENCHMARK(streamOne)->Name("floor/stream1")->Arg(1000)->Arg(1000000);
BENCHMARK(streamTwo)->Name("floor/stream2")->Arg(1000)->Arg(1000000);
