// contify: one degree per row, from a Contifiers made for the call, so calls
// share no configuration and need no lock.
#include <cstring>

#include "column_rows.h"
#include "vantor/contifiers.h"
#include "vantor/tables.h"

namespace {

using vantor_r::ColumnMatrix;

// Names the value the library refused: its report gives row, position and
// value (x's when both are outside [0, 1]); the matrix holding those bits is
// the one named.
[[noreturn]] void refuseRow(const ColumnMatrix& x, const ColumnMatrix& y, const vantor_refusal& refusal,
                            SEXP call) {
    const double inX = vantor_r::valueAt(x, refusal.row, static_cast<int>(refusal.column));
    const bool pickX = std::memcmp(&inX, &refusal.value, sizeof inX) == 0;
    if (refusal.reason == VANTOR_REFUSAL_NAN)
        vantor_r::refuseMissingAt(pickX ? x : y, refusal.row, static_cast<int>(refusal.column), refusal.value, call);
    vantor_r::refuseValue(pickX ? x : y, refusal.row, static_cast<int>(refusal.column), refusal.value,
                          "is outside [0, 1]", call);
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
    // NA and NaN are looked for by the library as it goes, rather than in a
    // pass of our own over both matrices; the result vector is dropped on a
    // refusal, so the library may write it in place.
    const Vantor::tables::TableOptions options{1, Rf_asLogical(allowNaN) != TRUE, true};

    const std::int64_t rows = x.broadcast ? y.rows : x.rows;
    SEXP out = PROTECT(Rf_allocVector(REALSXP, rows));
    double* result = REAL(out);
    // The matrices are read where R keeps them, column by column.
    vantor_refusal refusal;
    if (!Vantor::tables::contify(contifier, vantor_r::tableOf(x), vantor_r::tableOf(y), rows, x.cols, result,
                                 options, &refusal)) {
        UNPROTECT(1);
        refuseRow(x, y, refusal, call);
    }
    UNPROTECT(1);
    return out;
}
