"""Turning caller arguments into what the compiled module takes.

Shapes and sizes are checked on the caller's array as it is (a broadcast
or strided view costs nothing to look at), and only then is it converted,
once, to a C-contiguous native float64 array. Inputs already in that form
are passed without a copy.
"""

import math
import numbers
import operator
import os

import numpy as np

from . import _vantor

INT_MAX = _vantor.INT_MAX  # the library's counts and dimensions are C ints


class ArgumentTypeError(TypeError, ValueError):
    """An argument of the wrong kind: a string, None or an object where a
    number or an array of numbers belongs. It is a TypeError, and also a
    ValueError, which is what such arguments raised before."""


def _kind(value):
    return type(value).__name__


def array(value, name):
    """The caller's value as a numpy array of real numbers, not yet copied
    when it already is one. Refuses masked values and non-numbers."""
    if isinstance(value, (str, bytes)):
        raise ArgumentTypeError(f"{name} must be an array of numbers, got {_kind(value)}")
    if isinstance(value, np.ma.MaskedArray):
        if np.ma.count_masked(value):
            raise ValueError(f"{name} has {np.ma.count_masked(value)} masked values; "
                             f"fill them or drop those rows first")
        value = value.data
    try:
        result = np.asarray(value)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name} must be an array of numbers: {error}") from None
    # None, strings, objects and complex numbers would turn into NaN,
    # garbage or lose their imaginary part.
    if result.dtype.kind not in "biuf":
        raise ArgumentTypeError(f"{name} must hold real numbers, got dtype {result.dtype}")
    return result


_FLOAT64 = np.dtype(np.float64)


def converted(value):
    """The array the library reads: C-contiguous, aligned, native float64."""
    if (type(value) is np.ndarray and value.dtype == _FLOAT64 and value.flags.c_contiguous
            and value.flags.aligned):
        return value  # the common case, without np.require's own cost
    return np.require(value, np.float64, ["C_CONTIGUOUS", "ALIGNED"])


def dimensions(value, name, allowed):
    if value.ndim not in allowed:
        wanted = " or ".join(("one", "two")[d - 1] for d in allowed) + "-dimensional"
        raise ValueError(f"{name} must be {wanted}, got shape {value.shape}")
    if value.ndim and value.shape[-1] > INT_MAX:
        raise ValueError(f"{name} has {value.shape[-1]} values per row, more than the "
                         f"library's limit of {INT_MAX}")


def matrix(value, name, row="row"):
    """A two-dimensional table read by the library, one `row` per row, rows
    within its limit."""
    result = array(value, name)
    if result.ndim != 2:
        raise ValueError(f"{name} must be two-dimensional (one row per {row}), got shape "
                         f"{result.shape}")
    dimensions(result, name, (2,))
    if result.shape[0] > INT_MAX:
        raise ValueError(f"{name} has {result.shape[0]} rows, more than the library's limit "
                         f"of {INT_MAX}")
    return result


def unit_interval(value, name):
    """A number in [0, 1] as a Python float. NaN is refused: the library
    would take it as a gate that lets nothing through."""
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise ArgumentTypeError(f"{name} must be a number in [0, 1], got {_kind(value)} "
                                f"{value!r}")
    number = float(value)
    if math.isnan(number) or number < 0.0 or number > 1.0:
        raise ValueError(f"{name} must be a number in [0, 1], got {describe(number)}")
    return number


def whole(value, name, low=None, high=INT_MAX):
    """A Python int from an integer (no floats, no bools), within bounds."""
    if isinstance(value, (bool, np.bool_)):
        raise ArgumentTypeError(f"{name} must be a whole number, got {value!r}")
    try:
        number = operator.index(value)
    except TypeError:
        raise ArgumentTypeError(f"{name} must be a whole number, got {value!r}") from None
    if (low is not None and number < low) or number > high:
        raise ValueError(f"{name} must be a whole number from {low} to {high}, got {number}")
    return number


def flag(value, name):
    if not isinstance(value, (bool, np.bool_)):
        raise ArgumentTypeError(f"{name} must be True or False, got {value!r}")
    return bool(value)


def describe(value):
    """A number as a message shows it: repr of the Python float."""
    value = float(value)
    return "nan" if math.isnan(value) else repr(value)


def threads(n_jobs):
    """The library's thread count for scikit-learn's n_jobs: None or -1 every
    core (0 to the library), a positive count itself, -2 all but one core
    and so on down (at least one)."""
    if n_jobs is None:
        return 0
    count = whole(n_jobs, "n_jobs", None, 1024)
    if count == 0:
        raise ValueError("n_jobs must not be 0: None or -1 for every core, 1 for one")
    if count > 0:
        return count
    if count == -1:
        return 0
    return max(1, (os.cpu_count() or 1) + 1 + count)
