// Each kernel and rule is written out in full on purpose: the reference must
// read like the steps, not like an optimised library.
#include "literal_dinorms.h"

#include "reference_extended.h"

namespace literal {

bool aggType0(const Vantor::Dinorms& d, int n, const double* values, double* result) {
    const double threshold = d.threshold;
    Extended negative = Extended(0.0);
    Extended positive = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const double v = values[i];
        if (v == 0.0) {
            continue;
        } else if (v <= -threshold) {
            if (v < -1.0) return false;
            if (v <= negative) negative = v;
        } else if (v >= threshold) {
            if (v > 1.0) return false;
            if (v >= positive) positive = v;
        }
    }
    result[0] = static_cast<double>(negative);
    result[1] = static_cast<double>(positive);
    return true;
}

bool aggType1(const Vantor::Dinorms& d, int n, const double* values, double* result) {
    const double threshold = d.threshold;
    Extended negative = Extended(0.0);
    Extended positive = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const double v = values[i];
        if (v == 0.0) {
            continue;
        } else if (v <= -threshold) {
            if (v < -1.0) return false;
            const Extended product = negative * v;
            const Extended sum = v + product;
            negative = negative + sum;
        } else if (v >= threshold) {
            if (v > 1.0) return false;
            const Extended product = positive * v;
            const Extended difference = v - product;
            positive = positive + difference;
        }
    }
    result[0] = static_cast<double>(negative);
    result[1] = static_cast<double>(positive);
    return true;
}

bool aggType2(const Vantor::Dinorms& d, int n, const double* values, double* result) {
    const double threshold = d.threshold;
    Extended negative = Extended(0.0);
    Extended positive = Extended(0.0);
    for (int i = 0; i < n; ++i) {
        const double v = values[i];
        if (v == 0.0) {
            continue;
        } else if (v <= -threshold) {
            if (v < -1.0) return false;
            const Extended s = negative + v;
            if (s > Extended(-1.0)) {
                negative = s;
            } else {
                negative = Extended(-1.0);
            }
        } else if (v >= threshold) {
            if (v > 1.0) return false;
            const Extended s = positive + v;
            if (s < Extended(1.0)) {
                positive = s;
            } else {
                positive = Extended(1.0);
            }
        }
    }
    result[0] = static_cast<double>(negative);
    result[1] = static_cast<double>(positive);
    return true;
}

namespace {

// Steps 1 to 4 of every rule: the input check, the sum and the neutral band.
// False when the inputs are refused.
bool neutralisedSum(const Vantor::Dinorms& d, const double* result, Extended* sum) {
    if (result == nullptr) return false;
    const double r0 = result[0];
    const double r1 = result[1];
    if (r0 < -1.0) return false;
    if (r0 > 0.0) return false;
    if (r1 < 0.0) return false;
    if (r1 > 1.0) return false;
    Extended s = static_cast<Extended>(r1) + static_cast<Extended>(r0);
    if (d.neutralBand > s && s > -d.neutralBand) s = Extended(0.0);
    *sum = s;
    return true;
}

}  // namespace

bool cmbType0(const Vantor::Dinorms& d, double* result) {
    Extended s;
    if (!neutralisedSum(d, result, &s)) return false;
    Extended combined;
    if (s > Extended(0.0)) {
        combined = result[1];
    } else if (s < Extended(0.0)) {
        combined = result[0];
    } else {
        combined = Extended(0.0);
    }
    result[2] = static_cast<double>(combined);
    return true;
}

bool cmbType1(const Vantor::Dinorms& d, double* result) {
    Extended s;
    if (!neutralisedSum(d, result, &s)) return false;
    Extended combined;
    if (s > Extended(0.0)) {
        combined = s / (Extended(1.0) + static_cast<Extended>(result[0]));
    } else if (s < Extended(0.0)) {
        combined = s / (Extended(1.0) - static_cast<Extended>(result[1]));
    } else {
        combined = Extended(0.0);
    }
    result[2] = static_cast<double>(combined);
    return true;
}

bool cmbType2(const Vantor::Dinorms& d, double* result) {
    Extended s;
    if (!neutralisedSum(d, result, &s)) return false;
    result[2] = static_cast<double>(s);
    return true;
}

bool cmbType3(const Vantor::Dinorms& d, double* result) {
    Extended s;
    if (!neutralisedSum(d, result, &s)) return false;
    Extended combined;
    if (s == Extended(0.0)) {
        combined = Extended(0.0);
    } else {
        const Extended product =
            static_cast<Extended>(result[0]) * static_cast<Extended>(result[1]);
        combined = (Extended(1.0) - product) * s;
    }
    result[2] = static_cast<double>(combined);
    return true;
}

bool dinAggregate(const Vantor::Dinorms& d, int n, const double* values, double* result) {
    if (values == nullptr || result == nullptr) return false;
    result[0] = 0.0;
    result[1] = 0.0;
    result[2] = 0.0;
    bool aggregated;
    if (d.aggMode == 2) {
        aggregated = aggType2(d, n, values, result);
    } else if (d.aggMode == 1) {
        aggregated = aggType1(d, n, values, result);
    } else {
        aggregated = aggType0(d, n, values, result);
    }
    if (!aggregated) return false;
    if (d.cmbMode == 3) return cmbType3(d, result);
    if (d.cmbMode == 2) return cmbType2(d, result);
    if (d.cmbMode == 1) return cmbType1(d, result);
    return cmbType0(d, result);
}

}  // namespace literal
