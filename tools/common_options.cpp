#include "common_options.h"

#include <cmath>
#include <utility>
#include <vector>

namespace vantor_tool {

void addOutputOptions(CLI::App* command, OutputOptions& output) {
    static const std::map<std::string, OutputFormat> formats = {{"csv", OutputFormat::Csv},
                                                                {"table", OutputFormat::Table}};
    command
        ->add_option("--format", output.format,
                     "Output as csv (default, exact) or an aligned table (6 significant digits)")
        ->transform(CLI::CheckedTransformer(formats, CLI::ignore_case))
        ->option_text("csv|table");
    command->add_flag_callback(
        "--no-header", [&output]() { output.header = false; },
        "Leave out the line of column names");
}

CLI::Validator unitInterval(const std::string& what) {
    return CLI::Validator(
        [what](std::string& text) -> std::string {
            double value = 0.0;
            if (!CLI::detail::lexical_cast(text, value) || std::isnan(value) || value < 0.0 ||
                value > 1.0) {
                return what + " must be a number in [0, 1], got " + text;
            }
            return std::string();
        },
        "in [0, 1]");
}

CLI::Option* addModeOption(CLI::App* command, const std::string& flags, int& value,
                           const ModeNames& names, const std::string& help) {
    // In the header's order, so the help and the refusal list the modes by number.
    std::vector<std::pair<std::string, int>> numbered;
    std::string choices;
    for (std::size_t i = 0; i < names.size(); ++i) {
        numbered.emplace_back(names[i], static_cast<int>(i));
        choices += (i == 0 ? "" : "|") + names[i];
    }
    return command->add_option(flags, value, help)
        ->transform(CLI::CheckedTransformer(numbered, modeKey))
        ->option_text(choices + " (or 0.." + std::to_string(names.size() - 1) + ")");
}

}  // namespace vantor_tool
