"""The elevated launcher against files a program without elevation can write:
"LanguageFolder" under HKEY_CURRENT_USER names a folder under C:\\users\\Public
holding a planted catalog or language module, and a planted program and file
beside it. Whatever they say, nothing outside the launcher's job is started,
scheduled or deleted; and what the launcher opens for the user (pages, the
program group) is started by the user's desktop shell, not by the launcher."""
import os

from dialog_session import OfferRun
from harness import (BIN_WIN, INSTALL_WIN, INSTALLER, INTERPRETER_WIN, PARTNER_KEY,
                     catalog_escaped, catalog_key, check, scenario)
from scenarios_catalog import GENERAL_KEY
from scenarios_dialogs import (INFO, INSTALLER_WIN, LICENSE_URL, OFFER, POLICY_URL, control,
                               expect_installer_started_once, expect_pending_deletion, web_urls)

PUBLIC = "C:\\users\\Public"
PLANTED_FOLDER = PUBLIC + "\\ztklang"
EVIL = PUBLIC + "\\evil.exe"
VICTIM = PUBLIC + "\\victim.txt"
OUTSIDE = "..\\..\\users\\Public\\"
POLICY_MARKUP = '<a href="%s">Baidu Antivirus privacy policy</a>' % POLICY_URL
LICENSE_MARKUP = '<a href="%s">Baidu Antivirus license agreement</a>' % LICENSE_URL
FIRST_USE_SOURCE = "First use info URL"
FIRST_USE_PAGE = "http://example.com/first-use"


def accepted(s, run):
    """The result of a run whose offer was accepted: a clean end, the
    installer started once."""
    r = run.result
    r.expect_exit(0)
    expect_installer_started_once(s)
    return r


def plant(s, catalog=None, module=None):
    """The attacker's folder, named by LanguageFolder, with a program and a
    file to aim at, and a UTF-16 catalog of these (kind, context, source):
    value entries, or a test language module."""
    s.reg_add(GENERAL_KEY, "LanguageFolder", PLANTED_FOLDER)
    s.copy_recorder(EVIL)
    s.write_file(VICTIM, "keep me")
    if catalog:
        lines = ["%s=\"%s\"" % (catalog_key(*entry), catalog_escaped(value))
                 for entry, value in catalog.items()]
        text = "; planted\r\n***messages*** planted\r\n" + "\r\n".join(lines) + "\r\n"
        s.write_file(PLANTED_FOLDER + "\\launcher.lng", b"\xff\xfe" + text.encode("utf-16-le"))
    if module:
        os.makedirs(s.unix(PLANTED_FOLDER), exist_ok=True)
        s.language_module(module, folder=PLANTED_FOLDER)


def expect_planted_untouched(s):
    check(not s.records(EVIL), "the planted program was started: %s" % s.records(EVIL))
    check(os.path.exists(s.unix(EVIL)), "the planted program was deleted")
    check(os.path.exists(s.unix(VICTIM)), "the planted file was deleted")


def activate_links(run):
    """Click the first link, Enter on the second; the offer stays open."""
    run.drive("link-click", OFFER, "5102")
    run.drive("link-enter", OFFER, "5103")
    return run.listing(OFFER)


def offer_accepted_with_links_tried(s, expected_links, information=True):
    with OfferRun(s, awaits=["evil.exe"]) as run:
        run.wait(OFFER)
        listing = activate_links(run)
        for link_id, target in expected_links:
            check(target in control(listing, link_id)["text"],
                  "link %d holds %r: the planted text was not used" % (
                      link_id, control(listing, link_id)["text"]))
        run.drive("click", OFFER, "1")
        if information:  # a module without the information template shows none
            run.wait(INFO)
            run.drive("click", INFO, "1")
        run.gone(OFFER)
    r = accepted(s, run)
    expect_pending_deletion(list(zip(r.pending[0::2], r.pending[1::2])))
    check(not web_urls(s), "pages opened: %s" % web_urls(s))
    expect_planted_untouched(s)
    s.expect_cleanup()


