// Reading tables of numbers: CSV, semicolon-, tab- or blank-separated rows,
// from a file or from standard input ("-").
#ifndef VANTOR_TOOLS_TABLE_READER_H
#define VANTOR_TOOLS_TABLE_READER_H

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "read_options.h"

namespace vantor_tool {

// A rectangular table of doubles (finite, or NaN when allowed), rows
// contiguous, with the source line of every row kept so later checks can say
// where a value came from.
struct Table {
    std::string source;              // the file name as given, or "<stdin>"
    std::size_t width = 0;           // values per row
    std::vector<double> values;      // rows() * width values, row by row
    std::vector<std::size_t> lines;  // 1-based source line of each row

    std::size_t rows() const { return lines.size(); }
    double* row(std::size_t r) { return values.data() + r * width; }
    const double* row(std::size_t r) const { return values.data() + r * width; }
    double at(std::size_t r, std::size_t c) const { return values[r * width + c]; }
    // "file:line" of a row, and "file:line:column" of a value (column 1-based).
    std::string where(std::size_t r) const;
    std::string where(std::size_t r, std::size_t c) const;
};

// Reads the named file, or standard input for "-". Throws InputError, naming
// file, line and column, for a cell that is not a finite number, an empty
// cell, a row whose length differs from the first row, and an input with no
// rows at all; text in UTF-16 and binary data are named as such. Never guesses between two readings of the text: a ';'
// between values without --delimiter ';', and a table whose every row is
// "digits,digits" (one number with a decimal comma, or two values?) without
// --decimal or --delimiter are refused with a message that says which
// option settles it. NaN is refused unless options.allowNan, with a message
// in every host's words, "items: NaN at row 3, column 2" (`what` is
// "items"; rows count data rows from 1, columns from 1).
Table readTable(const std::string& path, const ReadOptions& options = {},
                const std::string& what = "values");

// The same from an open stream; `source` names it in messages.
Table readTable(std::istream& in, const std::string& source, const ReadOptions& options = {},
                const std::string& what = "values");

// Throws InputError at the first value the library's policy refuses for
// `use` (a vantor_use), in every host's words, e.g.
// "a.csv:3:2: first: value 1.5 at row 3, column 2 is outside [0, 1]".
void requireUse(const Table& table, int use, const std::string& what);

// "1 value", "3 values": counts in messages.
std::string countOf(std::size_t count, const std::string& noun);

// Throws InputError when the table has more rows or columns than the
// library's int sizes can carry (an empty table never gets here: the reader
// refuses it first).
void requireIntSized(const Table& table);

}  // namespace vantor_tool

#endif
