#' How many clusters? A scan over k with the library's similarity
#'
#' Runs [simkmeans()] at every k (with the same arguments, and the same
#' `seed` at every k, so any k can be fitted again on its own) and measures
#' each kept run: its total similarity and its silhouettes under the
#' library's similarity. The silhouette of a row with prototype a, s_own its
#' similarity to a and s_next its greatest similarity to any other
#' prototype, uses the distances 1 - s:
#' \deqn{(s_{own} - s_{next}) / \max(1 - s_{own}, 1 - s_{next})}{(s_own - s_next) / max(1 - s_own, 1 - s_next)}
#' (0 when both distances are 0). It lies in \[-1, 1\]: near 1 for a row
#' close to its own prototype and far from every other, 0 between two
#' prototypes. It costs one pass (n k similarities), not the n^2 distances of
#' [cluster::silhouette()]. All figures come from the library, with the same
#' bits as in the other hosts and for any number of threads.
#'
#' The suggested k is the k of the largest mean silhouette; among equal means
#' the smallest k; a k whose mean silhouette is NaN (no defined silhouette)
#' is never suggested.
#'
#' Two-sided, each row's negative and positive part count as rows of their
#' own. Rows (parts) whose silhouette is undefined (every similarity NaN, or
#' a prototype holding NaN) are left out of the means and counted.
#'
#' @inheritParams simkmeans
#' @param k Whole numbers from 2 up, increasing: the numbers of clusters to try.
#' @param threads Threads for the clustering and the silhouettes, as in
#'   [simkmeans()]; every number gives the same figures.
#' @return An object of class `"simkmeans_k"`, a list with
#'   \item{table}{a data frame with one row per k: `k`, `totsim` (total
#'     similarity of the kept run), `silhouette` (mean silhouette),
#'     `counted` and `undefined` (rows or parts in and out of the mean),
#'     `iter`, `converged`, `start` (the kept start), `evaluations`
#'     (similarities computed).}
#'   \item{cluster.silhouettes}{a list, per k, of the mean silhouette of each
#'     cluster's members.}
#'   \item{suggested}{the suggested k (`NA` when no mean is defined).}
#'   \item{rule}{the rule above, in words.}
#'   and the arguments.
#' @seealso [plot.simkmeans_k()], [simkmeans()], [simkmeans_silhouette()]
#' @examples
#' set.seed(1)
#' groups <- lapply(1:4, function(g) {
#'   x <- matrix(runif(15 * 8, 0, 0.05), 15)
#'   x[, 2 * g - 1:0] <- runif(30, 0.7, 1)
#'   x
#' })
#' x <- do.call(rbind, groups)
#' scan <- simkmeans_k(x, k = 2:8, seed = 1)
#' scan
#' as.data.frame(scan)
#' plot(scan)
#' @export
simkmeans_k <- function(x, k = 2:10, threshold = 0, iter.max = 40, nstart = 10,
                        two.sided = FALSE, seeding = c("kmeans++", "farthest", "first"),
                        seed = NULL,
                        threads = getOption("vantor.threads", default_threads()),
                        allow.nan = FALSE) {
  call <- sys.call()
  checked <- run_arguments(threshold, iter.max, nstart, two.sided, allow.nan, threads, call)
  for (name in names(checked)) assign(name, checked[[name]])
  rule <- choose_mode(seeding, "seeding", "seeding")
  x <- as_items(x, "x")
  if (!is.numeric(k) || length(k) < 1L || anyNA(k) || any(k != trunc(k))) {
    refuse("k must be whole numbers from 2 up, such as 2:10", call)
  }
  if (any(k < 2)) refuse("k must be whole numbers from 2 up: a silhouette needs two clusters", call)
  if (any(diff(k) <= 0)) refuse("k must increase, such as 2:10", call)
  k <- as.integer(k)
  seed <- run_seed(seed, rule, call)
  storage.mode(x) <- "double"

  # Each stretch of consecutive k is one call of the library's scan.
  starts <- c(1L, which(diff(k) != 1L) + 1L)
  ends <- c(starts[-1L] - 1L, length(k))
  parts <- lapply(seq_along(starts), function(i) {
    first <- k[[starts[[i]]]]
    last <- k[[ends[[i]]]]
    found <- .Call(C_vantor_scan_k, x, first, last, threshold, iter.max, nstart, two.sided, rule,
                   if (is.na(seed)) 0 else seed, threads, allow.nan, call)
    if (is.null(found$k)) {
      what <- if (two.sided) "negative or positive parts" else "rows with a value above 0"
      refuse(sprintf("k: %d clusters need %d candidates, x has %d %s", last, last,
                     found$candidates, what), call)
    }
    found
  })
  column <- function(name) unlist(lapply(parts, `[[`, name), use.names = FALSE)
  table <- data.frame(k = column("k"), totsim = column("totsim"),
                      silhouette = column("silhouette"), counted = column("counted"),
                      undefined = column("undefined"), iter = column("iter"),
                      converged = column("converged"), start = column("start"),
                      evaluations = column("evaluations"))
  means <- column("cluster.silhouettes")
  ends_at <- cumsum(table$k)
  cluster.silhouettes <- lapply(seq_along(table$k), function(r) {
    means[(ends_at[[r]] - table$k[[r]] + 1L):ends_at[[r]]]
  })
  names(cluster.silhouettes) <- table$k
  suggested <- .Call(C_vantor_suggest_k, table$k, as.double(table$silhouette))
  structure(list(table = table, cluster.silhouettes = cluster.silhouettes,
                 suggested = if (suggested > 0L) suggested else NA_integer_,
                 rule = "the largest mean silhouette; among equal means the smallest k",
                 seed = seed, threshold = threshold, iter.max = iter.max, nstart = nstart,
                 two.sided = two.sided, seeding = mode_names()$seeding[rule + 1L]),
            class = "simkmeans_k")
}

