// dinorm over a vector or a table: one Dinorms from the call's arguments,
// rows looped here with the GIL released. A table gives a (3, rows) array:
// row 0 the negative aggregates, row 1 the positive ones, row 2 the combined
// degrees, each a contiguous vector.
#include "bindings.h"

#include "tables.h"
#include "vantor/dinorms.h"

namespace vantor_python {

namespace {

[[noreturn]] void refuseRow(const Table& values, std::int64_t r) {
    const std::int64_t column = firstOutside(values, r, -1.0, 1.0);
    if (column < 0) throw py::value_error("the library refused row " + std::to_string(r));
    std::string message = where(values, "values", r, column) + " = " +
                          shown(values.at(r, column)) + " lies outside [-1, 1]";
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
    refuseNaN(table, "values", allowNaN);
    const int m = static_cast<int>(table.m);
    const std::int64_t rows = table.rows;

    if (table.vector) {
        double result[3] = {0.0, 0.0, 0.0};
        bool ok;
        {
            py::gil_scoped_release unlocked;
            ok = dinorms.aggregate(m, table.row(0), result);
        }
        if (!ok) refuseRow(table, 0);
        return py::make_tuple(result[0], result[1], result[2]);
    }

    py::array_t<double> parts({std::int64_t{3}, rows});
    double* negative = parts.mutable_data();
    double* positive = negative + rows;
    double* combined = positive + rows;
    std::int64_t refused = -1;
    {
        py::gil_scoped_release unlocked;
        double result[3];
        for (std::int64_t r = 0; r < rows; ++r) {
            if (!dinorms.aggregate(m, table.row(r), result)) {
                refused = r;
                break;
            }
            negative[r] = result[0];
            positive[r] = result[1];
            combined[r] = result[2];
        }
    }
    if (refused >= 0) refuseRow(table, refused);
    return std::move(parts);
}

}  // namespace vantor_python
