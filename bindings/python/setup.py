"""Builds the vantor package: the Python layer in vantor/ around the compiled
module vantor._vantor, which holds the library's sources compiled in (no
shared object to find at run time, no environment variable).

The library's sources are found in the repository around this directory
(../../src, ../../include), or, in a source distribution made by
`setup.py sdist`, in the libvantor/ folder it carries.
"""

import re
import shutil
import sys
from pathlib import Path

import pybind11
from setuptools import Extension, setup
from setuptools.command.sdist import sdist

HERE = Path(__file__).resolve().parent
BUNDLED = HERE / "libvantor"


def library_root():
    for root in (BUNDLED, HERE.parents[1] if len(HERE.parents) > 1 else HERE):
        if (root / "include" / "vantor" / "vantor.h").is_file() and (root / "src").is_dir():
            return root
    raise SystemExit(
        f"the libvantor sources are not beside {HERE}: build from a repository checkout "
        f"(python3 -m pip install ./bindings/python from its root) or from an sdist")


def version(root):
    text = (root / "include" / "vantor" / "version.h").read_text()
    parts = [re.search(rf"#define VANTOR_VERSION_{p} (\d+)", text).group(1)
             for p in ("MAJOR", "MINOR", "PATCH")]
    return ".".join(parts)


ROOT = library_root()
LIBRARY_SOURCES = sorted((ROOT / "src").glob("*.cpp"))
BINDING_SOURCES = sorted((HERE / "src").glob("*.cpp"))

# Only the init function leaves the extension. The version script is for
# GNU-style linkers (Linux on any processor); Apple's linker (macOS on ARM or
# Intel) takes the one symbol by name instead.
if sys.platform == "darwin":
    EXPORT_ONLY_INIT = ["-Wl,-exported_symbol,_PyInit__vantor"]
else:
    EXPORT_ONLY_INIT = [f"-Wl,--version-script={HERE / 'src' / 'exports.map'}"]

extension = Extension(
    "vantor._vantor",
    sources=[str(p) for p in LIBRARY_SOURCES + BINDING_SOURCES],
    include_dirs=[str(ROOT / "include"), str(ROOT / "src"), pybind11.get_include()],
    language="c++",
    # The library's results are fixed to the bit by these two flags: no fused
    # multiply-adds, no fast-math. They come after Python's own flags.
    extra_compile_args=["-std=c++17", "-O2", "-ffp-contract=off", "-fno-fast-math",
                        "-fvisibility=hidden", "-g0"],
    extra_link_args=EXPORT_ONLY_INIT + ["-g0"],
)


class SdistWithLibrary(sdist):
    """Carries the library's sources along, so the sdist builds anywhere."""

    def make_release_tree(self, base_dir, files):
        super().make_release_tree(base_dir, files)
        for folder in ("src", "include"):
            shutil.copytree(ROOT / folder, Path(base_dir) / "libvantor" / folder,
                            dirs_exist_ok=True)
        shutil.copytree(HERE / "src", Path(base_dir) / "src", dirs_exist_ok=True)
        for licence in (ROOT / "LICENSE", HERE / "LICENSE"):  # repository, or an unpacked sdist
            if licence.is_file():
                shutil.copy(licence, Path(base_dir) / "LICENSE")
                break


setup(
    name="vantor",
    version=version(ROOT),
    description="Threshold-gated operations on vectors of fuzzy degrees (libvantor compiled in)",
    packages=["vantor"],
    ext_modules=[extension],
    install_requires=["numpy"],
    python_requires=">=3.9",
    license="MIT",
    classifiers=["License :: OSI Approved :: MIT License",
                 "Programming Language :: C++",
                 "Programming Language :: Python :: 3"],
    cmdclass={"sdist": SdistWithLibrary},
    zip_safe=False,
)
