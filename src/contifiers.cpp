// Vantor::Contifiers: configuration and the six gated-mean kernels.
#include "vantor/contifiers.h"

#include <cstdint>

namespace Vantor {

// The default instance the con_* entries start on. The pointer is a constant
// expression, so it holds the right address before any constructor runs.
static Contifiers con_static;
Contifiers* con = &con_static;

namespace {

// Shared frame of every kernel: validate each pair, let a position through
// when its weight reaches the threshold, and accumulate weight and term in
// long double. `weightOf` and `termOf` receive a, b and whether b >= a (the
// branch every kernel splits on; false when either value is NaN).
template <class Weight, class Term>
bool gatedMean(double threshold, int n, const double* first, const double* second,
               double* result, Weight weightOf, Term termOf) {
    long double numerator = 0.0L;
    long double denominator = 0.0L;
    for (std::int64_t i = 0; i < n; ++i) {
        const double a = first[i];
        const double b = second[i];
        // Ordered comparisons on purpose: NaN passes validation and is
        // handled by the gate and the terms below.
        if (a < 0.0 || a > 1.0 || b < 0.0 || b > 1.0) return false;
        const bool bAtLeastA = b >= a;
        const double weight = weightOf(a, b, bAtLeastA);
        if (!(weight >= threshold)) continue;  // NaN weight or threshold gates out
        denominator += weight;
        numerator += termOf(static_cast<long double>(a), static_cast<long double>(b), bAtLeastA);
    }
    result[0] = denominator > 0.0L ? static_cast<double>(numerator / denominator) : 0.0;
    return true;
}

// Mutual kernels weigh a position by the larger value; a NaN on either side
// makes b >= a false and so picks a.
inline double largerOf(double a, double b, bool bAtLeastA) { return bAtLeastA ? b : a; }
// Directed kernels weigh a position by the first vector's value.
inline double firstOf(double a, double, bool) { return a; }

}  // namespace

Contifiers::Contifiers() : threshold(0.0), relationMode(1), typeMode(1) {}

Contifiers::Contifiers(double value)
    : threshold(value > 0.0 && value < 1.0 ? value : 0.0), relationMode(1), typeMode(1) {}

bool Contifiers::thresholds(double value) {
    if (value < 0.0 || value > 1.0) return false;
    threshold = value;
    return true;
}

int Contifiers::thresholds(int capacity, double* out) {
    if (out == nullptr || capacity == 0) return 0;
    out[0] = threshold;
    return 1;
}

bool Contifiers::setModes(int relation, int type) {
    if (relation < 0 || relation > 2 || type < 0 || type > 2) return false;
    relationMode = relation;
    typeMode = type;
    return true;
}

int Contifiers::getModes(int capacity, int* out) {
    if (out == nullptr || capacity <= 1) return 0;
    out[0] = relationMode;
    out[1] = typeMode;
    return 2;
}

bool Contifiers::aggregate(int n, double* first, double* second, double* result) {
    if (first == nullptr || second == nullptr) return false;
    if (result == nullptr) return false;
    result[0] = 0.0;
    if (relationMode == 0) {
        switch (typeMode) {
            case 2: return aggMutType2(n, first, second, result);
            case 1: return aggMutType1(n, first, second, result);
            default: return aggMutType0(n, first, second, result);
        }
    }
    // Relation 2 (and any value a host wrote into the field directly) is the
    // directed relation read the other way round.
    double* a = relationMode == 1 ? first : second;
    double* b = relationMode == 1 ? second : first;
    switch (typeMode) {
        case 2: return aggDirType2(n, a, b, result);
        case 1: return aggDirType1(n, a, b, result);
        default: return aggDirType0(n, a, b, result);
    }
}

bool Contifiers::aggMutType0(int n, double* first, double* second, double* result) {
    return gatedMean(threshold, n, first, second, result, largerOf,
                     [](long double a, long double b, bool) { return a * b; });
}

bool Contifiers::aggMutType1(int n, double* first, double* second, double* result) {
    return gatedMean(threshold, n, first, second, result, largerOf,
                     [](long double a, long double b, bool bAtLeastA) { return bAtLeastA ? a : b; });
}

bool Contifiers::aggMutType2(int n, double* first, double* second, double* result) {
    return gatedMean(threshold, n, first, second, result, largerOf,
                     [](long double a, long double b, bool bAtLeastA) {
                         return bAtLeastA ? b * ((a + 1.0L) - b) : a * ((b + 1.0L) - a);
                     });
}

bool Contifiers::aggDirType0(int n, double* first, double* second, double* result) {
    return gatedMean(threshold, n, first, second, result, firstOf,
                     [](long double a, long double b, bool bAtLeastA) { return bAtLeastA ? a : a * b; });
}

bool Contifiers::aggDirType1(int n, double* first, double* second, double* result) {
    return gatedMean(threshold, n, first, second, result, firstOf,
                     [](long double a, long double b, bool bAtLeastA) { return bAtLeastA ? a : b; });
}

bool Contifiers::aggDirType2(int n, double* first, double* second, double* result) {
    return gatedMean(threshold, n, first, second, result, firstOf,
                     [](long double a, long double b, bool bAtLeastA) {
                         return bAtLeastA ? a : a * ((b + 1.0L) - a);
                     });
}

}  // namespace Vantor
