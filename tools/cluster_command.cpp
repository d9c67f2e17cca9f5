#include "cluster_command.h"

#include <vantor/clustions.h>

#include <climits>
#include <vector>

#include "common_options.h"
#include "input_error.h"
#include "table_reader.h"

namespace vantor_tool {

namespace {

// What one clustering run leaves in the caller's arrays.
struct Outcome {
    std::vector<double> prototypes;
    std::vector<int> assignments[2];  // one-sided: [0] only; two-sided: negative, positive
    std::vector<double> similarities[2];
    int passInfo[2] = {0, 0};
};

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
    writeTable(out,
               TextTable{{"converged", "passes"},
                         {{o.passInfo[0] != 0 ? "yes" : "no", std::to_string(o.passInfo[1])}}},
               output);
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
    static const std::map<std::string, SeedRule> rules = {{"first", SeedRule::First},
                                                          {"farthest", SeedRule::Farthest}};
    command
        ->add_option("--seeding", options.seeding,
                     "With -k: 'farthest' (default) starts from the first item and adds the item "
                     "least similar to all seeds so far; 'first' takes the first N items. Items "
                     "(or, with --two-sided, item parts) without a positive value are skipped")
        ->transform(CLI::CheckedTransformer(rules, CLI::ignore_case))
        ->option_text("farthest|first");
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
    addOutputOptions(command, options.output);
    addReadOptions(command, options.reading);
    command->footer(
        "Prints three blocks separated by a blank line: converged and passes; each item's\n"
        "prototype and similarity (prototype -1: never assigned); the refined prototypes.\n"
        "Items and prototypes are numbered from 0 in input order.\n"
        "\n"
        "Example:\n"
        "  vantor cluster -k 3 --threshold 0.1 --format table data/profiles.csv\n"
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

    std::vector<double> prototypes;
    if (!options.seeds.empty()) {
        const Table seeds = readTable(options.seeds, options.reading, "seeds");
        requireIntSized(seeds);
        if (seeds.width != items.width) {
            throw InputError(seeds.where(0) + ": seed has " + countOf(seeds.width, "value") +
                             ", items in " + items.source + " have " + std::to_string(items.width));
        }
        prototypes = seeds.values;
    } else {
        prototypes = chooseSeeds(items, options.k, options.twoSided, options.seeding, clustions);
    }

    const Outcome outcome = runLibrary(clustions, items, std::move(prototypes), options.twoSided);
    printOutcome(out, outcome, items.width, options.twoSided, options.output);
}

}  // namespace vantor_tool
