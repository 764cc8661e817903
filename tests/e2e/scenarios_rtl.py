"""Both dialogs in a right-to-left language: a UTF-16 catalog that translates
every text into Hebrew, marks the language right to left and enlarges the
offer dialog by 120*110 (the dialogs and every control that shows text then
read right to left, in English none does); and a language module whose "RTL"
dialog resource alone marks the language. The dialogs are driven from outside and measured;
with ZTK_E2E_SHOTS set to a folder, screenshots of both dialogs go there
(LAUNCHDLG.png, INFODLG.png)."""
import os
import subprocess

from dialog_session import DialogSession
from harness import (INSTALL_WIN, INSTALLER, INTERPRETER_WIN, catalog_escaped, catalog_key,
                     check, scenario, stop_wineserver)

LAYOUT_RTL = 0x00400000
RTL_READING = 0x00002000
PICTURES = (0x3, 0xE, 0xF)  # SS_ICON, SS_BITMAP, SS_ENHMETAFILE
SCALE = (120, 110)
LINKS = "http://antivirus.baidu.com/pt/"

# (kind, context, English source, Hebrew) for every text both dialogs show.
# The two links keep their markup; the bitmap names and string 5101 (the
# installer's file name) stay as they are.
HEBREW = [
    ("$", "LAUNCHDLG", "Zentak Setup", "התקנת Zentak"),
    ("$", "LAUNCHDLG", "Thank you for using Zentak! Zentak setup is now completed. Please "
     "consider the following proposal from our partners.",
     "תודה שבחרתם ב-Zentak! התקנת Zentak הושלמה. אנא שקלו את ההצעה הבאה מהשותפים שלנו."),
    ("$", "LAUNCHDLG", "Baidu Antivirus will defend your computer from invasion by malicious "
     "software. 100% free, with Cloud File Scanner, browser and privacy protection.",
     "Baidu Antivirus יגן על המחשב שלכם מפני חדירה של תוכנות זדוניות. חינם לגמרי, עם סורק "
     "קבצים בענן, הגנה על הדפדפן ועל הפרטיות."),
    ("$", "LAUNCHDLG", "Install Baidu Antivirus on my computer",
     "התקן את Baidu Antivirus במחשב שלי"),
    ("$", "LAUNCHDLG", "I am aware of Baidu Antivirus Privacy Policy and agree to the Baidu "
     "Antivirus End User License Agreement.",
     "ידועה לי מדיניות הפרטיות של Baidu Antivirus ואני מסכים להסכם הרישיון למשתמש הקצה של "
     "Baidu Antivirus."),
    ("$", "LAUNCHDLG", '<a href="%spolicy.php">Baidu Antivirus privacy policy</a>' % LINKS,
     '<a href="%spolicy.php">מדיניות הפרטיות של Baidu Antivirus</a>' % LINKS),
    ("$", "LAUNCHDLG", '<a href="%slicense_agree.php">Baidu Antivirus license agreement</a>'
     % LINKS, '<a href="%slicense_agree.php">הסכם הרישיון של Baidu Antivirus</a>' % LINKS),
    ("$", "LAUNCHDLG", "OK", "אישור"),
    ("$", "INFODLG", "Baidu Antivirus installation is in progress...",
     "ההתקנה של Baidu Antivirus מתבצעת..."),
    ("$", "INFODLG", "OK", "אישור"),
    ("s", None, "It may take a few minutes to finish the installation of Baidu Antivirus.",
     "ייתכן שיחלפו כמה דקות עד לסיום ההתקנה של Baidu Antivirus."),
    ("s", None, "You will see the Baidu Antivirus icon on your desktop and in the system tray "
     "when done.", "בסיום יופיע הסמל של Baidu Antivirus על שולחן העבודה ובמגש המערכת."),
    ("s", None, "Baidu Antivirus will protect your system when you surf the Internet and "
     "download files.", "Baidu Antivirus יגן על המערכת שלכם כשתגלשו באינטרנט ותורידו קבצים."),
    ("s", None, "\r\n\r\nYou can close this window now.", "\r\n\r\nאפשר לסגור את החלון הזה עכשיו."),
]
SPECIAL = [
    ("$", "LAUNCHDLG", "", "%d*%d" % SCALE),
    ("$", "LTR", "LTR", "RTL"),
]


