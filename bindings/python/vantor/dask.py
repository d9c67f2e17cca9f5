"""Clustering of dask arrays: runs spread over threads, processes or
machines that give vantor.cluster's result on the whole array to the bit,
for every chunking and any number of workers.

    >>> import dask.array as da, vantor.dask
    >>> items = da.from_array(data, chunks=(100_000, -1))
    >>> run = vantor.dask.cluster(items, seeds, threshold=0.25)

items is a two-dimensional dask array chunked by rows (chunks across the
columns are joined first). Each pass scans the chunks in parallel, one task
per chunk, against the same prototypes; then, if anything changed, a chain of
small tasks folds the chunks in row order into running k x m sums and k
counts, which are all that travels from one fold task to the next. A
parallel sum would round in another order and move the bits; this one
rounds exactly as the library does in memory. The client stops on the
library's rule: after a pass that changed nothing, or after max_passes.

Scheduler: whatever dask uses at the time of the call: the threaded
scheduler by default, or a distributed.Client made beforehand, e.g.
Client("tcp://scheduler-host:8786") for a cluster you run. Chunks are read
(or generated) by the workers; only prototypes, sums, counts and the
per-row results travel to the client.
"""

import numpy as np

from . import _inputs, _vantor
from .clustions import Assignment, Clustering, _max_passes

# Called with the number of each pass once its results are kept; tests use
# it to lose a worker in the middle of a run.
_after_pass = None


def cluster(items, prototypes, threshold=0.0, max_passes=40, two_sided=False, *, limit=None,
            allow_nan=False):
    """vantor.cluster for a dask array of items; same arguments, same result
    (a Clustering of numpy arrays), the same bits."""
    word, value = _max_passes(max_passes, limit)
    passes_allowed = _inputs.whole(value, word, 1)
    run = _Run(items, prototypes, threshold, two_sided, allow_nan)
    seeds = run.seeds
    states = [None] * len(run.blocks)
    passes = 0
    while True:
        passes += 1
        states, changed, updated = run.one_pass(seeds, states)
        if _after_pass is not None:
            _after_pass(passes)
        if changed:
            seeds = updated
        if not changed or passes == passes_allowed:
            break
    assignments, similarities = run.gather(states)
    return Clustering(seeds, assignments, similarities, not changed, passes)


def assign(items, prototypes, threshold=0.0, two_sided=False, *, allow_nan=False):
    """vantor.assign for a dask array of items: each item (or part) to its most
    similar prototype, the prototypes fixed. Returns Assignment."""
    run = _Run(items, prototypes, threshold, two_sided, allow_nan)
    import dask
    seeds = dask.delayed(run.seeds)
    scans = [run.scan(i, seeds, None) for i in range(len(run.blocks))]
    return Assignment(*run.gather([(scan[0], scan[1]) for scan in scans]))


class _Run:
    """The checked arguments of one run and the tasks of its passes."""

    def __init__(self, items, prototypes, threshold, two_sided, allow_nan):
        import dask.array as da

        self.threshold = _inputs.unit_interval(threshold, "threshold")
        self.two_sided = _inputs.flag(two_sided, "two_sided")
        self.allow_nan = _inputs.flag(allow_nan, "allow_nan")
        if not isinstance(items, da.Array):
            raise _inputs.ArgumentTypeError(
                f"items must be a dask array, got {type(items).__name__}; "
                f"use vantor.cluster for arrays in memory")
        if items.ndim != 2:
            raise ValueError(f"items must be two-dimensional (one row per item), got shape "
                             f"{items.shape}")
        if items.dtype.kind not in "biuf":
            raise _inputs.ArgumentTypeError(f"items must hold real numbers, got dtype "
                                            f"{items.dtype}")
        seeds = _inputs.matrix(prototypes, "prototypes", "prototype")
        (n, m), (k, m_seeds) = items.shape, seeds.shape
        if any(np.isnan(dimension) for dimension in (n, m)):
            raise ValueError("items must have known chunk sizes (call compute_chunk_sizes())")
        if n == 0 or k == 0 or m == 0:
            raise ValueError(f"items and prototypes need at least one row of at least one "
                             f"value, got shapes {items.shape} and {seeds.shape}")
        if n > _inputs.INT_MAX:
            raise ValueError(f"items has {n} rows, more than the library's limit of "
                             f"{_inputs.INT_MAX}")
        if m != m_seeds:
            raise ValueError(f"items have {m} values per row but prototypes have {m_seeds}")
        self.seeds = np.array(seeds, dtype=np.float64, order="C")
        _vantor.check_clustering_values(self.seeds, "prototypes", self.allow_nan)
        if len(items.chunks[1]) > 1:
            items = items.rechunk({1: -1})  # whole rows in every chunk
        self.blocks = _block_tasks(items)
        self.rows = list(items.chunks[0])
        self.first_rows = np.concatenate(([0], np.cumsum(self.rows)[:-1])).tolist()
        # What each block must really be; a chunk function may return
        # something else than the array declares.
        self.declared = items.dtype
        self.k, self.m, self.n = k, m, n

    def scan(self, i, seeds, state):
        import dask

        previous = (None, None) if state is None else (state[0], state[1])
        scanned = dask.delayed(_scan, nout=3, pure=False)(
            self.blocks[i], seeds, previous[0], previous[1], self.threshold, self.two_sided,
            self.allow_nan, self.first_rows[i], self.rows[i], self.m, self.declared)
        return scanned

    def one_pass(self, seeds, states):
        """Scans every chunk; then, if anything changed, folds them in order.
        The fold reads each chunk again, one after the other, so a chunk is
        held only while a task uses it, never while it waits for its turn in
        the sequential fold."""
        import dask

        seeds_task = dask.delayed(seeds)
        scans = [self.scan(i, seeds_task, states[i]) for i in range(len(self.blocks))]
        # The per-row results stay where they were computed (on the workers
        # under distributed) for the fold and the next pass.
        kept = dask.persist(*[part for scan in scans for part in scan])
        kept_states = [(kept[3 * i], kept[3 * i + 1]) for i in range(len(scans))]
        if not any(dask.compute(*kept[2::3])):
            return kept_states, False, seeds
        return kept_states, True, self.fold(kept_states, seeds)

    def fold(self, states, seeds):
        """The new prototypes: the chunks folded in row order, a window of
        them at a time. Given the whole chain at once, dask reads chunks as
        soon as a worker is free, far ahead of the sequential fold, and they
        wait in memory for their turn, so a worker's memory would grow with
        the number of rows. A window holds a few chunks per worker thread;
        under distributed the next window is already submitted while one
        runs, so the reading never stalls, and no more are ever in flight."""
        import dask

        client = _distributed_client()
        threads = _threads(client)
        window = threads if client is not None else 2 * threads
        running = _start(self.k, self.m)
        in_flight = []
        for first in range(0, len(self.blocks), window):
            for i in range(first, min(first + window, len(self.blocks))):
                running = dask.delayed(_fold, pure=False)(self.blocks[i], states[i][0], running,
                                                          self.two_sided, self.first_rows[i],
                                                          self.rows[i], self.m, self.declared)
            if client is None:
                running = dask.compute(running)[0]
            else:
                running = client.compute(running)
                in_flight.append(running)
                if len(in_flight) > 1:
                    _wait(in_flight.pop(0))
        updated = dask.delayed(_finish, pure=False)(running, seeds)
        if client is None:
            return dask.compute(updated)[0]
        return client.compute(updated).result()

    def gather(self, states):
        import dask

        parts = dask.compute(*[part for state in states for part in state])
        sides = 2 if self.two_sided else 1
        labels = [parts[2 * i] for i in range(len(states))]
        degrees = [parts[2 * i + 1] for i in range(len(states))]
        assignments = np.concatenate(labels, axis=1) if labels else np.empty((sides, 0), np.intc)
        similarities = np.concatenate(degrees, axis=1) if degrees else np.empty((sides, 0))
        if not self.two_sided:
            assignments, similarities = assignments[0], similarities[0]
        return assignments, similarities


