// Written out step by step on purpose: the reference must read like the
// rules, not like the library.
#include "literal_seeding.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "literal_clustions.h"
#include "vantor/clustions.h"
#include "vantor/vantor.h"

namespace literal {

namespace {

struct Candidate {
    int item;
    int part;
    std::vector<double> values;
    bool chosen = false;
    double greatest = -1.0;  // greatest similarity to the seeds so far
};

bool hasValueAboveZero(const std::vector<double>& v) {
    for (double x : v) {
        if (x > 0.0) return true;
    }
    return false;
}

std::vector<Candidate> candidatesOf(const double* items, int n, int m, bool twoSided) {
    std::vector<Candidate> out;
    for (int j = 0; j < n; ++j) {
        const double* item = items + static_cast<std::int64_t>(j) * m;
        if (!twoSided) {
            Candidate c{j, VANTOR_PART_POSITIVE, std::vector<double>(item, item + m)};
            if (hasValueAboveZero(c.values)) out.push_back(c);
            continue;
        }
        Candidate negative{j, VANTOR_PART_NEGATIVE, std::vector<double>(m, 0.0)};
        Candidate positive{j, VANTOR_PART_POSITIVE, std::vector<double>(m, 0.0)};
        for (int i = 0; i < m; ++i) {
            if (item[i] < 0.0) negative.values[i] = -item[i];
            if (item[i] > 0.0) positive.values[i] = item[i];
        }
        if (hasValueAboveZero(negative.values)) out.push_back(negative);
        if (hasValueAboveZero(positive.values)) out.push_back(positive);
    }
    return out;
}

// SplitMix64, as the published algorithm reads.
struct Generator {
    std::uint64_t state;
    std::uint64_t next() {
        state = state + 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
};

// The first i with i + 1 > u * count.
std::int64_t uniformIndex(double u, std::int64_t count) {
    const double x = u * static_cast<double>(count);
    for (std::int64_t i = 0; i < count; ++i) {
        if (static_cast<double>(i + 1) > x) return i;
    }
    return count - 1;
}

// Measures every candidate not chosen yet against the newest seed. A NaN
// similarity counts as greater than every number and, once there, stays.
void measureAgainst(const Vantor::Clustions& c, std::vector<Candidate>& candidates,
                    const std::vector<double>& seed) {
    const int m = static_cast<int>(seed.size());
    for (Candidate& x : candidates) {
        if (x.chosen) continue;
        const double s = evalSimil(c, x.values.data(), seed.data(), m);
        if (std::isnan(x.greatest)) continue;
        if (std::isnan(s) || s > x.greatest) x.greatest = s;
    }
}

std::size_t farthestLeft(const std::vector<Candidate>& candidates) {
    std::size_t best = candidates.size();
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (candidates[i].chosen) continue;
        if (best == candidates.size()) {
            best = i;
            continue;
        }
        const double g = candidates[i].greatest, h = candidates[best].greatest;
        if (!std::isnan(g) && (std::isnan(h) || g < h)) best = i;
    }
    return best;
}

double weightOf(const Candidate& x) {
    if (x.chosen || std::isnan(x.greatest)) return 0.0;
    return (1.0 - x.greatest) * (1.0 - x.greatest);
}

std::size_t drawn(const std::vector<Candidate>& candidates, double u) {
    double total = 0.0;
    for (const Candidate& x : candidates) total = total + weightOf(x);
    if (total > 0.0) {
        const double target = u * total;
        double running = 0.0;
        std::size_t last = 0;
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const double w = weightOf(candidates[i]);
            if (w > 0.0) {
                running = running + w;
                last = i;
                if (running > target) return i;
            }
        }
        return last;
    }
    std::vector<std::size_t> left;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (!candidates[i].chosen) left.push_back(i);
    }
    return left[static_cast<std::size_t>(uniformIndex(u, static_cast<std::int64_t>(left.size())))];
}

}  // namespace

bool chooseSeeds(const Vantor::Clustions& c, int rule, int k, const double* items, int n, int m,
                 bool twoSided, std::uint64_t randomSeed, double* seeds, int* sourceItems,
                 int* sourceParts) {
    if (k <= 0 || n <= 0 || m <= 0 || items == nullptr || seeds == nullptr) return false;
    if (rule != VANTOR_SEEDING_FARTHEST && rule != VANTOR_SEEDING_KMEANS_PP &&
        rule != VANTOR_SEEDING_FIRST) {
        return false;
    }
    std::vector<Candidate> candidates = candidatesOf(items, n, m, twoSided);
    if (candidates.size() < static_cast<std::size_t>(k)) return false;

    std::vector<std::size_t> picked;
    Generator generator{randomSeed};
    for (int t = 0; t < k; ++t) {
        std::size_t next;
        if (rule == VANTOR_SEEDING_FIRST) {
            next = static_cast<std::size_t>(t);
        } else if (rule == VANTOR_SEEDING_FARTHEST) {
            next = t == 0 ? 0 : farthestLeft(candidates);
        } else if (t == 0) {
            next = static_cast<std::size_t>(
                uniformIndex(generator.unit(), static_cast<std::int64_t>(candidates.size())));
        } else {
            next = drawn(candidates, generator.unit());
        }
        candidates[next].chosen = true;
        picked.push_back(next);
        if (rule != VANTOR_SEEDING_FIRST) measureAgainst(c, candidates, candidates[next].values);
    }

    for (int t = 0; t < k; ++t) {
        const Candidate& x = candidates[picked[static_cast<std::size_t>(t)]];
        for (int i = 0; i < m; ++i) seeds[static_cast<std::int64_t>(t) * m + i] = x.values[i];
        if (sourceItems != nullptr) sourceItems[t] = x.item;
        if (sourceParts != nullptr) sourceParts[t] = x.part;
    }
    return true;
}

}  // namespace literal
