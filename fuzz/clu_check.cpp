// clu_cluster and clu_cluster2 under hostile input: zero, negative and odd
// dimensions, seeds and items with NaN, infinities and extreme magnitudes.
// Every array sits in an exact-size buffer; the checks cover the flag, the
// arrays a refusal must leave alone, and the ranges of every output.
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "exact_buffer.h"
#include "harness.h"
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

// The inputs of one clustering call as a host would lay them out.
struct Problem {
    int k, n, m;
    ExactBuffer<double> prototypes;
    ExactBuffer<double> items;
    ExactBuffer<int> dims;
};

Problem decodeProblem(Carver& in) {
    // Small dimensions keep an input fast; zero and negative ones are common.
    const int k = in.chance(5) ? in.intIn(-3, 0) : in.intIn(1, 6);
    const int n = in.chance(5) ? in.intIn(-3, 0) : in.intIn(1, 12);
    const int m = in.chance(5) ? in.intIn(-3, 0) : in.intIn(1, 6);
    Problem p{k, n, m, ExactBuffer<double>(elementsOf(k, m)), ExactBuffer<double>(elementsOf(n, m)),
              ExactBuffer<int>(3)};
    for (std::size_t i = 0; i < p.prototypes.size(); ++i)
        p.prototypes[i] = in.chance(3) ? in.inRange(kUnit) : in.value(kData);
    for (std::size_t i = 0; i < p.items.size(); ++i)
        p.items[i] = in.chance(3) ? in.inRange(kData) : in.value(kData);
    p.dims[0] = k;
    p.dims[1] = n;
    p.dims[2] = m;
    return p;
}

// Output arrays start with whatever the host's memory held.
ExactBuffer<int> garbageInts(Carver& in, std::size_t length) {
    ExactBuffer<int> a(length);
    for (std::size_t i = 0; i < length; ++i) a[i] = static_cast<int>(in.u32());
    return a;
}

ExactBuffer<double> garbageDoubles(Carver& in, std::size_t length) {
    ExactBuffer<double> a(length);
    for (std::size_t i = 0; i < length; ++i) a[i] = in.raw();
    return a;
}

bool allModerate(const ExactBuffer<double>& a) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(std::fabs(a[i]) <= kModerate)) return false;
    return true;
}

// One item's part of the run: its prototype and the similarity that put it
// there, as the method left them.
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

// What every call must respect, whatever it decided: the read-only inputs and
// the configuration stay as they were, ok is 0 or 1, and a zero dimension is
// refused.
void checkCommon(const Problem& p, const std::vector<unsigned char>& itemsBefore,
                 const std::vector<unsigned char>& dimsBefore, const Vantor::Clustions& config, int ok,
                 const char* entry) {
    require(ok == 0 || ok == 1, entry);
    require(p.items.unchangedSince(itemsBefore), "clustering wrote into items");
    require(p.dims.unchangedSince(dimsBefore), "clustering wrote into dims");
    require(std::memcmp(&config, Vantor::clu, sizeof config) == 0, "clustering changed the configuration");
    if (p.k == 0 || p.n == 0 || p.m == 0) require(ok == 0, "a zero dimension was not refused");
    if (p.k > 0 && p.m > 0 && p.n != 0) require(ok == 1, "valid dimensions were refused");
}

int boundedLimit() {
    if (Vantor::clu->iterationLimit > kMaxPasses) {
        int one = 1, ok = -1, limit = kMaxPasses;
        guarded([&] { clu_setLimits(&one, &limit, &ok); }, "clu_setLimits threw");
        require(ok == 1, "clu_setLimits refused a valid limit");
    }
    return Vantor::clu->iterationLimit;
}

}  // namespace

