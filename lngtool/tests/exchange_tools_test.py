#!/usr/bin/env python3
"""The translators' own tools judge what "lngtool export" writes and what
"lngtool import" takes: GNU gettext (msgfmt --check, msgmerge, msgcat),
translate-toolkit (its PO and XLIFF readers, po2xliff, xliff2po) and xmllint.

    exchange_tools_test.py LNGTOOL LAUNCHER_EXE [wine]

With "wine", LNGTOOL is lngtool.exe, run under Wine (its XLIFF reader is then
the system's XmlLite). Exits 77 (skipped) when one of those tools is missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
TRANSLATOR = "Jana Beispiel <jana@example.org>"
SYSTEM_PYTHON = "/usr/bin/python3"
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def translate_toolkit():
    """translate-toolkit's storage modules, from the system's Python if this
    one lacks them (Debian installs them there)."""
    try:
        from translate.storage import poxliff, pypo, xliff
        return pypo, poxliff, xliff
    except ImportError:
        if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON) and \
                os.path.exists(SYSTEM_PYTHON):
            os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
        return None


def run(*args, ok=(0,)):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode not in ok:
        sys.exit(f"FAIL: {' '.join(args)} exited {done.returncode}\n{done.stdout}{done.stderr}")
    return done


def lngtool_runner(lngtool, wine):
    """The command that runs lngtool with these arguments."""
    if not wine:
        return lambda *args: run(lngtool, *args)
    # Wine's programs see the Unix root as drive Z:.
    to_windows = lambda a: "Z:" + a.replace("/", "\\") if a.startswith("/") else a
    return lambda *args: run(os.path.join(ROOT, "tools", "wine-run"), lngtool,
                             *[to_windows(a) for a in args])


def po_units(pypo, path):
    """(context, source, target, fuzzy) of every message but the header."""
    store = pypo.pofile.parsefile(path)
    return [(u.getcontext(), u.source, u.target, u.isfuzzy())
            for u in store.units if not u.isheader() and not u.isobsolete()]


def check(condition, message):
    if not condition:
        sys.exit("FAIL: " + message)


def translate_po(pypo, src, dst):
    """A translator at work, as translate-toolkit saves it: every text gets a
    translation with quotes, a backslash, a tab and line breaks in it, the
    special entries their values; the installer name and images stay."""
    store = pypo.pofile.parsefile(src)
    for u in store.units:
        if u.isheader():
            continue
        context = u.getcontext()
        if context.startswith("scale "):
            u.target = "120*110" if context.endswith("LAUNCHDLG") else "100*90"
        elif context == "dialog LTR":
            u.target = "RTL"
        elif "Keep it unchanged" in u.getnotes("developer") or "<a href" in u.source:
            u.target = u.source
        else:
            u.target = "DE \"\\\t\u00fc\u20ac " + u.source.replace("\r\n", "\n\r")
    store.updateheader(add=True, Language="de", Last_Translator=TRANSLATOR,
                       Plural_Forms="nplurals=2; plural=(n != 1);")
    store.savefile(dst)


def main():
    lngtool = lngtool_runner(sys.argv[1], len(sys.argv) > 3 and sys.argv[3] == "wine")
    exe = sys.argv[2]
    modules = translate_toolkit()
    tools = ["msgfmt", "msgmerge", "msgcat", "xmllint", "po2xliff", "xliff2po"]
    missing = [t for t in tools if shutil.which(t) is None] + ([] if modules else ["translate"])
    if missing:
        print("SKIP: missing " + ", ".join(missing) +
              " (tools/setup installs gettext, translate-toolkit and libxml2-utils)")
        return SKIPPED
    pypo, poxliff, xliff = modules
    work = os.path.realpath(tempfile.mkdtemp(prefix="lngtool_exchange_"))
    at = lambda name: os.path.join(work, name)

    # A POT, translated by translate-toolkit, imported, exported again.
    lngtool("export", exe, "--pot", "--out", at("launcher.pot"))
    run("msgfmt", "--check", "-o", os.devnull, at("launcher.pot"))
    translate_po(pypo, at("launcher.pot"), at("de.po"))
    lngtool("import", at("de.po"), "--module", exe, "--out", at("de.lng"))
    # Kept unchanged on purpose, so exported as translated only when asked.
    lngtool("export", exe, at("de.lng"), "--po", "--keep-identical", "--out", at("out.po"))
    lngtool("export", exe, at("de.lng"), "--xliff", "--keep-identical", "--out", at("out.xlf"))
    expected = po_units(pypo, at("de.po"))
    check(len(expected) == 21 and all(t for _, _, t, _ in expected), "translations missing")
    check(po_units(pypo, at("out.po")) == expected, "PO -> import -> export changed messages")
    # What the translator finished stays finished, through merge too: the
    # texts kept as in English (the file name, the images, the links) are
    # listed in the catalog's header, and msgfmt and check count as one.
    lngtool("merge", at("de.lng"), exe, "--out", at("de-merged.lng"))
    for catalog in ("de.lng", "de-merged.lng"):
        lngtool("export", exe, at(catalog), "--po", "--out", at("plain.po"), "--force")
        done = run("msgfmt", "--check", "--statistics", "-o", os.devnull, at("plain.po"))
        check("21 translated messages." in done.stderr, done.stderr)
        check(po_units(pypo, at("plain.po")) == expected, "the round trip changed messages")
        done = lngtool("check", at(catalog), "--module", exe, "--statistics", "--untranslated")
        check("21 translated messages." in done.stderr and "untranslated:" not in done.stdout,
              done.stdout + done.stderr)
    header = pypo.pofile.parsefile(at("out.po")).parseheader()
    check(header.get("Last-Translator") == TRANSLATOR and
          header.get("Plural-Forms") == "nplurals=2; plural=(n != 1);", "header lost: %r" % header)

    # Untranslated stays untranslated: a fresh template's PO has nothing
    # translated for msgfmt, and lngtool counts as msgfmt does.
    lngtool("template", exe, "--out", at("fresh.lng"))
    lngtool("export", exe, at("fresh.lng"), "--po", "--out", at("fresh.po"))
    done = run("msgfmt", "--check", "--statistics", "-o", os.devnull, at("fresh.po"))
    check("0 translated messages, 21 untranslated messages." in done.stderr, done.stderr)
    done = lngtool("check", at("fresh.lng"), "--module", exe, "--statistics")
    check("0 translated messages, 21 untranslated messages." in done.stderr, done.stderr)
    lngtool("export", exe, at("fresh.lng"), "--xliff", "--out", at("fresh.xlf"))
    fresh = xliff.xlifffile.parsefile(at("fresh.xlf"))
    check(not any(u.istranslated() for u in fresh.units), "a fresh XLIFF has translated units")

    # A text changed a little in the program: merge keeps its translation as
    # a fuzzy suggestion, which PO and XLIFF carry as fuzzy.
    with open(at("de.lng"), "rb") as f:
        catalog = f.read().decode("utf-16")
    gone = "It may take some minutes to finish the installation of Baidu Antivirus."
    catalog = catalog.replace('"It may take a few minutes to finish the installation of Baidu '
                              'Antivirus."', '"%s"' % gone).replace("d82d648f=", "0badc0de=")
    check(gone in catalog and "0badc0de=" in catalog, "the catalog changed")
    with open(at("older.lng"), "wb") as f:
        f.write(b"\xff\xfe" + catalog.encode("utf-16-le"))
    done = lngtool("merge", at("older.lng"), exe, "--out", at("older.lng"))
    check("(1 with a fuzzy suggestion)" in done.stderr, done.stderr)
    lngtool("export", exe, at("older.lng"), "--po", "--keep-identical", "--out", at("fuzzy.po"))
    done = run("msgfmt", "--check", "--statistics", "-o", os.devnull, at("fuzzy.po"))
    check("20 translated messages, 1 fuzzy translation." in done.stderr, done.stderr)
    fuzzy = [u for u in pypo.pofile.parsefile(at("fuzzy.po")).units if u.isfuzzy()]
    check(len(fuzzy) == 1 and fuzzy[0].prev_source == gone, "#| msgid")
    lngtool("export", exe, at("older.lng"), "--xliff", "--keep-identical", "--out",
            at("fuzzy.xlf"))
    run("xmllint", "--noout", at("fuzzy.xlf"))
    fuzzy = [u for u in xliff.xlifffile.parsefile(at("fuzzy.xlf")).units if u.isfuzzy()]
    check(len(fuzzy) == 1 and fuzzy[0].target.startswith("DE "), "XLIFF's fuzzy unit")
    done = lngtool("import", at("fuzzy.po"), "--module", exe, "--out", at("fuzzy.lng"))
    check("20 translations written" in done.stderr, done.stderr)
    done = lngtool("import", at("fuzzy.xlf"), "--use-fuzzy", "--module", exe, "--out",
                   at("fuzzy.lng"))
    check("21 translations written" in done.stderr, done.stderr)

    # gettext accepts the PO without a word, and msgmerge with a fresh POT
    # keeps every translation.
    done = run("msgfmt", "--check", "--statistics", "-o", os.devnull, at("out.po"))
    check("warning" not in done.stderr and "fuzzy" not in done.stderr, done.stderr)
    # A newer program whose INFODLG button says "Close": msgmerge keeps every
    # other translation, and lngtool leaves the fuzzy guess out.
    with open(at("launcher.pot"), encoding="utf-8") as f:
        newer = f.read().replace('msgctxt "dialog INFODLG"\nmsgid "OK"',
                                 'msgctxt "dialog INFODLG"\nmsgid "Close"')
    check("Close" in newer, "the POT changed")
    with open(at("newer.pot"), "w", encoding="utf-8") as f:
        f.write(newer)
    run("msgmerge", "--quiet", "-o", at("merged.po"), at("out.po"), at("newer.pot"))
    merged = {(c, s): (t, fz) for c, s, t, fz in po_units(pypo, at("merged.po"))}
    for context, source, target, _ in expected:
        if (context, source) != ("dialog INFODLG", "OK"):
            check(merged.get((context, source)) == (target, False), "msgmerge lost " + source)
    check(merged[("dialog INFODLG", "Close")][0] in ("", "DE \"\\\t\u00fc\u20ac OK"), "Close")
    done = lngtool("import", at("merged.po"), "--module", exe, "--out", at("merged.lng"))
    check("20 translations written" in done.stderr, done.stderr)

    # A PO as msgcat lays it out (wrapped at 30 columns) with obsolete
    # entries imports to the same catalog.
    run("msgcat", "--width=30", "-o", at("wrapped.po"), at("out.po"))
    with open(at("wrapped.po"), "a", encoding="utf-8") as f:
        f.write('\n#, fuzzy\n#~ msgctxt "dialog INFODLG"\n#~ msgid "Gone"\n#~ msgstr "Weg"\n')
    lngtool("import", at("wrapped.po"), "--module", exe, "--out", at("wrapped.lng"))
    lngtool("export", exe, at("wrapped.lng"), "--po", "--keep-identical", "--out", at("wrapped-out.po"))
    check(po_units(pypo, at("wrapped-out.po")) == expected, "msgcat's layout imports otherwise")
    # Its obsolete message is kept, and msgmerge and lngtool agree on it.
    gone = [u for u in pypo.pofile.parsefile(at("wrapped-out.po")).units if u.isobsolete()]
    check([(u.getcontext(), u.source, u.target) for u in gone] ==
          [("dialog INFODLG", "Gone", "Weg")], "obsolete messages: %r" % gone)

    # The XLIFF is well-formed; translate-toolkit reads from it what the PO
    # holds: sources, targets, developer notes, locations, nothing fuzzy.
    run("xmllint", "--noout", at("out.xlf"))
    po_store = pypo.pofile.parsefile(at("out.po"))
    xlf_store = poxliff.PoXliffFile.parsefile(at("out.xlf"))
    describe = lambda units: [(u.source, u.target, u.getnotes("developer"), u.getlocations(),
                               u.isfuzzy()) for u in units if not u.isheader()]
    check(describe(xlf_store.units) == describe(po_store.units),
          "translate-toolkit reads other units from the XLIFF than from the PO")
    check(xlf_store.gettargetlanguage() in (None, "", "de"), "target language")

    # translate-toolkit's own converters agree with lngtool's formats, and
    # lngtool imports what po2xliff makes of its PO.
    run("po2xliff", "--progress=none", at("out.po"), at("tk.xlf"))
    pairs = lambda store: [(u.source, u.target) for u in store.units if not u.isheader()]
    check(pairs(xliff.xlifffile.parsefile(at("tk.xlf"))) ==
          pairs(xliff.xlifffile.parsefile(at("out.xlf"))), "po2xliff gives other units")
    run("xliff2po", "--progress=none", at("out.xlf"), at("tk.po"))
    check(pairs(pypo.pofile.parsefile(at("tk.po"))) == pairs(po_store), "xliff2po gives others")
    # xliff2po drops the contexts (or puts the key there): the key in the
    # reference names the text.
    for made in ("out.xlf", "tk.xlf", "tk.po"):
        lngtool("import", at(made), "--module", exe, "--out", at(made + ".lng"))
        lngtool("export", exe, at(made + ".lng"), "--po", "--keep-identical", "--out",
                at(made + ".po"))
        check(po_units(pypo, at(made + ".po")) == expected, made + " imports otherwise")

    schemas = [os.path.join(d, f) for d, _, fs in os.walk("/usr/share") for f in fs
               if "xliff" in f.lower() and f.endswith(".xsd")]
    if schemas:
        run("xmllint", "--noout", "--schema", schemas[0], at("out.xlf"))
    else:
        print("note: no XLIFF 1.2 schema installed; well-formedness and translate-toolkit only")
    shutil.rmtree(work)
    print("lngtool's PO, POT and XLIFF pass gettext, translate-toolkit and xmllint")
    return 0


if __name__ == "__main__":
    sys.exit(main())
