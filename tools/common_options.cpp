#include "common_options.h"

#include <utility>
#include <vector>

#include "cell_text.h"
#include "number_format.h"

namespace vantor_tool {

void addOutputOptions(CLI::App* command, OutputOptions& output) {
    static const std::map<std::string, OutputFormat> formats = {{"csv", OutputFormat::Csv},
                                                                {"table", OutputFormat::Table}};
    // Thrown from the callback so the message is the tool's, not CLI11's.
    command
        ->add_option_function<std::string>(
            "--format",
            [&output](const std::string& text) {
                const auto found = formats.find(CLI::detail::to_lower(text));
                if (found == formats.end()) {
                    throw CLI::ValidationError("--format must be csv or table, got '" +
                                               shownText(text) + "'");
                }
                output.format = found->second;
            },
            "Output as csv (default, exact) or an aligned table (6 significant digits)")
        ->option_text("csv|table");
    command->add_flag_callback(
        "--no-header", [&output]() { output.header = false; },
        "Leave out the line of column names");
}

CLI::Validator unitInterval(const std::string& noun) {
    return CLI::Validator(
        [noun](std::string& text) -> std::string {
            double value = 0.0;
            const NumberText kind = readNumber(text, '.', &value);
            if (kind == NumberText::NotANumber) return "not a number: " + shownText(text);
            if (kind != NumberText::Finite || value < 0.0 || value > 1.0) {
                // "nan" whatever its spelling, in the same words as every host.
                const std::string got = kind == NumberText::NaN ? "nan" : shownText(text);
                return noun + " must be a number in [0, 1], got " + got;
            }
            text = formatNumber(value);
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
