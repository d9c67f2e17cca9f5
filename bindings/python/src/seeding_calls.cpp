// seed and the restarted clustering: the library's seeding, so Python picks
// the same starting prototypes as every other host for the same arguments.
#include "bindings.h"

#include "tables.h"
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
               double threshold, bool twoSided, bool allowNaN) {
    const Table table = itemsOf(items, allowNaN);
    Vantor::Clustions clustions = clustionsOf(threshold, 1);
    py::array_t<double> seeds({std::int64_t{k}, table.m});
    py::array_t<int> sourceItems(k), sourceParts(k);
    double* out = seeds.mutable_data();
    int* fromItems = sourceItems.mutable_data();
    int* fromParts = sourceParts.mutable_data();
    bool ok;
    {
        py::gil_scoped_release unlocked;
        ok = Vantor::chooseSeeds(clustions, rule, k, table.data, int(table.rows), int(table.m),
                                 twoSided, randomSeed, out, fromItems, fromParts);
    }
    if (!ok) refuseSeeding(k);
    return py::make_tuple(seeds, sourceItems, sourceParts);
}

py::tuple clusterFromStarts(const InArray& items, int k, int rule, int restarts,
                            std::uint64_t randomSeed, double threshold, int maxPasses,
                            bool twoSided, bool allowNaN) {
    const Table table = itemsOf(items, allowNaN);
    Vantor::Clustions clustions = clustionsOf(threshold, maxPasses);
    const std::int64_t n = table.rows, sides = twoSided ? 2 : 1;
    const int dims[3] = {k, int(n), int(table.m)};
    py::array_t<double> prototypes({std::int64_t{k}, table.m});
    py::array_t<int> assignments({sides, n});
    py::array_t<double> similarities({sides, n});
    int* labels = assignments.mutable_data();
    double* degrees = similarities.mutable_data();
    double* seeds = prototypes.mutable_data();
    int passInfo[2] = {0, 0};
    int winner = 0;
    double total = 0.0;
    bool ok;
    {
        py::gil_scoped_release unlocked;
        ok = Vantor::clusterFromStarts(clustions, rule, restarts, randomSeed, table.data, dims,
                                       twoSided, seeds, labels, degrees,
                                       twoSided ? labels + n : nullptr,
                                       twoSided ? degrees + n : nullptr, passInfo, &winner,
                                       &total);
    }
    if (!ok) refuseSeeding(k);
    return py::make_tuple(prototypes, assignments, similarities, passInfo[0] == 1, passInfo[1],
                          winner, total);
}

py::int_ restartSeed(std::uint64_t randomSeed, int start) {
    return py::int_(Vantor::restartSeed(randomSeed, start));
}

}  // namespace vantor_python
