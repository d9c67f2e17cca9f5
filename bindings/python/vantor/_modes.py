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


def resolve(value, names, what):
    """The number of the mode named `value`, else ValueError listing the names."""
    if isinstance(value, str) and value in names:
        return names.index(value)
    accepted = ", ".join(f'"{name}"' for name in names)
    got = f'"{value}"' if isinstance(value, str) else f"{type(value).__name__} {value!r}"
    raise ValueError(f"{what} must be one of {accepted}; got {got}")
