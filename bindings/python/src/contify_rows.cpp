// contify over vectors and tables: one Contifiers made from the call's own
// arguments, the whole table handed to the library with the GIL released.
#include "bindings.h"

#include <cstring>
#include <utility>

#include "tables.h"
#include "vantor/contifiers.h"
#include "vantor/tables.h"

namespace vantor_python {

namespace {

// Names the value the library refused. Its report gives the row, the
// position and the value, the first vector's when both are refused; the
// vector holding those bits is the one named.
[[noreturn]] void refuseRow(const Table& a, const Table& b, const vantor_refusal& refusal) {
    const std::int64_t r = refusal.row, column = refusal.column;
    const double inA = a.at(r, column);
    const bool pickA = std::memcmp(&inA, &refusal.value, sizeof inA) == 0;
    const Table& table = pickA ? a : b;
    const char* name = pickA ? "first" : "second";
    if (refusal.reason == VANTOR_REFUSAL_NAN) refuseNaNAt(table, name, r, column);
    std::string message = where(table, name, r, column) + " = " + shown(refusal.value) +
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
    // A vector against a table stands for every row.
    if (a.vector) a.stride = 0;
    if (b.vector) b.stride = 0;
    const std::int64_t rows = a.vector ? b.rows : a.rows;
    const int m = static_cast<int>(a.m);

    py::array_t<double> degrees(rows);
    double* out = degrees.mutable_data();
    vantor_refusal refusal;
    bool ok;
    {
        py::gil_scoped_release unlocked;
        // NaN is looked for by the library, in its kernel, rather than in a
        // pass of our own over both tables; the result array is ours and
        // dropped on a refusal, so the library may write it in place.
        ok = Vantor::tables::contify(contifiers, Vantor::tables::rowMajor(a.data, a.stride),
                                     Vantor::tables::rowMajor(b.data, b.stride), rows, m, out,
                                     Vantor::tables::TableOptions{1, !allowNaN, true}, &refusal);
    }
    if (!ok) refuseRow(a, b, refusal);
    if (a.vector && b.vector) return py::float_(out[0]);
    return std::move(degrees);
}

}  // namespace vantor_python
