#!/usr/bin/env python3
"""The wrappers on a private display of their own (no DISPLAY), as a script
runs them with its output in files: when the wrapper returns, its findings
are in standard output and its summary or failure in standard error, nothing
arriving later.

usage: wrapper_test.py WINDOWS_BUILD_DIR"""
import os
import re
import subprocess
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def catalog(path, entries):
    """A UTF-16 catalog of dialog texts: (dialog, English, translation)."""
    lines = ["; wrapper test", "***messages***"]
    for dialog, source, value in entries:
        key = zlib.crc32(("$" + dialog + source).encode("cp1252")) & 0xFFFFFFFF
        lines.append('%08x="%s"' % (key, value))
    with open(path, "wb") as f:
        f.write(("\ufeff" + "\r\n".join(lines) + "\r\n").encode("utf-16-le"))


def run(build, work, wrapper, *args):
    """Exit status, standard output and standard error as the files hold
    them the moment the wrapper returns. Every run writes the same two files:
    a line written late would also land in the next run's."""
    env = dict(os.environ, LNGTOOL_BUILD=build, LC_ALL="C.UTF-8",
               LNGTOOL_PREFIX=os.path.join(build, "wine", "lngtool-wrapper-test"))
    env.pop("DISPLAY", None)
    out, err = os.path.join(work, "out"), os.path.join(work, "err")
    with open(out, "wb") as o, open(err, "wb") as e:
        code = subprocess.run([os.path.join(ROOT, "tools", wrapper), *args], env=env, stdout=o,
                              stderr=e, timeout=600).returncode
    texts = [open(p, encoding="utf-8", errors="replace").read() for p in (out, err)]
    left = writers(out, err)
    if left:
        sys.exit("%s returned while these still held its output: %s" % (wrapper, left))
    return (code, *texts)


def writers(*paths):
    """Processes that hold any of these files open."""
    wanted = {os.path.realpath(p) for p in paths}
    found = set()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            fds = os.listdir("/proc/%s/fd" % pid)
            if any(os.readlink("/proc/%s/fd/%s" % (pid, fd)) in wanted for fd in fds):
                found.add(open("/proc/%s/cmdline" % pid, "rb").read().replace(b"\0", b" ").decode())
        except OSError:
            pass  # gone meanwhile, or not ours to look into
    return found


def expect(what, ok, code, out, err):
    if not ok:
        sys.exit("%s (exit %d):\nstandard output:\n%s\nstandard error:\n%s" % (what, code, out, err))


def main():
    build = os.path.abspath(sys.argv[1])
    work = os.path.join(build, "tests", "lngtool-wrapper")
    os.makedirs(work, exist_ok=True)

    cut = os.path.join(work, "cut.lng")
    catalog(cut, [("INFODLG", "OK", "A button text far too long for a button of seventy units")])
    code, out, err = run(build, work, "lngtool-layout", cut, "--dpi", "96")
    expect("layout: the finding on standard output, the summary on standard error",
           code == 1 and "INFODLG" in out and "control 1 " in out and "lngtool:" not in out
           and re.search(r"^lngtool: 1 finding .*\n\Z", err, re.M), code, out, err)

    # A file the launcher loads no catalog from: lngtool.exe's own failure.
    none = os.path.join(work, "none.lng")
    with open(none, "w") as f:
        f.write("no marker here\n")
    code, out, err = run(build, work, "lngtool-preview", none, "--out", os.path.join(work, "png"))
    expect("preview: the failure on standard error", code == 2 and none in err, code, out, err)
    print("wrappers: output complete on return")


if __name__ == "__main__":
    main()