void checkCluCluster(Carver& in) {
    const int limit = boundedLimit();
    Problem p = decodeProblem(in);
    const std::size_t perItem = elementsOf(p.n);
    ExactBuffer<int> assignments = garbageInts(in, perItem);
    ExactBuffer<double> similarities = garbageDoubles(in, perItem);
    ExactBuffer<int> passInfo = garbageInts(in, 2);

    const auto prototypesBefore = p.prototypes.snapshot(), itemsBefore = p.items.snapshot();
    const auto dimsBefore = p.dims.snapshot(), assignmentsBefore = assignments.snapshot();
    const auto similaritiesBefore = similarities.snapshot(), passInfoBefore = passInfo.snapshot();
    const Vantor::Clustions config = *Vantor::clu;

    int ok = -1;
    guarded([&] {
        clu_cluster(p.prototypes.data(), p.items.data(), p.dims.data(), assignments.data(),
                    similarities.data(), passInfo.data(), &ok);
    }, "clu_cluster threw");
    checkCommon(p, itemsBefore, dimsBefore, config, ok, "clu_cluster: ok is neither 0 nor 1");

    const bool untouched = p.prototypes.unchangedSince(prototypesBefore) &&
                           assignments.unchangedSince(assignmentsBefore) &&
                           similarities.unchangedSince(similaritiesBefore);
    if (ok == 0) {
        require(untouched && passInfo.unchangedSince(passInfoBefore), "refused clu_cluster wrote an array");
        return;
    }
    checkPassInfo(passInfo, p.n, limit);
    if (p.n < 0) {
        require(untouched, "clu_cluster with no items wrote an array");
        require(passInfo[0] == 1 && passInfo[1] == 1, "clu_cluster with no items: passInfo not {1, 1}");
        return;
    }
    const bool moderate = p.k > 0 && allModerate(p.prototypes) && allModerate(p.items);
    for (std::size_t j = 0; j < perItem; ++j) checkAssignment(assignments[j], similarities[j], p.k, moderate);
}

void checkCluCluster2(Carver& in) {
    const int limit = boundedLimit();
    Problem p = decodeProblem(in);
    const std::size_t perItem = elementsOf(p.n);
    ExactBuffer<int> negAssignments = garbageInts(in, perItem), posAssignments = garbageInts(in, perItem);
    ExactBuffer<double> negSimilarities = garbageDoubles(in, perItem);
    ExactBuffer<double> posSimilarities = garbageDoubles(in, perItem);
    ExactBuffer<int> passInfo = garbageInts(in, 2);

    const auto prototypesBefore = p.prototypes.snapshot(), itemsBefore = p.items.snapshot();
    const auto dimsBefore = p.dims.snapshot(), passInfoBefore = passInfo.snapshot();
    const auto negAssignmentsBefore = negAssignments.snapshot();
    const auto posAssignmentsBefore = posAssignments.snapshot();
    const auto negSimilaritiesBefore = negSimilarities.snapshot();
    const auto posSimilaritiesBefore = posSimilarities.snapshot();
    const Vantor::Clustions config = *Vantor::clu;

    int ok = -1;
    guarded([&] {
        clu_cluster2(p.prototypes.data(), p.items.data(), p.dims.data(), negAssignments.data(),
                     posAssignments.data(), negSimilarities.data(), posSimilarities.data(),
                     passInfo.data(), &ok);
    }, "clu_cluster2 threw");
    checkCommon(p, itemsBefore, dimsBefore, config, ok, "clu_cluster2: ok is neither 0 nor 1");

    const bool untouched = p.prototypes.unchangedSince(prototypesBefore) &&
                           negAssignments.unchangedSince(negAssignmentsBefore) &&
                           posAssignments.unchangedSince(posAssignmentsBefore) &&
                           negSimilarities.unchangedSince(negSimilaritiesBefore) &&
                           posSimilarities.unchangedSince(posSimilaritiesBefore);
    if (ok == 0) {
        require(untouched && passInfo.unchangedSince(passInfoBefore), "refused clu_cluster2 wrote an array");
        return;
    }
    checkPassInfo(passInfo, p.n, limit);
    if (p.n < 0) {
        require(untouched, "clu_cluster2 with no items wrote an array");
        require(passInfo[0] == 1 && passInfo[1] == 1, "clu_cluster2 with no items: passInfo not {1, 1}");
        return;
    }
    // Both parts of an item are non-negative, so finite seeds and items give
    // every part a similarity in [0, 1].
    const bool moderate = p.k > 0 && allModerate(p.prototypes) && allModerate(p.items);
    for (std::size_t j = 0; j < perItem; ++j) {
        checkAssignment(negAssignments[j], negSimilarities[j], p.k, moderate);
        checkAssignment(posAssignments[j], posSimilarities[j], p.k, moderate);
    }
}

}  // namespace fz
