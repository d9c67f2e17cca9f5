// seed and the restarted clustering: the library's seeding, so Python picks
// the same starting prototypes as every other host for the same arguments.
#include "bindings.h"

#include "tables.h"
#include "vantor/clustering_run.h"
#include "vantor/input_policy.h"
#include "vantor/seeding.h"

namespace vantor_python {

namespace {

Table itemsOf(const InArray& items, bool allowNaN) {
    const Table table = tableOf(items, "items");
    if (table.vector) throw py::value_error("items must be two-dimensional");
    if (table.rows > kIntMax) {
        throw py::value_error("items has more rows than the library's limit of " +
                              std::to_string(kIntMax));
    }
    refuseTable(table, VANTOR_USE_CLUSTERING, "items", allowNaN);
    return table;
}

// k is checked against the candidates by the caller (check_k) before this
// allocates anything of size k; what is left to refuse is the library's own.
[[noreturn]] void refuseSeeding(int k) {
    throw py::value_error("the library refused to choose " + std::to_string(k) +
                          " seeds, or had no memory for its scratch");
}

}  // namespace

py::tuple seed(const InArray& items, int k, int rule, std::uint64_t randomSeed,
               double threshold, bool twoSided, bool allowNaN, int threads) {
    const Table table = itemsOf(items, allowNaN);
    const Vantor::Clustions clustions = clustionsOf(threshold, 1);
    const Vantor::ClusteringOptions options = optionsOf(threads);
    py::array_t<double> seeds({std::int64_t{k}, table.m});
    py::array_t<int> sourceItems(k), sourceParts(k);
    double* out = seeds.mutable_data();
    int* fromItems = sourceItems.mutable_data();
    int* fromParts = sourceParts.mutable_data();
    bool ok;
    {
        py::gil_scoped_release unlocked;
        ok = Vantor::seedPrototypes(clustions, options, rule, randomSeed, table.data, table.rows,
                                    int(table.m), twoSided, out, k, fromItems, fromParts,
                                    nullptr);
    }
    if (!ok) refuseSeeding(k);
    return py::make_tuple(seeds, sourceItems, sourceParts);
}

py::tuple clusterFromStarts(const InArray& items, int k, int rule, int restarts,
                            std::uint64_t randomSeed, double threshold, int maxPasses,
                            bool twoSided, bool allowNaN, int threads, std::int64_t memoryCap) {
    const Table table = itemsOf(items, allowNaN);
    const Vantor::Clustions clustions = clustionsOf(threshold, maxPasses);
    Vantor::ClusteringOptions options = optionsOf(threads);
    // Below 0: the library's default. 0 turns the similarity cache off, which
    // only the benchmark wants (the work of a run without it).
    if (memoryCap >= 0) options.memoryCap = memoryCap;
    const std::int64_t n = table.rows, sides = twoSided ? 2 : 1;
    py::array_t<double> prototypes({std::int64_t{k}, table.m});
    py::array_t<int> assignments({sides, n});
    py::array_t<double> similarities({sides, n});
    int* labels = assignments.mutable_data();
    double* degrees = similarities.mutable_data();
    double* seeds = prototypes.mutable_data();
    Vantor::ClusteringReport report;
    bool ok;
    {
        py::gil_scoped_release unlocked;
        ok = Vantor::runSeededClustering(clustions, options, rule, restarts, randomSeed,
                                         table.data, n, int(table.m), twoSided, seeds, k, labels,
                                         degrees, twoSided ? labels + n : nullptr,
                                         twoSided ? degrees + n : nullptr, &report);
    }
    if (!ok) refuseSeeding(k);
    return py::make_tuple(prototypes, assignments, similarities, report.converged, report.passes,
                          report.winningStart, report.totalSimilarity, report.allPasses,
                          report.evaluations);
}

py::int_ restartSeed(std::uint64_t randomSeed, int start) {
    return py::int_(Vantor::restartSeed(randomSeed, start));
}

}  // namespace vantor_python
