#' vantor: threshold-gated operations on vectors of fuzzy degrees
#'
#' The package calls the compiled 'libvantor' library: [contify()] measures
#' how far one membership vector lies in another (or how far two agree),
#' [dinorm()] aggregates signed degrees into a negative, a positive and a
#' combined degree, and [simkmeans()] clusters rows around prototypes by a
#' thresholded similarity. Work over the rows of a matrix runs in compiled
#' code; each call configures an instance of its own, so calls share no state.
#'
#' @section Missing and infinite values:
#' `NA` and `NaN` in data are refused by default, with a message naming the
#' argument, row and column. With `allow.nan = TRUE` both reach the library
#' as NaN (R's `NA` is a NaN to the library) and are treated as it defines:
#' [contify()] skips a position whose deciding value is NaN and returns NaN
#' when a NaN meets a value that takes part; [dinorm()] skips NaN values;
#' [simkmeans()] counts a NaN feature as 0 in similarities while it turns the
#' means it enters into NaN. A NaN that comes back may print as `NA` or `NaN`;
#' test it with [is.na()]. `Inf` and `-Inf` are out of range for [contify()]
#' (values in \[0, 1\]) and [dinorm()] (values in \[-1, 1\]) and refused as
#' such; [simkmeans()] refuses them because a mean with an infinite value is
#' no prototype. A threshold that is `NA` or `NaN` is always refused.
#'
#' @keywords internal
#' @useDynLib vantor, .registration = TRUE, .fixes = "C_"
"_PACKAGE"
