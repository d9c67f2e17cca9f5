#include "contify_command.h"

#include <vantor/contifiers.h>
#include <vantor/input_policy.h>
#include <vantor/tables.h>

#include <cstring>
#include <vector>

#include "common_options.h"
#include "input_error.h"
#include "policy_text.h"
#include "table_reader.h"

namespace vantor_tool {

namespace {

void requireSameShape(const Table& first, const Table& second) {
    if (second.width != first.width) {
        throw InputError(second.where(0) + ": row has " + countOf(second.width, "value") + ", " +
                         first.where(0) + " has " + std::to_string(first.width));
    }
    if (second.rows() != first.rows()) {
        throw InputError(second.source + ": " + countOf(second.rows(), "row") + ", " +
                         first.source + " has " + std::to_string(first.rows()));
    }
}

// One table holding the two vectors of each pair on consecutive rows.
void splitRowPairs(const Table& table, Table* first, Table* second) {
    if (table.rows() % 2 != 0) {
        throw InputError(table.where(table.rows() - 1) + ": odd number of rows (" +
                         std::to_string(table.rows()) +
                         "); with one input, rows are compared in pairs: 1st with 2nd, 3rd "
                         "with 4th, ...");
    }
    for (Table* half : {first, second}) {
        half->source = table.source;
        half->width = table.width;
    }
    for (std::size_t r = 0; r < table.rows(); ++r) {
        Table* half = r % 2 == 0 ? first : second;
        half->values.insert(half->values.end(), table.row(r), table.row(r) + table.width);
        half->lines.push_back(table.lines[r]);
    }
}

}  // namespace

CLI::App* addContifyCommand(CLI::App& app, ContifyOptions& options) {
    CLI::App* command = app.add_subcommand(
        "contify",
        "Degree of agreement or inclusion of two membership vectors (values in [0, 1]), one "
        "degree per pair of rows");
    command
        ->add_option("first", options.first,
                     "Table of first vectors, one per row; '-' reads standard input")
        ->required();
    command->add_option("second", options.second,
                        "Table of second vectors, compared row by row with FIRST. Without it, "
                        "the rows of FIRST pair up: 1st with 2nd, 3rd with 4th, ...");
    addModeOption(command, "-r,--relation", options.relation, VANTOR_MODES_RELATION,
                  "mutual, first_in_second (default) or second_in_first");
    addModeOption(command, "--kernel", options.kernel, VANTOR_MODES_KERNEL,
                  "Kernel of the relation: type0, type1 (default) or type2");
    addUnitOption(command, "--threshold", options.threshold,
                  "A position takes part when its weight is at least this (default 0)");
    addOutputOptions(command, options.output);
    addReadOptions(command, options.reading);
    command->footer(
        "Example:\n"
        "  vantor contify --relation mutual --kernel type2 --threshold 0.3 \\\n"
        "      data/observed.csv data/required.csv\n"
        "  printf '0.2 0.8\\n0.9 0.4\\n' | vantor contify -\n");
    return command;
}

void runContify(const ContifyOptions& options, std::ostream& out) {
    Table first, second;
    if (options.second.empty()) {
        const Table pairs = readTable(options.first, options.reading, "vectors");
        requireIntSized(pairs);
        requireUse(pairs, VANTOR_USE_MEMBERSHIP, "vectors");
        splitRowPairs(pairs, &first, &second);
    } else {
        if (options.first == "-" && options.second == "-") {
            throw UsageError("standard input ('-') can be read only once");
        }
        first = readTable(options.first, options.reading, "first");
        second = readTable(options.second, options.reading, "second");
        requireSameShape(first, second);
        requireIntSized(first);
        requireUse(first, VANTOR_USE_MEMBERSHIP, "first");
        requireUse(second, VANTOR_USE_MEMBERSHIP, "second");
    }

    Vantor::Contifiers contifiers;
    if (!contifiers.thresholds(options.threshold) ||
        !contifiers.setModes(options.relation, options.kernel)) {
        throw UsageError("contify: the library refused the threshold or the modes");
    }
    const int m = static_cast<int>(first.width);
    const std::int64_t rows = static_cast<std::int64_t>(first.rows());
    std::vector<double> degrees(first.rows());
    vantor_refusal refusal{};
    if (!Vantor::tables::contify(contifiers, Vantor::tables::rowMajor(first.values.data(), m),
                                 Vantor::tables::rowMajor(second.values.data(), m), rows, m,
                                 degrees.data(), 1, &refusal)) {
        // The report names row, position and value (first's when both are
        // outside [0, 1]); the table holding those bits is the one named.
        const auto r = static_cast<std::size_t>(refusal.row), c = static_cast<std::size_t>(refusal.column);
        const double inFirst = first.at(r, c);
        const bool isFirst = std::memcmp(&inFirst, &refusal.value, sizeof inFirst) == 0;
        const Table& table = isFirst ? first : second;
        throw InputError(table.where(r, c) + ": " +
                         refusalText(refusal, VANTOR_USE_MEMBERSHIP, isFirst ? "first" : "second"));
    }
    TextTable result{{"degree"}, {}};
    for (double degree : degrees) result.rows.push_back({formatResult(degree, options.output)});
    writeTable(out, result, options.output);
}

}  // namespace vantor_tool
