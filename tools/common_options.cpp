#include "common_options.h"

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

const std::map<std::string, int>& relationNames() {
    static const std::map<std::string, int> names = {
        {"mutual", 0}, {"first-in-second", 1}, {"second-in-first", 2}};
    return names;
}

const std::map<std::string, int>& kernelNames() {
    static const std::map<std::string, int> names = {{"type0", 0}, {"type1", 1}, {"type2", 2}};
    return names;
}

const std::map<std::string, int>& aggregationNames() {
    static const std::map<std::string, int> names = {
        {"extreme", 0}, {"probabilistic", 1}, {"bounded", 2}};
    return names;
}

const std::map<std::string, int>& combinationNames() {
    static const std::map<std::string, int> names = {
        {"dominant", 0}, {"certainty-factor", 1}, {"sum", 2}, {"reinforced-sum", 3}};
    return names;
}

CLI::Option* addModeOption(CLI::App* command, const std::string& flags, int& value,
                           const std::map<std::string, int>& names, const std::string& help) {
    std::string choices;
    for (const auto& entry : names) {
        if (!choices.empty()) choices += "|";
        choices += entry.first;
    }
    return command->add_option(flags, value, help)
        ->transform(CLI::CheckedTransformer(names, CLI::ignore_case))
        ->option_text(choices + " (or 0.." + std::to_string(names.size() - 1) + ")");
}

}  // namespace vantor_tool
