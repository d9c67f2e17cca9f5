"""dinorm: signed aggregation of vectors of degrees in [-1, 1]."""

from collections import namedtuple

from . import _inputs, _modes, _vantor

Dinorm = namedtuple("Dinorm", "negative positive combined")
Dinorm.__doc__ = """Negative aggregate in [-1, 0], positive aggregate in [0, 1],
and their combination in [-1, 1]: floats for one vector, or for a table three
float64 arrays with one value per row (np.column_stack(result) gives a
(rows, 3) table)."""


def dinorm(values, aggregation="extreme", combination="dominant", threshold=0.0,
           neutral_band=0.0, *, allow_nan=False):
    """Aggregates the negative and the positive values of a signed vector and
    combines the two aggregates into one signed degree.

    values:      a vector gives Dinorm of three floats; a table (one vector
                 per row) gives Dinorm of three arrays, one value per row.
    aggregation: "extreme" (0, the extreme value), "probabilistic" (1, the
                 probabilistic sum) or "bounded" (2, the bounded sum).
    combination: "dominant" (0, the aggregate of larger magnitude),
                 "certainty_factor" (1), "sum" (2) or "reinforced_sum" (3,
                 the sum scaled by 1 plus the product of the magnitudes).
    threshold:   in [0, 1]; values strictly between -threshold and threshold
                 are left out.
    neutral_band: in [0, 1]; a sum strictly inside (-band, band) combines to 0.
    allow_nan:   NaN in values is refused unless this is True; the library
                 then skips it.

    Raises ValueError naming the first value outside [-1, 1] that takes part
    (its row and column in a table), or a bad mode or setting.
    """
    aggregation_number = _modes.resolve(aggregation, _modes.AGGREGATIONS, "aggregation")
    combination_number = _modes.resolve(combination, _modes.COMBINATIONS, "combination")
    gate = _inputs.unit_interval(threshold, "threshold")
    band = _inputs.unit_interval(neutral_band, "neutral_band")
    allow = _inputs.flag(allow_nan, "allow_nan")
    data = _inputs.array(values, "values")
    _inputs.dimensions(data, "values", (1, 2))
    result = _vantor.dinorm(_inputs.converted(data), aggregation_number, combination_number,
                            gate, band, allow)
    return Dinorm(*result)
