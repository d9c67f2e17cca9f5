"""seed: starting prototypes chosen by the library among the items, so the
same arguments give the same seeds here as in every other host."""

from collections import namedtuple
import numbers

import numpy as np

from . import _inputs, _modes, _vantor

Seeds = namedtuple("Seeds", "prototypes rows parts")
Seeds.__doc__ = """Result of seed(): the k chosen rows as a (k, m) array, the item
row each came from, and its part (0 negative, 1 positive; one-sided seeds are
whole rows and count as positive parts)."""


def seed(items, k, method="farthest", random_state=None, threshold=0.0, two_sided=False, *,
         allow_nan=False):
    """Chooses k starting prototypes among the rows of items.

    method: "farthest" (the first candidate, then again and again the one
            least similar to those chosen), "kmeans++" (random, weighted by
            (1 - greatest similarity)^2) or "first" (the first k candidates).
            A candidate is a row (two-sided: a row's negative or positive
            part) holding a value above 0.
    random_state: read by "kmeans++" only. An int is the library's own seed
            (the same int gives the same draws in every host); None or a
            numpy RandomState / Generator draws that seed from numpy.
    threshold: the similarity's threshold, in [0, 1].

    Returns Seeds(prototypes, rows, parts).
    """
    rule = _modes.resolve(method, _modes.SEEDINGS, "method")
    count = _inputs.whole(k, "k", 1)
    state = library_seed(random_state, rule)
    gate = _inputs.unit_interval(threshold, "threshold")
    sided = _inputs.flag(two_sided, "two_sided")
    allow = _inputs.flag(allow_nan, "allow_nan")
    data = _checked_items(items, count)
    _vantor.check_k(_inputs.converted(data), count, sided, "k")
    return Seeds(*_vantor.seed(_inputs.converted(data), count, rule, state, gate, sided, allow))


def _checked_items(items, k):
    data = _inputs.matrix(items, "items")
    if data.shape[0] == 0 or data.shape[1] == 0:
        raise ValueError(_inputs.message(_vantor.MESSAGE_EMPTY, "items"))
    return data


_RANDOM = _vantor.SEEDING_NAMES.index("kmeans++")


def library_seed(random_state, rule=_RANDOM):
    """The library's 64-bit random seed for a random_state read the way
    scikit-learn reads it. The deterministic rules draw nothing: numpy's
    streams (the global one for None) are touched only for "kmeans++" and
    only when the caller left the seed to them."""
    if isinstance(random_state, (bool, np.bool_)):
        raise _inputs.ArgumentTypeError(f"random_state must be None, an int or a numpy random "
                                        f"generator, got {random_state!r}")
    if rule != _RANDOM and (random_state is None or isinstance(
            random_state, (np.random.RandomState, np.random.Generator))):
        return 0
    if random_state is None:
        return int(np.random.randint(np.iinfo(np.int64).max, dtype=np.int64))
    if isinstance(random_state, numbers.Integral):
        value = int(random_state)
        if not 0 <= value < 2**64:
            raise ValueError(_inputs.message(_vantor.MESSAGE_SEED, "random_state", value))
        return value
    if isinstance(random_state, np.random.RandomState):
        return int(random_state.randint(np.iinfo(np.int64).max, dtype=np.int64))
    if isinstance(random_state, np.random.Generator):
        return int(random_state.integers(np.iinfo(np.int64).max, dtype=np.int64))
    raise _inputs.ArgumentTypeError(f"random_state must be None, an int or a numpy random "
                                    f"generator, got {type(random_state).__name__}")
