# The package as a user gets it: pip installs it into a fresh venv, from the
# repository and from an sdist unpacked elsewhere, and `import vantor` works
# from another directory with no environment variable.
import os
import shutil
import subprocess
import sys
import tarfile

import pytest

from conftest import PACKAGE_ROOT

CALL = ("import vantor, numpy as np; "
        "print(vantor.contify([0.5], [0.25], kernel='type0'), "
        "vantor.contify(np.array([[0.5], [1.0]]), [0.25], kernel='type0').tolist(), "
        "vantor.__file__)")

pytestmark = pytest.mark.skipif(bool(os.environ.get("VANTOR_TEST_SKIP_INSTALL")),
                                reason=os.environ.get("VANTOR_TEST_SKIP_INSTALL", ""))


def clean_environment():
    return {k: v for k, v in os.environ.items()
            if k not in ("PYTHONPATH", "VANTOR_LIBRARY", "LD_LIBRARY_PATH", "LD_PRELOAD")}


def run(command, cwd, timeout=900):
    result = subprocess.run(command, cwd=cwd, env=clean_environment(), capture_output=True,
                            text=True, timeout=timeout)
    assert result.returncode == 0, result.stdout[-3000:] + result.stderr[-3000:]
    return result.stdout


def fresh_venv(where):
    # Debian's interpreter: numpy, setuptools and pybind11 come from its packages.
    run(["/usr/bin/python3", "-m", "venv", "--system-site-packages", str(where)], cwd=where.parent)
    return where / "bin" / "python"


def installed_and_imported(python, source, elsewhere):
    run([str(python), "-m", "pip", "install", "--no-build-isolation", "--no-index", "-q",
         str(source)], cwd=elsewhere)
    printed = run([str(python), "-c", CALL], cwd=elsewhere).split()
    assert printed[:3] == ["0.25", "[0.25,", "0.25]"]
    assert printed[3].startswith(str(python.parents[1])), printed[3]


def test_pip_install_from_the_repository(tmp_path):
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    installed_and_imported(fresh_venv(tmp_path / "venv"), PACKAGE_ROOT, elsewhere)


def test_an_sdist_carries_the_library_and_builds_anywhere(tmp_path):
    copy = tmp_path / "checkout"
    shutil.copytree(PACKAGE_ROOT.parents[1], copy, ignore=shutil.ignore_patterns(
        "build", ".git", "__pycache__", "*.egg-info", "fuzz", "data", "tests"))
    run([sys.executable, "setup.py", "-q", "sdist", "-d", str(tmp_path)],
        cwd=copy / "bindings" / "python")
    (archive,) = tmp_path.glob("vantor-*.tar.gz")
    with tarfile.open(archive) as tar:
        tar.extractall(tmp_path / "unpacked")
    shutil.rmtree(copy)  # nothing of the repository is left to find
    (unpacked,) = (tmp_path / "unpacked").iterdir()
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    installed_and_imported(fresh_venv(tmp_path / "venv"), unpacked, elsewhere)
