# The input policy R shares with the other hosts: seeds over the whole range
# (as a string of digits beyond what a double holds), the library's words
# for refused data, and the argument named where the bad value is.

items <- rbind(c(0.5, 0.25), c(0.75, 0), c(0, 1), c(0.25, 0.5))

test_that("a seed given as digits is the same seed as the number", {
  by_number <- simkmeans(items, 2, seed = 12345, nstart = 3)
  by_digits <- simkmeans(items, 2, seed = "12345", nstart = 3)
  expect_identical(by_digits$centers, by_number$centers)
  expect_identical(by_digits$seeds, by_number$seeds)
  top <- simkmeans(items, 2, seed = "18446744073709551615", nstart = 3)
  expect_identical(simkmeans(items, 2, seed = "18446744073709551615", nstart = 3)$seeds,
                   top$seeds)
})

test_that("refused data and arguments get the library's words", {
  infinite <- items
  infinite[3, 2] <- -Inf
  fit <- simkmeans(items, items[c(1, 3), ])
  cases <- list(
    list(quote(simkmeans(items, 2, seed = "18446744073709551616")),
         "seed must be a whole number in [0, 2^64), got 18446744073709551616"),
    list(quote(simkmeans(items, 2, seed = "-1")), "seed must be a whole number in [0, 2^64)"),
    list(quote(simkmeans(items, 2, seed = 2^53)),
         paste("seed must be a whole number below 2^53, or a string of digits in [0, 2^64),",
               "got 9007199254740992")),
    list(quote(simkmeans(items, 2, seed = 0.5)), "seed must be a whole number below 2^53"),
    list(quote(simkmeans(infinite, 2)), "x: infinite value -inf at row 3, column 2"),
    list(quote(simkmeans(items, infinite[2:3, ])),
         "centers: infinite value -inf at row 2, column 2"),
    list(quote(predict(fit, infinite)), "newdata: infinite value -inf at row 3, column 2"),
    list(quote(predict(fit, rbind(c(NaN, 0)))), "newdata: NaN at row 1, column 1"),
    list(quote(simkmeans(items > 0.3, 2)), "x must hold real numbers, got logical"),
    list(quote(simkmeans(items, 2, seeding = "Farthest")),
         'seeding must be one of farthest, kmeans++, first; got "Farthest"'),
    list(quote(simkmeans(items, 9, two.sided = TRUE, seeding = "first")),
         "centers = 9 is more than the 4 item parts with a value other than 0"),
    list(quote(simkmeans(items[0, , drop = FALSE], 1)),
         "x is empty: it needs at least one row and one column"))
  for (case in cases) {
    expect_error(eval(case[[1]]), case[[2]], fixed = TRUE, info = deparse(case[[1]]))
  }
})

test_that("an unambiguous abbreviation names a seeding rule, as match.arg allows", {
  expect_identical(simkmeans(items, 2, seeding = "far")$centers,
                   simkmeans(items, 2, seeding = "farthest")$centers)
})
