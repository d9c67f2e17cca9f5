#include "table_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string_view>

#include "cell_text.h"
#include "input_error.h"
#include "number_format.h"
#include "standard_streams.h"

namespace vantor_tool {

namespace {

constexpr const char* kBlanks = " \t\r\f\v";

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

// A cell as exported by spreadsheets may be quoted: "0.5".
std::string_view unquoted(std::string_view cell) {
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') {
        return trimmed(cell.substr(1, cell.size() - 2));
    }
    return cell;
}

std::vector<std::string_view> splitOn(std::string_view line, char separator) {
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = line.find(separator, start);
        const std::size_t end = at == std::string_view::npos ? line.size() : at;
        cells.push_back(unquoted(trimmed(line.substr(start, end - start))));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return cells;
}

std::vector<std::string_view> splitOnBlanks(std::string_view line) {
    std::vector<std::string_view> cells;
    std::size_t start = line.find_first_not_of(kBlanks);
    while (start != std::string_view::npos) {
        std::size_t end = line.find_first_of(kBlanks, start);
        if (end == std::string_view::npos) end = line.size();
        cells.push_back(unquoted(line.substr(start, end - start)));
        start = line.find_first_not_of(kBlanks, end);
    }
    return cells;
}

// Splits one line into cells. By default on commas when the line has one,
// otherwise on runs of blanks, so both CSV and space- or tab-separated
// columns read alike; with a decimal comma the comma belongs to the numbers.
std::vector<std::string_view> cellsOf(std::string_view line, const ReadOptions& options) {
    switch (options.delimiter) {
        case Delimiter::Comma: return splitOn(line, ',');
        case Delimiter::Semicolon: return splitOn(line, ';');
        case Delimiter::Tab: return splitOn(line, '\t');
        case Delimiter::Blank: return splitOnBlanks(line);
        case Delimiter::Auto: break;
    }
    if (options.decimalMark == '.' && line.find(',') != std::string_view::npos) {
        return splitOn(line, ',');
    }
    return splitOnBlanks(line);
}

// "0,5" or "-12,25": what one number with a decimal comma looks like, and
// also two whole numbers in CSV.
bool looksLikeDecimalComma(std::string_view line) {
    if (!line.empty() && (line.front() == '-' || line.front() == '+')) line.remove_prefix(1);
    const std::size_t comma = line.find(',');
    if (comma == 0 || comma == std::string_view::npos || comma + 1 == line.size()) return false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (i != comma && (line[i] < '0' || line[i] > '9')) return false;
    }
    return true;
}

std::string located(const std::string& source, std::size_t line, std::size_t column) {
    return source + ":" + std::to_string(line) + ":" + std::to_string(column);
}

// What is wrong with a cell that did not read as a number the table may
// hold, in words, with a hint where a setting would have read it.
std::string cellProblem(NumberText kind, std::string_view cell, const ReadOptions& options) {
    const std::string shown = shownText(cell);
    switch (kind) {
        case NumberText::Infinite: return "not a finite number: " + shown;
        case NumberText::TooLarge: return "too large for a double: " + shown;
        case NumberText::Finite:
        case NumberText::NaN:
        case NumberText::NotANumber: break;
    }
    std::string problem = "not a number: " + shown;
    if (options.decimalMark == '.' && cell.find(',') != std::string_view::npos) {
        problem += " (for a decimal comma give --decimal ,)";
    } else if (options.decimalMark == ',' && cell.find('.') != std::string_view::npos) {
        problem += " (with --decimal , the decimal mark is ',')";
    }
    return problem;
}

}  // namespace

