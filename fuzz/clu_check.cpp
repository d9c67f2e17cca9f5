// clu_cluster and clu_cluster2 under hostile input: zero, negative and odd
// dimensions, missing arrays, seeds and items with NaN, infinities and
// extreme magnitudes. Every array sits in an exact-size buffer. The checks
// cover the flag, the arrays a refusal must leave alone, the ranges of every
// output, and bit-for-bit agreement with the plain reference implementation.
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "exact_buffer.h"
#include "harness.h"
#include "literal_clustions.h"
#include "vantor/clustions.h"
#include "vantor/vantor.h"

namespace fz {

namespace {

// A run that cycles takes every pass it is allowed; the fuzzer keeps the
// allowance small so such an input is not mistaken for a hang.
constexpr int kMaxPasses = 64;

// Beyond this magnitude the prototype sums may overflow to infinity, after
// which a similarity can legitimately be NaN.
constexpr double kModerate = 1e150;

}  // namespace

void configureClustions(Carver& in) {
    int one = 1, ok = -1;
    double threshold = in.value(kUnit);
    guarded([&] { clu_setThresholds(&one, &threshold, &ok); }, "clu_setThresholds threw");
    int limit = in.chance(4) ? in.count(kMaxPasses) : in.intIn(1, 12);
    guarded([&] { clu_setLimits(&one, &limit, &ok); }, "clu_setLimits threw");
}

namespace {

template <class T>
ExactBuffer<T> maybeNull(Carver& in, std::size_t length) {
    return in.chance(40) ? ExactBuffer<T>::null() : ExactBuffer<T>(length);
}

// Every array of one clustering call, as a host would lay them out. The
// per-item outputs come in pairs: an assignment array and its similarities
// (one pair for clu_cluster, the negative and positive pairs for
// clu_cluster2).
struct Call {
    int k, n, m;
    ExactBuffer<double> prototypes;
    ExactBuffer<double> items;
    ExactBuffer<int> dims;
    std::vector<ExactBuffer<int>> assignments;
    std::vector<ExactBuffer<double>> similarities;
    ExactBuffer<int> passInfo;

    Call(Carver& in, int pairs) {
        // Small dimensions keep an input fast; zero and negative ones are common.
        k = in.chance(5) ? in.intIn(-3, 0) : in.intIn(1, 6);
        n = in.chance(5) ? in.intIn(-3, 0) : in.intIn(1, 12);
        m = in.chance(5) ? in.intIn(-3, 0) : in.intIn(1, 6);
        prototypes = maybeNull<double>(in, elementsOf(k, m));
        for (std::size_t i = 0; i < prototypes.size(); ++i)
            prototypes[i] = in.chance(3) ? in.inRange(kUnit) : in.value(kData);
        items = maybeNull<double>(in, elementsOf(n, m));
        for (std::size_t i = 0; i < items.size(); ++i)
            items[i] = in.chance(3) ? in.inRange(kData) : in.value(kData);
        dims = maybeNull<int>(in, 3);
        if (!dims.isNull()) {
            dims[0] = k;
            dims[1] = n;
            dims[2] = m;
        }
        // Output arrays start with whatever the host's memory held.
        for (int i = 0; i < pairs; ++i) {
            assignments.push_back(maybeNull<int>(in, elementsOf(n)));
            for (std::size_t j = 0; j < assignments.back().size(); ++j)
                assignments.back()[j] = static_cast<int>(in.u32());
            similarities.push_back(maybeNull<double>(in, elementsOf(n)));
            for (std::size_t j = 0; j < similarities.back().size(); ++j) similarities.back()[j] = in.raw();
        }
        passInfo = maybeNull<int>(in, 2);
        for (std::size_t i = 0; i < passInfo.size(); ++i) passInfo[i] = static_cast<int>(in.u32());
    }

