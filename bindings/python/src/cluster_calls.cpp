// cluster, assign and the similarity table: one Clustions per call, the
// library's run with the GIL released.
#include "bindings.h"

#include <vector>

#include "tables.h"
#include "vantor/input_policy.h"
#include "vantor/clustions.h"
#include "vantor/run_facts.h"

namespace vantor_python {

namespace {

struct Problem {
    Table items;
    Table prototypes;
};

Problem problemOf(const InArray& items, const InArray& prototypes, bool allowNaN) {
    Problem p{tableOf(items, "items"), tableOf(prototypes, "prototypes")};
    if (p.items.vector || p.prototypes.vector) {
        throw py::value_error("items and prototypes must be two-dimensional");
    }
    if (p.items.rows > kIntMax || p.prototypes.rows > kIntMax) {
        throw py::value_error("more rows than the library's limit of " + std::to_string(kIntMax));
    }
    if (p.items.m != p.prototypes.m) {
        throw py::value_error("items have " + std::to_string(p.items.m) +
                              " values per row but prototypes have " +
                              std::to_string(p.prototypes.m));
    }
    refuseTable(p.items, VANTOR_USE_CLUSTERING, "items", allowNaN);
    refuseTable(p.prototypes, VANTOR_USE_CLUSTERING, "prototypes", allowNaN);
    return p;
}

}  // namespace

Vantor::Clustions clustionsOf(double threshold, int maxPasses) {
    Vantor::Clustions clustions;
    if (!clustions.thresholds(threshold) || !clustions.setLimits(maxPasses)) {
        throw py::value_error("the library refused threshold " + shown(threshold) +
                              " or max_passes " + std::to_string(maxPasses));
    }
    return clustions;
}

py::tuple cluster(const InArray& items, py::array_t<double, py::array::c_style> prototypes,
                  double threshold, int maxPasses, bool twoSided, bool allowNaN) {
    const Problem p = problemOf(items, prototypes, allowNaN);
    Vantor::Clustions clustions = clustionsOf(threshold, maxPasses);
    int dims[3] = {static_cast<int>(p.prototypes.rows), static_cast<int>(p.items.rows),
                   static_cast<int>(p.items.m)};
    const std::int64_t n = p.items.rows;
    const std::int64_t sides = twoSided ? 2 : 1;
    py::array_t<int> assignments({sides, n});
    py::array_t<double> similarities({sides, n});
    double* seeds = prototypes.mutable_data();  // refined in place
    int* labels = assignments.mutable_data();
    double* degrees = similarities.mutable_data();
    int passInfo[2] = {0, 0};
    bool ok;
    {
        py::gil_scoped_release unlocked;
        ok = twoSided ? clustions.cluster(seeds, p.items.data, dims, labels, labels + n, degrees,
                                          degrees + n, passInfo)
                      : clustions.cluster(seeds, p.items.data, dims, labels, degrees, passInfo);
    }
    if (!ok) {
        throw py::value_error("the library refused dimensions {" + std::to_string(dims[0]) +
                              ", " + std::to_string(dims[1]) + ", " + std::to_string(dims[2]) +
                              "} or had no memory for its scratch");
    }
    return py::make_tuple(assignments, similarities, passInfo[0] == 1, passInfo[1]);
}

py::array_t<double> similarities(const InArray& items, const InArray& prototypes,
                                 double threshold, bool twoSided, bool allowNaN) {
    const Problem p = problemOf(items, prototypes, allowNaN);
    Vantor::Clustions clustions = clustionsOf(threshold, 1);
    const std::int64_t n = p.items.rows, k = p.prototypes.rows, m = p.items.m;
    const std::int64_t columns = twoSided ? 2 * k : k;
    py::array_t<double> table({n, columns});
    double* out = table.mutable_data();
    {
        py::gil_scoped_release unlocked;
        // A two-sided item is measured by its negative part and its positive
        // part, split by the library as its two-sided clustering splits them.
        std::vector<double> negative(static_cast<std::size_t>(m)), positive(negative.size());
        for (std::int64_t i = 0; i < n; ++i) {
            double* item = p.items.row(i);
            double* row = out + i * columns;
            if (!twoSided) {
                for (std::int64_t j = 0; j < k; ++j) {
                    row[j] = clustions.evalSimil(item, p.prototypes.row(j), int(m));
                }
                continue;
            }
            Vantor::splitParts(item, 1, int(m), negative.data(), positive.data());
            for (std::int64_t j = 0; j < k; ++j) {
                row[j] = clustions.evalSimil(negative.data(), p.prototypes.row(j), int(m));
                row[k + j] = clustions.evalSimil(positive.data(), p.prototypes.row(j), int(m));
            }
        }
    }
    return table;
}

}  // namespace vantor_python
