/* libvantor C entries: the interface for hosts that call plain C functions
 * and pass every argument by reference (ctypes, FFIs, Fortran-style callers).
 *
 * Conventions shared by all sixteen entries:
 *  - every argument is a pointer; a single value is a one-element array;
 *  - the last argument `ok` receives 1 on success and 0 on failure;
 *  - a null `ok` makes the entry do nothing at all (it could not report);
 *    a null count or dimension array is a failure (ok = 0);
 *  - each family works on one process-wide default instance (reached through
 *    Vantor::con, Vantor::din, Vantor::clu in C++), whose configuration
 *    persists between calls. Call each family from one thread at a time.
 *
 * Setter entries take an exact count `n` (1 or 2) and refuse any other
 * without reading the value array, leaving the configuration unchanged; a
 * null value array is refused too, and so is a setter with any value out of
 * range (nothing is then stored). Getter entries take `n` as the capacity of
 * `out` and leave `out` untouched when they refuse (also for a null `out`).
 *
 * Bad input, common to all sixteen: no entry crashes, throws, or writes
 * outside the lengths stated below, and ok = 1 is never written for a call
 * that did not do what it says. A short array (fewer elements than the count
 * or dimensions say) cannot be detected from C: the library reads and writes
 * exactly the stated number of elements, never one more, so the caller makes
 * every array at least that long. Only output arrays are written, never a
 * count, `dims` or an input vector.
 *
 * A NaN threshold is accepted by the setters (both range comparisons are
 * false for NaN) and means: Contifiers gate nothing in (every degree is 0.0);
 * Dinorms find nothing significant (every result is {0, 0, 0}, even for
 * values outside [-1, 1]); Clustions gate nothing out (the same as 0.0). A
 * NaN neutral band makes no sum neutral. Hosts refuse a NaN threshold.
 *
 * Modes leave their ranges only when a C++ caller writes the fields
 * directly; a mode out of range then selects kernel or rule 0, and a
 * Contifiers relation other than 0 and 1 selects second in first.
 * This header compiles as C and as C++. */
#ifndef VANTOR_VANTOR_H
#define VANTOR_VANTOR_H

#include "vantor/export.h"
#include "vantor/modes.h"
#include "vantor/version.h"

/* The mode constants and their names live in vantor/modes.h. */

/* The pass limit (Clustions::iterationLimit, clu_setLimits) is called "max
 * passes" by every host: --max-passes, max_passes=, and in R iter.max after
 * stats::kmeans. The library accepts a NaN threshold (it gates nothing);
 * every host refuses one, and NaN in data unless asked to keep it. */

/* C++ callers who use the classes include their headers
 * (vantor/contifiers.h, vantor/dinorms.h, vantor/clustions.h); this header
 * declares only the C entries and the modes. */