    // The documented acceptance rule: dims given, no zero dimension, k
    // positive, and every array the call needs present (per-item arrays when
    // there are items, rows when there are items with features, passInfo
    // always).
    bool acceptable() const {
        if (dims.isNull() || k <= 0 || n == 0 || m == 0 || passInfo.isNull()) return false;
        for (std::size_t i = 0; i < assignments.size(); ++i)
            if (n > 0 && (assignments[i].isNull() || similarities[i].isNull())) return false;
        if (n > 0 && m > 0 && (prototypes.isNull() || items.isNull())) return false;
        return true;
    }

    // The plain reference follows the steps for any k of 1 or more on arrays
    // that are all present; a negative k and missing arrays are the
    // library's own refusals.
    bool referenceApplies() const { return acceptable(); }

    std::vector<std::vector<unsigned char>> outputSnapshot() const {
        std::vector<std::vector<unsigned char>> s{prototypes.snapshot(), passInfo.snapshot()};
        for (const auto& a : assignments) s.push_back(a.snapshot());
        for (const auto& a : similarities) s.push_back(a.snapshot());
        return s;
    }
};

// A copy of every array, for the reference run.
struct Copy {
    ExactBuffer<double> prototypes;
    std::vector<ExactBuffer<int>> assignments;
    std::vector<ExactBuffer<double>> similarities;
    ExactBuffer<int> passInfo;

    explicit Copy(const Call& c) : prototypes(copyOf(c.prototypes)), passInfo(copyOf(c.passInfo)) {
        for (const auto& a : c.assignments) assignments.push_back(copyOf(a));
        for (const auto& a : c.similarities) similarities.push_back(copyOf(a));
    }
};

bool allModerate(const ExactBuffer<double>& a) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(std::fabs(a[i]) <= kModerate)) return false;
    return true;
}

// Bit-for-bit equality of two arrays of doubles, any NaN equal to any NaN.
bool sameDoubles(const ExactBuffer<double>& a, const ExactBuffer<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!sameBits(a[i], b[i]) && !(std::isnan(a[i]) && std::isnan(b[i]))) return false;
    return true;
}

bool sameInts(const ExactBuffer<int>& a, const ExactBuffer<int>& b) { return a.snapshot() == b.snapshot(); }

// One part's outcome: its prototype and the similarity that put it there.
void checkAssignment(int assignment, double similarity, int k, bool moderate) {
    require(assignment == -1 || (assignment >= 0 && assignment < k), "assignment outside [0, k) and not -1");
    if (assignment == -1) {
        require(sameBits(similarity, -1.0), "unassigned part without similarity -1.0");
        require(!moderate, "a part of finite data was left unassigned");
    } else if (moderate) {
        require(similarity >= 0.0 && similarity <= 1.0, "similarity outside [0, 1]");
    } else {
        require(std::isnan(similarity) || (similarity >= 0.0 && similarity <= 1.0),
                "similarity outside [0, 1]");
    }
}

void checkPassInfo(const ExactBuffer<int>& passInfo, int n, int limit) {
    require(passInfo[0] == 0 || passInfo[0] == 1, "passInfo[0] is neither 0 nor 1");
    require(passInfo[1] >= 1 && passInfo[1] <= limit, "passInfo[1] outside [1, pass limit]");
    if (passInfo[0] == 0) require(passInfo[1] == limit, "an unconverged run stopped before the limit");
    if (passInfo[0] == 1 && n > 0) require(passInfo[1] >= 2, "a run converged without a confirming pass");
}

int boundedLimit() {
    if (Vantor::clu->iterationLimit > kMaxPasses) {
        int one = 1, ok = -1, limit = kMaxPasses;
        guarded([&] { clu_setLimits(&one, &limit, &ok); }, "clu_setLimits threw");
        require(ok == 1, "clu_setLimits refused a valid limit");
    }
    return Vantor::clu->iterationLimit;
}

