// Where the time of the software extended type goes: the operations the
// kernels chain, each in one dependent chain as a sum runs, on the x87 unit
// and on SoftExtended side by side (the software type is header-only, so
// both run in every build):
//  - add: sum += v, the whole of evalSimil and the clustering scan;
//  - mul_add: sum += a * b, the Contifiers product kernels;
//  - prob_sum: a = a + (v - a * v), the probabilistic sum of Dinorms;
//  - divide_store: one quotient rounded to double, once per call.
#include <benchmark/benchmark.h>

#include <vector>

#include "extended.h"
#include "per_element.h"

namespace {

constexpr int kChain = 4096;

template <class T>
volatile double gSink;

template <class T>
__attribute__((noinline)) double addChain(const double* v, int n) {
    T sum = 0.0;
    for (int i = 0; i < n; ++i) sum += v[i];
    return static_cast<double>(sum);
}

template <class T>
__attribute__((noinline)) double mulAddChain(const double* a, const double* b, int n) {
    T sum = 0.0;
    for (int i = 0; i < n; ++i) sum += static_cast<T>(a[i]) * static_cast<T>(b[i]);
    return static_cast<double>(sum);
}

template <class T>
__attribute__((noinline)) double probSumChain(const double* v, int n) {
    T a = 0.0;
    for (int i = 0; i < n; ++i) a = a + (v[i] - a * v[i]);
    return static_cast<double>(a);
}

template <class T>
__attribute__((noinline)) double divideStore(const double* a, const double* b, int n) {
    double last = 0.0;
    for (int i = 0; i < n; ++i) last = static_cast<double>((static_cast<T>(a[i]) + last) / static_cast<T>(b[i]));
    return last;
}

template <class T>
void add(benchmark::State& state) {
    const std::vector<double> v = bench::uniformValues(kChain, 0.0, 1e-3, 21);
    for (auto _ : state) gSink<T> = addChain<T>(v.data(), kChain);
    bench::setPerElement(state, kChain);
}

template <class T>
void mulAdd(benchmark::State& state) {
    const std::vector<double> a = bench::uniformValues(kChain, 0.0, 1.0, 22);
    const std::vector<double> b = bench::uniformValues(kChain, 0.0, 1.0, 23);
    for (auto _ : state) gSink<T> = mulAddChain<T>(a.data(), b.data(), kChain);
    bench::setPerElement(state, kChain);
}

template <class T>
void probSum(benchmark::State& state) {
    const std::vector<double> v = bench::uniformValues(kChain, 0.0, 1e-3, 24);
    for (auto _ : state) gSink<T> = probSumChain<T>(v.data(), kChain);
    bench::setPerElement(state, kChain);
}

template <class T>
void divide(benchmark::State& state) {
    const std::vector<double> a = bench::uniformValues(kChain, 0.0, 1.0, 25);
    const std::vector<double> b = bench::uniformValues(kChain, 0.5, 1.0, 26);
    for (auto _ : state) gSink<T> = divideStore<T>(a.data(), b.data(), kChain);
    bench::setPerElement(state, kChain);
}

#if VANTOR_X87_LONG_DOUBLE
BENCHMARK_TEMPLATE(add, long double)->Name("extended_ops/add/x87");
BENCHMARK_TEMPLATE(mulAdd, long double)->Name("extended_ops/mul_add/x87");
BENCHMARK_TEMPLATE(probSum, long double)->Name("extended_ops/prob_sum/x87");
BENCHMARK_TEMPLATE(divide, long double)->Name("extended_ops/divide_store/x87");
#endif
BENCHMARK_TEMPLATE(add, Vantor::SoftExtended)->Name("extended_ops/add/soft");
BENCHMARK_TEMPLATE(mulAdd, Vantor::SoftExtended)->Name("extended_ops/mul_add/soft");
BENCHMARK_TEMPLATE(probSum, Vantor::SoftExtended)->Name("extended_ops/prob_sum/soft");
BENCHMARK_TEMPLATE(divide, Vantor::SoftExtended)->Name("extended_ops/divide_store/soft");

}  // namespace
