#' Inclusion or agreement degree of membership vectors
#'
#' Reduces two vectors of membership degrees (values in \[0, 1\]) to one
#' degree in \[0, 1\]: a threshold-gated weighted mean. Positions whose
#' deciding value is below `threshold` take no part. A directed relation
#' weighs each position by the value of the vector that is to be contained
#' and measures how far it lies in the other; the mutual relation weighs each
#' position by the larger value and measures agreement.
#'
#' With a = the contained vector's value and b = the other's at a position:
#' \describe{
#'   \item{directed, weight a}{`type0` adds a when b >= a, else a * b
#'     (Goedel); `type1` adds min(a, b) (Goguen); `type2` adds a when
#'     b >= a, else a * (1 - a + b) (Lukasiewicz).}
#'   \item{mutual, weight max(a, b)}{`type0` adds a * b; `type1` adds
#'     min(a, b); `type2` adds max(a, b) * (1 - |a - b|).}
#' }
#' The degree is the sum of the terms over the sum of the weights (0 when no
#' weight is positive), accumulated in extended precision and rounded once,
#' bit for bit as the library computes it.
#'
#' @param x,y Numeric vectors of equal length, matrices or data frames with
#'   the same number of columns (one pair of vectors per row), or a vector
#'   and a matrix: the vector is then paired with every row.
#' @param relation `"first_in_second"` (how far `x` lies in `y`), `"mutual"`
#'   or `"second_in_first"` (how far `y` lies in `x`).
#' @param kernel `"type1"`, `"type0"` or `"type2"`, see Details.
#' @param threshold A number in \[0, 1\]; positions whose deciding value is
#'   below it are left out. `NA` and `NaN` are refused.
#' @param allow.nan If `TRUE`, `NA` and `NaN` in `x` or `y` go to the library
#'   as NaN: a position whose deciding value is NaN is skipped, and a NaN
#'   beside a deciding value that takes part makes the degree NaN. By default
#'   they are refused, naming the argument, row and column.
#' @return One number for two vectors; otherwise a numeric vector with one
#'   degree per row (named by the row names of `x`, if any).
#' @seealso [dinorm()], [simkmeans()]
#' @examples
#' contify(c(0.2, 0.8, 0.6, 0.5), c(0.9, 0.4, 0.3, 0.5), threshold = 0.5)
#' contify(c(0.2, 0.8), c(0.9, 0.4), relation = "mutual", kernel = "type0")
#'
#' # one degree per row; a vector against a matrix applies to every row
#' m <- matrix(c(0.1, 0.9, 0.5, 0.5, 0.7, 0.3), nrow = 3, byrow = TRUE)
#' contify(m, c(0.4, 0.6))
#' contify(m, m[3:1, ], relation = "second_in_first", kernel = "type2")
#' @export
contify <- function(x, y, relation = c("first_in_second", "mutual", "second_in_first"),
                    kernel = c("type1", "type0", "type2"), threshold = 0, allow.nan = FALSE) {
  call <- sys.call()
  relation <- choose_mode(relation, "relation", "relation")
  kernel <- choose_mode(kernel, "kernel", "kernel")
  threshold <- check_unit(threshold, "threshold")
  allow.nan <- check_flag(allow.nan, "allow.nan")
  x <- as_rows(x, "x")
  y <- as_rows(y, "y")
  degrees <- .Call(C_vantor_contify, x, y, relation, kernel, threshold, allow.nan, call)
  if (is.matrix(x) && !is.null(rownames(x))) names(degrees) <- rownames(x)
  degrees
}
