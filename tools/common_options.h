// Options several subcommands share: output format, thresholds, mode names.
#ifndef VANTOR_TOOLS_COMMON_OPTIONS_H
#define VANTOR_TOOLS_COMMON_OPTIONS_H

#include <CLI/CLI.hpp>
#include <map>
#include <string>

#include "mode_names.h"
#include "output_table.h"

namespace vantor_tool {

// --format csv|table and --no-header.
void addOutputOptions(CLI::App* command, OutputOptions& output);

// Accepts a number in [0, 1], read as table cells are (so 1e-400 is 0), and
// hands CLI11 its shortest exact text. Refuses NaN, which the library's
// setters would store without complaint but which no person means, in the
// words every host uses: "threshold must be a number in [0, 1], got nan"
// (`noun` is "threshold").
CLI::Validator unitInterval(const std::string& noun = "threshold");

// An int option that takes a name from `names` (see modeKey for the
// spellings accepted) or the mode's number.
CLI::Option* addModeOption(CLI::App* command, const std::string& flags, int& value,
                           const ModeNames& names, const std::string& help);

}  // namespace vantor_tool

#endif
