"""Mode selectors by name.

The names are the library's own (compiled in from its public header), so
they are never spelt a second time here. Only those exact names are taken:
no other case, no numbers, no "type<number>" for modes not named so, so
that one spelling means one mode in every host.
"""

from . import _vantor

RELATIONS = _vantor.RELATION_NAMES
CONTIFIER_KERNELS = _vantor.KERNEL_NAMES
AGGREGATIONS = _vantor.AGGREGATION_NAMES
COMBINATIONS = _vantor.COMBINATION_NAMES
SEEDINGS = _vantor.SEEDING_NAMES
PARTS = _vantor.PART_NAMES

_FAMILIES = {RELATIONS: _vantor.MODES_RELATION, CONTIFIER_KERNELS: _vantor.MODES_KERNEL,
             AGGREGATIONS: _vantor.MODES_AGGREGATION, COMBINATIONS: _vantor.MODES_COMBINATION,
             SEEDINGS: _vantor.MODES_SEEDING}


def resolve(value, names, what):
    """The number of the mode named `value` (the library's lookup), else
    ValueError in the library's words, listing the names."""
    family = _FAMILIES[names]
    if isinstance(value, str):
        number = _vantor.mode_number(family, value)
        if number >= 0:
            return number
    raise ValueError(_vantor.message(_vantor.MESSAGE_MODE, what, str(value), family))
