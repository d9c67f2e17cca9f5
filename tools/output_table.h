// Printing results: CSV for programs, an aligned table for people.
#ifndef VANTOR_TOOLS_OUTPUT_TABLE_H
#define VANTOR_TOOLS_OUTPUT_TABLE_H

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace vantor_tool {

enum class OutputFormat { Csv, Table };

struct OutputOptions {
    OutputFormat format = OutputFormat::Csv;
    bool header = true;  // print the column names
};

// A result as printed: in CSV the shortest text that reads back exactly; in
// the table, rounded to 6 significant digits for the eye.
std::string formatResult(double x, const OutputOptions& options);

// One block of results: column names and rows of already formatted cells.
struct TextTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

// CSV: comma-separated, one row a line. Table: columns right-aligned and
// separated by two spaces.
void writeTable(std::ostream& out, const TextTable& table, const OutputOptions& options);

// A block too large to hold as text (prototypes as wide as a line of
// hundreds of megabytes, or millions of items): each cell is formatted when
// it is written, twice for the aligned table (to measure, then to print), so
// the block costs one number per column, not one string per cell. Printed
// exactly as writeTable prints the same cells.
struct CellSource {
    std::size_t columns = 0, rows = 0;
    std::function<std::string(std::size_t column)> name;
    std::function<std::string(std::size_t row, std::size_t column)> cell;
};
void writeCells(std::ostream& out, const CellSource& source, const OutputOptions& options);

}  // namespace vantor_tool

#endif
