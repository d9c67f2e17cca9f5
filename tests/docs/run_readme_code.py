#!/usr/bin/env python3
"""The C and C++ blocks of a page compile against the library and run.

Each ```c block is compiled as C99 and each ```cpp block as C++17: its
#include lines at the top, the rest as the body of main. The program must
build without warnings and exit 0.

    run_readme_code.py PAGE WORK_FOLDER LIBRARY INCLUDE_FOLDER CC CXX [FLAGS...]
"""

import re
import subprocess
import sys
from pathlib import Path

BLOCK = re.compile(r"(?ms)^```(c|cpp)\n(.*?)^```")


def program(code):
    includes = [line for line in code.splitlines() if line.startswith("#include")]
    body = [line for line in code.splitlines() if not line.startswith("#include")]
    return "\n".join(["#include <vantor/vantor.h>", *includes, "int main(void) {", *body,
                      "return 0;", "}", ""])


def main():
    page, work, library, include, cc, cxx = sys.argv[1:7]
    flags = [f for f in sys.argv[7:] if f]
    work = Path(work)
    work.mkdir(parents=True, exist_ok=True)
    failures, built = [], 0
    for number, (language, code) in enumerate(BLOCK.findall(Path(page).read_text()), 1):
        source = work / f"example{number}.{language}"
        source.write_text(program(code))
        compiler, standard = (cxx, "-std=c++17") if language == "cpp" else (cc, "-std=c99")
        binary = work / f"example{number}"
        command = [compiler, standard, "-Wall", "-Wextra", "-Wno-unused-variable",
                   "-Wno-unused-but-set-variable", "-Werror", *flags, f"-I{include}",
                   str(source), "-o", str(binary), library,
                   f"-Wl,-rpath,{Path(library).resolve().parent}"]
        done = subprocess.run(command, capture_output=True, text=True)
        built += 1
        if done.returncode != 0:
            failures.append(f"block {number} ({language}) does not build:\n{done.stderr}")
            continue
        ran = subprocess.run([str(binary)], capture_output=True, text=True, timeout=60)
        if ran.returncode != 0:
            failures.append(f"block {number} ({language}) exited with {ran.returncode}")
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"{built} code blocks of {Path(page).name} built and run, {len(failures)} failed")
    return 1 if failures or built == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
