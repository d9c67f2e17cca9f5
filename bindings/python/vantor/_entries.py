"""The sixteen C entries: their argument types, in one place, and the locks
that keep Python threads from interleaving configuration and calls.

Every entry takes pointers only and returns nothing. The arguments are
declared as numpy array pointers with the flags the library needs, so an
array of the wrong type, layout or writability is refused by ctypes before
it can reach the library, whatever the caller above did.
"""

import threading

import numpy as np

from . import _loading

_FLAGS_IN = ("C_CONTIGUOUS", "ALIGNED")
_FLAGS_OUT = ("C_CONTIGUOUS", "ALIGNED", "WRITEABLE")

_doubles_in = np.ctypeslib.ndpointer(np.float64, flags=_FLAGS_IN)
_doubles_out = np.ctypeslib.ndpointer(np.float64, flags=_FLAGS_OUT)
_ints_in = np.ctypeslib.ndpointer(np.intc, flags=_FLAGS_IN)
_ints_out = np.ctypeslib.ndpointer(np.intc, flags=_FLAGS_OUT)

SIGNATURES = {
    # name: argument types; the last one is always the ok flag
    "con_setThresholds": (_ints_in, _doubles_in, _ints_out),
    "con_getThresholds": (_ints_in, _doubles_out, _ints_out),
    "con_setModes": (_ints_in, _ints_in, _ints_out),
    "con_getModes": (_ints_in, _ints_out, _ints_out),
    "con_aggregate": (_ints_in, _doubles_in, _doubles_in, _doubles_out, _ints_out),
    "din_setThresholds": (_ints_in, _doubles_in, _ints_out),
    "din_getThresholds": (_ints_in, _doubles_out, _ints_out),
    "din_setModes": (_ints_in, _ints_in, _ints_out),
    "din_getModes": (_ints_in, _ints_out, _ints_out),
    "din_aggregate": (_ints_in, _doubles_in, _doubles_out, _ints_out),
    "clu_setThresholds": (_ints_in, _doubles_in, _ints_out),
    "clu_getThresholds": (_ints_in, _doubles_out, _ints_out),
    "clu_setLimits": (_ints_in, _ints_in, _ints_out),
    "clu_getLimits": (_ints_in, _ints_out, _ints_out),
    # prototypes, items, dims, assignments, similarities, passInfo, ok
    "clu_cluster": (_doubles_out, _doubles_in, _ints_in, _ints_out, _doubles_out,
                    _ints_out, _ints_out),
    # prototypes, items, dims, neg/pos assignments, neg/pos similarities, passInfo, ok
    "clu_cluster2": (_doubles_out, _doubles_in, _ints_in, _ints_out, _ints_out,
                     _doubles_out, _doubles_out, _ints_out, _ints_out),
}

# Each entry family works on one process-wide instance whose configuration
# persists between calls. A binding call sets the configuration and then
# computes; holding the family's lock across both keeps another Python thread
# from changing the configuration in between. Families share no state, so
# they have a lock each and may run at the same time (ctypes releases the GIL
# during the foreign call).
con_lock = threading.Lock()
din_lock = threading.Lock()
clu_lock = threading.Lock()

_load_lock = threading.Lock()
_library = None


def library():
    """The shared object with every entry's prototype declared (loaded once)."""
    global _library
    if _library is None:
        with _load_lock:
            if _library is None:
                _library = _declare(_loading.load())
    return _library


def _declare(lib):
    for name, argtypes in SIGNATURES.items():
        try:
            entry = getattr(lib, name)
        except AttributeError:
            raise _loading.LibraryNotFoundError(
                f"{lib._name} does not export {name}; it is not a libvantor shared object "
                f"of this version") from None
        entry.argtypes = argtypes
        entry.restype = None
    return lib


def ints(*values):
    """A fresh C int array, for counts, modes and dimensions."""
    return np.array(values, dtype=np.intc)


def flag():
    """A fresh ok flag, cleared."""
    return np.zeros(1, dtype=np.intc)
