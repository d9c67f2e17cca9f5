// One clustering run that remembers each item's similarities between passes
// and spreads its passes over threads, giving the bits of pass_steps.h.
//
// Why reuse is exact: the update recomputes a prototype from its members,
// summed in item order; a prototype that no item (or part) joined or left
// in a pass therefore gets exactly the row it had, and a prototype without
// members keeps its row. Its similarity to every item is then exactly the
// value measured in the pass before. The scan of a pass measures afresh
// only the prototypes that were recomputed, takes the others from the
// cache, and then offers all k values to the item in the very order of
// pass::visit (own prototype first, then the others from index 0 up); so
// the comparisons, NaN and ties included, are those of a full rescan.
// The update likewise recomputes only those prototypes.
//
// Threads: a scan splits by items (each item's visit reads only the
// prototypes and writes only its own entries); an update splits by
// features (each prototype-feature sum is still added in item order).
// What the parts report (a change, prototypes joined or left, evaluations)
// is combined in part order, so the bits never depend on the split.
#ifndef VANTOR_SRC_CACHED_PASS_H
#define VANTOR_SRC_CACHED_PASS_H

#include <cstdint>
#include <memory>
#include <new>

#include "pass_steps.h"
#include "row_matrix.h"
#include "scratch.h"
#include "signed_parts.h"
#include "similarity_rows.h"
#include "work_split.h"

namespace Vantor {
namespace cached {

// What one run reads.
struct Shape {
    const double* items;
    std::int64_t n;
    int m;
    int k;
    int sides;  // 1 one-sided, 2 two-sided (negative part first)
    double threshold;
    int iterationLimit;
};

// The arrays one run fills: the prototypes (refined in place) and, per
// side, the assignments and similarities.
struct Outputs {
    double* prototypes;
    int* assignments[2];
    double* similarities[2];
};

struct Result {
    bool converged = false;
    int passes = 0;
    std::int64_t evaluations = 0;
};

// What one part of a scan reports; a cache line of its own, so that
// threads writing their flags do not contend for one line.
struct alignas(64) PartReport {
    bool changed;
    std::int64_t evaluations;
};

// Items measured together in a scan (see Runner::scanRange).
constexpr int kGroup = 4;

// The scratch of runs on one shape, allocated once and reused by every
// run made with it. Not copyable; one run at a time.
class Runner {
public:
    Runner() = default;
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // False when the scratch a run cannot do without is not there. The
    // cache is optional: it covers as many items (from the first on) as
    // `cacheBytes` holds, and none when its allocation fails.
    bool prepare(const Shape& shape, int threads, std::int64_t cacheBytes) {
        shape_ = shape;
        threads_ = threads < 1 ? 1 : threads;
        // Threads kept for the run's many splits; without room for the pool
        // every split starts its own.
        if (threads_ > 1) pool_.reset(new (std::nothrow) work::Pool(threads_));
        const std::int64_t k = shape.k, m = shape.m, sides = shape.sides;
        counts_ = allocateScratch<pass::MemberCount>(k);
        joinedOrLeft_ = allocateScratch<unsigned char>(k);
        recompute_ = allocateScratch<int>(k);
        reports_ = allocateScratch<PartReport>(threads_);
        // Per thread, for a group of items: the k similarities of each
        // uncached item and side, and each item's two split parts; and the
        // prototypes the thread's items joined or left.
        rows_ = allocateScratch<double>(threads_ * kGroup * sides * k);
        marks_ = allocateScratch<unsigned char>(threads_ * k);
        if (sides == 2) parts_ = allocateScratch<double>(threads_ * kGroup * 2 * m);
        if (counts_ == nullptr || joinedOrLeft_ == nullptr || recompute_ == nullptr ||
            reports_ == nullptr || rows_ == nullptr || marks_ == nullptr ||
            (sides == 2 && parts_ == nullptr)) {
            return false;
        }
        const std::int64_t rowBytes = static_cast<std::int64_t>(sizeof(double)) * k * sides;
        cache_.reset();
        covered_ = cacheBytes / rowBytes;
        if (covered_ > shape.n) covered_ = shape.n;
        if (covered_ > 0) {
            cache_ = allocateScratch<double>(covered_ * k * sides);
            if (cache_ == nullptr) covered_ = 0;
        }
        return true;
    }

    // Items whose similarities the cache holds (the first ones).
    std::int64_t covered() const { return covered_; }

