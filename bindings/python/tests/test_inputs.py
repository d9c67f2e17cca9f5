# What callers hand over: every real form converts to the same bits, sizes
# are checked before anything is copied, and refusals name the argument, the
# row, the column and the value.
import math

import numpy as np
import pytest

import vantor

A = np.array([[0.125, 0.75, 0.375], [0.875, 0.0, 1.0]])
B = np.array([[0.625, 0.25, 0.375], [0.5, 0.5, 0.25]])


def test_every_table_form_gives_the_same_bits():
    want = vantor.contify(A, B, relation="mutual").tobytes()
    wide = np.zeros((2, 6))
    wide[:, ::2] = A
    forms = [A.tolist(), np.asfortranarray(A), A.astype(np.float32).astype(np.float64),
             wide[:, ::2], A.astype(">f8"), np.ma.masked_array(A, mask=False)]
    for form in forms:
        assert vantor.contify(form, B, relation="mutual").tobytes() == want
    assert vantor.contify((A * 8).astype(np.int64) / 8, B, relation="mutual").tobytes() == want


def test_sizes_are_checked_before_anything_is_copied():
    huge = np.broadcast_to(0.5, (2**31,))  # 16 GiB if it were copied
    with pytest.raises(ValueError, match="first has 2147483648 values per row, more than the "
                                         "library's limit of 2147483647"):
        vantor.contify(huge, [0.5])
    with pytest.raises(ValueError, match="same length, got 1073741824 and 1"):
        vantor.contify(huge[:2**30], [0.5])
    tall = np.broadcast_to(0.5, (2**20, 2**12))
    with pytest.raises(ValueError, match="first has 3 values but each row of second has 4096"):
        vantor.contify([0.5, 0.5, 0.5], tall)


# (call, the exception, its message)
REFUSALS = [
    (lambda: vantor.contify(A, B[:1]), ValueError,
     r"first and second must have the same shape, got \(2, 3\) and \(1, 3\)"),
    (lambda: vantor.contify([[0.5, 1.5]], [[0.5, 0.5]]), ValueError,
     r"^first\[0, 1\] = 1.5 lies outside \[0, 1\] \(row 0, column 1\)$"),
    (lambda: vantor.contify(A, [[0.5, 0.5, 0.5], [0.5, -0.25, 0.5]]), ValueError,
     r"^second\[1, 1\] = -0.25 lies outside \[0, 1\] \(row 1, column 1\)$"),
    (lambda: vantor.contify([0.5, 2.0, 0.5], B), ValueError, r"^first\[1\] = 2.0 lies outside"),
    (lambda: vantor.contify(A, [[0.5, 0.5, 0.5], [0.5, 0.5, math.nan]]), ValueError,
     r"^second: NaN at row 1, column 2$"),
    (lambda: vantor.contify([0.5, math.nan], [0.5, 0.5]), ValueError,
     r"^first: NaN at index 1$"),
    (lambda: vantor.dinorm([[0.5, -0.5], [0.25, math.inf]]), ValueError,
     r"^values\[1, 1\] = inf lies outside \[-1, 1\] \(row 1, column 1\)$"),
    (lambda: vantor.dinorm([[0.5, math.nan]]), ValueError, r"^values: NaN at row 0, column 1$"),
    # The first refused value in row order, whichever table and reason.
    (lambda: vantor.contify([[0.5, 0.5], [0.5, math.nan]], [[0.5, 0.5], [math.nan, 0.5]]),
     ValueError, r"^second: NaN at row 1, column 0$"),
    (lambda: vantor.contify([[0.5, 0.5], [0.5, math.nan]], [[0.5, 7.0], [0.5, 0.5]]),
     ValueError, r"^second\[0, 1\] = 7.0 lies outside"),
    (lambda: vantor.dinorm(np.asfortranarray([[0.5, 2.0], [math.nan, 0.5]])), ValueError,
     r"^values\[0, 1\] = 2.0 lies outside"),
    (lambda: vantor.contify(np.ma.masked_array([0.5, 0.2], mask=[0, 1]), [0.5, 0.5]),
     ValueError, r"^first: masked value at row 0, column 1$"),
    (lambda: vantor.contify([0.5], [0.5], threshold="0.5"), TypeError,
     "threshold must be a number in \\[0, 1\\], got str '0.5'"),
    (lambda: vantor.dinorm([0.5], neutral_band=None), TypeError, "neutral_band must be a number"),
    (lambda: vantor.contify("0.5", [0.5]), TypeError, "first must be an array of numbers, got str"),
    (lambda: vantor.contify([1j], [0.5]), TypeError, "first must hold real numbers"),
    (lambda: vantor.contify([0.5], [0.5], allow_nan="yes"), TypeError, "allow_nan must be True"),
    (lambda: vantor.cluster(A, A, max_passes="3"), TypeError, "max_passes must be a whole number"),
    (lambda: vantor.contify([0.5], [0.5], relation="inside"), ValueError,
     'relation must be one of mutual, first_in_second, second_in_first; got "inside"'),
]


@pytest.mark.parametrize("call, error, message", REFUSALS)
def test_refusals_say_what_was_wrong(call, error, message):
    with pytest.raises(error, match=message):
        call()


def test_type_errors_are_also_value_errors_as_before():
    with pytest.raises(ValueError):
        vantor.contify([None], [0.5])
    assert issubclass(vantor.ArgumentTypeError, TypeError)


def test_mode_names_come_from_the_library():
    from vantor import _vantor
    assert _vantor.RELATION_NAMES == ("mutual", "first_in_second", "second_in_first")
    assert _vantor.SEEDING_NAMES == ("farthest", "kmeans++", "first")
    for name in _vantor.COMBINATION_NAMES:
        vantor.dinorm([0.5], combination=name)
        with pytest.raises(ValueError, match="combination must be one of"):
            vantor.dinorm([0.5], combination=name.upper())


def test_nan_goes_through_when_allowed():
    assert vantor.contify([0.5, math.nan], [0.5, 0.5], allow_nan=True) == 1.0
    assert math.isnan(vantor.contify([0.5], [math.nan], allow_nan=True))
