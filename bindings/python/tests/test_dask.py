# vantor.dask against vantor.cluster on the whole array in memory, to the
# bit: many chunkings (one row per chunk, uneven, empty chunks), one- and
# two-sided, runs that converge and runs that stop at max_passes, on Dask's
# threaded scheduler and on a local process cluster, one of whose workers
# is killed in the middle of a run.
import os
import signal
import threading
import weakref

import numpy as np
import pytest

import vantor

da = pytest.importorskip("dask.array")
vantor_dask = pytest.importorskip("vantor.dask")


def problem(seed, n, m=5, k=4, two_sided=False):
    rng = np.random.default_rng(seed)
    low = -1.0 if two_sided else 0.0
    # Values on a coarse grid: ties between similarities and exact sums.
    items = np.round(rng.uniform(low, 1.0, (n, m)) * 8) / 8
    items[rng.random((n, m)) < 0.1] = -0.0
    seeds = np.abs(items[rng.choice(n, k, replace=False)]) + rng.uniform(0, 0.05, (k, m))
    return items, seeds


def chunkings(n, rng):
    uneven = []
    left = n
    while left > 0:
        size = int(min(left, rng.integers(1, 40)))
        uneven.append(size)
        left -= size
    with_empty = [0] + uneven[:1] + [0] + uneven[1:] + [0]
    return [(n,), (1,) * n, tuple(uneven), tuple(with_empty), (n - n // 2, n // 2)]


def same_bits(want, got):
    assert got.prototypes.tobytes() == want.prototypes.tobytes()
    assert np.array_equal(got.assignments, want.assignments)
    assert got.similarities.tobytes() == want.similarities.tobytes()
    assert (got.converged, got.passes) == (want.converged, want.passes)


@pytest.mark.parametrize("two_sided", [False, True])
@pytest.mark.parametrize("threshold, passes", [(0.0, 40), (0.25, 40), (0.25, 2)])
def test_every_chunking_gives_the_in_memory_bits(two_sided, threshold, passes):
    rng = np.random.default_rng(15)
    for seed in range(2):
        items, seeds = problem(seed, 50, two_sided=two_sided)
        want = vantor.cluster(items, seeds, threshold, passes, two_sided)
        for chunks in chunkings(len(items), rng):
            blocks = da.from_array(items, chunks=(chunks, -1))
            got = vantor_dask.cluster(blocks, seeds, threshold, passes, two_sided)
            same_bits(want, got)
            assert got.passes <= passes


def test_both_endings_are_exercised():
    items, seeds = problem(1, 90)
    assert vantor.cluster(items, seeds, 0.25, 40).converged
    assert not vantor.cluster(items, seeds, 0.25, 2).converged


def test_nan_payloads_in_the_sums_are_those_of_the_in_memory_run():
    items, seeds = problem(4, 40)
    payloads = [0x7ff8000000000001, 0x7ff8000000000002, 0x7ff8000000000003]
    for row, payload in zip((3, 17, 30), payloads):
        items[row, 1] = np.array([payload], dtype=np.uint64).view(np.float64)[0]
    want = vantor.cluster(items, seeds, 0.0, 40, allow_nan=True)
    for chunks in [(40,), (1,) * 40, (10, 0, 30)]:
        got = vantor_dask.cluster(da.from_array(items, chunks=(chunks, -1)), seeds, 0.0, 40,
                                  allow_nan=True)
        same_bits(want, got)


def test_columns_in_chunks_and_other_dtypes_are_joined_and_converted():
    items, seeds = problem(5, 50, m=6)
    want = vantor.cluster(items.astype(np.float32), seeds)
    got = vantor_dask.cluster(da.from_array(items.astype(np.float32), chunks=(7, 2)), seeds)
    same_bits(want, got)


@pytest.mark.parametrize("two_sided", [False, True])
def test_assign_equals_the_in_memory_assign(two_sided):
    items, seeds = problem(6, 70, two_sided=two_sided)
    want = vantor.assign(items, seeds, 0.125, two_sided)
    got = vantor_dask.assign(da.from_array(items, chunks=((9, 0, 61), -1)), seeds, 0.125,
                             two_sided)
    assert np.array_equal(got.assignments, want.assignments)
    assert got.similarities.tobytes() == want.similarities.tobytes()


def test_refusals_name_the_argument_and_the_row():
    items, seeds = problem(7, 30)
    items[21, 3] = np.nan
    blocks = da.from_array(items, chunks=(10, -1))
    with pytest.raises(ValueError, match=r"items: NaN at row 21, column 3"):
        vantor_dask.cluster(blocks, seeds)
    with pytest.raises(ValueError, match=r"threshold must be a number in \[0, 1\], got nan"):
        vantor_dask.cluster(blocks, seeds, threshold=float("nan"))
    with pytest.raises(TypeError, match="dask array"):
        vantor_dask.cluster(items, seeds)
    with pytest.raises(ValueError, match="values per row"):
        vantor_dask.cluster(blocks, seeds[:, :2])
    same_bits(vantor.cluster(items, seeds, 0.0, 3, allow_nan=True),
              vantor_dask.cluster(blocks, seeds, limit=3, allow_nan=True))


def test_the_fold_holds_a_few_chunks_at_a_time_however_many_there_are():
    # Each chunk is made by a task and counted while alive; made ahead of
    # the sequential fold, all 64 would wait in memory at once.
    import dask
    items, seeds = problem(11, 640)
    lock, live, most = threading.Lock(), [0], [0]

    def gone():
        with lock:
            live[0] -= 1

    def made(block):
        fresh = block.copy()
        with lock:
            live[0] += 1
            most[0] = max(most[0], live[0])
        weakref.finalize(fresh, gone)
        return fresh

    blocks = da.from_array(items, chunks=(10, -1)).map_blocks(made, dtype=items.dtype)
    with dask.config.set(scheduler="threads", num_workers=2):
        got = vantor_dask.cluster(blocks, seeds, 0.125, 40)
    same_bits(vantor.cluster(items, seeds, 0.125, 40), got)
    assert got.passes >= 3
    assert 1 <= most[0] <= 8


@pytest.fixture(scope="module")
def process_cluster():
    distributed = pytest.importorskip("distributed")
    if "libasan" in os.environ.get("LD_PRELOAD", ""):
        # Worker processes never come up under the sanitizer's preload (the
        # run hangs); the threaded cases above exercise the same extension.
        pytest.skip("process workers do not start under the AddressSanitizer preload")
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                       host="127.0.0.1", dashboard_address="127.0.0.1:0",
                                       silence_logs=40)
    client = distributed.Client(cluster)
    try:
        yield client
    finally:
        client.close()
        cluster.close()


@pytest.mark.parametrize("two_sided", [False, True])
def test_process_workers_give_the_in_memory_bits(process_cluster, two_sided):
    items, seeds = problem(8, 300, two_sided=two_sided)
    want = vantor.cluster(items, seeds, 0.25, 40, two_sided)
    blocks = da.from_array(items, chunks=((37, 0, 100, 1, 162), -1))
    got = vantor_dask.cluster(blocks, seeds, 0.25, 40, two_sided)
    same_bits(want, got)
    assert len(process_cluster.scheduler_info()["workers"]) == 2


def test_a_worker_killed_mid_run_changes_no_bit(process_cluster, monkeypatch):
    items, seeds = problem(9, 400)
    want = vantor.cluster(items, seeds, 0.125, 40)
    assert want.passes >= 3
    killed = []

    def kill_one_worker(finished_pass):
        # After the first pass the per-row results live on the workers;
        # the killed one's are recomputed from their lineage.
        if finished_pass == 1:
            pids = process_cluster.run(os.getpid)
            pid = sorted(pids.values())[0]
            os.kill(pid, signal.SIGKILL)
            killed.append(pid)

    monkeypatch.setattr(vantor_dask, "_after_pass", kill_one_worker)
    got = vantor_dask.cluster(da.from_array(items, chunks=(25, -1)), seeds, 0.125, 40)
    assert killed
    same_bits(want, got)
    process_cluster.wait_for_workers(2, timeout=60)


@pytest.mark.parametrize("two_sided", [False, True])
def test_kmeans_fits_a_dask_array_as_its_rows_in_memory(two_sided):
    items, seeds = problem(10, 120, two_sided=two_sided)
    blocks = da.from_array(items, chunks=((50, 0, 70), -1))
    model = dict(n_clusters=4, init=seeds, threshold=0.125, max_iter=40, two_sided=two_sided)
    want = vantor.SimilarityKMeans(**model).fit(items)
    got = vantor.SimilarityKMeans(**model).fit(blocks)
    assert got.cluster_centers_.tobytes() == want.cluster_centers_.tobytes()
    assert np.array_equal(got.labels_, want.labels_)
    assert got.similarities_.tobytes() == want.similarities_.tobytes()
    assert (got.n_iter_, got.converged_) == (want.n_iter_, want.converged_)
    assert got.total_similarity_ == want.total_similarity_
    assert np.array_equal(got.predict(blocks), want.predict(items))
    with pytest.raises(ValueError, match="init must be an array"):
        vantor.SimilarityKMeans(n_clusters=4).fit(blocks)
