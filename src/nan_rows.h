// Where the first NaN of a block of table rows lies, for the table calls
// that refuse NaN themselves (TableOptions::refuseNaN).
//
// Why here and not in the hosts: a host that looks for NaN before the call
// reads the whole table once more from memory, which on a table of short
// rows costs as much as the kernel itself. The table calls look at a block
// of rows just before the kernel reads it, while the block is in cache.
#ifndef VANTOR_SRC_NAN_ROWS_H
#define VANTOR_SRC_NAN_ROWS_H

#include <cstdint>

#include "table_rows.h"

namespace Vantor {
namespace rows {

// The first row of [begin, end) holding a NaN among its m values, or end.
inline std::int64_t firstNaNRow(const View& t, std::int64_t begin, std::int64_t end, int m) {
    if (begin >= end || m <= 0) return end;
    if (t.rowStride == 0) return nanPosition(t, begin, m) >= 0 ? begin : end;
    if (t.columnStride == 1) {
        for (std::int64_t r = begin; r < end; ++r) {
            if (anyNaN(t.data + r * t.rowStride, m)) return r;
        }
        return end;
    }
    if (t.rowStride == 1) {
        // Stored by column: each column's rows are adjacent. A column only
        // needs looking at above the first NaN row found so far.
        constexpr std::int64_t kStep = 16;
        std::int64_t first = end;
        for (int c = 0; c < m; ++c) {
            const double* column = t.data + static_cast<std::int64_t>(c) * t.columnStride;
            for (std::int64_t r = begin; r < first; r += kStep) {
                const std::int64_t count = first - r < kStep ? first - r : kStep;
                if (!anyNaN(column + r, count)) continue;
                while (column[r] == column[r]) ++r;
                first = r;
                break;
            }
        }
        return first;
    }
    for (std::int64_t r = begin; r < end; ++r) {
        if (nanPosition(t, r, m) >= 0) return r;
    }
    return end;
}

}  // namespace rows
}  // namespace Vantor

#endif
