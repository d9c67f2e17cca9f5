"""Turning caller arguments into what the compiled module takes.

Shapes and sizes are checked on the caller's array as it is (a broadcast
or strided view costs nothing to look at), and only then is it converted,
once, to a C-contiguous native float64 array. Inputs already in that form
are passed without a copy.
"""

import math
import numbers
import operator

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
    when it already is one. Refuses masked values, sparse matrices and
    non-numbers; an object array holding only real numbers is converted."""
    if isinstance(value, (str, bytes)):
        raise ArgumentTypeError(f"{name} must be an array of numbers, got {_kind(value)}")
    if _is_sparse(value):
        raise ArgumentTypeError(f"{name} is a sparse matrix ({_kind(value)}); the library reads "
                                f"dense rows only: pass {name}.toarray()")
    value = unmasked(value, name)
    try:
        result = np.asarray(value)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name} must be an array of numbers: {error}") from None
    return real_numbers(result, name)


def unmasked(value, name):
    """The data under a mask that hides nothing; a mask that hides values
    is refused, since the library would read what lies under it."""
    if isinstance(value, np.ma.MaskedArray):
        masked = np.ma.count_masked(value)
        if masked:
            raise ValueError(f"{name} has {masked} masked values; "
                             f"fill them or drop those rows first")
        return value.data
    return value


def real_numbers(result, name):
    """`result` if its dtype holds real numbers; an object array of real
    numbers as float64. None, strings, complex numbers and other objects
    would turn into NaN, be parsed as text or lose their imaginary part."""
    kind = result.dtype.kind
    if kind in "biuf":
        return result
    if kind == "c":
        raise ArgumentTypeError(f"Complex data not supported: {name} must hold real numbers, "
                                f"got dtype {result.dtype}")
    if kind == "O":
        for item in result.flat:
            if isinstance(item, numbers.Real):
                continue
            reason = ""
            if not isinstance(item, (str, bytes, complex, np.complexfloating)):
                try:
                    float(item)
                    continue
                except (TypeError, ValueError) as error:
                    reason = f" ({error})"
            raise ArgumentTypeError(f"{name} must hold real numbers, got {_kind(item)} "
                                    f"{item!r} in an array of dtype object{reason}")
        return result.astype(np.float64)
    raise ArgumentTypeError(f"{name} must hold real numbers, got dtype {result.dtype}")


def _is_sparse(value):
    # Told by its type's module, so that scipy is never imported here.
    return type(value).__module__.startswith("scipy.sparse")


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


def matrix(value, name, row="item"):
    """A two-dimensional table read by the library, one `row` per row, rows
    within its limit."""
    result = array(value, name)
    if result.ndim != 2:
        hint = ("; reshape your data with .reshape(-1, 1) for one value per "
                f"{row}, or .reshape(1, -1) for one {row}" if result.ndim == 1 else "")
        raise ValueError(f"{name} must be two-dimensional (one {row} per row), got shape "
                         f"{result.shape}{hint}")
    dimensions(result, name, (2,))
    if result.shape[0] > INT_MAX:
        raise ValueError(f"{name} has {result.shape[0]} rows, more than the library's limit "
                         f"of {INT_MAX}")
    return result


def unit_interval(value, name):
    """A number in [0, 1] as a Python float. NaN is refused: the library
    would take it as a gate that lets nothing through. The bounds are
    compared on the value as given, before it is rounded to a float, so
    that 2**2000 is refused rather than overflowing and a long double just
    above 1 is not rounded into the range."""
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise ArgumentTypeError(f"{name} must be a number in [0, 1], got {_kind(value)} "
                                f"{value!r}")
    if value != value or value < 0 or value > 1:
        raise ValueError(f"{name} must be a number in [0, 1], got {describe(value)}")
    return float(value)


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
    """A number as a message shows it: repr of the Python float, or the
    integer's size when no float holds it."""
    try:
        number = float(value)
    except OverflowError:
        return f"an integer of {len(str(abs(int(value))))} digits"
    return "nan" if math.isnan(number) else repr(number)
