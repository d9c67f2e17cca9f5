"""Finding and loading the libvantor shared object.

Places are tried in this order:

1. the environment variable VANTOR_LIBRARY: the path of the shared object
   (or of a directory holding it); when it is set, nothing else is tried,
   so a wrong override fails loudly instead of loading some other copy;
2. the file next to this package (``vantor/libvantor.so.0``), for a
   package directory that ships its own copy;
3. the system loader, by the SONAME (LD_LIBRARY_PATH, the ld.so cache).

The library is always loaded by its versioned name, so a future
incompatible release (another SONAME) is never picked up by mistake.
"""

import ctypes
import os
import sys
from pathlib import Path

MAJOR_VERSION = 0
ENVIRONMENT_VARIABLE = "VANTOR_LIBRARY"


class LibraryNotFoundError(OSError):
    """No usable libvantor shared object was found."""


def library_file_name():
    """The versioned file name the loader looks for on this platform."""
    if sys.platform == "darwin":
        return f"libvantor.{MAJOR_VERSION}.dylib"
    if sys.platform == "win32":
        return "vantor.dll"
    return f"libvantor.so.{MAJOR_VERSION}"


def _load_file(path, origin):
    try:
        return ctypes.CDLL(str(path))
    except OSError as error:
        raise LibraryNotFoundError(
            f"{origin} names {path}, which could not be loaded: {error}") from None


def load():
    """Returns the loaded shared object, or raises LibraryNotFoundError."""
    name = library_file_name()
    override = os.environ.get(ENVIRONMENT_VARIABLE, "")
    if override:
        path = Path(override)
        if path.is_dir():
            path = path / name
        if not path.is_file():
            raise LibraryNotFoundError(
                f"{ENVIRONMENT_VARIABLE} is set to {override!r}, but {path} is not a file")
        return _load_file(path, ENVIRONMENT_VARIABLE)

    beside = Path(__file__).resolve().parent / name
    if beside.is_file():
        return _load_file(beside, "the package directory")

    try:
        return ctypes.CDLL(name)
    except OSError as error:
        loader_error = error
    raise LibraryNotFoundError(
        f"cannot find the libvantor shared object. Tried: {ENVIRONMENT_VARIABLE} (not set); "
        f"{beside} (no such file); the system loader for {name} ({loader_error}). "
        f"Set {ENVIRONMENT_VARIABLE} to the library file, for example "
        f"build/dev/{name}, or install the library where the system loader finds it.")
