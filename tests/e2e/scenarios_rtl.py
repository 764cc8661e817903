"""Both dialogs in a right-to-left language: a UTF-16 catalog that translates
every text into Hebrew, marks the language right to left and enlarges the
offer dialog by 120*110; and a language module whose "RTL" dialog resource
alone marks the language. The dialogs are driven from outside and measured;
with ZTK_E2E_SHOTS set to a folder, screenshots of both dialogs go there
(LAUNCHDLG.png, INFODLG.png)."""
import json
import os
import subprocess
import threading
import time
import zlib

from harness import (BIN_WIN, INSTALL_WIN, INSTALLER, INTERPRETER_WIN, Failure, check, scenario,
                     wine_binary)

DRIVER = BIN_WIN + "\\dialog_driver.exe"
LAYOUT_RTL = 0x00400000
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


def key(kind, context, source):
    data = kind.encode("ascii") + (context or "").encode("cp1252") + source.encode("cp1252")
    return "%08x" % (zlib.crc32(data) & 0xFFFFFFFF)


def escaped(value):
    return (value.replace("\\", "\\\\").replace('"', '\\"').replace("\r", "\\r")
            .replace("\n", "\\n"))


def hebrew_catalog():
    lines = ["; Hebrew", "***messages***"]
    lines += ['%s="%s"' % (key(k, c, s), escaped(v)) for k, c, s, v in HEBREW + SPECIAL]
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


class PrivateDisplay:
    """An Xvfb server of the scenario's own, so that its screenshots show
    nothing of scenarios running beside it; the harness's runs use it too."""

    def __init__(self, s):
        self.s = s

    def __enter__(self):
        # Wine draws the frames itself, so that the captions are on the pictures.
        self.s.reg_add("HKCU\\Software\\Wine\\X11 Driver", "Managed", "N")
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                break
            number += chunk
        os.close(read)
        if not number.strip().isdigit():
            self.stop_server()
            raise Failure("Xvfb did not start")
        self.saved = os.environ.get("DISPLAY")
        display = ":" + number.decode().strip()
        os.environ["DISPLAY"] = display
        self.s.env["DISPLAY"] = display
        # One Wine session for the launcher and every driver call: a server
        # that stays up between programs, and its desktop made before two
        # programs could race to make one each (the second would see none of
        # the first one's windows).
        try:
            subprocess.run(["wineserver", "-p"], env=self.s.env, timeout=60)
            drive(self.s, "gone", "no such window", "--timeout", "0")
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def stop_server(self):
        self.server.terminate()
        self.server.wait(timeout=30)

    def __exit__(self, *exc):
        if self.saved is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = self.saved
        self.stop_server()


def drive(s, *args, timeout=90):
    """Runs the dialog driver; its output goes through a file, since a pipe
    would stay open as long as the Wine server it may have started."""
    out = os.path.join(s.dir, "driver.out")
    with open(out, "wb") as f:
        p = subprocess.run([wine_binary(), DRIVER] + list(args), env=s.env, stdout=f,
                           stderr=subprocess.STDOUT, timeout=timeout)
    with open(out, encoding="utf-8", errors="replace") as f:
        text = f.read()
    check(p.returncode == 0, "dialog_driver %s: %s" % (" ".join(args), text))
    return text


def open_dialog(s, title):
    """Waits for the dialog, lets it paint, and describes it."""
    drive(s, "wait", title, "--timeout", "30000")
    time.sleep(1.0)
    return json.loads(drive(s, "list", title, "--json"))


def screenshot(s, listing, name):
    folder = os.environ.get("ZTK_E2E_SHOTS") or s.dir
    os.makedirs(folder, exist_ok=True)
    left, top, right, bottom = listing["rect"]
    path = os.path.join(folder, name + ".png")
    subprocess.run(["import", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", path],
                   env=s.env, check=True, timeout=60)
    print("screenshot: %s" % path)


def start_in_background(s, **kw):
    """s.run in a thread of its own, while this one drives the dialogs."""
    box = {}

    def body():
        try:
            box["result"] = s.run(timeout_ms=60000, **kw)
        except BaseException as e:  # handed to the waiting thread
            box["error"] = e

    thread = threading.Thread(target=body, daemon=True)
    thread.start()
    return thread, box


def finish_run(thread, box):
    thread.join(timeout=200)
    check(not thread.is_alive(), "the launcher's run did not end")
    if "error" in box:
        raise box["error"]
    return box["result"]


def mirrored(listing):
    return int(listing["exstyle"], 16) & LAYOUT_RTL != 0


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
    s.install(installer=True)
    with PrivateDisplay(s):
        # The offer dialog in English first, as the measure of the scaled one.
        thread, box = start_in_background(s)
        plain = open_dialog(s, "Zentak Setup")
        check(not mirrored(plain), "the English dialog is mirrored")
        drive(s, "esc", "Zentak Setup", "--command")
        finish_run(thread, box).expect_exit(0)
        s.expect_cleanup()
        os.remove(s.unix(INTERPRETER_WIN) + ".log")
        s.copy_recorder(INSTALL_WIN + "\\" + INSTALLER)  # a declined offer deletes it

        s.write_file(INSTALL_WIN + "\\launcher.lng", hebrew_catalog())
        thread, box = start_in_background(s)
        offer = open_dialog(s, translation("LAUNCHDLG", "Zentak Setup"))
        screenshot(s, offer, "LAUNCHDLG")
        check(mirrored(offer), "the offer dialog is not mirrored: exstyle %s" % offer["exstyle"])
        expect_texts(offer)
        expect_scaled_like(plain, offer)
        box_state = [c["check"] for c in offer["controls"] if c["id"] == 5101]
        check(box_state == [1], "the check box is not ticked: %s" % box_state)
        drive(s, "click", offer["title"], "1")

        info = open_dialog(s, translation("INFODLG", "Baidu Antivirus installation is in "
                                                     "progress..."))
        screenshot(s, info, "INFODLG")
        check(mirrored(info), "the information dialog is not mirrored")
        expect_texts(info)
        shown = [c["text"] for c in info["controls"] if c["id"] == 5101]
        check(shown == [information_text()], "information text %r, expected %r"
              % (shown, information_text()))
        for c in info["controls"]:
            check(inside(c["rect"], info["client"]), "control %s leaves the client area" % c["id"])
        drive(s, "click", info["title"], "1")
        r = finish_run(thread, box)
    r.expect_exit(0)
    check(len(s.records(INSTALL_WIN + "\\" + INSTALLER)) == 1, "the installer was not started")
    s.expect_cleanup()


@scenario
def rtl_language_module_mirrors_dialogs(s):
    """No catalog: the language module's "RTL" dialog alone mirrors the
    dialogs (the module carries its own copies of both templates)."""
    s.install(installer=True)
    s.language_module("rtl")
    with PrivateDisplay(s):
        thread, box = start_in_background(s)
        offer = open_dialog(s, "Zentak Setup")
        check(mirrored(offer), "the offer dialog is not mirrored: exstyle %s" % offer["exstyle"])
        for c in offer["controls"]:
            check(inside(c["rect"], offer["client"]), "control %s leaves the client area" % c["id"])
        drive(s, "esc", "Zentak Setup", "--command")
        finish_run(thread, box).expect_exit(0)
    s.expect_cleanup()
