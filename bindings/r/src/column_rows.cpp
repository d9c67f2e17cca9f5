#include "column_rows.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vantor_r {

ColumnMatrix columnMatrix(SEXP x, const char* name) {
    if (TYPEOF(x) != REALSXP) Rf_error("%s must be a double vector or matrix", name);
    ColumnMatrix view{REAL(x), 1, 0, true, name};
    SEXP dim = Rf_getAttrib(x, R_DimSymbol);
    if (dim == R_NilValue) {
        const R_xlen_t length = XLENGTH(x);
        if (length > INT_MAX)
            Rf_error("%s has %lld values, more than a row may hold (%d)", name,
                     static_cast<long long>(length), INT_MAX);
        view.cols = static_cast<int>(length);
        return view;
    }
    if (LENGTH(dim) != 2) Rf_error("%s must be a vector or a two-dimensional matrix", name);
    view.rows = INTEGER(dim)[0];
    view.cols = INTEGER(dim)[1];
    view.broadcast = false;
    return view;
}

void gatherRows(const ColumnMatrix& x, std::int64_t first, std::int64_t count, double* out) {
    if (x.broadcast) {
        if (x.cols > 0) std::memcpy(out, x.data, sizeof(double) * static_cast<std::size_t>(x.cols));
        return;
    }
    for (int c = 0; c < x.cols; ++c) {
        const double* column = x.data + static_cast<std::int64_t>(c) * x.rows + first;
        double* slot = out + c;
        for (std::int64_t i = 0; i < count; ++i, slot += x.cols) *slot = column[i];
    }
}

void describePosition(const ColumnMatrix& x, std::int64_t row, int col, char* out,
                      std::size_t size) {
    if (x.broadcast)
        std::snprintf(out, size, "element %d", col + 1);
    else
        std::snprintf(out, size, "row %lld, column %d", static_cast<long long>(row + 1), col + 1);
}

void describeValue(double value, char* out, std::size_t size) {
    if (R_IsNA(value)) {
        std::snprintf(out, size, "NA");
    } else if (std::isnan(value)) {
        std::snprintf(out, size, "NaN");
    } else if (std::isinf(value)) {
        std::snprintf(out, size, value > 0 ? "Inf" : "-Inf");
    } else {
        std::snprintf(out, size, "%.15g", value);
        if (std::strtod(out, nullptr) != value) std::snprintf(out, size, "%.17g", value);
    }
}

void refuseMissingAt(const ColumnMatrix& x, std::int64_t row, int col, double value, SEXP call) {
    char where[64];
    describePosition(x, row, col, where, sizeof where);
    Rf_errorcall(call, "%s: %s at %s", x.name, R_IsNA(value) ? "NA" : "NaN", where);
}

void refuseValue(const ColumnMatrix& x, std::int64_t row, int col, double value,
                 const char* verdict, SEXP call) {
    char where[64], shown[40];
    describePosition(x, row, col, where, sizeof where);
    describeValue(value, shown, sizeof shown);
    Rf_errorcall(call, "%s: value %s at %s %s", x.name, shown, where, verdict);
}

}  // namespace vantor_r
