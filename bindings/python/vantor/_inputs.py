"""Turning caller arguments into what the compiled module takes.

Shapes and sizes are checked on the caller's array as it is (a broadcast
or strided view costs nothing to look at), and only then is it converted,
once, to a C-contiguous native float64 array. Inputs already in that form
are passed without a copy.
"""

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


def message(kind, name, value="", family=-1, low=0, high=0):
    """One of the library's refusal texts, with this host's argument name."""
    return _vantor.message(kind, name, str(value), family, low, high)


# What each dtype kind that is not a real number is called in refusals.
_KIND_WORDS = {"c": "complex", "U": "string", "S": "string", "O": "object", "M": "datetime",
               "m": "timedelta", "V": "void"}


def array(value, name):
    """The caller's value as a numpy array of real numbers, not yet copied
    when it already is one. Refuses masked values, sparse matrices and
    non-numbers; an object array holding only real numbers is converted."""
    if isinstance(value, (str, bytes)):
        raise ArgumentTypeError(f"{name} must be an array of numbers, got {_kind(value)}")
    if _is_sparse(value):
        raise ArgumentTypeError(
            message(_vantor.MESSAGE_NOT_REAL, name, f"a sparse matrix ({_kind(value)})") +
            f"; the library reads dense rows only: pass {name}.toarray()")
    value = unmasked(value, name)
    try:
        result = np.asarray(value)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name} must be an array of numbers: {error}") from None
    return real_numbers(result, name)


def unmasked(value, name, first_row=0):
    """The data under a mask that hides nothing; a mask that hides values
    is refused, since the library would read what lies under it. Rows are
    named from first_row (a Dask chunk names them as its array does)."""
    if isinstance(value, np.ma.MaskedArray):
        hidden = np.ma.getmaskarray(value)
        if hidden.any():
            where = np.argwhere(hidden.reshape(-1, hidden.shape[-1]) if hidden.ndim else
                                hidden.reshape(1, 1))[0]
            raise ValueError(_vantor.place_text(_vantor.MESSAGE_MASKED, name,
                                                int(first_row + where[0]), int(where[1])))
        return value.data
    return value


def real_numbers(result, name):
    """`result` if its dtype holds real numbers; an object array of real
    numbers as float64. None, strings, complex numbers and other objects
    would turn into NaN, be parsed as text or lose their imaginary part."""
    kind = result.dtype.kind
    if kind in "biuf":
        return result
    got = _KIND_WORDS.get(kind, str(result.dtype))
    if kind == "c":
        # scikit-learn's words after the library's, which its checks look for.
        raise ArgumentTypeError(message(_vantor.MESSAGE_NOT_REAL, name, got) +
                                " (Complex data not supported)")
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
                    reason = f": {error}"
            raise ArgumentTypeError(message(_vantor.MESSAGE_NOT_REAL, name, got) +
                                    f" ({_kind(item)} {item!r}{reason})")
        return result.astype(np.float64)
    raise ArgumentTypeError(message(_vantor.MESSAGE_NOT_REAL, name, got))


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
        hint = (f"; Reshape your data: .reshape(-1, 1) for one value per {row}, "
                f".reshape(1, -1) for a single {row}" if result.ndim == 1 else "")
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
    that 2**2000 is refused rather than overflowing, and a long double
    that no float holds is refused rather than rounded into the range."""
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise ArgumentTypeError(message(_vantor.MESSAGE_THRESHOLD, name,
                                        f"{_kind(value)} {value!r}"))
    if value != value or value < 0 or value > 1:
        raise ValueError(message(_vantor.MESSAGE_THRESHOLD, name, describe(value)))
    number = float(value)
    if number != value:
        raise ValueError(message(_vantor.MESSAGE_NOT_A_DOUBLE, name, describe(value)))
    return number


def whole(value, name, low=None, high=INT_MAX):
    """A Python int from an integer (no floats, no bools), within bounds."""
    lowest = 0 if low is None else low
    if isinstance(value, (bool, np.bool_)):
        raise ArgumentTypeError(message(_vantor.MESSAGE_WHOLE_NUMBER, name, repr(value), -1,
                                        lowest, high))
    try:
        number = operator.index(value)
    except TypeError:
        raise ArgumentTypeError(message(_vantor.MESSAGE_WHOLE_NUMBER, name, repr(value), -1,
                                        lowest, high)) from None
    if (low is not None and number < low) or number > high:
        raise ValueError(message(_vantor.MESSAGE_WHOLE_NUMBER, name, number, -1, lowest, high))
    return number


def flag(value, name):
    if not isinstance(value, (bool, np.bool_)):
        raise ArgumentTypeError(f"{name} must be True or False, got {value!r}")
    return bool(value)


def describe(value):
    """A number as every host's messages show it (the library's shortest
    form that reads back), or the integer's size when no float holds it."""
    try:
        number = float(value)
    except OverflowError:
        return f"an integer of {len(str(abs(int(value))))} digits"
    if isinstance(value, np.floating) and number == number and number != value:
        return np.format_float_positional(value)  # wider than a float: all its digits
    return _vantor.format_double(number)


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
