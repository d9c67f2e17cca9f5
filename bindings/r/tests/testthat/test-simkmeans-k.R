# simkmeans_k: each row is the run simkmeans makes at that k, measured by the
# library's silhouettes; the silhouettes follow their definition; every
# thread count gives the same table; separated groups are found; bad ranges
# are refused naming the argument.

groups <- function(g, each = 12, m = 2 * g, signed = FALSE, seed = 1) {
  set.seed(seed)
  do.call(rbind, lapply(seq_len(g), function(i) {
    block <- matrix(stats::runif(each * m, 0, 0.03), each)
    block[, 2 * i - 1:0] <- stats::runif(2 * each, 0.7, 1)
    if (signed) block[, 2 * i] <- -block[, 2 * i]
    block
  }))
}

# The definition in plain R (double precision, so compared to a tolerance;
# the bits are held to Python's, which follow the literal definition, by
# tests/policy/check_conformance.py):
# similarities sum(min) / sum(max) of the non-negative parts at threshold 0.
literal_silhouettes <- function(x, centers, cluster) {
  similarity <- function(a, b) {
    a <- pmax(a, 0)
    b <- pmax(b, 0)
    if (sum(pmax(a, b)) > 0) sum(pmin(a, b)) / sum(pmax(a, b)) else 0
  }
  vapply(seq_len(nrow(x)), function(i) {
    s <- apply(centers, 1L, function(p) similarity(x[i, ], p))
    own <- s[[cluster[[i]]]]
    nxt <- max(s[-cluster[[i]]])
    a <- 1 - own
    b <- 1 - nxt
    if (max(a, b) == 0) 0 else (b - a) / max(a, b)
  }, numeric(1L))
}

test_that("each row of the scan is the run simkmeans makes, measured by the library", {
  for (two.sided in c(FALSE, TRUE)) {
    x <- groups(4, signed = two.sided)
    scan <- simkmeans_k(x, k = 2:6, nstart = 4, iter.max = 5, two.sided = two.sided, seed = 21)
    for (r in seq_len(nrow(scan$table))) {
      k <- scan$table$k[[r]]
      fit <- simkmeans(x, k, nstart = 4, iter.max = 5, two.sided = two.sided, seed = 21)
      what <- sprintf("k=%d two.sided=%s", k, two.sided)
      expect_same_bits(scan$table$totsim[[r]], fit$totsim, what)
      expect_identical(scan$table$iter[[r]], fit$iter, label = what)
      expect_identical(scan$table$converged[[r]], fit$converged, label = what)
      expect_identical(scan$table$start[[r]], fit$start, label = what)
      s <- simkmeans_silhouette(fit, x)
      expect_same_bits(scan$table$silhouette[[r]], attr(s, "mean"), what)
      expect_same_bits(scan$cluster.silhouettes[[r]], attr(s, "cluster.silhouettes"), what)
    }
  }
})

test_that("the silhouettes follow their definition", {
  x <- groups(3, seed = 2)
  fit <- simkmeans(x, 4, seed = 3)
  s <- simkmeans_silhouette(fit, x)
  expect_equal(as.vector(s), literal_silhouettes(x, fit$centers, fit$cluster), tolerance = 1e-14)
  expect_equal(attr(s, "mean"), mean(as.vector(s)), tolerance = 1e-14)
})

test_that("every thread count gives the same table", {
  x <- groups(5, seed = 4)
  one <- simkmeans_k(x, 2:8, seed = 5, threads = 1)
  for (threads in c(2L, 3L, 8L)) {
    expect_identical(simkmeans_k(x, 2:8, seed = 5, threads = threads)$table, one$table)
  }
})

test_that("separated groups are suggested, and any increasing k scans as the whole range", {
  for (g in c(3L, 6L, 10L)) expect_identical(simkmeans_k(groups(g, m = 24), 2:14, seed = 7)$suggested, g)
  expect_identical(simkmeans_k(groups(3, m = 12, signed = TRUE), 2:9, two.sided = TRUE,
                               seed = 7)$suggested, 6L)
  x <- groups(4, seed = 8)
  whole <- simkmeans_k(x, 2:7, seed = 9)$table
  some <- simkmeans_k(x, c(2, 3, 6, 7), seed = 9)$table
  rownames(some) <- NULL
  expected <- whole[c(1, 2, 5, 6), ]
  rownames(expected) <- NULL
  expect_identical(some, expected)
})

test_that("bad ranges are refused naming k", {
  x <- groups(3, seed = 5)
  expect_error(simkmeans_k(x, integer(0)), "k must be whole numbers from 2 up")
  expect_error(simkmeans_k(x, 1:4), "a silhouette needs two clusters")
  expect_error(simkmeans_k(x, c(4, 3)), "k must increase")
  expect_error(simkmeans_k(x, 2:37), "37 clusters need 37 candidates, x has 36 rows")
  expect_error(simkmeans_silhouette(simkmeans(x, 2, seed = 1), x, cluster = rep(3L, 36)),
               "a cluster from 1 to 2")
})

test_that("print, as.data.frame and plot show the table and the suggestion", {
  scan <- simkmeans_k(groups(3, seed = 6), 2:5, seed = 1)
  expect_output(print(scan), "Suggested k: 3")
  expect_identical(as.data.frame(scan), scan$table)
  grDevices::pdf(NULL)
  on.exit(grDevices::dev.off())
  expect_invisible(plot(scan))
})

test_that("infinite data are refused as simkmeans refuses them", {
  x <- groups(2, seed = 6)
  x[4, 2] <- Inf
  expect_error(simkmeans_k(x, 2:3), "x: infinite value inf at row 4, column 2", fixed = TRUE)
  fit <- simkmeans(groups(2, seed = 6), 2, seed = 1)
  expect_error(simkmeans_silhouette(fit, x), "x: infinite value inf at row 4, column 2",
               fixed = TRUE)
})
