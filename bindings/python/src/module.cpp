// The compiled core of the vantor package. Every function makes its own
// library instance from its arguments, so calls share no configuration and
// need no lock; each releases the GIL while the library computes.
#include <pybind11/pybind11.h>

#include <iterator>

#include "bindings.h"
#include "vantor/vantor.h"
#include "vantor/version.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

// The one vocabulary of mode names, as the public header spells it.
template <std::size_t N>
py::tuple namesOf(const char* const (&names)[N]) {
    py::tuple out(N);
    for (std::size_t i = 0; i < N; ++i) out[i] = py::str(names[i]);
    return out;
}

const char* const kRelations[] = VANTOR_RELATION_NAMES;
const char* const kKernels[] = VANTOR_KERNEL_NAMES;
const char* const kAggregations[] = VANTOR_AGGREGATION_NAMES;
const char* const kCombinations[] = VANTOR_COMBINATION_NAMES;
const char* const kSeedings[] = VANTOR_SEEDING_NAMES;
const char* const kParts[] = VANTOR_PART_NAMES;

}  // namespace

PYBIND11_MODULE(_vantor, module) {
    module.doc() = "libvantor compiled in; use the vantor package, which checks the arguments.";
    module.attr("RELATION_NAMES") = namesOf(kRelations);
    module.attr("KERNEL_NAMES") = namesOf(kKernels);
    module.attr("AGGREGATION_NAMES") = namesOf(kAggregations);
    module.attr("COMBINATION_NAMES") = namesOf(kCombinations);
    module.attr("SEEDING_NAMES") = namesOf(kSeedings);
    module.attr("PART_NAMES") = namesOf(kParts);
    module.attr("LIBRARY_VERSION") = py::make_tuple(VANTOR_VERSION_MAJOR, VANTOR_VERSION_MINOR,
                                                    VANTOR_VERSION_PATCH);
    module.attr("INT_MAX") = vantor_python::kIntMax;

    module.def("contify", &vantor_python::contify, "first"_a, "second"_a, "relation"_a,
               "kernel"_a, "threshold"_a, "allow_nan"_a);
    module.def("dinorm", &vantor_python::dinorm, "values"_a, "aggregation"_a, "combination"_a,
               "threshold"_a, "neutral_band"_a, "allow_nan"_a);
    module.def("cluster", &vantor_python::cluster, "items"_a, "prototypes"_a.noconvert(),
               "threshold"_a, "max_passes"_a, "two_sided"_a, "allow_nan"_a);
    module.def("similarities", &vantor_python::similarities, "items"_a, "prototypes"_a,
               "threshold"_a, "two_sided"_a, "allow_nan"_a);
    module.def("seed", &vantor_python::seed, "items"_a, "k"_a, "rule"_a, "random_seed"_a,
               "threshold"_a, "two_sided"_a, "allow_nan"_a);
    module.def("cluster_from_starts", &vantor_python::clusterFromStarts, "items"_a, "k"_a,
               "rule"_a, "restarts"_a, "random_seed"_a, "threshold"_a, "max_passes"_a,
               "two_sided"_a, "allow_nan"_a);
    module.def("restart_seed", &vantor_python::restartSeed, "random_seed"_a, "start"_a);
    vantor_python::defineSteps(module);
    vantor_python::definePolicy(module);
}
