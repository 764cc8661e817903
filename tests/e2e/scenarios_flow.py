"""The launcher's roads that show no dialog, and its bad inputs."""
import os

from harness import (INSTALL_WIN, INSTALLER, PARTNER_KEY, PARTNER_KEY32, check, scenario)

LEFT_AFTER_CLEANUP = {"Launcher.exe", "uninstall.exe"}


def deep_folder(length):
    """A C: folder path of exactly length units, in components Wine can hold."""
    path = "C:\\ztk\\deep"
    while len(path) < length:
        path += "\\" + "d" * min(200, length - len(path) - 1)
    check(len(path) == length, "cannot build a folder of %d units" % length)
    return path


def expect_quiet_end(s, r):
    r.expect_exit(0)
    r.expect_no_window()


def run_to_clean_up(s):
    """A run that shows nothing, leaves only the files the clean-up leaves,
    and hands over the clean-up."""
    r = s.run()
    expect_quiet_end(s, r)
    s.expect_install_files(LEFT_AFTER_CLEANUP)
    s.expect_cleanup()
    return r


@scenario
def silent_installer_present(s):
    s.install(installer=True)
    s.write_file(INSTALL_WIN + "\\launcher.lng", "not a catalog\n")
    s.make_program_group()
    r = s.run(sfxcmd='"C:\\Setup dir-s\\zentak-setup.exe" /s')
    expect_quiet_end(s, r)
    s.expect_install_files(LEFT_AFTER_CLEANUP)
    s.expect_cleanup()
    s.expect_nothing_opened()
    check(not s.records(INSTALL_WIN + "\\" + INSTALLER), "the installer was started")


@scenario
def installer_absent(s):
    s.install(installer=False)
    group = s.make_program_group()
    r = s.run()
    expect_quiet_end(s, r)
    s.expect_install_files(LEFT_AFTER_CLEANUP)
    s.expect_folder_opened(group)
    s.expect_cleanup()


@scenario
def partner_under_native_key(s):
    s.install(installer=True)
    s.reg_add(PARTNER_KEY, "InstallDir", "C:\\Program Files\\Partner")
    run_to_clean_up(s)


@scenario
def partner_only_under_wow6432node(s):
    s.install(installer=True)
    s.reg_add(PARTNER_KEY, "InstallDir", "")
    s.reg_add(PARTNER_KEY32, "InstallDir", "C:\\Program Files (x86)\\Partner")
    run_to_clean_up(s)


@scenario
def no_program_group(s):
    s.install(installer=False)
    r = s.run()
    expect_quiet_end(s, r)
    s.expect_nothing_opened()
    s.expect_cleanup()


@scenario
def comspec_unset(s):
    # The interpreter is the system's own: the clean-up runs all the same.
    s.install(installer=False)
    r = s.run(comspec="")
    expect_quiet_end(s, r)
    s.expect_cleanup()
    s.expect_install_files(LEFT_AFTER_CLEANUP)


@scenario
def offer_without_template(s):
    # The language module renames the installer and has no "LAUNCHDLG": the
    # offer road is taken, no dialog can be made, the installer stays.
    s.install(installer=True)
    s.language_module("bare")
    s.copy_recorder(INSTALL_WIN + "\\Partner_Setup.exe")
    group = s.make_program_group()
    r = s.run()
    expect_quiet_end(s, r)
    s.expect_install_files(LEFT_AFTER_CLEANUP | {"ztklng.dll", "Partner_Setup.exe", INSTALLER})
    s.expect_folder_opened(group)
    s.expect_cleanup()


def silent_command_of_length(length):
    head = "setup.exe /s "
    return head + "x" * (length - len(head))


@scenario
def sfxcmd_longest_that_is_read(s):
    s.install(installer=False)
    s.make_program_group()
    r = s.run(sfxcmd=silent_command_of_length(1023))
    expect_quiet_end(s, r)
    s.expect_nothing_opened()
    s.expect_cleanup()


