#!/usr/bin/env python3
"""An outside judge for "lngtool check": catalogs with the faults translators
make are exported as PO and handed to translate-toolkit's pofilter. Every
fault pofilter reports (for the checks both make) must be a finding of
lngtool check on that entry's line.

    check_judge_test.py LNGTOOL LAUNCHER_EXE [wine]

Its --statistics and --untranslated count as msgfmt does on the export.
Exits 77 (skipped) when pofilter, msgfmt or translate-toolkit is missing.
"""
import os
import re
import shutil
import sys
import tempfile
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from exchange_tools_test import ROOT, SKIPPED, check, run, translate_toolkit  # noqa: E402

# pofilter's test -> the lngtool checks that report the same fault; "error"
# is any error on the line (the link control cannot read the markup).
JUDGED = {
    "newlines": {"newlines"},
    "startwhitespace": {"startwhitespace", "newlines"},
    "endwhitespace": {"endwhitespace", "newlines", "doublespacing"},
    "doublespacing": {"doublespacing", "startwhitespace", "endwhitespace"},
    "endpunc": {"endpunc"},
    "accelerators": {"accelerators"},
    "notranslatewords": {"names"},
    "urls": {"urls", "error"},
    "xmltags": {"urls", "error"},
}

# Two languages' catalogs, each entry with the faults of a translator in a
# hurry (or none). The values are written as in the catalog, escapes and all.
FAULTY = {
    "fr": {
        "b67d4afa": "\\r\\nVous pouvez fermer cette fen\u00eatre maintenant.",
        "d82d648f": "Cela peut prendre quelques minutes pour installer Baidu Antivirus",
        "70506c90": " Vous verrez l'ic\u00f4ne de Baidu Antivirus sur votre bureau.",
        "077fb989": "Baidu Antivirus prot\u00e9gera votre syst\u00e8me sur Internet.  ",
        "b18af6e2": "Installation de  Zentak",
        "e2dec93b": "Merci d'utiliser Zentak\u202f! Veuillez consid\u00e9rer la proposition "
                    "suivante de nos partenaires.",
        "5c14bdc6": "Le logiciel d\u00e9fendra votre ordinateur. 100 % gratuit.",
        "7b876e02": "Installer Baidu Antivirus sur mon &ordinateur",
        "1037d696": "Je connais la politique de confidentialit\u00e9 de Baidu Antivirus et "
                    "j'accepte le contrat de licence de Baidu Antivirus.",
        "c348919f": '<a href=\\"http://antivirus.baidu.com/pt/policy.php>Politique de '
                    'confidentialit\u00e9 de Baidu Antivirus</a>',
        "a4b090e8": '<a href=\\"https://antivirus.baidu.com/fr/licence.php\\">Contrat de '
                    'licence de Baidu Antivirus</a>',
        "c079bbc6": "D'accord",
        "623679e1": "L'installation de Baidu Antivirus est en cours",
    },
    "de": {
        "b67d4afa": "\\r\\n\\r\\nSie k\u00f6nnen dieses Fenster jetzt schlie\u00dfen.\\r\\n",
        "d82d648f": "Die Installation von Baidu Antivirus kann einige Minuten dauern. ",
        "70506c90": "Das Symbol von Baidu  Antivirus erscheint auf dem Desktop.",
        "077fb989": "Er sch\u00fctzt Ihr System beim Surfen im Internet",
        "b18af6e2": "Einrichtung",
        "1037d696": "Ich kenne die Datenschutzrichtlinie von Baidu Antivirus & stimme dem "
                    "Lizenzvertrag zu.",
        "c348919f": '<a href=\\"http://antivirus.baidu.com/pt/policy.php\\">Datenschutz von '
                    'Baidu Antivirus',
        "a4b090e8": '<a href=\\"http://antivirus.baidu.com/pt/license_agree.php\\">'
                    'Lizenzvertrag von Baidu Antivirus</a>',
        "623679e1": "Baidu Antivirus wird installiert \u2026",
    },
}

FINDING = re.compile(r"^(.*?):(\d+): (error|warning|note): .*?(?: \[([a-z]+)\])?$")


def resolve(value):
    """The catalog's escapes resolved, as export writes the translation."""
    out, i = [], 0
    while i < len(value):
        if value[i] == "\\" and i + 1 < len(value) and value[i + 1] in 'rnt"\\':
            out.append({"r": "\r", "n": "\n", "t": "\t"}.get(value[i + 1], value[i + 1]))
            i += 2
        else:
            out.append(value[i])
            i += 1
    return "".join(out)


