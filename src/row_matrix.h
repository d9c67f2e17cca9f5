// Row matrices: `rows` rows of `m` doubles each, row r starting at element
// r * m. The offset is formed in 64 bits: k, n and m are ints, and their
// products reach past the int range long before the arrays outgrow memory.
#ifndef VANTOR_SRC_ROW_MATRIX_H
#define VANTOR_SRC_ROW_MATRIX_H

#include <cstdint>

namespace Vantor {

// Element offset of row r in a matrix of m values per row.
constexpr std::int64_t rowOf(std::int64_t r, std::int64_t m) noexcept { return r * m; }

// Start of row r. A row without values (m <= 0) is empty and nothing reads
// it, so it is placed at the start of the array instead of at a negative or
// meaningless offset.
inline double* rowIn(double* matrix, std::int64_t r, int m) noexcept {
    return m > 0 ? matrix + rowOf(r, m) : matrix;
}
inline const double* rowIn(const double* matrix, std::int64_t r, int m) noexcept {
    return m > 0 ? matrix + rowOf(r, m) : matrix;
}

}  // namespace Vantor

#endif
