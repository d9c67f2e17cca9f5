// Vantor::Dinorms: configuration, aggregation kernels and combination rules.
#include "vantor/dinorms.h"

#include "signed_scan.h"

namespace Vantor {

// The default instance the din_* entries start on; the pointer is a constant
// expression, so it is valid before any constructor runs.
static Dinorms din_static;
Dinorms* din = &din_static;

namespace {

// Both configuration values live in the closed interval [0, 1]; NaN fails
// neither comparison, which the setter relies on and the constructor does not.
inline bool outsideUnit(double x) { return x < 0.0 || x > 1.0; }
inline double insideUnitOrZero(double x) { return x >= 0.0 && x <= 1.0 ? x : 0.0; }

// The four rules share the input check, the sum and the neutral band; `rule`
// turns the (possibly neutralised) sum d into the combined value.
template <class Rule>
bool combine(double neutralBand, double* result, Rule rule) {
    if (result == nullptr) return false;
    const double r0 = result[0];
    const double r1 = result[1];
    // Ordered comparisons: a NaN aggregate passes and flows into the rule.
    if (r0 < -1.0 || r0 > 0.0 || r1 < 0.0 || r1 > 1.0) return false;
    Extended d = static_cast<Extended>(r1) + r0;
    if (neutralBand > d && d > -neutralBand) d = 0.0;
    result[2] = static_cast<double>(rule(d, r0, r1));
    return true;
}

}  // namespace

Dinorms::Dinorms() : threshold(0.0), neutralBand(0.0), aggMode(0), cmbMode(0) {}

Dinorms::Dinorms(double threshold, double neutralBand)
    : threshold(insideUnitOrZero(threshold)),
      neutralBand(insideUnitOrZero(neutralBand)),
      aggMode(0),
      cmbMode(0) {}

bool Dinorms::thresholds(double threshold, double neutralBand) {
    if (outsideUnit(threshold) || outsideUnit(neutralBand)) return false;
    this->threshold = threshold;
    this->neutralBand = neutralBand;
    return true;
}

// The three families test a getter's capacity three ways, and each rule stays
// because callers rely on it as it is. Dinorms hands out its values in pairs,
// so both of its getters want room for two, by a signed test: a negative
// capacity is refused (compare Contifiers::thresholds).
int Dinorms::thresholds(int capacity, double* out) {
    if (out == nullptr || capacity < 2) return 0;
    out[0] = threshold;
    out[1] = neutralBand;
    return 2;
}

bool Dinorms::setModes(int aggMode, int cmbMode) {
    if (aggMode < 0 || aggMode > 2 || cmbMode < 0 || cmbMode > 3) return false;
    this->aggMode = aggMode;
    this->cmbMode = cmbMode;
    return true;
}

// Room for two, as for the thresholds above.
int Dinorms::getModes(int capacity, int* out) {
    if (out == nullptr || capacity < 2) return 0;
    out[0] = aggMode;
    out[1] = cmbMode;
    return 2;
}

// The three kernels share one scan (signed_scan.h, which says why it is blocked).

// Extreme values: A is the most negative significant value, B the largest.
bool Dinorms::aggType0(int n, double* values, double* result) {
    return signedscan::extremes(threshold, n, values, result);
}

// Probabilistic sum on magnitudes, |X| + |v| - |X||v|, written with signs.
bool Dinorms::aggType1(int n, double* values, double* result) {
    return signedscan::folds<signedscan::ProbabilisticSum>(threshold, n, values, result);
}

// Bounded sum, clipped after every addition on the extended sum.
bool Dinorms::aggType2(int n, double* values, double* result) {
    return signedscan::folds<signedscan::BoundedSum>(threshold, n, values, result);
}

// The side with the larger magnitude wins outright.
bool Dinorms::cmbType0(double* result) {
    return combine(neutralBand, result, [](Extended d, double r0, double r1) -> Extended {
        if (d > 0.0) return r1;
        if (d < 0.0) return r0;
        return 0.0;
    });
}

// Certainty-factor combination (R1 + R0) / (1 - min(R1, -R0)). Valid inputs
// never make the divisor 0: d > 0 needs R0 > -1 and d < 0 needs R1 < 1.
bool Dinorms::cmbType1(double* result) {
    return combine(neutralBand, result, [](Extended d, double r0, double r1) -> Extended {
        if (d > 0.0) return d / (Extended(1.0) + r0);
        if (d < 0.0) return d / (Extended(1.0) - r1);
        return 0.0;
    });
}

// The plain sum.
bool Dinorms::cmbType2(double* result) {
    return combine(neutralBand, result, [](Extended d, double, double) { return d; });
}

// The sum scaled by 1 + |R0|*|R1|.
bool Dinorms::cmbType3(double* result) {
    return combine(neutralBand, result, [](Extended d, double r0, double r1) -> Extended {
        if (d == 0.0) return 0.0;
        return (Extended(1.0) - static_cast<Extended>(r0) * r1) * d;
    });
}

bool Dinorms::aggregate(int n, double* values, double* result) {
    if (values == nullptr || result == nullptr) return false;
    result[0] = 0.0;
    result[1] = 0.0;
    result[2] = 0.0;
    bool aggregated;
    switch (aggMode) {
        case 2: aggregated = aggType2(n, values, result); break;
        case 1: aggregated = aggType1(n, values, result); break;
        default: aggregated = aggType0(n, values, result); break;
    }
    if (!aggregated) return false;
    switch (cmbMode) {
        case 3: return cmbType3(result);
        case 2: return cmbType2(result);
        case 1: return cmbType1(result);
        default: return cmbType0(result);
    }
}

}  // namespace Vantor
