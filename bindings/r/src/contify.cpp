// contify: one degree per row, from a Contifiers made for the call, so calls
// share no configuration and need no lock.
#include <algorithm>

#include "column_rows.h"
#include "vantor/contifiers.h"

namespace {

using vantor_r::ColumnMatrix;

// Names the value that made the library refuse a row: it checks position by
// position, the first vector's value before the second's, for [0, 1].
[[noreturn]] void refuseRow(const ColumnMatrix& x, const double* xRow, const ColumnMatrix& y,
                            const double* yRow, std::int64_t row, SEXP call) {
    for (int c = 0; c < x.cols; ++c) {
        if (xRow[c] < 0 || xRow[c] > 1)
            vantor_r::refuseValue(x, row, c, xRow[c], "is outside [0, 1]", call);
        if (yRow[c] < 0 || yRow[c] > 1)
            vantor_r::refuseValue(y, row, c, yRow[c], "is outside [0, 1]", call);
    }
    Rf_errorcall(call, "the library refused row %lld", static_cast<long long>(row + 1));
}

}  // namespace

extern "C" SEXP vantor_contify(SEXP xs, SEXP ys, SEXP relation, SEXP kernel, SEXP threshold,
                               SEXP allowNaN, SEXP call) {
    const ColumnMatrix x = vantor_r::columnMatrix(xs, "x");
    const ColumnMatrix y = vantor_r::columnMatrix(ys, "y");
    if (x.broadcast && y.broadcast && x.cols != y.cols)
        Rf_errorcall(call, "x has %d values but y has %d", x.cols, y.cols);
    if (x.cols != y.cols) Rf_errorcall(call, "x has %d columns but y has %d", x.cols, y.cols);
    if (!x.broadcast && !y.broadcast && x.rows != y.rows)
        Rf_errorcall(call, "x has %lld rows but y has %lld", static_cast<long long>(x.rows),
                     static_cast<long long>(y.rows));

    Vantor::Contifiers contifier;
    if (!contifier.thresholds(Rf_asReal(threshold)) ||
        !contifier.setModes(Rf_asInteger(relation), Rf_asInteger(kernel)))
        Rf_errorcall(call, "the library refused threshold or modes");
    if (Rf_asLogical(allowNaN) != TRUE) {
        vantor_r::refuseMissing(x, call);
        vantor_r::refuseMissing(y, call);
    }

    const std::int64_t rows = x.broadcast ? y.rows : x.rows;
    SEXP out = PROTECT(Rf_allocVector(REALSXP, rows));
    double* result = REAL(out);
    const std::int64_t perBlock = vantor_r::blockRows(x.cols);
    double* xBlock = vantor_r::blockBuffer(x, perBlock);
    double* yBlock = vantor_r::blockBuffer(y, perBlock);
    // A broadcast vector is read once.
    if (x.broadcast) vantor_r::gatherRows(x, 0, 1, xBlock);
    if (y.broadcast) vantor_r::gatherRows(y, 0, 1, yBlock);

    for (std::int64_t first = 0; first < rows; first += perBlock) {
        const std::int64_t count = std::min(perBlock, rows - first);
        if (!x.broadcast) vantor_r::gatherRows(x, first, count, xBlock);
        if (!y.broadcast) vantor_r::gatherRows(y, first, count, yBlock);
        for (std::int64_t i = 0; i < count; ++i) {
            double* xRow = x.broadcast ? xBlock : xBlock + i * x.cols;
            double* yRow = y.broadcast ? yBlock : yBlock + i * y.cols;
            if (!contifier.aggregate(x.cols, xRow, yRow, result + first + i))
                refuseRow(x, xRow, y, yRow, first + i, call);
        }
    }
    UNPROTECT(1);
    return out;
}
