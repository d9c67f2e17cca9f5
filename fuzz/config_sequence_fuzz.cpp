// Fuzz target for the twelve configuration entries: a random sequence of
// setter and getter calls with odd counts, capacities and values, checked
// step by step against a model of what each family should hold, followed by
// one computation on whatever configuration the sequence left behind.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

#include "exact_buffer.h"
#include "harness.h"
#include "vantor/clustions.h"
#include "vantor/contifiers.h"
#include "vantor/dinorms.h"
#include "vantor/vantor.h"

namespace {

using fz::Carver;
using fz::ExactBuffer;
using fz::require;
using fz::sameBits;

// What each default instance should hold after the calls so far.
struct Model {
    double conThreshold = 0.0;
    int conModes[2] = {1, 1};
    double dinThresholds[2] = {0.0, 0.0};
    int dinModes[2] = {0, 0};
    double cluThreshold = 0.0;
    int cluLimit = 40;
};

// Setter counts are exact-match tests, so the interesting counts sit around
// the right one; a value array is as long as its count says (and at most 8).
int setterCount(Carver& in, int wanted) {
    return in.chance(3) ? in.count(3) : wanted;
}
std::size_t lengthFor(int count) { return std::min<std::size_t>(fz::elementsOf(count), 8); }

// A null n or a null value array is refused; ok is always written.
template <class T>
ExactBuffer<T> valueArray(Carver& in, int count) {
    if (in.chance(32)) return ExactBuffer<T>::null();
    return ExactBuffer<T>(lengthFor(count));
}

bool outsideUnit(double x) { return x < 0.0 || x > 1.0; }

// Values for the setters: mostly near the accepted ranges, some far off.
double unitValue(Carver& in) { return in.value(fz::kUnit); }
int modeValue(Carver& in) { return in.chance(6) ? in.count(4) : in.intIn(-1, 4); }
int limitValue(Carver& in) { return in.count(100); }

// What a host's uninitialised output array may hold.
template <class T>
T garbage(Carver& in);
template <>
double garbage<double>(Carver& in) { return in.raw(); }
template <>
int garbage<int>(Carver& in) { return static_cast<int>(in.u32()); }

void checkModel(const Model& model) {
    require(sameBits(Vantor::con->threshold, model.conThreshold), "con threshold differs from the model");
    require(Vantor::con->relationMode == model.conModes[0] && Vantor::con->typeMode == model.conModes[1],
            "con modes differ from the model");
    require(sameBits(Vantor::din->threshold, model.dinThresholds[0]) &&
                sameBits(Vantor::din->neutralBand, model.dinThresholds[1]),
            "din thresholds differ from the model");
    require(Vantor::din->aggMode == model.dinModes[0] && Vantor::din->cmbMode == model.dinModes[1],
            "din modes differ from the model");
    require(sameBits(Vantor::clu->threshold, model.cluThreshold), "clu threshold differs from the model");
    require(Vantor::clu->iterationLimit == model.cluLimit, "clu limit differs from the model");
}

// Calls a setter entry with decoded count and values; the model changes only
// when the call is expected to succeed, and the flag must say so.
template <class T, class Entry, class Draw, class Accepts, class Store>
void runSetter(Carver& in, int wanted, Entry entry, Draw draw, Accepts accepts, Store store,
               const char* name) {
    int n = setterCount(in, wanted);
    ExactBuffer<T> values = valueArray<T>(in, n);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = draw(in);
    const auto before = values.snapshot();
    const bool nullCount = in.chance(48);
    int ok = -1;
    fz::guarded([&] { entry(nullCount ? nullptr : &n, values.data(), &ok); }, name);
    const bool expectOk = !nullCount && n == wanted && !values.isNull() && accepts(values.data());
    require(ok == (expectOk ? 1 : 0), name);
    require(values.unchangedSince(before), "a setter wrote into its values");
    if (expectOk) store(values.data());
}

// Calls a getter entry with a decoded capacity; the written prefix must hold
// the model's values and the rest of the array must stay as it was.
template <class T, class Entry>
void runGetter(Carver& in, Entry entry, bool (*accepts)(int), const T* expected, std::size_t count,
               const char* name) {
    int capacity = in.count(4);
    // Some families accept any non-zero capacity; the array then holds at
    // least the values they write.
    std::size_t length = lengthFor(capacity);
    if (accepts(capacity)) length = std::max(length, count);
    ExactBuffer<T> out = in.chance(32) ? ExactBuffer<T>::null() : ExactBuffer<T>(length);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = garbage<T>(in);
    const auto before = out.snapshot();
    const bool nullCount = in.chance(48);
    int ok = -1;
    const int stated = capacity;
    fz::guarded([&] { entry(nullCount ? nullptr : &capacity, out.data(), &ok); }, name);
    require(capacity == stated, "a getter wrote its capacity");
    const bool expectOk = !nullCount && !out.isNull() && accepts(capacity);
    require(ok == (expectOk ? 1 : 0), name);
    if (!expectOk) {
        require(out.unchangedSince(before), "a refused getter wrote its array");
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        require(std::memcmp(&out[i], &expected[i], sizeof(T)) == 0, "a getter returned other values than set");
    for (std::size_t i = count; i < out.size(); ++i)
        require(std::memcmp(&out[i], before.data() + i * sizeof(T), sizeof(T)) == 0,
                "a getter wrote past its values");
}

// One step of the sequence: any of the twelve entries.
void step(Carver& in, Model& model) {
    switch (in.byte() % 12) {
        case 0:
            runSetter<double>(in, 1, con_setThresholds, unitValue,
                              [](const double* v) { return !outsideUnit(v[0]); },
                              [&](const double* v) { model.conThreshold = v[0]; }, "con_setThresholds flag");
            break;
        case 1:
            runGetter<double>(in, con_getThresholds, [](int c) { return c != 0; }, &model.conThreshold, 1,
                              "con_getThresholds flag");
            break;
        case 2:
            runSetter<int>(in, 2, con_setModes, modeValue,
                           [](const int* v) { return v[0] >= 0 && v[0] <= 2 && v[1] >= 0 && v[1] <= 2; },
                           [&](const int* v) { std::copy(v, v + 2, model.conModes); }, "con_setModes flag");
            break;
        case 3:
            runGetter<int>(in, con_getModes, [](int c) { return c >= 2; }, model.conModes, 2,
                           "con_getModes flag");
            break;
        case 4:
            runSetter<double>(in, 2, din_setThresholds, unitValue,
                              [](const double* v) { return !outsideUnit(v[0]) && !outsideUnit(v[1]); },
                              [&](const double* v) { std::copy(v, v + 2, model.dinThresholds); },
                              "din_setThresholds flag");
            break;
        case 5:
            runGetter<double>(in, din_getThresholds, [](int c) { return c >= 2; }, model.dinThresholds, 2,
                              "din_getThresholds flag");
            break;
        case 6:
            runSetter<int>(in, 2, din_setModes, modeValue,
                           [](const int* v) { return v[0] >= 0 && v[0] <= 2 && v[1] >= 0 && v[1] <= 3; },
                           [&](const int* v) { std::copy(v, v + 2, model.dinModes); }, "din_setModes flag");
            break;
        case 7:
            runGetter<int>(in, din_getModes, [](int c) { return c >= 2; }, model.dinModes, 2,
                           "din_getModes flag");
            break;
        case 8:
            runSetter<double>(in, 1, clu_setThresholds, unitValue,
                              [](const double* v) { return !outsideUnit(v[0]); },
                              [&](const double* v) { model.cluThreshold = v[0]; }, "clu_setThresholds flag");
            break;
        case 9:
            runGetter<double>(in, clu_getThresholds, [](int c) { return c > 0; }, &model.cluThreshold, 1,
                              "clu_getThresholds flag");
            break;
        case 10:
            runSetter<int>(in, 1, clu_setLimits, limitValue, [](const int* v) { return v[0] > 0; },
                           [&](const int* v) { model.cluLimit = v[0]; }, "clu_setLimits flag");
            break;
        default:
            runGetter<int>(in, clu_getLimits, [](int c) { return c > 0; }, &model.cluLimit, 1,
                           "clu_getLimits flag");
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Carver in(data, size);
    fz::resetConfiguration();
    Model model;
    const int steps = in.intIn(0, 24);
    for (int i = 0; i < steps && !in.exhausted(); ++i) {
        step(in, model);
        checkModel(model);
    }
    switch (in.byte() % 4) {
        case 0: fz::checkConAggregate(in); break;
        case 1: fz::checkDinAggregate(in); break;
        case 2: fz::checkCluCluster(in); break;
        default: fz::checkCluCluster2(in); break;
    }
    return 0;
}