def _distributed_client():
    """The distributed.Client dask would use for this call, or None when it
    runs on a local scheduler."""
    import dask

    try:
        from distributed import default_client
        client = default_client()
    except (ImportError, ValueError):
        return None
    # A scheduler chosen explicitly (dask.config.set(scheduler=...)) wins
    # over a client made earlier, as it does in dask.compute.
    chosen = dask.config.get("scheduler", None)
    if chosen is not None and chosen not in ("dask.distributed", "distributed"):
        return None
    return client


def _threads(client):
    import os

    import dask

    if client is not None:
        return max(1, sum(client.nthreads().values()))
    return max(1, dask.config.get("num_workers", None) or os.cpu_count() or 1)


def _wait(future):
    from distributed import wait
    wait(future)


def _block_tasks(items):
    """One Delayed per chunk of rows, each holding only the tasks that its
    own chunk needs. Array.to_delayed gives every chunk the whole array's
    graph, so a pass over c chunks would hand the scheduler c graphs of c
    tasks each, and its cost would grow with c squared. The graph is
    optimized and read once here; each chunk takes its key's dependencies."""
    import dask
    from dask.core import get_dependencies
    from dask.delayed import Delayed

    (items,) = dask.optimize(items)
    graph = dict(items.__dask_graph__())
    tasks = []
    # After the rechunk there is one chunk across the columns: keys[i][0].
    for key in [row[0] for row in items.__dask_keys__()]:
        needed, waiting = {}, [key]
        while waiting:
            current = waiting.pop()
            if current in needed or current not in graph:
                continue
            needed[current] = graph[current]
            waiting.extend(get_dependencies(graph, current))
        tasks.append(Delayed(key, needed))
    return tasks


def _checked_block(block, first_row, rows, m, declared):
    """The chunk as the library reads it, after checking that it is what the
    array declared: a chunk function may return a masked array, another
    dtype (strings, objects, complex values) or another number of rows, and
    the library would parse, truncate or misnumber them."""
    block = _inputs.unmasked(block, "items", first_row)
    if _inputs._is_sparse(block):
        _inputs.array(block, "items")  # refused there, with the same words
    block = np.asarray(block)
    where = f"the chunk of rows {first_row} to {first_row + rows - 1}"
    if block.dtype.kind != declared.kind:
        raise _inputs.ArgumentTypeError(f"items: {where} holds dtype {block.dtype}, but the "
                                        f"array declares {declared}")
    block = _inputs.real_numbers(block, "items")
    if block.shape != (rows, m):
        raise ValueError(f"items: {where} has shape {block.shape}, but the array declares "
                         f"({rows}, {m})")
    return _inputs.converted(block)


def _scan(block, seeds, assignments, similarities, threshold, two_sided, allow_nan, first_row,
          rows, m, declared):
    block = _checked_block(block, first_row, rows, m, declared)
    return _vantor.scan_block(block, seeds, assignments, similarities, threshold, two_sided,
                              allow_nan, first_row)


def _start(k, m):
    return np.zeros((k, m)), np.zeros(k, dtype=np.int64)


def _fold(block, assignments, running, two_sided, first_row, rows, m, declared):
    sums, counts = running
    block = _checked_block(block, first_row, rows, m, declared)
    return _vantor.fold_block(block, assignments, sums, counts, two_sided)


def _finish(running, seeds):
    sums, counts = running
    return _vantor.finish_pass(sums, counts, seeds)
