// con_aggregate for each of the six kernels against the literal reference, on
// two membership vectors drawn uniformly from [0, 1] with threshold 0.5, so
// that the branch on b >= a and the gate are both unpredictable.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "literal_contifiers.h"
#include "per_element.h"
#include "vantor/contifiers.h"
#include "vantor/vantor.h"

namespace {

constexpr double kThreshold = 0.5;

struct Kernel {
    const char* name;
    int relation, type;
};

const Kernel kKernels[] = {
    {"aggMutType0", 0, 0}, {"aggMutType1", 0, 1}, {"aggMutType2", 0, 2},
    {"aggDirType0", 1, 0}, {"aggDirType1", 1, 1}, {"aggDirType2", 1, 2},
};

// Several pairs of vectors side by side, each call takes the next pair.
struct Vectors {
    int count;
    std::vector<double> first, second;
    explicit Vectors(int n)
        : count(bench::distinctInputs(n)),
          first(bench::uniformValues(static_cast<std::size_t>(n) * count, 0.0, 1.0, 21)),
          second(bench::uniformValues(static_cast<std::size_t>(n) * count, 0.0, 1.0, 22)) {}
    double* firstOf(int call, int n) { return first.data() + static_cast<std::size_t>(call % count) * n; }
    double* secondOf(int call, int n) { return second.data() + static_cast<std::size_t>(call % count) * n; }
};

void library(benchmark::State& state, Kernel k) {
    int n = static_cast<int>(state.range(0));
    Vectors v(n);
    int ok = 0, two = 2, one = 1;
    int modes[2] = {k.relation, k.type};
    double threshold = kThreshold;
    con_setModes(&two, modes, &ok);
    con_setThresholds(&one, &threshold, &ok);
    double result = 0.0;
    int call = 0;
    for (auto _ : state) {
        con_aggregate(&n, v.firstOf(call, n), v.secondOf(call, n), &result, &ok);
        benchmark::DoNotOptimize(result);
        ++call;
    }
    if (ok != 1) state.SkipWithError("con_aggregate refused the input");
    bench::setPerElement(state, n);
}

void reference(benchmark::State& state, Kernel k) {
    const int n = static_cast<int>(state.range(0));
    Vectors v(n);
    Vantor::Contifiers config(kThreshold);
    config.relationMode = k.relation;
    config.typeMode = k.type;
    double result = 0.0;
    bool ok = false;
    int call = 0;
    for (auto _ : state) {
        ok = literal::conAggregate(config, n, v.firstOf(call, n), v.secondOf(call, n), &result);
        benchmark::DoNotOptimize(result);
        ++call;
    }
    if (!ok) state.SkipWithError("the literal kernel refused the input");
    bench::setPerElement(state, n);
}

const bool kRegistered = [] {
    for (const Kernel& k : kKernels) {
        const std::string base = std::string("con_aggregate/") + k.name;
        benchmark::RegisterBenchmark((base + "/lib").c_str(), library, k)->Arg(1000)->Arg(1000000);
        benchmark::RegisterBenchmark((base + "/literal").c_str(), reference, k)
            ->Arg(1000)
            ->Arg(1000000);
    }
    return true;
}();

}  // namespace
