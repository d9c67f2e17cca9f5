# Makes the package importable from the source tree and, when nobody said
# which library to test, points it at the dev build.
import os
import struct
import sys
from pathlib import Path

import pytest

PACKAGE_ROOT = Path(__file__).resolve().parents[1]
REPOSITORY = PACKAGE_ROOT.parents[1]
sys.path.insert(0, str(PACKAGE_ROOT))

_dev_build = REPOSITORY / "build" / "dev" / "libvantor.so.0"
if not os.environ.get("VANTOR_LIBRARY") and _dev_build.exists():
    os.environ["VANTOR_LIBRARY"] = str(_dev_build)


def bits(x):
    """The binary64 pattern of x: tells -0.0 from 0.0 and one NaN from another."""
    return struct.pack("<d", x)


@pytest.fixture
def library_path():
    path = os.environ.get("VANTOR_LIBRARY")
    if not path:
        pytest.skip("VANTOR_LIBRARY is not set and there is no dev build")
    return Path(path).resolve()
