// vantor: the library's three services from the shell.
//
// Exit status: 0 success, 1 input refused (the message names file, line and
// column), 2 usage error (unknown option, bad option value, missing input),
// 3 the output could not be written (the message says why). The table is in
// docs/cli-errors.md.
#include <unistd.h>
#include <vantor/version.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "cluster_command.h"
#include "contify_command.h"
#include "demo_command.h"
#include "dinorm_command.h"
#include "cell_text.h"
#include "input_error.h"
#include "standard_streams.h"

namespace {

constexpr int kRefusedInput = 1;
constexpr int kUsageError = 2;
constexpr int kOutputFailed = 3;

#define VANTOR_STRINGIFY2(x) #x
#define VANTOR_STRINGIFY(x) VANTOR_STRINGIFY2(x)
constexpr const char* kVersion = VANTOR_STRINGIFY(VANTOR_VERSION_MAJOR) "." VANTOR_STRINGIFY(
    VANTOR_VERSION_MINOR) "." VANTOR_STRINGIFY(VANTOR_VERSION_PATCH);

// CLI11 words a mistyped subcommand as "A subcommand is required" or as an
// unexpected argument; this names it and the choices. Top-level options take
// no values, so the first argument that is not an option is the subcommand.
// Returns false after printing the message.
bool subcommandIsKnown(const CLI::App& app, int argc, char** argv) {
    std::vector<std::string> known;
    std::string names;
    for (const CLI::App* command : app.get_subcommands({})) {
        known.push_back(command->get_name());
        names += (names.empty() ? "" : ", ") + command->get_name();
    }
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!argument.empty() && argument[0] == '-') {
            if (argument == "-h" || argument == "--help" || argument == "--version") continue;
            return true;  // CLI11 reports an unknown option itself
        }
        if (std::find(known.begin(), known.end(), argument) != known.end()) return true;
        std::cerr << "vantor: unknown subcommand '" << vantor_tool::shownText(argument) << "' (" << names
                  << ")\nRun 'vantor --help' for more information.\n";
        return false;
    }
    if (argc > 1) return true;  // only options: --help or --version, or CLI11's message
    std::cerr << "vantor: a subcommand is required (" << names
              << ")\nRun 'vantor --help' for more information.\n";
    return false;
}

// --help and --version print through std::cout; a full disk or a closed
// output must not pass for success there either. errno was cleared before
// the printing, so it holds the reason of the first write that failed.
int helpWritten() {
    std::cout.flush();
    if (std::cout.good()) return 0;
    const int error = errno != 0 ? errno : EIO;
    std::cerr << "vantor: cannot write the output: " << std::strerror(error) << '\n';
    return kOutputFailed;
}

int run(int argc, char** argv) {
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
    app.footer(
        "Run 'vantor COMMAND --help' for the options and an example of each command.\n"
        "Exit status: 0 success, 1 input refused, 2 usage error, 3 output not written.\n");

    ContifyOptions contify;
    DinormOptions dinorm;
    ClusterOptions cluster;
    DemoOptions demo;
    CLI::App* contifyCommand = addContifyCommand(app, contify);
    CLI::App* dinormCommand = addDinormCommand(app, dinorm);
    CLI::App* clusterCommand = addClusterCommand(app, cluster);
    CLI::App* demoCommand = addDemoCommand(app, demo);

    if (!subcommandIsKnown(app, argc, argv)) return kUsageError;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        errno = 0;
        const int code = app.exit(e);
        return code == 0 ? helpWritten() : kUsageError;
    }

    DescriptorOutput standardOutput(STDOUT_FILENO);
    std::ostream out(&standardOutput);
    try {
        if (*contifyCommand) runContify(contify, out);
        if (*dinormCommand) runDinorm(dinorm, out);
        if (*clusterCommand) runCluster(cluster, out);
        if (*demoCommand) runDemo(demo, out);
    } catch (const UsageError& e) {
        std::cerr << "vantor: " << e.what() << '\n';
        return kUsageError;
    } catch (const InputError& e) {
        std::cerr << e.what() << '\n';
        return kRefusedInput;
    }
    out.flush();
    if (standardOutput.error() != 0) {
        std::cerr << "vantor: cannot write the output: " << std::strerror(standardOutput.error())
                  << '\n';
        return kOutputFailed;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    vantor_tool::guardStandardInput();
    // Memory can run short anywhere: in a table of hundreds of megabytes, in
    // CLI11, in the output. The tool says so and exits like any refused
    // input, instead of aborting.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "vantor: not enough memory for this input\n";
    } catch (const std::length_error&) {
        std::cerr << "vantor: not enough memory for this input\n";
    }
    return kRefusedInput;
}
