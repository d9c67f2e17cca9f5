// Fuzz target for the clustering calls a careless host makes, which the
// other targets never form: every per-item output in one buffer (so each
// assignment read back may be a piece of a similarity), and k up to INT_MAX
// when there is nothing to cluster (n < 0, or m < 0). An overlapped run's
// numbers mean nothing; the process must live, touch nothing outside the
// arrays and report a run. With a huge k the documented result must come
// without the memory k would take.
#include <climits>
#include <cstring>
#include <vector>

#include "exact_buffer.h"
#include "harness.h"
#include "vantor/clustions.h"
#include "vantor/vantor.h"

namespace {

constexpr int kMaxPasses = 64;  // a cycling run takes every pass allowed

int boundedLimit() {
    if (Vantor::clu->iterationLimit > kMaxPasses) Vantor::clu->iterationLimit = kMaxPasses;
    return Vantor::clu->iterationLimit;
}

void requireRun(int ok, const int* passInfo, int limit) {
    fz::require(ok == 1, "hostile clustering: ok is not 1");
    fz::require(passInfo[0] == 0 || passInfo[0] == 1, "hostile clustering: passInfo[0] not 0 or 1");
    fz::require(passInfo[1] >= 1 && passInfo[1] <= limit, "hostile clustering: passes out of range");
}

void overlappingOutputs(fz::Carver& in, bool twoSided) {
    const int limit = boundedLimit();
    const int k = in.intIn(1, 6), n = in.intIn(1, 12), m = in.intIn(1, 6);
    fz::ExactBuffer<double> prototypes(static_cast<std::size_t>(k) * m);
    for (std::size_t i = 0; i < prototypes.size(); ++i) prototypes[i] = in.value(fz::kUnit);
    fz::ExactBuffer<double> items(static_cast<std::size_t>(n) * m);
    for (std::size_t i = 0; i < items.size(); ++i) items[i] = in.value(fz::kData);
    // n + 1 doubles hold 2n + 2 ints: room for the int arrays at an offset.
    fz::ExactBuffer<double> shared(static_cast<std::size_t>(n) + 1);
    for (std::size_t i = 0; i < shared.size(); ++i) shared[i] = in.raw();
    int* ints = reinterpret_cast<int*>(shared.data());
    int* first = ints + in.intIn(0, 2);
    int* second = ints + in.intIn(0, 2);
    int dims[3] = {k, n, m}, passInfo[2] = {0, 0}, ok = -1;
    fz::guarded(
        [&] {
            if (twoSided) {
                clu_cluster2(prototypes.data(), items.data(), dims, first, second, shared.data(),
                             shared.data(), passInfo, &ok);
            } else {
                clu_cluster(prototypes.data(), items.data(), dims, first, shared.data(), passInfo,
                            &ok);
            }
        },
        "hostile clustering threw");
    requireRun(ok, passInfo, limit);
}

void hugeKWithNothingToCluster(fz::Carver& in, bool twoSided) {
    const int limit = boundedLimit();
    const int k = in.chance(2) ? INT_MAX : in.intIn(1, INT_MAX);
    const bool noItems = in.chance(2);
    const int n = noItems ? in.intIn(-3, -1) : in.intIn(1, 12);
    const int m = noItems ? in.intIn(-3, 6) : in.intIn(-3, -1);
    if (m == 0) return;  // a plain refusal, covered elsewhere
    const std::size_t length = n > 0 ? static_cast<std::size_t>(n) : 0;
    fz::ExactBuffer<int> a(length), b(length);
    fz::ExactBuffer<double> s(length), t(length);
    for (std::size_t i = 0; i < length; ++i) {
        a[i] = b[i] = static_cast<int>(in.u32());
        s[i] = t[i] = in.raw();
    }
    int dims[3] = {k, n, m}, passInfo[2] = {0, 0}, ok = -1;
    fz::guarded(
        [&] {
            if (twoSided) {
                clu_cluster2(nullptr, nullptr, dims, a.data(), b.data(), s.data(), t.data(),
                             passInfo, &ok);
            } else {
                clu_cluster(nullptr, nullptr, dims, a.data(), s.data(), passInfo, &ok);
            }
        },
        "hostile clustering threw");
    requireRun(ok, passInfo, limit);
    if (noItems) {
        fz::require(passInfo[0] == 1 && passInfo[1] == 1, "no items: passInfo is not {1, 1}");
        return;
    }
    // No features: every similarity is 0.0, every part goes to prototype 0.
    const int wantPasses = limit == 1 ? 1 : 2;
    fz::require(passInfo[1] == wantPasses && passInfo[0] == (limit == 1 ? 0 : 1),
                "no features: passInfo is not {1, 2}");
    for (std::size_t i = 0; i < length; ++i) {
        fz::require(a[i] == 0 && s[i] == 0.0, "no features: a part is not on prototype 0");
        if (twoSided) fz::require(b[i] == 0 && t[i] == 0.0, "no features: a part is not on prototype 0");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::Carver in(data, size);
    fz::resetConfiguration();
    const int shape = in.byte() % 4;
    fz::configureClustions(in);
    switch (shape) {
        case 0: overlappingOutputs(in, false); break;
        case 1: overlappingOutputs(in, true); break;
        case 2: hugeKWithNothingToCluster(in, false); break;
        default: hugeKWithNothingToCluster(in, true); break;
    }
    return 0;
}
