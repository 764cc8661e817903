"""Driving the launcher's dialogs from outside: a private X display, one Wine
session shared by the launcher and every dialog_driver.exe call, and launcher
runs in the background while the driver acts on their windows.

    with OfferRun(s) as run:                  # one run
        run.wait("Zentak Setup")
        run.drive("click", "Zentak Setup", "1")
    run.result.expect_exit(0)

    with DialogSession(s, managed=False) as session:   # several runs
        session.start()
        listing = session.open_dialog("Zentak Setup")
        session.drive("esc", "Zentak Setup", "--command")
        session.finish().expect_exit(0)
"""
import json
import os
import subprocess
import tempfile
import threading
import time

from harness import BIN_WIN, Failure, check, wine_binary

DRIVER_WIN = BIN_WIN + "\\dialog_driver.exe"


class Screen:
    """A private X server for one scenario: the launcher's dialogs and the
    driver must meet on one display, and no other test's windows may be there."""

    def __init__(self):
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        number = self.server.stdout.readline().decode().strip()
        if not number.isdigit():
            self.close()
            check(False, "Xvfb did not start")
        self.display = ":" + number

    def close(self):
        self.server.terminate()
        try:
            self.server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.server.kill()


class DialogSession:
    """The display and Wine session of one scenario. managed=False lets Wine
    draw the window frames itself, so that screenshots show the captions."""

    def __init__(self, s, managed=True):
        self.s, self.managed = s, managed
        self.screen, self.thread, self.error, self.result = None, None, None, None

    def __enter__(self):
        if not self.managed:
            self.s.reg_add("HKCU\\Software\\Wine\\X11 Driver", "Managed", "N")
        self.screen = Screen()
        # The harness's run() starts wine directly when a display is set.
        os.environ["DISPLAY"] = self.screen.display
        self.s.env["DISPLAY"] = self.screen.display
        try:
            # One Wine session for the launcher and every driver call: a
            # server that stays up between programs, and its desktop made
            # before two programs could race to make one each (the second
            # would see none of the first one's windows).
            subprocess.run(["wineserver", "-p"], env=self.s.env, timeout=60)
            self.drive("gone", "no such window", "--timeout", "0")
        except BaseException:
            self._close_screen()
            raise
        return self

    def __exit__(self, kind, value, trace):
        if self.thread is not None:
            self.thread.join(timeout=120)
        self._close_screen()
        return False

    def _close_screen(self):
        self.screen.close()
        os.environ.pop("DISPLAY", None)

    # -- launcher runs -----------------------------------------------------

    def start(self, **run_args):
        """s.run(**run_args) in a thread of its own, while this one drives.
        The driver ends a driven run; the starter's time limit only stops a
        launcher that hangs, so it is long: on a loaded machine each driver
        call takes seconds, and a run of several outlasted the default."""
        self.error, self.result = None, None
        run_args.setdefault("timeout_ms", 120000)

        def body():
            try:
                self.result = self.s.run(**run_args)
            except Exception as e:  # handed to the waiting thread by finish()
                self.error = e

        self.thread = threading.Thread(target=body, daemon=True)
        self.thread.start()

    def finish(self, timeout=200):
        """Waits for the run that start() began; its Result."""
        self.thread.join(timeout=timeout)
        check(not self.thread.is_alive(), "the launcher's run did not end")
        self.thread = None
        if self.error is not None:
            raise self.error
        return self.result

    # -- the driver --------------------------------------------------------

    def drive(self, *args, ok=True):
        """dialog_driver.exe with these arguments: its standard output."""
        # Files, not pipes: Wine's session programs, started by whichever
        # program comes first, inherit its output and would hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            p = subprocess.run([wine_binary(), DRIVER_WIN] + list(args), env=self.s.env,
                               stdout=out, stderr=err, timeout=90)
            out.seek(0)
            err.seek(0)
            output, errors = out.read(), err.read()
        if ok:
            check(p.returncode == 0, "dialog_driver %s failed (%d): %s" % (
                " ".join(args), p.returncode, errors.decode(errors="replace")[-1000:]))
        return output.decode("utf-8", errors="replace")

    def wait(self, title, timeout_ms=30000):
        try:
            self.drive("wait", title, "--timeout", str(timeout_ms))
        except Failure as e:
            # Whether the launcher is still running, or how it ended, tells a
            # slow machine from a launcher that never showed the dialog.
            if self.thread is not None and not self.thread.is_alive():
                ended = self.error if self.error is not None else self.result.lines
                raise Failure("%s; the launcher's run had ended: %s" % (e, ended)) from e
            raise Failure("%s; the launcher was still running" % e) from e

    def gone(self, title, timeout_ms=30000):
        self.drive("gone", title, "--timeout", str(timeout_ms))

    def listing(self, title):
        return json.loads(self.drive("list", title, "--json"))

    def open_dialog(self, title):
        """Waits for the dialog, lets it paint, and describes it."""
        self.wait(title)
        time.sleep(1.0)
        return self.listing(title)

    def pending(self):
        """PendingFileRenameOperations now, as (source, target) pairs."""
        pairs, source = [], None
        for line in self.drive("pending").splitlines():
            key, _, value = line.partition("=")
            if key == "pending":
                source = value
            elif key == "target":
                pairs.append((source, value))
        return pairs


class OfferRun(DialogSession):
    """A session for one launcher run, started on entry and awaited on exit."""

    def __init__(self, s, **run_args):
        super().__init__(s)
        self.run_args = run_args

    def __enter__(self):
        super().__enter__()
        self.start(**self.run_args)
        return self

    def __exit__(self, kind, value, trace):
        try:
            if kind is None:
                self.finish()
        finally:
            super().__exit__(kind, value, trace)
        return False
