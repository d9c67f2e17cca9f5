#include "dinorm_command.h"

#include <vantor/dinorms.h>
#include <vantor/input_policy.h>
#include <vantor/tables.h>

#include <vector>

#include "common_options.h"
#include "input_error.h"
#include "policy_text.h"
#include "table_reader.h"

namespace vantor_tool {

CLI::App* addDinormCommand(CLI::App& app, DinormOptions& options) {
    CLI::App* command = app.add_subcommand(
        "dinorm",
        "Negative and positive aggregates of signed vectors (values in [-1, 1]), one vector per "
        "row, and their combination into one signed degree");
    command->add_option("input", options.input,
                        "Table of signed vectors; '-' (default) reads "
                        "standard input");
    addModeOption(command, "-a,--aggregation", options.aggregation, VANTOR_MODES_AGGREGATION,
                  "extreme value (default), probabilistic sum or bounded sum");
    addModeOption(command, "-c,--combination", options.combination, VANTOR_MODES_COMBINATION,
                  "dominant: the larger aggregate wins (default), certainty_factor, sum or "
                  "reinforced_sum");
    addUnitOption(command, "--threshold", options.threshold,
                  "A value v counts when |v| is at least this (default 0)");
    addUnitOption(command, "--neutral-band", options.neutralBand,
                  "A combined sum strictly inside (-band, band) becomes 0 (default 0)");
    addOutputOptions(command, options.output);
    addReadOptions(command, options.reading);
    command->footer(
        "Example:\n"
        "  vantor dinorm --aggregation probabilistic --combination certainty_factor \\\n"
        "      --threshold 0.1 --neutral-band 0.05 data/evidence.csv\n"
        "  echo '0.5 -0.25 0.75' | vantor dinorm --format table\n");
    return command;
}

void runDinorm(const DinormOptions& options, std::ostream& out) {
    Table table = readTable(options.input, options.reading, "vectors");
    requireIntSized(table);
    requireUse(table, VANTOR_USE_SIGNED, "vectors");

    Vantor::Dinorms dinorms;
    if (!dinorms.thresholds(options.threshold, options.neutralBand) ||
        !dinorms.setModes(options.aggregation, options.combination)) {
        throw UsageError("dinorm: the library refused the thresholds or the modes");
    }
    const int m = static_cast<int>(table.width);
    const std::int64_t rows = static_cast<std::int64_t>(table.rows());
    std::vector<double> parts(3 * table.rows());
    double* negative = parts.data();
    vantor_refusal refusal{};
    if (!Vantor::tables::dinorm(dinorms, Vantor::tables::rowMajor(table.values.data(), m), rows, m, negative,
                                negative + rows, negative + 2 * rows, 1, &refusal)) {
        const auto r = static_cast<std::size_t>(refusal.row);
        throw InputError((refusal.column < 0 ? table.where(r) : table.where(r, static_cast<std::size_t>(refusal.column))) +
                         ": " + refusalText(refusal, VANTOR_USE_SIGNED, "vectors"));
    }
    TextTable result{{"negative", "positive", "combined"}, {}};
    for (std::int64_t r = 0; r < rows; ++r) {
        result.rows.push_back({formatResult(negative[r], options.output),
                               formatResult(negative[rows + r], options.output),
                               formatResult(negative[2 * rows + r], options.output)});
    }
    writeTable(out, result, options.output);
}

}  // namespace vantor_tool
