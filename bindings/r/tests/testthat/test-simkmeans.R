# simkmeans runs the library's clustering: its runs equal clu_cluster and
# clu_cluster2 from the same starting prototypes to the bit, random starts
# follow R's random stream, and the methods describe the fit.

set.seed(11)
items <- rbind(matrix(stats::runif(48, 0.5, 1), 12), matrix(stats::runif(48, 0, 0.5), 12))
items[sample(length(items), 10)] <- c(0, 0, 0.25, 0.5, 0.5, 1, 1, 0.75, 0.25, 0)
signed <- items * 2 - 1

test_that("a run from given prototypes equals clu_cluster and clu_cluster2 to the bit", {
  skip_without_library()
  starts <- list(items[c(1, 13), ], items[c(2, 3, 20), ], matrix(c(1, 0, 0, 1), 2, 4))
  for (seeds in starts) {
    for (threshold in c(0, 0.3, 1)) {
      for (iter.max in c(1, 3, 40)) {
        for (two.sided in c(FALSE, TRUE)) {
          data <- if (two.sided) signed else items
          what <- sprintf("k=%d t=%g limit=%d two.sided=%s", nrow(seeds), threshold, iter.max,
                          two.sided)
          fit <- simkmeans(data, seeds, threshold = threshold, iter.max = iter.max,
                           two.sided = two.sided)
          expect_same_run(fit, entry_cluster(data, seeds, threshold, iter.max, two.sided), what)
        }
      }
    }
  }
})

test_that("NaN data with allow.nan run as the library defines them", {
  skip_without_library()
  data <- items
  data[c(3, 30)] <- c(NaN, NA)
  seeds <- items[c(1, 13), ]
  for (two.sided in c(FALSE, TRUE)) {
    fit <- simkmeans(data, seeds, iter.max = 5, two.sided = two.sided, allow.nan = TRUE)
    expect_same_run(fit, entry_cluster(data, seeds, 0, 5, two.sided), two.sided)
  }
})

test_that("the kept run of chosen starts is clu_cluster from the seeds it reports", {
  skip_without_library()
  for (seeding in c("kmeans++", "farthest", "first")) {
    for (two.sided in c(FALSE, TRUE)) {
      data <- if (two.sided) signed else items
      fit <- simkmeans(data, 3, threshold = 0.1, nstart = 4, seeding = seeding,
                       two.sided = two.sided, seed = 99)
      expect_same_run(fit, entry_cluster(data, fit$seeds, 0.1, 40, two.sided),
                      paste(seeding, two.sided))
    }
  }
})

test_that("a worked example ends where the definition says", {
  fit <- simkmeans(rbind(c(0.9, 0.1), c(0.2, 0.8), c(1, 1)), rbind(c(1, 0), c(0, 1)))
  expect_identical(unname(fit$cluster), c(1L, 2L, 1L))
  # sums in extended precision, one rounding: equal, not always identical,
  # to the quotient of the rounded sums
  expect_equal(unname(fit$similarity), c(1 / 1.5, 1, 0.75))
  expect_equal(unname(fit$centers), rbind(c(0.95, 0.55), c(0.2, 0.8)))
  expect_identical(c(fit$iter, fit$size), c(2L, 2L, 1L))
  expect_true(fit$converged)
  limited <- simkmeans(rbind(c(0.9, 0.1), c(0.2, 0.8), c(1, 1)), rbind(c(1, 0), c(0, 1)),
                       iter.max = 1)
  expect_false(limited$converged)
  expect_equal(unname(limited$similarity), c(0.9 / 1.1, 0.8 / 1.2, 0.5))
})

test_that("set.seed makes a run reproducible, and the reported seed repeats it", {
  set.seed(5)
  first <- simkmeans(items, 3)
  set.seed(5)
  again <- simkmeans(items, 3)
  expect_identical(first, again)
  expect_identical(simkmeans(items, 3, seed = first$seed), first)
  set.seed(6)
  expect_false(identical(simkmeans(items, 3)$seed, first$seed))
  # Given prototypes and deterministic rules draw nothing from the stream.
  set.seed(8)
  expected <- stats::runif(1)
  set.seed(8)
  simkmeans(items, items[1:2, ])
  expect_identical(simkmeans(items, 2, seeding = "farthest")$seed, NA_real_)
  expect_identical(stats::runif(1), expected)
})

