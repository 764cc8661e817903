"""The offer road: the offer and information dialogs on a screen of their own,
driven from outside by dialog_driver.exe while the launcher runs, and what
each way out of them leaves behind; and every resource the program carries,
read back from Launcher.exe itself."""
import os
import time
import xml.etree.ElementTree as ET

import pe_resources
from dialog_session import OfferRun
from harness import BIN_WIN, INSTALL_WIN, INSTALLER, catalog_key, check, scenario

OFFER = "Zentak Setup"
INFO = "Baidu Antivirus installation is in progress..."
WEB_WIN = BIN_WIN + "\\web.exe"
INSTALLER_WIN = INSTALL_WIN + "\\" + INSTALLER
LEFT_AFTER_DECLINE = {"Launcher.exe", "uninstall.exe"}
LEFT_AFTER_ACCEPT = LEFT_AFTER_DECLINE | {INSTALLER, INSTALLER + ".log"}
POLICY_URL = "http://antivirus.baidu.com/pt/policy.php"
LICENSE_URL = "http://antivirus.baidu.com/pt/license_agree.php"
INFO_TEXT = ("It may take a few minutes to finish the installation of Baidu Antivirus. "
             "You will see the Baidu Antivirus icon on your desktop and in the system tray when "
             "done. Baidu Antivirus will protect your system when you surf the Internet and "
             "download files. \r\n\r\nYou can close this window now. ")
INSTALL_BOX = 5101
SW_SHOWNORMAL, SW_SHOW = 1, 5
BST_CHECKED = 1
WS_EX_LAYOUTRTL = 0x400000


def control(listing, control_id):
    found = [c for c in listing["controls"] if c["id"] == control_id]
    check(len(found) == 1, "%d controls with id %d" % (len(found), control_id))
    return found[0]


def expect_offer_as_opened(listing):
    """Ticked box with the focus, both links, the front window."""
    check(listing["title"] == OFFER, "offer titled %r" % listing["title"])
    check(len(listing["controls"]) == 10, "%d controls" % len(listing["controls"]))
    box = control(listing, INSTALL_BOX)
    check(box["check"] == BST_CHECKED, "the install box is not ticked on opening")
    check(box["focused"], "the focus is not on the install box")
    for link_id, url in ((5102, POLICY_URL), (5103, LICENSE_URL)):
        link = control(listing, link_id)
        check(link["class"].lower() == "syslink" and link["visible"], "link %d missing" % link_id)
        check(url in link["text"], "link %d holds %r" % (link_id, link["text"]))
    check(listing["foreground"], "the offer is not the foreground window")


def expect_installer_started_once(s):
    records = s.records(INSTALLER_WIN)
    check(len(records) == 1, "the installer started %d times" % len(records))
    r = records[0]
    check(r.get("exe", "").lower() == INSTALLER_WIN.lower(), "started %r" % r.get("exe"))
    check(r.get("show") == str(SW_SHOWNORMAL), "installer shown with %s" % r.get("show"))


def expect_not_started(s):
    check(not s.records(INSTALLER_WIN), "the installer was started")


def expect_pending_deletion(pairs):
    expected = [("\\??\\" + INSTALLER_WIN, "")]
    check([(a.lower(), b) for a, b in pairs] == [(a.lower(), b) for a, b in expected],
          "pending renames %s, expected %s" % (pairs, expected))


def web_urls(s):
    """The URLs the web handler was started with, in order."""
    urls = []
    for r in s.records(WEB_WIN):
        cmdline = r.get("cmdline", "")
        prefix = '"%s" ' % WEB_WIN
        check(cmdline.lower().startswith(prefix.lower()), "web handler got %r" % cmdline)
        urls.append(cmdline[len(prefix):].strip('"'))
    return urls


def declined_road(s, action):
    """The offer ended by action(run) without acceptance."""
    s.install(installer=True)
    with OfferRun(s) as run:
        run.wait(OFFER)
        expect_offer_as_opened(run.listing(OFFER))
        action(run)
        run.gone(OFFER)
    r = run.result
    r.expect_exit(0)
    check(r.windows == [OFFER], "windows shown: %s" % r.windows)
    s.expect_install_files(LEFT_AFTER_DECLINE)
    expect_not_started(s)
    check(not r.pending, "renames were scheduled: %s" % r.pending)
    s.expect_nothing_opened()
    s.expect_cleanup()


