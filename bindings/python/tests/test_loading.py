# Where the package finds the shared object. Each case runs in a fresh
# interpreter, since a process loads the library only once.
import os
import shutil
import subprocess
import sys

import pytest

from conftest import PACKAGE_ROOT

CALL = "import vantor; print(vantor.contify([0.5], [0.25], kernel=0))"


def run_python(package_root, cwd, **environment):
    env = {k: v for k, v in os.environ.items() if k not in ("VANTOR_LIBRARY", "LD_LIBRARY_PATH")}
    env.update(environment, PYTHONPATH=str(package_root), PYTHONDONTWRITEBYTECODE="1")
    return subprocess.run([sys.executable, "-c", CALL], cwd=cwd, env=env,
                          capture_output=True, text=True, timeout=60)


def succeeded(result):
    return result.returncode == 0 and result.stdout.strip() == "0.25"


def test_environment_variable_names_the_file(library_path, tmp_path):
    assert succeeded(run_python(PACKAGE_ROOT, tmp_path, VANTOR_LIBRARY=str(library_path)))


def test_environment_variable_may_name_a_directory(library_path, tmp_path):
    shutil.copy(library_path, tmp_path / "libvantor.so.0")
    assert succeeded(run_python(PACKAGE_ROOT, tmp_path, VANTOR_LIBRARY=str(tmp_path)))


def test_a_wrong_environment_variable_is_not_passed_over(library_path, tmp_path):
    shutil.copy(library_path, tmp_path / "libvantor.so.0")
    result = run_python(PACKAGE_ROOT, tmp_path, VANTOR_LIBRARY=str(tmp_path / "missing.so"),
                        LD_LIBRARY_PATH=str(tmp_path))
    assert result.returncode != 0
    assert "LibraryNotFoundError: VANTOR_LIBRARY is set to" in result.stderr
    assert "missing.so" in result.stderr


def test_a_foreign_shared_object_is_named_as_such(tmp_path):
    foreign = next((p for p in ("/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/libm.so.6")
                    if os.path.exists(p)), None)
    if foreign is None:
        pytest.skip("no libm to stand in for a foreign library")
    result = run_python(PACKAGE_ROOT, tmp_path, VANTOR_LIBRARY=foreign)
    assert "does not export con_setThresholds" in result.stderr


def test_a_copy_next_to_the_package_is_found(library_path, tmp_path):
    package = tmp_path / "site" / "vantor"
    shutil.copytree(PACKAGE_ROOT / "vantor", package,
                    ignore=shutil.ignore_patterns("__pycache__"))
    shutil.copy(library_path, package / "libvantor.so.0")
    assert succeeded(run_python(package.parent, tmp_path))


def test_the_system_loader_is_asked_last(library_path, tmp_path):
    shutil.copy(library_path, tmp_path / "libvantor.so.0")
    assert succeeded(run_python(PACKAGE_ROOT, tmp_path, LD_LIBRARY_PATH=str(tmp_path)))


def test_nothing_found_says_where_it_looked(tmp_path):
    result = run_python(PACKAGE_ROOT, tmp_path)
    if result.returncode == 0:
        pytest.skip("a libvantor is installed system-wide")
    assert "cannot find the libvantor shared object" in result.stderr
    assert "VANTOR_LIBRARY (not set)" in result.stderr
    assert "libvantor.so.0 (no such file)" in result.stderr


def test_import_alone_does_not_need_the_library(tmp_path):
    env = {k: v for k, v in os.environ.items() if k not in ("VANTOR_LIBRARY", "LD_LIBRARY_PATH")}
    env.update(PYTHONPATH=str(PACKAGE_ROOT), VANTOR_LIBRARY=str(tmp_path / "missing.so"))
    result = subprocess.run([sys.executable, "-c", "import vantor; help(vantor.cluster)"],
                            env=env, capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr
