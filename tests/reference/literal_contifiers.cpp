// Each kernel below is the same loop written out in full on purpose: the
// reference must read like the steps, not like an optimised library.
#include "literal_contifiers.h"

#include "reference_extended.h"

namespace literal {

namespace {

bool outsideUnit(double x) { return x < 0.0 || x > 1.0; }

void storeQuotient(Extended numerator, Extended denominator, double* result) {
    if (denominator > Extended(0.0)) {
        result[0] = static_cast<double>(numerator / denominator);
    } else {
        result[0] = 0.0;
    }
}

}  // namespace

bool aggMutType0(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result) {
    const double threshold = c.threshold;
    Extended numerator = Extended(0.0);
    Extended denominator = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const double a = first[i];
        const double b = second[i];
        if (outsideUnit(a) || outsideUnit(b)) return false;
        double deciding;
        if (b >= a) {
            deciding = b;
        } else {
            deciding = a;
        }
        if (deciding >= threshold) {
            denominator += deciding;
            numerator += static_cast<Extended>(a) * static_cast<Extended>(b);
        }
    }
    storeQuotient(numerator, denominator, result);
    return true;
}

bool aggMutType1(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result) {
    const double threshold = c.threshold;
    Extended numerator = Extended(0.0);
    Extended denominator = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const double a = first[i];
        const double b = second[i];
        if (outsideUnit(a) || outsideUnit(b)) return false;
        if (b >= a) {
            if (b >= threshold) {
                denominator += b;
                numerator += a;
            }
        } else {
            if (a >= threshold) {
                denominator += a;
                numerator += b;
            }
        }
    }
    storeQuotient(numerator, denominator, result);
    return true;
}

bool aggMutType2(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result) {
    const double threshold = c.threshold;
    Extended numerator = Extended(0.0);
    Extended denominator = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const Extended a = first[i];
        const Extended b = second[i];
        if (first[i] < 0.0 || first[i] > 1.0 || second[i] < 0.0 || second[i] > 1.0) return false;
        if (second[i] >= first[i]) {
            if (second[i] >= threshold) {
                denominator += b;
                numerator += b * ((a + Extended(1.0)) - b);
            }
        } else {
            if (first[i] >= threshold) {
                denominator += a;
                numerator += a * ((b + Extended(1.0)) - a);
            }
        }
    }
    storeQuotient(numerator, denominator, result);
    return true;
}

bool aggDirType0(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result) {
    const double threshold = c.threshold;
    Extended numerator = Extended(0.0);
    Extended denominator = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const double a = first[i];
        const double b = second[i];
        if (outsideUnit(a) || outsideUnit(b)) return false;
        if (a >= threshold) {
            denominator += a;
            if (b >= a) {
                numerator += a;
            } else {
                numerator += static_cast<Extended>(a) * static_cast<Extended>(b);
            }
        }
    }
    storeQuotient(numerator, denominator, result);
    return true;
}

bool aggDirType1(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result) {
    const double threshold = c.threshold;
    Extended numerator = Extended(0.0);
    Extended denominator = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const double a = first[i];
        const double b = second[i];
        if (outsideUnit(a) || outsideUnit(b)) return false;
        if (a >= threshold) {
            denominator += a;
            if (b >= a) {
                numerator += a;
            } else {
                numerator += b;
            }
        }
    }
    storeQuotient(numerator, denominator, result);
    return true;
}

bool aggDirType2(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result) {
    const double threshold = c.threshold;
    Extended numerator = Extended(0.0);
    Extended denominator = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const double a = first[i];
        const double b = second[i];
        if (outsideUnit(a) || outsideUnit(b)) return false;
        if (a >= threshold) {
            denominator += a;
            if (b >= a) {
                numerator += a;
            } else {
                const Extended la = a;
                const Extended lb = b;
                numerator += la * ((lb + Extended(1.0)) - la);
            }
        }
    }
    storeQuotient(numerator, denominator, result);
    return true;
}

bool conAggregate(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                  double* result) {
    if (first == nullptr || second == nullptr) return false;
    if (result == nullptr) return false;
    result[0] = 0.0;
    if (c.relationMode == 0) {
        if (c.typeMode == 2) return aggMutType2(c, n, first, second, result);
        if (c.typeMode == 1) return aggMutType1(c, n, first, second, result);
        return aggMutType0(c, n, first, second, result);
    }
    const double* a = first;
    const double* b = second;
    if (c.relationMode != 1) {
        a = second;
        b = first;
    }
    if (c.typeMode == 2) return aggDirType2(c, n, a, b, result);
    if (c.typeMode == 1) return aggDirType1(c, n, a, b, result);
    return aggDirType0(c, n, a, b, result);
}

}  // namespace literal
