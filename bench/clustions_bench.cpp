// Clustions: evalSimil per feature, both clustering methods per item (or
// part) x prototype x feature against the literal reference, the scaling of
// clu_cluster over n and m, and the bytes a clustering call allocates.
// Items are drawn uniformly from [0, 1] (one-sided) or [-1, 1] (two-sided),
// the prototypes are seeded with the first k items, threshold 0.25, so the
// gate and the choice of the larger value are unpredictable.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "literal_clustions.h"
#include "per_element.h"
#include "vantor/clustions.h"
#include "vantor/vantor.h"

namespace {

constexpr double kThreshold = 0.25;

struct Problem {
    int k, n, m, passes;
    bool signedItems;
    // The shapes of the kernel report: threshold 0.1, one-sided items on
    // [-0.1, 1] (their negative values clamp to 0), seeds uniform on [0, 1].
    bool lowThreshold = false;
};

double thresholdOf(const Problem& p) { return p.lowThreshold ? 0.1 : kThreshold; }

// The items of the last problem asked for, kept between the calls that the
// benchmark library makes for one figure (the largest set is 400 MB).
const std::vector<double>& itemsOf(const Problem& p) {
    static std::vector<double> items;
    static std::int64_t key = -1;
    const std::int64_t wanted =
        ((static_cast<std::int64_t>(p.n) * 4096 + p.m) * 2 + p.signedItems) * 2 + p.lowThreshold;
    if (key != wanted) {
        const double low = p.signedItems ? -1.0 : (p.lowThreshold ? -0.1 : 0.0);
        items = bench::uniformValues(static_cast<std::size_t>(p.n) * p.m, low, 1.0, 41 + p.m);
        key = wanted;
    }
    return items;
}

std::vector<double> seedsOf(const Problem& p, const std::vector<double>& items) {
    if (p.lowThreshold) return bench::uniformValues(static_cast<std::size_t>(p.k) * p.m, 0.0, 1.0, 43);
    std::vector<double> seeds(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(p.k) * p.m);
    for (double& x : seeds) x = std::fabs(x);
    return seeds;
}

// Runs one clustering call per iteration (the prototypes reset to their
// seeds first) with `call`, and reports time per item (or part) x prototype
// x feature and bytes allocated per call.
template <class Call>
void clusterLoop(benchmark::State& state, const Problem& p, Call call) {
    const std::vector<double>& items = itemsOf(p);
    const std::vector<double> seeds = seedsOf(p, items);
    std::vector<double> prototypes = seeds;
    std::vector<int> negAssignments(p.n), posAssignments(p.n);
    std::vector<double> negSimilarities(p.n), posSimilarities(p.n);
    int dims[3] = {p.k, p.n, p.m};
    int passInfo[2] = {0, 0};
    std::size_t bytes = 0;
    for (auto _ : state) {
        prototypes = seeds;
        const std::size_t before = bench::bytesAllocated();
        call(prototypes.data(), items.data(), dims, negAssignments.data(), posAssignments.data(),
             negSimilarities.data(), posSimilarities.data(), passInfo);
        bytes += bench::bytesAllocated() - before;
        benchmark::DoNotOptimize(prototypes.data());
    }
    const double parts = p.signedItems ? 2.0 : 1.0;
    bench::setPerElement(state, static_cast<double>(passInfo[1]) * parts * p.n * p.k * p.m);
    state.counters["passes"] = passInfo[1];
    state.counters["bytes_per_call"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
}

void setLibraryConfiguration(const Problem& p) {
    int one = 1, ok = 0, passes = p.passes;
    double threshold = thresholdOf(p);
    clu_setThresholds(&one, &threshold, &ok);
    clu_setLimits(&one, &passes, &ok);
}

Vantor::Clustions literalConfiguration(const Problem& p) {
    Vantor::Clustions c(thresholdOf(p));
    c.iterationLimit = p.passes;
    return c;
}

void oneSidedLibrary(benchmark::State& state, Problem p) {
    setLibraryConfiguration(p);
    clusterLoop(state, p, [](double* protos, const double* items, int* dims, int* assignments, int*,
                             double* similarities, double*, int* passInfo) {
        int ok = 0;
        clu_cluster(protos, const_cast<double*>(items), dims, assignments, similarities, passInfo, &ok);
    });
}

void oneSidedLiteral(benchmark::State& state, Problem p) {
    const Vantor::Clustions c = literalConfiguration(p);
    clusterLoop(state, p, [&c](double* protos, const double* items, int* dims, int* assignments, int*,
                               double* similarities, double*, int* passInfo) {
        literal::cluster(c, protos, items, dims, assignments, similarities, passInfo);
    });
}

void twoSidedLibrary(benchmark::State& state, Problem p) {
    setLibraryConfiguration(p);
    clusterLoop(state, p, [](double* protos, const double* items, int* dims, int* neg, int* pos,
                             double* negSim, double* posSim, int* passInfo) {
        int ok = 0;
        clu_cluster2(protos, const_cast<double*>(items), dims, neg, pos, negSim, posSim, passInfo, &ok);
    });
}

void twoSidedLiteral(benchmark::State& state, Problem p) {
    const Vantor::Clustions c = literalConfiguration(p);
    clusterLoop(state, p, [&c](double* protos, const double* items, int* dims, int* neg, int* pos,
                               double* negSim, double* posSim, int* passInfo) {
        literal::cluster(c, protos, items, dims, neg, pos, negSim, posSim, passInfo);
    });
}

// evalSimil on one pair of vectors at a time, several pairs in turn.
template <class Similarity>
void similarityLoop(benchmark::State& state, Similarity similarity) {
    const int m = static_cast<int>(state.range(0));
    const int count = bench::distinctInputs(m);
    const std::vector<double> first = bench::uniformValues(static_cast<std::size_t>(m) * count, 0.0, 1.0, 51);
    const std::vector<double> second = bench::uniformValues(static_cast<std::size_t>(m) * count, 0.0, 1.0, 52);
    int call = 0;
    for (auto _ : state) {
        const std::size_t at = static_cast<std::size_t>(call++ % count) * m;
        benchmark::DoNotOptimize(similarity(first.data() + at, second.data() + at, m));
    }
    bench::setPerElement(state, m);
}

void similarityLibrary(benchmark::State& state) {
    Vantor::Clustions c(kThreshold);
    similarityLoop(state, [&c](const double* a, const double* b, int m) {
        return c.evalSimil(const_cast<double*>(a), const_cast<double*>(b), m);
    });
}

void similarityLiteral(benchmark::State& state) {
    const Vantor::Clustions c(kThreshold);
    similarityLoop(state, [&c](const double* a, const double* b, int m) { return literal::evalSimil(c, a, b, m); });
}

constexpr int kPasses = 3;

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("evalSimil/lib", similarityLibrary)->Arg(1000)->Arg(1000000);
    benchmark::RegisterBenchmark("evalSimil/literal", similarityLiteral)->Arg(1000)->Arg(1000000);

    const Problem whole{16, 20000, 32, kPasses, false};
    const Problem parts{16, 20000, 32, kPasses, true};
    const auto timed = [](benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond); };
    timed(benchmark::RegisterBenchmark("clu_cluster/k16_n20000_m32/lib", oneSidedLibrary, whole));
    timed(benchmark::RegisterBenchmark("clu_cluster/k16_n20000_m32/literal", oneSidedLiteral, whole));
    timed(benchmark::RegisterBenchmark("clu_cluster2/k16_n20000_m32/lib", twoSidedLibrary, parts));
    timed(benchmark::RegisterBenchmark("clu_cluster2/k16_n20000_m32/literal", twoSidedLiteral, parts));

