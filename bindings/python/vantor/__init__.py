"""libvantor for Python: threshold-gated operations on vectors of fuzzy
degrees, with the library compiled into the extension module vantor._vantor.

    >>> import vantor
    >>> vantor.contify([0.5, 1.0], [0.25, 1.0], relation="mutual")
    0.8333333333333334

Tables: contify and dinorm take a table (one vector per row) as well as a
single vector, and loop over the rows in compiled code.

Arrays: numpy arrays that are C-contiguous native float64 go to the library
without a copy; lists, other real dtypes, Fortran order and strided views are
converted once, after their shape and size have been checked. Wrong values,
shapes and modes raise ValueError naming the argument (and the row and
column); arguments of the wrong kind raise TypeError.

Threads: every call makes its own library instance from its arguments and
releases the GIL while the library computes, so Python threads run in
parallel and never see each other's settings.
"""

from . import _vantor
from ._inputs import ArgumentTypeError
from .choosing_k import KChoice, choose_k, silhouette_samples, silhouette_score
from .clustions import Assignment, Clustering, assign, cluster
from .contifiers import contify
from .dinorms import Dinorm, dinorm
from .kmeans import SimilarityKMeans
from .seeding import Seeds, seed

__version__ = ".".join(str(part) for part in _vantor.LIBRARY_VERSION)
__all__ = ["contify", "dinorm", "cluster", "assign", "seed", "SimilarityKMeans", "Dinorm",
           "Clustering", "Assignment", "Seeds", "ArgumentTypeError", "choose_k", "KChoice",
           "silhouette_samples", "silhouette_score"]
