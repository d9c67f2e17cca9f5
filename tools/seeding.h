// Choosing starting prototypes from the items themselves, for `cluster -k N`.
#ifndef VANTOR_TOOLS_SEEDING_H
#define VANTOR_TOOLS_SEEDING_H

#include <vantor/clustions.h>

#include <vector>

#include "table_reader.h"

namespace vantor_tool {

// The candidates are the rows clustering would place: the items for
// one-sided clustering, the negative and then the positive part of each
// item for two-sided clustering. Candidates without a positive value are
// passed over: every similarity to them is 0, so they would attract nothing.
//
//   First:    the first k candidates, in item order.
//   Farthest: the first candidate, then again and again the candidate whose
//             greatest similarity to the seeds chosen so far is the smallest
//             (the earliest one on ties), measured with `similarity`, so the
//             seeds spread over the data as the library itself sees it.
enum class SeedRule { First, Farthest };

// Returns k rows of items.width values. Throws InputError when there are
// fewer than k candidates.
std::vector<double> chooseSeeds(const Table& items, int k, bool twoSided, SeedRule rule,
                                Vantor::Clustions& similarity);

}  // namespace vantor_tool

#endif
