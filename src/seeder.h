// The seeding rules of vantor/seeding.h on one set of candidates, shared by
// chooseSeeds and the clustering runs that seed themselves.
//
// The candidates are never copied: a one-sided candidate is read where it
// lies in `items`, a two-sided one (a part of an item) is split into a small
// buffer each time it is needed. Per candidate the scratch holds its place
// in the items, its greatest similarity to the seeds chosen so far and two
// flags, so it grows with n and never with n * m.
#ifndef VANTOR_SRC_SEEDER_H
#define VANTOR_SRC_SEEDER_H

#include <cmath>
#include <cstdint>

#include "lanes.h"
#include "row_matrix.h"
#include "scratch.h"
#include "signed_parts.h"
#include "similarity_rows.h"
#include "splitmix64.h"
#include "vantor/vantor.h"
#include "work_split.h"

namespace Vantor {
namespace seeding {

// Threads the k-means++ bookkeeping may use at most: the per-thread
// evaluation counts live on the stack.
constexpr int kMostParts = 256;

// Before the first seed a candidate is close to nothing: below every
// similarity, which is never less than 0.
constexpr double kCloseToNothing = -1.0;

constexpr unsigned char kChosen = 1;  // already a seed of the current choice
constexpr unsigned char kHasNaN = 2;  // one-sided candidate with a NaN value

// A NaN similarity counts as the greatest of all: it never makes a candidate
// look farther from the seeds, so an unknown closeness cannot attract a
// seed. Once NaN, a candidate's closeness stays NaN.
inline double closer(double closeness, double similarity) {
    if (std::isnan(closeness)) return closeness;
    return std::isnan(similarity) || similarity > closeness ? similarity : closeness;
}

// a is smaller than b, NaN counting as the greatest.
inline bool lessClose(double a, double b) { return !std::isnan(a) && (std::isnan(b) || a < b); }

// The k-means++ weight (1 - s)^2 of an unchosen candidate; 0 for a NaN s.
inline double weightOf(double closeness) {
    if (std::isnan(closeness)) return 0.0;
    const double distance = 1.0 - closeness;
    return distance * distance;
}

// What the seeding reads, checked.
struct Input {
    const double* items;
    std::int64_t n;
    int m;
    bool twoSided;
};

inline bool knownRule(int rule) {
    return rule == VANTOR_SEEDING_FARTHEST || rule == VANTOR_SEEDING_KMEANS_PP ||
           rule == VANTOR_SEEDING_FIRST;
}

// What a row holds, found two values at a time without branches (a row
// is scanned once per call, so this is part of the cost of seeding).
struct RowSigns {
    bool negative, positive, nan;
};

inline RowSigns signsOf(const double* row, std::int64_t m) {
    const lanes::Pair zero = lanes::broadcast(0.0);
    lanes::Pair negative = zero, positive = zero, ordered = lanes::equal(zero, zero);
    std::int64_t i = 0;
    for (; i < m; i += 2) {
        // The lone last value pairs with +0.0, which is neither sign nor NaN.
        const lanes::Pair v = i + 2 <= m ? lanes::load(row + i) : lanes::loadOne(row + i);
        negative = lanes::either(negative, lanes::lessThan(v, zero));
        positive = lanes::either(positive, lanes::greaterThan(v, zero));
        ordered = lanes::both(ordered, lanes::equal(v, v));
    }
    return RowSigns{lanes::any(negative), lanes::any(positive), lanes::maskBits(ordered) != 3};
}

// Calls visit(code, hasNaN) for every candidate in order. The code of a
// one-sided candidate is its item j; of a two-sided one 2j + part.
template <class Visit>
void forEachCandidate(const Input& in, Visit&& visit) {
    for (std::int64_t j = 0; j < in.n; ++j) {
        const RowSigns signs = signsOf(in.items + rowOf(j, in.m), in.m);
        if (!in.twoSided) {
            if (signs.positive) visit(j, signs.nan);
            continue;
        }
        // Parts hold no NaN: the split sends it to neither.
        if (signs.negative) visit(2 * j + VANTOR_PART_NEGATIVE, false);
        if (signs.positive) visit(2 * j + VANTOR_PART_POSITIVE, false);
    }
}

// The rules on one set of candidates; the scratch is allocated once and
// serves any number of choices.
class Seeder {
public:
    // `threads` as resolved by work::resolveThreads; the bookkeeping uses at
    // most kMostParts of them.
    Seeder(const Input& in, double threshold, int threads) { configure(in, threshold, threads); }
    Seeder() = default;
    // For a default-made seeder, before prepare.
    void configure(const Input& in, double threshold, int threads) {
        in_ = in;
        threshold_ = threshold;
        threads_ = threads < 1 ? 1 : threads < kMostParts ? threads : kMostParts;
    }
    Seeder(const Seeder&) = delete;
    Seeder& operator=(const Seeder&) = delete;

