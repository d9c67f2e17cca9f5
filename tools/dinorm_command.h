// vantor dinorm: the Dinorms aggregates and combined degree of signed rows.
#ifndef VANTOR_TOOLS_DINORM_COMMAND_H
#define VANTOR_TOOLS_DINORM_COMMAND_H

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

#include "output_table.h"
#include "read_options.h"

namespace vantor_tool {

struct DinormOptions {
    std::string input = "-";
    int aggregation = 0;  // the library's defaults
    int combination = 0;
    double threshold = 0.0;
    double neutralBand = 0.0;
    OutputOptions output;
    ReadOptions reading;
};

CLI::App* addDinormCommand(CLI::App& app, DinormOptions& options);

// Prints negative aggregate, positive aggregate and combined value per row.
// Throws InputError for refused input.
void runDinorm(const DinormOptions& options, std::ostream& out);

}  // namespace vantor_tool

#endif
