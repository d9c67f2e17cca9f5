#' Methods for simkmeans fits
#'
#' `print` shows the clusters, prototypes and assignments; `summary` gives
#' per-cluster sizes and similarities; `fitted` gives each row's prototype
#' (or its cluster); `predict` assigns new rows to the fitted prototypes
#' exactly as a pass of the fit assigns them (the most similar prototype,
#' the lowest-numbered among equals; `NA` where every similarity is NaN).
#'
#' For a two-sided fit, `fitted(method = "centers")` gives for each row its
#' positive part's prototype minus its negative part's prototype, where a
#' part of similarity 0 to its prototype (a part without values, or one that
#' shares nothing with it) counts as 0; `fitted(method = "classes")` and
#' `predict` give the two-column matrix of part assignments.
#'
#' @param x,object A `"simkmeans"` object.
#' @param newdata A numeric matrix or data frame with the columns of the
#'   data the fit was made on.
#' @param method `"centers"` or `"classes"`.
#' @param allow.nan As in [simkmeans()], for `newdata`.
#' @param ... Further arguments, ignored by these methods.
#' @return `print` returns `x` invisibly; `summary` an object of class
#'   `"summary.simkmeans"`; `fitted` a matrix (centers) or the cluster
#'   numbers (classes); `predict` the cluster numbers, with the similarities
#'   as attribute `"similarity"`.
#' @seealso [simkmeans()], [plot.simkmeans()]
#' @examples
#' set.seed(2)
#' x <- rbind(matrix(runif(30, 0.5, 1), 10), matrix(runif(30, 0, 0.4), 10))
#' fit <- simkmeans(x, 2)
#' print(fit)
#' summary(fit)
#' head(fitted(fit))
#' predict(fit, rbind(c(0.9, 0.8, 0.7), c(0.1, 0.2, 0.1)))
#' @name simkmeans-methods
NULL

#' @rdname simkmeans-methods
#' @export
print.simkmeans <- function(x, ...) {
  sides <- if (x$two.sided) " two-sided" else ""
  cat(sprintf("Similarity k-means%s clustering with %d clusters of sizes %s\n\n", sides,
              length(x$size), paste(x$size, collapse = ", ")))
  cat("Cluster prototypes:\n")
  print(x$centers, ...)
  cat("\nClustering vector:\n")
  print(x$cluster, ...)
  cat(sprintf("\nTotal similarity: %s (mean %s per %s)\n", format(x$totsim),
              format(x$totsim / sum(x$size)), if (x$two.sided) "part" else "row"))
  cat(sprintf("%s after %d of at most %d passes, threshold %s\n",
              if (x$converged) "Converged" else "Stopped at the pass limit", x$iter, x$iter.max,
              format(x$threshold)))
  cat("\nAvailable components:\n")
  print(names(x))
  invisible(x)
}

#' @rdname simkmeans-methods
#' @export
summary.simkmeans <- function(object, ...) {
  k <- length(object$size)
  cluster <- as.vector(object$cluster)
  similarity <- as.vector(object$similarity)
  per_cluster <- function(f) {
    vapply(seq_len(k), function(i) {
      s <- similarity[!is.na(cluster) & cluster == i]
      if (length(s)) f(s) else NA_real_
    }, numeric(1L))
  }
  table <- data.frame(size = object$size, mean.similarity = per_cluster(mean),
                      min.similarity = per_cluster(min), row.names = seq_len(k))
  structure(list(clusters = table, unassigned = sum(is.na(cluster)), totsim = object$totsim,
                 iter = object$iter, converged = object$converged,
                 two.sided = object$two.sided),
            class = "summary.simkmeans")
}

#' @export
print.summary.simkmeans <- function(x, ...) {
  cat(sprintf("%d clusters, %s; total similarity %s\n", nrow(x$clusters),
              if (x$converged) sprintf("converged after %d passes", x$iter)
              else sprintf("stopped at the pass limit (%d passes)", x$iter),
              format(x$totsim)))
  if (x$unassigned > 0) {
    cat(sprintf("%d %s unassigned (every similarity NaN)\n", x$unassigned,
                if (x$two.sided) "parts" else "rows"))
  }
  print(x$clusters, ...)
  invisible(x)
}

