// The functions the _vantor module exports; the Python package around it
// resolves names, checks types and converts arrays before calling them.
#ifndef VANTOR_PYTHON_BINDINGS_H
#define VANTOR_PYTHON_BINDINGS_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>

#include "tables.h"
#include "vantor/clustions.h"

namespace vantor_python {

// A Clustions for one call; the setters' refusal (a threshold outside
// [0, 1], max_passes below 1) becomes a ValueError.
Vantor::Clustions clustionsOf(double threshold, int maxPasses);

py::object contify(const InArray& first, const InArray& second, int relation, int kernel,
                   double threshold, bool allowNaN);
py::object dinorm(const InArray& values, int aggregation, int combination, double threshold,
                  double neutralBand, bool allowNaN);
py::tuple cluster(const InArray& items, py::array_t<double, py::array::c_style> prototypes,
                  double threshold, int maxPasses, bool twoSided, bool allowNaN);
py::array_t<double> similarities(const InArray& items, const InArray& prototypes,
                                 double threshold, bool twoSided, bool allowNaN);
py::tuple seed(const InArray& items, int k, int rule, std::uint64_t randomSeed,
               double threshold, bool twoSided, bool allowNaN);
py::tuple clusterFromStarts(const InArray& items, int k, int rule, int restarts,
                            std::uint64_t randomSeed, double threshold, int maxPasses,
                            bool twoSided, bool allowNaN);
py::int_ restartSeed(std::uint64_t randomSeed, int start);

// The library's input policy: checks, mode lookup and message texts.
void definePolicy(py::module_& module);

// scan_block, fold_block and finish_pass: one pass in blocks (vantor.dask).
void defineSteps(py::module_& module);

}  // namespace vantor_python

#endif