@scenario
def offer_accepted(s):
    s.install(installer=True)
    with OfferRun(s) as run:
        run.wait(OFFER)
        offer = run.listing(OFFER)
        expect_offer_as_opened(offer)
        check(not int(offer["exstyle"], 16) & WS_EX_LAYOUTRTL, "the offer is mirrored")
        run.drive("click", OFFER, "1")
        run.wait(INFO)
        info = run.listing(INFO)
        # Started and scheduled for deletion before the information shows.
        expect_installer_started_once(s)
        expect_pending_deletion(run.pending())
        check(control(info, 5101)["text"] == INFO_TEXT,
              "information text %r" % control(info, 5101)["text"])
        check(info["owner"] == OFFER, "the information is owned by %r" % info["owner"])
        check(control(info, 1)["focused"], "the focus is not on OK")
        run.drive("click", INFO, "1")
        run.gone(OFFER)
    r = run.result
    r.expect_exit(0)
    check(r.windows == [OFFER, INFO], "windows shown: %s" % r.windows)
    s.expect_install_files(LEFT_AFTER_ACCEPT)
    expect_pending_deletion(list(zip(r.pending[0::2], r.pending[1::2])))
    expect_installer_started_once(s)
    s.expect_nothing_opened()  # no first-use page with the built-in string 5102
    s.expect_cleanup()


@scenario
def offer_declined(s):
    def untick_and_ok(run):
        run.drive("check", OFFER, str(INSTALL_BOX), "off")
        run.drive("click", OFFER, "1")
    declined_road(s, untick_and_ok)


@scenario
def offer_cancelled_by_esc(s):
    declined_road(s, lambda run: run.drive("esc", OFFER))


@scenario
def offer_cancelled_by_esc_key_press(s):
    declined_road(s, lambda run: run.drive("esc", OFFER, "--keys"))


@scenario
def offer_cancelled_by_close_box(s):
    declined_road(s, lambda run: run.drive("close", OFFER))


def link_road(s, activate):
    """Each link activated in turn; the dialog stays, then is cancelled."""
    s.install(installer=True)
    with OfferRun(s) as run:
        run.wait(OFFER)
        for link_id, url in ((5102, POLICY_URL), (5103, LICENSE_URL)):
            count = len(web_urls(s))
            activate(run, link_id)
            deadline = time.time() + 20
            while len(web_urls(s)) == count and time.time() < deadline:
                time.sleep(0.2)
            check(web_urls(s)[count:] == [url], "link %d opened %s, expected %s" % (
                link_id, web_urls(s)[count:], url))
        listing = run.listing(OFFER)
        check(control(listing, INSTALL_BOX)["check"] == BST_CHECKED, "the box changed")
        run.drive("esc", OFFER)
        run.gone(OFFER)
    run.result.expect_exit(0)
    check(web_urls(s) == [POLICY_URL, LICENSE_URL], "pages opened: %s" % web_urls(s))
    s.expect_install_files(LEFT_AFTER_DECLINE)
    expect_not_started(s)


@scenario
def links_opened_by_click(s):
    link_road(s, lambda run, link_id: run.drive("link-click", OFFER, str(link_id)))


@scenario
def links_opened_by_enter(s):
    link_road(s, lambda run, link_id: run.drive("link-enter", OFFER, str(link_id)))


@scenario
def installer_named_folder_is_offered(s):
    # A folder of the installer's name counts as the installer: the offer
    # shows, and the failed deletion of a folder is no error.
    s.install(installer=False)
    os.makedirs(s.install_path(INSTALLER))
    with OfferRun(s) as run:
        run.wait(OFFER)
        expect_offer_as_opened(run.listing(OFFER))
        run.drive("close", OFFER)
        run.gone(OFFER)
    run.result.expect_exit(0)
    s.expect_install_files(LEFT_AFTER_DECLINE | {INSTALLER})
    check(os.path.isdir(s.install_path(INSTALLER)), "the folder is gone")
    s.expect_cleanup()


def first_use_road(s, page, opened):
    """A catalog translates string 5102; only a web address (http or https, any
    letter case) is opened, once, after the information dialog has closed."""
    s.install(installer=True)
    s.write_file(INSTALL_WIN + "\\launcher.lng",
                 ("; test catalog\r\n***messages*** test\r\n%s=\"%s\"\r\n" % (
                     catalog_key("s", None, "First use info URL"), page)).encode("cp1252"))
    with OfferRun(s) as run:
        run.wait(OFFER)
        run.drive("click", OFFER, "1")
        run.wait(INFO)
        check(not web_urls(s), "a page opened before the information closed")
        run.drive("esc", INFO)
        run.gone(OFFER)
    run.result.expect_exit(0)
    if opened:
        handled = [r.get("cmdline", "") for r in s.handler_records()]
        check(len(handled) == 1 and page in handled[0], "pages opened: %s" % handled)
    else:
        s.expect_nothing_opened()
    expect_installer_started_once(s)