def plant(template, faults):
    """The template's text with each key's value replaced; the lines by key."""
    lines = template.split("\r\n")
    at = {}
    for n, line in enumerate(lines):
        key = line[:8]
        if key in faults and line[8:10] == '="':
            lines[n] = '%s="%s"' % (key, faults[key])
            at[key] = n + 1
    check(set(at) == set(faults), "keys not in the template: %s" % (set(faults) - set(at)))
    return "\r\n".join(lines), at


def ends_with_a_mark(text):
    """pofilter's endpunc also wants the English's very mark ("..." and not
    "\u2026", "." and not "\u3002"); lngtool takes any ending mark of any script
    on purpose, so the judge holds it to a translation that ends with none."""
    text = text.rstrip().rstrip("\"')]}\u2019\u201c\u201d\u00bb\u00ab")
    return bool(text) and unicodedata.category(text[-1]) == "Po"


def lngtool_findings(done):
    """{line: {check names, and "error" for an error}} from lngtool check."""
    found = {}
    for line in done.stdout.splitlines():
        m = FINDING.match(line)
        if m and m.group(3) != "note":
            names = found.setdefault(int(m.group(2)), set())
            names.add(m.group(4) or m.group(3))
            if m.group(3) == "error":
                names.add("error")
    return found


def lngtool_runner(lngtool, wine):
    """lngtool with these arguments (under Wine, paths on drive Z:)."""
    if not wine:
        return lambda *args, ok=(0,): run(lngtool, *args, ok=ok)
    to_windows = lambda a: "Z:" + a.replace("/", "\\") if a.startswith("/") else a
    return lambda *args, ok=(0,): run(os.path.join(ROOT, "tools", "wine-run"), lngtool,
                                      *[to_windows(a) for a in args], ok=ok)


def main():
    lngtool = lngtool_runner(sys.argv[1], len(sys.argv) > 3 and sys.argv[3] == "wine")
    exe = sys.argv[2]
    modules = translate_toolkit()
    if modules is None or shutil.which("pofilter") is None or shutil.which("msgfmt") is None:
        print("SKIP: pofilter (translate-toolkit) or msgfmt is missing; tools/setup installs them")
        return SKIPPED
    pypo = modules[0]
    work = os.path.realpath(tempfile.mkdtemp(prefix="lngtool_judge_"))
    at = lambda name: os.path.join(work, name)
    with open(at("names.txt"), "w", encoding="utf-8") as f:
        f.write("Zentak\nBaidu\nAntivirus\n")
    lngtool("template", exe, "--out", at("template.lng"))
    with open(at("template.lng"), "rb") as f:
        template = f.read().decode("utf-16")

    judged = set()
    for language, faults in FAULTY.items():
        catalog, lines = plant(template, faults)
        name = at(language + ".lng")
        with open(name, "wb") as f:
            f.write(catalog.encode("utf-16"))
        lngtool("export", exe, name, "--po", "--language", language, "--out", at(language + ".po"))
        tests = [a for t in JUDGED for a in ("-t", t)]
        run("pofilter", "--progress=none", "--kde", "--language=" + language,
            "--notranslatefile=" + at("names.txt"), *tests, "-i", at(language + ".po"),
            "-o", at(language + ".judged.po"))
        done = lngtool("check", name, "--module", exe, "--statistics", "--untranslated",
                       ok=(0, 1))
        found = lngtool_findings(done)
        # Its counts are msgfmt's on the export.
        # (msgfmt refuses a line break added at the end, and still counts.)
        counted = run("msgfmt", "--statistics", "-o", os.devnull, at(language + ".po"),
                      ok=(0, 1)).stderr.strip().splitlines()[-1]
        check(counted in done.stderr, "lngtool counts %r, msgfmt %r" %
              (done.stderr, counted))
        untranslated = int(re.search(r"(\d+) untranslated", counted).group(1))
        check(done.stdout.count(": untranslated: ") == untranslated, done.stdout)
        by_target = {resolve(v): key for key, v in faults.items()}
        for unit in pypo.pofile.parsefile(at(language + ".judged.po")).units:
            if unit.isheader():
                continue
            key = by_target.get(unit.target)
            check(key is not None, "pofilter judged an entry not planted: %r" % unit.target)
            for note in re.findall(r"\(pofilter\) (\w+):", unit.getnotes()):
                if note == "endpunc" and ends_with_a_mark(unit.target):
                    continue
                judged.add(note)
                line = lines[key]
                check(found.get(line, set()) & JUDGED[note],
                      "%s.lng:%d (%s): pofilter's %s, but lngtool check says %s" %
                      (language, line, key, note, sorted(found.get(line, [])) or "nothing"))
    missed = set(JUDGED) - judged
    check(not missed, "the faulty catalogs gave pofilter nothing to judge for %s" % missed)
    shutil.rmtree(work)
    print("every fault pofilter finds, lngtool check finds on its line")
    return 0


if __name__ == "__main__":
    sys.exit(main())
