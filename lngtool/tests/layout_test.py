#!/usr/bin/env python3
"""The layout check under Wine: nothing found with the English texts at any
of the four display scales, the texts that do not fit with a lengthened
pseudo-translation (left to right and mirrored alike), told in lines with
their catalog lines and named by their catalog among others checked in the
same call, the least fitted scale that removes them at every scale while
one step less does not (a few percent for a text a few pixels too long),
small dialogs of this test's own for each kind of finding, missing glyphs
once a catalog, and the wrapper's own answers.

usage: layout_test.py WINDOWS_BUILD_DIR CASES_MODULE"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FINDING = re.compile(r"^[^:]+(?::[\d,]+)?: (\w+): at (\d+) DPI: (cut|overlap|outside|missing-glyph): "
                     r"(control -?\d+|title)", re.M)
SCALE_KEY = "be06f7dd"  # the offer's scale entry
FIT = re.compile(r'^([^:]+): \w+: (\w{8})="(\d+)\*(\d+)"$', re.M)
GLYPHS = re.compile(r"^([^:]+):(\d+): missing-glyph: no font shows (\d+) characters?, in (\d+) texts?: "
                    r"(.*); (.*)$", re.M)


def env(build):
    return dict(os.environ, LNGTOOL_BUILD=build, LC_ALL="C.UTF-8",
                LNGTOOL_PREFIX=os.path.join(build, "wine", "lngtool-layout-test"),
                WINEPREFIX=os.path.join(build, "wine", "lngtool-layout-test"))


def wrapper(build, *args):
    return subprocess.run([os.path.join(ROOT, "tools", "lngtool-layout"), *args],
                          env=env(build), capture_output=True, text=True, timeout=300)


def layout(build, lng, *extra):
    """Findings as (dialog, DPI, kind, control); at 96 DPI unless extra says
    otherwise. lng: a catalog, or a list of them checked in one call."""
    if "--dpi" not in extra:
        extra = extra + ("--dpi", "96")
    run = wrapper(build, *([lng] if isinstance(lng, str) else lng), *extra)
    if run.returncode not in (0, 1):
        sys.exit("layout %s %s failed (%d):\n%s%s" % (lng, extra, run.returncode, run.stdout, run.stderr))
    if "Z:\\" in run.stdout + run.stderr or "foreseen differs" in run.stderr:
        sys.exit("layout %s: Wine paths, or a rescaling not foreseen:\n%s%s" % (lng, run.stdout, run.stderr))
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


def translated(source, target, make):
    """source with each text made anew by make; the special entries, the
    installer's name, web addresses and the links' markup kept."""
    def value(m):
        v = m.group(2)
        if re.fullmatch(r"\d+\*\d+|LTR|RTL", v) or v.startswith("http") or v.endswith(".exe"):
            return m.group(0)
        v = re.sub(r">([^<]+)<", lambda k: ">" + make(k.group(1)) + "<", v) if "<a" in v else make(v)
        return '%s="%s"' % (m.group(1), v)
    text = open(source, "rb").read().decode("utf-16")
    open(target, "wb").write(re.sub(r'^([0-9a-f]{8})="(.*)"', value, text, flags=re.M).encode("utf-16"))


def expect_glyphs(build, work, en):
    """Characters no font has are told once a catalog, whatever the scales,
    counted and listed once, at the line of the first text that has them;
    Chinese in its own locale, where Wine links the dialog font to a CJK
    font, is clean, and without it the check names that locale."""
    pua, zh = os.path.join(work, "pua.lng"), os.path.join(work, "zh.lng")
    translated(en, pua, lambda t: "\ue000" + t)
    translated(en, zh, lambda t: "\u5b89\u88c5\u5b8c\u6210")  # "installation done"
    code, out, _, found = layout(build, pua, "--dpi", "96,120")
    told = GLYPHS.findall(out)
    if (code != 1 or found or len(told) != 1 or told[0][2] != "1" or int(told[0][3]) < 10
            or told[0][4] != "U+E000 \"\ue000\""):
        sys.exit("private-use characters, once for the catalog:\n" + out)
    lines = open(pua, "rb").read().decode("utf-16").splitlines()
    # String 5102 comes first in the file but is no text of a dialog; 5103 is.
    first = next(i + 1 for i, l in enumerate(lines) if l.startswith("d82d648f="))
    expect("the glyphs' line, the first shown text's", int(told[0][1]), first)
    expect("a missing glyph no scale mends", layout(build, pua, "--fit")[0], 1)
    expect("Chinese in its own locale", layout(build, zh, "--locale", "zh-CN")[::3], (0, set()))
    out = layout(build, zh)[1]
    if not any(hint.endswith("--locale zh-CN") for *_, hint in GLYPHS.findall(out)):
        sys.exit("Chinese without its locale: no glyphs missing, or no word of the cure:\n" + out)


def expect(what, got, wanted):
    if got != wanted:
        sys.exit("%s: %r, expected %r" % (what, got, wanted))


def expect_wrapper_answers(build, work, lng):
    """Help without Wine, a catalog that is missing or none, option values kept."""
    nowhere = os.path.join(work, "no-build")
    helped = subprocess.run([os.path.join(ROOT, "tools", "lngtool-layout"), "--help"],
                            env=dict(env(build), LNGTOOL_BUILD=nowhere), capture_output=True, text=True)
    expect("--help without a build", (helped.returncode, "--dpi LIST" in helped.stdout), (0, True))
    missing = wrapper(build, os.path.join(work, "nope.lng"))
    expect("a missing catalog", (missing.returncode, "cannot read" in missing.stderr), (2, True))
    # One missing among others: told, the others checked, the worst status.
    missing = wrapper(build, os.path.join(work, "nope.lng"), lng, "--dpi", "96")
    expect("a missing catalog among others", (missing.returncode, "cannot read" in missing.stderr,
                                              "0 findings at 96 DPI" in missing.stderr), (2, True, True))
    none = os.path.join(work, "none.lng")
    open(none, "w").write("no marker here\n")
    unloaded = wrapper(build, none, "--dpi", "96")
    expect("a file the launcher loads no catalog from", unloaded.returncode, 2)
    if "Z:" in unloaded.stderr or none not in unloaded.stderr:
        sys.exit("messages name the catalog as given:\n" + unloaded.stderr)
    # A scale without a prefix yet: the wrapper says what takes the time.
    fresh = env(build)["LNGTOOL_PREFIX"] + "-108"
    shutil.rmtree(fresh, ignore_errors=True)
    made = wrapper(build, lng, "--dpi", "108")
    shutil.rmtree(fresh, ignore_errors=True)
    if made.returncode not in (0, 1) or "making the Wine prefix for 108 DPI, once" not in made.stderr:
        sys.exit("a new scale's prefix made without a word:\n" + made.stderr)
    valued = wrapper(build, lng, "--dpi", "96", "--codepage", "936")
    if "936" in valued.stderr.replace("--codepage 936", "") or "Z:" in valued.stderr:
        sys.exit("--codepage 936 reached lngtool as something else:\n" + valued.stderr)


def expect_least_fits(build, work, lng):
    """The fit over the four scales, of the doubled texts and of a check box a
    few pixels too long, written into the catalogs, removes every finding at
    all of them; one step (1 %) less in either direction leaves some. The
    check box asks a few percent, not a dialog grown by half."""
    four = ("--dpi", "96,120,144,192")
    few = os.path.join(work, "few.lng")
    text = open(lng["en"], "rb").read().decode("utf-16")
    text, n = re.subn(r'^(7b876e02=".*)"', r'\1 and keep it on now!"', text, flags=re.M)
    assert n == 1
    open(few, "wb").write(text.encode("utf-16"))
    shutil.copy(lng["long"], lng["fit"])
    code, out, err, _ = layout(build, [lng["fit"], few], "--fit", "--write", *four)
    fits = {(name, key): (int(x), int(y)) for name, key, x, y in FIT.findall(out)}
    expect("dialogs fitted", (code, sorted(fits)),
           (0, sorted([(lng["fit"], "2bfcfcd7"), (lng["fit"], "be06f7dd"), (few, "be06f7dd")])))
    x, y = fits[(few, "be06f7dd")]
    if x * y > 105 * 100:
        sys.exit("a check box a few pixels too long fitted with %d*%d" % (x, y))
    expect("after the fit", layout(build, [lng["fit"], few], *four)[::3], (0, set()))
    less = []
    for (name, key), (x, y) in fits.items():
        for smaller in ((x - 1, y), (x, y - 1)):
            if min(smaller) >= 100:
                less.append(os.path.join(work, "less-%s-%d-%d.lng" % (key, *smaller)))
                with_scale(name, less[-1], key, *smaller)
    out = layout(build, less, *four)[1]
    quiet = [name for name in less if name + ":" not in out]
    if quiet:
        sys.exit("below the fit, nothing found with %s:\n%s" % (quiet, out))


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

    expect_wrapper_answers(build, work, lng["en"])
    # The English texts prove the measurement, at every scale (hinting makes
    # widths grow unevenly with the font); the dialogs leave room for the
    # usual growth of a translation, but not for doubled texts.
    expect("English at four scales", layout(build, lng["en"], "--dpi", "96,120,144,192")[::3], (0, set()))
    # Several catalogs in one call: only the doubled texts' are faulty, and
    # every finding names that file and its line.
    code, out, _, found = layout(build, [lng["en"], lng["pseudo"], lng["long"]])
    wanted = {("LAUNCHDLG", "96", "cut", "control -1"), ("LAUNCHDLG", "96", "cut", "control 5101"),
              ("INFODLG", "96", "cut", "control 5101"), ("INFODLG", "96", "cut", "title")}
    expect("doubled texts among clean ones", (code, found), (1, wanted))
    box = next(i + 1 for i, l in enumerate(open(lng["long"], "rb").read().decode("utf-16").splitlines())
               if l.startswith("7b876e02="))
    told = [r"^%s:%d: LAUNCHDLG: at 96 DPI: cut: control 5101 .* needs 2 lines of \d+ pixels, "
            r"the control shows 1 line$" % (re.escape(lng["long"]), box),
            r"^[^:]+:\d+,\d+,\d+,\d+: INFODLG: at 96 DPI: cut: control 5101 .* needs \d+ lines",
            r"^[^:]+:\d+: INFODLG: at 96 DPI: cut: title .* is \d+ pixels? too wide$"]
    findings = [line for line in out.splitlines() if FINDING.match(line)]
    if (len(findings) != 5 or not all(line.startswith(lng["long"] + ":") for line in findings)
            or not all(re.search(t, out, re.M) for t in told)):
        sys.exit("doubled texts, each with its catalog and lines, in lines:\n" + out)
    expect("mirrored", layout(build, lng["rtl"])[::3], (1, wanted))
    # The preview outlines the findings' controls in red, and nothing else.
    plain, marked = preview_red(build, work, lng["en"], "en"), preview_red(build, work, lng["long"], "long")
    if plain != (0, 0) or min(marked) < 200:
        sys.exit("red outlines in the preview: %s in English, %s with doubled texts" % (plain, marked))
    expect_least_fits(build, work, lng)

    # The test's own dialogs: a static a line short, a check box words short,
    # a button beyond the edge; a short static and a link that fit.
    code, out, err, found = layout(build, lng["en"], "--dll", cases)
    expect("cases", (code, found), (1, {("LAUNCHDLG", "96", "cut", "control 201"),
                                        ("LAUNCHDLG", "96", "cut", "control 202"),
                                        ("LAUNCHDLG", "96", "outside", "control 204")}))
    code, out, err, _ = layout(build, lng["en"], "--dll", cases, "--fit")
    if code != 1 or "no scale up to 200*200" not in err or '"Far"' not in err:
        sys.exit("cases --fit: a control beyond the edge has no fit:\n" + out + err)
    expect_glyphs(build, work, lng["en"])
    print("layout: English clean at four scales, doubled texts found and fitted, the cases' findings, glyphs")


if __name__ == "__main__":
    main()
