"""Turning caller arguments into the arrays the entries take.

Inputs the library only reads are passed without a copy when they already
are C-contiguous, aligned, native float64 numpy arrays, and converted
otherwise (lists, tuples, other dtypes, strided views). Arrays the library
writes into are never converted: a silent copy would receive the result and
the caller's array would not, so they are checked and refused instead.
"""

import math
import operator

import numpy as np

INT_MAX = 2**31 - 1  # counts and dimensions travel as C int


def _numbers(value, name):
    try:
        array = np.asarray(value)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name} must be an array of numbers: {error}") from None
    # Refuse what numpy would otherwise turn into NaN (None) or garbage
    # (strings, objects, complex numbers losing their imaginary part).
    if array.dtype.kind not in "biuf":
        raise ValueError(f"{name} must hold real numbers, got dtype {array.dtype}")
    return np.require(array, np.float64, ["C_CONTIGUOUS", "ALIGNED"])


def _check_count(count, what):
    if count > INT_MAX:
        raise ValueError(f"{what} is {count}, more than the library's limit of {INT_MAX}")


def vector(value, name):
    """A one-dimensional float64 array for an input the library only reads."""
    array = _numbers(value, name)
    if array.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, got shape {array.shape}")
    _check_count(array.size, f"the length of {name}")
    return array


def matrix(value, name, row):
    """A two-dimensional float64 array, one `row` per row, read only."""
    array = _numbers(value, name)
    if array.ndim != 2:
        raise ValueError(f"{name} must be two-dimensional (one row per {row}), "
                         f"got shape {array.shape}")
    for count, what in zip(array.shape, ("rows", "values per row")):
        _check_count(count, f"the number of {what} of {name}")
    return array


def writable_matrix(value, name):
    """The caller's own array, checked for being updated in place."""
    if not isinstance(value, np.ndarray):
        raise ValueError(
            f"{name} must be a numpy array to be updated in place, got {type(value).__name__}")
    problems = []
    if value.dtype != np.dtype(np.float64):
        problems.append(f"dtype is {value.dtype}, not float64")
    if value.ndim != 2:
        problems.append(f"shape is {value.shape}, not two-dimensional")
    if not value.flags.c_contiguous:
        problems.append("it is not C-contiguous")
    if not value.flags.aligned:
        problems.append("it is not aligned")
    if not value.flags.writeable:
        problems.append("it is read-only")
    if problems:
        raise ValueError(f"{name} cannot be updated in place: " + "; ".join(problems))
    for count, what in zip(value.shape, ("rows", "values per row")):
        _check_count(count, f"the number of {what} of {name}")
    return value


def real(value, name):
    """A Python float from a number, with a message naming the argument."""
    if isinstance(value, (bool, np.bool_)):
        raise ValueError(f"{name} must be a number, got {value!r}")
    try:
        return float(value)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a number, got {value!r}") from None


def whole(value, name):
    """A Python int from an integer (no floats, no bools)."""
    if isinstance(value, (bool, np.bool_)):
        raise ValueError(f"{name} must be a whole number, got {value!r}")
    try:
        return operator.index(value)
    except TypeError:
        raise ValueError(f"{name} must be a whole number, got {value!r}") from None


def first_outside(array, low, high):
    """Index of the first value below low or above high (NaN is neither)."""
    with np.errstate(invalid="ignore"):
        outside = np.flatnonzero((array < low) | (array > high))
    return int(outside[0]) if outside.size else None


def describe(value):
    """A number as a message shows it: repr of the Python float."""
    value = float(value)
    return "nan" if math.isnan(value) else repr(value)
