"""Both dialogs at display scales of 125, 150 and 200 %: laid out in dialog
units, so they grow with the font; the logos drawn at the scale's size; every
control inside the client area; and OK still starts the installer. Each
scale is measured against the same prefix at 96 DPI first."""
import os

from dialog_session import DialogSession
from harness import INSTALL_WIN, INSTALLER, INTERPRETER_WIN, check, scenario, stop_wineserver
from scenarios_dialogs import (INFO, INFODLG_ITEMS, LAUNCHDLG_ITEMS, OFFER,
                               expect_installer_started_once)

DESKTOP = "HKCU\\Control Panel\\Desktop"
SS_BITMAP = 0xE
# The dialogs' sizes in dialog units and their logos' sizes in pixels at 96 DPI.
DIALOGS = {OFFER: ((331, 252), LAUNCHDLG_ITEMS, (294, 47)),
           INFO: ((311, 110), INFODLG_ITEMS, (64, 64))}


def set_dpi(s, dpi):
    """Wine reads the DPI when a session starts: the next session has it."""
    s.reg_add(DESKTOP, "LogPixels", str(dpi), kind="REG_DWORD")
    stop_wineserver(s.env)


def size(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


def near(got, want, slack=2):
    return abs(got - want) <= slack


def expect_at_scale(listing, dpi):
    """Every control where its dialog units put it, the logo at its size
    times dpi/96 (within 2 px), all inside the client area."""
    title = listing["title"]
    (du_w, du_h), items, (logo_w, logo_h) = DIALOGS[title]
    cw, ch = size(listing["client"])
    fx, fy = cw / du_w, ch / du_h
    check(len(listing["controls"]) == len(items), "%s: %d controls" % (
        title, len(listing["controls"])))
    for c, (_, _, _, (x, y, w, h), _) in zip(listing["controls"], items):
        r = c["rect"]
        where = "%s: control %s at %s at %d DPI" % (title, c["id"], r, dpi)
        check(near(r[0], x * fx) and near(r[1], y * fy), where + ", expected at %.0f,%.0f" % (
            x * fx, y * fy))
        if int(c["style"], 16) & 0x1F == SS_BITMAP:
            want = (logo_w * dpi / 96, logo_h * dpi / 96)
            check(near(size(r)[0], want[0]) and near(size(r)[1], want[1]),
                  where + ": logo %dx%d, expected %.0fx%.0f" % (size(r) + want))
        else:
            check(near(r[2], (x + w) * fx) and near(r[3], (y + h) * fy),
                  where + ", expected to %.0f,%.0f" % ((x + w) * fx, (y + h) * fy))
        check(r[0] >= 0 and r[1] >= 0 and r[2] <= cw and r[3] <= ch,
              where + " leaves the client area %dx%d" % (cw, ch))


def expect_grown(plain, scaled, dpi):
    """The client area grows with the DPI: the font does, within its hinting."""
    for p, q in zip(size(plain["client"]), size(scaled["client"])):
        check(abs(q / p - dpi / 96) <= 0.1 * dpi / 96, "%s: client %s at %d DPI, %s at 96" % (
            scaled["title"], size(scaled["client"]), dpi, size(plain["client"])))


def plain_offer(s):
    """The offer at 96 DPI, cancelled; the installer put back for the next run."""
    with DialogSession(s, managed=False) as session:
        session.start(timeout_ms=60000)
        plain = session.open_dialog(OFFER)
        expect_at_scale(plain, 96)
        session.drive("esc", OFFER, "--command")
        session.finish(timeout=200).expect_exit(0)
    os.remove(s.unix(INTERPRETER_WIN) + ".log")
    s.copy_recorder(INSTALL_WIN + "\\" + INSTALLER)  # a cancelled offer deletes it
    return plain


def dialogs_at(s, dpi):
    s.install(installer=True)
    plain = plain_offer(s)
    set_dpi(s, dpi)
    with DialogSession(s, managed=False) as session:
        session.start(timeout_ms=60000)
        offer = session.open_dialog(OFFER)
        expect_at_scale(offer, dpi)
        expect_grown(plain, offer, dpi)
        session.drive("click", OFFER, "1")
        info = session.open_dialog(INFO)
        expect_at_scale(info, dpi)
        session.drive("click", INFO, "1")
        r = session.finish(timeout=200)
    r.expect_exit(0)
    check(r.windows == [OFFER, INFO], "windows shown: %s" % r.windows)
    expect_installer_started_once(s)
    s.expect_cleanup()


for _dpi in (120, 144, 192):
    scenario(lambda s, dpi=_dpi: dialogs_at(s, dpi), name="dialogs_at_%d_dpi" % _dpi)
