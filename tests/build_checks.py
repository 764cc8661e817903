#!/usr/bin/env python3
"""Checks of how the product is compiled, read from compile_commands.json.

  build_checks.py aliasing BUILD_DIR
      every translation unit of the launcher's library, the launcher and
      lngtool is compiled with -fno-strict-aliasing: the UTF-16 bridge
      (base/wide_bridge.h) casts between char16_t and wchar_t pointers,
      which type-based aliasing would let the compiler break.
"""
import json
import os
import sys

PRODUCT_FOLDERS = ("base/", "module/", "localization/", "launcher/", "lngtool/")


def aliasing(build_dir):
    source_root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    with open(os.path.join(build_dir, "compile_commands.json")) as f:
        units = json.load(f)
    checked, missing = 0, []
    for unit in units:
        rel = os.path.relpath(os.path.abspath(unit["file"]), source_root).replace(os.sep, "/")
        if not rel.startswith(PRODUCT_FOLDERS):
            continue
        checked += 1
        command = unit.get("command") or " ".join(unit.get("arguments", []))
        if "-fno-strict-aliasing" not in command.split():
            missing.append(rel)
    if checked == 0:
        print("no product translation units in %s" % build_dir)
        return 1
    for rel in sorted(set(missing)):
        print("%s is compiled without -fno-strict-aliasing" % rel)
    print("%d product translation units checked, %d without the flag" % (checked, len(missing)))
    return 1 if missing else 0


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] != "aliasing":
        print(__doc__)
        sys.exit(2)
    sys.exit(aliasing(sys.argv[2]))
