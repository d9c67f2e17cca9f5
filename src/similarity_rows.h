// The similarity of one vector x against up to four rows at once:
//     sum(min(x_i, y_i)) / sum(max(x_i, y_i))
// after zeroing the positions where x_i and y_i both lie below the threshold
// and then clamping negative values to 0; both sums in extended precision, in index
// order, one division. Each result is exactly what evalSimil gives for x and
// that row.
//
// Why it is written this way: the literal loop spends most of its time on
// mispredicted branches (the gate, the clamps and the choice of the larger
// value), and a single similarity is bound by the latency of its additions.
// So the features go through two stages, interleaved block by block:
//  1. without branches, two features at a time (four where the processor
//     has AVX2, see wide_lanes.h) and for every row, apply gate and clamp
//     and pick the larger and the smaller value;
//  2. add them to the rows' sums: eight independent extended sums for
//     four rows, more than the latency of one addition needs to keep the x87
//     adder busy every cycle, and exactly its eight registers (the additions
//     take their second operand from memory, so no register is spare or
//     needed; the optimiser keeps all eight sums in registers).
// Only the bookkeeping changes: every sum sees the same additions in the same
// order as the literal loop, so every bit of every similarity is the same.
#ifndef VANTOR_SRC_SIMILARITY_ROWS_H
#define VANTOR_SRC_SIMILARITY_ROWS_H

#include <cstdint>

#include "extended.h"
#include "lanes.h"
#include "wide_lanes.h"

namespace Vantor {
namespace simil {

constexpr int kMaxRows = 4;

namespace base {
namespace ln = ::Vantor::lanes;
#include "similarity_rows.inc"
}  // namespace base

#if VANTOR_WIDE_LANES
VANTOR_WIDE_BEGIN
namespace wide {
namespace ln = ::Vantor::quad;
#include "similarity_rows.inc"
}  // namespace wide
VANTOR_WIDE_END
#endif

// Similarities of x against rows[0 .. Rows-1] over m features, into out.
template <int Rows>
void against(double threshold, const double* x, const double* const* rows, std::int64_t m,
             double* out) {
#if VANTOR_WIDE_LANES
    if (lanes::kWide) {
        wide::against<Rows>(threshold, x, rows, m, out);
        return;
    }
#endif
    base::against<Rows>(threshold, x, rows, m, out);
}

}  // namespace simil
}  // namespace Vantor

#endif