@scenario
def planted_catalog_starts_nothing_outside(s):
    # Links to a program (a path, a file URL) and an installer name outside
    # the folder: the links open nothing, the built-in installer is offered.
    s.install(installer=True)
    plant(s, catalog={
        ("$", "LAUNCHDLG", POLICY_MARKUP): '<a href="%s">Privacy</a>' % EVIL,
        ("$", "LAUNCHDLG", LICENSE_MARKUP): '<a href="file:///C:/users/Public/evil.exe">EULA</a>',
        ("s", None, INSTALLER): OUTSIDE + "evil.exe",
    })
    offer_accepted_with_links_tried(s, [(5102, EVIL), (5103, "file:///")])


@scenario
def planted_catalog_deletes_nothing_outside(s):
    # The roads that delete the installer without asking: silent, and the
    # partner already installed.
    s.install(installer=True)
    plant(s, catalog={("s", None, INSTALLER): OUTSIDE + "victim.txt"})
    for road in ("silent", "partner installed"):
        if road == "silent":
            r = s.run(sfxcmd="setup.exe /s")
        else:
            s.copy_recorder(INSTALLER_WIN)
            s.reg_add(PARTNER_KEY, "InstallDir", "C:\\Program Files\\Partner")
            r = s.run()
        r.expect_exit(0)
        r.expect_no_window()
        check(not os.path.exists(s.install_path(INSTALLER)), "%s: installer kept" % road)
        expect_planted_untouched(s)


@scenario
def planted_language_module_starts_nothing_outside(s):
    # The same texts from a module's string table and offer template; first
    # on the silent road (nothing deleted outside), then on the offer.
    s.install(installer=True)
    plant(s, module="attack")
    r = s.run(sfxcmd="setup.exe /s")
    r.expect_exit(0)
    expect_planted_untouched(s)
    s.copy_recorder(INSTALLER_WIN)
    os.remove(s.unix(INTERPRETER_WIN) + ".log")
    offer_accepted_with_links_tried(s, [(5102, EVIL), (5103, "file:///")], information=False)


@scenario
def shell_targets_opened_by_the_desktop_shell(s):
    # Pages and the program group are started by explorer.exe, as the user;
    # only the installer, which needs the rights, by the launcher itself.
    s.install(installer=True)
    group = s.make_program_group()
    entry = '%s="%s"' % (catalog_key("s", None, FIRST_USE_SOURCE), FIRST_USE_PAGE)
    s.write_file(INSTALL_WIN + "\\launcher.lng", "; first-use page\r\n***messages*** x\r\n%s\r\n" % entry)
    with OfferRun(s) as run:
        run.wait(OFFER)
        activate_links(run)
        run.drive("click", OFFER, "1")
        run.wait(INFO)
        run.drive("click", INFO, "1")
        run.gone(OFFER)
    run.result.expect_exit(0)
    check(web_urls(s) == [POLICY_URL, LICENSE_URL, FIRST_USE_PAGE], "pages: %s" % web_urls(s))
    s.expect_folder_opened(group)
    shell_started = s.records(BIN_WIN + "\\web.exe") + s.records(BIN_WIN + "\\folder.exe")
    parents = [r.get("parent", "").lower() for r in shell_started]
    check(parents == ["explorer.exe"] * 4, "pages and group started by %s" % parents)
    installer = s.records(INSTALL_WIN + "\\" + INSTALLER)
    check([r.get("parent", "").lower() for r in installer] == ["launcher.exe"],
          "installer started by %s" % [r.get("parent") for r in installer])


@scenario
def program_group_file_not_opened(s):
    # A program named like the group in the user's own Start menu is left
    # alone (opened, the shell would run it).
    s.install(installer=False)
    group = s.programs_folder_win() + "\\Zentak"
    s.copy_recorder(group)
    r = s.run(awaits=["Zentak"])
    r.expect_exit(0)
    check(not s.records(group), "the file in the Start menu was run: %s" % s.records(group))
    s.expect_nothing_opened()
    s.expect_cleanup()


