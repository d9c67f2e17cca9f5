// vantor: the library's three services from the shell.
//
// Exit status: 0 success, 1 input refused (the message names file, line and
// column), 2 usage error (unknown option, bad option value, missing input).
#include <vantor/version.h>

#include <CLI/CLI.hpp>
#include <iostream>

#include "cluster_command.h"
#include "contify_command.h"
#include "demo_command.h"
#include "dinorm_command.h"
#include "input_error.h"

namespace {

constexpr int kRefusedInput = 1;
constexpr int kUsageError = 2;

#define VANTOR_STRINGIFY2(x) #x
#define VANTOR_STRINGIFY(x) VANTOR_STRINGIFY2(x)
constexpr const char* kVersion = VANTOR_STRINGIFY(VANTOR_VERSION_MAJOR) "." VANTOR_STRINGIFY(
    VANTOR_VERSION_MINOR) "." VANTOR_STRINGIFY(VANTOR_VERSION_PATCH);

}  // namespace

int main(int argc, char** argv) {
    using namespace vantor_tool;
    CLI::App app{
        "Threshold-gated operations on vectors of fuzzy degrees.\n"
        "Input: CSV or whitespace-separated numbers, one vector per row, from a file "
        "or '-' for standard input; blank lines and lines starting with # are skipped.\n"
        "Output: CSV by default, every number in the shortest form that reads back "
        "exactly.",
        "vantor"};
    app.require_subcommand(1);
    app.set_version_flag("--version", kVersion);
    app.footer("Run 'vantor COMMAND --help' for the options and an example of each command.\n");

    ContifyOptions contify;
    DinormOptions dinorm;
    ClusterOptions cluster;
    DemoOptions demo;
    CLI::App* contifyCommand = addContifyCommand(app, contify);
    CLI::App* dinormCommand = addDinormCommand(app, dinorm);
    CLI::App* clusterCommand = addClusterCommand(app, cluster);
    CLI::App* demoCommand = addDemoCommand(app, demo);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kUsageError;
    }

    try {
        if (*contifyCommand) runContify(contify, std::cout);
        if (*dinormCommand) runDinorm(dinorm, std::cout);
        if (*clusterCommand) runCluster(cluster, std::cout);
        if (*demoCommand) runDemo(demo, std::cout);
    } catch (const UsageError& e) {
        std::cerr << "vantor: " << e.what() << '\n';
        return kUsageError;
    } catch (const InputError& e) {
        std::cerr << e.what() << '\n';
        return kRefusedInput;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "vantor: cannot write the output\n";
        return kRefusedInput;
    }
    return 0;
}
