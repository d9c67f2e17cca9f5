#include "demo_command.h"

#include "cluster_command.h"
#include "contify_command.h"
#include "dinorm_command.h"

namespace vantor_tool {

namespace {

// Where the build found the sample data; a copied binary can be pointed
// elsewhere with --data.
#ifndef VANTOR_DATA_DIR
#define VANTOR_DATA_DIR "data"
#endif

void heading(std::ostream& out, const std::string& commandLine, const std::string& what) {
    out << "\n# " << what << "\n$ vantor " << commandLine << "\n";
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
    const std::string& dir = options.dataDir;
    const OutputOptions table{OutputFormat::Table, true};

    ContifyOptions mutual;
    mutual.first = dir + "/observed.csv";
    mutual.second = dir + "/required.csv";
    mutual.relation = 0;
    mutual.kernel = 1;
    mutual.output = table;
    heading(out,
            "contify --relation mutual --kernel type1 --format table data/observed.csv "
            "data/required.csv",
            "Contifiers: how far each observed profile agrees with the required one");
    runContify(mutual, out);

    ContifyOptions inclusion = mutual;
    inclusion.first = dir + "/required.csv";
    inclusion.second = dir + "/observed.csv";
    inclusion.relation = 1;
    inclusion.kernel = 2;
    inclusion.threshold = 0.2;
    heading(out,
            "contify --relation first-in-second --kernel type2 --threshold 0.2 --format "
            "table data/required.csv data/observed.csv",
            "Contifiers: how far each requirement is contained in what was observed");
    runContify(inclusion, out);

    DinormOptions evidence;
    evidence.input = dir + "/evidence.csv";
    evidence.aggregation = 1;
    evidence.combination = 1;
    evidence.threshold = 0.1;
    evidence.neutralBand = 0.05;
    evidence.output = table;
    heading(out,
            "dinorm --aggregation probabilistic --combination certainty-factor --threshold 0.1 "
            "--neutral-band 0.05 --format table data/evidence.csv",
            "Dinorms: evidence against and for, and the verdict of each row");
    runDinorm(evidence, out);

    ClusterOptions profiles;
    profiles.input = dir + "/profiles.csv";
    profiles.k = 3;
    profiles.threshold = 0.1;
    profiles.output = table;
    heading(out, "cluster -k 3 --threshold 0.1 --format table data/profiles.csv",
            "Clustions: profiles grouped around three prototypes, k-means++ starts, best of 10");
    runCluster(profiles, out);

    ClusterOptions seeded = profiles;
    seeded.k = 0;
    seeded.seeds = dir + "/seeds.csv";
    heading(out,
            "cluster --seeds data/seeds.csv --threshold 0.1 --format table "
            "data/profiles.csv",
            "Clustions: the same profiles from hand-picked seeds");
    runCluster(seeded, out);

    ClusterOptions signedItems;
    signedItems.input = dir + "/evidence.csv";
    signedItems.k = 2;
    signedItems.twoSided = true;
    signedItems.output = table;
    heading(out, "cluster --two-sided -k 2 --format table data/evidence.csv",
            "Clustions: negative and positive parts of the evidence clustered together");
    runCluster(signedItems, out);
}

}  // namespace vantor_tool