#' @rdname simkmeans-methods
#' @importFrom stats fitted
#' @export
fitted.simkmeans <- function(object, method = c("centers", "classes"), ...) {
  method <- match.arg(method)
  if (method == "classes") return(object$cluster)
  prototype_rows <- function(cluster) {
    rows <- object$centers[ifelse(is.na(cluster), 1L, cluster), , drop = FALSE]
    rows[is.na(cluster), ] <- NA_real_
    rownames(rows) <- names(cluster)
    rows
  }
  if (!object$two.sided) return(prototype_rows(object$cluster))
  # A part of similarity 0 (one without values, or sharing nothing with its
  # prototype) is not described by that prototype: it stands for 0.
  part <- function(side) {
    rows <- prototype_rows(object$cluster[, side])
    rows[which(object$similarity[, side] == 0), ] <- 0
    rows
  }
  fitted <- part("positive") - part("negative")
  rownames(fitted) <- rownames(object$cluster)
  fitted
}

#' @rdname simkmeans-methods
#' @importFrom stats predict
#' @export
predict.simkmeans <- function(object, newdata, allow.nan = FALSE, ...) {
  call <- sys.call()
  if (missing(newdata)) return(fitted(object, method = "classes"))
  newdata <- as_items(newdata, "newdata")
  if (ncol(newdata) != ncol(object$centers)) {
    refuse(sprintf("newdata must have the %d columns of the fit, not %d",
                   ncol(object$centers), ncol(newdata)), call)
  }
  allow.nan <- check_flag(allow.nan, "allow.nan")
  centers <- unname(object$centers)
  storage.mode(centers) <- "double"
  if (!allow.nan && anyNA(centers)) {
    refuse(paste("the fit's prototypes hold NaN (it was made with allow.nan = TRUE);",
                 "predict with allow.nan = TRUE"), call)
  }
  # One pass of the library against the fitted prototypes: it assigns the
  # rows as the fit would; the update that follows the pass is discarded.
  pass <- .Call(C_vantor_cluster, newdata, "newdata", centers, object$threshold, 1L, 1L,
                object$two.sided, 0L, 0, allow.nan, call)
  if (object$two.sided) {
    dimnames(pass$cluster) <- dimnames(pass$similarity) <-
      list(rownames(newdata), c("negative", "positive"))
  } else {
    names(pass$cluster) <- names(pass$similarity) <- rownames(newdata)
  }
  structure(pass$cluster, similarity = pass$similarity)
}

#' Plot a simkmeans fit
#'
#' Two panels in base graphics: the prototype profiles (one line per
#' cluster across the columns of the data, labelled by cluster number) and
#' the cluster sizes.
#'
#' @param x A `"simkmeans"` object.
#' @param col Colours of the clusters.
#' @param ... Further graphical parameters for the profile panel
#'   ([graphics::matplot()]).
#' @return `x`, invisibly.
#' @seealso [simkmeans()]
#' @importFrom grDevices hcl.colors
#' @examples
#' set.seed(3)
#' x <- rbind(matrix(runif(60, 0.5, 1), 10), matrix(runif(60, 0, 0.4), 10))
#' plot(simkmeans(x, 3))
#' @export
plot.simkmeans <- function(x, col = hcl.colors(length(x$size), "Dark 3"), ...) {
  k <- length(x$size)
  old <- graphics::par(mfrow = c(1L, 2L), mar = c(4.1, 4.1, 2.1, 1.1))
  on.exit(graphics::par(old))
  features <- seq_len(ncol(x$centers))
  # Headroom above the profiles for the legend, one line per eight clusters.
  columns <- min(k, 8L)
  finite <- x$centers[is.finite(x$centers)]
  limits <- if (length(finite)) range(finite) else c(0, 1)
  limits[2L] <- limits[2L] + 0.15 * ceiling(k / columns) * max(diff(limits), 0.5)
  graphics::matplot(features, t(x$centers), type = "b", lty = 1, pch = 19, col = col,
                    ylim = limits, xlab = "column", ylab = "prototype value",
                    main = "Prototypes", xaxt = "n", ...)
  labels <- colnames(x$centers)
  graphics::axis(1, at = features, labels = if (is.null(labels)) features else labels)
  graphics::legend("top", legend = seq_len(k), col = col, lty = 1, pch = 19, ncol = columns,
                   bty = "n", cex = 0.8)
  graphics::barplot(x$size, names.arg = seq_len(k), col = col, xlab = "cluster",
                    ylab = if (x$two.sided) "parts" else "rows", main = "Sizes")
  invisible(x)
}
