#!/usr/bin/env python3
"""Includes run one way only: down the layers of the product's folders, and
down the layers of lngtool's subfolders. A file may include files of its own
folder and of the folders below it, never of a folder above it; tests and
developer scripts stand outside the layers and may include anything, but no
product file includes a test. Prints each offending include; exit status 1
when there is one.

  check_layers.py [ROOT]   the tree to check (default: this repository)
"""
import os
import re
import subprocess
import sys

# Bottom to top. resources/ is data every layer may name (resource ids).
LAYERS = ("resources", "base", "module", "localization", "launcher", "lngtool")
# lngtool's own layers, bottom to top; lngtool/tests stands outside them.
LNGTOOL_LAYERS = ("io", "program", "catalog", "exchange", "render", "cli")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def place(path):
    """(layer rank, lngtool sublayer rank or None), or None outside the layers."""
    parts = path.split("/")
    if len(parts) < 2 or parts[0] not in LAYERS:
        return None
    sub = None
    if parts[0] == "lngtool" and len(parts) > 2:
        if parts[1] not in LNGTOOL_LAYERS:
            return None
        sub = LNGTOOL_LAYERS.index(parts[1])
    return LAYERS.index(parts[0]), sub


def is_test(path):
    parts = path.split("/")
    return parts[0] == "tests" or (len(parts) > 2 and parts[:2] == ["lngtool", "tests"])


def fault(source, target):
    """Why source may not include target, or None."""
    if is_test(target):
        return "a product file includes a test"
    here, there = place(source), place(target)
    if there is None:
        return None
    if there[0] > here[0]:
        return "%s/ is above %s/" % (LAYERS[there[0]], LAYERS[here[0]])
    if there[0] == here[0] and None not in (here[1], there[1]) and there[1] > here[1]:
        return "lngtool/%s/ is above lngtool/%s/" % (LNGTOOL_LAYERS[there[1]], LNGTOOL_LAYERS[here[1]])
    return None


def sources(root):
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "--", "*.cpp", "*.h",
                             "*.c", "*.rc"], cwd=root, capture_output=True, text=True)
    if listed.returncode == 0:
        return listed.stdout.split()
    found = []
    for folder, _, names in os.walk(root):
        found += [os.path.relpath(os.path.join(folder, n), root).replace(os.sep, "/")
                  for n in names if n.endswith((".cpp", ".h", ".c", ".rc"))]
    return found


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    bad = 0
    for f in sorted(sources(root)):
        if place(f) is None or is_test(f):
            continue
        text = open(os.path.join(root, f), encoding="utf-8", errors="replace").read()
        for name in INCLUDE.findall(text):
            why = fault(f, name)
            if why:
                print('%s: includes "%s": %s' % (f, name, why))
                bad += 1
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
