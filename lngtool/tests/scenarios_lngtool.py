"""Catalogs made by lngtool, end to end: "lngtool template" run inside Windows
on the built Launcher.exe, every text's value changed, the file placed beside
the launcher as launcher.lng; both dialogs then show the changed value in
every text. The template and the changed catalog check clean with
"lngtool check"."""
import os
import shutil
import subprocess
import tempfile

from harness import INSTALL_WIN, INSTALLER, check, scenario, stop_wineserver, wine_binary
from scenarios_dialogs import INFO, OFFER, OfferRun

TOOL_WIN = "C:\\ztk\\tools\\lngtool.exe"
TEMPLATE_WIN = "C:\\ztk\\template.lng"
CATALOG_WIN = INSTALL_WIN + "\\launcher.lng"
# Beyond Windows-1252, so that only the UTF-16 form can carry it.
MARK = "\u00dc\u2192 "
# Comment endings of entries whose values stay: the installer's file name
# (string 5101), the bitmap names, the scale and the direction.
KEPT = ("(string 5101)", "keep it unchanged)", "keeps the size)", "right to left)")
ESCAPES = {"\\\\": "\\", '\\"': '"', "\\n": "\n", "\\r": "\r", "\\t": "\t"}


def unescaped(value):
    out, i = "", 0
    while i < len(value):
        pair = value[i:i + 2]
        if pair in ESCAPES:
            out, i = out + ESCAPES[pair], i + 2
        else:
            out, i = out + value[i], i + 1
    return out


def changed(value):
    """The value marked; a link keeps its markup around the marked text."""
    if value.startswith("<a href="):
        at = value.index('\\">') + 3
        return value[:at] + MARK + value[at:]
    return MARK + value


def lngtool(s, *args):
    """lngtool.exe inside the scenario's prefix: exit code and output."""
    with tempfile.TemporaryFile() as out:
        p = subprocess.run([wine_binary(), TOOL_WIN] + list(args), env=s.env, stdout=out,
                           stderr=subprocess.STDOUT, timeout=120)
        out.seek(0)
        return p.returncode, out.read().decode("utf-8", errors="replace")


def changed_catalog(template):
    """The template with every shown text changed; the changed texts by
    dialog ("s" for strings) and the string values in order."""
    lines = template.split("\r\n")
    shown = {"s": [], "LAUNCHDLG": [], "INFODLG": []}
    for i, line in enumerate(lines):
        comment = lines[i - 1] if i > 0 else ""
        if not comment.startswith("# ") or '="' not in line or comment.endswith(KEPT):
            continue
        key, value = line.split('="', 1)
        value = changed(value[:-1])
        lines[i] = '%s="%s"' % (key, value)
        where = comment.split(" ")[2] if comment.startswith("# $ ") else "s"
        shown[where].append(unescaped(value))
    return "\r\n".join(lines), shown


def expect_every_text_changed(listing, title, expected):
    """The title and every control text are changed ones; bitmap names and
    the information text (checked on its own) aside."""
    check(listing["title"] == title, "dialog titled %r, expected %r" % (listing["title"], title))
    seen = {listing["title"]}
    for c in listing["controls"]:
        if c["text"] in ("", "LOGO", "LOGOSMALL") or (c["id"], c["class"]) == (5101, "Static"):
            continue
        check(c["text"] in expected, "control %s shows %r, not a changed text" % (c["id"],
                                                                                c["text"]))
        seen.add(c["text"])
    check(seen == set(expected), "texts never shown: %s" % sorted(set(expected) - seen))


@scenario
def lngtool_template_changes_every_dialog_text(s):
    s.install(installer=True)
    os.makedirs(os.path.dirname(s.unix(TOOL_WIN)), exist_ok=True)
    shutil.copy(os.path.join(s.config.build, "lngtool.exe"), s.unix(TOOL_WIN))
    code, out = lngtool(s, "template", INSTALL_WIN + "\\Launcher.exe", "--out", TEMPLATE_WIN)
    check(code == 0, "lngtool template failed (%d): %s" % (code, out))
    code, out = lngtool(s, "check", TEMPLATE_WIN, "--program", INSTALL_WIN + "\\Launcher.exe")
    check(code == 0 and "0 of 21 texts translated" in out, "the template checks: %s" % out)

    with open(s.unix(TEMPLATE_WIN), "rb") as f:
        data = f.read()
    check(data[:2] == b"\xff\xfe", "the template is not UTF-16 LE with its mark")
    catalog, shown = changed_catalog(data[2:].decode("utf-16-le"))
    check(len(shown["s"]) == 5 and len(shown["LAUNCHDLG"]) == 8 and len(shown["INFODLG"]) == 2,
          "changed %s" % {k: len(v) for k, v in shown.items()})
    s.write_file(CATALOG_WIN, b"\xff\xfe" + catalog.encode("utf-16-le"))
    code, out = lngtool(s, "check", CATALOG_WIN, "--program", INSTALL_WIN + "\\Launcher.exe")
    check(code == 0 and "15 of 21 texts translated" in out, "the changed catalog checks: %s" % out)
    # The dialogs need a Wine session that has the display from its start.
    stop_wineserver(s.env)

    with OfferRun(s) as run:
        run.wait(MARK + OFFER)
        expect_every_text_changed(run.listing(MARK + OFFER), MARK + OFFER, shown["LAUNCHDLG"])
        run.drive("click", MARK + OFFER, "1")
        run.wait(MARK + INFO)
        info = run.listing(MARK + INFO)
        expect_every_text_changed(info, MARK + INFO, shown["INFODLG"])
        text = [c["text"] for c in info["controls"] if c["id"] == 5101]
        expected = "".join(v + " " for v in shown["s"][1:])  # strings 5103 to 5106
        check(text == [expected], "information text %r, expected %r" % (text, expected))
        run.drive("click", MARK + INFO, "1")
        run.gone(MARK + OFFER)
    run.result.expect_exit(0)
    check(len(s.records(INSTALL_WIN + "\\" + INSTALLER)) == 1, "the installer was not started")
    s.expect_cleanup()
