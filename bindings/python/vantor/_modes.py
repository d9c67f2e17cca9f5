"""Mode selectors by name or by number.

The names are the library's own (compiled in from its public header), so
they are never spelt a second time here. Names ignore case, "-" or " " may
stand for "_", and every mode also answers to "type<number>", the name the
C++ methods use (aggType2, cmbType1, ...).
"""

import functools
import operator

import numpy as np

from . import _vantor

RELATIONS = _vantor.RELATION_NAMES
CONTIFIER_KERNELS = _vantor.KERNEL_NAMES
AGGREGATIONS = _vantor.AGGREGATION_NAMES
COMBINATIONS = _vantor.COMBINATION_NAMES
SEEDINGS = _vantor.SEEDING_NAMES
PARTS = _vantor.PART_NAMES


def _key(name):
    return name.strip().lower().replace("-", "_").replace(" ", "_")


@functools.lru_cache(maxsize=None)
def _numbers_by_key(names):
    table = {}
    for number, name in enumerate(names):
        table[f"type{number}"] = number
        table[_key(name)] = number
    return table


def resolve(value, names, what):
    """The number of the mode given by name or number, else ValueError."""
    if isinstance(value, str):
        number = _numbers_by_key(names).get(_key(value))
        if number is not None:
            return number
    elif not isinstance(value, (bool, np.bool_)):
        try:
            number = operator.index(value)
        except TypeError:
            number = None
        if number is not None and 0 <= number < len(names):
            return number
    accepted = ", ".join(repr(name) for name in names)
    numbers = ", ".join(str(number) for number in range(len(names)))
    raise ValueError(f"{what} must be one of {accepted} or {numbers}; got {value!r}")
