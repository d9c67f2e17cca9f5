import math

import numpy as np
import pytest

import vantor
from conftest import bits

# (what it pins down, first, second, keyword arguments, degree)
KNOWN = [
    ("mutual Type1: sum of minima over sum of maxima",
     [0.5, 1.0], [0.25, 1.0], dict(relation="mutual"), 1.25 / 1.5),
    ("the default is first in second, Type1, gate 0",
     [0.5, 0.25], [0.25, 1.0], {}, 0.5 / 0.75),
    ("second in first exchanges the vectors",
     [0.25, 1.0], [0.5, 0.25], dict(relation="second_in_first"), 0.5 / 0.75),
    ("a gate of 0.5 leaves out first values below it",
     [0.25, 0.5, 1.0], [0.0, 0.25, 0.75], dict(threshold=0.5), 1.0 / 1.5),
    ("directed Type0 takes the product when second < first",
     [0.5], [0.25], dict(kernel="type0"), 0.25),
    ("directed Type2 takes first*((second+1)-first)",
     [0.5], [0.25], dict(kernel="type2"), 0.375 / 0.5),
    ("no position passes the gate: 0",
     [0.25], [1.0], dict(threshold=0.5), 0.0),
    ("empty vectors give 0",
     [], [], {}, 0.0),
]


@pytest.mark.parametrize("what, first, second, options, degree", KNOWN, ids=[k[0] for k in KNOWN])
def test_known_degrees(what, first, second, options, degree):
    assert bits(vantor.contify(first, second, **options)) == bits(degree), what


@pytest.mark.parametrize("spelling", ["First-In-Second", "second in first", "type0", "MUTUAL",
                                      "mutual ", 0, 2, 1.0])
def test_only_the_header_names_select_a_relation(spelling):
    # One spelling per mode in every host: other cases, separators, the
    # "type<number>" of another vocabulary and bare numbers are refused.
    with pytest.raises(ValueError, match='relation must be one of mutual, first_in_second, '
                                         'second_in_first; got'):
        vantor.contify([0.3, 0.9], [0.8, 0.2], relation=spelling)


def test_every_input_form_gives_the_same_bits():
    first, second = [0.125, 0.75, 0.375, 0.875], [0.625, 0.25, 0.375, 0.9375]
    want = bits(vantor.contify(first, second, relation="mutual", kernel="type2"))
    strided = np.zeros(8)
    strided[::2] = first
    forms = [tuple(first), np.array(first), np.array(first, dtype=np.float32),
             strided[::2], np.array(first).astype(">f8")]
    for form in forms:
        assert bits(vantor.contify(form, second, relation="mutual", kernel="type2")) == want


def test_inputs_are_left_as_they_were():
    first, second = np.array([0.5, 1.0]), np.array([0.25, 1.0])
    vantor.contify(first, second)
    assert first.tolist() == [0.5, 1.0] and second.tolist() == [0.25, 1.0]


@pytest.mark.parametrize("first, second, options, message", [
    ([0.5, 1.2], [0.2, 0.3], {}, r"first\[1\] = 1.2 lies outside \[0, 1\]"),
    ([0.5, 0.2, 0.1], [0.2, 0.3, -0.5], {}, r"second\[2\] = -0.5 lies outside"),
    ([0.5, 0.2, 2.0], [0.2, -0.3, 0.5], {}, r"second\[1\] = -0.3"),
    ([0.5, 0.2], [0.2], {}, "same length, got 2 and 1"),
    ([[[0.5]]], [[[0.2]]], {}, r"first must be one or two-dimensional, got shape \(1, 1, 1\)"),
    ([0.5], [0.2], dict(threshold=1.5), r"threshold must be a number in \[0, 1\], got 1.5"),
    ([0.5], [0.2], dict(threshold=math.nan), r"threshold must be a number in \[0, 1\], got nan"),
    ([0.5], [0.2], dict(threshold="high"), "threshold must be a number"),
    ([0.5], [0.2], dict(relation=3), 'relation must be one of .* got "3"'),
    ([0.5], [0.2], dict(kernel="lukasiewicz"), 'kernel must be one of .* got "lukasiewicz"'),
    ([0.5], [0.2], dict(kernel=True), "kernel must be one of"),
    ([None], [0.2], {}, "first must hold real numbers"),
    (["0.5"], [0.2], {}, "first must hold real numbers"),
])
def test_refusals_say_what_was_wrong(first, second, options, message):
    with pytest.raises(ValueError, match=message):
        vantor.contify(first, second, **options)


def test_a_refused_threshold_keeps_the_previous_call_working():
    with pytest.raises(ValueError):
        vantor.contify([0.5], [0.25], threshold=-0.1)
    assert vantor.contify([0.5], [0.25], kernel="type0") == 0.25
