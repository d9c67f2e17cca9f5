# vantor.dask holds each chunk to what the array declares and to the policy
# of arrays in memory, and hands the scheduler one small task per chunk.
import math

import numpy as np
import pytest

import vantor

da = pytest.importorskip("dask.array")
vantor_dask = pytest.importorskip("vantor.dask")

ITEMS = np.random.default_rng(4).random((100, 3))
SEEDS = ITEMS[:2].copy()


def declared(function, dtype=float):
    """A 100-row array in chunks of 25 declared as float64 whose third chunk
    (rows 50 to 74) is really `function`'s."""
    def third(block, block_id=None):
        return function(block) if block_id[0] == 2 else block
    return da.from_array(ITEMS, chunks=(25, -1)).map_blocks(third, dtype=dtype)


def with_inf(block):
    block = block.copy()
    block[3, 1] = math.inf
    return block


MASK = np.zeros(ITEMS.shape, bool)
MASK[60, 2] = True

# (dask array of items, exception, message)
REFUSED = [
    (da.ma.masked_array(da.from_array(ITEMS, chunks=(25, -1)), mask=MASK), ValueError,
     r"^items: masked value at row 60, column 2$"),
    (declared(lambda b: b.astype(str)), TypeError,
     r"^items: the chunk of rows 50 to 74 holds dtype <U32, but the array declares float64$"),
    (declared(lambda b: b.astype(object)), TypeError,
     r"^items: the chunk of rows 50 to 74 holds dtype object, but the array declares float64$"),
    (declared(lambda b: b + 1j), TypeError, r"holds dtype complex128, but the array declares"),
    (declared(lambda b: b[:24]), ValueError,
     r"^items: the chunk of rows 50 to 74 has shape \(24, 3\), but the array declares \(25, 3\)$"),
    (declared(with_inf), ValueError, r"^items: infinite value inf at row 53, column 1$"),
    (da.from_array(ITEMS, chunks=(25, -1)).astype(complex), TypeError,
     r"^items must hold real numbers, got dtype complex128$"),
]


@pytest.mark.parametrize("items, error, message", REFUSED)
def test_chunks_are_checked_as_they_really_are(items, error, message):
    with pytest.raises(error, match=message):
        vantor_dask.cluster(items, SEEDS)
    with pytest.raises(error, match=message):
        vantor_dask.assign(items, SEEDS)


def test_infinite_prototypes_are_refused_before_any_task_runs():
    seeds = SEEDS.copy()
    seeds[1, 0] = -math.inf
    with pytest.raises(ValueError, match=r"^prototypes: infinite value -inf at row 1, column 0$"):
        vantor_dask.cluster(da.from_array(ITEMS, chunks=(25, -1)), seeds)


def test_a_mask_that_hides_nothing_changes_no_bit():
    hidden_nothing = da.ma.masked_array(da.from_array(ITEMS, chunks=(10, -1)),
                                        mask=np.zeros(ITEMS.shape, bool))
    got = vantor_dask.cluster(hidden_nothing, SEEDS)
    assert got.prototypes.tobytes() == vantor.cluster(ITEMS, SEEDS).prototypes.tobytes()


def graph_sizes(chunks):
    items = da.from_array(np.tile(ITEMS[:1], (chunks, 1)), chunks=(1, -1))
    run = vantor_dask._Run(items, SEEDS, 0.0, False, False)
    scans = [run.scan(i, SEEDS, None)[0] for i in range(chunks)]
    return ({len(block.__dask_graph__()) for block in run.blocks},
            {len(scan.__dask_graph__()) for scan in scans})


def test_each_chunk_task_carries_a_graph_of_its_own_size():
    # Were every task to carry the array's whole graph, a pass over c chunks
    # would cost c squared; the size per task must not grow with c.
    few, many = graph_sizes(10), graph_sizes(2000)
    assert few == many
    assert max(few[1]) <= 3
