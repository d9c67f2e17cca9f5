import math

import numpy as np
import pytest

import vantor
from conftest import bits

VALUES = [0.5, -0.125, 0, -0.5, 0.25, -0.75]

# (aggregation, combination, threshold, neutral band, expected result)
KNOWN = [
    ("extreme", "dominant", 0.25, 0.25, (-0.75, 0.5, -0.75)),
    ("extreme", "certainty_factor", 0.25, 0.25, (-0.75, 0.5, -0.5)),
    ("extreme", "sum", 0.25, 0.25, (-0.75, 0.5, -0.25)),
    ("extreme", "reinforced_sum", 0.25, 0.25, (-0.75, 0.5, -0.34375)),
    ("bounded", "certainty_factor", 0.25, 0.25, (-1.0, 0.75, -1.0)),
    ("extreme", "reinforced_sum", 0.25, 0.3, (-0.75, 0.5, 0.0)),
]


@pytest.mark.parametrize("aggregation, combination, threshold, band, expected", KNOWN)
def test_known_results(aggregation, combination, threshold, band, expected):
    got = vantor.dinorm(VALUES, aggregation=aggregation, combination=combination,
                        threshold=threshold, neutral_band=band)
    assert isinstance(got, vantor.Dinorm)
    assert [bits(x) for x in got] == [bits(x) for x in expected]


def test_probabilistic_sum_of_two_halves():
    got = vantor.dinorm(np.array([0.5, 0.5, -0.5]), aggregation="probabilistic", combination="sum")
    assert got == (-0.5, 0.75, 0.25)
    assert got.negative == -0.5 and got.positive == 0.75 and got.combined == 0.25


def test_empty_vector_is_all_zero():
    assert vantor.dinorm([]) == (0.0, 0.0, 0.0)


@pytest.mark.parametrize("values, options, message", [
    ([0.5, -1.5], {}, r"values\[1\] = -1.5 lies outside \[-1, 1\]"),
    ([0.5, math.inf], {}, r"values\[1\] = inf lies outside"),
    ([[[0.5]]], {}, "values must be one or two-dimensional"),
    ([0.5], dict(threshold=1.5), r"threshold must be a number in \[0, 1\], got 1.5"),
    ([0.5], dict(threshold=math.nan), r"threshold must be a number in \[0, 1\], got nan"),
    ([0.5], dict(neutral_band=-0.25), r"neutral_band must be a number in \[0, 1\], got -0.25"),
    ([0.5], dict(aggregation="mean"), "aggregation must be one of extreme"),
    ([0.5], dict(combination=4), 'combination must be one of .* got "4"'),
])
def test_refusals_say_what_was_wrong(values, options, message):
    with pytest.raises(ValueError, match=message):
        vantor.dinorm(values, **options)


def test_nan_values_are_refused_unless_allowed():
    with pytest.raises(ValueError, match=r"^values: NaN at index 1$"):
        vantor.dinorm([0.5, math.nan])
    assert vantor.dinorm([0.5, math.nan], allow_nan=True) == (0.0, 0.5, 0.5)
