#!/usr/bin/env python3
"""Build-level checks of the process frame, and the build of the hooks variant.

  frame_checks.py build-hooks CMAKE SOURCE JOBS
      configures and builds the windows-hooks preset (Launcher.exe with the
      test hooks); runs serialised, as several test trees share that preset's tree
  frame_checks.py static-init NM OBJECT...
      no object but the process frame's has dynamic initialisation, so nothing
      can reach the process-wide objects before the frame has built them
  frame_checks.py shipped OBJDUMP SHIPPED_EXE HOOKS_EXE
      the shipped launcher holds none of the hooks' strings or imports
"""
import fcntl
import os
import re
import subprocess
import sys

# Texts only the hooks code holds; each must be in the hooks build, so that
# their absence from the shipped build means something.
HOOK_TEXTS = ["ZTK_HOOK_LOG", "ZTK_FAIL_ALLOC", "construct crc-tables", "flow begin",
              "exit catalog", "exit resource-module", "allocation %llu fails"]
# The launcher writes no files: only the hooks' log needs this import.
HOOK_IMPORTS = {"WriteFile"}
FRAME_OBJECT = "process_frame.cpp"


def build_hooks(cmake, source, jobs):
    tree = os.path.join(source, "build", "windows-hooks")
    os.makedirs(os.path.dirname(tree), exist_ok=True)
    with open(tree + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        for args in ([cmake, "--preset", "windows-hooks"],
                     [cmake, "--build", "--preset", "windows-hooks", "-j", jobs]):
            p = subprocess.run(args, cwd=source, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            if p.returncode != 0:
                print(p.stdout.decode(errors="replace")[-4000:])
                return 1
    launcher = os.path.join(tree, "Launcher.exe")
    print("hooks build: %s" % launcher)
    return 0 if os.path.exists(launcher) else 1


def static_init(nm, objects):
    offenders = []
    for obj in objects:
        symbols = subprocess.run([nm, obj], stdout=subprocess.PIPE, check=True).stdout.decode()
        initialisers = re.findall(r"\b_GLOBAL__sub_I_\S+", symbols)
        if initialisers and not os.path.basename(obj).startswith(FRAME_OBJECT):
            offenders.append("%s: %s" % (obj, ", ".join(initialisers)))
    checked = len(objects)
    if offenders:
        print("dynamic initialisation outside the process frame (make these constant):")
        print("\n".join(offenders))
        return 1
    print("%d objects checked: only the process frame initialises dynamically" % checked)
    return 0


def imports(objdump, exe):
    dump = subprocess.run([objdump, "-p", exe], stdout=subprocess.PIPE, check=True).stdout.decode()
    names, inside = set(), False
    for line in dump.splitlines():
        if line.startswith("\tDLL Name:"):
            inside = True
        elif inside and re.match(r"^\s+[0-9a-f]+\s+\d+\s+\S+$", line):
            names.add(line.split()[-1])
        elif not line.strip():
            inside = False
    return names


def holds(data, text):
    return text.encode("ascii") in data or text.encode("utf-16-le") in data


def shipped(objdump, shipped_exe, hooks_exe):
    ship_data, hooks_data = open(shipped_exe, "rb").read(), open(hooks_exe, "rb").read()
    problems = ["the hooks build lacks %r: the check is stale" % t
                for t in HOOK_TEXTS if not holds(hooks_data, t)]
    problems += ["the shipped build holds %r" % t for t in HOOK_TEXTS if holds(ship_data, t)]
    ship_imports, hooks_imports = imports(objdump, shipped_exe), imports(objdump, hooks_exe)
    problems += ["the hooks build does not import %s: the check is stale" % n
                 for n in sorted(HOOK_IMPORTS - hooks_imports)]
    problems += ["the shipped build imports %s" % n for n in sorted(HOOK_IMPORTS & ship_imports)]
    extra = ship_imports - hooks_imports
    if extra:
        problems.append("the shipped build imports what the hooks build does not: %s (stale?)"
                        % sorted(extra))
    if problems:
        print("\n".join(problems))
        return 1
    print("shipped build: %d imports, none of the hooks' texts; the hooks build adds %s"
          % (len(ship_imports), sorted(hooks_imports - ship_imports)))
    return 0


def main(argv):
    if len(argv) == 5 and argv[1] == "build-hooks":
        return build_hooks(argv[2], argv[3], argv[4])
    if len(argv) >= 3 and argv[1] == "static-init":
        return static_init(argv[2], argv[3:])
    if len(argv) == 5 and argv[1] == "shipped":
        return shipped(argv[2], argv[3], argv[4])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