@scenario
def planted_comspec_never_runs(s):
    # COMSPEC is the user's to set: the clean-up goes to the system's own
    # interpreter all the same, with the unchanged command line.
    s.install(installer=False)
    s.copy_recorder(EVIL)
    r = s.run(comspec=EVIL)
    r.expect_exit(0)
    check(not s.records(EVIL), "the planted program was started: %s" % s.records(EVIL))
    s.expect_cleanup()


def traces(output, pid, channel):
    """The traces (WINEDEBUG +pid,+channel) of process pid (decimal text)."""
    prefix = "%04x:" % int(pid)
    return [line for line in output.splitlines()
            if line.startswith(prefix) and (":%s:" % channel) in line]


@scenario
def accepted_offer_starts_installer_without_the_shell(s):
    # The installer is the launcher's own child, and the launcher never hands
    # anything to ShellExecute itself (Wine traces each call on +exec).
    s.install(installer=True)
    s.make_program_group()
    with OfferRun(s, winedebug="+pid,+exec,+process") as run:
        run.wait(OFFER)
        run.drive("click", OFFER, "1")
        run.wait(INFO)
        run.drive("click", INFO, "1")
        run.gone(OFFER)
    r = accepted(s, run)
    installer = s.records(INSTALLER_WIN)[0]
    check(installer.get("parent", "").lower() == "launcher.exe",
          "installer started by %s" % installer.get("parent"))
    check(installer.get("cmdline") == '"%s"' % INSTALLER_WIN,
          "installer got %r" % installer.get("cmdline"))
    # The launcher's own process traces are told by its id: its installer
    # start shows that they are found at all.
    pid = r.values["pid"]
    check(any(INSTALLER in line for line in traces(r.output, pid, "process")),
          "no process trace of the launcher names the installer: nothing would be found")
    check(not traces(r.output, pid, "exec"),
          "the launcher called ShellExecute: %s" % traces(r.output, pid, "exec"))
    s.expect_cleanup()


@scenario
def https_first_use_page_opened_by_the_desktop_shell(s):
    s.install(installer=True)
    page = "https://example.com/first-use"
    entry = '%s="%s"' % (catalog_key("s", None, FIRST_USE_SOURCE), page)
    s.write_file(INSTALL_WIN + "\\launcher.lng", "; https page\r\n***messages*** x\r\n%s\r\n" % entry)
    with OfferRun(s) as run:
        run.wait(OFFER)
        run.drive("click", OFFER, "1")
        run.wait(INFO)
        run.drive("click", INFO, "1")
        run.gone(OFFER)
    run.result.expect_exit(0)
    opened = s.records(BIN_WIN + "\\web2.exe")
    check(len(opened) == 1, "the https page was opened %d times" % len(opened))
    check(page in opened[0].get("cmdline", ""), "https handler got %r" % opened[0].get("cmdline"))
    check(opened[0].get("parent", "").lower() == "explorer.exe",
          "the page was opened by %s" % opened[0].get("parent"))
    s.expect_cleanup()


COMMAND_PROCESSOR_KEY = "HKCU\\Software\\Microsoft\\Command Processor"
USER_FOLDER = PUBLIC + "\\Downloads"


def accept_offer(s, **run_args):
    with OfferRun(s, **run_args) as run:
        run.wait(OFFER)
        run.drive("click", OFFER, "1")
        run.wait(INFO)
        run.drive("click", INFO, "1")
        run.gone(OFFER)
    return accepted(s, run)


@scenario
def cleanup_ignores_the_users_autorun(s):
    # Wine's interpreter ignores the key; the command line shows that the
    # system's would too: /d before /c.
    s.install(installer=False)
    s.copy_recorder(EVIL)
    s.reg_add(COMMAND_PROCESSOR_KEY, "AutoRun", EVIL)
    s.reg_add(COMMAND_PROCESSOR_KEY, "DelayedExpansion", "1", kind="REG_DWORD")
    r = s.run(sfxcmd="setup.exe /s")
    r.expect_exit(0)
    s.expect_cleanup()
    words = s.interpreter_records()[0]["cmdline"].split(" ")
    check("/d" in words and words.index("/d") < words.index("/c"),
          "no /d before /c: %s" % " ".join(words))
    check(not s.records(EVIL), "the AutoRun program was started: %s" % s.records(EVIL))


