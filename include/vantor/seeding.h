// Starting prototypes chosen among the items, and clustering from several
// random starts keeping the best. One implementation for every host, so the
// same arguments give the same seeds in C++, the tool, Python and R.
//
// An addition to the interface: Clustions and the C entries are unchanged.
#ifndef VANTOR_SEEDING_H
#define VANTOR_SEEDING_H

#include <cstdint>

#include "vantor/clustions.h"
#include "vantor/export.h"
#include "vantor/modes.h"

namespace Vantor {

// Candidates. One-sided: the item rows, in order. Two-sided: for each item in
// order, its negative part (magnitudes of its negative values) and then its
// positive part, split exactly as the two-sided clustering splits them.
// A candidate without a value above 0 is passed over: its similarity to
// anything is 0, so it would attract nothing.
//
// Rules (`rule` is a vantor_seeding constant):
//   VANTOR_SEEDING_FARTHEST  the first candidate, then again and again the
//       candidate whose greatest similarity to the seeds chosen so far is the
//       smallest (the lowest index on ties). A NaN similarity counts as
//       greater than every number: it never makes a candidate look farther,
//       and a candidate it reached is taken only when all that are left are.
//   VANTOR_SEEDING_KMEANS_PP the first seed drawn uniformly among the
//       candidates, then each next one with probability proportional to
//       w = (1 - s)^2, s its greatest similarity to the chosen seeds (a seed
//       already chosen, or a NaN w, weighs 0; if every weight is 0 the draw
//       is uniform among the candidates not chosen yet).
//   VANTOR_SEEDING_FIRST     the first k candidates.
// Similarities are `similarity.evalSimil(candidate, seed, m)`, so its
// threshold applies. `randomSeed` is read by the k-means++ rule only.
//
// Random draws are the library's own, identical on every platform:
//   - generator: SplitMix64 started at randomSeed (state += 0x9E3779B97F4A7C15,
//     then the usual two xor-shift-multiply rounds);
//   - uniform u in [0, 1): the top 53 bits of the next output times 2^-53;
//   - uniform index among c: the first i with i + 1 > u * c, i.e. floor(u * c)
//     clamped to c - 1;
//   - weighted draw: w = d * d with d = 1 - s, in double; total = sum of w
//     in candidate order (double, rounded after every addition); target =
//     u * total; the first candidate whose running sum exceeds target (the
//     last one of positive weight if rounding leaves none);
//   - one u per seed: choosing k seeds takes exactly k outputs.
//
// Writes k rows of m values to `seeds` (k*m), and, when not null, the item
// each came from to `sourceItems` (k) and its part (vantor_part; one-sided
// rows are VANTOR_PART_POSITIVE) to `sourceParts` (k).
// False, with nothing written: k <= 0, n <= 0, m <= 0, an unknown rule, a null
// `items` or `seeds`, fewer candidates than k, or no memory for the O(n)
// scratch.
VANTOR_API bool chooseSeeds(Clustions& similarity, int rule, int k, const double* items, int n,
                            int m, bool twoSided, std::uint64_t randomSeed, double* seeds,
                            int* sourceItems, int* sourceParts);

// The seed of start i (0-based) of a restarted run: output number i + 1 of a
// SplitMix64 generator started at randomSeed, i.e. the output function
// applied to randomSeed + (i + 1) * 0x9E3779B97F4A7C15 modulo 2^64 (a
// negative i follows the same formula). Start 0 therefore does not use
// randomSeed itself, and starts never share a stream.
VANTOR_API std::uint64_t restartSeed(std::uint64_t randomSeed, int start);

// Clusters from `restarts` starts and keeps the best run: start i seeds with
// `rule` from restartSeed(randomSeed, i), then runs clustions.cluster (one- or
// two-sided) with its threshold and pass limit. The kept run has the largest
// total similarity (the sum, in item order and in 80-bit extended, of every
// assigned item's or part's similarity, an item's negative part before its
// positive part; unassigned ones add nothing; rounded to double, and the
// doubles are compared); the earlier run wins ties, and a NaN total ranks
// below every number. A deterministic rule (farthest, first) gives the
// same start every time, so it runs once whatever `restarts` is.
//
// dims = {k, n, m}. The outputs are those of the matching cluster method for
// the kept run: prototypes (k*m, written, never read), then one-sided
// assignments/similarities (n each; posAssignments and posSimilarities
// ignored), or two-sided negative parts in assignments/similarities and
// positive parts in posAssignments/posSimilarities; passInfo (2). When not
// null, *winningStart receives the kept start and *totalSimilarity its total.
// The runs are made in scratch (two runs' arrays) and the kept one is copied
// out at the end, so the outputs are written only on success.
// False, with nothing written: a null dims, restarts <= 0, the refusals of
// chooseSeeds for (k, n, m), a null array the outputs need, or no memory.
VANTOR_API bool clusterFromStarts(Clustions& clustions, int rule, int restarts,
                                  std::uint64_t randomSeed, const double* items, const int* dims,
                                  bool twoSided, double* prototypes, int* assignments,
                                  double* similarities, int* posAssignments,
                                  double* posSimilarities, int* passInfo, int* winningStart,
                                  double* totalSimilarity);

}  // namespace Vantor

#endif