#ifdef __cplusplus
extern "C" {
#endif

/* ---- What the compute entries read, and overlapping arrays --------------
 * Reading: con_aggregate, din_aggregate, clu_cluster and clu_cluster2 read
 * their arrays only within the lengths the call declares (n values; k*m and
 * n*m for the clustering). Within them they may read ahead: a call refused
 * for a value out of range may already have read values after it. The
 * caller promised that many values, so nothing outside them is touched.
 * Overlap: no output array may share memory with an input array or with
 * another output (prototypes is in and out at once, and shares with nothing
 * else). A call with overlapping arrays still returns and still writes only
 * within the declared lengths, but the numbers it gives are unspecified:
 * con_aggregate, for one, zeroes result before it reads first and second. */

/* ---- Contifiers: two membership vectors in [0, 1] -> one degree ---------- */

/* con_setThresholds - n = 1; values[0] in [0, 1] (NaN accepted, -0.0 kept as
 * -0.0); a value below 0 or above 1, infinities included, is refused. */
VANTOR_API void con_setThresholds(int *n, double *values, int *ok);
/* con_getThresholds - n = capacity: any non-zero value, negative ones too
 * (out must still hold 1 element); out[0] = threshold. */
VANTOR_API void con_getThresholds(int *n, double *out, int *ok);
/* con_setModes - n = 2; modes = {relation 0 mutual | 1 first in second |
 * 2 second in first, kernel type 0..2}. Defaults {1, 1}. */
VANTOR_API void con_setModes(int *n, int *modes, int *ok);
/* con_getModes - n = capacity (>= 2); out = {relation, type}. */
VANTOR_API void con_getModes(int *n, int *out, int *ok);
/* con_aggregate - degree of agreement or inclusion of two membership vectors.
 *   n              in   1 int: length of first and second (<= 0: empty, degree 0)
 *   first, second  in   n doubles each, every value in [0, 1]
 *   result         out  1 double: the degree; 0.0 when a value was out of range,
 *                       untouched when first or second is null; must not lie
 *                       inside first or second
 *   ok             out  1 for success, 0 when refused
 * A null result is refused. A value outside [0, 1] refuses the call (result
 * 0.0, ok 0). NaN in the weighing vector (first; second under
 * second_in_first) skips the position; NaN in the other vector beside a
 * weight that passes the gate makes the degree NaN (ok 1). -0.0 reads as
 * 0.0. */
VANTOR_API void con_aggregate(int *n, double *first, double *second, double *result, int *ok);

/* ---- Dinorms: one signed vector in [-1, 1] -> {negative, positive, combined} */

/* din_setThresholds - n = 2; values = {threshold, neutral band}, each in [0, 1]
 * (NaN accepted); when either is out of range neither is stored. Defaults
 * {0, 0}. */
VANTOR_API void din_setThresholds(int *n, double *values, int *ok);
/* din_getThresholds - n = capacity (>= 2); out = {threshold, neutral band}. */
VANTOR_API void din_getThresholds(int *n, double *out, int *ok);
/* din_setModes - n = 2; modes = {aggregation 0 extreme value | 1 probabilistic
 * sum | 2 bounded sum, combination rule 0..3}. Defaults {0, 0}. */
VANTOR_API void din_setModes(int *n, int *modes, int *ok);
/* din_getModes - n = capacity (>= 2); out = {aggregation, combination}. */
VANTOR_API void din_getModes(int *n, int *out, int *ok);
/* din_aggregate - signed aggregation and combination.
 *   n       in   1 int: number of values (<= 0: empty)
 *   values  in   n doubles; significant ones must lie in [-1, 1]
 *   result  out  3 doubles: {negative aggregate, positive aggregate, combined};
 *                {0, 0, 0} when a value was out of range, untouched when a
 *                pointer was null; must not overlap values
 *   ok      out  1 for success, 0 when refused
 * A significant value outside [-1, 1], infinities included, refuses the
 * call. NaN and -0.0 are skipped, like 0. */
VANTOR_API void din_aggregate(int *n, double *values, double *result, int *ok);

/* ---- Clustions: similarity and prototype clustering --------------------- */

/* clu_setThresholds - n = 1; values[0] in [0, 1] (NaN accepted, -0.0 kept). */
VANTOR_API void clu_setThresholds(int *n, double *values, int *ok);
/* clu_getThresholds - n = capacity (>= 1); out[0] = threshold. */
VANTOR_API void clu_getThresholds(int *n, double *out, int *ok);
/* clu_setLimits - n = 1; values[0] = pass limit ("max passes" in the hosts),
 * from 1 up to INT_MAX (default 40). The limit is honoured exactly: a run
 * that cycles between two assignments takes every pass it is allowed, so a
 * very large limit means a long call, not a failure. */
VANTOR_API void clu_setLimits(int *n, int *values, int *ok);
/* clu_getLimits - n = capacity (>= 1); out[0] = pass limit. */
VANTOR_API void clu_getLimits(int *n, int *out, int *ok);
/* clu_cluster - one-sided prototype clustering, dims = {k, n, m}.
 *   prototypes    in/out  k*m doubles: seeds in, refined prototypes out
 *   items         in      n*m doubles, row j at element j*m
 *   dims          in      3 ints {k, n, m}; a zero or a negative k refuses the
 *                         call untouched; a negative n runs one empty pass
 *                         (passInfo {1, 1}, nothing else read or written); a
 *                         negative m means no features and no row read: every
 *                         similarity 0.0, every item on prototype 0, the
 *                         prototypes unchanged, passInfo {1, 2} ({0, 1} with
 *                         a limit of 1)
 *   assignments   out     n ints: prototype of each item, -1 if never assigned
 *   similarities  out     n doubles: similarity to that prototype, -1.0 if none
 *   passInfo      out     2 ints: {1 if converged else 0, passes run}
 *   ok            out     1 for success, 0 when refused (also for a null array
 *                         the dimensions need, or no memory for the scratch);
 *                         a refusal writes nothing else
 * Also refused: a null passInfo, a null per-item array when n > 0, a null
 * prototypes or items when n > 0 and m > 0.
 * Uses the threshold and pass limit last stored by clu_setThresholds /
 * clu_setLimits. Stopped at the limit (passInfo[0] == 0), the similarities
 * describe the prototypes as they were before the last update. The six
 * arrays are six separate blocks of memory (see "overlapping arrays").
 * Every finite number is valid data (negative prototype seeds too: the
 * similarity reads negative values as 0), and nothing else is refused:
 *  - NaN in an item gives it similarity 0.0 to every prototype, and the NaN
 *    enters the mean of the prototype it joins;
 *  - NaN in a prototype makes every similarity against it NaN, which never
 *    wins; an item with NaN against every prototype stays unassigned (-1,
 *    similarity -1.0) and the run goes on to the limit (passInfo[0] == 0);
 *  - infinities and huge values may make means infinite and similarities
 *    NaN, as the arithmetic gives. */
VANTOR_API void clu_cluster(double *prototypes, double *items, int *dims, int *assignments,
                            double *similarities, int *passInfo, int *ok);
/* clu_cluster2 - two-sided clustering of signed items: each item's negative
 * part (magnitudes of its negative values) and positive part are assigned on
 * their own to one shared set of prototypes.
 *   prototypes, items, dims, passInfo, ok  as for clu_cluster
 *   negAssignments, posAssignments    out  n ints each
 *   negSimilarities, posSimilarities  out  n doubles each
 * A prototype's mean is taken over all parts it holds, negative and positive
 * alike; an all-zero part counts as a member. Bad input as for clu_cluster,
 * except that a NaN feature of an item belongs to neither of its parts. */
VANTOR_API void clu_cluster2(double *prototypes, double *items, int *dims, int *negAssignments,
                             int *posAssignments, double *negSimilarities,
                             double *posSimilarities, int *passInfo, int *ok);

#ifdef __cplusplus
}
#endif

#endif