@scenario
def current_directory_chooses_nothing(s):
    # Started from the user's folder, which holds a planted uninstall.exe and
    # the user's own launcher.lng: the installer and the clean-up run in the
    # launcher's folder, and the interpreter (carrying the command out) runs
    # the uninstaller there; the catalog beside the launcher goes.
    s.install(installer=True)
    s.copy_recorder(USER_FOLDER + "\\uninstall.exe")
    s.write_file(USER_FOLDER + "\\launcher.lng", "the user's own file")
    s.write_file(INSTALL_WIN + "\\launcher.lng", "; beside\r\n***messages*** x\r\n")
    accept_offer(s, cwd=USER_FOLDER, env={"ZTK_CARRY_OUT": "1"})
    installer = s.records(INSTALLER_WIN)[0]
    check(installer.get("cwd", "").lower() == INSTALL_WIN.lower(),
          "the installer ran in %s" % installer.get("cwd"))
    s.expect_cleanup(cwd=INSTALL_WIN)
    check(not s.records(USER_FOLDER + "\\uninstall.exe"), "the planted uninstaller ran")
    uninstaller = s.records(INSTALL_WIN + "\\uninstall.exe")
    check(len(uninstaller) == 1, "the real uninstaller ran %d times" % len(uninstaller))
    check(os.path.exists(s.unix(USER_FOLDER + "\\launcher.lng")), "the user's file was deleted")
    check(not os.path.exists(s.install_path("launcher.lng")), "the catalog beside was kept")


@scenario
def language_folder_catalog_cannot_name_the_uninstaller(s):
    # The user's catalog names uninstall.exe as the installer: the built-in
    # name counts on the silent road (uninstall.exe stays) and on acceptance
    # (the real installer starts and only it is scheduled).
    s.install(installer=True)
    plant(s, catalog={("s", None, INSTALLER): "uninstall.exe"})
    r = s.run(sfxcmd="setup.exe /s")
    r.expect_exit(0)
    check(os.path.exists(s.install_path("uninstall.exe")), "uninstall.exe was deleted")
    check(not os.path.exists(s.install_path(INSTALLER)), "the installer was kept")
    s.copy_recorder(INSTALLER_WIN)
    os.remove(s.unix(INTERPRETER_WIN) + ".log")
    r = accept_offer(s)
    check(not s.records(INSTALL_WIN + "\\uninstall.exe"), "uninstall.exe was started")
    expect_pending_deletion(list(zip(r.pending[0::2], r.pending[1::2])))
    expect_planted_untouched(s)
    s.expect_cleanup()


@scenario
def network_language_folder_not_read(s):
    # Wine serves \\server\share from the prefix: a catalog there that retitles
    # the offer is not read, the offer keeps its own texts.
    share = os.path.join(s.prefix, "dosdevices", "unc", "server", "share", "lang")
    os.makedirs(share)
    entry = '%s="%s"' % (catalog_key("$", "LAUNCHDLG", OFFER), "Network Setup")
    with open(os.path.join(share, "launcher.lng"), "wb") as f:
        f.write(("; share\r\n***messages*** x\r\n%s\r\n" % entry).encode("cp1252"))
    s.reg_add(GENERAL_KEY, "LanguageFolder", "\\\\server\\share\\lang")
    s.install(installer=True)
    r = s.run(dismiss_after_ms=3000)
    r.expect_exit(0)
    check(r.windows == [OFFER], "windows shown: %s" % r.windows)
    s.expect_cleanup()


@scenario
def no_handle_reaches_the_cleanup(s):
    # The starter hands the launcher an inheritable pipe; the interpreter
    # standing in for cmd.exe writes to it if it holds it.
    s.install(installer=False)
    r = s.run(handle_probe=True)
    r.expect_exit(0)
    s.expect_cleanup()
    check(s.interpreter_records()[0].get("probe") == "failed",
          "the interpreter held the handle: %s" % s.interpreter_records()[0])
    check(r.values.get("probe") == "none", "the probe pipe got data: %s" % r.values.get("probe"))
