#include "cluster_command.h"

#include <vantor/clustering_run.h>
#include <vantor/clustions.h>
#include <vantor/seeding.h>

#include <climits>
#include <map>
#include <vector>

#include "common_options.h"
#include "input_error.h"
#include "table_reader.h"

namespace vantor_tool {

namespace {

Vantor::ClusteringOptions runOptions(const ClusterOptions& options) {
    Vantor::ClusteringOptions run;
    run.threads = options.threads;
    return run;
}

// What one clustering run leaves in the caller's arrays.
struct Outcome {
    std::vector<double> prototypes;
    std::vector<int> assignments[2];  // one-sided: [0] only; two-sided: negative, positive
    std::vector<double> similarities[2];
    int passInfo[2] = {0, 0};
    std::string seeds;  // with -k: the items (and parts) the seeds came from
};

// The names the library gives its seeding rules, in the order of their numbers.
const std::map<std::string, int>& seedingNames() {
    static const std::map<std::string, int> names = [] {
        static const char* const listed[] = VANTOR_SEEDING_NAMES;
        std::map<std::string, int> table;
        for (int rule = 0; rule < static_cast<int>(sizeof listed / sizeof *listed); ++rule) {
            table[listed[rule]] = rule;
        }
        return table;
    }();
    return names;
}

// The rows the library would seed from: items with a positive value, or,
// two-sided, item parts with a non-zero value. Counted only to say why it
// refused.
std::size_t countCandidates(const Table& items, bool twoSided) {
    std::size_t count = 0;
    for (std::size_t r = 0; r < items.rows(); ++r) {
        bool negative = false, positive = false;
        for (std::size_t c = 0; c < items.width; ++c) {
            negative |= items.row(r)[c] < 0.0;
            positive |= items.row(r)[c] > 0.0;
        }
        count += static_cast<std::size_t>(positive) + (twoSided && negative ? 1 : 0);
    }
    return count;
}

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
    Outcome o;
    o.prototypes.assign(static_cast<std::size_t>(k) * items.width, 0.0);
    for (int side = 0; side < 2; ++side) {
        o.assignments[side].assign(items.rows(), -1);
        o.similarities[side].assign(items.rows(), -1.0);
    }
    Vantor::ClusteringReport report;
    const bool ok = Vantor::runSeededClustering(
        clustions, runOptions(options), options.seeding, options.restarts, options.randomSeed,
        items.values.data(), n, m, options.twoSided, o.prototypes.data(), k,
        o.assignments[0].data(), o.similarities[0].data(), o.assignments[1].data(),
        o.similarities[1].data(), &report);
    o.passInfo[0] = report.converged ? 1 : 0;
    o.passInfo[1] = report.passes;
    const int winner = report.winningStart;
    std::vector<int> sourceItems(static_cast<std::size_t>(k)), sourceParts(sourceItems.size());
    std::vector<double> seeds(o.prototypes.size());
    if (ok && Vantor::chooseSeeds(clustions, options.seeding, k, items.values.data(), n, m,
                                  options.twoSided,
                                  Vantor::restartSeed(options.randomSeed, winner), seeds.data(),
                                  sourceItems.data(), sourceParts.data())) {
        o.seeds = describeSeeds(sourceItems, sourceParts, options.twoSided);
        return o;
    }
    const std::size_t found = countCandidates(items, options.twoSided);
    if (found < static_cast<std::size_t>(k)) {
        throw InputError(items.source + ": -k " + std::to_string(k) + " needs " +
                         std::to_string(k) +
                         (options.twoSided
                              ? " item parts (negative or positive) with a non-zero value"
                              : " items with a positive value") +
                         ", found " + std::to_string(found));
    }
    throw InputError(items.source + ": the library refused to choose seeds for these items");
}

Outcome runLibrary(Vantor::Clustions& clustions, Table& items, std::vector<double> prototypes,
                   const ClusterOptions& options) {
    const bool twoSided = options.twoSided;
    const int k = static_cast<int>(prototypes.size() / items.width);
    Outcome o;
    o.prototypes = std::move(prototypes);
    for (int side = 0; side < (twoSided ? 2 : 1); ++side) {
        o.assignments[side].assign(items.rows(), -1);
        o.similarities[side].assign(items.rows(), -1.0);
    }
    Vantor::ClusteringReport report;
    const bool ok = Vantor::runClustering(
        clustions, runOptions(options), items.values.data(),
        static_cast<std::int64_t>(items.rows()), static_cast<int>(items.width), twoSided,
        o.prototypes.data(), k, o.assignments[0].data(), o.similarities[0].data(),
        twoSided ? o.assignments[1].data() : nullptr,
        twoSided ? o.similarities[1].data() : nullptr, &report);
    if (!ok) throw InputError(items.source + ": the library refused to cluster these items");
    o.passInfo[0] = report.converged ? 1 : 0;
    o.passInfo[1] = report.passes;
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

    TextTable items;
    items.columns =
        twoSided ? std::vector<std::string>{"item", "negative_prototype", "negative_similarity",
                                            "positive_prototype", "positive_similarity"}
                 : std::vector<std::string>{"item", "prototype", "similarity"};
    for (std::size_t j = 0; j < o.assignments[0].size(); ++j) {
        std::vector<std::string> row{std::to_string(j)};
        for (int side = 0; side < (twoSided ? 2 : 1); ++side) {
            row.push_back(std::to_string(o.assignments[side][j]));
            row.push_back(formatResult(o.similarities[side][j], output));
        }
        items.rows.push_back(std::move(row));
    }
    writeTable(out, items, output);
    out << '\n';

    TextTable prototypes;
    prototypes.columns.push_back("prototype");
    for (std::size_t c = 0; c < width; ++c) {
        prototypes.columns.push_back("v" + std::to_string(c + 1));
    }
    for (std::size_t p = 0; p * width < o.prototypes.size(); ++p) {
        std::vector<std::string> row{std::to_string(p)};
        for (std::size_t c = 0; c < width; ++c) {
            row.push_back(formatResult(o.prototypes[p * width + c], output));
        }
        prototypes.rows.push_back(std::move(row));
    }
    writeTable(out, prototypes, output);
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
    CLI::Option* k =
        command
            ->add_option("-k", options.k,
                         "Choose N starting prototypes from the items instead (see --seeding)")
            ->check(CLI::Range(1, INT_MAX))
            ->option_text("N");
    seeds->excludes(k);
    std::string rules;
    for (const char* name : VANTOR_SEEDING_NAMES) rules += (rules.empty() ? "" : "|") + std::string(name);
    command
        ->add_option("--seeding", options.seeding,
                     "With -k: 'kmeans++' (default) draws the first seed at random and each next "
                     "one with weight (1 - greatest similarity to the seeds so far)^2, and keeps "
                     "the best of --restarts runs; 'farthest' starts from the first item and adds "
                     "the item least similar to all seeds so far; 'first' takes the first N "
                     "items. Items (or, with --two-sided, item parts) without a positive value "
                     "are skipped")
        ->transform(CLI::CheckedTransformer(seedingNames(), CLI::ignore_case))
        ->option_text(rules);
    command
        ->add_option("--random-seed", options.randomSeed,
                     "With -k and kmeans++: the seed of the draws (default 0); the same seed "
                     "gives the same seeds on every platform")
        // An unsigned parse would take -1 as 2^64 - 1 without a word.
        ->check(CLI::NonNegativeNumber)
        ->option_text("S");
    command
        ->add_option("--restarts", options.restarts,
                     "With -k and kmeans++: runs from this many random starts, keeping the one "
                     "with the largest total similarity (default 10)")
        ->check(CLI::Range(1, INT_MAX))
        ->option_text("R");
    command->add_flag("--two-sided", options.twoSided,
                      "Signed items: cluster each item's negative part (magnitudes of its "
                      "negative values) and positive part on their own");
    command
        ->add_option("--threshold", options.threshold,
                     "Positions where both values lie below this are ignored (default 0)")
        ->check(unitInterval());
    command
        ->add_option("--max-passes", options.passLimit,
                     "The most passes one run makes (default 40)")
        ->check(CLI::Range(1, INT_MAX));
    command
        ->add_option("--threads", options.threads,
                     "Threads for the run: 0 every core (default 1); every count prints the "
                     "same results")
        ->check(CLI::Range(0, 1024))
        ->option_text("N");
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
        outcome = runLibrary(clustions, items, seeds.values, options);
    } else {
        outcome = runFromItems(clustions, items, options);
    }
    printOutcome(out, outcome, items.width, options.twoSided, options.output);
}

}  // namespace vantor_tool
