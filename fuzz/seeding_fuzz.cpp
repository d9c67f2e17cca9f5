// Fuzz target for the seeding: decoded items and arguments, one chooseSeeds
// and one clusterFromStarts call, each in exact-size buffers. A refusal must
// follow the documented rule and leave every output alone; a success must
// equal, to the bit, the literal reference (for clusterFromStarts: literal
// seeds and literal clustering from every start, the first best total kept).
#include <cmath>
#include <cstdint>
#include <vector>

#include "exact_buffer.h"
#include "harness.h"
#include "literal_clustions.h"
#include "literal_seeding.h"
#include "reference_extended.h"
#include "vantor/seeding.h"

namespace {

using fz::ExactBuffer;
using fz::require;

template <class T>
ExactBuffer<T> maybeNull(fz::Carver& in, std::size_t length) {
    return in.chance(40) ? ExactBuffer<T>::null() : ExactBuffer<T>(length);
}

// Small dimensions keep an input fast; zero and negative ones are common. A
// k beyond what the buffers could hold is fine: there are then fewer
// candidates than k and the call must refuse before writing.
struct Shape {
    int rule, k, n, m;
    bool twoSided;
    std::uint64_t randomSeed;

    explicit Shape(fz::Carver& in) {
        rule = in.chance(10) ? in.count(3) : in.intIn(0, 2);
        k = in.chance(8) ? in.count(4) : in.intIn(1, 6);
        n = in.chance(8) ? in.intIn(-3, 0) : in.intIn(1, 14);
        m = in.chance(8) ? in.intIn(-3, 0) : in.intIn(1, 6);
        twoSided = in.chance(2);
        randomSeed = in.u64();
    }
    // The most seeds any call can write: one per item, or two two-sided.
    std::size_t seedRoom() const {
        const int most = twoSided ? 2 * n : n;
        return fz::elementsOf(k <= most ? k : 0);
    }
};

ExactBuffer<double> itemsFor(fz::Carver& in, const Shape& s) {
    ExactBuffer<double> items = maybeNull<double>(in, fz::elementsOf(s.n, s.m));
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i] = in.chance(3) ? in.inRange(fz::kData) : in.value(fz::kData);
    }
    return items;
}

bool sameDoubles(const ExactBuffer<double>& a, const ExactBuffer<double>& b) {
    return a.snapshot() == b.snapshot();
}

// Clustering results as the clustering's own check compares them: to the
// bit, any NaN equal to any NaN.
bool sameResult(double x, double y) { return fz::sameBits(x, y) || (std::isnan(x) && std::isnan(y)); }

void checkChooseSeeds(fz::Carver& in, const Vantor::Clustions& config) {
    const Shape s(in);
    const ExactBuffer<double> items = itemsFor(in, s);
    ExactBuffer<double> seeds = maybeNull<double>(in, s.seedRoom() * fz::elementsOf(s.m));
    ExactBuffer<int> sourceItems = maybeNull<int>(in, s.seedRoom());
    ExactBuffer<int> sourceParts = maybeNull<int>(in, s.seedRoom());
    for (std::size_t i = 0; i < seeds.size(); ++i) seeds[i] = in.raw();
    ExactBuffer<double> refSeeds = fz::copyOf(seeds);
    ExactBuffer<int> refItems = fz::copyOf(sourceItems), refParts = fz::copyOf(sourceParts);
    const auto itemsBefore = items.snapshot();
    const auto seedsBefore = seeds.snapshot();

    Vantor::Clustions c = config;
    bool ok = false;
    fz::guarded(
        [&] {
            ok = Vantor::chooseSeeds(c, s.rule, s.k, items.isNull() ? nullptr : &items[0], s.n,
                                     s.m, s.twoSided, s.randomSeed, seeds.data(),
                                     sourceItems.data(), sourceParts.data());
        },
        "chooseSeeds threw");
    const bool refOk = literal::chooseSeeds(config, s.rule, s.k, items.isNull() ? nullptr : &items[0],
                                            s.n, s.m, s.twoSided, s.randomSeed, refSeeds.data(),
                                            refItems.data(), refParts.data());
    require(items.unchangedSince(itemsBefore), "chooseSeeds wrote into items");
    require(ok == refOk, "chooseSeeds: accepted or refused unlike the reference");
    if (!ok) {
        require(seeds.unchangedSince(seedsBefore), "a refused chooseSeeds wrote seeds");
        return;
    }
    require(sameDoubles(seeds, refSeeds), "chooseSeeds: seeds differ from the reference");
    require(sourceItems.snapshot() == refItems.snapshot(), "chooseSeeds: items differ");
    require(sourceParts.snapshot() == refParts.snapshot(), "chooseSeeds: parts differ");
}

// The literal restarts: literal seeds and literal clustering from each start.
struct LiteralRun {
    std::vector<double> prototypes, similarities[2];
    std::vector<int> assignments[2];
    int passInfo[2] = {0, 0};
    double total = 0.0;
};

