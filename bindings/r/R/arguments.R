# Checks and conversions shared by the exported functions. Messages name the
# argument, and the threshold rule uses the wording every host of the library
# shares.

# Stops with `message`, shown as coming from the exported function's `call`.
refuse <- function(message, call) stop(simpleError(message, call))

# The mode vocabulary compiled into the package from the library's header.
mode_names <- function() .Call(C_vantor_mode_names)

# The library's refusal texts (its input policy), filled in with R's argument
# names, so R refuses in the words of every other host.
policy <- function() .Call(C_vantor_policy_constants)
policy_text <- function(kind, name, value = "", family = -1L, low = 0, high = 0) {
  .Call(C_vantor_policy_message, policy()[[kind]], name, as.character(value),
        as.integer(family), as.double(low), as.double(high))
}

# The 0-based library constant for a mode given by name. The default of an
# argument (all choices) means its first choice, as with match.arg(). Names
# are the library's, as spelt there; R's one habit is kept: a unique
# abbreviation is enough (pmatch), as match.arg() allows.
choose_mode <- function(value, vocabulary, arg, call = sys.call(-1)) {
  names <- mode_names()[[vocabulary]]
  if (is.character(value) && length(value) == length(names) && setequal(value, names)) {
    value <- value[[1L]]
  }
  index <- if (is.character(value) && length(value) == 1L && !is.na(value)) {
    pmatch(value, names)
  } else {
    NA_integer_
  }
  if (is.na(index)) {
    shown <- if (length(value) == 1L) as.character(value) else deparse(value)
    refuse(policy_text("MODE", arg, shown, policy()[[vocabulary]]), call)
  }
  index - 1L
}

# A threshold-like number in [0, 1]. The library would take a NaN (and gate
# nothing); every host refuses it with the same message.
check_unit <- function(value, arg, call = sys.call(-1)) {
  missing <- length(value) == 1L && is.atomic(value) && is.na(value)
  if (!missing && (!is.numeric(value) || length(value) != 1L)) {
    refuse(sprintf("%s must be a single number in [0, 1]", arg), call)
  }
  value <- as.double(value)
  if (missing || value < 0 || value > 1) {
    shown <- if (is.nan(value)) "nan" else if (is.na(value)) "NA" else format(value, digits = 15)
    refuse(policy_text("THRESHOLD", arg, shown), call)
  }
  value
}

# A whole number of at least `lowest` that fits a C int.
check_count <- function(value, arg, lowest = 1L, call = sys.call(-1)) {
  ok <- is.numeric(value) && length(value) == 1L && !is.na(value) &&
    value == trunc(value) && value >= lowest && value <= .Machine$integer.max
  if (!ok) {
    shown <- if (is.numeric(value) && length(value) == 1L) format(value, digits = 15) else
      class(value)[1L]
    refuse(policy_text("WHOLE_NUMBER", arg, shown, low = lowest,
                       high = .Machine$integer.max), call)
  }
  as.integer(value)
}

check_flag <- function(value, arg, call = sys.call(-1)) {
  if (!is.logical(value) || length(value) != 1L || is.na(value)) {
    refuse(sprintf("%s must be TRUE or FALSE", arg), call)
  }
  value
}

# Data as a double vector (one row) or a double matrix (one row per row).
# Data frames must hold numeric columns only; integers become doubles.
as_rows <- function(x, arg, call = sys.call(-1)) {
  if (is.data.frame(x)) {
    numeric <- vapply(x, is.numeric, logical(1L))
    if (!all(numeric)) {
      first <- which(!numeric)[[1L]]
      refuse(sprintf("%s: column %d (%s) is not numeric", arg, first, names(x)[[first]]), call)
    }
    x <- as.matrix(x)
  }
  if (is.logical(x) || is.character(x) || is.complex(x)) {
    refuse(policy_text("NOT_REAL", arg, if (is.character(x)) "string" else typeof(x)), call)
  }
  if (!is.numeric(x) || is.object(x) && !is.matrix(x)) {
    refuse(sprintf("%s must be a numeric vector, matrix or data frame, not %s",
                 arg, class(x)[[1L]]), call)
  }
  if (!is.null(dim(x)) && length(dim(x)) != 2L) {
    if (length(dim(x)) != 1L) {
      refuse(sprintf("%s must be a vector or a matrix, not an array of %d dimensions",
                   arg, length(dim(x))), call)
    }
    x <- as.vector(x)
  }
  if (!is.double(x)) storage.mode(x) <- "double"
  x
}
