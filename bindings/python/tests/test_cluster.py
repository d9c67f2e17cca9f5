import math

import numpy as np
import pytest

import vantor

SEEDS = [[1.0, 0.0], [0.0, 1.0]]
ITEMS = [[0.9, 0.1], [0.2, 0.8], [1.0, 1.0]]


def test_one_sided_run_converges_and_leaves_the_seeds_alone():
    seeds = np.array(SEEDS)
    run = vantor.cluster(ITEMS, seeds)
    assert isinstance(run, vantor.Clustering)
    assert run.assignments.tolist() == [0, 1, 0]
    assert run.assignments.dtype == np.intc
    assert run.similarities.tolist() == pytest.approx([1.0 / 1.5, 1.0, 1.5 / 2.0], rel=1e-15)
    assert run.prototypes == pytest.approx(np.array([[0.95, 0.55], [0.2, 0.8]]), rel=1e-15)
    assert (run.converged, run.passes) == (True, 2)
    assert seeds.tolist() == SEEDS


@pytest.mark.parametrize("options", [dict(limit=1), dict(max_passes=1), dict(max_passes=1, limit=1)])
def test_the_limit_stops_the_run(options):
    run = vantor.cluster(ITEMS, SEEDS, **options)
    assert (run.converged, run.passes) == (False, 1)
    assert run.similarities.tolist() == pytest.approx([0.9 / 1.1, 0.8 / 1.2, 0.5], rel=1e-15)


def test_cycling_run_with_a_gate():
    run = vantor.cluster([[0.5], [0.0], [1.0], [0.25], [0.5]], [[0.5], [0.5], [1.0]],
                         threshold=0.5, limit=3)
    assert run.assignments.tolist() == [1, 0, 2, 2, 1]
    assert run.prototypes.ravel().tolist() == [0.0, 0.5, 0.625]
    assert (run.converged, run.passes) == (False, 3)


def test_in_place_refines_the_callers_array():
    seeds = np.array(SEEDS)
    run = vantor.cluster(ITEMS, seeds, in_place=True)
    assert run.prototypes is seeds
    assert seeds == pytest.approx(np.array([[0.95, 0.55], [0.2, 0.8]]), rel=1e-15)


def test_in_place_with_items_sharing_the_prototypes_memory():
    data = np.array([[0.25], [0.75]])
    run = vantor.cluster(data, data, in_place=True)
    assert run.assignments.tolist() == [0, 1] and data.ravel().tolist() == [0.25, 0.75]


@pytest.mark.parametrize("seeds, message", [
    (SEEDS, "must be a numpy array to be updated in place, got list"),
    (np.array(SEEDS, dtype=np.float32), "dtype is float32, not float64"),
    (np.asfortranarray([[1.0, 0.0, 0.5], [0.0, 1.0, 0.5]])[:, :2], "not C-contiguous"),
    (np.array(SEEDS).ravel(), r"shape is \(4,\), not two-dimensional"),
])
def test_in_place_refuses_arrays_it_would_have_to_copy(seeds, message):
    with pytest.raises(ValueError, match=message):
        vantor.cluster(ITEMS, seeds, in_place=True)


def test_in_place_refuses_a_read_only_array():
    seeds = np.array(SEEDS)
    seeds.flags.writeable = False
    with pytest.raises(ValueError, match="read-only"):
        vantor.cluster(ITEMS, seeds, in_place=True)


def test_two_sided_run_splits_each_item():
    run = vantor.cluster([[0.3, 0.0, 0.9], [0.2, 0.4, 0.0], [0.0, 0.0, 0.0]],
                         [[0.1, 0.2, 0.3], [0.9, 0.1, 0.5]], two_sided=True)
    negative, positive = run.assignments
    assert negative.tolist() == [0, 0, 0] and positive.tolist() == [1, 0, 0]
    assert run.similarities[0].tolist() == [0.0, 0.0, 0.0]
    assert run.similarities[1].tolist() == pytest.approx([1.0, 0.2, 0.0], rel=1e-15)
    assert run.prototypes == pytest.approx(np.array([[0.04, 0.08, 0.0], [0.3, 0.0, 0.9]]),
                                           rel=1e-15)
    assert (run.converged, run.passes) == (True, 2)


def test_two_sided_single_prototype_holds_every_part():
    run = vantor.cluster([[0.5, -0.5], [-1.0, 1.0]], [[0.2, 0.2]], two_sided=True)
    assert run.prototypes.tolist() == [[0.375, 0.375]]
    assert run.assignments.tolist() == [[0, 0], [0, 0]]


def test_assign_measures_against_the_prototypes_as_given():
    seeds = np.array(SEEDS)
    found = vantor.assign(ITEMS, seeds)
    assert isinstance(found, vantor.Assignment)
    assert found.assignments.tolist() == [0, 1, 0]
    assert found.similarities.tolist() == pytest.approx([0.9 / 1.1, 0.8 / 1.2, 0.5], rel=1e-15)
    assert seeds.tolist() == SEEDS


def test_assign_two_sided_and_unassignable_items():
    seeds = [[math.nan, 0.0], [math.nan, 1.0]]
    with pytest.raises(ValueError, match="prototypes: NaN at row 0, column 0"):
        vantor.assign([[0.9, -0.1]], seeds, two_sided=True)
    found = vantor.assign([[0.9, -0.1]], seeds, two_sided=True, allow_nan=True)
    assert found.assignments.tolist() == [[-1], [-1]]
    assert found.similarities.tolist() == [[-1.0], [-1.0]]


@pytest.mark.parametrize("items, seeds, options, message", [
    (ITEMS, [[1.0, 0.0, 0.0]], {}, "items have 2 values per row but prototypes have 3"),
    ([0.9, 0.1], SEEDS, {}, r"items must be two-dimensional .* got shape \(2,\)"),
    (np.zeros((0, 2)), SEEDS, {}, "at least one row"),
    (ITEMS, np.zeros((0, 2)), {}, "at least one row"),
    (np.zeros((3, 0)), np.zeros((2, 0)), {}, "at least one value"),
    (ITEMS, SEEDS, dict(limit=0), "limit must be a whole number from 1"),
    (ITEMS, SEEDS, dict(limit=2.5), "limit must be a whole number"),
    (ITEMS, SEEDS, dict(limit=2**31), "limit must be a whole number from 1"),
    (ITEMS, SEEDS, dict(threshold=-0.5), r"threshold must be a number in \[0, 1\], got -0.5"),
    (ITEMS, SEEDS, dict(max_passes=0), "max_passes must be a whole number from 1"),
    (ITEMS, SEEDS, dict(max_passes=3, limit=4), "give max_passes or its older name limit"),
    ([[0.5, math.nan]], SEEDS, {}, "items: NaN at row 0, column 1"),
])
def test_refusals_say_what_was_wrong(items, seeds, options, message):
    with pytest.raises(ValueError, match=message):
        vantor.cluster(items, seeds, **options)
