// din_aggregate under hostile input: its flag must match the documented
// acceptance rule, the three results must lie in their ranges on success and
// a refusal must leave behind exactly what the header promises.
#include <cstddef>
#include <cstring>

#include "exact_buffer.h"
#include "harness.h"
#include "vantor/dinorms.h"
#include "vantor/vantor.h"

namespace fz {

void configureDinorms(Carver& in) {
    int two = 2, ok = -1;
    double thresholds[2] = {in.value(kUnit), in.value(kUnit)};
    guarded([&] { din_setThresholds(&two, thresholds, &ok); }, "din_setThresholds threw");
    int modes[2] = {in.intIn(-1, 3), in.intIn(-1, 4)};
    guarded([&] { din_setModes(&two, modes, &ok); }, "din_setModes threw");
    if (in.chance(8)) Vantor::din->aggMode = in.count(4);
    if (in.chance(8)) Vantor::din->cmbMode = in.count(5);
}

namespace {

// The scan refuses a significant value outside [-1, 1]; zero, NaN and the
// values strictly inside (-threshold, threshold) are never judged.
bool scanAccepts(const ExactBuffer<double>& values, double threshold) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double v = values[i];
        if (v == 0.0) continue;
        if (v <= -threshold) {
            if (v < -1.0) return false;
        } else if (v >= threshold) {
            if (v > 1.0) return false;
        }
    }
    return true;
}

}  // namespace

void checkDinAggregate(Carver& in) {
    int n = in.count(64);
    if (n > 256) n %= 257;
    ExactBuffer<double> values = in.chance(24) ? ExactBuffer<double>::null()
                                               : ExactBuffer<double>(elementsOf(n));
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = in.value(kSigned);
    ExactBuffer<double> result = in.chance(24) ? ExactBuffer<double>::null() : ExactBuffer<double>(3);
    for (std::size_t i = 0; i < result.size(); ++i) result[i] = in.value(kSigned);

    const auto valuesBefore = values.snapshot();
    const auto resultBefore = result.snapshot();
    const Vantor::Dinorms config = *Vantor::din;

    ExactBuffer<double> valuesCopy = copyOf(values), resultCopy = copyOf(result);
    Vantor::Dinorms method = config;
    bool reported = false;
    guarded([&] { reported = method.aggregate(n, valuesCopy.data(), resultCopy.data()); },
            "Dinorms::aggregate threw");

    int ok = -1;
    int length = n;
    guarded([&] { din_aggregate(&length, values.data(), result.data(), &ok); }, "din_aggregate threw");

    require(ok == 0 || ok == 1, "din_aggregate: ok is neither 0 nor 1");
    require(ok == (reported ? 1 : 0), "din_aggregate: ok differs from what the method reported");
    require(length == n, "din_aggregate wrote its length");
    require(values.unchangedSince(valuesBefore), "din_aggregate wrote into values");
    require(std::memcmp(&config, Vantor::din, sizeof config) == 0, "din_aggregate changed the configuration");
    if (!result.isNull())
        require(result.snapshot() == resultCopy.snapshot(), "din_aggregate and the method disagree");

    const bool expectOk = !values.isNull() && !result.isNull() && scanAccepts(values, config.threshold);
    require(ok == (expectOk ? 1 : 0), "din_aggregate: ok does not follow the acceptance rule");

    if (values.isNull() || result.isNull()) {
        require(result.unchangedSince(resultBefore), "din_aggregate wrote a result for a null array");
    } else if (ok == 0) {
        for (int i = 0; i < 3; ++i)
            require(sameBits(result[i], 0.0), "refused din_aggregate left a result other than 0.0");
    } else {
        // NaN values are skipped, so the ranges hold for every success.
        require(result[0] >= -1.0 && result[0] <= 0.0, "negative aggregate outside [-1, 0]");
        require(result[1] >= 0.0 && result[1] <= 1.0, "positive aggregate outside [0, 1]");
        require(result[2] >= -1.0 && result[2] <= 1.0, "combined value outside [-1, 1]");
    }
}

}  // namespace fz
