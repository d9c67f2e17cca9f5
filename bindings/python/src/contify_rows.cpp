// contify over vectors and tables: one Contifiers made from the call's own
// arguments, the rows looped here with the GIL released.
#include "bindings.h"

#include <utility>

#include "tables.h"
#include "vantor/contifiers.h"

namespace vantor_python {

namespace {

// The kernel stops at the first position holding a value outside [0, 1];
// name that position, in whichever vector it is (first wins a shared column).
[[noreturn]] void refuseRow(const Table& a, const Table& b, std::int64_t r) {
    const std::int64_t inA = firstOutside(a, r, 0.0, 1.0);
    const std::int64_t inB = firstOutside(b, r, 0.0, 1.0);
    const bool pickA = inA >= 0 && (inB < 0 || inA <= inB);
    const Table& table = pickA ? a : b;
    const char* name = pickA ? "first" : "second";
    const std::int64_t column = pickA ? inA : inB;
    if (column < 0) throw py::value_error("the library refused row " + std::to_string(r));
    std::string message = where(table, name, r, column) + " = " + shown(table.at(r, column)) +
                          " lies outside [0, 1]";
    if (!table.vector) {
        message += " (row " + std::to_string(r) + ", column " + std::to_string(column) + ")";
    }
    throw py::value_error(message);
}

}  // namespace

py::object contify(const InArray& first, const InArray& second, int relation, int kernel,
                   double threshold, bool allowNaN) {
    Vantor::Contifiers contifiers;
    if (!contifiers.thresholds(threshold) || !contifiers.setModes(relation, kernel)) {
        throw py::value_error("the library refused threshold " + shown(threshold) +
                              ", relation " + std::to_string(relation) + ", kernel " +
                              std::to_string(kernel));
    }
    Table a = tableOf(first, "first");
    Table b = tableOf(second, "second");
    if (a.m != b.m || (!a.vector && !b.vector && a.rows != b.rows)) {
        throw py::value_error("first and second do not match in shape");
    }
    refuseNaN(a, "first", allowNaN);
    refuseNaN(b, "second", allowNaN);
    // A vector against a table stands for every row.
    if (a.vector) a.stride = 0;
    if (b.vector) b.stride = 0;
    const std::int64_t rows = a.vector ? b.rows : a.rows;
    const int m = static_cast<int>(a.m);

    py::array_t<double> degrees(rows);
    double* out = degrees.mutable_data();
    std::int64_t refused = -1;
    {
        py::gil_scoped_release unlocked;
        for (std::int64_t r = 0; r < rows; ++r) {
            if (!contifiers.aggregate(m, a.row(r), b.row(r), out + r)) {
                refused = r;
                break;
            }
        }
    }
    if (refused >= 0) refuseRow(a, b, refused);
    if (a.vector && b.vector) return py::float_(out[0]);
    return std::move(degrees);
}

}  // namespace vantor_python
