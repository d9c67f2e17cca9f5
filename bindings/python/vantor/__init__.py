"""Python binding of libvantor: threshold-gated operations on vectors of
fuzzy degrees, called through the library's C entries with ctypes.

    >>> import vantor
    >>> vantor.contify([0.5, 1.0], [0.25, 1.0], relation="mutual")
    0.8333333333333334

Arrays: numpy arrays that are C-contiguous float64 are handed to the
library without a copy; anything else (lists, other dtypes, strided views)
is converted first. Results come back as Python floats or numpy arrays.
Failures raise ValueError saying which argument, value or position was
wrong; lengths and shapes are checked before the library is called.

Threads: the C entries work on one process-wide configuration per family
(Contifiers, Dinorms, Clustions). Each call here stores its settings there
and then computes, holding a lock per family across both steps, so Python
threads may call these functions freely. The settings stay in the library
after the call; C or C++ code in the same process that uses the C entries
directly does not take these locks and must not run alongside.

The shared object is found through the environment variable VANTOR_LIBRARY,
then next to this package, then through the system loader (see _loading).
"""

from ._loading import LibraryNotFoundError
from .clustions import Assignment, Clustering, assign, cluster
from .contifiers import contify
from .dinorms import Dinorm, dinorm

__version__ = "0.1.0"
__all__ = ["contify", "dinorm", "cluster", "assign", "Dinorm", "Clustering", "Assignment",
           "LibraryNotFoundError"]
