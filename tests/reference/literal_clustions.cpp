// Written out step by step on purpose: the reference must read like the
// steps, not like an optimised library.
#include "literal_clustions.h"

#include "reference_extended.h"

#include <cstdint>
#include <vector>

namespace literal {

namespace {

// Row r of a row matrix with m values per row. A non-positive m has no rows
// to read; the base is returned so that no pointer leaves the array.
const double* rowOf(const double* matrix, std::int64_t r, int m) {
    return m > 0 ? matrix + r * m : matrix;
}
double* rowOf(double* matrix, std::int64_t r, int m) { return m > 0 ? matrix + r * m : matrix; }

// x + p, with x's NaN when both are NaN. The hardware's SSE addition returns
// its first operand's NaN, but a compiler may swap the operands of `x + p`
// (addition commutes in value, not in NaN payload), so the order is pinned.
inline double sumKeepingFirstNaN(double x, double p) {
#if defined(__SSE2__) && defined(__GNUC__)
    __asm__("addsd %1, %0" : "+x"(x) : "x"(p));
    return x;
#else
    return x + p;
#endif
}

}  // namespace

double evalSimil(const Vantor::Clustions& c, const double* first, const double* second, int n) {
    if (n <= 0) return 0.0;
    const double threshold = c.threshold;
    Extended maxima = Extended(0.0);
    Extended minima = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        double x = first[i];
        double y = second[i];
        if (x < threshold && y < threshold) {
            x = 0.0;
            y = 0.0;
        }
        if (x < 0.0) x = 0.0;
        if (y < 0.0) y = 0.0;
        if (y >= x) {
            maxima += y;
            minima += x;
        } else {
            maxima += x;
            minima += y;
        }
    }
    if (maxima > Extended(0.0)) return static_cast<double>(minima / maxima);
    return 0.0;
}

bool cluster(const Vantor::Clustions& c, double* prototypes, const double* items, const int* dims,
             int* assignments, double* similarities, int* passInfo) {
    const int k = dims[0];
    const int n = dims[1];
    const int m = dims[2];
    if (k == 0 || n == 0 || m == 0) return false;
    std::vector<int> counts(k);
    for (int j = 0; j < n; ++j) {
        similarities[j] = -1.0;
        assignments[j] = -1;
    }
    int pass = 0;
    bool goOn = true;
    bool changed = false;
    while (goOn) {
        pass = pass + 1;
        changed = false;
        for (int j = 0; j < n; ++j) {
            const double* item = rowOf(items, j, m);
            const int own = assignments[j];
            if (own < 0) {
                changed = true;
            } else {
                similarities[j] = evalSimil(c, item, rowOf(prototypes, own, m), m);
            }
            for (int p = 0; p < k; ++p) {
                if (p == own) continue;
                const double s = evalSimil(c, item, rowOf(prototypes, p, m), m);
                if (s > similarities[j]) {
                    similarities[j] = s;
                    assignments[j] = p;
                    changed = true;
                }
            }
        }
        if (!changed) {
            goOn = false;
        } else if (pass >= c.iterationLimit) {
            goOn = false;
        }
        if (changed) {
            for (int p = 0; p < k; ++p) counts[p] = 0;
            for (int j = 0; j < n; ++j) {
                if (assignments[j] != -1) counts[assignments[j]] += 1;
            }
            for (int p = 0; p < k; ++p) {
                if (counts[p] == 0) continue;
                double* row = rowOf(prototypes, p, m);
                for (int l = 0; l < m; ++l) row[l] = 0.0;
            }
            for (int j = 0; j < n; ++j) {
                const int a = assignments[j];
                if (a == -1) continue;
                const double* item = rowOf(items, j, m);
                double* row = rowOf(prototypes, a, m);
                for (int l = 0; l < m; ++l) row[l] = sumKeepingFirstNaN(item[l], row[l]);
            }
            for (int p = 0; p < k; ++p) {
                if (counts[p] == 0) continue;
                double* row = rowOf(prototypes, p, m);
                for (int l = 0; l < m; ++l) row[l] = row[l] / counts[p];
            }
        }
    }
    passInfo[0] = changed ? 0 : 1;
    passInfo[1] = pass;
    return true;
}

