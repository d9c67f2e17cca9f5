"""Mode selectors by readable name or by number.

Every mode also answers to "type<number>", the name the C++ methods use
(aggType2, cmbType1, ...). Names ignore case, and "-" or " " may stand for
"_".
"""

from . import _arrays

RELATIONS = ("mutual", "first_in_second", "second_in_first")
CONTIFIER_KERNELS = ("type0", "type1", "type2")
AGGREGATIONS = ("extreme", "probabilistic", "bounded")
COMBINATIONS = ("dominant", "certainty_factor", "sum", "reinforced_sum")


def resolve(value, names, what):
    """The number of the mode given by name or number, else ValueError."""
    accepted = ", ".join(repr(name) for name in names)
    numbers = ", ".join(str(number) for number in range(len(names)))
    if isinstance(value, str):
        key = value.strip().lower().replace("-", "_").replace(" ", "_")
        for number, name in enumerate(names):
            if key in (name, f"type{number}"):
                return number
        raise ValueError(f"{what} must be one of {accepted} or {numbers}; got {value!r}")
    try:
        number = _arrays.whole(value, what)
    except ValueError:
        raise ValueError(f"{what} must be one of {accepted} or {numbers}; got {value!r}") from None
    if not 0 <= number < len(names):
        raise ValueError(f"{what} must be one of {accepted} or {numbers}; got {number}")
    return number
