#' Clustering around prototypes by a thresholded similarity
#'
#' Shaped after [stats::kmeans()], with a similarity in place of a distance:
#' each pass assigns every row to its most similar prototype and then
#' replaces each prototype that holds rows by their mean, until a pass moves
#' nothing or `iter.max` passes have run. The similarity of a row and a
#' prototype is sum(min) / sum(max) over their values, after leaving out the
#' positions where both lie below `threshold` and counting negative values
#' as 0 (the weighted Jaccard similarity). A row moves only to a strictly
#' more similar prototype; among equals the lowest-numbered one wins.
#'
#' When `centers` is a number k, the library chooses the starting prototypes
#' among the rows (`seeding`) and runs `nstart` starts, keeping the run of
#' largest total similarity (the earlier one on ties): `"kmeans++"` draws
#' them at random, the first uniformly and each next with a weight
#' (1 - s)^2, s its greatest similarity to those chosen; `"farthest"` takes
#' the first row and then again and again the row least similar to those
#' chosen; `"first"` the first k rows. Only rows with a value above 0 are
#' candidates. The two deterministic rules make one run whatever `nstart`.
#'
#' @section Two-sided clustering:
#' With `two.sided = TRUE` each row is split into its negative part (the
#' magnitudes of its negative values) and its positive part (its positive
#' values). Each part is assigned on its own to one shared set of
#' prototypes, and each prototype becomes the mean of all parts it holds,
#' negative and positive alike. `cluster` and `similarity` are then matrices
#' with the columns `negative` and `positive`: the prototype of each row's
#' negative part and of its positive part, with their similarities. A part
#' with no value (a row without negative values has an all-zero negative
#' part) has similarity 0 to every prototype and goes to prototype 1, where
#' it counts as a member and lowers the mean. `size` counts parts.
#'
#' @param x A numeric matrix or data frame, one item per row (a vector is
#'   one column, as in [stats::kmeans()]).
#' @param centers Either the number of clusters k, or a matrix of k starting
#'   prototypes with the columns of `x`.
#' @param threshold A number in \[0, 1\]: positions where both the row and
#'   the prototype lie below it are left out of their similarity.
#' @param iter.max The largest number of passes, at least 1.
#' @param nstart How many starts to try when `centers` is a number
#'   (ignored for a matrix of `centers`).
#' @param two.sided If `TRUE`, cluster the negative and positive parts of
#'   signed rows, see the section below.
#' @param seeding How the starting prototypes are chosen when `centers` is a
#'   number: `"kmeans++"`, `"farthest"` or `"first"`.
#' @param seed A whole number below 2^53, or a string of digits for any
#'   seed in \[0, 2^64), that fixes the random starts of `"kmeans++"`; the
#'   same seed gives the same starts in every host of the library. `NULL`
#'   draws it from R's random number stream, so
#'   [set.seed()] makes a run reproducible; the seed used is returned as
#'   `seed`. Nothing is drawn for given `centers` or a deterministic rule.
#' @param threads The number of threads the run (and its starts, side by
#'   side) may use; every number gives the same result. By default
#'   `getOption("vantor.threads")`, or half the cores when that is not set
#'   (at most 2 under `R CMD check`).
#' @param allow.nan If `TRUE`, `NA` and `NaN` go to the library as NaN: a
#'   NaN feature counts as 0 in similarities but makes every mean it enters
#'   NaN. By default they are refused, naming the row and column. Infinite
#'   values are always refused.
#' @return An object of class `"simkmeans"`, a list with
#'   \item{cluster}{the prototype (1 to k) of each row; `NA` for a row whose
#'     similarity to every prototype is NaN (possible only with NaN data).}
#'   \item{centers}{the k prototypes, one per row.}
#'   \item{similarity}{each row's similarity to its prototype as last
#'     measured; `NA` where `cluster` is.}
#'   \item{size}{the number of rows (parts, when two-sided) per cluster.}
#'   \item{iter}{the number of passes run.}
#'   \item{converged}{`TRUE` when the last pass moved nothing. When `FALSE`
#'     the run stopped at `iter.max`, and `similarity` was measured against
#'     the prototypes before their last update.}
#'   \item{totsim}{the total similarity of the kept run.}
#'   \item{seeds}{the starting prototypes of the kept run.}
#'   \item{start, seed}{the kept start (1 to `nstart`) and the seed of the
#'     random starts (`NA` when none were drawn).}
#'   and the arguments `threshold`, `iter.max`, `nstart`, `two.sided`,
#'   `seeding`.
#' @seealso [predict.simkmeans()], [plot.simkmeans()], [contify()]
#' @examples
#' set.seed(1)
#' x <- rbind(matrix(runif(40, 0.6, 1), 10), matrix(runif(40, 0, 0.3), 10))
#' x[11:20, 1:2] <- runif(20, 0.7, 1)
#' fit <- simkmeans(x, 2)
#' fit
#' summary(fit)
#' plot(fit)
#'
#' # the same run again, from the seed it used
#' identical(simkmeans(x, 2, seed = fit$seed)$cluster, fit$cluster)
#'
#' # given starting prototypes, a pass limit and a threshold
#' simkmeans(x, x[c(1, 11), ], iter.max = 5, threshold = 0.2)$cluster
#'
#' # signed rows: negative and positive parts clustered together
#' signed <- x - 0.5
#' simkmeans(signed, 3, two.sided = TRUE, seeding = "farthest")$cluster[1:3, ]
#' @export
simkmeans <- function(x, centers, threshold = 0, iter.max = 40, nstart = 10,
                      two.sided = FALSE, seeding = c("kmeans++", "farthest", "first"),
                      seed = NULL, allow.nan = FALSE,
                      threads = getOption("vantor.threads", default_threads())) {
  call <- sys.call()
  checked <- run_arguments(threshold, iter.max, nstart, two.sided, allow.nan, threads, call)
  for (name in names(checked)) assign(name, checked[[name]])
  rule <- choose_mode(seeding, "seeding", "seeding")
  x <- as_items(x, "x")
  if (missing(centers)) refuse("centers must be given: a number of clusters or a matrix", call)
  if (is.data.frame(centers) || is.matrix(centers)) {
    centers <- as_rows(centers, "centers")
    if (!is.matrix(centers) || ncol(centers) != ncol(x)) {
      refuse(sprintf("centers must have the %d columns of x", ncol(x)), call)
    }
    if (nrow(centers) < 1L) refuse("centers must hold at least one prototype", call)
    seed <- NA_real_
  } else {
    centers <- check_count(centers, "centers")
    seed <- run_seed(seed, rule, call)
  }
  # The library checks k against the candidates for seeds before it sets
  # anything of size k aside.
  fit <- .Call(C_vantor_cluster, x, "x", centers, threshold, iter.max, nstart, two.sided, rule,
               if (is.na(seed)) 0 else seed, allow.nan, threads, call)
  if (is.null(fit)) refuse("the library refused to cluster x", call)
  k <- nrow(fit$centers)
  dimnames(fit$centers) <- dimnames(fit$seeds) <- list(seq_len(k), colnames(x))
  if (two.sided) {
    dimnames(fit$cluster) <- dimnames(fit$similarity) <-
      list(rownames(x), c("negative", "positive"))
  } else {
    names(fit$cluster) <- names(fit$similarity) <- rownames(x)
  }
  fit$size <- tabulate(fit$cluster, k)
  structure(c(fit[c("cluster", "centers", "similarity", "size", "iter", "converged", "totsim",
                    "seeds", "start")],
              list(seed = seed, threshold = threshold, iter.max = iter.max, nstart = nstart,
                   two.sided = two.sided, seeding = mode_names()$seeding[rule + 1L])),
            class = "simkmeans")
}

