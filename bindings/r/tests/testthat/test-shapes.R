# Vectors, matrices, data frames and broadcasting all give the numbers of the
# row-by-row calls, whatever the storage order of R's matrices.

set.seed(3)
x <- matrix(stats::runif(40), 8, 5, dimnames = list(letters[1:8], NULL))
y <- matrix(stats::runif(40), 8, 5)
s <- matrix(stats::runif(40, -1, 1), 8, 5, dimnames = list(letters[1:8], NULL))

test_that("a matrix gives the numbers of its rows taken one at a time", {
  rows <- vapply(1:8, function(i) contify(x[i, ], y[i, ], "mutual", "type2", 0.3), numeric(1))
  expect_same_bits(contify(x, y, "mutual", "type2", 0.3), rows)
  expect_identical(names(contify(x, y)), letters[1:8])
  per_row <- t(vapply(1:8, function(i) dinorm(s[i, ], "probabilistic", "reinforced_sum", 0.2),
                      numeric(3)))
  expect_same_bits(dinorm(s, "probabilistic", "reinforced_sum", 0.2), per_row)
})

test_that("more rows than one block of the compiled loop keep their order", {
  big_x <- matrix(stats::runif(1000 * 3), 1000, 3)
  big_y <- matrix(stats::runif(1000 * 3), 1000, 3)
  rows <- vapply(c(1, 128, 129, 1000), function(i) contify(big_x[i, ], big_y[i, ]), numeric(1))
  expect_same_bits(contify(big_x, big_y)[c(1, 128, 129, 1000)], rows)
  signed <- big_x * 2 - 1
  expect_same_bits(dinorm(signed)[257, ], unname(dinorm(signed[257, ])))
})

test_that("a vector against a matrix applies to every row, on either side", {
  v <- y[2, ]
  spread <- matrix(v, 8, 5, byrow = TRUE)
  expect_same_bits(contify(x, v, "second_in_first"), contify(x, spread, "second_in_first"))
  expect_same_bits(contify(v, x), contify(spread, x))
})

test_that("data frames and integers are taken as numbers", {
  frame <- as.data.frame(x)
  expect_same_bits(contify(frame, y), contify(x, y))
  expect_identical(rownames(dinorm(as.data.frame(s))), letters[1:8])
  expect_identical(contify(c(1L, 0L), c(1L, 1L)), 1)
  expect_identical(dinorm(matrix(c(1L, -1L), 1)), matrix(c(-1, 1, 0), 1,
    dimnames = list(NULL, c("negative", "positive", "combined"))))
})

test_that("empty inputs give empty or zero results", {
  expect_identical(contify(x[0, ], y[0, ]), numeric(0))
  expect_identical(contify(numeric(0), numeric(0)), 0)
  expect_identical(dim(dinorm(s[0, ])), c(0L, 3L))
  expect_identical(dinorm(numeric(0)), c(negative = 0, positive = 0, combined = 0))
})

test_that("rows longer than a block's worth of values are taken one at a time", {
  wide <- matrix(stats::runif(3 * 20000), 3, 20000)
  other <- matrix(stats::runif(3 * 20000), 3, 20000)
  expect_same_bits(contify(wide, other)[3], contify(wide[3, ], other[3, ]))
  expect_same_bits(dinorm(wide * 2 - 1)[2, ], unname(dinorm(wide[2, ] * 2 - 1)))
})
