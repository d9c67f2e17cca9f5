// Views of the caller's numpy arrays as the library sees them: rows of m
// doubles, row r at data + r * stride. A stride of 0 repeats one vector for
// every row (one profile against many) without copying it.
#ifndef VANTOR_PYTHON_TABLES_H
#define VANTOR_PYTHON_TABLES_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

namespace vantor_python {

namespace py = pybind11;

// What the Python layer hands over: C-contiguous, aligned, native float64.
using InArray = py::array_t<double, py::array::c_style>;

struct Table {
    double* data;         // the library only reads through it
    std::int64_t rows;    // 1 for a plain vector
    std::int64_t m;       // values per row
    std::int64_t stride;  // m, or 0 when one vector stands for every row
    bool vector;          // a 1-D array: messages name positions, not rows

    double* row(std::int64_t r) const { return data + r * stride; }
    double at(std::int64_t r, std::int64_t c) const { return row(r)[c]; }
};

// A 1-D array becomes one row; a 2-D array its rows. Anything else, or a
// row longer than the library's int counts, is a ValueError naming `name`.
Table tableOf(const InArray& array, const char* name);

// Raises "name: NaN at row r, column c" (or "at index c" for a vector).
[[noreturn]] void refuseNaNAt(const Table& table, const char* name, std::int64_t row,
                              std::int64_t column);

// Refuses the table unless every value suits `use` (a vantor_use of the
// library's input policy), in the library's words. Rows are named from
// firstRow, so a block names rows as its whole array counts them.
void refuseTable(const Table& table, int use, const char* name, bool allowNaN,
                 std::int64_t firstRow = 0);

// "name[c]" for a vector, "name[r, c]" for a table.
std::string where(const Table& table, const char* name, std::int64_t r, std::int64_t c);

// The value as Python prints it (repr of a float).
std::string shown(double value);

// The largest count the library takes (its counts and dimensions are int).
constexpr std::int64_t kIntMax = 2147483647;

}  // namespace vantor_python

#endif
