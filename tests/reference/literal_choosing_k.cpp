// Written out step by step on purpose: the reference must read like the
// definition in vantor/choosing_k.h, not like the library.
#include "literal_choosing_k.h"

#include <cmath>
#include <limits>
#include <vector>

#include "literal_clustions.h"

namespace literal {

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

double silhouetteOf(const Vantor::Clustions& c, const std::vector<double>& x,
                    const double* prototypes, int k, int m, int own) {
    if (own == -1) return kNaN;
    const double sOwn = evalSimil(c, x.data(), prototypes + static_cast<std::int64_t>(own) * m, m);
    bool sawNaN = std::isnan(sOwn);
    double sNext = 0.0;
    bool first = true;
    for (int l = 0; l < k; ++l) {
        if (l == own) continue;
        const double s = evalSimil(c, x.data(), prototypes + static_cast<std::int64_t>(l) * m, m);
        if (std::isnan(s)) {
            sawNaN = true;
        } else if (first || s > sNext) {
            sNext = s;
            first = false;
        }
    }
    if (sawNaN) return kNaN;
    // Distances: how far the item is from its own and from the next prototype.
    const long double a = 1.0L - static_cast<long double>(sOwn);
    const long double b = 1.0L - static_cast<long double>(sNext);
    if (a == 0.0L && b == 0.0L) return 0.0;
    const long double larger = a > b ? a : b;
    return static_cast<double>((b - a) / larger);
}

}  // namespace

void silhouettes(const Vantor::Clustions& c, const double* items, std::int64_t n, int m,
                 bool twoSided, const double* prototypes, int k, const int* assignments,
                 const int* posAssignments, double* values, double* posValues,
                 double* clusterMeans, Vantor::SilhouetteSummary* summary) {
    // Each item as the list of (vector, assignment, output) it contributes.
    struct Entry {
        std::vector<double> x;
        int own;
        double* out;
    };
    std::vector<Entry> entries;
    for (std::int64_t j = 0; j < n; ++j) {
        const double* item = items + j * m;
        if (!twoSided) {
            entries.push_back({std::vector<double>(item, item + m), assignments[j], &values[j]});
            continue;
        }
        std::vector<double> negative(m), positive(m);
        for (int i = 0; i < m; ++i) {
            negative[i] = item[i] < 0.0 ? -item[i] : 0.0;
            positive[i] = item[i] > 0.0 ? item[i] : 0.0;
        }
        entries.push_back({negative, assignments[j], &values[j]});
        entries.push_back({positive, posAssignments[j], &posValues[j]});
    }

    long double total = 0.0L;
    std::vector<long double> clusterTotal(k, 0.0L);
    std::vector<std::int64_t> clusterCount(k, 0);
    Vantor::SilhouetteSummary found;
    for (const Entry& e : entries) {
        const double s = silhouetteOf(c, e.x, prototypes, k, m, e.own);
        *e.out = s;
        if (std::isnan(s)) {
            found.undefined += 1;
        } else {
            total += s;
            found.counted += 1;
            clusterTotal[e.own] += s;
            clusterCount[e.own] += 1;
        }
    }
    found.mean = found.counted == 0 ? kNaN
                                    : static_cast<double>(total / static_cast<long double>(found.counted));
    if (clusterMeans != nullptr) {
        for (int l = 0; l < k; ++l) {
            clusterMeans[l] =
                clusterCount[l] == 0
                    ? kNaN
                    : static_cast<double>(clusterTotal[l] / static_cast<long double>(clusterCount[l]));
        }
    }
    if (summary != nullptr) *summary = found;
}

}  // namespace literal
