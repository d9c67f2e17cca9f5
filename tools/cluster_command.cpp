#include "cluster_command.h"

#include <vantor/clustions.h>
#include <vantor/input_policy.h>
#include <vantor/run_facts.h>
#include <vantor/seeding.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common_options.h"
#include "input_error.h"
#include "policy_text.h"
#include "table_reader.h"

namespace vantor_tool {

namespace {

// What one clustering run leaves in the caller's arrays.
struct Outcome {
    std::vector<double> prototypes;
    std::vector<int> assignments[2];  // one-sided: [0] only; two-sided: negative, positive
    std::vector<double> similarities[2];
    int passInfo[2] = {0, 0};
    std::string seeds;  // with -k: the items (and parts) the seeds came from
};

// "0 3 2", or two-sided "0:negative 0:positive 3:positive".
std::string describeSeeds(const std::vector<int>& sourceItems, const std::vector<int>& sourceParts,
                          bool twoSided) {
    static const char* const parts[] = VANTOR_PART_NAMES;
    std::string text;
    for (std::size_t t = 0; t < sourceItems.size(); ++t) {
        if (t > 0) text += ' ';
        text += std::to_string(sourceItems[t]);
        if (twoSided) text += std::string(":") + parts[sourceParts[t]];
    }
    return text;
}

// -k: the library chooses the seeds (k-means++ from several starts keeping
// the best run, or a deterministic rule once) and clusters from them; the
// winning start's seeds are chosen again to say where they came from.
Outcome runFromItems(Vantor::Clustions& clustions, Table& items, const ClusterOptions& options) {
    const int k = options.k;
    const int n = static_cast<int>(items.rows());
    const int m = static_cast<int>(items.width);
    const int dims[3] = {k, n, m};
    // Before anything of size k is allocated: a k beyond the candidates
    // would otherwise ask for k rows of m values only to be refused.
    const std::int64_t candidates =
        Vantor::countCandidates(options.twoSided, items.values.data(), n, m);
    vantor_refusal refused{};
    if (vantor_check_k(k, candidates, &refused) == 0) {
        throw InputError(items.source + ": " + refusalText(refused, VANTOR_USE_CLUSTERING, "-k",
                                                           candidates, options.twoSided));
    }
    Outcome o;
    o.prototypes.assign(static_cast<std::size_t>(k) * items.width, 0.0);
    for (int side = 0; side < 2; ++side) {
        o.assignments[side].assign(items.rows(), -1);
        o.similarities[side].assign(items.rows(), -1.0);
    }
    int winner = 0;
    const bool ok = Vantor::clusterFromStarts(
        clustions, options.seeding, options.restarts, options.randomSeed, items.values.data(), dims,
        options.twoSided, o.prototypes.data(), o.assignments[0].data(), o.similarities[0].data(),
        o.assignments[1].data(), o.similarities[1].data(), o.passInfo, &winner, nullptr);
    std::vector<int> sourceItems(static_cast<std::size_t>(k)), sourceParts(sourceItems.size());
    std::vector<double> seeds(o.prototypes.size());
    if (ok && Vantor::chooseSeeds(clustions, options.seeding, k, items.values.data(), n, m,
                                  options.twoSided,
                                  Vantor::restartSeed(options.randomSeed, winner), seeds.data(),
                                  sourceItems.data(), sourceParts.data())) {
        o.seeds = describeSeeds(sourceItems, sourceParts, options.twoSided);
        return o;
    }
    // The candidates were counted above, so only memory can be short here.
    throw InputError(items.source + ": not enough memory to choose " + std::to_string(k) +
                     " seeds of " + std::to_string(m) + " values");
}

Outcome runLibrary(Vantor::Clustions& clustions, Table& items, std::vector<double> prototypes,
                   bool twoSided) {
    const int k = static_cast<int>(prototypes.size() / items.width);
    int dims[3] = {k, static_cast<int>(items.rows()), static_cast<int>(items.width)};
    Outcome o;
    o.prototypes = std::move(prototypes);
    for (int side = 0; side < (twoSided ? 2 : 1); ++side) {
        o.assignments[side].assign(items.rows(), -1);
        o.similarities[side].assign(items.rows(), -1.0);
    }
    const bool ok =
        twoSided ? clustions.cluster(o.prototypes.data(), items.values.data(), dims,
                                     o.assignments[0].data(), o.assignments[1].data(),
                                     o.similarities[0].data(), o.similarities[1].data(), o.passInfo)
                 : clustions.cluster(o.prototypes.data(), items.values.data(), dims,
                                     o.assignments[0].data(), o.similarities[0].data(), o.passInfo);
    if (!ok) throw InputError(items.source + ": the library refused to cluster these items");
    return o;
}

void printOutcome(std::ostream& out, const Outcome& o, std::size_t width, bool twoSided,
                  const OutputOptions& output) {
    TextTable run{{"converged", "passes"},
                  {{o.passInfo[0] != 0 ? "yes" : "no", std::to_string(o.passInfo[1])}}};
    if (!o.seeds.empty()) {
        run.columns.push_back("seeds");
        run.rows[0].push_back(o.seeds);
    }
    writeTable(out, run, output);
    out << '\n';

    const int sides = twoSided ? 2 : 1;
    CellSource items;
    items.columns = 1 + 2 * static_cast<std::size_t>(sides);
    items.rows = o.assignments[0].size();
    items.name = [twoSided](std::size_t c) -> std::string {
        static const char* const oneSided[] = {"item", "prototype", "similarity"};
        static const char* const bothSides[] = {"item", "negative_prototype",
                                                "negative_similarity", "positive_prototype",
                                                "positive_similarity"};
        return twoSided ? bothSides[c] : oneSided[c];
    };
    items.cell = [&o, &output](std::size_t j, std::size_t c) -> std::string {
        if (c == 0) return std::to_string(j);
        const std::size_t side = (c - 1) / 2;
        return c % 2 == 1 ? std::to_string(o.assignments[side][j])
                          : formatResult(o.similarities[side][j], output);
    };
    writeCells(out, items, output);
    out << '\n';

    CellSource prototypes;
    prototypes.columns = 1 + width;
    prototypes.rows = width == 0 ? 0 : o.prototypes.size() / width;
    prototypes.name = [](std::size_t c) {
        return c == 0 ? std::string("prototype") : "v" + std::to_string(c);
    };
    prototypes.cell = [&o, &output, width](std::size_t p, std::size_t c) {
        return c == 0 ? std::to_string(p) : formatResult(o.prototypes[p * width + c - 1], output);
    };
    writeCells(out, prototypes, output);
}

}  // namespace

CLI::App* addClusterCommand(CLI::App& app, ClusterOptions& options) {
    CLI::App* command = app.add_subcommand(
        "cluster",
        "Cluster items (one per row) around prototypes by thresholded weighted-Jaccard "
        "similarity, refining the prototypes pass by pass");
    command->add_option("input", options.input,
                        "Table of items; '-' (default) reads standard input");
    CLI::Option* seeds =
        command->add_option("-s,--seeds", options.seeds,
                            "Table of starting prototypes, one per row, as wide as the items");
    CLI::Option* k = addWholeOption(
        command, "-k", options.k, 1,
        "Choose N starting prototypes from the items instead (see --seeding)");
    seeds->excludes(k);
    addModeOption(command, "--seeding", options.seeding, VANTOR_MODES_SEEDING,
                  "With -k: 'kmeans++' (default) draws the first seed at random and each next "
                  "one with weight (1 - greatest similarity to the seeds so far)^2, and keeps "
                  "the best of --restarts runs; 'farthest' starts from the first item and adds "
                  "the item least similar to all seeds so far; 'first' takes the first N "
                  "items. Items (or, with --two-sided, item parts) without a positive value "
                  "are skipped");
    addSeedOption(command, "--random-seed", options.randomSeed,
                  "With -k and kmeans++: the seed of the draws, a whole number in [0, 2^64) "
                  "(default 0); the same seed gives the same seeds on every platform and host");
    addWholeOption(command, "--restarts", options.restarts, 1,
                   "With -k and kmeans++: runs from this many random starts, keeping the one "
                   "with the largest total similarity (default 10)")
        ->option_text("R");
    command->add_flag("--two-sided", options.twoSided,
                      "Signed items: cluster each item's negative part (magnitudes of its "
                      "negative values) and positive part on their own");
    addUnitOption(command, "--threshold", options.threshold,
                  "Positions where both values lie below this are ignored (default 0)");
    addWholeOption(command, "--max-passes", options.passLimit, 1,
                   "The most passes one run makes (default 40)");
    addOutputOptions(command, options.output);
    addReadOptions(command, options.reading);
    command->footer(
        "Prints three blocks separated by a blank line: converged and passes (with -k also\n"
        "the items whose rows became the seeds, two-sided as item:part); each item's\n"
        "prototype and similarity (prototype -1: never assigned); the refined prototypes.\n"
        "Items and prototypes are numbered from 0 in input order.\n"
        "\n"
        "Example:\n"
        "  vantor cluster -k 3 --threshold 0.1 --format table data/profiles.csv\n"
        "  vantor cluster -k 3 --seeding farthest data/profiles.csv\n"
        "  vantor cluster --seeds data/seeds.csv data/profiles.csv\n"
        "  vantor cluster --two-sided -k 2 data/evidence.csv\n");
    return command;
}

void runCluster(const ClusterOptions& options, std::ostream& out) {
    if (options.seeds.empty() && options.k == 0) {
        throw UsageError("cluster: give starting prototypes with --seeds FILE or -k N");
    }
    if (options.seeds == "-" && options.input == "-") {
        throw UsageError("standard input ('-') can be read only once");
    }
    Table items = readTable(options.input, options.reading, "items");
    requireIntSized(items);

    Vantor::Clustions clustions;
    if (!clustions.thresholds(options.threshold) || !clustions.setLimits(options.passLimit)) {
        throw UsageError("cluster: the library refused the threshold or the pass limit");
    }

    Outcome outcome;
    if (!options.seeds.empty()) {
        const Table seeds = readTable(options.seeds, options.reading, "seeds");
        requireIntSized(seeds);
        if (seeds.width != items.width) {
            throw InputError(seeds.where(0) + ": seed has " + countOf(seeds.width, "value") +
                             ", items in " + items.source + " have " + std::to_string(items.width));
        }
        outcome = runLibrary(clustions, items, seeds.values, options.twoSided);
    } else {
        outcome = runFromItems(clustions, items, options);
    }
    printOutcome(out, outcome, items.width, options.twoSided, options.output);
}

}  // namespace vantor_tool
