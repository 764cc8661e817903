"""End-to-end harness: the real Launcher.exe in a throwaway Wine prefix.

A scenario is a function taking a Scenario, registered with @scenario in a
file scenarios_<group>.py beside this one; run.py finds those files by name.
Each scenario gets a copy of one template prefix (made once per build tree),
lays out an install folder, runs the launcher through starter.exe inside
Windows and checks what is left and what was started. For example:

    from harness import scenario

    @scenario
    def silent_installer_present(s):
        s.install(installer=True)
        r = s.run(sfxcmd="setup.exe /s")
        r.expect_exit(0)
        s.expect_install_files({"Launcher.exe", "uninstall.exe"})
        s.expect_cleanup()

Windows side of every scenario prefix:
    C:\\ztk\\install   the install folder (launcher, uninstaller, installer)
    C:\\ztkbin         the harness's programs (starter.exe and every other
                      program of tests/e2e but the recorder) and copies of
                      recorder.exe standing in for the folder handler
                      (folder.exe) and the web handlers (web.exe, web2.exe)
    C:\\windows\\system32\\cmd.exe
                      a recorder copy standing in for the system's command
                      interpreter (Wine runs it instead of its builtin one
                      because WINEDLLOVERRIDES holds cmd.exe=n)
Each recorder copy logs its starts to <its path>.log.
"""
import fcntl
import os
import shutil
import subprocess
import time
import zlib

INSTALLER = "BavPro_Setup_Mini_240.exe"
INSTALL_WIN = "C:\\ztk\\install"
BIN_WIN = "C:\\ztkbin"
INTERPRETER_WIN = "C:\\windows\\system32\\cmd.exe"
PARTNER_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Baidu Antivirus"
PARTNER_KEY32 = ("HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
                 "\\Baidu Antivirus")
# The recorder copies and the shell verbs that lead to them.
HANDLERS = {"folder": "Folder", "web": "http", "web2": "https"}
STARTF_USESHOWWINDOW = 0x1
SW_HIDE = 0

# Bump when the template's recipe changes: every build tree then remakes it.
TEMPLATE_RECIPE = "4"

SCENARIOS = {}


def scenario(function=None, *, name=None):
    """Registers a scenario under its function's name (or name=)."""
    def register(f):
        key = name or f.__name__
        if key in SCENARIOS:
            raise ValueError("scenario %s defined twice" % key)
        SCENARIOS[key] = f
        return f
    return register(function) if function is not None else register


def catalog_key(kind, context, source):
    """A catalog entry's key: the CRC-32 of the kind, the context and the
    English source, in code page 1252, as eight lower-case hex digits."""
    data = kind.encode("ascii") + (context or "").encode("cp1252") + source.encode("cp1252")
    return "%08x" % (zlib.crc32(data) & 0xFFFFFFFF)


def catalog_escaped(value):
    """A value as a catalog line spells it."""
    return (value.replace("\\", "\\\\").replace('"', '\\"').replace("\r", "\\r")
            .replace("\n", "\\n"))


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Config:
    def __init__(self, build, launcher, bin_dir, lang, work):
        absolute = [os.path.abspath(p) if p else p for p in (build, launcher, bin_dir, lang, work)]
        self.build, self.launcher, self.bin, self.lang, self.work = absolute


def wine_binary():
    for candidate in (shutil.which("wine64"), "/usr/lib/wine/wine64", shutil.which("wine")):
        if candidate and os.path.exists(candidate):
            return candidate
    raise Failure("no wine found")


def wine_environment(prefix, native_interpreter=False):
    """native_interpreter: the prefix's own cmd.exe file runs instead of
    Wine's builtin interpreter (a scenario's, where that file is a recorder)."""
    env = dict(os.environ)
    for name in ("sfxcmd", "COMSPEC", "ZTK_RECORD_FILE"):
        env.pop(name, None)
    env["WINEPREFIX"] = prefix
    env["WINEDEBUG"] = "-all"
    # No Mono, no Gecko, and no menu entries written into the Linux desktop.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d" + (
        ";cmd.exe=n" if native_interpreter else "")
    return env