test_that("deterministic seeding starts where its rule says", {
  first <- simkmeans(items, 3, seeding = "first", nstart = 5)
  expect_identical(unname(first$seeds), unname(items[1:3, ]))
  expect_identical(first$start, 1L)
  farthest <- simkmeans(items, 2, seeding = "farthest")
  expect_identical(unname(farthest$seeds[1, ]), items[1, ])
})

test_that("predict assigns as the fit does, and fitted gives each row's prototype", {
  fit <- simkmeans(items, 2, seed = 1)
  expect_true(fit$converged)
  predicted <- predict(fit, items)
  expect_identical(as.vector(predicted), as.vector(fit$cluster))
  expect_same_bits(attr(predicted, "similarity"), fit$similarity)
  expect_identical(predict(fit, as.data.frame(items[5:6, ]))[1:2], fit$cluster[5:6])
  expect_identical(unname(fitted(fit)), unname(fit$centers[fit$cluster, ]))
  expect_identical(fitted(fit, "classes"), fit$cluster)
  two <- simkmeans(signed, 2, two.sided = TRUE, seed = 1)
  expect_identical(dim(predict(two, signed[1:4, ])), c(4L, 2L))
  expect_identical(dim(fitted(two)), dim(signed))
  expect_identical(sum(two$size), 2L * nrow(signed))
})

test_that("print, summary and plot describe the fit", {
  fit <- simkmeans(items, 2, seed = 3)
  expect_output(print(fit), "clustering with 2 clusters of sizes")
  expect_output(print(summary(fit)), "2 clusters, converged")
  expect_identical(summary(fit)$clusters$size, fit$size)
  grDevices::pdf(NULL)
  on.exit(grDevices::dev.off())
  expect_identical(plot(fit), fit)
  expect_identical(plot(simkmeans(signed, 3, two.sided = TRUE, seed = 3))$two.sided, TRUE)
})

test_that("refused clustering arguments name what was wrong", {
  bad <- items
  bad[4, 3] <- Inf
  missing <- items
  missing[7, 2] <- NaN
  cases <- list(
    list(quote(simkmeans(items, 2, threshold = NaN)),
         "threshold must be a number in [0, 1], got nan"),
    list(quote(simkmeans(items, 2, iter.max = 0)),
         "iter.max must be a whole number from 1 to 2147483647, got 0"),
    list(quote(simkmeans(items, 2, nstart = 1.5)),
         "nstart must be a whole number from 1 to 2147483647, got 1.5"),
    list(quote(simkmeans(items, 0)), "centers must be a whole number from 1 to 2147483647, got 0"),
    list(quote(simkmeans(items, 2, seed = -1)),
         "seed must be a whole number below 2^53, or a string of digits in [0, 2^64), got -1"),
    list(quote(simkmeans(items, 2, seeding = "random")), "seeding must be one of"),
    list(quote(simkmeans(items, items[1:2, 1:3])), "centers must have the 4 columns of x"),
    list(quote(simkmeans(bad, 2)), "x: infinite value inf at row 4, column 3"),
    list(quote(simkmeans(missing, 2)), "x: NaN at row 7, column 2"),
    list(quote(simkmeans(items, missing[7:8, ])), "centers: NaN at row 1, column 2"),
    list(quote(simkmeans(items[1:3, ], 5)),
         "centers = 5 is more than the 3 items with a value above 0, the candidates for seeds"),
    list(quote(simkmeans(items, 1e9)), "centers = 1000000000 is more than the"),
    list(quote(predict(simkmeans(missing, 2, seed = 1, allow.nan = TRUE), items)),
         "the fit's prototypes hold NaN"),
    list(quote(predict(simkmeans(items, 2, seed = 1), items[, 1:2])),
         "newdata must have the 4 columns of the fit, not 2"))
  for (case in cases) {
    expect_error(eval(case[[1]]), case[[2]], fixed = TRUE, info = deparse(case[[1]]))
  }
})
