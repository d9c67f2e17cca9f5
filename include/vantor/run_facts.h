// Facts about a clustering run that hosts report or check, computed by the
// library once so that no host keeps a copy that could round or count
// differently: the total similarity that picks the best of several starts,
// the number of candidates for seeds, and the two parts of signed items.
//
// An addition to the interface: Clustions and the C entries are unchanged.
#ifndef VANTOR_RUN_FACTS_H
#define VANTOR_RUN_FACTS_H

#include <cstdint>

#include "vantor/export.h"

namespace Vantor {

// The total similarity of a run: the sum, in item order and in 80-bit extended,
// of the similarity of every assigned item (assignments[j] >= 0), two-sided
// an item's negative part (assignments, similarities) before its positive
// part (posAssignments, posSimilarities); unassigned ones add nothing. The
// sum is rounded to double once, into *total. clusterFromStarts keeps the
// run with the largest of these.
// posAssignments and posSimilarities are read only when twoSided.
// False, with nothing written: a null total, or a null array that n > 0
// needs. n <= 0 gives 0.0.
VANTOR_API bool totalSimilarity(bool twoSided, const int* assignments,
                                const double* similarities, const int* posAssignments,
                                const double* posSimilarities, std::int64_t n, double* total);

// How many candidates for seeds the items hold (vantor/seeding.h): one-sided
// every item with a value above 0; two-sided every item's negative part (a
// value below 0) and positive part (a value above 0), each counted once.
// NaN counts as neither. So k above this number is refused by chooseSeeds
// and clusterFromStarts, and a host can refuse it first, before allocating
// anything of size k. Items are n rows of m values (row j at element j*m).
// Returns 0 for n <= 0, m <= 0 or null items.
VANTOR_API std::int64_t countCandidates(bool twoSided, const double* items, std::int64_t n,
                                        int m);

// The two parts of n signed rows of m values, as the two-sided clustering
// and seeding split them: negativeParts holds the magnitude of each value
// below 0, positiveParts each value above 0; zero of either sign and NaN go
// to neither (0.0 in both). Each output holds n*m values; either may be null
// when the caller wants only the other part.
// False, with nothing written: null items when n > 0 and m > 0.
VANTOR_API bool splitParts(const double* items, std::int64_t n, int m, double* negativeParts,
                           double* positiveParts);

}  // namespace Vantor

#endif
