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

# clu_cluster (or clu_cluster2) from the given starting prototypes, with the
# results shaped as simkmeans returns them.
entry_cluster <- function(x, seeds, threshold, iter.max, two.sided = FALSE) {
  entry("clu_setThresholds", 1L, as.double(threshold), ok = 0L)
  entry("clu_setLimits", 1L, as.integer(iter.max), ok = 0L)
  n <- nrow(x)
  common <- list(prototypes = as.vector(t(seeds)), items = as.vector(t(x)),
                 dims = as.integer(c(nrow(seeds), n, ncol(x))))
  if (two.sided) {
    out <- do.call(entry, c("clu_cluster2", common,
                            list(neg = integer(n), pos = integer(n), negSim = double(n),
                                 posSim = double(n), passInfo = integer(2L), ok = 0L)))
    cluster <- cbind(negative = out$neg, positive = out$pos)
    similarity <- cbind(negative = out$negSim, positive = out$posSim)
  } else {
    out <- do.call(entry, c("clu_cluster", common,
                            list(assignments = integer(n), similarities = double(n),
                                 passInfo = integer(2L), ok = 0L)))
    cluster <- out$assignments
    similarity <- out$similarities
  }
  similarity[cluster < 0] <- NA_real_
  cluster[cluster < 0] <- NA_integer_
  list(cluster = cluster + 1L, similarity = similarity,
       centers = matrix(out$prototypes, nrow(seeds), byrow = TRUE),
       iter = out$passInfo[2], converged = out$passInfo[1] == 1L)
}

expect_same_run <- function(fit, want, what = "") {
  expect_identical(unname(fit$cluster), unname(want$cluster), label = what)
  expect_same_bits(fit$similarity, want$similarity, what)
  expect_same_bits(fit$centers, want$centers, what)
  expect_identical(c(fit$iter, fit$converged), c(want$iter, want$converged), label = what)
}
