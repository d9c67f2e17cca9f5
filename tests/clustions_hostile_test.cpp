// Calls a careless or hostile host can make: output arrays that overlap, so
// that an assignment read back is a piece of a similarity, and a huge k with
// nothing to cluster. The numbers may mean nothing; the process must live,
// and the documented results must hold without the memory k would take.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "differential/random_values.h"
#include "vantor/clustions.h"
#include "vantor/vantor.h"

namespace {

class CluHostile : public ::testing::Test {
protected:
    void SetUp() override { *Vantor::clu = Vantor::Clustions(); }
    void TearDown() override { *Vantor::clu = Vantor::Clustions(); }
};

// Every assignment written is then overwritten by the bytes of a similarity
// and read back as an index: it must never reach a prototype row unless it
// is one.
TEST_F(CluHostile, OverlappingOutputsNeverIndexOutsideThePrototypes) {
    vt::RandomValues rng(16);
    for (int round = 0; round < 40; ++round) {
        const int k = rng.between(1, 5), n = rng.between(1, 50), m = rng.between(1, 6);
        std::vector<double> prototypes = rng.values(k * m, 0.0, 1.0, 0.0, 0.0);
        std::vector<double> items = rng.values(n * m, -1.0, 1.0, 0.0, 0.05);
        // One buffer for all outputs, big enough for the widest of them.
        std::vector<double> shared(static_cast<std::size_t>(n) + 1, rng.uniform(-1.0, 1.0));
        int* asInts = reinterpret_cast<int*>(shared.data());
        int dims[3] = {k, n, m}, passInfo[2] = {0, 0}, ok = -1, limit = rng.between(1, 6), one = 1;
        clu_setLimits(&one, &limit, &ok);
        if (round % 2 == 0) {
            clu_cluster(prototypes.data(), items.data(), dims, asInts, shared.data(), passInfo, &ok);
        } else {
            // The two parts' arrays on top of each other, shifted by one int.
            clu_cluster2(prototypes.data(), items.data(), dims, asInts, asInts + 1, shared.data(),
                         shared.data(), passInfo, &ok);
        }
        EXPECT_EQ(ok, 1) << round;
        EXPECT_GE(passInfo[1], 1);
        EXPECT_LE(passInfo[1], limit);
    }
}

#if defined(__SANITIZE_ADDRESS__)
#define VANTOR_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOR_UNDER_ASAN 1
#endif
#endif

// In the child of a death test: caps the address space at 1 GiB (k =
// INT_MAX counts alone would need 16 GiB), runs `call`, and exits 0 when it
// returned true.
template <class Call>
[[noreturn]] void runCapped(Call call) {
    rlimit cap{};
    cap.rlim_cur = cap.rlim_max = rlim_t{1} << 30;
    if (setrlimit(RLIMIT_AS, &cap) != 0) std::_Exit(3);
    std::_Exit(call() ? 0 : 1);
}

template <class Call>
void underOneGiB(Call call) {
#ifdef VANTOR_UNDER_ASAN
    // AddressSanitizer's shadow memory needs more address space than the
    // cap: run uncapped (the allocation test counts what is allocated).
    EXPECT_TRUE(call());
#else
    EXPECT_EXIT(runCapped(call), ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(CluHostile, HugeKWithoutItemsOrFeaturesGivesTheDocumentedResult) {
    struct Row { int n, m; std::vector<int> wantPassInfo, wantAssignments; };
    const Row rows[] = {
        {-1, 5, {1, 1}, {-77, -77, -77}},  // no item is visited or written
        {3, -1, {1, 2}, {0, 0, 0}},        // no features: all on prototype 0
    };
    for (const Row& r : rows) {
        for (bool twoSided : {false, true}) {
            underOneGiB([&] {
                int dims[3] = {INT_MAX, r.n, r.m}, passInfo[2] = {0, 0}, ok = -1;
                std::vector<int> a(3, -77), b(3, -77);
                std::vector<double> s(3, 7.0), t(3, 7.0);
                if (twoSided) {
                    clu_cluster2(nullptr, nullptr, dims, a.data(), b.data(), s.data(), t.data(),
                                 passInfo, &ok);
                } else {
                    clu_cluster(nullptr, nullptr, dims, a.data(), s.data(), passInfo, &ok);
                }
                const bool partsAgree = !twoSided || b == a;
                return ok == 1 && passInfo[0] == r.wantPassInfo[0] &&
                       passInfo[1] == r.wantPassInfo[1] && a == r.wantAssignments && partsAgree;
            });
        }
    }
}

}  // namespace
