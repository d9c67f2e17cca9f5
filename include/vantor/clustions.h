// Vantor::Clustions - thresholded similarity of two vectors and
// prototype clustering built on it, one-sided and two-sided.
#ifndef VANTOR_CLUSTIONS_H
#define VANTOR_CLUSTIONS_H

#include "vantor/export.h"

namespace Vantor {

// A plain value type: public fields (their order is part of the binary
// interface), no base, no virtual functions, copied member-wise.
class VANTOR_API Clustions {
public:
    double threshold;    // positions where both values lie below it are ignored
    int iterationLimit;  // the most passes one clustering run makes ("max passes" in the hosts)

    // threshold 0.0, iterationLimit 40.
    Clustions();
    // Keeps value when 0 < value <= 1, else (NaN, -0.0 included) 0.0;
    // iterationLimit 40.
    explicit Clustions(double value);

    // Stores value unless it is below 0 or above 1 (NaN and -0.0 stored as
    // they are); false leaves the object unchanged.
    bool thresholds(double value);
    // Writes threshold to out[0] and returns 1; 0 and nothing written when
    // out is null or capacity <= 0.
    int thresholds(int capacity, double* out);
    // Stores limit when it is at least 1.
    bool setLimits(int limit);
    // Writes iterationLimit to out[0] and returns 1; 0 and nothing written
    // when out is null or capacity <= 0.
    int getLimits(int capacity, int* out);

    // Weighted Jaccard similarity of the first n values:
    //     sum(min(x_i, y_i)) / sum(max(x_i, y_i))
    // after zeroing positions where both x_i and y_i are below threshold and
    // then clamping negative values to 0. 0.0 when n <= 0 or the sum of
    // maxima is not positive (zero or NaN). A NaN is never gated: in `first`
    // it gives 0.0, in `second` NaN. Sums in 80-bit extended, one division.
    double evalSimil(double* first, double* second, int n);

    // One-sided clustering of n items (rows of m, row r at element r*m)
    // around k prototypes, dims = {k, n, m}; prototypes holds k*m values,
    // the per-item arrays n each, passInfo 2.
    // Each pass assigns every item to its most similar prototype under
    // evalSimil(item, prototype): an item moves only to a strictly more
    // similar one (the lowest index among equals), so a tie keeps its own.
    // Then each prototype that holds items becomes their mean, summed in
    // place in item order; one that holds none keeps its values. Stops after
    // a pass that moved nothing or after iterationLimit passes (a limit below
    // 1 counts as 1). passInfo = {1 if converged else 0, passes run};
    // assignments / similarities hold -1 / -1.0 for an item no prototype
    // could take (every similarity NaN).
    // A negative n runs one empty pass ({1, 1}, nothing else written); a
    // negative m means no features (every similarity 0.0).
    // False, with nothing written, when dims is null, a dimension is 0, k is
    // negative, an array the dimensions need is null, or the scratch cannot
    // be allocated. Arrays are read and written only within the dimensions;
    // no two may overlap (the call then still returns, its numbers
    // unspecified).
    bool cluster(double* prototypes, double* items, int* dims, int* assignments,
                 double* similarities, int* passInfo);
    // Two-sided clustering: each signed item is split into its negative part
    // (magnitudes of its negative values) and its positive part (zero and
    // NaN go to neither). Each part is assigned on its own, by the rules
    // above, to one shared set of prototypes; each prototype that holds parts
    // becomes their mean, negative and positive parts counted alike (an item
    // whose parts share a prototype counts twice). Same dims, passInfo,
    // refusals and negative-dimension behaviour as the one-sided method.
    bool cluster(double* prototypes, double* items, int* dims, int* negAssignments,
                 int* posAssignments, double* negSimilarities, double* posSimilarities,
                 int* passInfo);
};

// The instance the clu_* entries work on; a host may point it at an
// instance of its own to redirect them.
extern VANTOR_API Clustions* clu;

}  // namespace Vantor

#endif
