// Rows of an R matrix for the library. R stores a matrix by column, the
// library reads one contiguous row at a time, so rows are copied out in
// blocks: each column of a block is read in order (the cache-friendly
// direction) and scattered into a small row-major buffer.
#ifndef VANTOR_COLUMN_ROWS_H
#define VANTOR_COLUMN_ROWS_H

#include "r_api.h"

namespace vantor_r {

// A numeric argument seen as rows. A plain vector is one row that stands for
// every row of the result ("broadcast"); a matrix has its own rows.
struct ColumnMatrix {
    const double* data;
    std::int64_t rows;
    int cols;
    bool broadcast;
    const char* name;  // the argument's name, for messages
};

// Reads the shape of a double vector or matrix; raises an R error for
// anything else (the R wrappers convert before calling).
ColumnMatrix columnMatrix(SEXP x, const char* name);

// Copies rows [first, first + count) into `out`, row after row, cols values
// each. A broadcast vector is copied once, into the first row of `out`.
void gatherRows(const ColumnMatrix& x, std::int64_t first, std::int64_t count, double* out);

// How many rows a block holds: enough to amortise the column walks, few
// enough for the buffers to stay in the caches, and at least one however
// long a row is.
std::int64_t blockRows(int cols);

// Scratch for one block of rows of x (one row for a broadcast vector),
// R_alloc'd: R reclaims it, also after an error.
double* blockBuffer(const ColumnMatrix& x, std::int64_t rowsPerBlock);

// Raises `x: NaN at row 3, column 2` (or NA; "element 2" for a vector) for
// the first NaN or NA in row order. The common case, no NaN at all, is one
// branch-free pass down the columns.
void refuseMissing(const ColumnMatrix& x, SEXP call);

// Raises `x: value 1.5 at row 3, column 2 ` followed by `verdict` (such as
// "is outside [0, 1]").
[[noreturn]] void refuseValue(const ColumnMatrix& x, std::int64_t row, int col, double value,
                              const char* verdict, SEXP call);

// The position of a value in messages: "row 3, column 2" or "element 2".
void describePosition(const ColumnMatrix& x, std::int64_t row, int col, char* out,
                      std::size_t size);

// A double as a message shows it: the shortest of %.15g / %.17g that reads
// back exactly, and Inf, -Inf, NaN, NA as R prints them.
void describeValue(double value, char* out, std::size_t size);

}  // namespace vantor_r

#endif