bool cluster(const Vantor::Clustions& c, double* prototypes, const double* items, const int* dims,
             int* negAssignments, int* posAssignments, double* negSimilarities,
             double* posSimilarities, int* passInfo) {
    const int k = dims[0];
    const int n = dims[1];
    const int m = dims[2];
    if (k == 0 || n == 0 || m == 0) return false;
    std::vector<int> counts(k);
    std::vector<double> negative(m > 0 ? m : 0);
    std::vector<double> positive(m > 0 ? m : 0);
    for (int j = 0; j < n; ++j) {
        negSimilarities[j] = -1.0;
        negAssignments[j] = -1;
        posSimilarities[j] = -1.0;
        posAssignments[j] = -1;
    }
    int pass = 0;
    bool stop = false;
    bool changed = false;
    while (!stop) {
        pass = pass + 1;
        changed = false;
        if (n < 0) {
            stop = true;
        } else {
            for (int j = 0; j < n; ++j) {
                const double* item = rowOf(items, j, m);
                for (int i = 0; i < m; ++i) {
                    const double x = item[i];
                    if (x > 0.0) {
                        negative[i] = 0.0;
                        positive[i] = x;
                    } else if (x < 0.0) {
                        negative[i] = -x;
                        positive[i] = 0.0;
                    } else {
                        negative[i] = 0.0;
                        positive[i] = 0.0;
                    }
                }
                const int aNeg = negAssignments[j];
                const int aPos = posAssignments[j];
                if (aNeg == -1) {
                    changed = true;
                } else {
                    negSimilarities[j] = evalSimil(c, negative.data(), rowOf(prototypes, aNeg, m), m);
                }
                if (aPos == -1) {
                    changed = true;
                } else {
                    posSimilarities[j] = evalSimil(c, positive.data(), rowOf(prototypes, aPos, m), m);
                }
                for (int l = 0; l < k; ++l) {
                    if (l != aNeg) {
                        const double s = evalSimil(c, negative.data(), rowOf(prototypes, l, m), m);
                        if (s > negSimilarities[j]) {
                            negSimilarities[j] = s;
                            negAssignments[j] = l;
                            changed = true;
                        }
                    }
                    if (l != aPos) {
                        const double s = evalSimil(c, positive.data(), rowOf(prototypes, l, m), m);
                        if (s > posSimilarities[j]) {
                            posSimilarities[j] = s;
                            posAssignments[j] = l;
                            changed = true;
                        }
                    }
                }
            }
            if (!changed) {
                stop = true;
            } else if (pass >= c.iterationLimit) {
                stop = true;
            }
        }
        if (changed) {
            for (int l = 0; l < k; ++l) counts[l] = 0;
            for (int j = 0; j < n; ++j) {
                if (negAssignments[j] != -1) counts[negAssignments[j]] += 1;
                if (posAssignments[j] != -1) counts[posAssignments[j]] += 1;
            }
            for (int l = 0; l < k; ++l) {
                if (counts[l] == 0) continue;
                double* row = rowOf(prototypes, l, m);
                for (int i = 0; i < m; ++i) row[i] = 0.0;
            }
            for (int j = 0; j < n; ++j) {
                const double* item = rowOf(items, j, m);
                const int a = negAssignments[j];
                if (a != -1) {
                    double* row = rowOf(prototypes, a, m);
                    for (int i = 0; i < m; ++i) {
                        const double x = item[i];
                        if (x < 0.0) row[i] = -x + row[i];
                    }
                }
                const int b = posAssignments[j];
                if (b != -1) {
                    double* row = rowOf(prototypes, b, m);
                    for (int i = 0; i < m; ++i) {
                        const double x = item[i];
                        if (x > 0.0) row[i] = x + row[i];
                    }
                }
            }
            for (int l = 0; l < k; ++l) {
                if (counts[l] == 0) continue;
                double* row = rowOf(prototypes, l, m);
                for (int i = 0; i < m; ++i) row[i] = row[i] / counts[l];
            }
        }
    }
    passInfo[1] = pass;
    passInfo[0] = changed ? 0 : 1;
    return true;
}

}  // namespace literal
