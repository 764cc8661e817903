"""Start-up and exit of the process, with the hooks build of Launcher.exe:
the order of construction and of the exit-time steps, and the abnormal end
after a memory failure while the catalog's index grows."""
import os
import shutil

from harness import INSTALL_WIN, INSTALLER, check, scenario

HERE = os.path.dirname(os.path.abspath(__file__))
HOOK_LOG = "C:\\ztk\\hooks.log"
CONSTRUCTION = ["construct crc-tables", "construct error-reporter", "construct resource-module",
                "construct catalog", "flow begin, crc32 ready"]
# Calls of the catalog's allocation function: the body buffer, the wide text of
# an 8-bit body, then one per growth of the index (32, 72, 122, 184, 262, 359,
# 480, 632 items): the tenth asks for 632 x 8 bytes.
FAILING_CALL = 10
FAILED_GROWTH = "allocation 10 fails (5056 bytes)"
# The runtime's own report of an abnormal end, should a runtime show one.
RUNTIME_REPORT = "Runtime Library"


def hooks_launcher():
    path = os.environ.get("ZTK_HOOKS_LAUNCHER") or os.path.join(
        HERE, "..", "..", "build", "windows-hooks", "Launcher.exe")
    check(os.path.exists(path), "no hooks build at %s (preset windows-hooks)" % path)
    return path


def install_hooks_build(s, installer):
    s.install(installer=installer)
    shutil.copy(hooks_launcher(), s.install_path("Launcher.exe"))


def catalog(lines):
    body = "".join('%08x="text %d"\r\n' % (i, i) for i in range(lines))
    return "; test catalog\r\n***messages***\r\n" + body


def hook_lines(s):
    path = s.unix(HOOK_LOG)
    check(os.path.exists(path), "the hooks build wrote no log")
    with open(path) as f:
        return f.read().splitlines()


def expect_lines(s, expected):
    lines = hook_lines(s)
    check(lines == expected, "steps %s, expected %s" % (lines, expected))


@scenario
def frame_silent_road_steps_in_order(s):
    install_hooks_build(s, installer=True)
    s.write_file(INSTALL_WIN + "\\launcher.lng", catalog(40))
    s.language_module("bare")
    r = s.run(sfxcmd="setup.exe /s", env={"ZTK_HOOK_LOG": HOOK_LOG})
    r.expect_exit(0)
    r.expect_no_window()
    expect_lines(s, CONSTRUCTION + [
        "flow end 0",
        "exit catalog: frees text and index",
        "exit resource-module: releases the language module"])
    s.expect_install_files({"Launcher.exe", "uninstall.exe", "ztklng.dll"})
    s.expect_cleanup()


@scenario
def frame_nothing_loaded_nothing_freed(s):
    install_hooks_build(s, installer=False)
    r = s.run(env={"ZTK_HOOK_LOG": HOOK_LOG})
    r.expect_exit(0)
    r.expect_no_window()
    expect_lines(s, CONSTRUCTION + [
        "flow end 0",
        "exit catalog: frees nothing",
        "exit resource-module: releases nothing"])
    s.expect_cleanup()


@scenario
def frame_memory_failure_ends_abnormally(s):
    # The offer road: had the flow gone on, the offer dialog would be up.
    install_hooks_build(s, installer=True)
    s.write_file(INSTALL_WIN + "\\launcher.lng", catalog(5000))
    r = s.run(env={"ZTK_HOOK_LOG": HOOK_LOG, "ZTK_FAIL_ALLOC": str(FAILING_CALL)},
              dismiss_after_ms=3000)
    check(r.values.get("started") == "1", "the launcher did not start: %s" % r.lines)
    check(r.exit not in (None, "0", "timeout"), "exit code %s, expected an abnormal end" % r.exit)
    others = [w for w in r.windows if RUNTIME_REPORT not in w]
    check(not others, "windows other than the runtime's report: %s" % others)
    expect_lines(s, CONSTRUCTION + [FAILED_GROWTH])
    s.expect_install_files({"Launcher.exe", "uninstall.exe", INSTALLER, "launcher.lng"})
    s.expect_no_cleanup()
    s.expect_nothing_opened()
    check(not s.records(INSTALL_WIN + "\\" + INSTALLER), "the installer was started")
