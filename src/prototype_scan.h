// One vector against every prototype, in the order a clustering pass needs:
// first its own prototype (when it has one), then every other prototype from
// the lowest index up. The similarities are computed four rows at a time
// (similarity_rows.h) and handed to `visit` one by one in that order, so the
// caller's comparisons run exactly as in a loop that computes one
// similarity, compares, and moves on.
#ifndef VANTOR_SRC_PROTOTYPE_SCAN_H
#define VANTOR_SRC_PROTOTYPE_SCAN_H

#include <cstdint>

#include "row_matrix.h"
#include "similarity_rows.h"

namespace Vantor {
namespace scan {

// Calls visit(l, similarity of x to prototype l) for l = own (if own >= 0),
// then for every l in 0 .. k-1 other than own, in increasing order.
template <class Visit>
void prototypes(double threshold, const double* x, const double* prototypes, int k, int m, int own,
                Visit&& visit) {
    int index[simil::kMaxRows];
    const double* rows[simil::kMaxRows];
    double similarity[simil::kMaxRows];
    int count = 0;
    const auto flush = [&] {
        switch (count) {
            case 4: simil::against<4>(threshold, x, rows, m, similarity); break;
            case 3: simil::against<3>(threshold, x, rows, m, similarity); break;
            case 2: simil::against<2>(threshold, x, rows, m, similarity); break;
            default: simil::against<1>(threshold, x, rows, m, similarity); break;
        }
        for (int r = 0; r < count; ++r) visit(index[r], similarity[r]);
        count = 0;
    };
    const auto queue = [&](int l) {
        index[count] = l;
        // A row without values (m <= 0) is never read; keep to the base.
        rows[count] = m > 0 ? prototypes + rowOf(l, m) : prototypes;
        if (++count == simil::kMaxRows) flush();
    };
    if (own >= 0) queue(own);
    for (int l = 0; l < k; ++l) {
        if (l != own) queue(l);
    }
    if (count > 0) flush();
}

}  // namespace scan
}  // namespace Vantor

#endif