    // One run from the prototypes in out.prototypes, as Clustions::cluster
    // makes it.
    Result run(const Outputs& out) {
        out_ = out;
        Result result;
        for (int side = 0; side < shape_.sides; ++side) {
            for (std::int64_t j = 0; j < shape_.n; ++j) {
                out.similarities[side][j] = pass::kNoSimilarity;
                out.assignments[side][j] = pass::kUnassigned;
            }
        }
        // Nothing is cached before the first pass: every prototype is new.
        recomputeCount_ = shape_.k;
        for (int l = 0; l < shape_.k; ++l) recompute_[l] = l;
        bool cacheValid = false;
        bool changed = false;
        bool ends = false;
        while (!ends) {
            ++result.passes;
            changed = scan(cacheValid, result.evaluations);
            cacheValid = true;
            ends = !changed || result.passes >= shape_.iterationLimit;
            if (changed) update();
        }
        result.converged = !changed;
        return result;
    }

private:
    // Scans every item once; returns whether any was unassigned or moved, and
    // leaves in joinedOrLeft_ the prototypes whose members changed.
    bool scan(bool cacheValid, std::int64_t& evaluations) {
        const int parts = work::partsFor(threads_, shape_.n);
        split(shape_.n, [&](int part, std::int64_t begin, std::int64_t end) {
            scanRange(part, begin, end, cacheValid);
        });
        bool changed = false;
        for (int l = 0; l < shape_.k; ++l) joinedOrLeft_[l] = 0;
        for (int part = 0; part < parts; ++part) {
            changed = changed || reports_[part].changed;
            evaluations += reports_[part].evaluations;
            const unsigned char* marks = marks_.get() + rowOf(part, shape_.k);
            for (int l = 0; l < shape_.k; ++l) joinedOrLeft_[l] |= marks[l];
        }
        return changed;
    }

    // Items are measured a few at a time: the similarities one group needs
    // (often only one or two prototypes per item once most have settled)
    // go four pairs at a time through simil::pairs, which keeps the adder as
    // busy as four prototypes against one item would; then the group's items
    // are visited in order. A similarity's value does not depend on when it
    // is measured, so the visits compare exactly what a plain loop would.
    void scanRange(int part, std::int64_t begin, std::int64_t end, bool cacheValid) {
        const int k = shape_.k, m = shape_.m, sides = shape_.sides;
        unsigned char* marks = marks_.get() + rowOf(part, k);
        for (int l = 0; l < k; ++l) marks[l] = 0;
        double* const own = rows_.get() + rowOf(part, std::int64_t{kGroup} * sides * k);
        double* const split =
            sides == 2 ? parts_.get() + rowOf(part, std::int64_t{kGroup} * 2 * m) : nullptr;
        bool changed = false;
        std::int64_t evaluations = 0;
        const double* xs[simil::kMaxRows];
        const double* ys[simil::kMaxRows];
        double* outs[simil::kMaxRows];
        double similarity[simil::kMaxRows];
        int queued = 0;
        const auto flush = [&] {
            switch (queued) {
                case 4: simil::pairs<4>(shape_.threshold, xs, ys, m, similarity); break;
                case 3: simil::pairs<3>(shape_.threshold, xs, ys, m, similarity); break;
                case 2: simil::pairs<2>(shape_.threshold, xs, ys, m, similarity); break;
                default: simil::pairs<1>(shape_.threshold, xs, ys, m, similarity); break;
            }
            for (int r = 0; r < queued; ++r) *outs[r] = similarity[r];
            queued = 0;
        };
        const auto rowOfItem = [&](std::int64_t j, std::int64_t g, int side) {
            return j < covered_ ? cache_.get() + rowOf(j * sides + side, k)
                                : own + rowOf((j - g) * sides + side, k);
        };
        for (std::int64_t g = begin; g < end; g += kGroup) {
            const std::int64_t last = end - g < kGroup ? end : g + kGroup;
            for (std::int64_t j = g; j < last; ++j) {
                const double* item = shape_.items + rowOf(j, m);
                double* negative = split != nullptr ? split + rowOf(2 * (j - g), m) : nullptr;
                if (sides == 2) pass::splitItem(item, m, negative, negative + m);
                // Last pass's values stand for the prototypes not rewritten since.
                const bool cached = cacheValid && j < covered_;
                const int count = cached ? recomputeCount_ : k;
                for (int side = 0; side < sides; ++side) {
                    const double* vector = sides == 1 ? item : negative + rowOf(side, m);
                    double* row = rowOfItem(j, g, side);
                    for (int c = 0; c < count; ++c) {
                        const int l = cached ? recompute_[c] : c;
                        xs[queued] = vector;
                        ys[queued] = out_.prototypes + rowOf(l, m);
                        outs[queued] = row + l;
                        if (++queued == simil::kMaxRows) flush();
                    }
                    evaluations += count;
                }
            }
            if (queued > 0) flush();
            for (std::int64_t j = g; j < last; ++j) {
                for (int side = 0; side < sides; ++side) {
                    visit(rowOfItem(j, g, side), out_.assignments[side][j],
                          out_.similarities[side][j], marks, changed);
                }
            }
        }
        reports_[part].changed = changed;
        reports_[part].evaluations = evaluations;
    }

