"""contify: agreement or inclusion of membership vectors, one pair or a
table of pairs at a time."""

from . import _inputs, _modes, _vantor


def contify(first, second, relation="first_in_second", kernel="type1", threshold=0.0, *,
            allow_nan=False):
    """Reduces two membership vectors (values in [0, 1]) to one degree.

    first, second: two vectors of one length give a float. Two tables of
              one shape (one vector per row) give a float64 array with one
              degree per row. A vector against a table is paired with every
              row of it (one profile against many).
    relation: "mutual" (0), "first_in_second" (1) or "second_in_first" (2).
    kernel:   "type0", "type1" or "type2" (or 0, 1, 2). For the directed
              relations they are the Goedel, Goguen and Lukasiewicz forms.
    threshold: in [0, 1]; a position takes part when its weight (the first
              value for a directed relation, the larger one for the mutual
              one) is at least the threshold.
    allow_nan: NaN in first or second is refused unless this is True; it
              then goes through as the library treats it.

    A degree is 0.0 for empty vectors or when no position passes the
    threshold. Raises ValueError naming the first value outside [0, 1] (its
    row and column in a table), a shape mismatch or a bad mode or threshold,
    and TypeError for an argument that is not a number or array of numbers.
    """
    relation_number = _modes.resolve(relation, _modes.RELATIONS, "relation")
    kernel_number = _modes.resolve(kernel, _modes.CONTIFIER_KERNELS, "kernel")
    gate = _inputs.unit_interval(threshold, "threshold")
    allow = _inputs.flag(allow_nan, "allow_nan")
    a = _inputs.array(first, "first")
    b = _inputs.array(second, "second")
    _inputs.dimensions(a, "first", (1, 2))
    _inputs.dimensions(b, "second", (1, 2))
    _check_shapes(a, b)
    return _vantor.contify(_inputs.converted(a), _inputs.converted(b), relation_number,
                           kernel_number, gate, allow)


def _check_shapes(a, b):
    if a.ndim == b.ndim == 1:
        if a.size != b.size:
            raise ValueError(f"first and second must have the same length, got {a.size} and "
                             f"{b.size}")
    elif a.ndim == b.ndim == 2:
        if a.shape != b.shape:
            raise ValueError(f"first and second must have the same shape, got {a.shape} and "
                             f"{b.shape}")
    else:
        vector, table = ("first", a), ("second", b)
        if a.ndim == 2:
            vector, table = table, vector
        if vector[1].shape[0] != table[1].shape[1]:
            raise ValueError(f"{vector[0]} has {vector[1].shape[0]} values but each row of "
                             f"{table[0]} has {table[1].shape[1]}")
