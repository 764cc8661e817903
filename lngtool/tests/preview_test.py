#!/usr/bin/env python3
"""The preview under Wine: both dialogs rendered to PNG files whose sizes
follow the catalog's scale entries by the launcher's own formula, with and
without a language module, and the display's scale; several catalogs in one
call, each into a folder of its own; nothing rendered when the launcher
would load no catalog.

usage: preview_test.py WINDOWS_BUILD_DIR LANGUAGE_MODULE"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCALE_KEYS = {"LAUNCHDLG": "be06f7dd", "INFODLG": "2bfcfcd7"}
DIRECTION_KEY = "50a17ae8"
LINE = re.compile(r"(\S+)/(\w+)\.png: (\d+) x (\d+), client (\d+) x (\d+)")


def catalog(path, scales, rtl=False):
    lines = ["; preview test", "***messages***"]
    lines += ['%s="%d*%d"' % (SCALE_KEYS[d], x, y) for d, (x, y) in scales.items()]
    if rtl:
        lines.append('%s="RTL"' % DIRECTION_KEY)
    with open(path, "wb") as f:
        f.write(("\ufeff" + "\r\n".join(lines) + "\r\n").encode("utf-16-le"))


def run_preview(build, lng, out, *extra):
    """lng: a catalog, or a list of them rendered in one call."""
    env = dict(os.environ, LNGTOOL_BUILD=build,
               LNGTOOL_PREFIX=os.path.join(build, "wine", "lngtool-preview-test"))
    return subprocess.run([os.path.join(ROOT, "tools", "lngtool-preview"),
                           *([lng] if isinstance(lng, str) else lng), "--out", out, *extra],
                          env=env, capture_output=True, text=True, timeout=300)


def preview(build, work, name, lng, *extra):
    """The sizes of both dialogs' pictures, by dialog; for a list of
    catalogs, by the folder each catalog's went to, then by dialog."""
    out = os.path.join(work, name)
    run = run_preview(build, lng, out, *extra)
    if run.returncode != 0:
        sys.exit("preview %s failed (%d):\n%s%s" % (name, run.returncode, run.stdout, run.stderr))
    sizes = {}
    for m in LINE.finditer(run.stdout):
        folder, dialog = os.path.relpath(m.group(1), out), m.group(2)
        sizes.setdefault(folder, {})[dialog] = tuple(int(v) for v in m.groups()[2:])
        with open(os.path.join(out, folder, dialog + ".png"), "rb") as f:
            head = f.read(24)
        if head[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack(">II", head[16:24]) != sizes[folder][dialog][:2]:
            sys.exit("%s/%s/%s.png: not a PNG of the size reported" % (name, folder, dialog))
    folders = ["."] if isinstance(lng, str) else [os.path.basename(c)[:-4] for c in lng]
    if sorted(sizes) != sorted(folders) or any(set(d) != set(SCALE_KEYS) for d in sizes.values()):
        sys.exit("preview %s: expected both dialogs in %s, got:\n%s" % (name, folders, run.stdout))
    return sizes["."] if isinstance(lng, str) else sizes


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def tool(build, *args):
    """lngtool.exe itself under Wine, in the preview's prefix."""
    # Wine takes the arguments in the Unix locale's encoding: UTF-8 here.
    env = dict(os.environ, WINEPREFIX=os.path.join(build, "wine", "lngtool-preview-test"),
               LC_ALL="C.UTF-8")
    return subprocess.run([os.path.join(ROOT, "tools", "wine-run"), os.path.join(build, "lngtool.exe"),
                           *args], env=env, capture_output=True, timeout=300)


def expect_tool_commands(build, work):
    """The Windows build's own side: the program found beside lngtool.exe,
    files by wide names, and arguments beyond ASCII from the command line."""
    lng = os.path.join(work, "Vorlage \u00e4.lng")
    made = tool(build, "template", "--out", winpath(lng))
    if made.returncode != 0 or not open(lng, "rb").read().startswith(b"\xff\xfe"):
        sys.exit("lngtool.exe template failed: %s" % made.stderr.decode(errors="replace"))
    checked = tool(build, "check", winpath(lng))
    if checked.returncode != 0 or b"0 of 21 texts translated" not in checked.stdout:
        sys.exit("lngtool.exe check of its template: %s" % checked.stdout.decode(errors="replace"))
    key = tool(build, "key", "$", "INFODLG", "\u00c4nderung")
    expected = "%08x" % (zlib.crc32("$INFODLG\u00c4nderung".encode("cp1252")) & 0xFFFFFFFF)
    if key.stdout.decode().strip() != expected:
        sys.exit("lngtool.exe key: %r, expected %s" % (key.stdout, expected))


def expect_scaled(base, scaled, x, y, what):
    """The launcher's resize: NW = C.right * x / 100 + fw with fw = ww - C.right,
    ww being one more than the window's width (likewise for the height)."""
    width, height, client_w, client_h = base
    fw = width + 1 - client_w
    fh = height + 1 - client_h
    expected = (client_w * x // 100 + fw, client_h * y // 100 + fh)
    if scaled[:2] != expected:
        sys.exit("%s at %d*%d: window %s, expected %s (from %s)" % (what, x, y, scaled[:2], expected, base))


def main():
    build, module = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = os.path.join(build, "tests", "lngtool-preview")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    # First, so that the preview's prefix exists for the tool's own runs.
    plain = os.path.join(work, "plain.lng")
    catalog(plain, {"LAUNCHDLG": (100, 100), "INFODLG": (100, 100)})
    base = preview(build, work, "plain", plain)

    # Two catalogs in one call, a folder each.
    scales = {"LAUNCHDLG": (150, 120), "INFODLG": (80, 200)}
    scaled_lng = os.path.join(work, "scaled.lng")
    catalog(scaled_lng, scales)
    both = preview(build, work, "both", [plain, scaled_lng])
    if both["plain"] != base:
        sys.exit("the plain catalog among two: %s, alone %s" % (both["plain"], base))
    for dialog, (x, y) in scales.items():
        expect_scaled(base[dialog], both["scaled"][dialog], x, y, dialog)

    expect_tool_commands(build, work)

    # The language module's templates (same geometry), mirrored and scaled.
    rtl_lng = os.path.join(work, "rtl.lng")
    catalog(rtl_lng, {"LAUNCHDLG": (120, 110)}, rtl=True)
    german = preview(build, work, "german", rtl_lng, "--dll", module)
    expect_scaled(base["LAUNCHDLG"], german["LAUNCHDLG"], 120, 110, "LAUNCHDLG with the module")
    if german["INFODLG"] != base["INFODLG"]:
        sys.exit("INFODLG with the module: %s, expected %s" % (german["INFODLG"], base["INFODLG"]))

    # At 200 % the dialogs are laid out anew in dialog units: about twice as
    # large (the font's hinted metrics do not grow exactly in proportion).
    double = preview(build, work, "dpi192", plain, "--dpi", "192")
    for dialog, (width, height, client_w, client_h) in base.items():
        big = double[dialog]
        if not (1.8 <= big[2] / client_w <= 2.2 and 1.8 <= big[3] / client_h <= 2.2):
            sys.exit("%s at 192 DPI: client %s x %s, at 96 DPI %s x %s" % (dialog, big[2], big[3], client_w, client_h))

    # A file the launcher loads no catalog from: English pictures would pass
    # for the translation's.
    none = os.path.join(work, "none.lng")
    open(none, "w").write("no marker\n")
    run = run_preview(build, none, os.path.join(work, "none"))
    if run.returncode == 0 or os.path.exists(os.path.join(work, "none", "LAUNCHDLG.png")):
        sys.exit("preview of a file without a catalog: exit %d\n%s" % (run.returncode, run.stderr))

    print("preview: both dialogs, sizes as the scale entries and the display's scale give them")


if __name__ == "__main__":
    main()
