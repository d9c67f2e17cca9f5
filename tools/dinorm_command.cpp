#include "dinorm_command.h"

#include <vantor/dinorms.h>
#include <vantor/input_policy.h>

#include "common_options.h"
#include "input_error.h"
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
    const int n = static_cast<int>(table.width);
    TextTable result{{"negative", "positive", "combined"}, {}};
    for (std::size_t r = 0; r < table.rows(); ++r) {
        double values[3] = {0.0, 0.0, 0.0};
        if (!dinorms.aggregate(n, table.row(r), values)) {
            throw InputError(table.where(r) + ": the library refused this row");
        }
        std::vector<std::string> row;
        for (double v : values) row.push_back(formatResult(v, options.output));
        result.rows.push_back(std::move(row));
    }
    writeTable(out, result, options.output);
}

}  // namespace vantor_tool
