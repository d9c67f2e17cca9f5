// din_aggregate for each aggregation rule against the literal reference, on
// signed vectors drawn uniformly from [-1, 1] with threshold 0.25, so that
// each value is negative, positive or insignificant at random. The
// combination rule (certainty factor) runs once per call.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "literal_dinorms.h"
#include "per_element.h"
#include "vantor/dinorms.h"
#include "vantor/vantor.h"

namespace {

constexpr double kThreshold = 0.25;
constexpr double kNeutralBand = 0.1;
constexpr int kCombination = 1;

const struct {
    const char* name;
    int mode;
} kRules[] = {{"aggType0", 0}, {"aggType1", 1}, {"aggType2", 2}};

struct Vectors {
    int count;
    std::vector<double> values;
    explicit Vectors(int n)
        : count(bench::distinctInputs(n)),
          values(bench::uniformValues(static_cast<std::size_t>(n) * count, -1.0, 1.0, 31)) {}
    double* of(int call, int n) { return values.data() + static_cast<std::size_t>(call % count) * n; }
};

void library(benchmark::State& state, int mode) {
    int n = static_cast<int>(state.range(0));
    Vectors v(n);
    int ok = 0, two = 2;
    int modes[2] = {mode, kCombination};
    double thresholds[2] = {kThreshold, kNeutralBand};
    din_setModes(&two, modes, &ok);
    din_setThresholds(&two, thresholds, &ok);
    double result[3];
    int call = 0;
    for (auto _ : state) {
        din_aggregate(&n, v.of(call++, n), result, &ok);
        benchmark::DoNotOptimize(result);
    }
    if (ok != 1) state.SkipWithError("din_aggregate refused the input");
    bench::setPerElement(state, n);
}

void reference(benchmark::State& state, int mode) {
    const int n = static_cast<int>(state.range(0));
    Vectors v(n);
    Vantor::Dinorms config(kThreshold, kNeutralBand);
    config.aggMode = mode;
    config.cmbMode = kCombination;
    double result[3];
    bool ok = false;
    int call = 0;
    for (auto _ : state) {
        ok = literal::dinAggregate(config, n, v.of(call++, n), result);
        benchmark::DoNotOptimize(result);
    }
    if (!ok) state.SkipWithError("the literal kernel refused the input");
    bench::setPerElement(state, n);
}

const bool kRegistered = [] {
    for (const auto& rule : kRules) {
        const std::string base = std::string("din_aggregate/") + rule.name;
        benchmark::RegisterBenchmark((base + "/lib").c_str(), library, rule.mode)->Arg(1000)->Arg(1000000);
        benchmark::RegisterBenchmark((base + "/literal").c_str(), reference, rule.mode)
            ->Arg(1000)
            ->Arg(1000000);
    }
    return true;
}();

}  // namespace
