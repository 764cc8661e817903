"""The message catalog launcher.lng as the launcher meets it: a catalog that
renames the partner installer (string 5101), in both file forms and through
the "LanguageFolder" redirect, and catalogs that cannot be used, which must
leave the built-in texts in place and still end with the clean-up."""
import os
import random
import subprocess
import time

from harness import BIN_WIN, INSTALL_WIN, INSTALLER, catalog_key, check, scenario, wine_binary

LEFT_AFTER_CLEANUP = {"Launcher.exe", "uninstall.exe"}
RENAMED = "Partner_Setup.exe"
LANGUAGE_FOLDER = "C:\\ztk\\languages"
GENERAL_KEY = "HKCU\\Software\\Zentak\\General"


def renaming_catalog():
    """A catalog whose entry for string 5101 names another installer file."""
    return ("; test catalog\r\n***messages*** test\r\n"
            + catalog_key("s", None, INSTALLER) + '="' + RENAMED + '"\r\n')


def silent_run(s):
    r = s.run(sfxcmd="setup.exe /s")
    r.expect_exit(0)
    r.expect_no_window()
    s.expect_cleanup()
    return r


def renamed_installer_is_deleted(s, catalog_path, data):
    """Silent road: the installer the catalog names is deleted, the one of the
    built-in name stays; launcher.lng beside the launcher is removed by the
    clean-up, one elsewhere is not."""
    s.install(installer=True)
    s.copy_recorder(INSTALL_WIN + "\\" + RENAMED)
    s.write_file(catalog_path, data)
    silent_run(s)
    kept = {INSTALLER}
    s.expect_install_files(LEFT_AFTER_CLEANUP | kept)
    check(not s.records(INSTALL_WIN + "\\" + RENAMED), "the renamed installer was started")


@scenario
def catalog_ansi_renames_installer(s):
    renamed_installer_is_deleted(s, INSTALL_WIN + "\\launcher.lng",
                                 renaming_catalog().encode("cp1252"))


@scenario
def catalog_utf16_renames_installer(s):
    renamed_installer_is_deleted(s, INSTALL_WIN + "\\launcher.lng",
                                 b"\xff\xfe" + renaming_catalog().encode("utf-16-le"))


@scenario
def catalog_found_through_language_folder(s):
    # The user's folder may not rename the installer: the built-in name counts
    # (its installer is deleted, the renamed one stays), and the folder's
    # catalog is not the clean-up's to delete.
    s.reg_add(GENERAL_KEY, "LanguageFolder", LANGUAGE_FOLDER)
    catalog = LANGUAGE_FOLDER + "\\launcher.lng"
    s.install(installer=True)
    s.copy_recorder(INSTALL_WIN + "\\" + RENAMED)
    s.write_file(catalog, renaming_catalog().encode("cp1252"))
    silent_run(s)
    s.expect_install_files(LEFT_AFTER_CLEANUP | {RENAMED})
    check(os.path.exists(s.unix(catalog)), "the language folder's catalog was removed")


@scenario
def catalog_language_folder_without_catalog(s):
    # The folder is named but holds no catalog: the one beside the program counts.
    s.reg_add(GENERAL_KEY, "LanguageFolder", LANGUAGE_FOLDER)
    os.makedirs(s.unix(LANGUAGE_FOLDER), exist_ok=True)
    renamed_installer_is_deleted(s, INSTALL_WIN + "\\launcher.lng",
                                 renaming_catalog().encode("cp1252"))


def unusable_catalog(s, make_catalog, left):
    """Built-in texts stay: the installer of the built-in name is deleted."""
    s.install(installer=True)
    make_catalog()
    silent_run(s)
    s.expect_install_files(LEFT_AFTER_CLEANUP | left)


@scenario
def catalog_is_a_directory(s):
    unusable_catalog(s, lambda: os.makedirs(s.install_path("launcher.lng")), {"launcher.lng"})


@scenario
def catalog_of_10_mb_noise(s):
    noise = random.Random(1).randbytes(10 * 1024 * 1024).replace(b"*", b"+")
    unusable_catalog(s, lambda: s.write_file(INSTALL_WIN + "\\launcher.lng", noise), set())


@scenario
def catalog_with_capital_marker(s):
    text = renaming_catalog().replace("messages", "Messages").encode("cp1252")
    unusable_catalog(s, lambda: s.write_file(INSTALL_WIN + "\\launcher.lng", text), set())


@scenario
def catalog_locked_without_sharing(s):
    # Another program holds the catalog open with no sharing: it cannot be
    # read (the built-in installer name counts), and the clean-up cannot
    # delete it either.
    s.install(installer=True)
    s.copy_recorder(INSTALL_WIN + "\\" + RENAMED)
    catalog = INSTALL_WIN + "\\launcher.lng"
    s.write_file(catalog, renaming_catalog().encode("cp1252"))
    ready, release = "C:\\ztk\\lock.ready", "C:\\ztk\\lock.release"
    locker = subprocess.Popen([wine_binary(), BIN_WIN + "\\file_locker.exe", catalog, ready, release],
                              env=s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.time() + 60
        while not os.path.exists(s.unix(ready)):
            check(locker.poll() is None, "file_locker.exe ended early (%s)" % locker.returncode)
            check(time.time() < deadline, "file_locker.exe did not lock the catalog")
            time.sleep(0.1)
        silent_run(s)
    finally:
        s.write_file(release, "")
        locker.wait(timeout=60)
    s.expect_install_files(LEFT_AFTER_CLEANUP | {RENAMED, "launcher.lng"})
