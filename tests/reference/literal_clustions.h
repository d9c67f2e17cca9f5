// Literal Clustions: the similarity and both clustering methods written as
// plainly as their steps read, one similarity per prototype, one position at
// a time. The differential tests, the fuzzers and the benchmarks hold the
// library to these, bit for bit. They read only the public fields of the
// given instance and allocate their scratch with the standard allocator.
//
// Both methods need k >= 1 (the library refuses a negative k) and valid
// arrays; any n and m are followed step by step. A run ends when the pass
// number reaches iterationLimit or passes it, so that a limit below 1 written
// into the field directly still ends the run, as in the library.
#ifndef VANTOR_REFERENCE_LITERAL_CLUSTIONS_H
#define VANTOR_REFERENCE_LITERAL_CLUSTIONS_H

#include "vantor/clustions.h"

namespace literal {

// Same arguments and results as the methods of the same names.
double evalSimil(const Vantor::Clustions& c, const double* first, const double* second, int n);

bool cluster(const Vantor::Clustions& c, double* prototypes, const double* items, const int* dims,
             int* assignments, double* similarities, int* passInfo);

bool cluster(const Vantor::Clustions& c, double* prototypes, const double* items, const int* dims,
             int* negAssignments, int* posAssignments, double* negSimilarities,
             double* posSimilarities, int* passInfo);

}  // namespace literal

#endif
