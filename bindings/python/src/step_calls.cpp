// The blocks of one clustering pass (vantor/clustering_steps.h) for hosts
// that spread a run over workers (vantor.dask). Each function leaves its
// arguments as they are and returns new arrays: a task that a scheduler runs
// again, after a worker was lost, must find its inputs unchanged.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "bindings.h"
#include "tables.h"
#include "vantor/input_policy.h"
#include "vantor/clustering_steps.h"

namespace vantor_python {

namespace {

using namespace pybind11::literals;

using Labels = py::array_t<int, py::array::c_style | py::array::forcecast>;
using Degrees = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Counts = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>;

// A block of items: rows of m values, with the row number its first row has
// in the whole array, so that messages name rows as the caller counts them.
// The scan checks the values (the fold reads the same block after it).
Table blockOf(const InArray& items, std::int64_t m, std::int64_t firstRow, bool checkValues,
              bool allowNaN) {
    const Table block = tableOf(items, "items");
    if (block.vector) throw py::value_error("items must be two-dimensional");
    if (block.m != m) {
        throw py::value_error("items have " + std::to_string(block.m) +
                              " values per row but prototypes have " + std::to_string(m));
    }
    if (checkValues) refuseTable(block, VANTOR_USE_CLUSTERING, "items", allowNaN, firstRow);
    return block;
}

Table prototypesOf(const InArray& prototypes) {
    const Table table = tableOf(prototypes, "prototypes");
    if (table.vector || table.rows < 1 || table.rows > kIntMax || table.m < 1) {
        throw py::value_error("prototypes must hold 1 to " + std::to_string(kIntMax) +
                              " rows of at least one value");
    }
    return table;
}

// One row per side (one-sided: 1, two-sided: 2) of `rows` values.
void requireShape(const py::array& a, std::int64_t sides, std::int64_t rows, const char* name) {
    if (a.ndim() != 2 || a.shape(0) != sides || a.shape(1) != rows) {
        throw py::value_error(std::string(name) + " must have shape (" + std::to_string(sides) +
                              ", " + std::to_string(rows) + ")");
    }
}

void requireThreshold(double threshold) {
    if (!(threshold >= 0.0 && threshold <= 1.0)) {
        throw py::value_error("threshold must be a number in [0, 1], got " + shown(threshold));
    }
}

}  // namespace

// Scans one block against fixed prototypes from the block's state after the
// last pass (None before the first pass: every part unassigned). Returns the
// new state (assignments, similarities), one row per side, and whether any
// part of the block was unassigned or moved.
py::tuple scanBlock(const InArray& items, const InArray& prototypes, py::object assignments,
                    py::object similarities, double threshold, bool twoSided, bool allowNaN,
                    std::int64_t firstRow) {
    requireThreshold(threshold);
    const Table seeds = prototypesOf(prototypes);
    const Table block = blockOf(items, seeds.m, firstRow, true, allowNaN);
    const std::int64_t sides = twoSided ? 2 : 1, n = block.rows;
    Labels labels({sides, n});
    Degrees degrees({sides, n});
    if (assignments.is_none() != similarities.is_none()) {
        throw py::value_error("give both assignments and similarities, or neither");
    }
    if (assignments.is_none()) {
        std::fill_n(labels.mutable_data(), sides * n, -1);
        std::fill_n(degrees.mutable_data(), sides * n, -1.0);
    } else {
        const Labels given = Labels::ensure(assignments);
        const Degrees measured = Degrees::ensure(similarities);
        if (!given || !measured) throw py::value_error("assignments or similarities unreadable");
        requireShape(given, sides, n, "assignments");
        requireShape(measured, sides, n, "similarities");
        std::copy_n(given.data(), sides * n, labels.mutable_data());
        std::copy_n(measured.data(), sides * n, degrees.mutable_data());
    }
    int* a = labels.mutable_data();
    double* s = degrees.mutable_data();
    const int k = static_cast<int>(seeds.rows), m = static_cast<int>(seeds.m);
    bool changed = false, ok;
    {
        py::gil_scoped_release unlocked;
        std::vector<double> workspace(twoSided ? 2 * static_cast<std::size_t>(m) : 0);
        ok = Vantor::steps::scan(threshold, twoSided, block.data, n, m, seeds.data, k, a, s,
                                 twoSided ? a + n : nullptr, twoSided ? s + n : nullptr,
                                 &changed, workspace.data());
    }
    if (!ok) throw py::value_error("the library refused the block");
    return py::make_tuple(labels, degrees, changed);
}

// Folds one block, in item order, into the running sums (k, m) and counts
// (k,) of a pass, and returns the new sums and counts.
py::tuple foldBlock(const InArray& items, const Labels& assignments, const InArray& sums,
                    const Counts& counts, bool twoSided) {
    const Table running = prototypesOf(sums);
    const Table block = blockOf(items, running.m, 0, false, true);
    const std::int64_t sides = twoSided ? 2 : 1, n = block.rows, k = running.rows;
    requireShape(assignments, sides, n, "assignments");
    if (counts.ndim() != 1 || counts.shape(0) != k) {
        throw py::value_error("counts must have shape (" + std::to_string(k) + ",)");
    }
    Degrees newSums({k, running.m});
    Counts newCounts(k);
    std::copy_n(running.data, k * running.m, newSums.mutable_data());
    std::copy_n(counts.data(), k, newCounts.mutable_data());
    const int* a = assignments.data();
    bool ok;
    {
        py::gil_scoped_release unlocked;
        const int kk = static_cast<int>(k), m = static_cast<int>(running.m);
        ok = Vantor::steps::fold(twoSided, block.data, n, m, a, twoSided ? a + n : nullptr, kk,
                                 newSums.mutable_data(), newCounts.mutable_data());
    }
    if (!ok) throw py::value_error("the library refused the block");
    return py::make_tuple(newSums, newCounts);
}

// The prototypes after a pass: the mean of each one's members, and the old
// values where a prototype has none.
py::array_t<double> finishPass(const InArray& sums, const Counts& counts,
                               const InArray& prototypes) {
    const Table running = prototypesOf(sums);
    const Table seeds = prototypesOf(prototypes);
    if (seeds.rows != running.rows || seeds.m != running.m || counts.ndim() != 1 ||
        counts.shape(0) != seeds.rows) {
        throw py::value_error("sums, counts and prototypes do not fit together");
    }
    py::array_t<double> out({seeds.rows, seeds.m});
    std::copy_n(seeds.data, seeds.rows * seeds.m, out.mutable_data());
    if (!Vantor::steps::finishUpdate(running.data, counts.data(), static_cast<int>(seeds.rows),
                                     static_cast<int>(seeds.m), out.mutable_data())) {
        throw py::value_error("the library refused the update");
    }
    return out;
}

// The values check of cluster and seed, for tables the Python layer holds
// (Dask's prototypes), so that every clustering path refuses alike.
void checkClusteringValues(const InArray& table, const char* name, bool allowNaN) {
    refuseTable(tableOf(table, name), VANTOR_USE_CLUSTERING, name, allowNaN);
}

void defineSteps(py::module_& module) {
    module.def("check_clustering_values", &checkClusteringValues, "table"_a, "name"_a,
               "allow_nan"_a);
    module.def("scan_block", &scanBlock, "items"_a, "prototypes"_a, "assignments"_a,
               "similarities"_a, "threshold"_a, "two_sided"_a, "allow_nan"_a, "first_row"_a);
    module.def("fold_block", &foldBlock, "items"_a, "assignments"_a, "sums"_a, "counts"_a,
               "two_sided"_a);
    module.def("finish_pass", &finishPass, "sums"_a, "counts"_a, "prototypes"_a);
}

}  // namespace vantor_python
