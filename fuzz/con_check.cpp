// con_aggregate under hostile input: its flag must match the documented
// acceptance rule, a success must lie in [0, 1] and a refusal must leave
// behind exactly what the header promises.
#include <cmath>
#include <cstddef>

#include "exact_buffer.h"
#include "harness.h"
#include "vantor/contifiers.h"
#include "vantor/vantor.h"

namespace fz {

void configureContifiers(Carver& in) {
    int one = 1, two = 2, ok = -1;
    double threshold = in.value(kUnit);
    guarded([&] { con_setThresholds(&one, &threshold, &ok); }, "con_setThresholds threw");
    int modes[2] = {in.intIn(-1, 3), in.intIn(-1, 3)};
    guarded([&] { con_setModes(&two, modes, &ok); }, "con_setModes threw");
    if (in.chance(8)) Vantor::con->relationMode = in.count(4);
    if (in.chance(8)) Vantor::con->typeMode = in.count(4);
}

namespace {

// Fills an array with values meant for [0, 1], or leaves it null.
ExactBuffer<double> membershipArray(Carver& in, int n) {
    if (in.chance(24)) return ExactBuffer<double>::null();
    ExactBuffer<double> a(elementsOf(n));
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = in.value(kUnit);
    return a;
}

// Every value is checked against [0, 1] by ordered comparisons, so NaN passes.
bool allInUnit(const ExactBuffer<double>& a) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] < 0.0 || a[i] > 1.0) return false;
    return true;
}

bool anyNaN(const ExactBuffer<double>& a) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::isnan(a[i])) return true;
    return false;
}

}  // namespace

void checkConAggregate(Carver& in) {
    int n = in.count(64);
    if (n > 256) n %= 257;  // a host's array is as long as it says; keep it allocatable
    ExactBuffer<double> first = membershipArray(in, n);
    ExactBuffer<double> second = membershipArray(in, n);
    ExactBuffer<double> result = in.chance(24) ? ExactBuffer<double>::null() : ExactBuffer<double>(1);
    if (!result.isNull()) result[0] = in.value(kUnit);

    const auto firstBefore = first.snapshot();
    const auto secondBefore = second.snapshot();
    const auto resultBefore = result.snapshot();
    const Vantor::Contifiers config = *Vantor::con;

    // The same call on the class, on copies, tells what the method reported.
    ExactBuffer<double> firstCopy = copyOf(first), secondCopy = copyOf(second);
    ExactBuffer<double> resultCopy = copyOf(result);
    Vantor::Contifiers method = config;
    bool reported = false;
    guarded([&] { reported = method.aggregate(n, firstCopy.data(), secondCopy.data(), resultCopy.data()); },
            "Contifiers::aggregate threw");

    int ok = -1;
    int length = n;
    guarded([&] { con_aggregate(&length, first.data(), second.data(), result.data(), &ok); },
            "con_aggregate threw");

    require(ok == 0 || ok == 1, "con_aggregate: ok is neither 0 nor 1");
    require(ok == (reported ? 1 : 0), "con_aggregate: ok differs from what the method reported");
    require(length == n, "con_aggregate wrote its length");
    require(first.unchangedSince(firstBefore), "con_aggregate wrote into first");
    require(second.unchangedSince(secondBefore), "con_aggregate wrote into second");
    require(std::memcmp(&config, Vantor::con, sizeof config) == 0, "con_aggregate changed the configuration");
    if (!result.isNull())
        require(result.snapshot() == resultCopy.snapshot(), "con_aggregate and the method disagree");

    const bool pointersGiven = !first.isNull() && !second.isNull() && !result.isNull();
    const bool expectOk = pointersGiven && allInUnit(first) && allInUnit(second);
    require(ok == (expectOk ? 1 : 0), "con_aggregate: ok does not follow the acceptance rule");

    if (first.isNull() || second.isNull()) {
        require(result.unchangedSince(resultBefore), "con_aggregate wrote a result for a null vector");
    } else if (!result.isNull() && ok == 0) {
        require(sameBits(result[0], 0.0), "refused con_aggregate left a result other than 0.0");
    } else if (ok == 1 && !anyNaN(first) && !anyNaN(second)) {
        require(result[0] >= 0.0 && result[0] <= 1.0, "con_aggregate degree outside [0, 1]");
    }
}

}  // namespace fz
