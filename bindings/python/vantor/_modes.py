"""Mode selectors by name or by number.

The names are the library's own (compiled in from its public header), so
they are never spelt a second time here. Names ignore case, "-" or " " may
stand for "_", and every mode also answers to "type<number>", the name the
C++ methods use (aggType2, cmbType1, ...).
"""

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


def resolve(value, names, what):
    """The number of the mode given by name or number, else ValueError."""
    accepted = ", ".join(repr(name) for name in names)
    numbers = ", ".join(str(number) for number in range(len(names)))
    refusal = f"{what} must be one of {accepted} or {numbers}; got {value!r}"
    if isinstance(value, str):
        key = _key(value)
        for number, name in enumerate(names):
            if key in (_key(name), f"type{number}"):
                return number
        raise ValueError(refusal)
    if isinstance(value, (bool, np.bool_)):
        raise ValueError(refusal)
    try:
        number = operator.index(value)
    except TypeError:
        raise ValueError(refusal) from None
    if not 0 <= number < len(names):
        raise ValueError(refusal)
    return number
