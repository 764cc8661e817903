#!/usr/bin/env python3
"""Runs the end-to-end scenarios (see harness.py).

  run.py --list                      names of all scenarios, one a line
  run.py --build B ... template      make the template Wine prefix
  run.py --build B ... run NAME...   run scenarios; exit 1 when one fails
"""
import argparse
import glob
import importlib
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
# Nothing may be written into the source tree, not even byte code.
sys.dont_write_bytecode = True

import harness  # noqa: E402


# lngtool's own end-to-end scenarios live with its other tests.
SCENARIO_FOLDERS = (HERE, os.path.join(os.path.dirname(os.path.dirname(HERE)), "lngtool", "tests"))


def load_scenarios():
    for folder in SCENARIO_FOLDERS:
        if folder not in sys.path:
            sys.path.append(folder)
        for path in sorted(glob.glob(os.path.join(folder, "scenarios_*.py"))):
            importlib.import_module(os.path.splitext(os.path.basename(path))[0])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--build")
    parser.add_argument("--launcher")
    parser.add_argument("--bin")
    parser.add_argument("--lang")
    parser.add_argument("--work")
    parser.add_argument("command", nargs="?")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()
    load_scenarios()
    if args.list:
        print("\n".join(sorted(harness.SCENARIOS)))
        return 0
    config = harness.Config(args.build, args.launcher, args.bin, args.lang, args.work)
    if args.command == "template":
        harness.make_template(config)
        return 0
    if args.command == "run":
        names = args.names or sorted(harness.SCENARIOS)
        unknown = [n for n in names if n not in harness.SCENARIOS]
        if unknown:
            print("unknown scenarios: %s" % unknown)
            return 2
        failed = [n for n in names if not harness.run_scenario(config, n)]
        return 1 if failed else 0
    parser.print_usage()
    return 2


if __name__ == "__main__":
    sys.exit(main())
