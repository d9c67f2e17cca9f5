// dinorm: {negative, positive, combined} per row, from a Dinorms made for the
// call, so calls share no configuration and need no lock.
#include "column_rows.h"
#include "vantor/dinorms.h"
#include "vantor/tables.h"

namespace {

using vantor_r::ColumnMatrix;

// Names the value the library refused, from its report.
[[noreturn]] void refuseRow(const ColumnMatrix& x, const vantor_refusal& refusal, SEXP call) {
    if (refusal.column < 0)
        Rf_errorcall(call, "the library refused row %lld", static_cast<long long>(refusal.row + 1));
    if (refusal.reason == VANTOR_REFUSAL_NAN)
        vantor_r::refuseMissingAt(x, refusal.row, static_cast<int>(refusal.column), refusal.value, call);
    vantor_r::refuseValue(x, refusal.row, static_cast<int>(refusal.column), refusal.value,
                          "is outside [-1, 1]", call);
}

}  // namespace

// Returns a matrix of one row per row of x (one row for a vector) and the
// columns negative, positive, combined; the R wrapper names it.
extern "C" SEXP vantor_dinorm(SEXP xs, SEXP aggregation, SEXP combination, SEXP threshold,
                              SEXP neutralBand, SEXP allowNaN, SEXP call) {
    const ColumnMatrix x = vantor_r::columnMatrix(xs, "x");
    Vantor::Dinorms dinorm;
    if (!dinorm.thresholds(Rf_asReal(threshold), Rf_asReal(neutralBand)) ||
        !dinorm.setModes(Rf_asInteger(aggregation), Rf_asInteger(combination)))
        Rf_errorcall(call, "the library refused thresholds or modes");
    // NA and NaN are looked for by the library as it goes; the result is
    // dropped on a refusal, so the library may write it in place.
    const Vantor::tables::TableOptions options{1, Rf_asLogical(allowNaN) != TRUE, true};

    const std::int64_t rows = x.rows;
    SEXP out = PROTECT(Rf_allocMatrix(REALSXP, static_cast<int>(rows), 3));
    double* result = REAL(out);
    // The matrix is read where R keeps it, and the result's three columns
    // are written in place.
    vantor_refusal refusal;
    if (!Vantor::tables::dinorm(dinorm, vantor_r::tableOf(x), rows, x.cols, result, result + rows,
                                result + 2 * rows, options, &refusal)) {
        UNPROTECT(1);
        refuseRow(x, refusal, call);
    }
    UNPROTECT(1);
    return out;
}