def hebrew_catalog():
    lines = ["; Hebrew", "***messages***"]
    lines += ['%s="%s"' % (catalog_key(k, c, s), catalog_escaped(v))
              for k, c, s, v in HEBREW + SPECIAL]
    return b"\xff\xfe" + "\r\n".join(lines + [""]).encode("utf-16-le")


def translation(context, source):
    for k, c, s, v in HEBREW:
        if k == "$" and c == context and s == source:
            return v
    return source


def information_text():
    """The text the information dialog shows: strings 5103 to 5106, each
    followed by a blank."""
    return "".join(v + " " for k, _, _, v in HEBREW if k == "s")


def screenshot(s, listing, name):
    folder = os.environ.get("ZTK_E2E_SHOTS") or s.dir
    os.makedirs(folder, exist_ok=True)
    left, top, right, bottom = listing["rect"]
    path = os.path.join(folder, name + ".png")
    subprocess.run(["import", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", path],
                   env=s.env, check=True, timeout=60)
    print("screenshot: %s" % path)


def mirrored(listing):
    return int(listing["exstyle"], 16) & LAYOUT_RTL != 0


def reading_order(listing):
    """The windows that read right to left and those that do not: the dialog
    and its controls by id and place (several share id -1); pictures show no
    text and count as neither."""
    windows = [("dialog", listing["exstyle"])]
    windows += [("control %s #%d" % (c["id"], i), c["exstyle"])
                for i, c in enumerate(listing["controls"])
                if c["class"] != "Static" or int(c["style"], 16) & 0x1F not in PICTURES]
    rtl = {name for name, ex in windows if int(ex, 16) & RTL_READING}
    return rtl, {name for name, _ in windows} - rtl


def expect_reading_order(listing, right_to_left):
    rtl, ltr = reading_order(listing)
    wrong = ltr if right_to_left else rtl
    check(not wrong, "%s: %s read %s" % (listing["title"], sorted(wrong),
                                          "left to right" if right_to_left else "right to left"))


def size(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


def inside(rect, client):
    return (rect[0] >= 0 and rect[1] >= 0 and rect[2] <= client[2] and rect[3] <= client[3])


def overlaps(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def overlapping_pairs(listing):
    """Pairs of controls (by position in the template) that overlap, group
    boxes aside: they frame other controls on purpose."""
    rects = [(i, c["rect"]) for i, c in enumerate(listing["controls"])
             if int(c["style"], 16) & 0xF != 7 or c["class"] != "Button"]
    return {(i, j) for n, (i, a) in enumerate(rects) for j, b in rects[n + 1:] if overlaps(a, b)}


def expect_scaled_like(plain, scaled):
    """The scaled offer dialog: client area 120 % by 110 % (one unit more, as
    the frame counts one more than its true size), every control 120 % by
    110 % of its place and size (within rounding), inside the client area,
    and overlapping no control it did not overlap before."""
    pw, ph = size(plain["client"])
    sw, sh = size(scaled["client"])
    check((sw, sh) == (pw * SCALE[0] // 100 + 1, ph * SCALE[1] // 100 + 1),
          "client area %dx%d, expected %dx%d scaled by %s" % (sw, sh, pw, ph, SCALE))
    check(len(plain["controls"]) == len(scaled["controls"]), "controls differ in number")
    for p, c in zip(plain["controls"], scaled["controls"]):
        pr, sr = p["rect"], c["rect"]
        check(inside(sr, scaled["client"]), "control %s at %s leaves the client area %s"
              % (c["id"], sr, scaled["client"]))
        expected = [pr[0] * SCALE[0] / 100, pr[1] * SCALE[1] / 100]
        expected += [expected[0] + (pr[2] - pr[0]) * SCALE[0] / 100,
                     expected[1] + (pr[3] - pr[1]) * SCALE[1] / 100]
        for got, want in zip(sr, expected):
            check(abs(got - want) <= 3, "control %s at %s, expected about %s"
                  % (c["id"], sr, [round(v) for v in expected]))
    check(overlapping_pairs(scaled) <= overlapping_pairs(plain),
          "controls overlap that did not: %s" % (overlapping_pairs(scaled) -
                                                 overlapping_pairs(plain)))


def expect_texts(listing):
    """The title and every control text are Hebrew, but for the bitmap names
    and the information text, which is checked on its own."""
    hebrew = {v for _, _, _, v in HEBREW}
    check(listing["title"] in hebrew, "the title is %r" % listing["title"])
    for c in listing["controls"]:
        if c["text"] in ("", "LOGO", "LOGOSMALL") or (c["id"], c["class"]) == (5101, "Static"):
            continue
        check(c["text"] in hebrew, "control %s shows %r" % (c["id"], c["text"]))


@scenario
def rtl_catalog_mirrors_and_scales_dialogs(s):
    rtl_catalog_road(s)


@scenario
def rtl_catalog_mirrors_and_scales_dialogs_at_144_dpi(s):
    """The catalog's rescaling on top of the display's scale of 150 %."""
    s.reg_add("HKCU\\Control Panel\\Desktop", "LogPixels", "144", kind="REG_DWORD")
    stop_wineserver(s.env)  # Wine reads the DPI when a session starts
    rtl_catalog_road(s)


def rtl_catalog_road(s):
    s.install(installer=True)
    with DialogSession(s, managed=False) as session:
        # The offer dialog in English first, as the measure of the scaled one.
        session.start(timeout_ms=60000)
        plain = session.open_dialog("Zentak Setup")
        check(not mirrored(plain), "the English dialog is mirrored")
        expect_reading_order(plain, False)
        session.drive("esc", "Zentak Setup", "--command")
        session.finish(timeout=200).expect_exit(0)
        s.expect_cleanup()
        os.remove(s.unix(INTERPRETER_WIN) + ".log")
        s.copy_recorder(INSTALL_WIN + "\\" + INSTALLER)  # a declined offer deletes it

        s.write_file(INSTALL_WIN + "\\launcher.lng", hebrew_catalog())
        session.start(timeout_ms=60000)
        offer = session.open_dialog(translation("LAUNCHDLG", "Zentak Setup"))
        screenshot(s, offer, "LAUNCHDLG")
        check(mirrored(offer), "the offer dialog is not mirrored: exstyle %s" % offer["exstyle"])
        expect_texts(offer)
        expect_reading_order(offer, True)
        expect_scaled_like(plain, offer)
        box_state = [c["check"] for c in offer["controls"] if c["id"] == 5101]
        check(box_state == [1], "the check box is not ticked: %s" % box_state)
        session.drive("click", offer["title"], "1")

        info = session.open_dialog(translation("INFODLG", "Baidu Antivirus installation is in "
                                                     "progress..."))
        screenshot(s, info, "INFODLG")
        check(mirrored(info), "the information dialog is not mirrored")
        expect_texts(info)
        expect_reading_order(info, True)
        shown = [c["text"] for c in info["controls"] if c["id"] == 5101]
        check(shown == [information_text()], "information text %r, expected %r"
              % (shown, information_text()))
        for c in info["controls"]:
            check(inside(c["rect"], info["client"]), "control %s leaves the client area" % c["id"])
        session.drive("click", info["title"], "1")
        r = session.finish(timeout=200)
    r.expect_exit(0)
    check(len(s.records(INSTALL_WIN + "\\" + INSTALLER)) == 1, "the installer was not started")
    s.expect_cleanup()


@scenario
def rtl_language_module_mirrors_dialogs(s):
    """No catalog: the language module's "RTL" dialog alone mirrors the
    dialogs (the module carries its own copies of both templates)."""
    s.install(installer=True)
    s.language_module("rtl")
    with DialogSession(s, managed=False) as session:
        session.start(timeout_ms=60000)
        offer = session.open_dialog("Zentak Setup")
        check(mirrored(offer), "the offer dialog is not mirrored: exstyle %s" % offer["exstyle"])
        expect_reading_order(offer, True)
        for c in offer["controls"]:
            check(inside(c["rect"], offer["client"]), "control %s leaves the client area" % c["id"])
        session.drive("esc", "Zentak Setup", "--command")
        session.finish(timeout=200).expect_exit(0)
    s.expect_cleanup()
