#include "tables.h"

namespace vantor_python {

Table tableOf(const InArray& array, const char* name) {
    const auto dims = array.ndim();
    if (dims != 1 && dims != 2) {
        throw py::value_error(std::string(name) + " must be one- or two-dimensional, got " +
                              std::to_string(dims) + " dimensions");
    }
    Table table;
    table.data = const_cast<double*>(array.data());
    table.vector = dims == 1;
    table.rows = dims == 1 ? 1 : array.shape(0);
    table.m = array.shape(dims - 1);
    table.stride = table.m;
    if (table.m > kIntMax) {
        throw py::value_error(std::string(name) + " has " + std::to_string(table.m) +
                              " values per row, more than the library's limit of " +
                              std::to_string(kIntMax));
    }
    return table;
}

void refuseNaNAt(const Table& table, const char* name, std::int64_t row, std::int64_t column) {
    if (table.vector) {
        throw py::value_error(std::string(name) + ": NaN at index " + std::to_string(column));
    }
    throw py::value_error(std::string(name) + ": NaN at row " + std::to_string(row) + ", column " +
                          std::to_string(column));
}

std::string where(const Table& table, const char* name, std::int64_t r, std::int64_t c) {
    if (table.vector) return std::string(name) + "[" + std::to_string(c) + "]";
    return std::string(name) + "[" + std::to_string(r) + ", " + std::to_string(c) + "]";
}

std::string shown(double value) {
    return py::repr(py::float_(value)).cast<std::string>();
}

}  // namespace vantor_python
