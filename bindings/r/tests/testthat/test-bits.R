# The package's numbers are the library's numbers: every mode and threshold,
# compared with the C entries of the built shared object to the bit.

membership_special <- c(0, -0, 1, 0.25, 0.5, 0.75, 0.125, 1 - 2^-53)
signed_special <- c(-1, 1, 0, -0, -0.25, 0.25, -0.5, 0.5, 0.75, -0.75, 2^-1074)
modes <- vantor:::mode_names()

test_that("contify equals con_aggregate in every relation, kernel and threshold", {
  skip_without_library()
  set.seed(1)
  x <- grid_matrix(60, 9, membership_special, 0, 1)
  y <- grid_matrix(60, 9, membership_special, 0, 1)
  for (relation in seq_along(modes$relation)) {
    for (kernel in seq_along(modes$kernel)) {
      for (threshold in c(0, 0.25, 0.5, 1)) {
        what <- sprintf("%s/%s/%g", modes$relation[relation], modes$kernel[kernel], threshold)
        got <- contify(x, y, relation = modes$relation[relation],
                       kernel = modes$kernel[kernel], threshold = threshold)
        want <- entry_contify(x, y, relation - 1L, kernel - 1L, threshold)
        expect_same_bits(got, want, what)
      }
    }
  }
})

test_that("dinorm equals din_aggregate in every aggregation, combination and band", {
  skip_without_library()
  set.seed(2)
  x <- grid_matrix(60, 9, signed_special, -1, 1)
  for (aggregation in seq_along(modes$aggregation)) {
    for (combination in seq_along(modes$combination)) {
      for (limits in list(c(0, 0), c(0.25, 0.25), c(0.5, 0.3), c(1, 0))) {
        what <- sprintf("%s/%s/%g/%g", modes$aggregation[aggregation],
                        modes$combination[combination], limits[1], limits[2])
        got <- dinorm(x, aggregation = modes$aggregation[aggregation],
                      combination = modes$combination[combination],
                      threshold = limits[1], neutral_band = limits[2])
        want <- entry_dinorm(x, aggregation - 1L, combination - 1L, limits[1], limits[2])
        expect_same_bits(got, want, what)
      }
    }
  }
})

test_that("with allow.nan, NaN and NA reach the library as it defines them", {
  skip_without_library()
  x <- rbind(c(NaN, 0.7, 0.2), c(0.7, 0.4, 0.9), c(NA, NA, 0.5))
  y <- rbind(c(0.9, 0.7, 0.1), c(NaN, 0.5, 0.9), c(0.3, 0.2, NA))
  for (relation in seq_along(modes$relation)) {
    got <- contify(x, y, relation = modes$relation[relation], threshold = 0.5, allow.nan = TRUE)
    want <- entry_contify(x, y, relation - 1L, 1L, 0.5)
    expect_same_bits(got, want, modes$relation[relation])
  }
  signed <- rbind(c(NaN, 0.5, -0.5), c(NA, -1, 1))
  expect_same_bits(dinorm(signed, "probabilistic", "sum", allow.nan = TRUE),
                   entry_dinorm(signed, 1L, 2L, 0, 0))
})

test_that("worked values come out exact", {
  expect_identical(contify(c(0.5, 1), c(0.25, 1)), (0.25 + 1) / 1.5)
  expect_identical(contify(c(0.2, 0.8, 0.6, 0.5), c(0.9, 0.4, 0.3, 0.5),
                           relation = "mutual", kernel = "type1", threshold = 0.5), 0.5)
  v <- c(0.5, -0.125, 0, -0.5, 0.25, -0.75)
  expect_identical(dinorm(v, threshold = 0.25),
                   c(negative = -0.75, positive = 0.5, combined = -0.75))
  expect_identical(dinorm(v, "bounded", "certainty_factor", threshold = 0.25, neutral_band = 0.25),
                   c(negative = -1, positive = 0.75, combined = -1))
  expect_identical(dinorm(v, threshold = 0.25, neutral_band = 0.3)[["combined"]], 0)
})
