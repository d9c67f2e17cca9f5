// The two clustering methods of Clustions, with the arguments of the
// methods of the same name (see clustions.h for what they compute).
#ifndef VANTOR_SRC_CLUSTERING_H
#define VANTOR_SRC_CLUSTERING_H

#include "vantor/clustions.h"

namespace Vantor {
namespace clustering {

// One-sided: whole items around the prototypes.
bool whole(const Clustions& config, double* prototypes, const double* items, const int* dims,
           int* assignments, double* similarities, int* passInfo);

// Two-sided: the negative and the positive part of every item, each on its own.
bool parts(const Clustions& config, double* prototypes, const double* items, const int* dims,
           int* negAssignments, int* posAssignments, double* negSimilarities,
           double* posSimilarities, int* passInfo);

}  // namespace clustering
}  // namespace Vantor

#endif
