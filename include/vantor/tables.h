// Contifiers and Dinorms over whole tables: one call for n rows of m values,
// with the bits of calling `aggregate` row by row and a report of the first
// refused value, so that a host neither loops over rows nor scans a refused
// table again to say where it went wrong.
//
// Why a call per table rather than per row: one row's running sums wait for
// each addition in turn, but rows are independent, so the library adds
// several rows' sums side by side and runs at the throughput of the
// extended-precision adder instead of its latency. Every row's sums still
// see exactly its own additions in index order.
//
// A table is a view of the caller's memory: value (r, c) lies at
// data[r * rowStride + c * columnStride]. So
//   - a C or numpy row-major array is {data, m, 1}, and any row stride works
//     (a numpy view, every second row, padded rows);
//   - one vector standing for every row is {data, 0, 1};
//   - an R or Fortran matrix, stored by column, is {data, 1, n}, read in
//     place without a gathering copy.
// Strides may be any 64-bit values; the caller guarantees that every value
// the view names lies in its memory.
//
// An addition to the interface: Contifiers, Dinorms and the C entries are
// unchanged. Neither function allocates more than one scratch array of one
// result per row, and neither starts a thread unless asked to.
#ifndef VANTOR_TABLES_H
#define VANTOR_TABLES_H

#include <cstdint>

#include "vantor/contifiers.h"
#include "vantor/dinorms.h"
#include "vantor/export.h"
#include "vantor/refusal.h"

namespace Vantor {
namespace tables {

struct Table {
    const double* data;
    std::int64_t rowStride;     // elements from row r to row r + 1 (0: one row for all)
    std::int64_t columnStride;  // elements from position c to c + 1 within a row
};

// Row-major rows `stride` elements apart (stride 0: one vector for every row).
inline Table rowMajor(const double* data, std::int64_t stride) { return Table{data, stride, 1}; }

// A matrix stored column by column with `rows` elements per column.
inline Table columnMajor(const double* data, std::int64_t rows) { return Table{data, 1, rows}; }

// contify: degrees[r] = what config.aggregate(m, first row r, second row r)
// gives, for r = 0 .. n-1, to the bit, whatever the modes and threshold
// (fields written directly included).
//
// dinorm: negative[r], positive[r], combined[r] = result[0], result[1],
// result[2] of config.aggregate(m, values row r, result), to the bit.
//
// `threads`: 1 runs on the calling thread; more splits the rows into that
// many contiguous ranges run at once; 0 uses every core. Every count gives
// the same bits.
//
// Success returns true and, when `refusal` is not null, sets it to
// {VANTOR_REFUSAL_NONE, -1, -1, 0.0}. A refusal returns false, writes
// nothing to the outputs and, when `refusal` is not null, says why:
//   - VANTOR_REFUSAL_OUT_OF_RANGE: the first row that `aggregate` refuses,
//     and in it the position where `aggregate` stops (for contify the first
//     position holding a value outside [0, 1] in either table, for dinorm the
//     first significant value outside [-1, 1]). `value` is the refused value;
//     for contify it is the first table's value when that one is outside
//     [0, 1], else the second's, so a host names the table by comparing bits.
//     A NaN is not refused here (aggregate passes it) unless the options
//     below ask for it. For dinorm with a threshold below 0 (a field written
//     directly) a row's aggregates can leave [-1, 0] or [0, 1], and the
//     combination refuses them as `aggregate` does: then `column` is -1 and
//     `value` 0.0.
//   - VANTOR_REFUSAL_SIZE: n < 0 or m < 0 (row and column -1).
//   - VANTOR_REFUSAL_ARGUMENT: a null data pointer or output when the call
//     would read or write it (n > 0, and m > 0 for data).
// n = 0 succeeds and writes nothing; m = 0 gives every row the result of an
// empty vector.
VANTOR_API bool contify(const Contifiers& config, Table first, Table second, std::int64_t n,
                        int m, double* degrees, int threads = 1,
                        vantor_refusal* refusal = nullptr);

VANTOR_API bool dinorm(const Dinorms& config, Table values, std::int64_t n, int m,
                       double* negative, double* positive, double* combined, int threads = 1,
                       vantor_refusal* refusal = nullptr);

// How a table call runs and what it refuses beyond what `aggregate` does.
struct TableOptions {
    int threads = 1;         // as `threads` above
    bool refuseNaN = false;  // refuse a NaN anywhere in the input
    // On a refusal the outputs may hold the results of some rows. For a
    // caller that discards them then (a host's fresh result array), this
    // saves the scratch array and its copy.
    bool partialOutputs = false;
};

// The calls above with options. With refuseNaN, a NaN is refused
// (VANTOR_REFUSAL_NAN) like any other refused value: the report names the
// first refused row, and in it the first position holding a NaN or a value
// `aggregate` refuses, whichever comes first; for contify the first table's
// value at that position when it is refused, else the second's. A host that
// refuses NaN thus needs no scan of its own: the call looks for NaN in each
// block of rows just before its kernel reads them, while they are in cache.
VANTOR_API bool contify(const Contifiers& config, Table first, Table second, std::int64_t n,
                        int m, double* degrees, const TableOptions& options,
                        vantor_refusal* refusal = nullptr);

VANTOR_API bool dinorm(const Dinorms& config, Table values, std::int64_t n, int m,
                       double* negative, double* positive, double* combined,
                       const TableOptions& options, vantor_refusal* refusal = nullptr);

}  // namespace tables
}  // namespace Vantor

#endif