#' @rdname simkmeans_k
#' @param row.names,optional Ignored; as for [as.data.frame()].
#' @param ... Further arguments, ignored.
#' @export
as.data.frame.simkmeans_k <- function(x, row.names = NULL, optional = FALSE, ...) x$table

#' @rdname simkmeans_k
#' @export
print.simkmeans_k <- function(x, ...) {
  cat(sprintf("Similarity k-means%s over k = %s, %s seeding, %d start%s\n\n",
              if (x$two.sided) " two-sided" else "", paste(range(x$table$k), collapse = ".."),
              x$seeding, x$nstart, if (x$nstart == 1L) "" else "s"))
  print(x$table[c("k", "totsim", "silhouette", "iter", "converged")], row.names = FALSE, ...)
  cat(sprintf("\nSuggested k: %s (%s)\n",
              if (is.na(x$suggested)) "none" else x$suggested, x$rule))
  invisible(x)
}

#' Plot a scan over k
#'
#' Two panels in base graphics: the total similarity against k (the elbow:
#' where more clusters stop paying) and the mean silhouette against k, with
#' the suggested k marked.
#'
#' @param x A `"simkmeans_k"` object.
#' @param ... Further graphical parameters for both panels ([graphics::plot()]).
#' @return `x`, invisibly.
#' @seealso [simkmeans_k()]
#' @export
plot.simkmeans_k <- function(x, ...) {
  old <- graphics::par(mfrow = c(1L, 2L), mar = c(4.1, 4.1, 2.1, 1.1))
  on.exit(graphics::par(old))
  panels <- list(c("totsim", "total similarity", "Elbow: total similarity"),
                 c("silhouette", "mean silhouette", "Mean silhouette"))
  for (panel in panels) {
    graphics::plot(x$table$k, x$table[[panel[[1L]]]], type = "b", pch = 19, xlab = "k",
                   ylab = panel[[2L]], main = panel[[3L]], xaxt = "n", ...)
    graphics::axis(1, at = x$table$k)
    if (!is.na(x$suggested)) graphics::abline(v = x$suggested, lty = 2, col = "grey40")
  }
  invisible(x)
}

#' Silhouettes of a simkmeans fit
#'
#' The silhouette of each row of `x` (two-sided: of each part) with its
#' cluster in `fit`, against `fit`'s prototypes, as [simkmeans_k()] defines
#' it, computed by the library.
#'
#' @param fit A `"simkmeans"` object.
#' @param x The data the fit was made on (or rows with the same columns and
#'   one cluster each in `cluster`).
#' @param cluster The cluster of each row (`fit$cluster` by default).
#' @param threads As in [simkmeans_k()].
#' @param allow.nan As in [simkmeans()].
#' @return The silhouettes (a matrix with columns `negative` and `positive`
#'   when two-sided; `NaN` where undefined), with attributes `mean` (over the
#'   defined ones) and `cluster.silhouettes` (mean per cluster).
#' @examples
#' set.seed(2)
#' x <- rbind(matrix(runif(30, 0.5, 1), 10), matrix(runif(30, 0, 0.4), 10))
#' fit <- simkmeans(x, 2)
#' s <- simkmeans_silhouette(fit, x)
#' attr(s, "mean")
#' @export
simkmeans_silhouette <- function(fit, x, cluster = fit$cluster,
                                 threads = getOption("vantor.threads", default_threads()),
                                 allow.nan = FALSE) {
  call <- sys.call()
  if (!inherits(fit, "simkmeans")) refuse("fit must be a simkmeans object", call)
  x <- as_items(x, "x")
  storage.mode(x) <- "double"
  threads <- check_count(threads, "threads")
  allow.nan <- check_flag(allow.nan, "allow.nan")
  k <- nrow(fit$centers)
  if (ncol(x) != ncol(fit$centers)) {
    refuse(sprintf("x must have the %d columns of the fit, not %d", ncol(fit$centers), ncol(x)),
           call)
  }
  if (k < 2L) refuse("a silhouette needs at least 2 clusters", call)
  sides <- if (fit$two.sided) 2L else 1L
  if (length(cluster) != nrow(x) * sides || any(!is.na(cluster) & !(cluster %in% seq_len(k)))) {
    refuse(sprintf("cluster must give each row%s of x a cluster from 1 to %d (or NA)",
                   if (fit$two.sided) " and part" else "", k), call)
  }
  centers <- unname(fit$centers)
  storage.mode(centers) <- "double"
  found <- .Call(C_vantor_silhouettes, x, centers, as.integer(cluster), fit$threshold,
                 fit$two.sided, threads, allow.nan, call)
  if (is.null(found)) refuse("the library refused the silhouettes (no memory)", call)
  values <- found$silhouette
  if (fit$two.sided) {
    dimnames(values) <- list(rownames(x), c("negative", "positive"))
  } else {
    names(values) <- rownames(x)
  }
  structure(values, mean = found$mean, cluster.silhouettes = found$cluster.silhouettes)
}