std::string countOf(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string Table::where(std::size_t r) const { return source + ":" + std::to_string(lines[r]); }

std::string Table::where(std::size_t r, std::size_t c) const {
    return located(source, lines[r], c + 1);
}

Table readTable(std::istream& in, const std::string& source, const ReadOptions& options,
                const std::string& what) {
    if (options.delimiter == Delimiter::Comma && options.decimalMark == ',') {
        throw UsageError("--delimiter , and --decimal , cannot be used together");
    }
    Table table;
    table.source = source;
    std::string text;
    std::size_t lineNumber = 0;
    // Every row so far could be one number with a decimal comma.
    bool everyRowAmbiguous = options.delimiter == Delimiter::Auto && options.decimalMark == '.';
    std::string firstRow;
    while (std::getline(in, text)) {
        ++lineNumber;
        std::string_view line = text;
        // A byte-order mark some editors put in front of a UTF-8 file.
        if (lineNumber == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;  // blank lines and comments

        if (options.delimiter != Delimiter::Semicolon && line.find(';') != std::string_view::npos) {
            const bool commasToo =
                options.decimalMark == '.' && line.find(',') != std::string_view::npos;
            throw InputError(source + ":" + std::to_string(lineNumber) +
                             ": ';' between values; to read them give --delimiter ';'" +
                             (commasToo ? " (and --decimal , for decimal commas)" : ""));
        }
        everyRowAmbiguous = everyRowAmbiguous && looksLikeDecimalComma(line);

        const std::vector<std::string_view> cells = cellsOf(line, options);
        if (table.rows() == 0) {
            table.width = cells.size();
            firstRow = line;
        } else if (cells.size() != table.width) {
            throw InputError(source + ":" + std::to_string(lineNumber) + ": row has " +
                             countOf(cells.size(), "value") + ", expected " +
                             std::to_string(table.width) + " (as on line " +
                             std::to_string(table.lines.front()) + ")");
        }
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (cells[c].empty()) {
                throw InputError(located(source, lineNumber, c + 1) + ": empty cell");
            }
            double value = 0.0;
            const NumberText kind = readNumber(cells[c], options.decimalMark, &value);
            if (kind == NumberText::NaN && !options.allowNan) {
                throw InputError(located(source, lineNumber, c + 1) + ": " + what +
                                 ": NaN at row " + std::to_string(table.rows() + 1) +
                                 ", column " + std::to_string(c + 1) +
                                 " (--allow-nan passes it on)");
            }
            if (kind != NumberText::Finite && kind != NumberText::NaN) {
                throw InputError(located(source, lineNumber, c + 1) + ": " +
                                 cellProblem(kind, cells[c], options));
            }
            table.values.push_back(value);
        }
        table.lines.push_back(lineNumber);
    }
    if (in.bad()) {
        const int error = errno;
        throw InputError(source + ": cannot read: " + std::strerror(error));
    }
    if (table.rows() == 0) {
        throw InputError(source + (lineNumber == 0 ? ": no rows (the input is empty)"
                                                   : ": no rows (only comments or blank lines)"));
    }
    if (everyRowAmbiguous) {
        throw InputError(table.where(0) + ": \"" + shownText(firstRow) +
                         "\" may be one number with a decimal comma or two values; say which "
                         "with --decimal , or --delimiter ,");
    }
    return table;
}

Table readTable(const std::string& path, const ReadOptions& options, const std::string& what) {
    struct stat status {};
    if (path == "-") {
        if (standardInputWasClosed()) throw InputError("<stdin>: standard input is closed");
        if (::fstat(0, &status) == 0 && S_ISDIR(status.st_mode)) {
            throw InputError("<stdin>: is a directory");
        }
        return readTable(std::cin, "<stdin>", options, what);
    }
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        throw InputError(path + ": is a directory");
    }
    std::ifstream file(path);
    if (!file) throw InputError(path + ": cannot open: " + std::strerror(errno));
    return readTable(file, path, options, what);
}

void refuseValue(const Table& table, std::size_t r, std::size_t c, double value, double low, double high) {
    throw InputError(table.where(r, c) + ": value " + formatNumber(value) + " outside [" + formatNumber(low) +
                     ", " + formatNumber(high) + "]");
}

void requireIntSized(const Table& table) {
    if (table.rows() > static_cast<std::size_t>(INT_MAX) ||
        table.width > static_cast<std::size_t>(INT_MAX)) {
        throw InputError(table.source + ": too large (more than " + std::to_string(INT_MAX) +
                         " rows or columns)");
    }
}

}  // namespace vantor_tool
