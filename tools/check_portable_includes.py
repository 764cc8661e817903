#!/usr/bin/env python3
"""Portable files never reach <windows.h>: a file without "_win" in its name
(the core, its native stand-ins, lngtool's portable part and the host tests)
may include it neither directly nor through a project header. Prints each
offending include chain; exit status 1 when there is one."""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PORTABLE_FOLDERS = ("base/", "module/", "localization/", "launcher/", "lngtool/",
                    "tests/host/", "tests/fuzz/", "tests/bench/")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def includes(path):
    try:
        text = open(os.path.join(ROOT, path), encoding="utf-8", errors="replace").read()
    except OSError:
        return []
    return INCLUDE.findall(text)


def chain_to_windows(path, seen):
    """The include chain from path to <windows.h>, or None."""
    for kind, name in includes(path):
        if kind == "<" and name.lower() == "windows.h":
            return [path, "<windows.h>"]
        if kind == '"' and os.path.exists(os.path.join(ROOT, name)) and name not in seen:
            seen.add(name)
            rest = chain_to_windows(name, seen)
            if rest:
                return [path] + rest
    return None


def main():
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "--", "*.cpp", "*.h"],
                           cwd=ROOT, capture_output=True, text=True).stdout.split()
    bad = 0
    for f in files:
        if not f.startswith(PORTABLE_FOLDERS) or "_win" in os.path.basename(f):
            continue
        chain = chain_to_windows(f, {f})
        if chain:
            print("%s: a portable file reaches %s" % (f, " -> ".join(chain[1:])))
            bad += 1
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
