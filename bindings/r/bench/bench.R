# contify and dinorm on 200,000 rows of 20 values against the vectorised
# base-R computation of the same degrees, in one run: each timing is
# repeated and the medians are compared.
#
#   Rscript bindings/r/bench/bench.R [repetitions]
#
# Uses the installed package (R_LIBS may point at a private library).
suppressPackageStartupMessages(library(vantor))

args <- commandArgs(trailingOnly = TRUE)
repetitions <- if (length(args)) as.integer(args[[1L]]) else 9L
rows <- 200000L
cols <- 20L

set.seed(20261208)
x <- matrix(stats::runif(rows * cols), rows, cols)
y <- matrix(stats::runif(rows * cols), rows, cols)
signed <- matrix(stats::runif(rows * cols, -1, 1), rows, cols)
columns <- function(m) lapply(seq_len(ncol(m)), function(j) m[, j])

# The tables' shape in the library's benchmarks (bench/tables_bench.cpp):
# threshold 0.3, so about 70 % of the positions take part.
contify_threshold <- 0.3
dinorm_threshold <- 0.3

# Degree of x in y, Goguen kernel: over the positions where x reaches the
# threshold, sum(min(x, y)) / sum(x), and 0 when that sum is 0.
base_contify <- function(x, y, threshold) {
  keep <- x >= threshold
  denominator <- rowSums(x * keep)
  degree <- rowSums(pmin(x, y) * keep) / denominator
  degree[denominator <= 0] <- 0
  degree
}

# Extreme value on each side among the values that reach the threshold (the
# most negative one is significant exactly when any negative one is); the
# side of larger magnitude wins, a tie gives 0.
base_dinorm <- function(m, threshold) {
  parts <- columns(m)
  lowest <- do.call(pmin, c(parts, 0))
  highest <- do.call(pmax, c(parts, 0))
  negative <- ifelse(lowest <= -threshold, lowest, 0)
  positive <- ifelse(highest >= threshold, highest, 0)
  d <- positive + negative
  cbind(negative = negative, positive = positive,
        combined = ifelse(d > 0, positive, ifelse(d < 0, negative, 0)))
}

# Processor time (user + system) rather than elapsed time, so that other
# work on a shared machine disturbs the figures less.
median_seconds <- function(f) {
  times <- vapply(seq_len(repetitions), function(i) {
    gc(FALSE)
    used <- system.time(f(), gcFirst = FALSE)
    used[["user.self"]] + used[["sys.self"]]
  }, numeric(1L))
  stats::median(times)
}

cases <- list(
  contify = list(package = function() contify(x, y, threshold = contify_threshold),
                 base = function() base_contify(x, y, contify_threshold)),
  dinorm = list(package = function() dinorm(signed, threshold = dinorm_threshold),
                base = function() base_dinorm(signed, dinorm_threshold)))

# The two computations must agree before their times mean anything.
stopifnot(isTRUE(all.equal(cases$contify$package(), cases$contify$base(), tolerance = 1e-12)),
          isTRUE(all.equal(unname(cases$dinorm$package()), unname(cases$dinorm$base()),
                           tolerance = 1e-12)))

cat(sprintf("%d rows x %d values, processor time, median of %d runs\n\n", rows, cols,
            repetitions))
cat("| function | vantor (ns/row) | base R (ns/row) | ratio |\n")
cat("|---|---:|---:|---:|\n")
for (name in names(cases)) {
  package <- median_seconds(cases[[name]]$package)
  base <- median_seconds(cases[[name]]$base)
  cat(sprintf("| %s | %.0f | %.0f | %.1fx |\n", name, package / rows * 1e9, base / rows * 1e9,
              base / package))
}