@scenario
def sfxcmd_too_long_is_not_silent(s):
    s.install(installer=False)
    group = s.make_program_group()
    r = s.run(sfxcmd=silent_command_of_length(1024))
    expect_quiet_end(s, r)
    s.expect_folder_opened(group)
    s.expect_cleanup()


# An own path of 2043 units: the folder (2030) fits, the installer's name
# after it does not, and neither does the clean-up command.
LONG_FOLDER = deep_folder(2030)
CUT_INSTALLER = (LONG_FOLDER + "\\" + INSTALLER)[:2047].rsplit("\\", 1)[1]


def install_far_away(s):
    """The launcher and its installer in LONG_FOLDER; the current directory
    stays the usual install folder, which holds the uninstaller."""
    s.install(installer=True, folder=LONG_FOLDER)
    s.copy_recorder(INSTALL_WIN + "\\uninstall.exe")


@scenario
def own_path_near_limit(s):
    install_far_away(s)
    group = s.make_program_group()
    r = s.run_from_linux(LONG_FOLDER + "\\Launcher.exe")
    expect_quiet_end(s, r)
    s.expect_install_files(LEFT_AFTER_CLEANUP | {INSTALLER}, folder=LONG_FOLDER)
    s.expect_folder_opened(group)
    s.expect_no_cleanup()


@scenario
def own_path_near_limit_spares_cut_name(s):
    # A file named like the cut installer path must not be taken for the
    # installer, not even by the silent road, which deletes without asking.
    install_far_away(s)
    s.write_file(LONG_FOLDER + "\\" + CUT_INSTALLER, "someone else's file")
    r = s.run_from_linux(LONG_FOLDER + "\\Launcher.exe", sfxcmd="/s")
    expect_quiet_end(s, r)
    s.expect_install_files(LEFT_AFTER_CLEANUP | {INSTALLER, CUT_INSTALLER}, folder=LONG_FOLDER)
    s.expect_no_cleanup()


def silent_with_broken_language_module(s, make_module):
    s.install(installer=True)
    make_module()
    r = s.run(sfxcmd="/S")
    expect_quiet_end(s, r)
    # The installer's own name (string 5101 of the program) was used.
    s.expect_install_files(LEFT_AFTER_CLEANUP | {"ztklng.dll"})
    s.expect_cleanup()


@scenario
def language_module_not_a_module(s):
    silent_with_broken_language_module(
        s, lambda: s.write_file(INSTALL_WIN + "\\ztklng.dll", b"MZ but nothing more" * 50))


@scenario
def language_module_is_a_directory(s):
    import os
    silent_with_broken_language_module(
        s, lambda: os.makedirs(s.install_path("ztklng.dll")))


@scenario
def own_path_beyond_max_path(s):
    # Longer than MAX_PATH but short enough for every buffer: the silent
    # road deletes the installer beside the launcher. The folder cannot be
    # the clean-up's current directory, so the clean-up starts nothing (from
    # the launcher's current directory it would run another uninstaller).
    folder = deep_folder(300)
    s.install(installer=True, folder=folder)
    s.copy_recorder(INSTALL_WIN + "\\uninstall.exe")
    r = s.run_from_linux(folder + "\\Launcher.exe", sfxcmd="-s")
    r.expect_exit(0)
    s.expect_install_files(LEFT_AFTER_CLEANUP, folder=folder)
    s.expect_no_cleanup()


@scenario
def own_folder_longest_current_directory(s):
    # 258 units, the longest current directory: the clean-up runs there.
    folder = deep_folder(258)
    s.install(installer=True, folder=folder)
    os.makedirs(s.unix(INSTALL_WIN))  # the launcher's current directory, elsewhere
    r = s.run_from_linux(folder + "\\Launcher.exe", sfxcmd="-s")
    r.expect_exit(0)
    s.expect_install_files(LEFT_AFTER_CLEANUP, folder=folder)
    s.expect_cleanup(launcher=folder + "\\Launcher.exe", cwd=folder)
