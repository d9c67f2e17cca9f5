// The library's input policy (vantor/input_policy.h) for the Python layer:
// the checks and the words of every refusal come from the library, so the
// package refuses what the tool, Dask and R refuse, in the same words.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <iterator>
#include <string>

#include "bindings.h"
#include "tables.h"
#include "vantor/input_policy.h"
#include "vantor/run_facts.h"

namespace vantor_python {

namespace {

using namespace pybind11::literals;

// A text of the library's, asked for twice: once for its length.
template <class Fill>
std::string textOf(Fill fill) {
    std::string text(fill(nullptr, 0), '\0');
    fill(&text[0], text.size() + 1);
    return text;
}

std::string message(int kind, const std::string& name, const std::string& value, int family,
                    std::int64_t low, std::int64_t high) {
    return textOf([&](char* buffer, std::size_t capacity) {
        return vantor_message_text(kind, name.c_str(), value.c_str(), family, low, high, buffer,
                                   capacity);
    });
}

std::string refusalText(const vantor_refusal& report, int use, const char* name,
                        std::int64_t candidates, bool twoSided) {
    // Python counts rows and columns from 0.
    return textOf([&](char* buffer, std::size_t capacity) {
        return vantor_refusal_text(&report, use, name, 0, candidates, twoSided, buffer, capacity);
    });
}

// A message about a place only (a masked value), rows and columns as Python
// counts them.
std::string placeText(int kind, const std::string& name, std::int64_t row, std::int64_t column) {
    return textOf([&](char* buffer, std::size_t capacity) {
        return vantor_place_text(kind, name.c_str(), row, column, buffer, capacity);
    });
}

int modeNumber(int family, const std::string& text) {
    return vantor_mode_number(family, text.data(), text.size());
}

std::string formatDouble(double value) {
    return textOf([&](char* buffer, std::size_t capacity) {
        return vantor_format_double(value, buffer, capacity);
    });
}

// k against the candidates among items, before anything of size k exists.
void checkK(const InArray& items, std::int64_t k, bool twoSided, const std::string& name) {
    const Table table = tableOf(items, "items");
    std::int64_t candidates = 0;
    {
        py::gil_scoped_release unlocked;
        candidates = Vantor::countCandidates(twoSided, table.data, table.rows,
                                             static_cast<int>(table.m));
    }
    vantor_refusal report;
    if (!vantor_check_k(k, candidates, &report)) {
        throw py::value_error(refusalText(report, VANTOR_USE_CLUSTERING, name.c_str(), candidates,
                                          twoSided));
    }
}

}  // namespace

void refuseTable(const Table& table, int use, const char* name, bool allowNaN,
                 std::int64_t firstRow) {
    vantor_refusal report;
    bool ok;
    {
        py::gil_scoped_release unlocked;
        ok = vantor_check_table(use, table.data, table.rows, table.m, table.stride, 1, allowNaN,
                                &report) != 0;
    }
    if (ok) return;
    if (report.row >= 0) report.row += firstRow;  // a block names rows as its array counts them
    throw py::value_error(refusalText(report, use, name, 0, false));
}

double totalSimilarity(const py::array_t<double, py::array::c_style>& similarities,
                       const py::array_t<int, py::array::c_style>& assignments) {
    if (similarities.ndim() != 2 || assignments.ndim() != 2 ||
        similarities.shape(0) != assignments.shape(0) ||
        similarities.shape(1) != assignments.shape(1) || similarities.shape(0) < 1 ||
        similarities.shape(0) > 2) {
        throw py::value_error("similarities and assignments must both have shape (sides, n)");
    }
    const bool twoSided = similarities.shape(0) == 2;
    const std::int64_t n = similarities.shape(1);
    const double* s = similarities.data();
    const int* a = assignments.data();
    double total = 0.0;
    if (!Vantor::totalSimilarity(twoSided, a, s, twoSided ? a + n : nullptr,
                                 twoSided ? s + n : nullptr, n, &total)) {
        throw py::value_error("the library refused the run's assignments");
    }
    return total;
}

void definePolicy(py::module_& module) {
    module.def("message", &message, "kind"_a, "name"_a, "value"_a = "", "family"_a = -1,
               "low"_a = 0, "high"_a = 0);
    module.def("place_text", &placeText, "kind"_a, "name"_a, "row"_a, "column"_a);
    module.def("mode_number", &modeNumber, "family"_a, "text"_a);
    module.def("format_double", &formatDouble, "value"_a);
    module.def("check_k", &checkK, "items"_a, "k"_a, "two_sided"_a, "name"_a);
    module.def("total_similarity", &totalSimilarity, "similarities"_a, "assignments"_a);
    const std::pair<const char*, int> constants[] = {
        {"MESSAGE_WHOLE_NUMBER", VANTOR_MESSAGE_WHOLE_NUMBER},
        {"MESSAGE_SEED", VANTOR_MESSAGE_SEED},
        {"MESSAGE_MODE", VANTOR_MESSAGE_MODE},
        {"MESSAGE_THRESHOLD", VANTOR_MESSAGE_THRESHOLD},
        {"MESSAGE_NOT_A_DOUBLE", VANTOR_MESSAGE_NOT_A_DOUBLE},
        {"MESSAGE_NOT_REAL", VANTOR_MESSAGE_NOT_REAL},
        {"MESSAGE_MASKED", VANTOR_MESSAGE_MASKED},
        {"MESSAGE_EMPTY", VANTOR_MESSAGE_EMPTY},
        {"MESSAGE_TOO_LARGE", VANTOR_MESSAGE_TOO_LARGE},
        {"MODES_RELATION", VANTOR_MODES_RELATION},
        {"MODES_KERNEL", VANTOR_MODES_KERNEL},
        {"MODES_AGGREGATION", VANTOR_MODES_AGGREGATION},
        {"MODES_COMBINATION", VANTOR_MODES_COMBINATION},
        {"MODES_SEEDING", VANTOR_MODES_SEEDING},
    };
    for (const auto& constant : constants) module.attr(constant.first) = constant.second;
}

}  // namespace vantor_python
