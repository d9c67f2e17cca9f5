#include "table_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string_view>

#include "cell_text.h"
#include "input_error.h"
#include "number_format.h"
#include "policy_text.h"
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

// Calls visit(cell) for each cell of the line split on `separator`, in
// order, without storing them: a line may be hundreds of megabytes, and a
// vector of its cells would take four times the line.
template <class Visit>
void eachCellOn(std::string_view line, char separator, Visit&& visit) {
    std::size_t start = 0;
    while (true) {
        const std::size_t at = line.find(separator, start);
        const std::size_t end = at == std::string_view::npos ? line.size() : at;
        visit(unquoted(trimmed(line.substr(start, end - start))));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
}

template <class Visit>
void eachCellOnBlanks(std::string_view line, Visit&& visit) {
    std::size_t start = line.find_first_not_of(kBlanks);
    while (start != std::string_view::npos) {
        std::size_t end = line.find_first_of(kBlanks, start);
        if (end == std::string_view::npos) end = line.size();
        visit(unquoted(line.substr(start, end - start)));
        start = line.find_first_not_of(kBlanks, end);
    }
}

// Whether a line under the default delimiter is split on commas.
bool splitsOnCommas(std::string_view line, const ReadOptions& options) {
    return options.delimiter == Delimiter::Comma ||
           (options.delimiter == Delimiter::Auto && options.decimalMark == '.' &&
            line.find(',') != std::string_view::npos);
}

// Visits the cells of one line. By default on commas when the line has one,
// otherwise on runs of blanks, so both CSV and space- or tab-separated
// columns read alike; with a decimal comma the comma belongs to the numbers.
template <class Visit>
void eachCell(std::string_view line, const ReadOptions& options, Visit&& visit) {
    switch (options.delimiter) {
        case Delimiter::Semicolon: return eachCellOn(line, ';', visit);
        case Delimiter::Tab: return eachCellOn(line, '\t', visit);
        case Delimiter::Blank: return eachCellOnBlanks(line, visit);
        case Delimiter::Comma:
        case Delimiter::Auto: break;
    }
    if (splitsOnCommas(line, options)) return eachCellOn(line, ',', visit);
    eachCellOnBlanks(line, visit);
}

// A ';' is advice-worthy only where the line, split on it, would be numbers:
// then the user most likely meant it as the separator.
bool numbersBetweenSemicolons(std::string_view line) {
    bool numbers = true;
    eachCellOn(line, ';', [&](std::string_view cell) {
        double value = 0.0;
        numbers = numbers && (readNumber(cell, '.', &value) != NumberText::NotANumber ||
                              readNumber(cell, ',', &value) != NumberText::NotANumber);
    });
    return numbers;
}

// Text the reader cannot take at all, said before anything else is tried on
// it: UTF-16 (a byte-order mark, or NUL bytes between the characters, as
// UTF-16 holds ASCII), or other binary data holding NUL bytes. Empty when
// the line may be text (any other odd byte is shown, escaped, in the cell
// that holds it).
std::string encodingProblem(std::string_view line, bool firstLine) {
    const bool byteOrderMark =
        firstLine && line.size() >= 2 &&
        ((line[0] == '\xFF' && line[1] == '\xFE') || (line[0] == '\xFE' && line[1] == '\xFF'));
    std::size_t nulls = 0;
    for (char byte : line) nulls += byte == '\0' ? 1 : 0;
    // UTF-16 holding digits and separators has a NUL beside every one of them.
    if (byteOrderMark || (nulls > 0 && nulls * 3 >= line.size())) {
        return "the input looks like UTF-16 text; save it as UTF-8 or ASCII (for example with "
               "iconv -f UTF-16 -t UTF-8)";
    }
    if (nulls > 0) {
        const std::size_t at = line.find('\0');
        return "binary data, not a table of numbers (a NUL byte at column " +
               std::to_string(at + 1) + ")";
    }
    return std::string();
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
std::string cellProblem(NumberText kind, std::string_view cell, const ReadOptions& options,
                        bool splitOnCommas) {
    const std::string shown = shownText(cell);
    if (kind == NumberText::TooLarge) return "too large for a double: " + shown;
    std::string problem = "not a number: " + shown;
    // "0,5 0,2" split on its commas leaves "5 0": decimal commas between
    // blanks, which only --decimal , reads.
    const bool blanksInside = cell.find_first_of(kBlanks) != std::string_view::npos;
    if (options.decimalMark == '.' &&
        (cell.find(',') != std::string_view::npos || (splitOnCommas && blanksInside))) {
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
    std::string firstRowShown;
    while (std::getline(in, text)) {
        ++lineNumber;
        std::string_view line = text;
        const std::string encoding = encodingProblem(line, lineNumber == 1);
        if (!encoding.empty()) {
            throw InputError(source + ":" + std::to_string(lineNumber) + ": " + encoding);
        }
        // A byte-order mark some editors put in front of a UTF-8 file.
        if (lineNumber == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;  // blank lines and comments

        if (options.delimiter != Delimiter::Semicolon && line.find(';') != std::string_view::npos &&
            numbersBetweenSemicolons(line)) {
            const bool commasToo =
                options.decimalMark == '.' && line.find(',') != std::string_view::npos;
            throw InputError(source + ":" + std::to_string(lineNumber) +
                             ": ';' between values; to read them give --delimiter ';'" +
                             (commasToo ? " (and --decimal , for decimal commas)" : ""));
        }
        everyRowAmbiguous = everyRowAmbiguous && looksLikeDecimalComma(line);

        // Counted before any is read, so a row of the wrong length is named
        // as such whatever its cells hold.
        std::size_t width = 0;
        eachCell(line, options, [&](std::string_view) { ++width; });
        if (table.rows() == 0) {
            table.width = width;
            table.values.reserve(width);
            if (everyRowAmbiguous) firstRowShown = shownText(line);
        } else if (width != table.width) {
            throw InputError(source + ":" + std::to_string(lineNumber) + ": row has " +
                             countOf(width, "value") + ", expected " +
                             std::to_string(table.width) + " (as on line " +
                             std::to_string(table.lines.front()) + ")");
        }
        const bool splitOnCommas = splitsOnCommas(line, options);
        std::size_t c = 0;
        eachCell(line, options, [&](std::string_view cell) {
            if (cell.empty()) {
                throw InputError(located(source, lineNumber, c + 1) + ": empty cell");
            }
            double value = 0.0;
            const NumberText kind = readNumber(cell, options.decimalMark, &value);
            vantor_refusal refused{VANTOR_REFUSAL_NONE, static_cast<std::int64_t>(table.rows()),
                                   static_cast<std::int64_t>(c), value};
            if (kind == NumberText::NaN && !options.allowNan) refused.reason = VANTOR_REFUSAL_NAN;
            if (kind == NumberText::Infinite) refused.reason = VANTOR_REFUSAL_INFINITE;
            if (refused.reason != VANTOR_REFUSAL_NONE) {
                throw InputError(located(source, lineNumber, c + 1) + ": " +
                                 refusalText(refused, VANTOR_USE_CLUSTERING, what) +
                                 (refused.reason == VANTOR_REFUSAL_NAN
                                      ? " (--allow-nan passes it on)"
                                      : ""));
            }
            if (kind != NumberText::Finite && kind != NumberText::NaN) {
                throw InputError(located(source, lineNumber, c + 1) + ": " +
                                 cellProblem(kind, cell, options, splitOnCommas));
            }
            table.values.push_back(value);
            ++c;
        });
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
        throw InputError(table.where(0) + ": \"" + firstRowShown +
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

void requireUse(const Table& table, int use, const std::string& what) {
    vantor_refusal refused{};
    const std::int64_t width = static_cast<std::int64_t>(table.width);
    if (vantor_check_table(use, table.values.data(), static_cast<std::int64_t>(table.rows()),
                           width, width, 1, 1, &refused) == 0) {
        const std::size_t r = static_cast<std::size_t>(refused.row);
        const std::size_t c = static_cast<std::size_t>(refused.column);
        throw InputError(table.where(r, c) + ": " + refusalText(refused, use, what));
    }
}

void requireIntSized(const Table& table) {
    vantor_refusal refused{};
    if (vantor_check_size(static_cast<std::int64_t>(table.rows()),
                          static_cast<std::int64_t>(table.width), &refused) == 0) {
        throw InputError(table.source + ": " + refusalText(refused, VANTOR_USE_CLUSTERING,
                                                           "the table"));
    }
}

}  // namespace vantor_tool
