// vantor contify: the Contifiers degree of two membership vectors per row.
#ifndef VANTOR_TOOLS_CONTIFY_COMMAND_H
#define VANTOR_TOOLS_CONTIFY_COMMAND_H

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

#include "output_table.h"
#include "read_options.h"

namespace vantor_tool {

struct ContifyOptions {
    std::string first;  // a table, or one table of row pairs when `second` is empty
    std::string second;
    int relation = 1;  // the library's default: first in second
    int kernel = 1;
    double threshold = 0.0;
    OutputOptions output;
    ReadOptions reading;
};

CLI::App* addContifyCommand(CLI::App& app, ContifyOptions& options);

// Prints one degree per compared pair. Throws InputError for refused input.
void runContify(const ContifyOptions& options, std::ostream& out);

}  // namespace vantor_tool

#endif
