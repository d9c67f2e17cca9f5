# The choices R offers are the library's one vocabulary, compiled in from its
# public header, so no host can drift from the others.

test_that("argument choices are the names the library declares", {
  names <- vantor:::mode_names()
  choices <- function(f, arg) eval(formals(f)[[arg]])
  expect_setequal(choices(contify, "relation"), names$relation)
  expect_setequal(choices(contify, "kernel"), names$kernel)
  expect_setequal(choices(dinorm, "aggregation"), names$aggregation)
  expect_setequal(choices(dinorm, "combination"), names$combination)
  expect_identical(names$relation, c("mutual", "first_in_second", "second_in_first"))
  expect_identical(names$seeding, c("farthest", "kmeans++", "first"))
})

test_that("defaults are the library's; names as spelt, or unambiguously abbreviated", {
  x <- c(0.2, 0.8, 0.6)
  y <- c(0.9, 0.4, 0.3)
  expect_identical(contify(x, y), contify(x, y, "first_in_second", "type1", 0))
  expect_identical(contify(x, y, "second_in_first"), contify(y, x))
  expect_identical(contify(x, y, "mut"), contify(x, y, "mutual"))
  v <- c(-0.5, 0.75)
  expect_identical(dinorm(v, combination = "cert"),
                   dinorm(v, combination = "certainty_factor"))
  expect_identical(dinorm(v), dinorm(v, "extreme", "dominant", 0, 0))
  # R's one difference from the other hosts is the abbreviation: other
  # spellings, and abbreviations of more than one name, are refused.
  refused <- list(quote(contify(x, y, "second-in-first")), quote(contify(x, y, "Mutual")),
                  quote(dinorm(v, combination = "certainty-factor")),
                  quote(contify(x, y, kernel = "type")), quote(contify(x, y, 1)))
  for (call in refused) {
    expect_error(eval(call), "must be one of", fixed = TRUE, info = deparse(call))
  }
})

test_that("the package version is the version of the library it compiles", {
  expect_identical(as.character(utils::packageVersion("vantor")),
                   .Call(vantor:::C_vantor_library_version))
})
