# The library's shared object as CMake built it, when the suite passes its
# path in VANTOR_LIBRARY: the package's results are compared with its C
# entries to the bit. Without it those comparisons are skipped.

bits <- function(x) writeBin(as.double(x), raw())

expect_same_bits <- function(actual, expected, what = "") {
  expect_identical(bits(actual), bits(expected), label = what)
}

skip_without_library <- function() {
  if (!nzchar(Sys.getenv("VANTOR_LIBRARY"))) skip("VANTOR_LIBRARY does not name the built library")
}

library_dll <- local({
  dll <- NULL
  function() {
    if (is.null(dll)) dll <<- dyn.load(Sys.getenv("VANTOR_LIBRARY"))
    dll
  }
})

# Calls a C entry by name; every argument goes by reference, NaN included.
entry <- function(name, ...) {
  result <- .C(getNativeSymbolInfo(name, library_dll()), ..., NAOK = TRUE)
  if (!is.null(result$ok) && result$ok != 1L) stop(name, " refused its arguments")
  result
}

# One degree per row through con_aggregate on the library's default instance.
entry_contify <- function(x, y, relation, kernel, threshold) {
  entry("con_setThresholds", 1L, as.double(threshold), ok = 0L)
  entry("con_setModes", 2L, as.integer(c(relation, kernel)), ok = 0L)
  vapply(seq_len(nrow(x)), function(i) {
    entry("con_aggregate", ncol(x), x[i, ], y[i, ], result = 0, ok = 0L)$result
  }, numeric(1L))
}

# {negative, positive, combined} per row through din_aggregate.
entry_dinorm <- function(x, aggregation, combination, threshold, neutral_band) {
  entry("din_setThresholds", 2L, as.double(c(threshold, neutral_band)), ok = 0L)
  entry("din_setModes", 2L, as.integer(c(aggregation, combination)), ok = 0L)
  t(vapply(seq_len(nrow(x)), function(i) {
    entry("din_aggregate", ncol(x), x[i, ], result = double(3L), ok = 0L)$result
  }, numeric(3L)))
}

# Values that make results differ in the last bit when something is off:
# exact ties, both ends of the range, -0.0, thresholds hit exactly, and
# random values in between.
grid_matrix <- function(rows, cols, special, low, high) {
  values <- stats::runif(rows * cols, low, high)
  pick <- stats::runif(rows * cols) < 0.4
  values[pick] <- sample(special, sum(pick), replace = TRUE)
  matrix(values, rows, cols)
}