    // pass::visit on similarities already measured: own prototype first,
    // then every other one from the lowest index up; a strictly greater
    // similarity moves the vector, NaN never wins.
    void visit(const double* row, int& assignment, double& similarity, unsigned char* marks,
               bool& changed) const {
        const int k = shape_.k;
        int own = assignment;
        if (!pass::isPrototype(own, k)) {
            own = pass::kUnassigned;
            assignment = pass::kUnassigned;
            similarity = pass::kNoSimilarity;
            changed = true;
        } else {
            similarity = row[own];
        }
        for (int l = 0; l < k; ++l) {
            if (l == own) continue;
            const double s = row[l];
            if (s > similarity) {
                similarity = s;
                assignment = l;
                changed = true;
            }
        }
        if (assignment != own) {
            if (own != pass::kUnassigned) marks[own] = 1;
            marks[assignment] = 1;
        }
    }

    // Recomputes the prototypes whose members changed in the last scan, as
    // pass::foldItems / foldParts and finishUpdate would (each held row
    // zeroed, its members added in item order with a rounding after every
    // addition, then divided by the count); the others keep their rows,
    // which are exactly what recomputing them would give. Split by
    // features; the counts, one sweep over the assignments, come first.
    void update() {
        const int k = shape_.k;
        for (int l = 0; l < k; ++l) counts_[l] = 0;
        for (std::int64_t j = 0; j < shape_.n; ++j) {
            for (int side = 0; side < shape_.sides; ++side) {
                const int a = out_.assignments[side][j];
                if (pass::isPrototype(a, k)) ++counts_[a];
            }
        }
        // Only a row that has members is rewritten; the others keep their
        // values, and with them every similarity to them.
        recomputeCount_ = 0;
        for (int l = 0; l < k; ++l) {
            if (joinedOrLeft_[l] != 0 && counts_[l] > 0) recompute_[recomputeCount_++] = l;
        }
        if (recomputeCount_ == 0) return;
        split(shape_.m, [&](int, std::int64_t begin, std::int64_t end) { foldFeatures(begin, end); });
    }

    // The ranges of work::splitWork(threads_, count, body), on the pool.
    void split(std::int64_t count, const work::RangeBody& body) {
        if (pool_ != nullptr) {
            pool_->run(count, body);
        } else {
            work::splitWork(threads_, count, body);
        }
    }

    void foldFeatures(std::int64_t begin, std::int64_t end) {
        const int k = shape_.k, m = shape_.m;
        double* const prototypes = out_.prototypes;
        for (int c = 0; c < recomputeCount_; ++c) {
            double* row = prototypes + rowOf(recompute_[c], m);
            for (std::int64_t i = begin; i < end; ++i) row[i] = 0.0;
        }
        for (std::int64_t j = 0; j < shape_.n; ++j) {
            const double* item = shape_.items + rowOf(j, m);
            if (shape_.sides == 1) {
                const int a = out_.assignments[0][j];
                if (!pass::isPrototype(a, k) || joinedOrLeft_[a] == 0) continue;
                double* row = prototypes + rowOf(a, m);
                for (std::int64_t i = begin; i < end; ++i) {
                    row[i] = pass::sumKeepingFirstNaN(item[i], row[i]);
                }
                continue;
            }
            const int a = out_.assignments[0][j];
            if (pass::isPrototype(a, k) && joinedOrLeft_[a] != 0) {
                double* row = prototypes + rowOf(a, m);
                for (std::int64_t i = begin; i < end; ++i) row[i] = negativePartOf(item[i]) + row[i];
            }
            const int b = out_.assignments[1][j];
            if (pass::isPrototype(b, k) && joinedOrLeft_[b] != 0) {
                double* row = prototypes + rowOf(b, m);
                for (std::int64_t i = begin; i < end; ++i) row[i] = positivePartOf(item[i]) + row[i];
            }
        }
        for (int c = 0; c < recomputeCount_; ++c) {
            const int l = recompute_[c];
            double* row = prototypes + rowOf(l, m);
            const double members = static_cast<double>(counts_[l]);
            for (std::int64_t i = begin; i < end; ++i) row[i] = row[i] / members;
        }
    }

    Shape shape_{};
    int threads_ = 1;
    std::unique_ptr<work::Pool> pool_;
    Outputs out_{};
    Scratch<pass::MemberCount> counts_;
    Scratch<unsigned char> joinedOrLeft_;  // per prototype, in the last scan
    Scratch<int> recompute_;               // the prototypes the last update rewrote
    int recomputeCount_ = 0;
    Scratch<PartReport> reports_;
    Scratch<double> rows_;          // per thread: kGroup x sides x k similarities
    Scratch<unsigned char> marks_;  // per thread: k flags
    Scratch<double> parts_;         // per thread: kGroup x 2 split parts
    Scratch<double> cache_;         // covered_ items x sides x k similarities
    std::int64_t covered_ = 0;
};

}  // namespace cached
}  // namespace Vantor

#endif
