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
 * Setter entries take an exact count `n` (1 or 2) and refuse any other,
 * leaving the configuration unchanged. Getter entries take `n` as the
 * capacity of `out` and leave `out` untouched when they refuse.
 * This header compiles as C and as C++. */
#ifndef VANTOR_VANTOR_H
#define VANTOR_VANTOR_H

#include "vantor/export.h"
#include "vantor/version.h"

#ifdef __cplusplus
#include "vantor/clustions.h"
#include "vantor/contifiers.h"
#include "vantor/dinorms.h"
extern "C" {
#endif

/* ---- Contifiers: two membership vectors in [0, 1] -> one degree ---------- */

/* con_setThresholds - n = 1; values[0] in [0, 1] (NaN accepted). */
VANTOR_API void con_setThresholds(int *n, double *values, int *ok);
/* con_getThresholds - n = capacity (any non-zero); out[0] = threshold. */
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
 *                       untouched when first or second is null
 *   ok             out  1 for success, 0 when refused */
VANTOR_API void con_aggregate(int *n, double *first, double *second, double *result, int *ok);

/* ---- Dinorms: one signed vector in [-1, 1] -> {negative, positive, combined} */

/* din_setThresholds - n = 2; values = {threshold, neutral band}, each in [0, 1]
 * (NaN accepted). Defaults {0, 0}. */
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
 *                pointer was null
 *   ok      out  1 for success, 0 when refused */
VANTOR_API void din_aggregate(int *n, double *values, double *result, int *ok);

/* ---- Clustions: similarity and prototype clustering --------------------- */

/* clu_setThresholds - n = 1; values[0] in [0, 1] (NaN accepted). */
VANTOR_API void clu_setThresholds(int *n, double *values, int *ok);
/* clu_getThresholds - n = capacity (>= 1); out[0] = threshold. */
VANTOR_API void clu_getThresholds(int *n, double *out, int *ok);
/* clu_setLimits - n = 1; values[0] = pass limit, at least 1 (default 40). */
VANTOR_API void clu_setLimits(int *n, int *values, int *ok);
/* clu_getLimits - n = capacity (>= 1); out[0] = pass limit. */
VANTOR_API void clu_getLimits(int *n, int *out, int *ok);
/* clu_cluster - one-sided prototype clustering, dims = {k, n, m}.
 *   prototypes    in/out  k*m doubles: seeds in, refined prototypes out
 *   items         in      n*m doubles, row j at element j*m
 *   dims          in      3 ints {k, n, m}; a zero or a negative k refuses the
 *                         call untouched; a negative n runs one empty pass
 *                         (passInfo {1, 1}, nothing else written); a negative
 *                         m means no features (every similarity 0.0)
 *   assignments   out     n ints: prototype of each item, -1 if never assigned
 *   similarities  out     n doubles: similarity to that prototype, -1.0 if none
 *   passInfo      out     2 ints: {1 if converged else 0, passes run}
 *   ok            out     1 for success, 0 when refused (also for a null array
 *                         the dimensions need, or no memory for the scratch);
 *                         a refusal writes nothing else
 * Uses the threshold and pass limit last stored by clu_setThresholds /
 * clu_setLimits. Stopped at the limit (passInfo[0] == 0), the similarities
 * describe the prototypes as they were before the last update. */
VANTOR_API void clu_cluster(double *prototypes, double *items, int *dims, int *assignments,
                            double *similarities, int *passInfo, int *ok);
/* clu_cluster2 - two-sided clustering of signed items: each item's negative
 * part (magnitudes of its negative values) and positive part are assigned on
 * their own to one shared set of prototypes.
 *   prototypes, items, dims, passInfo, ok  as for clu_cluster
 *   negAssignments, posAssignments    out  n ints each
 *   negSimilarities, posSimilarities  out  n doubles each
 * A prototype's mean is taken over all parts it holds, negative and positive
 * alike; an all-zero part counts as a member. */
VANTOR_API void clu_cluster2(double *prototypes, double *items, int *dims, int *negAssignments,
                             int *posAssignments, double *negSimilarities,
                             double *posSimilarities, int *passInfo, int *ok);

#ifdef __cplusplus
}
#endif

#endif