def display_wrapper():
    """The command prefix that gives wine an X display when there is none."""
    if os.environ.get("DISPLAY"):
        return []
    return ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24"]


def run_quiet(args, env, timeout=120, check_rc=True):
    p = subprocess.run(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                       timeout=timeout)
    if check_rc and p.returncode != 0:
        raise Failure("%s failed (%d): %s" % (" ".join(args), p.returncode,
                                              p.stdout.decode(errors="replace")[-2000:]))
    return p


def stop_wineserver(env):
    subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60)


def reg(env, *args):
    # A first call into a fresh prefix copy now and then fails at once, with
    # nothing said, while many scenarios start together; a second one works.
    for attempt in range(3):
        p = run_quiet([wine_binary(), "reg"] + list(args) + ["/f"], env, check_rc=attempt == 2)
        if p.returncode == 0:
            return
        time.sleep(1)


def template_stamp():
    version = subprocess.run([wine_binary(), "--version"], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL).stdout.decode().strip()
    return "recipe %s, %s\n" % (TEMPLATE_RECIPE, version)


def make_template(config):
    """The template prefix, made only when missing or stale; tests running in
    parallel wait for the one that makes it."""
    os.makedirs(config.work, exist_ok=True)
    prefix = os.path.join(config.work, "template")
    stamp_path = prefix + ".stamp"
    stamp = template_stamp()
    with open(prefix + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(stamp_path) and open(stamp_path).read() == stamp:
            return prefix
        shutil.rmtree(prefix, ignore_errors=True)
        if os.path.exists(stamp_path):
            os.remove(stamp_path)
        env = wine_environment(prefix)
        started = time.time()
        run_quiet(display_wrapper() + [wine_binary(), "wineboot", "-i"], env, timeout=540,
                  check_rc=False)
        subprocess.run(["wineserver", "-w"], env=env, timeout=120)
        check(os.path.exists(os.path.join(prefix, "system.reg")), "wineboot made no prefix")
        # Shell targets lead to recorder copies: "open" on a folder consults
        # only Folder\shell\open\command once its ddeexec key is gone, and
        # URLs go by their scheme's key.
        for exe, cls in HANDLERS.items():
            key = "HKCR\\%s\\shell\\open" % cls
            reg(env, "add", key + "\\command", "/ve", "/d", '"%s\\%s.exe" "%%1"' % (BIN_WIN, exe))
            run_quiet([wine_binary(), "reg", "delete", key + "\\ddeexec", "/f"], env,
                      check_rc=False)
        install_caption_font(prefix, env)
        stop_wineserver(env)
        with open(stamp_path, "w") as f:
            f.write(stamp)
        print("template prefix made in %.0f s" % (time.time() - started))
        return prefix


# Wine draws the caption buttons with this font; without it in the prefix a
# letter stands where the close box should be. tools/setup installs it.
CAPTION_FONT = "/usr/share/wine/fonts/marlett.ttf"


def install_caption_font(prefix, env):
    """Marlett into the prefix's Fonts folder, registered as Windows has it."""
    check(os.path.exists(CAPTION_FONT), "no %s (tools/setup installs fonts-wine)" % CAPTION_FONT)
    shutil.copy(CAPTION_FONT, os.path.join(prefix, "drive_c", "windows", "Fonts", "marlett.ttf"))
    reg(env, "add", "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "/v",
        "Marlett (TrueType)", "/d", "marlett.ttf")


# Wine's own program files: written only by wineboot, which a prefix of the
# template's Wine version never runs again, so copies may share them.
SHARED_SUFFIXES = (".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".ax", ".tlb", ".ds")


def clone_prefix(template, dest):
    """A copy of the template prefix: Wine's program files hard-linked (most
    of its 700 MB), everything else copied, symbolic links kept as links."""
    for root, dirs, files in os.walk(template):
        rel = os.path.relpath(root, template)
        target = os.path.normpath(os.path.join(dest, rel))
        os.makedirs(target, exist_ok=True)
        shutil.copystat(root, target)
        for name in list(dirs):
            src = os.path.join(root, name)
            if os.path.islink(src):
                os.symlink(os.readlink(src), os.path.join(target, name))
                dirs.remove(name)
        for name in files:
            src, dst = os.path.join(root, name), os.path.join(target, name)
            if os.path.islink(src):
                os.symlink(os.readlink(src), dst)
            elif rel.split(os.sep)[0] == "drive_c" and name.lower().endswith(SHARED_SUFFIXES):
                os.link(src, dst)
            else:
                shutil.copy2(src, dst)


def parse_records(path):
    """The recorder's log: a list of dicts, one per start."""
    if not os.path.exists(path):
        return []
    records, current = [], {}
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f.read().split("\n"):
            if line == ".":
                records.append(current)
                current = {}
            elif "=" in line:
                key, value = line.split("=", 1)
                current[key] = value
    return records


class Result:
    """What starter.exe reported about one run of the launcher."""

    def __init__(self, lines):
        self.lines = lines
        self.values = {}
        self.windows, self.dismissed, self.pending = [], [], []
        self.output = ""
        for key, value in lines:
            if key == "window":
                self.windows.append(value)
            elif key == "dismissed":
                self.dismissed.append(value)
            elif key == "pending":
                self.pending.append(value)
            else:
                self.values[key] = value
        self.exit = self.values.get("exit")

    def expect_exit(self, code=0):
        check(self.values.get("started") == "1", "the launcher did not start: %s" % self.lines)
        check(self.exit == str(code), "exit code %s, expected %s" % (self.exit, code))
        check(self.values.get("descendants") in ("done", "untracked"),
              "programs the launcher started did not end: %s" % self.values.get("descendants"))

    def expect_no_window(self):
        check(not self.windows, "windows were shown: %s" % self.windows)


class Scenario:
    def __init__(self, config, name, template):
        self.config, self.name = config, name
        self.dir = os.path.join(config.work, "run", name)
        self.prefix = os.path.join(self.dir, "prefix")
        self.env = wine_environment(self.prefix, native_interpreter=True)
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.result = None
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        clone_prefix(template, self.prefix)
        os.makedirs(self.unix(BIN_WIN), exist_ok=True)
        for program in os.listdir(config.bin):
            if program.endswith(".exe") and program != "recorder.exe":
                shutil.copy(os.path.join(config.bin, program), self.unix(BIN_WIN + "\\" + program))
        for exe in HANDLERS:
            self.copy_recorder(BIN_WIN + "\\%s.exe" % exe)
        self.copy_recorder(INTERPRETER_WIN)

    # -- paths -------------------------------------------------------------

    def unix(self, win_path):
        """The Linux path of a C: path inside this scenario's prefix."""
        check(win_path[:3].upper() == "C:\\", "not a C: path: %s" % win_path)
        return os.path.join(self.drive_c, *[p for p in win_path[3:].split("\\") if p])

    def install_path(self, *names):
        return os.path.join(self.unix(INSTALL_WIN), *names)

    def user_folder(self):
        users = os.path.join(self.drive_c, "users")
        names = [n for n in os.listdir(users) if n != "Public" and not os.path.islink(
            os.path.join(users, n))]
        check(len(names) == 1, "cannot tell the Wine user from %s" % names)
        return os.path.join(users, names[0])

    def programs_folder(self):
        """The Linux path of the user's Start-menu Programs folder."""
        return os.path.join(self.user_folder(), "AppData", "Roaming", "Microsoft", "Windows",
                            "Start Menu", "Programs")

    def programs_folder_win(self):
        user = os.path.basename(self.user_folder())
        return ("C:\\users\\%s\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs" % user)

    # -- set-up ------------------------------------------------------------

    def copy_recorder(self, win_path):
        path = self.unix(win_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        # Wine's own files are hard links into the template: replaced, not
        # written through.
        if os.path.lexists(path) and not os.path.isdir(path):
            os.remove(path)
        shutil.copy(os.path.join(self.config.bin, "recorder.exe"), path)

    def install(self, installer=True, folder=INSTALL_WIN, launcher_name="Launcher.exe"):
        """Lays out an install folder: the launcher, a stand-in uninstaller
        and, when asked, a stand-in partner installer (recorder copies)."""
        os.makedirs(self.unix(folder), exist_ok=True)
        shutil.copy(self.config.launcher, self.unix(folder + "\\" + launcher_name))
        self.copy_recorder(folder + "\\uninstall.exe")
        if installer:
            self.copy_recorder(folder + "\\" + INSTALLER)

    def language_module(self, variant, folder=INSTALL_WIN):
        """Puts the test language module lang/<variant>/ztklng.dll beside the launcher."""
        shutil.copy(os.path.join(self.config.lang, variant, "ztklng.dll"),
                    self.unix(folder + "\\ztklng.dll"))

    def write_file(self, win_path, data=b"", encoding="utf-8"):
        path = self.unix(win_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode(encoding))

    def make_program_group(self):
        os.makedirs(os.path.join(self.programs_folder(), "Zentak"), exist_ok=True)
        return self.programs_folder_win() + "\\Zentak"

    def reg_add(self, key, value, data, kind="REG_SZ"):
        reg(self.env, "add", key, "/v", value, "/t", kind, "/d", data)

    # -- the run -----------------------------------------------------------

    def run(self, sfxcmd=None, comspec=None, launcher=None, cwd=INSTALL_WIN, env=None,
            timeout_ms=30000, dismiss_after_ms=0, dismiss_with_ok=False, awaits=(),
            winedebug=None, handle_probe=False):
        """Starts the launcher through starter.exe and waits for it and for
        everything it started. sfxcmd None: unset; comspec "": unset, None:
        Wine's own. winedebug: Wine's debug channels for the run, whose
        output is kept as Result.output. dismiss_after_ms: windows still up after that long are
        closed (WM_CLOSE), or answered with OK when dismiss_with_ok. Returns
        the Result (also kept as self.result). The shell handlers, and the
        programs named in awaits, are awaited too: the desktop shell, not the
        launcher, starts them. handle_probe: the launcher inherits the write
        end of a pipe, which every recorder writes to when it holds it too;
        Result.values["probe"] tells whether anything arrived."""
        launcher = launcher or INSTALL_WIN + "\\Launcher.exe"
        job = ["launcher=" + launcher, "cwd=" + cwd, "out=C:\\ztk\\result.txt",
               "timeout=%d" % timeout_ms, "dismiss_after=%d" % dismiss_after_ms]
        if dismiss_with_ok:
            job.append("dismiss_with=ok")
        if handle_probe:
            job.append("handle_probe=1")
        for name in ["%s.exe" % exe for exe in HANDLERS] + list(awaits):
            job.append("await=" + name)
        if comspec is not None:
            job.append("comspec=" + comspec)
        if sfxcmd is not None:
            job.append("sfxcmd=" + sfxcmd)
        for key, value in (env or {}).items():
            job.append("env=%s=%s" % (key, value))
        self.write_file("C:\\ztk\\job.txt", "\n".join(job) + "\n")
        args = display_wrapper() + [wine_binary(), BIN_WIN + "\\starter.exe",
                                    "C:\\ztk\\job.txt"]
        run_env = dict(self.env)
        if winedebug is not None:
            run_env["WINEDEBUG"] = winedebug
        p = subprocess.run(args, env=run_env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=2 * timeout_ms / 1000 + 60)
        out_path = self.unix("C:\\ztk\\result.txt")
        check(os.path.exists(out_path), "starter.exe wrote no result (%d): %s" % (
            p.returncode, p.stdout.decode(errors="replace")[-2000:]))
        lines = []
        with open(out_path, encoding="utf-8", errors="replace") as f:
            for line in f.read().splitlines():
                key, _, value = line.partition("=")
                lines.append((key, value))
        self.result = Result(lines)
        self.result.output = p.stdout.decode(errors="replace")
        return self.result

    def run_from_linux(self, launcher, cwd=INSTALL_WIN, sfxcmd=None, comspec=None,
                       timeout_s=60):
        """Starts the launcher with wine from the Linux side: the one way to
        run a program whose path is longer than MAX_PATH (CreateProcessW
        refuses those). COMSPEC then comes from the prefix's registry (None:
        Wine's own), sfxcmd from the Linux environment; the exit code is
        wine's. Windows are not watched here."""
        if comspec is not None:
            reg(self.env, "add", "HKLM\\System\\CurrentControlSet\\Control\\Session Manager"
                "\\Environment", "/v", "ComSpec", "/t", "REG_EXPAND_SZ", "/d", comspec)
        env = dict(self.env)
        if sfxcmd is not None:
            env["sfxcmd"] = sfxcmd
        p = subprocess.run(display_wrapper() + [wine_binary(), self.unix(launcher)],
                           cwd=self.unix(cwd), env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, timeout=timeout_s)
        # Whatever the launcher started ends before the session does.
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=timeout_s)
        self.result = Result([("started", "1"), ("exit", str(p.returncode)),
                              ("descendants", "untracked")])
        return self.result

    # -- checks ------------------------------------------------------------

    def records(self, win_path):
        return parse_records(self.unix(win_path) + ".log")

    def interpreter_records(self):
        return self.records(INTERPRETER_WIN)

    def handler_records(self):
        return [r for exe in HANDLERS for r in self.records(BIN_WIN + "\\%s.exe" % exe)]

    def expect_install_files(self, expected, folder=INSTALL_WIN):
        present = set(os.listdir(self.unix(folder)))
        check(present == set(expected), "install folder holds %s, expected %s" % (
            sorted(present), sorted(expected)))

    def expected_cleanup_command(self, interpreter=INTERPRETER_WIN, launcher=None):
        launcher = launcher or INSTALL_WIN + "\\Launcher.exe"
        return '%s /d /e:on /v:off /c .\\uninstall.exe/wait & del "%s"' % (interpreter, launcher)

    def expect_cleanup(self, interpreter=INTERPRETER_WIN, launcher=None, cwd=INSTALL_WIN):
        """Exactly one hidden interpreter start, with the exact command line."""
        records = self.records(interpreter)
        check(len(records) == 1, "the interpreter started %d times" % len(records))
        r = records[0]
        expected = self.expected_cleanup_command(interpreter, launcher)
        check(r.get("cmdline") == expected, "interpreter got %r, expected %r" % (
            r.get("cmdline"), expected))
        flags = int(r.get("flags", "0"), 16)
        check(flags & STARTF_USESHOWWINDOW, "interpreter started without STARTF_USESHOWWINDOW")
        check(r.get("show") == str(SW_HIDE), "interpreter shown with %s" % r.get("show"))
        check(r.get("cwd", "").rstrip("\\").lower() == cwd.lower(),
              "interpreter ran in %s" % r.get("cwd"))

    def expect_no_cleanup(self):
        check(not self.interpreter_records(), "the interpreter was started: %s" %
              self.interpreter_records())

    def expect_folder_opened(self, folder_win):
        records = self.records(BIN_WIN + "\\folder.exe")
        check(len(records) == 1, "the folder handler ran %d times" % len(records))
        check(folder_win.lower() in records[0].get("cmdline", "").lower(),
              "folder handler got %r, expected %s" % (records[0].get("cmdline"), folder_win))

    def expect_nothing_opened(self):
        check(not self.handler_records(), "shell targets were opened: %s" % self.handler_records())

    # -- end ---------------------------------------------------------------

    def finish(self, passed):
        stop_wineserver(self.env)
        if passed and not os.environ.get("ZTK_E2E_KEEP"):
            shutil.rmtree(self.dir, ignore_errors=True)


def run_scenario(config, name):
    template = make_template(config)
    s = Scenario(config, name, template)
    passed = False
    try:
        SCENARIOS[name](s)
        passed = True
    except Failure as e:
        print("FAILED %s: %s" % (name, e))
        if s.result is not None:
            print("starter reported: %s" % s.result.lines)
        print("scenario kept in %s" % s.dir)
    finally:
        s.finish(passed)
    if passed:
        print("passed %s" % name)
    return passed
