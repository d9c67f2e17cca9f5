#include "common_options.h"

#include <vantor/input_policy.h>

#include <charconv>
#include <climits>
#include <map>
#include <system_error>

#include "cell_text.h"
#include "number_format.h"
#include "policy_text.h"

namespace vantor_tool {

namespace {

// The name an option goes by in messages: its long flag ("--relation" of
// "-r,--relation"), or its only one ("-k").
std::string nameOf(const std::string& flags) {
    const std::size_t comma = flags.rfind(',');
    return comma == std::string::npos ? flags : flags.substr(comma + 1);
}

// Thrown from an option's callback, so the message is the tool's, word for
// word, not CLI11's.
[[noreturn]] void refuse(int message, const std::string& flags, const std::string& text,
                         int family = -1, std::int64_t low = 0, std::int64_t high = 0) {
    throw CLI::ValidationError(
        messageText(message, nameOf(flags), shownText(text), family, low, high));
}

}  // namespace

void addOutputOptions(CLI::App* command, OutputOptions& output) {
    static const std::map<std::string, OutputFormat> formats = {{"csv", OutputFormat::Csv},
                                                                {"table", OutputFormat::Table}};
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

CLI::Option* addUnitOption(CLI::App* command, const std::string& flags, double& value,
                           const std::string& help) {
    return command
        ->add_option_function<std::string>(
            flags,
            [&value, flags](const std::string& text) {
                double number = 0.0;
                const NumberText kind = readNumber(text, '.', &number);
                if (kind == NumberText::NaN) refuse(VANTOR_MESSAGE_THRESHOLD, flags, "nan");
                if (kind != NumberText::Finite || vantor_check_unit(number) == 0) {
                    refuse(VANTOR_MESSAGE_THRESHOLD, flags, text);
                }
                value = number;
            },
            help)
        ->option_text("X");
}

CLI::Option* addWholeOption(CLI::App* command, const std::string& flags, int& value, int low,
                            const std::string& help) {
    return command
        ->add_option_function<std::string>(
            flags,
            [&value, flags, low](const std::string& text) {
                long long number = 0;
                const char* end = text.data() + text.size();
                const std::from_chars_result r = std::from_chars(text.data(), end, number);
                if (text.empty() || r.ptr != end || r.ec != std::errc() || number < low ||
                    number > INT_MAX) {
                    refuse(VANTOR_MESSAGE_WHOLE_NUMBER, flags, text, -1, low, INT_MAX);
                }
                value = static_cast<int>(number);
            },
            help)
        ->option_text("N");
}

CLI::Option* addModeOption(CLI::App* command, const std::string& flags, int& value, int family,
                           const std::string& help) {
    std::string choices = vantor_mode_list(family);
    for (std::size_t at; (at = choices.find(", ")) != std::string::npos;) {
        choices.replace(at, 2, "|");
    }
    return command
        ->add_option_function<std::string>(
            flags,
            [&value, flags, family](const std::string& text) {
                const int mode = vantor_mode_number(family, text.data(), text.size());
                if (mode < 0) refuse(VANTOR_MESSAGE_MODE, flags, text, family);
                value = mode;
            },
            help)
        ->option_text(choices);
}

CLI::Option* addSeedOption(CLI::App* command, const std::string& flags, std::uint64_t& value,
                           const std::string& help) {
    return command
        ->add_option_function<std::string>(
            flags,
            [&value, flags](const std::string& text) {
                if (vantor_parse_seed(text.data(), text.size(), &value) == 0) {
                    refuse(VANTOR_MESSAGE_SEED, flags, text);
                }
            },
            help)
        ->option_text("S");
}

}  // namespace vantor_tool
