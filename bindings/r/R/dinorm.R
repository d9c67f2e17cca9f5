#' Signed aggregation of degrees in \[-1, 1\]
#'
#' Reduces a vector of signed degrees to a negative aggregate (of the values
#' at or below `-threshold`), a positive aggregate (of the values at or above
#' `threshold`), and their combination into one signed degree. Values
#' strictly between `-threshold` and `threshold`, zeros and (with
#' `allow.nan = TRUE`) NaN take no part.
#'
#' Aggregation of each side, over the magnitudes v that take part:
#' `"extreme"` the largest, `"probabilistic"` 1 - prod(1 - v), `"bounded"`
#' min(1, sum v) clipped after every addition. Combination of the negative
#' aggregate n and the positive aggregate p, from d = p + n, after setting d
#' to 0 when `-neutral_band < d < neutral_band`: `"dominant"` p when d > 0,
#' n when d < 0, else 0; `"certainty_factor"` d / (1 - min(p, -n));
#' `"sum"` d; `"reinforced_sum"` (1 + |n| p) d. Sums are kept in extended
#' precision and rounded once, bit for bit as the library computes them.
#'
#' @param x A numeric vector, or a matrix or data frame with one vector per
#'   row. Values that take part must lie in \[-1, 1\].
#' @param aggregation `"extreme"`, `"probabilistic"` or `"bounded"`.
#' @param combination `"dominant"`, `"certainty_factor"`, `"sum"` or
#'   `"reinforced_sum"` (or a unique abbreviation).
#' @param threshold A number in \[0, 1\]: the smallest magnitude that takes
#'   part. `NA` and `NaN` are refused.
#' @param neutral_band A number in \[0, 1\]: a combined sum strictly inside
#'   `(-neutral_band, neutral_band)` counts as 0.
#' @param allow.nan If `TRUE`, `NA` and `NaN` in `x` are passed to the
#'   library, which skips them; by default they are refused, naming the row
#'   and column.
#' @return For a vector, the named numeric vector `c(negative, positive,
#'   combined)`; otherwise a matrix with those three columns and one row per
#'   row of `x`.
#' @seealso [contify()], [simkmeans()]
#' @examples
#' v <- c(0.5, -0.125, 0, -0.5, 0.25, -0.75)
#' dinorm(v, threshold = 0.25)
#' dinorm(v, aggregation = "bounded", combination = "certainty_factor",
#'        threshold = 0.25)
#'
#' m <- rbind(a = v, b = -v, c = v / 2)
#' dinorm(m, aggregation = "probabilistic", combination = "sum",
#'        neutral_band = 0.1)
#' @export
dinorm <- function(x, aggregation = c("extreme", "probabilistic", "bounded"),
                   combination = c("dominant", "certainty_factor", "sum", "reinforced_sum"),
                   threshold = 0, neutral_band = 0, allow.nan = FALSE) {
  call <- sys.call()
  aggregation <- choose_mode(aggregation, "aggregation", "aggregation")
  combination <- choose_mode(combination, "combination", "combination")
  threshold <- check_unit(threshold, "threshold")
  neutral_band <- check_unit(neutral_band, "neutral_band")
  allow.nan <- check_flag(allow.nan, "allow.nan")
  x <- as_rows(x, "x")
  parts <- c("negative", "positive", "combined")
  result <- .Call(C_vantor_dinorm, x, aggregation, combination, threshold, neutral_band,
                  allow.nan, call)
  if (!is.matrix(x)) return(structure(as.vector(result), names = parts))
  dimnames(result) <- list(rownames(x), parts)
  result
}
