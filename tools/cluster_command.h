// vantor cluster: Clustions prototype clustering of a table of items.
#ifndef VANTOR_TOOLS_CLUSTER_COMMAND_H
#define VANTOR_TOOLS_CLUSTER_COMMAND_H

#include <vantor/clustions.h>
#include <vantor/vantor.h>

#include <CLI/CLI.hpp>
#include <cstdint>
#include <ostream>
#include <string>

#include "output_table.h"
#include "read_options.h"

namespace vantor_tool {

struct ClusterOptions {
    std::string input = "-";
    std::string seeds;  // a table of starting prototypes, or empty for -k
    int k = 0;          // number of prototypes chosen from the items
    int seeding = VANTOR_SEEDING_KMEANS_PP;  // how the library chooses them
    std::uint64_t randomSeed = 0;            // k-means++ draws; 0 keeps runs reproducible
    int restarts = 10;                       // k-means++ starts, the best run kept
    bool twoSided = false;
    double threshold = 0.0;
    int passLimit = 40;  // the library's default
    OutputOptions output;
    ReadOptions reading;
};

CLI::App* addClusterCommand(CLI::App& app, ClusterOptions& options);

// Prints three blocks separated by a blank line: whether the run converged
// and its passes (with -k also the items whose rows became the seeds), each
// item's prototype(s) and similarity, the refined prototypes. Throws
// InputError for refused input.
void runCluster(const ClusterOptions& options, std::ostream& out);

}  // namespace vantor_tool

#endif