    // Lists the candidates in one scan of the items, into scratch sized for
    // the most there can be (n, or 2n parts); false when there are fewer
    // than k or no memory.
    bool prepare(int k) {
        const std::int64_t most = in_.twoSided ? 2 * in_.n : in_.n;
        code_ = allocateScratch<std::int64_t>(most);
        closeness_ = allocateScratch<double>(most);
        flags_ = allocateScratch<unsigned char>(most);
        // kMaxRows split parts of m values for each thread of the bookkeeping.
        if (in_.twoSided) {
            parts_ = allocateScratch<double>(rowOf(std::int64_t{simil::kMaxRows} * threads_, in_.m));
        }
        if (code_ == nullptr || closeness_ == nullptr || flags_ == nullptr ||
            (in_.twoSided && parts_ == nullptr)) {
            return false;
        }
        count_ = 0;
        forEachCandidate(in_, [&](std::int64_t code, bool nan) {
            code_[count_] = code;
            flags_[count_] = nan ? kHasNaN : 0;
            ++count_;
        });
        return count_ >= k;
    }

    // Similarity evaluations made by every choice so far.
    std::int64_t evaluations() const { return evaluations_; }

    void choose(int rule, int k, std::uint64_t randomSeed, double* seeds, int* sourceItems,
                int* sourceParts) {
        seeds_ = seeds;
        sourceItems_ = sourceItems;
        sourceParts_ = sourceParts;
        for (std::int64_t c = 0; c < count_; ++c) {
            flags_[c] &= static_cast<unsigned char>(~kChosen);
            closeness_[c] = kCloseToNothing;
        }
        if (rule == VANTOR_SEEDING_FIRST) {
            for (int t = 0; t < k; ++t) take(t, t);
        } else if (rule == VANTOR_SEEDING_FARTHEST) {
            take(0, 0);
            for (int t = 1; t < k; ++t) {
                absorb(t - 1);
                take(least_, t);
            }
        } else {
            random::SplitMix64 generator(randomSeed);
            take(generator.below(count_), 0);
            for (int t = 1; t < k; ++t) {
                absorb(t - 1);
                take(weightedDraw(generator.unit(), count_ - t), t);
            }
        }
    }

private:
    std::int64_t itemOf(std::int64_t c) const { return in_.twoSided ? code_[c] >> 1 : code_[c]; }
    int partOf(std::int64_t c) const {
        return in_.twoSided ? static_cast<int>(code_[c] & 1) : VANTOR_PART_POSITIVE;
    }

    // Candidate c's values: in place for a one-sided candidate, split into
    // `buffer` (m values) for a part.
    const double* valuesOf(std::int64_t c, double* buffer) const {
        const double* item = in_.items + rowOf(itemOf(c), in_.m);
        if (!in_.twoSided) return item;
        const bool negative = partOf(c) == VANTOR_PART_NEGATIVE;
        for (std::int64_t i = 0; i < in_.m; ++i) {
            buffer[i] = negative ? negativePartOf(item[i]) : positivePartOf(item[i]);
        }
        return buffer;
    }

    // Candidate c becomes seed t.
    void take(std::int64_t c, int t) {
        flags_[c] |= kChosen;
        double* row = seeds_ + rowOf(t, in_.m);
        const double* values = valuesOf(c, row);
        if (values != row) {
            for (std::int64_t i = 0; i < in_.m; ++i) row[i] = values[i];
        }
        if (sourceItems_ != nullptr) sourceItems_[t] = static_cast<int>(itemOf(c));
        if (sourceParts_ != nullptr) sourceParts_[t] = partOf(c);
        lastTaken_ = c;
    }

    // Folds the similarity of every unchosen candidate to seed t, the one
    // taken last, into its closeness: s = evalSimil(candidate, seed); then
    // settles every unchosen candidate (below) in candidate order, so the
    // next pick needs no sweep of its own. The similarities are independent
    // per candidate and split over the threads by candidates; the settling
    // adds the weights in candidate order, on one thread, whatever the
    // split.
    void absorb(int t) {
        const double* seed = seeds_ + rowOf(t, in_.m);
        const bool seedHasNaN = (flags_[lastTaken_] & kHasNaN) != 0;
        const int parts = work::partsFor(threads_, count_);
        std::int64_t evaluated[kMostParts] = {};
        work::splitWork(parts, count_, [&](int part, std::int64_t begin, std::int64_t end) {
            evaluated[part] = measure(seed, seedHasNaN, begin, end, part);
        });
        for (int part = 0; part < parts; ++part) evaluations_ += evaluated[part];
        total_ = 0.0;
        least_ = -1;
        for (std::int64_t c = 0; c < count_; ++c) {
            if ((flags_[c] & kChosen) == 0) settle(c);
        }
    }

