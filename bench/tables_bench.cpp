// Tables of 200,000 rows x 20 values, the shape a host hands over: contify
// (threshold 0.3, first in second, Type1) and dinorm (threshold 0.3, each
// aggregation rule, certainty factor), in one call of vantor/tables.h, as
// the hosts looped before (aggregate row by row), and as the literal
// reference. Times per value; the floor is two additions per value at the
// adder's throughput, what four rows side by side can reach.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "literal_contifiers.h"
#include "literal_dinorms.h"
#include "per_element.h"
#include "vantor/tables.h"

namespace {

constexpr std::int64_t kRows = 200000;
constexpr int kLength = 20;
constexpr double kThreshold = 0.3;

struct Inputs {
    std::vector<double> first = bench::uniformValues(kRows * kLength, 0.0, 1.0, 71);
    std::vector<double> second = bench::uniformValues(kRows * kLength, 0.0, 1.0, 72);
    std::vector<double> signedValues = bench::uniformValues(kRows * kLength, -1.0, 1.0, 73);
};

const Inputs& inputs() {
    static const Inputs kInputs;
    return kInputs;
}

Vantor::Contifiers contifiers() {
    Vantor::Contifiers c(kThreshold);
    c.setModes(1, 1);
    return c;
}

Vantor::Dinorms dinorms(int aggregation) {
    Vantor::Dinorms d(kThreshold, 0.0);
    d.setModes(aggregation, 1);
    return d;
}

void contifyTable(benchmark::State& state) {
    const Vantor::Contifiers c = contifiers();
    std::vector<double> degrees(kRows);
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Vantor::tables::contify(c, Vantor::tables::rowMajor(inputs().first.data(), kLength),
                                Vantor::tables::rowMajor(inputs().second.data(), kLength), kRows, kLength,
                                degrees.data(), threads);
        benchmark::DoNotOptimize(degrees.data());
    }
    bench::setPerElement(state, static_cast<double>(kRows * kLength));
}

template <class Row>
void contifyRows(benchmark::State& state, Row row) {
    std::vector<double> degrees(kRows);
    for (auto _ : state) {
        for (std::int64_t r = 0; r < kRows; ++r)
            row(&inputs().first[r * kLength], &inputs().second[r * kLength], &degrees[r]);
        benchmark::DoNotOptimize(degrees.data());
    }
    bench::setPerElement(state, static_cast<double>(kRows * kLength));
}

void dinormTable(benchmark::State& state) {
    const Vantor::Dinorms d = dinorms(static_cast<int>(state.range(0)));
    std::vector<double> out(3 * kRows);
    for (auto _ : state) {
        Vantor::tables::dinorm(d, Vantor::tables::rowMajor(inputs().signedValues.data(), kLength), kRows,
                               kLength, out.data(), out.data() + kRows, out.data() + 2 * kRows);
        benchmark::DoNotOptimize(out.data());
    }
    bench::setPerElement(state, static_cast<double>(kRows * kLength));
}

template <class Row>
void dinormRows(benchmark::State& state, Row row) {
    Vantor::Dinorms d = dinorms(static_cast<int>(state.range(0)));
    std::vector<double> out(3 * kRows);
    for (auto _ : state) {
        for (std::int64_t r = 0; r < kRows; ++r) row(d, &inputs().signedValues[r * kLength], &out[3 * r]);
        benchmark::DoNotOptimize(out.data());
    }
    bench::setPerElement(state, static_cast<double>(kRows * kLength));
}

const bool kRegistered = [] {
    const auto timed = [](benchmark::internal::Benchmark* b) { return b->Unit(benchmark::kMillisecond); };
    timed(benchmark::RegisterBenchmark("tables/contify/200000x20/lib", contifyTable))->Arg(1);
    timed(benchmark::RegisterBenchmark("tables/contify/200000x20/threads2", contifyTable))->Arg(2);
    timed(benchmark::RegisterBenchmark("tables/contify/200000x20/row_loop", [](benchmark::State& s) {
        Vantor::Contifiers c = contifiers();
        contifyRows(s, [&c](const double* a, const double* b, double* out) {
            c.aggregate(kLength, const_cast<double*>(a), const_cast<double*>(b), out);
        });
    }));
    timed(benchmark::RegisterBenchmark("tables/contify/200000x20/literal", [](benchmark::State& s) {
        const Vantor::Contifiers c = contifiers();
        contifyRows(s, [&c](const double* a, const double* b, double* out) {
            literal::conAggregate(c, kLength, a, b, out);
        });
    }));
    for (int aggregation : {0, 1, 2}) {
        const std::string name = "tables/dinorm_aggType" + std::to_string(aggregation) + "/200000x20/";
        timed(benchmark::RegisterBenchmark((name + "lib").c_str(), dinormTable))->Arg(aggregation);
        timed(benchmark::RegisterBenchmark((name + "row_loop").c_str(), [](benchmark::State& s) {
            dinormRows(s, [](Vantor::Dinorms& d, const double* v, double* out) {
                d.aggregate(kLength, const_cast<double*>(v), out);
            });
        }))->Arg(aggregation);
        timed(benchmark::RegisterBenchmark((name + "literal").c_str(), [](benchmark::State& s) {
            dinormRows(s, [](Vantor::Dinorms& d, const double* v, double* out) {
                literal::dinAggregate(d, kLength, v, out);
            });
        }))->Arg(aggregation);
    }
    return true;
}();

}  // namespace