# Items for clustering: a matrix with at least one row and one column; a
# vector is one column, as stats::kmeans takes it.
as_items <- function(x, arg, call = sys.call(-1)) {
  x <- as_rows(x, arg, call)
  if (!is.matrix(x)) x <- matrix(x, ncol = 1L, dimnames = list(names(x), NULL))
  if (nrow(x) < 1L || ncol(x) < 1L) {
    refuse(policy_text("EMPTY", arg), call)
  }
  x
}

# The settings simkmeans and simkmeans_k share, checked in the order their
# users meet the refusals, under the names of their arguments.
run_arguments <- function(threshold, iter.max, nstart, two.sided, allow.nan, threads, call) {
  list(threshold = check_unit(threshold, "threshold", call),
       iter.max = check_count(iter.max, "iter.max", call = call),
       nstart = check_count(nstart, "nstart", call = call),
       two.sided = check_flag(two.sided, "two.sided", call),
       allow.nan = check_flag(allow.nan, "allow.nan", call),
       threads = check_count(threads, "threads", call = call))
}

# The seed of a seeded run: the caller's, checked; else a drawn one when the
# rule draws (kmeans++); else NA.
run_seed <- function(seed, rule, call) {
  random <- rule == match("kmeans++", mode_names()$seeding) - 1L
  if (!is.null(seed)) check_seed(seed, call) else if (random) draw_seed() else NA_real_
}

# 53 random bits from R's stream: whole doubles stay exact below 2^53, so the
# seed can be shown, stored and given back as a plain number.
draw_seed <- function() {
  floor(stats::runif(1L) * 2^21) * 2^32 + floor(stats::runif(1L) * 2^32)
}

# A seed the library takes: a whole number below 2^53, which a double holds
# exactly, or a string of digits for any seed in [0, 2^64).
check_seed <- function(seed, call = sys.call(-1)) {
  if (isTRUE(.Call(C_vantor_policy_seed_ok, if (is.numeric(seed)) as.double(seed) else seed))) {
    return(if (is.numeric(seed)) as.double(seed) else seed)
  }
  shown <- if (length(seed) == 1L && (is.numeric(seed) || is.character(seed))) {
    if (is.numeric(seed)) format(seed, digits = 22) else seed
  } else {
    class(seed)[1L]
  }
  refuse(policy_text(if (is.character(seed)) "SEED" else "SEED_AS_DOUBLE", "seed", shown), call)
}
