#include "seeding.h"

#include <algorithm>
#include <cstddef>

#include "input_error.h"

namespace vantor_tool {

namespace {

bool hasPositiveValue(const std::vector<double>& row) {
    return std::any_of(row.begin(), row.end(), [](double v) { return v > 0.0; });
}

std::vector<std::vector<double>> candidatesOf(const Table& items, bool twoSided) {
    std::vector<std::vector<double>> candidates;
    for (std::size_t r = 0; r < items.rows(); ++r) {
        const double* item = items.row(r);
        if (!twoSided) {
            std::vector<double> row(item, item + items.width);
            if (hasPositiveValue(row)) candidates.push_back(std::move(row));
            continue;
        }
        // Split as the two-sided clustering does: magnitudes of the negative
        // values, then the positive values.
        std::vector<double> negative(items.width, 0.0), positive(items.width, 0.0);
        for (std::size_t c = 0; c < items.width; ++c) {
            if (item[c] < 0.0) negative[c] = -item[c];
            if (item[c] > 0.0) positive[c] = item[c];
        }
        if (hasPositiveValue(negative)) candidates.push_back(std::move(negative));
        if (hasPositiveValue(positive)) candidates.push_back(std::move(positive));
    }
    return candidates;
}

std::vector<std::size_t> farthestFirst(std::vector<std::vector<double>>& candidates, std::size_t k,
                                       Vantor::Clustions& similarity) {
    const int m = candidates.empty() ? 0 : static_cast<int>(candidates.front().size());
    std::vector<std::size_t> chosen{0};
    std::vector<bool> taken(candidates.size(), false);
    taken[0] = true;
    // closeness[i]: the greatest similarity of candidate i to any chosen seed.
    std::vector<double> closeness(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        closeness[i] = similarity.evalSimil(candidates[i].data(), candidates[0].data(), m);
    }
    while (chosen.size() < k) {
        std::size_t next = candidates.size();
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (!taken[i] && (next == candidates.size() || closeness[i] < closeness[next])) {
                next = i;
            }
        }
        chosen.push_back(next);
        taken[next] = true;
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const double s = similarity.evalSimil(candidates[i].data(), candidates[next].data(), m);
            closeness[i] = std::max(closeness[i], s);
        }
    }
    return chosen;
}

}  // namespace

std::vector<double> chooseSeeds(const Table& items, int k, bool twoSided, SeedRule rule,
                                Vantor::Clustions& similarity) {
    std::vector<std::vector<double>> candidates = candidatesOf(items, twoSided);
    const std::size_t wanted = static_cast<std::size_t>(k);
    if (candidates.size() < wanted) {
        throw InputError(items.source + ": -k " + std::to_string(k) + " needs " +
                         std::to_string(k) +
                         (twoSided ? " item parts (negative or positive) with a non-zero value"
                                   : " items with a positive value") +
                         ", found " + std::to_string(candidates.size()));
    }
    std::vector<std::size_t> chosen(wanted);
    if (rule == SeedRule::First) {
        for (std::size_t i = 0; i < wanted; ++i) chosen[i] = i;
    } else {
        chosen = farthestFirst(candidates, wanted, similarity);
    }
    std::vector<double> seeds;
    seeds.reserve(wanted * items.width);
    for (std::size_t i : chosen) {
        seeds.insert(seeds.end(), candidates[i].begin(), candidates[i].end());
    }
    return seeds;
}

}  // namespace vantor_tool
