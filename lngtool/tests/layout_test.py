#!/usr/bin/env python3
"""The layout check under Wine: nothing found with the English texts, the
texts that do not fit with a lengthened pseudo-translation (left to right and
mirrored alike), a fitted scale that removes them while one step less does
not, and small dialogs of this test's own for each kind of finding.

usage: layout_test.py WINDOWS_BUILD_DIR CASES_MODULE"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FINDING = re.compile(r"^[^:]+(?::\d+)?: (\w+): (cut|overlap|outside): (control -?\d+|title)", re.M)
FIT = re.compile(r'^(\w{8})="(\d+)\*(\d+)"$', re.M)


def env(build):
    return dict(os.environ, LNGTOOL_BUILD=build, LC_ALL="C.UTF-8",
                LNGTOOL_PREFIX=os.path.join(build, "wine", "lngtool-layout-test"),
                WINEPREFIX=os.path.join(build, "wine", "lngtool-layout-test"))


def layout(build, lng, *extra):
    run = subprocess.run([os.path.join(ROOT, "tools", "lngtool-layout"), lng, *extra],
                         env=env(build), capture_output=True, text=True, timeout=300)
    if run.returncode not in (0, 1):
        sys.exit("layout %s %s failed (%d):\n%s%s" % (lng, extra, run.returncode, run.stdout, run.stderr))
    return run.returncode, run.stdout, run.stderr, set(FINDING.findall(run.stdout))


def tool(build, *args):
    """lngtool.exe itself, for the catalogs the check reads."""
    run = subprocess.run([os.path.join(ROOT, "tools", "wine-run"), os.path.join(build, "lngtool.exe"),
                          *args], env=env(build), capture_output=True, timeout=300)
    if run.returncode != 0:
        sys.exit("lngtool.exe %s: %s" % (args, run.stderr.decode(errors="replace")))


def red_pixels(png_path):
    """Pure red pixels of the preview's PNG (RGB, rows with filter 0)."""
    data = open(png_path, "rb").read()
    width, height = struct.unpack(">II", data[16:24])
    at, idat = 8, b""
    while at < len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IDAT":
            idat += data[at + 8:at + 8 + size]
        at += size + 12
    raw = zlib.decompress(idat)
    row = 1 + 3 * width
    return sum(1 for y in range(height) for x in range(width)
               if raw[y * row + 1 + 3 * x:y * row + 4 + 3 * x] == b"\xff\x00\x00")


def preview_red(build, work, lng, name):
    out = os.path.join(work, name)
    run = subprocess.run([os.path.join(ROOT, "tools", "lngtool-preview"), lng, "--out", out],
                         env=env(build), capture_output=True, text=True, timeout=300)
    if run.returncode != 0:
        sys.exit("preview %s failed:\n%s" % (name, run.stderr))
    return red_pixels(os.path.join(out, "LAUNCHDLG.png")), red_pixels(os.path.join(out, "INFODLG.png"))


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def with_scale(source, target, key, x, y):
    text = open(source, "rb").read().decode("utf-16")
    text, n = re.subn(key + r'="[^"\r\n]*"', '%s="%d*%d"' % (key, x, y), text)
    assert n == 1, key
    open(target, "wb").write(text.encode("utf-16"))


def expect(what, got, wanted):
    if got != wanted:
        sys.exit("%s: %r, expected %r" % (what, got, wanted))


def main():
    build, cases = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = os.path.join(build, "tests", "lngtool-layout")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    lng = {name: os.path.join(work, name + ".lng") for name in ("en", "pseudo", "long", "rtl", "fit")}
    tool(build, "template", "--out", winpath(lng["en"]))
    tool(build, "pseudo", "--out", winpath(lng["pseudo"]))
    tool(build, "pseudo", "--expand", "100", "--out", winpath(lng["long"]))
    tool(build, "pseudo", "--expand", "100", "--rtl", "--out", winpath(lng["rtl"]))

    # The English texts prove the measurement; the dialogs leave room for
    # the usual growth of a translation, but not for doubled texts.
    expect("English", layout(build, lng["en"])[::3], (0, set()))
    expect("pseudo-translation", layout(build, lng["pseudo"])[::3], (0, set()))
    code, out, _, found = layout(build, lng["long"])
    wanted = {("LAUNCHDLG", "cut", "control -1"), ("LAUNCHDLG", "cut", "control 5101"),
              ("INFODLG", "cut", "control 5101"), ("INFODLG", "cut", "title")}
    expect("doubled texts", (code, found), (1, wanted))
    if len(FINDING.findall(out)) != 5 or not re.search(r"^[^:]+:30: LAUNCHDLG: cut: control 5101", out, re.M):
        sys.exit("doubled texts, each with its catalog line:\n" + out)
    expect("mirrored", layout(build, lng["rtl"])[::3], (1, wanted))
    # The preview outlines the findings' controls in red, and nothing else.
    plain, marked = preview_red(build, work, lng["en"], "en"), preview_red(build, work, lng["long"], "long")
    if plain != (0, 0) or min(marked) < 200:
        sys.exit("red outlines in the preview: %s in English, %s with doubled texts" % (plain, marked))

    # The fit, written into the catalog, removes every finding; one step
    # less in either direction leaves some.
    shutil.copy(lng["long"], lng["fit"])
    code, out, _, _ = layout(build, lng["fit"], "--fit", "--write")
    fits = FIT.findall(out)
    expect("dialogs fitted", (code, len(fits)), (0, 2))
    expect("after the fit", layout(build, lng["fit"])[::3], (0, set()))
    for key, x, y in fits:
        for smaller in ((int(x) - 5, int(y)), (int(x), int(y) - 5)):
            if min(smaller) >= 100:
                less = os.path.join(work, "less.lng")
                with_scale(lng["fit"], less, key, *smaller)
                if layout(build, less)[0] != 1:
                    sys.exit("%s at %d*%d, below the fit %s*%s, finds nothing" % (key, *smaller, x, y))

    # The test's own dialogs: a static a line short, a check box words short,
    # a button beyond the edge; a short static and a link that fit.
    code, out, err, found = layout(build, lng["en"], "--dll", cases)
    expect("cases", (code, found), (1, {("LAUNCHDLG", "cut", "control 201"),
                                        ("LAUNCHDLG", "cut", "control 202"),
                                        ("LAUNCHDLG", "outside", "control 204")}))
    code, out, err, _ = layout(build, lng["en"], "--dll", cases, "--fit")
    if code != 1 or "no scale up to 200*200" not in err or '"Far"' not in err:
        sys.exit("cases --fit: a control beyond the edge has no fit:\n" + out + err)
    print("layout: English clean, doubled texts found and fitted, the cases' findings")


if __name__ == "__main__":
    main()
