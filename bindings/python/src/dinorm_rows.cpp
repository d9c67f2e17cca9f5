// dinorm over a vector or a table: one Dinorms from the call's arguments,
// the whole table handed to the library with the GIL released. A table gives a (3, rows) array:
// row 0 the negative aggregates, row 1 the positive ones, row 2 the combined
// degrees, each a contiguous vector.
#include "bindings.h"

#include "tables.h"
#include "vantor/dinorms.h"
#include "vantor/tables.h"

namespace vantor_python {

namespace {

// Names the value the library refused, from its report.
[[noreturn]] void refuseRow(const Table& values, const vantor_refusal& refusal) {
    const std::int64_t r = refusal.row, column = refusal.column;
    if (column < 0) throw py::value_error("the library refused row " + std::to_string(r));
    if (refusal.reason == VANTOR_REFUSAL_NAN) refuseNaNAt(values, "values", r, column);
    std::string message = where(values, "values", r, column) + " = " + shown(refusal.value) +
                          " lies outside [-1, 1]";
    if (!values.vector) {
        message += " (row " + std::to_string(r) + ", column " + std::to_string(column) + ")";
    }
    throw py::value_error(message);
}

}  // namespace

py::object dinorm(const InArray& values, int aggregation, int combination, double threshold,
                  double neutralBand, bool allowNaN) {
    Vantor::Dinorms dinorms;
    if (!dinorms.thresholds(threshold, neutralBand) ||
        !dinorms.setModes(aggregation, combination)) {
        throw py::value_error("the library refused threshold " + shown(threshold) +
                              ", neutral_band " + shown(neutralBand) + ", aggregation " +
                              std::to_string(aggregation) + ", combination " +
                              std::to_string(combination));
    }
    const Table table = tableOf(values, "values");
    const int m = static_cast<int>(table.m);
    const std::int64_t rows = table.rows;

    // A vector gives one row of each; a table a (3, rows) array.
    py::array_t<double> parts({std::int64_t{3}, rows});
    double* negative = parts.mutable_data();
    vantor_refusal refusal;
    bool ok;
    {
        py::gil_scoped_release unlocked;
        // NaN is refused by the library (allowNaN aside); the parts array is
        // dropped on a refusal, so it may be written in place.
        ok = Vantor::tables::dinorm(dinorms, Vantor::tables::rowMajor(table.data, table.stride), rows, m,
                                    negative, negative + rows, negative + 2 * rows,
                                    Vantor::tables::TableOptions{1, !allowNaN, true}, &refusal);
    }
    if (!ok) refuseRow(table, refusal);
    if (table.vector) return py::make_tuple(negative[0], negative[1], negative[2]);
    return std::move(parts);
}

}  // namespace vantor_python
