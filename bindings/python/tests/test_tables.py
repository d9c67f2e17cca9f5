# Tables go through the library row by row in compiled code: every row must
# give the bits of a single call and of the C library, on data with ties
# (values drawn from a coarse grid), NaN (when allowed), -0.0 and the ends.
import itertools

import numpy as np
import pytest
from hypothesis import given, settings, strategies as st

import vantor
from conftest import array_bits, bits
from vantor._modes import AGGREGATIONS, COMBINATIONS, CONTIFIER_KERNELS, RELATIONS

GRID = np.array([0.0, -0.0, 0.25, 0.5, 0.75, 1.0, 0.1, 1.0 / 3.0])


def table(seed, rows, m, signed=False, nan=False):
    rng = np.random.default_rng(seed)
    values = np.where(rng.random((rows, m)) < 0.5, rng.choice(GRID, (rows, m)),
                      rng.random((rows, m)))
    if signed:
        values *= rng.choice([-1.0, 1.0], (rows, m))
    if nan:
        values[rng.random((rows, m)) < 0.05] = np.nan
    return values


CONTIFY_MODES = list(itertools.product(range(3), range(3), [0.0, 0.25, 0.5]))
DINORM_MODES = list(itertools.product(range(3), range(4), [0.0, 0.25], [0.0, 0.3]))


@pytest.mark.parametrize("relation, kernel, threshold", CONTIFY_MODES)
@pytest.mark.parametrize("nan", [False, True])
def test_contify_rows_match_single_calls_and_the_c_library(c_library, relation, kernel,
                                                            threshold, nan):
    a, b = table(1, 60, 7, nan=nan), table(2, 60, 7, nan=nan)
    options = dict(relation=RELATIONS[relation], kernel=CONTIFIER_KERNELS[kernel],
                   threshold=threshold, allow_nan=True)
    rows = vantor.contify(a, b, **options)
    assert rows.dtype == np.float64 and rows.shape == (60,)
    singles = [vantor.contify(x, y, **options) for x, y in zip(a, b)]
    reference = [c_library.contify(x, y, relation, kernel, threshold) for x, y in zip(a, b)]
    assert array_bits(rows) == array_bits(singles) == array_bits(reference)


@pytest.mark.parametrize("relation, kernel", list(itertools.product(range(3), range(3))))
def test_one_profile_against_many_rows(relation, kernel):
    profile, rows = table(3, 1, 9)[0], table(4, 40, 9)
    options = dict(relation=RELATIONS[relation], kernel=CONTIFIER_KERNELS[kernel], threshold=0.25)
    for got, want in [(vantor.contify(profile, rows, **options),
                       [vantor.contify(profile, r, **options) for r in rows]),
                      (vantor.contify(rows, profile, **options),
                       [vantor.contify(r, profile, **options) for r in rows])]:
        assert array_bits(got) == array_bits(want)


@pytest.mark.parametrize("aggregation, combination, threshold, band", DINORM_MODES)
@pytest.mark.parametrize("nan", [False, True])
def test_dinorm_rows_match_single_calls_and_the_c_library(c_library, aggregation, combination,
                                                          threshold, band, nan):
    values = table(5, 50, 6, signed=True, nan=nan)
    options = dict(aggregation=AGGREGATIONS[aggregation], combination=COMBINATIONS[combination],
                   threshold=threshold, neutral_band=band, allow_nan=True)
    got = vantor.dinorm(values, **options)
    assert isinstance(got, vantor.Dinorm) and all(part.shape == (50,) for part in got)
    singles = np.array([vantor.dinorm(row, **options) for row in values])
    reference = np.array([c_library.dinorm(row, aggregation, combination, threshold, band)
                          for row in values])
    assert array_bits(np.column_stack(got)) == array_bits(singles) == array_bits(reference)


@pytest.mark.parametrize("two_sided", [False, True])
def test_cluster_matches_the_c_library(c_library, two_sided):
    items = table(6, 300, 5, signed=two_sided)
    seeds = items[:4].copy() if not two_sided else np.abs(items[:4])
    run = vantor.cluster(items, seeds, threshold=0.25, max_passes=7, two_sided=two_sided)
    prototypes, labels, sims, info = c_library.cluster(items, seeds, 0.25, 7, two_sided)
    assert array_bits(run.prototypes) == array_bits(prototypes)
    assert run.assignments.tolist() == (labels.tolist() if two_sided else labels[0].tolist())
    assert array_bits(run.similarities) == array_bits(sims if two_sided else sims[0])
    assert (run.converged, run.passes) == (bool(info[0]), int(info[1]))


def test_empty_tables():
    assert vantor.contify(np.zeros((0, 3)), np.zeros((0, 3))).shape == (0,)
    assert vantor.contify(np.zeros((4, 0)), np.zeros((4, 0))).tolist() == [0.0] * 4
    assert [part.shape for part in vantor.dinorm(np.zeros((0, 2)))] == [(0,)] * 3


degrees = st.floats(0.0, 1.0) | st.sampled_from([0.0, -0.0, 0.5, 1.0])


@settings(max_examples=60, deadline=None, database=None)
@given(st.integers(1, 6).flatmap(lambda m: st.lists(
    st.tuples(st.lists(degrees, min_size=m, max_size=m), st.lists(degrees, min_size=m,
                                                                  max_size=m)),
    min_size=1, max_size=8)), st.integers(0, 2), st.integers(0, 2), st.sampled_from([0.0, 0.5]))
def test_any_table_gives_the_bits_of_its_rows(pairs, relation, kernel, threshold):
    a = np.array([p[0] for p in pairs])
    b = np.array([p[1] for p in pairs])
    options = dict(relation=RELATIONS[relation], kernel=CONTIFIER_KERNELS[kernel],
                   threshold=threshold)
    rows = vantor.contify(a, b, **options)
    assert [bits(x) for x in rows] == [bits(vantor.contify(x, y, **options)) for x, y in pairs]
