// Vantor::steps: one clustering pass as blocks a host can spread out. The
// loops are those of Clustions::cluster (pass_steps.h); these functions only
// check what a caller hands over, since nobody checked it before.
#include "vantor/clustering_steps.h"

#include <initializer_list>

#include "pass_steps.h"

namespace Vantor {
namespace steps {

namespace {

// The per-item arrays are read only when there are items, the rows only when
// the items also have values.
bool blockPresent(std::int64_t count, int m, std::initializer_list<const void*> perItem,
                  std::initializer_list<const void*> rows) {
    if (count <= 0) return true;
    for (const void* array : perItem) {
        if (array == nullptr) return false;
    }
    if (m <= 0) return true;
    for (const void* array : rows) {
        if (array == nullptr) return false;
    }
    return true;
}

}  // namespace

bool scanItems(double threshold, const double* prototypes, int k, int m, const double* items,
               std::int64_t count, int* assignments, double* similarities, bool* changed) {
    if (k <= 0 || changed == nullptr) return false;
    if (!blockPresent(count, m, {assignments, similarities}, {prototypes, items})) return false;
    bool any = false;
    pass::scanItems(threshold, prototypes, k, m, items, count, assignments, similarities, any);
    *changed = any;
    return true;
}

bool scanParts(double threshold, const double* prototypes, int k, int m, const double* items,
               std::int64_t count, int* negAssignments, int* posAssignments,
               double* negSimilarities, double* posSimilarities, double* workspace,
               bool* changed) {
    if (k <= 0 || changed == nullptr) return false;
    if (!blockPresent(count, m, {negAssignments, posAssignments, negSimilarities, posSimilarities},
                      {prototypes, items, workspace})) {
        return false;
    }
    bool any = false;
    double* const negative = workspace;
    double* const positive = m > 0 ? workspace + m : workspace;
    pass::scanParts(threshold, prototypes, k, m, items, count, negAssignments, posAssignments,
                    negSimilarities, posSimilarities, negative, positive, any);
    *changed = any;
    return true;
}

bool startUpdate(int k, std::int64_t* counts) {
    if (k <= 0 || counts == nullptr) return false;
    pass::startUpdate(k, counts);
    return true;
}

bool foldItems(const double* items, int m, std::int64_t count, const int* assignments, int k,
               double* sums, std::int64_t* counts) {
    if (k <= 0 || counts == nullptr) return false;
    if (!blockPresent(count, m, {assignments}, {items, sums})) return false;
    pass::foldItems(items, m, count, assignments, k, sums, counts);
    return true;
}

bool foldParts(const double* items, int m, std::int64_t count, const int* negAssignments,
               const int* posAssignments, int k, double* sums, std::int64_t* counts) {
    if (k <= 0 || counts == nullptr) return false;
    if (!blockPresent(count, m, {negAssignments, posAssignments}, {items, sums})) return false;
    pass::foldParts(items, m, count, negAssignments, posAssignments, k, sums, counts);
    return true;
}

bool finishUpdate(const double* sums, const std::int64_t* counts, int k, int m,
                  double* prototypes) {
    if (k <= 0 || counts == nullptr) return false;
    if (m > 0 && (sums == nullptr || prototypes == nullptr)) return false;
    pass::finishUpdate(sums, counts, k, m, prototypes);
    return true;
}

}  // namespace steps
}  // namespace Vantor
