#include "table_reader.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string_view>

#include "input_error.h"
#include "number_format.h"

namespace vantor_tool {

namespace {

std::string_view trimmed(std::string_view s) {
    const char* blanks = " \t\r\f\v";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

// A cell as exported by spreadsheets may be quoted: "0.5".
std::string_view unquoted(std::string_view cell) {
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') {
        return trimmed(cell.substr(1, cell.size() - 2));
    }
    return cell;
}

// Splits one line into cells: on commas when the line has one, otherwise on
// runs of blanks, so both CSV and space- or tab-separated columns read alike.
std::vector<std::string_view> cellsOf(std::string_view line) {
    std::vector<std::string_view> cells;
    if (line.find(',') != std::string_view::npos) {
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = line.find(',', start);
            const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
            cells.push_back(unquoted(trimmed(line.substr(start, end - start))));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
        return cells;
    }
    const char* blanks = " \t\r\f\v";
    std::size_t start = line.find_first_not_of(blanks);
    while (start != std::string_view::npos) {
        std::size_t end = line.find_first_of(blanks, start);
        if (end == std::string_view::npos) end = line.size();
        cells.push_back(unquoted(line.substr(start, end - start)));
        start = line.find_first_not_of(blanks, end);
    }
    return cells;
}

std::string located(const std::string& source, std::size_t line, std::size_t column) {
    return source + ":" + std::to_string(line) + ":" + std::to_string(column);
}

}  // namespace

std::string countOf(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string Table::where(std::size_t r) const { return source + ":" + std::to_string(lines[r]); }

std::string Table::where(std::size_t r, std::size_t c) const {
    return located(source, lines[r], c + 1);
}

Table readTable(std::istream& in, const std::string& source) {
    Table table;
    table.source = source;
    std::string text;
    std::size_t lineNumber = 0;
    while (std::getline(in, text)) {
        ++lineNumber;
        std::string_view line = text;
        // A byte-order mark some editors put in front of a UTF-8 file.
        if (lineNumber == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;  // blank lines and comments

        const std::vector<std::string_view> cells = cellsOf(line);
        if (table.rows() == 0) {
            table.width = cells.size();
        } else if (cells.size() != table.width) {
            throw InputError(source + ":" + std::to_string(lineNumber) + ": row has " +
                             countOf(cells.size(), "value") + ", expected " +
                             std::to_string(table.width) + " (as on line " +
                             std::to_string(table.lines.front()) + ")");
        }
        for (std::size_t c = 0; c < cells.size(); ++c) {
            double value = 0.0;
            if (cells[c].empty()) {
                throw InputError(located(source, lineNumber, c + 1) + ": empty cell");
            }
            if (!parseFiniteNumber(cells[c], &value)) {
                throw InputError(located(source, lineNumber, c + 1) + ": \"" +
                                 std::string(cells[c]) + "\" is not a finite number");
            }
            table.values.push_back(value);
        }
        table.lines.push_back(lineNumber);
    }
    if (in.bad()) throw InputError(source + ": read error");
    if (table.rows() == 0) throw InputError(source + ": no data (the input is empty)");
    return table;
}

Table readTable(const std::string& path) {
    if (path == "-") return readTable(std::cin, "<stdin>");
    std::ifstream file(path);
    if (!file) throw InputError(path + ": cannot open: " + std::strerror(errno));
    return readTable(file, path);
}

void requireRange(const Table& table, double low, double high) {
    for (std::size_t r = 0; r < table.rows(); ++r) {
        for (std::size_t c = 0; c < table.width; ++c) {
            const double v = table.at(r, c);
            if (v < low || v > high) {
                throw InputError(table.where(r, c) + ": value " + formatNumber(v) + " outside [" +
                                 formatNumber(low) + ", " + formatNumber(high) + "]");
            }
        }
    }
}

void requireIntSized(const Table& table) {
    if (table.rows() > static_cast<std::size_t>(INT_MAX) ||
        table.width > static_cast<std::size_t>(INT_MAX)) {
        throw InputError(table.source + ": too large (more than " + std::to_string(INT_MAX) +
                         " rows or columns)");
    }
}

}  // namespace vantor_tool
