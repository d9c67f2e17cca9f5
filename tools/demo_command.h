// vantor demo: every service run on the bundled sample data.
#ifndef VANTOR_TOOLS_DEMO_COMMAND_H
#define VANTOR_TOOLS_DEMO_COMMAND_H

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace vantor_tool {

struct DemoOptions {
    std::string dataDir;  // folder holding the sample tables
};

CLI::App* addDemoCommand(CLI::App& app, DemoOptions& options);

// Prints each command line it runs, then that command's result as a table.
void runDemo(const DemoOptions& options, std::ostream& out);

}  // namespace vantor_tool

#endif
