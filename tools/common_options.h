// Options several subcommands share: output format, thresholds, whole
// numbers, mode names and seeds, each read and refused as the library's
// input policy says (vantor/input_policy.h), in the words every host uses.
#ifndef VANTOR_TOOLS_COMMON_OPTIONS_H
#define VANTOR_TOOLS_COMMON_OPTIONS_H

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

#include "output_table.h"

namespace vantor_tool {

// --format csv|table and --no-header.
void addOutputOptions(CLI::App* command, OutputOptions& output);

// A number in [0, 1], read as table cells are (so 1e-400 is 0). Refuses NaN,
// which the library's setters would store without complaint but which no
// person means: "--threshold must be a number in [0, 1], got nan".
CLI::Option* addUnitOption(CLI::App* command, const std::string& flags, double& value,
                           const std::string& help);

// A whole number from `low` to INT_MAX, digits only (an optional '-' for a
// negative number, which is then refused by its range):
// "--restarts must be a whole number from 1 to 2147483647, got abc".
CLI::Option* addWholeOption(CLI::App* command, const std::string& flags, int& value, int low,
                            const std::string& help);

// A mode by its name in vantor/modes.h (`family` a vantor_mode_family),
// spelt exactly so; anything else, numbers included, is refused with the
// list of names.
CLI::Option* addModeOption(CLI::App* command, const std::string& flags, int& value, int family,
                           const std::string& help);

// A random seed in [0, 2^64), digits only.
CLI::Option* addSeedOption(CLI::App* command, const std::string& flags, std::uint64_t& value,
                           const std::string& help);

}  // namespace vantor_tool

#endif
