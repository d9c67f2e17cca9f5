# Every refusal stops with a message that names the argument and, for data,
# the row, column and value (1-based, as R counts).

m <- matrix(c(0.1, 0.9, 0.5, 0.5, 0.7, 0.3), nrow = 3, byrow = TRUE)
with_value <- function(at, value) { m[at[1], at[2]] <- value; m }
signed <- rbind(c(0.5, -0.5), c(-1, 1))

test_that("refused arguments name what was wrong", {
  cases <- list(
    list(quote(contify(m, m, threshold = NaN)), "threshold must be a number in [0, 1], got nan"),
    list(quote(contify(m, m, threshold = NA)), "threshold must be a number in [0, 1], got NA"),
    list(quote(contify(m, m, threshold = 1.5)), "threshold must be a number in [0, 1], got 1.5"),
    list(quote(contify(m, m, threshold = -Inf)), "threshold must be a number in [0, 1], got -Inf"),
    list(quote(dinorm(signed, threshold = NaN)), "threshold must be a number in [0, 1], got nan"),
    list(quote(dinorm(signed, neutral_band = NaN)),
         "neutral_band must be a number in [0, 1], got nan"),
    list(quote(dinorm(signed, neutral_band = c(0, 1))), "neutral_band must be a single number"),
    list(quote(contify(m, m, relation = "inside")),
         'relation must be one of mutual, first_in_second, second_in_first; got "inside"'),
    list(quote(contify(m, m, kernel = "type3")), "kernel must be one of type0, type1, type2"),
    list(quote(dinorm(signed, aggregation = 1)), "aggregation must be one of"),
    list(quote(dinorm(signed, combination = c("sum", "dominant"))), "combination must be one of"),
    list(quote(contify(m, m, allow.nan = NA)), "allow.nan must be TRUE or FALSE"),
    list(quote(contify(m, "a")), "y must hold real numbers, got string"),
    list(quote(contify(m, data.frame(a = 1:3, b = letters[1:3]))),
         "y: column 2 (b) is not numeric"),
    list(quote(contify(m, array(0, c(3, 2, 1)))), "y must be a vector or a matrix"),
    list(quote(contify(m, c(0.5, 0.5, 0.5))), "x has 2 columns but y has 3"),
    list(quote(contify(m, m[1:2, ])), "x has 3 rows but y has 2"),
    list(quote(contify(c(0.1, 0.2), 1)), "x has 2 values but y has 1"))
  for (case in cases) {
    expect_error(eval(case[[1]]), case[[2]], fixed = TRUE, info = deparse(case[[1]]))
  }
})

test_that("NaN and NA in data are refused by row and column unless allowed", {
  cases <- list(
    list(quote(contify(with_value(c(3, 2), NaN), m)), "x: NaN at row 3, column 2"),
    list(quote(contify(m, with_value(c(2, 1), NA))), "y: NA at row 2, column 1"),
    list(quote(contify(c(0.5, NaN), m)), "x: NaN at element 2"),
    list(quote(dinorm(rbind(c(0, 0), c(0, NA_real_)))), "x: NA at row 2, column 2"),
    list(quote(dinorm(c(-0.5, NaN))), "x: NaN at element 2"),
    # the first refused value in row order, whichever table and reason
    list(quote(contify(rbind(c(2, 0), c(0, NaN)), rbind(c(0, 0), c(0, 0)))),
         "x: value 2 at row 1, column 1 is outside [0, 1]"),
    list(quote(contify(rbind(c(0, 0), c(0, NaN)), rbind(c(0, 0), c(NA, 0)))),
         "y: NA at row 2, column 1"))
  for (case in cases) {
    expect_error(eval(case[[1]]), case[[2]], fixed = TRUE, info = deparse(case[[1]]))
  }
  expect_false(is.na(contify(c(NaN, 0.7), c(0.9, 0.7), threshold = 0.5, allow.nan = TRUE)))
  expect_true(is.na(contify(0.7, NaN, threshold = 0.5, allow.nan = TRUE)))
  expect_identical(dinorm(c(NaN, 0.5), allow.nan = TRUE),
                   c(negative = 0, positive = 0.5, combined = 0.5))
})

test_that("values out of range are refused with their row, column and value", {
  cases <- list(
    list(quote(contify(with_value(c(2, 2), 1.5), m)),
         "x: value 1.5 at row 2, column 2 is outside [0, 1]"),
    list(quote(contify(m, with_value(c(3, 1), -1e-300))),
         "y: value -1e-300 at row 3, column 1 is outside [0, 1]"),
    list(quote(contify(m, with_value(c(1, 2), Inf))),
         "y: value Inf at row 1, column 2 is outside [0, 1]"),
    list(quote(contify(c(0.5, 1.0000000000000002), m)),
         "x: value 1.0000000000000002 at element 2 is outside [0, 1]"),
    list(quote(contify(with_value(c(1, 1), 7), m, relation = "second_in_first")),
         "x: value 7 at row 1, column 1 is outside [0, 1]"),
    list(quote(dinorm(rbind(c(0.5, -0.5), c(1, -Inf)))),
         "x: value -Inf at row 2, column 2 is outside [-1, 1]"),
    list(quote(dinorm(c(0.5, 1.5, -2))), "x: value 1.5 at element 2 is outside [-1, 1]"))
  for (case in cases) {
    expect_error(eval(case[[1]]), case[[2]], fixed = TRUE, info = deparse(case[[1]]))
  }
})

test_that("errors are reported as coming from the function the user called", {
  error <- tryCatch(contify(m, m, threshold = NaN), error = identity)
  expect_identical(conditionCall(error)[[1]], as.name("contify"))
  error <- tryCatch(dinorm(c(NaN, 0)), error = identity)
  expect_identical(conditionCall(error)[[1]], as.name("dinorm"))
})
