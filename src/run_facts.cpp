// The facts of a run that hosts report (vantor/run_facts.h). countCandidates
// lives in seeding.cpp, beside the one definition of a candidate.
#include "vantor/run_facts.h"

#include "extended.h"
#include "row_matrix.h"
#include "signed_parts.h"

namespace Vantor {

bool totalSimilarity(bool twoSided, const int* assignments, const double* similarities,
                     const int* posAssignments, const double* posSimilarities, std::int64_t n,
                     double* total) {
    if (total == nullptr) return false;
    if (n > 0 && (assignments == nullptr || similarities == nullptr ||
                  (twoSided && (posAssignments == nullptr || posSimilarities == nullptr)))) {
        return false;
    }
    Extended sum = 0.0;
    for (std::int64_t j = 0; j < n; ++j) {
        if (assignments[j] >= 0) sum += similarities[j];
        if (twoSided && posAssignments[j] >= 0) sum += posSimilarities[j];
    }
    *total = static_cast<double>(sum);
    return true;
}

bool splitParts(const double* items, std::int64_t n, int m, double* negativeParts,
                double* positiveParts) {
    if (n <= 0 || m <= 0) return true;
    if (items == nullptr) return false;
    const std::int64_t values = rowOf(n, m);
    for (std::int64_t i = 0; i < values; ++i) {
        if (negativeParts != nullptr) negativeParts[i] = negativePartOf(items[i]);
        if (positiveParts != nullptr) positiveParts[i] = positivePartOf(items[i]);
    }
    return true;
}

}  // namespace Vantor
