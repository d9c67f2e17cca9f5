// dinorm: {negative, positive, combined} per row, from a Dinorms made for the
// call, so calls share no configuration and need no lock.
#include <algorithm>

#include "column_rows.h"
#include "vantor/dinorms.h"

namespace {

using vantor_r::ColumnMatrix;

// Names the value that made the library refuse a row. With a threshold in
// [0, 1] every value outside [-1, 1] is significant, and the library stops
// at the first one in index order.
[[noreturn]] void refuseRow(const ColumnMatrix& x, const double* row, std::int64_t index,
                            SEXP call) {
    for (int c = 0; c < x.cols; ++c)
        if (row[c] < -1 || row[c] > 1)
            vantor_r::refuseValue(x, index, c, row[c], "is outside [-1, 1]", call);
    Rf_errorcall(call, "the library refused row %lld", static_cast<long long>(index + 1));
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
    if (Rf_asLogical(allowNaN) != TRUE) vantor_r::refuseMissing(x, call);

    const std::int64_t rows = x.rows;
    SEXP out = PROTECT(Rf_allocMatrix(REALSXP, static_cast<int>(rows), 3));
    double* result = REAL(out);
    const std::int64_t perBlock = vantor_r::blockRows(x.cols);
    double* block = vantor_r::blockBuffer(x, perBlock);
    for (std::int64_t first = 0; first < rows; first += perBlock) {
        const std::int64_t count = x.broadcast ? 1 : std::min(perBlock, rows - first);
        vantor_r::gatherRows(x, first, count, block);
        for (std::int64_t i = 0; i < count; ++i) {
            double* row = block + i * x.cols;
            double three[3];
            if (!dinorm.aggregate(x.cols, row, three)) refuseRow(x, row, first + i, call);
            const std::int64_t r = first + i;
            result[r] = three[0];
            result[r + rows] = three[1];
            result[r + 2 * rows] = three[2];
        }
    }
    UNPROTECT(1);
    return out;
}
