#include "demo_command.h"

#include <vector>

#include "cluster_command.h"
#include "contify_command.h"
#include "dinorm_command.h"
#include "input_error.h"

namespace vantor_tool {

namespace {

// Where the build found the sample data; a copied binary can be pointed
// elsewhere with --data.
#ifndef VANTOR_DATA_DIR
#define VANTOR_DATA_DIR "data"
#endif

// One demonstrated command. An argument starting with '@' names a table in
// the data folder; it is shown and read as the path actually used, so the
// echoed line runs as printed whatever --data says.
struct Step {
    const char* what;
    std::vector<std::string> args;
};

const Step kSteps[] = {
    {"Contifiers: how far each observed profile agrees with the required one",
     {"contify", "--relation", "mutual", "--kernel", "type1", "--format", "table",
      "@observed.csv", "@required.csv"}},
    {"Contifiers: how far each requirement is contained in what was observed",
     {"contify", "--relation", "first_in_second", "--kernel", "type2", "--threshold", "0.2",
      "--format", "table", "@required.csv", "@observed.csv"}},
    {"Dinorms: evidence against and for, and the verdict of each row",
     {"dinorm", "--aggregation", "probabilistic", "--combination", "certainty_factor",
      "--threshold", "0.1", "--neutral-band", "0.05", "--format", "table", "@evidence.csv"}},
    {"Clustions: profiles grouped around three prototypes, k-means++ starts, best of 10",
     {"cluster", "-k", "3", "--threshold", "0.1", "--format", "table", "@profiles.csv"}},
    {"Clustions: the same profiles from hand-picked seeds",
     {"cluster", "--seeds", "@seeds.csv", "--threshold", "0.1", "--format", "table",
      "@profiles.csv"}},
    {"Clustions: negative and positive parts of the evidence clustered together",
     {"cluster", "--two-sided", "-k", "2", "--format", "table", "@evidence.csv"}},
};

// Quotes an argument the way a POSIX shell reads it back, when it needs it.
std::string shellWord(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of(
                                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789_-+=.,:/@%") == std::string::npos;
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Parses the step as the tool's own command line would be, then runs it, so
// what is shown is exactly what runs.
void runStep(const Step& step, const std::string& dataDir, std::ostream& out) {
    std::vector<std::string> args;
    std::string line = "vantor";
    for (const std::string& arg : step.args) {
        args.push_back(arg[0] == '@' ? dataDir + "/" + arg.substr(1) : arg);
        line += " " + shellWord(args.back());
    }
    out << "\n# " << step.what << "\n$ " << line << "\n";

    CLI::App app{"", "vantor"};
    ContifyOptions contify;
    DinormOptions dinorm;
    ClusterOptions cluster;
    CLI::App* contifyCommand = addContifyCommand(app, contify);
    CLI::App* dinormCommand = addDinormCommand(app, dinorm);
    CLI::App* clusterCommand = addClusterCommand(app, cluster);
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 pops from the back
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        throw UsageError("demo: " + std::string(e.what()));  // a step out of date with the tool
    }
    if (*contifyCommand) runContify(contify, out);
    if (*dinormCommand) runDinorm(dinorm, out);
    if (*clusterCommand) runCluster(cluster, out);
}

}  // namespace

CLI::App* addDemoCommand(CLI::App& app, DemoOptions& options) {
    options.dataDir = VANTOR_DATA_DIR;
    CLI::App* command = app.add_subcommand(
        "demo",
        "Run contify, dinorm and cluster on the bundled sample data, showing each "
        "command line");
    command->add_option("--data", options.dataDir, "Folder of the sample tables")
        ->capture_default_str();
    command->footer("Example:\n  vantor demo\n  vantor demo --data ~/src/libvantor/data\n");
    return command;
}

void runDemo(const DemoOptions& options, std::ostream& out) {
    for (const Step& step : kSteps) runStep(step, options.dataDir, out);
}

}  // namespace vantor_tool