bool literalFromStarts(const Vantor::Clustions& c, const Shape& s, int restarts,
                       const double* items, LiteralRun& best, int& winner) {
    // More seeds than there could be candidates: refused, and the run's
    // arrays below must not be sized by such a k.
    if (s.seedRoom() == 0) return false;
    const int runs = s.rule == VANTOR_SEEDING_KMEANS_PP ? restarts : 1;
    for (int start = 0; start < runs; ++start) {
        LiteralRun run;
        run.prototypes.resize(fz::elementsOf(s.k, s.m));
        for (int side = 0; side < 2; ++side) {
            run.assignments[side].resize(fz::elementsOf(s.n));
            run.similarities[side].resize(fz::elementsOf(s.n));
        }
        if (!literal::chooseSeeds(c, s.rule, s.k, items, s.n, s.m, s.twoSided,
                                  Vantor::restartSeed(s.randomSeed, start), run.prototypes.data(),
                                  nullptr, nullptr)) {
            return false;
        }
        const int dims[3] = {s.k, s.n, s.m};
        if (s.twoSided) {
            literal::cluster(c, run.prototypes.data(), items, dims, run.assignments[0].data(),
                             run.assignments[1].data(), run.similarities[0].data(),
                             run.similarities[1].data(), run.passInfo);
        } else {
            literal::cluster(c, run.prototypes.data(), items, dims, run.assignments[0].data(),
                             run.similarities[0].data(), run.passInfo);
        }
        literal::Extended sum = 0.0;
        for (int j = 0; j < s.n; ++j) {
            for (int side = 0; side < (s.twoSided ? 2 : 1); ++side) {
                if (run.assignments[side][j] != -1) sum += run.similarities[side][j];
            }
        }
        run.total = static_cast<double>(sum);
        const bool better = !std::isnan(run.total) && (std::isnan(best.total) || run.total > best.total);
        if (start == 0 || better) {
            best = run;
            winner = start;
        }
    }
    return true;
}

void checkClusterFromStarts(fz::Carver& in, const Vantor::Clustions& config) {
    const Shape s(in);
    const int restarts = in.chance(8) ? in.intIn(-2, 0) : in.intIn(1, 4);
    const ExactBuffer<double> items = itemsFor(in, s);
    const std::size_t n = fz::elementsOf(s.n);
    ExactBuffer<double> prototypes = maybeNull<double>(in, s.seedRoom() * fz::elementsOf(s.m));
    ExactBuffer<int> assignments[2] = {maybeNull<int>(in, n), maybeNull<int>(in, n)};
    ExactBuffer<double> similarities[2] = {maybeNull<double>(in, n), maybeNull<double>(in, n)};
    ExactBuffer<int> passInfo = maybeNull<int>(in, 2);
    const auto before = [&] {
        return std::vector<std::vector<unsigned char>>{
            prototypes.snapshot(),     assignments[0].snapshot(), assignments[1].snapshot(),
            similarities[0].snapshot(), similarities[1].snapshot(), passInfo.snapshot()};
    };
    const auto outputsBefore = before();
    const int dims[3] = {s.k, s.n, s.m};
    int winner = -7;
    double total = -7.0;

    Vantor::Clustions c = config;
    bool ok = false;
    fz::guarded(
        [&] {
            ok = Vantor::clusterFromStarts(
                c, s.rule, restarts, s.randomSeed, items.isNull() ? nullptr : &items[0], dims,
                s.twoSided, prototypes.data(), assignments[0].data(), similarities[0].data(),
                assignments[1].data(), similarities[1].data(), passInfo.data(), &winner, &total);
        },
        "clusterFromStarts threw");

    LiteralRun want;
    int wantWinner = 0;
    const bool arrays = !items.isNull() && !prototypes.isNull() && !assignments[0].isNull() &&
                        !similarities[0].isNull() && !passInfo.isNull() &&
                        (!s.twoSided || (!assignments[1].isNull() && !similarities[1].isNull()));
    const bool refOk = arrays && restarts > 0 &&
                       literalFromStarts(config, s, restarts, &items[0], want, wantWinner);
    require(ok == refOk, "clusterFromStarts: accepted or refused unlike the reference");
    if (!ok) {
        require(before() == outputsBefore, "a refused clusterFromStarts wrote an output");
        require(winner == -7 && total == -7.0, "a refused clusterFromStarts reported a start");
        return;
    }
    require(winner == wantWinner, "clusterFromStarts kept another start than the reference");
    require(sameResult(total, want.total), "clusterFromStarts: total differs");
    require(passInfo[0] == want.passInfo[0] && passInfo[1] == want.passInfo[1],
            "clusterFromStarts: passInfo differs");
    for (std::size_t i = 0; i < prototypes.size(); ++i) {
        require(sameResult(prototypes[i], want.prototypes[i]), "clusterFromStarts: prototypes differ");
    }
    for (int side = 0; side < (s.twoSided ? 2 : 1); ++side) {
        for (std::size_t j = 0; j < n; ++j) {
            require(assignments[side][j] == want.assignments[side][j], "clusterFromStarts: assignments differ");
            require(sameResult(similarities[side][j], want.similarities[side][j]),
                    "clusterFromStarts: similarities differ");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::Carver in(data, size);
    Vantor::Clustions config;
    config.threshold = in.value(fz::kUnit);
    config.iterationLimit = in.intIn(1, 6);
    checkChooseSeeds(in, config);
    checkClusterFromStarts(in, config);
    return 0;
}
