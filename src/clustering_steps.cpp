// Vantor::steps: one clustering pass as blocks a host can spread out. The
// loops are those of Clustions::cluster (pass_steps.h); these functions only
// check what a caller hands over, since nobody checked it before.
#include "vantor/clustering_steps.h"

#include <cstdint>
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

// A fold adds at most `perItem` members per item to one prototype. A count
// that is negative cannot have come from folding, and one within that reach
// of INT64_MAX would wrap around; both are refused before anything changes.
bool countsCanGrow(const std::int64_t* counts, int k, std::int64_t count, int perItem) {
    constexpr std::int64_t kMost = INT64_MAX;
    const std::int64_t items = count > 0 ? count : 0;
    if (items > kMost / perItem) return false;
    const std::int64_t reach = items * perItem;
    for (int p = 0; p < k; ++p) {
        if (counts[p] < 0 || counts[p] > kMost - reach) return false;
    }
    return true;
}

}  // namespace

bool scan(double threshold, bool twoSided, const double* items, std::int64_t count, int m,
          const double* prototypes, int k, int* assignments, double* similarities,
          int* posAssignments, double* posSimilarities, bool* changed, double* workspace) {
    if (k <= 0 || changed == nullptr) return false;
    bool any = false;
    if (!twoSided) {
        if (!blockPresent(count, m, {assignments, similarities}, {prototypes, items})) return false;
        pass::scanItems(threshold, prototypes, k, m, items, count, assignments, similarities, any);
    } else {
        if (!blockPresent(count, m, {assignments, posAssignments, similarities, posSimilarities},
                          {prototypes, items, workspace})) {
            return false;
        }
        double* const negative = workspace;
        double* const positive = m > 0 ? workspace + m : workspace;
        pass::scanParts(threshold, prototypes, k, m, items, count, assignments, posAssignments,
                        similarities, posSimilarities, negative, positive, any);
    }
    *changed = any;
    return true;
}

bool startUpdate(int k, std::int64_t* counts) {
    if (k <= 0 || counts == nullptr) return false;
    pass::startUpdate(k, counts);
    return true;
}

bool fold(bool twoSided, const double* items, std::int64_t count, int m, const int* assignments,
          const int* posAssignments, int k, double* sums, std::int64_t* counts) {
    if (k <= 0 || counts == nullptr) return false;
    if (!blockPresent(count, m, {assignments, twoSided ? posAssignments : assignments},
                      {items, sums})) {
        return false;
    }
    if (!countsCanGrow(counts, k, count, twoSided ? 2 : 1)) return false;
    if (twoSided) {
        pass::foldParts(items, m, count, assignments, posAssignments, k, sums, counts);
    } else {
        pass::foldItems(items, m, count, assignments, k, sums, counts);
    }
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