    // The kernel report's shapes: 10 passes, threshold 0.1, m = 32 and 8.
    for (int m : {32, 8}) {
        const std::string shape = "/t01_k16_n20000_m" + std::to_string(m);
        const Problem whole10{16, 20000, m, 10, false, true};
        const Problem parts10{16, 20000, m, 10, true, true};
        timed(benchmark::RegisterBenchmark(("clu_cluster" + shape + "/lib").c_str(), oneSidedLibrary, whole10));
        timed(benchmark::RegisterBenchmark(("clu_cluster" + shape + "/literal").c_str(), oneSidedLiteral, whole10));
        timed(benchmark::RegisterBenchmark(("clu_cluster2" + shape + "/lib").c_str(), twoSidedLibrary, parts10));
        timed(benchmark::RegisterBenchmark(("clu_cluster2" + shape + "/literal").c_str(), twoSidedLiteral, parts10));
    }

    // Scaling: one pass over n items of m features against 16 prototypes.
    for (int n : {1000, 10000, 100000}) {
        for (int m : {8, 64, 512}) {
            const std::string name =
                "clu_cluster_scaling/n" + std::to_string(n) + "_m" + std::to_string(m) + "/lib";
            timed(benchmark::RegisterBenchmark(name.c_str(), oneSidedLibrary, Problem{16, n, m, 1, false}));
        }
    }
    return true;
}();

}  // namespace
