// One clustering pass taken apart into blocks, so that a host can spread the
// items of a run over threads, processes or machines and still get exactly
// the bits of Clustions::cluster. Clustions::cluster itself is built on them.
//
// A pass, for items split into blocks in any way:
//   1. scan: every block against the same prototypes (blocks are independent
//      and may run in parallel);
//   2. if any block changed something: startUpdate, then fold every block in
//      item order, one after the other, carrying only the k x m sums and the
//      k counts from block to block, then finishUpdate.
// The run stops after a pass that changed nothing, or after the pass whose
// number equals the pass limit (that pass still updates). Before the first
// pass every assignment is -1 and every similarity -1.0.
//
// Why the fold must be sequential: each prototype sum is rounded to double
// after every addition, in item order, so adding per-block subtotals would
// change the bits. The fold keeps that order across blocks; only the
// k x m sums and k counts travel between them.
//
// An addition to the interface: Clustions and the C entries are unchanged.
// No function allocates; all arrays belong to the caller. Any of them may
// run on several threads at once on disjoint arrays.
#ifndef VANTOR_CLUSTERING_STEPS_H
#define VANTOR_CLUSTERING_STEPS_H

#include <cstdint>

#include "vantor/export.h"

namespace Vantor {
namespace steps {

// Scan of `count` items (rows of m values; item j at element j*m of `items`)
// against k fixed prototypes (k*m values).
// One-sided, for each item:
//   a = assignments[j] as the visit begins. When a is not in [0, k) the item
//   is unassigned (whatever the array held): assignments[j] = -1,
//   similarities[j] = -1.0, and the item counts as a change.
//   Otherwise similarities[j] = evalSimil(item, prototype a) measured afresh.
//   Then every other prototype p from 0 up: if evalSimil(item, prototype p) >
//   similarities[j] (strictly; NaN never wins), the item moves to p and counts
//   as a change.
// Two-sided: each item is split into its negative part (magnitudes of its
// negative values) and its positive part (its positive values; zero and NaN
// go to neither), and each part is scanned on its own as above: the negative
// part with assignments/similarities, the positive part with posAssignments/
// posSimilarities. `workspace` holds 2*m doubles the scan may overwrite.
// One-sided, posAssignments, posSimilarities and workspace are ignored (may
// be null); two-sided, workspace is not read when m <= 0 (may then be null).
// evalSimil is that of a Clustions whose threshold is `threshold`.
// *changed = whether any item (or part) of the block was unassigned or moved.
// False, with nothing written: k <= 0, `changed` null, or an array the block
// needs is null (the per-item arrays when count > 0; prototypes and items
// when also m > 0). count <= 0 scans nothing (*changed = false).
// m <= 0: every similarity is 0.0, so no prototype row is read.
VANTOR_API bool scan(double threshold, bool twoSided, const double* items, std::int64_t count,
                     int m, const double* prototypes, int k, int* assignments,
                     double* similarities, int* posAssignments, double* posSimilarities,
                     bool* changed, double* workspace);

// Starts the running update of one pass: counts[0 .. k-1] = 0. The sums are
// not touched: a row of `sums` is set to +0.0 by the fold when its first
// member arrives, and a row without members is never read. So `sums` may be
// the prototype array itself (that is how Clustions::cluster updates in
// place) or any k*m array of the caller's.
// False, with nothing written: k <= 0 or counts null.
VANTOR_API bool startUpdate(int k, std::int64_t* counts);

// Folds `count` items, in order, into the running update.
// One-sided, for each item whose assignment a is in [0, k) (anything else is
// unassigned and skipped):
//   counts[a] += 1; on the first member, row a of `sums` = +0.0;
//   sums[a][l] = items[j][l] + sums[a][l] for every l, rounded to double;
//   when both are NaN, the item's NaN is kept.
// Two-sided: for each item in order, its negative part into the row of
// assignments[j], then its positive part into the row of posAssignments[j];
// each assigned part counts once (an item whose parts share a prototype
// counts twice there). One-sided, posAssignments is ignored (may be null).
// Folding blocks one after the other gives the same sums, to the bit, as
// folding all items at once.
// False, with nothing written: k <= 0, counts null, an assignment array null
// when count > 0, items or sums null when count > 0 and m > 0; and counts
// that no fold can come from: a negative counts[p], or one that this block
// could carry past INT64_MAX (counts[p] > INT64_MAX - count, or - 2*count
// two-sided), which would wrap around instead of counting.
VANTOR_API bool fold(bool twoSided, const double* items, std::int64_t count, int m,
                     const int* assignments, const int* posAssignments, int k, double* sums,
                     std::int64_t* counts);

// Ends the update: for each p with counts[p] > 0 and each l,
//   prototypes[p][l] = sums[p][l] / counts[p]   (one division, to double);
// a prototype without members (counts[p] <= 0, a negative count included)
// keeps its values. `sums` may be `prototypes`.
// False, with nothing written: k <= 0, counts null, or sums or prototypes
// null when m > 0.
VANTOR_API bool finishUpdate(const double* sums, const std::int64_t* counts, int k, int m,
                             double* prototypes);

}  // namespace steps
}  // namespace Vantor

#endif
