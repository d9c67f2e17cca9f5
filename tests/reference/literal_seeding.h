// Literal seeding: the three rules written as plainly as they read. Every
// candidate is copied out into a vector of its own, and after each seed the
// similarity of every candidate to it is measured with the literal evalSimil,
// one pair at a time, candidate first: O(n * k * m) in all. The library's
// chooseSeeds is held to this, bit for bit.
#ifndef VANTOR_REFERENCE_LITERAL_SEEDING_H
#define VANTOR_REFERENCE_LITERAL_SEEDING_H

#include <cstdint>

#include "vantor/clustions.h"

namespace literal {

// Same arguments and results as Vantor::chooseSeeds; the seeds, items and
// parts are written only on success.
bool chooseSeeds(const Vantor::Clustions& c, int rule, int k, const double* items, int n, int m,
                 bool twoSided, std::uint64_t randomSeed, double* seeds, int* sourceItems,
                 int* sourceParts);

}  // namespace literal

#endif
