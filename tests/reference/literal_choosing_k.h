// Literal silhouettes: every part copied out into a vector of its own, every
// similarity measured with the literal evalSimil, one prototype at a time,
// and every mean summed in the plainest loop. The library's silhouettes and
// scanK are held to this, bit for bit.
#ifndef VANTOR_REFERENCE_LITERAL_CHOOSING_K_H
#define VANTOR_REFERENCE_LITERAL_CHOOSING_K_H

#include <cstdint>

#include "vantor/choosing_k.h"

namespace literal {

// Same arguments and results as Vantor::silhouettes, on one thread; the
// caller passes valid arguments (k >= 2, assignments in [-1, k)).
void silhouettes(const Vantor::Clustions& c, const double* items, std::int64_t n, int m,
                 bool twoSided, const double* prototypes, int k, const int* assignments,
                 const int* posAssignments, double* values, double* posValues,
                 double* clusterMeans, Vantor::SilhouetteSummary* summary);

}  // namespace literal

#endif