    // The closeness of candidates [begin, end) to `seed`; returns the
    // evaluations made. `part` picks the buffer for split parts.
    //
    // The clustering's scan measures one vector against four rows at a time
    // (similarity_rows.h); here the one vector is the new seed and the four
    // rows are candidates, i.e. the two arguments are exchanged. Without NaN
    // that gives the same bits: gate and clamp treat both sides alike, the
    // larger and the smaller of two equal values differ at most in the sign
    // of a zero, and the sums, which start at +0.0, cannot tell those apart.
    // With a NaN on either side the order matters, so a one-sided candidate
    // or seed holding one is measured the literal way round. Parts never
    // hold NaN.
    std::int64_t measure(const double* seed, bool seedHasNaN, std::int64_t begin, std::int64_t end,
                         int part) {
        const double* rows[simil::kMaxRows];
        std::int64_t which[simil::kMaxRows];
        double similarity[simil::kMaxRows];
        double* const buffers =
            in_.twoSided ? parts_.get() + rowOf(static_cast<std::int64_t>(part) * simil::kMaxRows, in_.m)
                         : nullptr;
        std::int64_t evaluated = 0;
        int queued = 0;
        const auto flush = [&] {
            switch (queued) {
                case 4: simil::against<4>(threshold_, seed, rows, in_.m, similarity); break;
                case 3: simil::against<3>(threshold_, seed, rows, in_.m, similarity); break;
                case 2: simil::against<2>(threshold_, seed, rows, in_.m, similarity); break;
                default: simil::against<1>(threshold_, seed, rows, in_.m, similarity); break;
            }
            for (int r = 0; r < queued; ++r) {
                closeness_[which[r]] = closer(closeness_[which[r]], similarity[r]);
            }
            evaluated += queued;
            queued = 0;
        };
        for (std::int64_t c = begin; c < end; ++c) {
            if ((flags_[c] & kChosen) != 0) continue;  // no longer matters
            if (std::isnan(closeness_[c])) continue;  // final, and weighs 0
            if (seedHasNaN || (flags_[c] & kHasNaN) != 0) {
                // One-sided only, so the candidate needs no buffer.
                const double* seedRow[1] = {seed};
                double s;
                simil::against<1>(threshold_, valuesOf(c, nullptr), seedRow, in_.m, &s);
                closeness_[c] = closer(closeness_[c], s);
                ++evaluated;
                continue;
            }
            // Only parts need a buffer (and only then is there one).
            double* buffer = buffers != nullptr ? buffers + rowOf(queued, in_.m) : nullptr;
            rows[queued] = valuesOf(c, buffer);
            which[queued] = c;
            if (++queued == simil::kMaxRows) flush();
        }
        if (queued > 0) flush();
        return evaluated;
    }

    // Unchosen candidate c with its closeness final: its weight joins the
    // total (in candidate order; a NaN closeness adds 0.0), and it becomes the least close one when
    // it is, or when it ties with a higher index.
    void settle(std::int64_t c) {
        const double g = closeness_[c];
        total_ += weightOf(g);
        if (least_ < 0 || lessClose(g, leastCloseness_) ||
            (!lessClose(leastCloseness_, g) && c < least_)) {
            least_ = c;
            leastCloseness_ = g;
        }
    }

    double weightAt(std::int64_t c) const {
        return (flags_[c] & kChosen) != 0 ? 0.0 : weightOf(closeness_[c]);
    }

    // The candidate u picks with probability proportional to its weight
    // (total_ their sum in candidate order, rounded after every addition);
    // uniformly among the `unchosen` candidates when every weight is 0.
    std::int64_t weightedDraw(double u, std::int64_t unchosen) const {
        if (total_ > 0.0) {
            const double target = u * total_;
            double running = 0.0;
            std::int64_t lastWeighted = -1;
            for (std::int64_t c = 0; c < count_; ++c) {
                const double w = weightAt(c);
                if (!(w > 0.0)) continue;
                running += w;
                lastWeighted = c;
                if (running > target) return c;
            }
            return lastWeighted;
        }
        std::int64_t skip = random::indexAt(u, unchosen);
        for (std::int64_t c = 0; c < count_; ++c) {
            if ((flags_[c] & kChosen) != 0) continue;
            if (skip-- == 0) return c;
        }
        return -1;  // not reached: `unchosen` candidates are left
    }

    Input in_{};
    double threshold_ = 0.0;
    int threads_ = 1;
    std::int64_t evaluations_ = 0;
    std::int64_t count_ = 0;
    Scratch<std::int64_t> code_;
    Scratch<double> closeness_;
    Scratch<unsigned char> flags_;
    Scratch<double> parts_;  // kMaxRows split parts of m values per thread
    double* seeds_ = nullptr;
    int* sourceItems_ = nullptr;
    int* sourceParts_ = nullptr;
    std::int64_t lastTaken_ = 0;  // the candidate of the newest seed
    // Left by absorb for the next pick: the sum of the weights, and the least
    // close candidate with its closeness.
    double total_ = 0.0;
    std::int64_t least_ = -1;
    double leastCloseness_ = 0.0;
};


}  // namespace seeding
}  // namespace Vantor

#endif