// Runs one clustering entry on `call` and the reference on a copy, then
// checks everything the entry promises. `entry` and `reference` receive the
// arrays to work on.
template <class Entry, class Reference>
void checkClustering(Call& call, Entry entry, Reference reference) {
    const int limit = boundedLimit();
    const auto itemsBefore = call.items.snapshot();
    const auto dimsBefore = call.dims.snapshot();
    const auto outputsBefore = call.outputSnapshot();
    const Vantor::Clustions config = *Vantor::clu;
    // Judged on the seeds: the prototypes are refined in place.
    const bool moderate = allModerate(call.prototypes) && allModerate(call.items);

    Copy ref(call);
    bool refOk = false;
    if (call.referenceApplies()) refOk = reference(config, ref);

    int ok = -1;
    guarded([&] { entry(&ok); }, "a clustering entry threw");

    require(ok == 0 || ok == 1, "clustering: ok is neither 0 nor 1");
    require(call.items.unchangedSince(itemsBefore), "clustering wrote into items");
    require(call.dims.unchangedSince(dimsBefore), "clustering wrote into dims");
    require(std::memcmp(&config, Vantor::clu, sizeof config) == 0, "clustering changed the configuration");
    require(ok == (call.acceptable() ? 1 : 0), "clustering: ok does not follow the acceptance rule");

    if (ok == 0) {
        require(call.outputSnapshot() == outputsBefore, "a refused clustering call wrote an array");
        return;
    }
    if (call.referenceApplies()) {
        require(refOk, "the reference refused what the entry accepted");
        require(sameDoubles(call.prototypes, ref.prototypes), "prototypes differ from the reference");
        require(sameInts(call.passInfo, ref.passInfo), "passInfo differs from the reference");
        for (std::size_t i = 0; i < call.assignments.size(); ++i) {
            require(sameInts(call.assignments[i], ref.assignments[i]), "assignments differ from the reference");
            require(sameDoubles(call.similarities[i], ref.similarities[i]),
                    "similarities differ from the reference");
        }
    }
    checkPassInfo(call.passInfo, call.n, limit);
    if (call.n < 0) {
        require(call.passInfo[0] == 1 && call.passInfo[1] == 1, "clustering no items: passInfo not {1, 1}");
        auto after = call.outputSnapshot();
        auto before = outputsBefore;
        after[1].clear();  // passInfo, checked above
        before[1].clear();
        require(after == before, "clustering no items wrote an array other than passInfo");
        return;
    }
    // Both parts of an item are non-negative, so finite seeds and items give
    // every part of every item a similarity in [0, 1].
    for (std::size_t i = 0; i < call.assignments.size(); ++i)
        for (int j = 0; j < call.n; ++j)
            checkAssignment(call.assignments[i][j], call.similarities[i][j], call.k, moderate);
}

}  // namespace

void checkCluCluster(Carver& in) {
    Call c(in, 1);
    checkClustering(
        c,
        [&](int* ok) {
            clu_cluster(c.prototypes.data(), c.items.data(), c.dims.data(), c.assignments[0].data(),
                        c.similarities[0].data(), c.passInfo.data(), ok);
        },
        [&](const Vantor::Clustions& config, Copy& r) {
            return literal::cluster(config, r.prototypes.data(), c.items.data(), c.dims.data(),
                                    r.assignments[0].data(), r.similarities[0].data(), r.passInfo.data());
        });
}

void checkCluCluster2(Carver& in) {
    Call c(in, 2);
    checkClustering(
        c,
        [&](int* ok) {
            clu_cluster2(c.prototypes.data(), c.items.data(), c.dims.data(), c.assignments[0].data(),
                         c.assignments[1].data(), c.similarities[0].data(), c.similarities[1].data(),
                         c.passInfo.data(), ok);
        },
        [&](const Vantor::Clustions& config, Copy& r) {
            return literal::cluster(config, r.prototypes.data(), c.items.data(), c.dims.data(),
                                    r.assignments[0].data(), r.assignments[1].data(), r.similarities[0].data(),
                                    r.similarities[1].data(), r.passInfo.data());
        });
}

}  // namespace fz