# A web address in any letter case is opened; one with a blank is not.
FIRST_USE_PAGES = [
    ("http_opened", "http://example.com/first-use?from=zentak", True),
    ("https_opened", "https://example.com/first-use", True),
    ("upper_case_opened", "HTTP://example.com/first-use", True),
    ("with_a_blank_not_opened", "https://example.com/first use", False),
]
for _suffix, _page, _opened in FIRST_USE_PAGES:
    scenario(lambda s, page=_page, opened=_opened: first_use_road(s, page, opened),
             name="first_use_page_" + _suffix)


# -- the resources the program carries, read back from Launcher.exe ---------

WS_CHILD_VISIBLE = 0x50000000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
BS_AUTOCHECKBOX, BS_DEFPUSHBUTTON, BS_GROUPBOX, BS_MULTILINE = 0x3, 0x1, 0x7, 0x2000
SS_LEFT, SS_BITMAP, SS_REALSIZEIMAGE, LWS_NOPREFIX = 0x0, 0xE, 0x800, 0x4
DIALOG_STYLE = 0x90C808C0
ENGLISH_US = 0x0409
LAUNCHDLG_ITEMS = [
    (-1, "BUTTON", BS_GROUPBOX, (7, 5, 317, 55), None),
    (-1, "STATIC", SS_LEFT | WS_GROUP, (16, 21, 297, 32),
     "Thank you for using Zentak! Zentak setup is now completed. Please consider the following "
     "proposal from our partners."),
    (-1, "BUTTON", BS_GROUPBOX, (7, 63, 317, 165), None),
    (-1, "STATIC", SS_BITMAP | SS_REALSIZEIMAGE, (16, 80, 10, 10), "LOGO"),
    (-1, "STATIC", SS_LEFT | WS_GROUP, (16, 116, 297, 24),
     "Baidu Antivirus will defend your computer from invasion by malicious software. 100% free, "
     "with Cloud File Scanner, browser and privacy protection."),
    (5101, "BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP, (16, 195, 200, 8),
     "Install Baidu Antivirus on my computer"),
    (-1, "STATIC", SS_LEFT | WS_GROUP, (16, 172, 297, 16),
     "I am aware of Baidu Antivirus Privacy Policy and agree to the Baidu Antivirus End User "
     "License Agreement."),
    (5102, "SYSLINK", LWS_NOPREFIX | WS_TABSTOP, (16, 145, 297, 14),
     '<a href="%s">Baidu Antivirus privacy policy</a>' % POLICY_URL),
    (5103, "SYSLINK", LWS_NOPREFIX | WS_TABSTOP, (16, 157, 297, 14),
     '<a href="%s">Baidu Antivirus license agreement</a>' % LICENSE_URL),
    (1, "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, (130, 233, 70, 14), "OK"),
]
INFODLG_ITEMS = [
    (-1, "STATIC", SS_BITMAP | SS_REALSIZEIMAGE, (16, 16, 10, 10), "LOGOSMALL"),
    (5101, "STATIC", SS_LEFT | WS_GROUP, (75, 16, 225, 60), None),
    (1, "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, (120, 90, 70, 14), "OK"),
]
STRINGS = {
    5101: "BavPro_Setup_Mini_240.exe",
    5102: "First use info URL",
    5103: "It may take a few minutes to finish the installation of Baidu Antivirus.",
    5104: "You will see the Baidu Antivirus icon on your desktop and in the system tray when done.",
    5105: "Baidu Antivirus will protect your system when you surf the Internet and download files.",
    5106: "\r\n\r\nYou can close this window now.",
}
# The logos at seven scales and the icon's large images take about 140 KB.
MAX_PROGRAM_SIZE = 320 * 1024
BI_RLE8 = 1


def expect_template(resources, name, title, rect, expected_items):
    data = resources.get((pe_resources.RT_DIALOG, name, ENGLISH_US))
    check(data is not None, "no dialog %s in English (US)" % name)
    d = pe_resources.dialog_template(data)
    check((d["style"], d["exstyle"], d["menu"], d["class"]) == (DIALOG_STYLE, 0, None, None),
          "%s: style %#x exstyle %#x menu %r class %r" % (name, d["style"], d["exstyle"],
                                                          d["menu"], d["class"]))
    check((d["title"], d["rect"], d["font"]) == (title, rect, (8, "MS Shell Dlg 2")),
          "%s: %r %r %r" % (name, d["title"], d["rect"], d["font"]))
    items = [(i["id"], str(i["class"]).upper(), i["style"], i["rect"], i["text"])
             for i in d["items"]]
    expected = [(cid, cls, WS_CHILD_VISIBLE | style, r, text)
                for cid, cls, style, r, text in expected_items]
    for n, (got, want) in enumerate(zip(items, expected)):
        check(got == want, "%s control %d: %r, expected %r" % (name, n + 1, got, want))
    check(len(items) == len(expected), "%s has %d controls" % (name, len(items)))


def expect_manifest(data):
    v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
    compat = "{urn:schemas-microsoft-com:compatibility.v1}"
    root = ET.fromstring(data)
    identity = root.find(v1 + "assemblyIdentity").attrib
    check(identity == {"name": "Zentak", "version": "1.0.0.0", "processorArchitecture": "*",
                       "type": "win32"}, "assembly identity %s" % identity)
    check(root.find(v1 + "description").text == "Zentak archiver", "description")
    level = root.find(".//%srequestedExecutionLevel" % v3).attrib
    check(level == {"level": "requireAdministrator", "uiAccess": "false"}, "level %s" % level)
    dependency = root.find(".//%sdependentAssembly/%sassemblyIdentity" % (v1, v1)).attrib
    check(dependency == {"type": "win32", "name": "Microsoft.Windows.Common-Controls",
                         "version": "6.0.0.0", "processorArchitecture": "*",
                         "publicKeyToken": "6595b64144ccf1df", "language": "*"},
          "common controls dependency %s" % dependency)
    systems = [e.attrib["Id"] for e in root.iter(compat + "supportedOS")]
    check(systems == ["{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
                      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
                      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"],  # 8
          "supported systems %s" % systems)
    aware = [e.text for e in root.iter() if e.tag.endswith("}dpiAware")]
    check(aware == ["true"], "dpiAware %s" % aware)


@scenario
def resources_as_carried(s):
    with open(s.config.launcher, "rb") as f:
        data = f.read()
    check(len(data) <= MAX_PROGRAM_SIZE, "Launcher.exe has %d bytes, more than %d" % (
        len(data), MAX_PROGRAM_SIZE))
    resources = pe_resources.PeFile(data).resources()
    languages = {lang for (kind, _, lang) in resources}
    check(languages == {ENGLISH_US}, "resource languages %s" % languages)
    expect_template(resources, "LAUNCHDLG", OFFER, (15, 29, 331, 252), LAUNCHDLG_ITEMS)
    expect_template(resources, "INFODLG", INFO, (15, 29, 311, 110), INFODLG_ITEMS)
    strings = pe_resources.string_table(resources)
    check(strings == STRINGS, "string table %s" % strings)
    for name, size in (("LOGO", (294, 47)), ("LOGOSMALL", (64, 64))):
        header = pe_resources.bitmap_header(resources[(pe_resources.RT_BITMAP, name, ENGLISH_US)])
        check(header == size + (24, 0), "bitmap %s: %s" % (name, header))
    for name, (w, h) in (("LOGO", (294, 47)), ("LOGOSMALL", (64, 64))):
        for percent in (125, 150, 175, 200, 250, 300):
            variant = "%s_%d" % (name, percent)
            header = pe_resources.bitmap_header(
                resources[(pe_resources.RT_BITMAP, variant, ENGLISH_US)])
            size = ((w * percent + 50) // 100, (h * percent + 50) // 100)
            check(header == size + (8, BI_RLE8), "bitmap %s: %s" % (variant, header))
    icons = pe_resources.icon_group(resources[(pe_resources.RT_GROUP_ICON, "ZTKICON", ENGLISH_US)])
    check(sorted(i[:2] + (i[3],) for i in icons) == sorted(
        [(16, 16, 4), (16, 16, 8), (32, 32, 4), (32, 32, 8)] +
        [(n, n, 32) for n in (20, 24, 40, 48, 64, 256)]), "icon images %s" % icons)
    for icon in icons:
        check((pe_resources.RT_ICON, icon[4], ENGLISH_US) in resources, "icon %d" % icon[4])
    expect_manifest(resources[(pe_resources.RT_MANIFEST, 1, ENGLISH_US)])
    fixed, blocks, translations = pe_resources.version_block(
        resources[(pe_resources.RT_VERSION, 1, ENGLISH_US)])
    check(fixed["signature"] == 0xFEEF04BD, "version signature %#x" % fixed["signature"])
    check((fixed["file_version"], fixed["product_version"]) == ((5, 10, 4, 0), (5, 10, 4, 0)),
          "versions %s" % fixed)
    check((fixed["os"], fixed["type"], fixed["flags"]) == (0x4, 0x1, 0),
          "os %#x type %#x flags %#x" % (fixed["os"], fixed["type"], fixed["flags"]))
    check(list(blocks) == ["040904E4"] and translations == [(0x0409, 0x04E4)],
          "blocks %s translations %s" % (list(blocks), translations))
    values = blocks["040904E4"]
    expected = {"FileDescription": "Zentak install launcher", "FileVersion": "5.10",
                "ProductVersion": "5.10", "InternalName": "Launcher",
                "OriginalFilename": "Launcher.exe", "ProductName": "Zentak",
                "CompanyName": "Zentak Software",
                "LegalCopyright": "Copyright (C) Zentak Software"}
    check(values == expected, "version strings %s" % values)
