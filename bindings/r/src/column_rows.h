// Rows of an R matrix for the library. R stores a matrix by column, the
// library reads one contiguous row at a time, so rows are copied out in
// blocks: each column of a block is read in order (the cache-friendly
// direction) and scattered into a small row-major buffer.
#ifndef VANTOR_COLUMN_ROWS_H
#define VANTOR_COLUMN_ROWS_H

#include "r_api.h"
#include "vantor/tables.h"

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

// x as the library's tables see it: read in place, by column, or one vector
// for every row.
inline Vantor::tables::Table tableOf(const ColumnMatrix& x) {
    return x.broadcast ? Vantor::tables::rowMajor(x.data, 0) : Vantor::tables::columnMajor(x.data, x.rows);
}

// Value (row, col) of x (of its one vector when broadcast).
inline double valueAt(const ColumnMatrix& x, std::int64_t row, int col) {
    return x.broadcast ? x.data[col] : x.data[row + static_cast<std::int64_t>(col) * x.rows];
}

// Raises `x: NaN at row 3, column 2` (or NA; "element 2" for a vector) for
// the NaN or NA `value` the library found at (row, col).
[[noreturn]] void refuseMissingAt(const ColumnMatrix& x, std::int64_t row, int col, double value,
                                  SEXP call);

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
