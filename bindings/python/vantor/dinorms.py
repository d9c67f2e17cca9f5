"""dinorm: signed aggregation of one vector of degrees in [-1, 1]."""

from collections import namedtuple

import numpy as np

from . import _arrays, _entries, _modes

Dinorm = namedtuple("Dinorm", "negative positive combined")
Dinorm.__doc__ = """Negative aggregate in [-1, 0], positive aggregate in [0, 1],
and their combination in [-1, 1]."""


def dinorm(values, aggregation="extreme", combination="dominant", threshold=0.0,
           neutral_band=0.0):
    """Aggregates the negative and the positive values of a signed vector and
    combines the two aggregates into one signed degree.

    aggregation: "extreme" (0, the extreme value), "probabilistic" (1, the
                 probabilistic sum) or "bounded" (2, the bounded sum).
    combination: "dominant" (0, the aggregate of larger magnitude),
                 "certainty_factor" (1), "sum" (2) or "reinforced_sum" (3,
                 the sum scaled by 1 plus the product of the magnitudes).
    threshold:   in [0, 1]; values strictly between -threshold and threshold
                 are left out.
    neutral_band: in [0, 1]; a sum strictly inside (-band, band) combines to 0.

    Returns Dinorm(negative, positive, combined). Raises ValueError naming
    the first value outside [-1, 1] that takes part, or a bad mode or setting.
    """
    modes = _entries.ints(_modes.resolve(aggregation, _modes.AGGREGATIONS, "aggregation"),
                          _modes.resolve(combination, _modes.COMBINATIONS, "combination"))
    settings = np.array([_arrays.real(threshold, "threshold"),
                         _arrays.real(neutral_band, "neutral_band")])
    data = _arrays.vector(values, "values")

    lib = _entries.library()
    result = np.zeros(3)
    ok = _entries.flag()
    with _entries.din_lock:
        lib.din_setThresholds(_entries.ints(2), settings, ok)
        if ok[0] != 1:
            raise ValueError(_why_settings_refused(settings))
        lib.din_setModes(_entries.ints(2), modes, ok)
        if ok[0] != 1:  # the names were resolved above; this is a safety net
            raise ValueError(f"the library refused the modes {modes.tolist()}")
        lib.din_aggregate(_entries.ints(data.size), data, result, ok)
    if ok[0] != 1:
        index = _arrays.first_outside(data, -1.0, 1.0)
        if index is None:
            raise ValueError("the library refused the values")
        raise ValueError(f"values[{index}] = {_arrays.describe(data[index])} lies outside [-1, 1]")
    return Dinorm(*(float(x) for x in result))


def _why_settings_refused(settings):
    for name, value in zip(("threshold", "neutral_band"), settings):
        if value < 0.0 or value > 1.0:
            return f"{name} must lie in [0, 1], got {_arrays.describe(value)}"
    return f"the library refused threshold {settings[0]!r} and neutral_band {settings[1]!r}"
