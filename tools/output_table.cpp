#include "output_table.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "number_format.h"

namespace vantor_tool {

namespace {

void writeCsvRow(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) out << ',';
        out << cells[c];
    }
    out << '\n';
}

void writeAlignedRow(std::ostream& out, const std::vector<std::string>& cells,
                     const std::vector<std::size_t>& widths) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) out << "  ";
        out << std::string(widths[c] - std::min(widths[c], cells[c].size()), ' ') << cells[c];
    }
    out << '\n';
}

}  // namespace

std::string formatResult(double x, const OutputOptions& options) {
    if (options.format == OutputFormat::Csv) return formatNumber(x);
    char cell[32];
    std::snprintf(cell, sizeof cell, "%.6g", x);
    return cell;
}

void writeTable(std::ostream& out, const TextTable& table, const OutputOptions& options) {
    if (options.format == OutputFormat::Csv) {
        if (options.header) writeCsvRow(out, table.columns);
        for (const auto& row : table.rows) writeCsvRow(out, row);
        return;
    }
    std::vector<std::size_t> widths(table.columns.size(), 0);
    auto widen = [&widths](const std::vector<std::string>& cells) {
        for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], cells[c].size());
        }
    };
    if (options.header) widen(table.columns);
    for (const auto& row : table.rows) widen(row);
    if (options.header) writeAlignedRow(out, table.columns, widths);
    for (const auto& row : table.rows) writeAlignedRow(out, row, widths);
}

void writeCells(std::ostream& out, const CellSource& source, const OutputOptions& options) {
    const bool aligned = options.format == OutputFormat::Table;
    std::vector<std::size_t> widths(aligned ? source.columns : 0, 0);
    if (aligned) {
        for (std::size_t c = 0; c < source.columns; ++c) {
            if (options.header) widths[c] = source.name(c).size();
            for (std::size_t r = 0; r < source.rows; ++r) {
                widths[c] = std::max(widths[c], source.cell(r, c).size());
            }
        }
    }
    const auto put = [&](std::size_t c, const std::string& text) {
        if (c > 0) out << (aligned ? "  " : ",");
        if (aligned) out << std::string(widths[c] - std::min(widths[c], text.size()), ' ');
        out << text;
    };
    if (options.header) {
        for (std::size_t c = 0; c < source.columns; ++c) put(c, source.name(c));
        out << '\n';
    }
    for (std::size_t r = 0; r < source.rows; ++r) {
        for (std::size_t c = 0; c < source.columns; ++c) put(c, source.cell(r, c));
        out << '\n';
    }
}

}  // namespace vantor_tool
