"""Runs ferrogauge.exe as a black box on a private Wine shell desktop inside a private Xvfb.

Every WineDesktop has its own Wine prefix (a copy of the build tree's template prefix, made by
cmake/wine-run), its own X server and its own wineserver, and stop() takes all of them down.

How the pieces meet:
- The template prefix sets HKCU\\Software\\Wine\\Explorer "Desktop"="shell" and
  ...\\Explorer\\Desktops "shell"="1024x768", so every process started with a plain `wine X.exe`
  joins one virtual desktop named "shell", which has a taskbar and a notification area.
  Because the program is started directly (not through explorer /desktop=...), the exit
  status of its `wine` process is the program's own exit code.
- Wine closes a desktop about a second after its last process exits, and a new desktop's
  taskbar can come up after the first program has already read the work area. So the probe's
  "hold" runs first, for the whole life of the desktop, and reports when the taskbar is up.
- The probe (fgprobe.exe) runs as a separate process on the same desktop for every query.

Under Wine the program reads the processor, memory, network and disk figures from the Linux
host's own files. Each desktop gives it a stand-in folder with fixed figures instead (the
program's FERROGAUGE_PROC variable names it), so that screenshots and logs are exact; a
desktop made with proc_fixture=None lets it read the real machine, and one made with a
subclass of ProcFixture gives it other figures.

Environment (set by ferro_add_e2e_test): FERRO_EXE, FERRO_PROBE, FERRO_BUILD, FERRO_WINE_RUN.
FERRO_KEEP_PREFIX=1 keeps each test's folder (prefix, program logs) and prints its path.
"""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest

ScreenSize = (1024, 768)
# The shell desktop's taskbar takes the bottom 20 pixels at 96 DPI (more at a larger scale:
# tests read the work area and the tray icon's size from the running desktop).
ShellWorkArea = (0, 0, 1024, 748)

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
IdExit = 40008  # the Exit command of the program's menu
WS_POPUP = 0x80000000
WS_VISIBLE = 0x10000000
WS_EX_TOPMOST = 0x00000008
WS_EX_TOOLWINDOW = 0x00000080
WS_EX_LAYERED = 0x00080000

ProbeTimeoutS = 30
HoldTimeoutMs = 30000
XvfbStartTimeoutS = 30

_PR_SET_PDEATHSIG = 1


def _die_with_parent():
    """Runs in the child before exec: end it when the test process goes, however it goes."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)


def _repo_root():
    return os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def _required_env(name):
    value = os.environ.get(name)
    if not value:
        raise RuntimeError(f"{name} is not set (run the e2e tests through ctest --preset e2e)")
    return value


def parse_pairs(line):
    """'a=1 b=0x2' -> {'a': '1', 'b': '0x2'}"""
    pairs = {}
    for item in line.split():
        key, sep, value = item.partition("=")
        if sep:
            pairs[key] = value
    return pairs


def word(text):
    """The probe's one-word form of a text back as the text."""
    return re.sub(r"%u([0-9A-F]{4})", lambda m: chr(int(m.group(1), 16)), text)


def wait_for(condition, timeout=5.0, step=0.1):
    """Polls condition() until it is true; returns the seconds it took, or None."""
    start = time.monotonic()
    while time.monotonic() - start < timeout:
        if condition():
            return time.monotonic() - start
        time.sleep(step)
    return None


class ProbeResult:
    """One probe answer: its exit code (0 ok, 1 not found, 2 usage) and its key=value pairs."""

    def __init__(self, args, returncode, stdout, stderr):
        self.args = args
        self.returncode = returncode
        self.stdout = stdout
        self.line = stdout.strip().splitlines()[-1] if stdout.strip() else ""
        self.values = parse_pairs(self.line)
        self.stderr = stderr

    @property
    def ok(self):
        return self.returncode == 0

    def __getitem__(self, key):
        return self.values[key]

    def __contains__(self, key):
        return key in self.values

    def int(self, key):
        """The value as a number; the probe writes handles, styles and flags as 0x hex."""
        return int(self.values[key], 0)

    def __repr__(self):
        return f"ProbeResult({' '.join(self.args)!r} -> {self.returncode}: {self.line!r})"


class Program:
    """A started Windows program. Its `wine` process ends with the program's exit code."""

    def __init__(self, popen, exe, log_path):
        self.popen = popen
        self.exe = exe
        self.log_path = log_path
        self.windows_pid = None

    def poll(self):
        return self.popen.poll()

    def wait(self, timeout):
        """Waits for the program to end and returns its exit code; raises
        subprocess.TimeoutExpired if it is still running after timeout seconds."""
        return self.popen.wait(timeout)

    @property
    def returncode(self):
        return self.popen.returncode

    def log(self):
        """What the program wrote to stdout and stderr."""
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def kill(self):
        if self.popen.poll() is None:
            self.popen.kill()
            try:
                self.popen.wait(5)
            except subprocess.TimeoutExpired:
                pass


def windows_path(path):
    """The path of a Linux file as Wine's drive Z: shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class ProcFixture:
    """A stand-in for /proc with fixed figures: the processor exactly ProcessorPercent busy
    between any two readings (stat moves on by whole steps, written whole and renamed into
    place), committed memory at CommitPercent, and network and disk counts that stand still."""

    ProcessorPercent = 5
    CommitPercent = 25
    StepS = 0.05

    def __init__(self, folder):
        self.folder = folder
        self._stop = threading.Event()
        self._thread = None
        self._steps = 0

    def start(self):
        os.makedirs(os.path.join(self.folder, "net"), exist_ok=True)
        self._write("meminfo", "MemTotal: 16000000 kB\nMemFree: 1000000 kB\n"
                    "MemAvailable: 3000000 kB\nCommitLimit: 8000000 kB\n"
                    f"Committed_AS: {80000 * self.CommitPercent} kB\n")
        self._write(os.path.join("net", "dev"),
                    "Inter-|   Receive |  Transmit\n face |bytes packets|bytes packets\n"
                    "  eth0: 1000 1 0 0 0 0 0 0 2000 2 0 0 0 0 0 0\n")
        self._write("diskstats", "   8       0 sda 1 0 8 1 1 0 8 1 0 1 2\n")
        self._write_stat()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()
        return self

    def stop(self):
        self._stop.set()
        if self._thread is not None:
            self._thread.join(5)
            self._thread = None

    def windows_path(self):
        return windows_path(self.folder)

    def _write(self, name, text):
        path = os.path.join(self.folder, name)
        with open(path + ".new", "w") as f:
            f.write(text)
        os.replace(path + ".new", path)

    def _write_stat(self):
        busy = 1000 + self._steps * self.ProcessorPercent
        idle = 100000 + self._steps * (100 - self.ProcessorPercent)
        self._write("stat", f"cpu  {busy} 0 0 {idle} 0 0 0 0 0 0\n"
                            f"cpu0 {busy} 0 0 {idle} 0 0 0 0 0 0\n")

    def _run(self):
        while not self._stop.wait(self.StepS):
            self._steps += 1
            self._write_stat()


class WineDesktop:
    """A private Xvfb, Wine prefix and shell desktop; use as a context manager."""

    def __init__(self, name="e2e", lang=None, proc_fixture=ProcFixture, dpi=96, screen=None):
        self.name = "".join(c if c.isalnum() or c in "-_." else "_" for c in name)
        self.lang = lang or "C.UTF-8"
        self.dpi = dpi
        # The screen's size in pixels: the shell desktop fills it.
        self.screen = tuple(screen or ScreenSize)
        self.tray_icon_side = 16
        self.build = os.path.abspath(_required_env("FERRO_BUILD"))
        self.exe = os.environ.get("FERRO_EXE") or os.path.join(self.build, "ferrogauge.exe")
        self.probe_exe = _required_env("FERRO_PROBE")
        self.wine_run = os.environ.get("FERRO_WINE_RUN") or os.path.join(
            _repo_root(), "cmake", "wine-run"
        )
        self.shots_dir = os.path.join(self.build, "e2e-shots")
        self.run_dir = None
        self.prefix = None
        self.display = None
        self._xvfb = None
        self._hold = None
        self._programs = []
        self._wine_started = False
        self.proc_fixture = proc_fixture
        self.proc = None

    # ----- life cycle -----

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        for path, what in ((self.exe, "FERRO_EXE"), (self.probe_exe, "FERRO_PROBE")):
            if not os.path.isfile(path):
                raise RuntimeError(f"{what}: no such file {path}")
        try:
            self._make_prefix()
            if self.proc_fixture is not None:
                self.proc = self.proc_fixture(os.path.join(self.run_dir, "proc")).start()
            self._start_xvfb()
            self._start_hold()
        except BaseException:
            self.stop()
            raise
        return self

    def _make_prefix(self):
        # Beside the template, so that the copy can hard-link into it.
        tmp_root = os.path.join(self.build, "wine-tmp")
        os.makedirs(tmp_root, exist_ok=True)
        self.run_dir = tempfile.mkdtemp(prefix=self.name + ".", dir=tmp_root)
        self.prefix = os.path.join(self.run_dir, "prefix")
        # The prefix's fonts follow the language it runs in.
        env = dict(os.environ, FERRO_BUILD=self.build, LANG=self.lang)
        subprocess.run([self.wine_run, "--make-prefix", self.prefix], env=env, check=True,
                       stdin=subprocess.DEVNULL)
        # The display scale (HKCU\\Control Panel\\Desktop LogPixels) and the shell desktop's
        # size, written into user.reg before the prefix's wineserver first reads it.
        if self.dpi != 96:
            self._set_user_value("[Control Panel\\\\Desktop]", '"LogPixels"',
                                 f"dword:{self.dpi:08x}")
        if self.screen != tuple(ScreenSize):
            self._set_user_value("[Software\\\\Wine\\\\Explorer\\\\Desktops]", '"shell"',
                                 f'"{self.screen[0]}x{self.screen[1]}"')

    def _set_user_value(self, header, name, value):
        """Sets the value name (quoted, as user.reg writes it) of the key whose section line
        starts with header in the prefix's user.reg."""
        path = os.path.join(self.prefix, "user.reg")
        with open(path, encoding="utf-8", newline="") as f:
            lines = f.read().split("\n")
        value = f"{name}={value}"
        start = next((i for i, line in enumerate(lines) if line.startswith(header)), None)
        if start is None:
            lines += ["", header, value]
        else:
            end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("[")),
                       len(lines))
            section = [line for line in lines[start + 1:end]
                       if not line.startswith(name + "=")]
            lines[start + 1:end] = [value] + section
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write("\n".join(lines))

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{self.screen[0]}x{self.screen[1]}x24", "-nolisten", "tcp"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)
            os.close(write_end)
            write_end = -1
            # Xvfb writes its display number once it accepts connections, and the newline
            # after it in a second write: closing the pipe before that write is fatal to it.
            deadline = time.monotonic() + XvfbStartTimeoutS
            text = b""
            while not text.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(0.0, left))
                chunk = os.read(read_end, 64) if ready else b""
                if not chunk:
                    break
                text += chunk
            number = text.decode().strip() if text.endswith(b"\n") else ""
        finally:
            if write_end >= 0:
                os.close(write_end)
            os.close(read_end)
        if not number.isdigit():
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def _start_hold(self):
        # The first Wine process of a fresh prefix has been seen, on a busy machine, to end at
        # once without a word, and Wine's shell to never make its taskbar; either way the
        # prefix's Wine is shut down and the hold started once more. Any other answer is final.
        for attempt in range(2):
            line = self._run_hold()
            silent = not line and self._hold.poll() is not None
            no_shell = line.startswith(b"ready=0") and b" taskbar=0" in line
            if attempt == 1 or not (silent or no_shell):
                break
            self._hold.stdout.close()
            if no_shell:
                self._hold.kill()
                self._hold.wait()
                subprocess.run(["wineserver", "-k"], env=self.env(), stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                subprocess.run(["wineserver", "-w"], env=self.env(), stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        result = parse_pairs(line.decode(errors="replace"))
        if result.get("ready") != "1":
            raise RuntimeError(f"the shell desktop did not come up: {line!r}")
        self.work_area = tuple(int(result[k]) for k in ("left", "top", "right", "bottom"))
        self.tray_icon_side = int(result.get("small_icon", 16))

    def _run_hold(self):
        """Starts the probe's hold and returns its first line (empty when it said nothing)."""
        self._wine_started = True
        self._hold = subprocess.Popen(
            ["wine", self.probe_exe, "hold", str(HoldTimeoutMs)], env=self.env(),
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent)
        fd = self._hold.stdout.fileno()
        deadline = time.monotonic() + HoldTimeoutMs / 1000 + 10
        line = b""
        while not line.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
            if not ready:
                break
            chunk = os.read(fd, 256)
            if not chunk:
                break
            line += chunk
        if not line:
            try:
                self._hold.wait(1)  # ended, or still starting: poll() tells which
            except subprocess.TimeoutExpired:
                pass
        return line

    def stop(self):
        """Ends every process of this desktop and removes its prefix. Safe to call twice."""
        for program in self._programs:
            program.kill()
        self._programs = []
        if self._hold is not None:
            try:
                self._hold.stdin.close()
            except OSError:
                pass
        if self._wine_started and self.prefix:
            env = self.env()
            subprocess.run(["wineserver", "-k"], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # Wait for the server to save and let go of the prefix before it is removed.
            subprocess.run(["wineserver", "-w"], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self._wine_started = False
        if self._hold is not None:
            try:
                self._hold.wait(5)
            except subprocess.TimeoutExpired:
                self._hold.kill()
                self._hold.wait()
            self._hold.stdout.close()
            self._hold = None
        if self._xvfb is not None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait()
            self._xvfb = None
        if self.proc is not None:
            self.proc.stop()
            self.proc = None
        if self.prefix:
            self._remove_server_dir()
        if self.run_dir:
            if os.environ.get("FERRO_KEEP_PREFIX"):
                print(f"harness: kept {self.run_dir}", flush=True)
            else:
                shutil.rmtree(self.run_dir, ignore_errors=True)
            self.run_dir = None

    def _remove_server_dir(self):
        # Debian's Wine keeps each prefix's server socket in $TMPDIR/wine-XXXXXX, named in the
        # prefix's "wineserver" file.
        try:
            with open(os.path.join(self.prefix, "wineserver")) as f:
                name = f.read().strip()
        except OSError:
            return
        if name.startswith("wine-") and name[5:].isalnum():
            shutil.rmtree(os.path.join(tempfile.gettempdir(), name), ignore_errors=True)

    def env(self, **extra):
        env = dict(os.environ)
        # Wine takes its code pages from the locale, and LC_ALL would override LANG.
        for key in list(env):
            if key.startswith("LC_"):
                del env[key]
        env.update(WINEPREFIX=self.prefix, WINEDEBUG="-all", DISPLAY=self.display,
                   LANG=self.lang)
        env.pop("FERROGAUGE_PROC", None)
        if self.proc is not None:
            env["FERROGAUGE_PROC"] = self.proc.windows_path()
        env.update(extra)
        return env

    # ----- the program under test -----

    def copy_exe(self, folder="app"):
        """Copies ferrogauge.exe into an empty folder of this desktop's own and returns the
        copy's path, so that no settings file of another run lies beside it."""
        target_dir = os.path.join(self.run_dir, folder)
        os.makedirs(target_dir)
        target = os.path.join(target_dir, os.path.basename(self.exe))
        shutil.copy2(self.exe, target)
        return target

    def start_program(self, args=(), exe=None, cwd=None, env=None):
        """Starts the program (by default the FERRO_EXE itself) with args, working in cwd
        (by default the exe's folder). Its output goes to a log beside the prefix."""
        exe = exe or self.exe
        cwd = cwd or os.path.dirname(exe)
        log_path = os.path.join(self.run_dir, f"program-{len(self._programs)}.log")
        with open(log_path, "wb") as log:
            popen = subprocess.Popen(["wine", exe, *map(str, args)], cwd=cwd,
                                     env=self.env(**(env or {})),
                                     stdin=subprocess.DEVNULL, stdout=log,
                                     stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)
        program = Program(popen, exe, log_path)
        self._programs.append(program)
        return program

    # ----- the probe -----

    def probe(self, *args, timeout=ProbeTimeoutS):
        args = [str(a) for a in args]
        done = subprocess.run(["wine", self.probe_exe, *args], env=self.env(),
                              stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              errors="replace", timeout=timeout)
        return ProbeResult(args, done.returncode, done.stdout, done.stderr)

    def open_settings(self, window, timeout=5.0):
        """Opens the settings window as a person would: a click on the graph window (its
        probe answer) gives it the keyboard, then Alt+P. True when the window came."""
        self.mousemove(window.int("left") + 70, window.int("top") + 25)
        self.click(1)
        time.sleep(0.3)
        self.key("alt+p")
        return wait_for(lambda: self.probe("settings").ok, timeout) is not None

    def find(self):
        return self.probe("find")

    def wait_window(self, timeout_ms=10000):
        """Waits until the graph window is shown (then it is in its final place); a window
        still hidden when the time is up is reported with visible=0."""
        return self.probe("wait-window", timeout_ms, timeout=timeout_ms / 1000 + ProbeTimeoutS)

    def post(self, msg, wparam=0, lparam=0):
        return self.probe("post", msg, wparam, lparam)

    def command(self, command_id):
        """Posts WM_COMMAND with the given command id, as a menu choice would."""
        return self.post(WM_COMMAND, command_id, 0)

    def workarea(self):
        return self.probe("workarea")

    def gdi(self, windows_pid):
        return self.probe("gdi", windows_pid)

    def wait_exit(self, windows_pid, timeout_ms=10000):
        return self.probe("wait-exit", windows_pid, timeout_ms,
                          timeout=timeout_ms / 1000 + ProbeTimeoutS)

    # ----- real pointer and keyboard, pictures -----

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)

    def mousemove(self, x, y):
        self.xdotool("mousemove", x, y)

    def click(self, button=1):
        self.xdotool("click", button)

    def open_tray_menu(self, x, y):
        """Right-clicks the tray icon at (x, y) as a person would and returns the probe answer
        of the menu that opened and stayed open, or None. Wine hands the foreground over
        asynchronously: a late focus change from the click on the taskbar can close a menu
        that has just opened, and a person would click once more."""
        for _ in range(2):
            self.mousemove(x, y)
            time.sleep(0.2)
            self.click(3)
            if wait_for(lambda: self.probe("menu").ok) is None:
                continue
            time.sleep(0.5)
            menu = self.probe("menu")
            if menu.ok:
                return menu
        return None

    def mousedown(self, button=1):
        self.xdotool("mousedown", button)

    def mouseup(self, button=1):
        self.xdotool("mouseup", button)

    def key(self, *keys):
        """xdotool key names, for example key('shift+F10') or key('Escape')."""
        self.xdotool("key", *keys)

    def screenshot(self, name):
        """Writes the whole desktop to FERRO_BUILD/e2e-shots/<name>.png and returns the path."""
        os.makedirs(self.shots_dir, exist_ok=True)
        if not name.endswith(".png"):
            name += ".png"
        path = os.path.join(self.shots_dir, name)
        subprocess.run(["import", "-window", "root", path], env=self.env(), check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        return path


    def grab(self, name, left, top, width, height):
        """Screenshots the desktop as <name>.png and returns the pixels of the given rectangle."""
        path = self.screenshot(name)
        rgb = subprocess.run(["convert", path, "-crop", f"{width}x{height}+{left}+{top}",
                              "+repage", "-depth", "8", "rgb:-"],
                             env=self.env(), check=True, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        return Pixels(rgb, width, height)


    def find_tray_icon(self, name, frame=(0x80, 0x80, 0x80)):
        """The screen position of the top-left corner of the program's framed graph in the
        notification area, a square of the desktop's small-icon size, with the taskbar's
        pixels; (None, pixels) if absent.

        Wine's shell32 sends the tray the mask of an icon whose width is not a multiple of 16
        (20 or 24 pixels) cut short by its row padding, so the lowest rows may show a few
        inverted pixels there: for such a size the frame is matched along the top, the right
        side and the upper half of the left side, which that never reaches; otherwise all
        round."""
        top = self.work_area[3]
        bar = self.grab(name, 0, top, self.work_area[2], self.screen[1] - top)
        n = self.tray_icon_side
        whole = n % 16 == 0
        left = n if whole else n // 2
        for y in range(bar.height - n + 1):
            for x in range(bar.width - n + 1):
                if all(bar.at(x + i, y) == frame and bar.at(x + n - 1, y + i) == frame
                       for i in range(n)) and \
                        all(bar.at(x, y + i) == frame for i in range(left)) and \
                        (not whole or all(bar.at(x + i, y + n - 1) == frame for i in range(n))):
                    return (x, top + y), bar
        return None, bar

    def drag(self, start, end, steps=8, button=1):
        """Presses the button at start, moves to end in steps, releases it there."""
        self.mousemove(*start)
        time.sleep(0.1)
        self.mousedown(button)
        time.sleep(0.1)
        for i in range(1, steps + 1):
            self.mousemove(start[0] + (end[0] - start[0]) * i // steps,
                           start[1] + (end[1] - start[1]) * i // steps)
            time.sleep(0.03)
        time.sleep(0.1)
        self.mouseup(button)
        time.sleep(0.2)


class Pixels:
    """An RGB picture read from a screenshot; at(x, y) gives (r, g, b)."""

    def __init__(self, rgb, width, height):
        if len(rgb) != width * height * 3:
            raise ValueError(f"{len(rgb)} bytes for {width} x {height} pixels")
        self.rgb, self.width, self.height = rgb, width, height

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def row(self, y):
        return [self.at(x, y) for x in range(self.width)]

    def column(self, x):
        return [self.at(x, y) for y in range(self.height)]


class DesktopTestCase(unittest.TestCase):
    """Gives every test method a fresh WineDesktop as self.desktop, stopped after the test
    whatever happened in it."""

    lang = None
    # The stand-in /proc of every desktop: a ProcFixture class, or None for the real one.
    proc_fixture = ProcFixture
    # The desktop's display scale, and its screen size (None: ScreenSize).
    dpi = 96
    screen = None

    def setUp(self):
        self.desktop = WineDesktop(f"{type(self).__name__}.{self._testMethodName}",
                                   lang=self.lang, proc_fixture=self.proc_fixture, dpi=self.dpi,
                                   screen=self.screen)
        self.addCleanup(self.desktop.stop)
        self.desktop.start()

    def exit_program(self, program, timeout=10):
        """Ends the program with the Exit command, as its menu does, and checks that it ends
        within timeout seconds with code 0."""
        posted = self.desktop.command(IdExit)
        self.assertTrue(posted.ok and posted["posted"] == "1", posted)
        try:
            self.assertEqual(program.wait(timeout), 0, program.log())
        except subprocess.TimeoutExpired:
            self.fail(f"still running {timeout} s after the Exit command")

    def shot_name(self, what):
        return f"{type(self).__name__}.{self._testMethodName}.{what}"

    def start_copy(self, ini=None, settle=0.5, timeout_ms=15000):
        """Starts a copy of the program in a folder of its own, with the settings file ini
        (bytes) beside it when given, waits until its window shows and lets it run for settle
        seconds. Sets self.exe, self.ini and self.program; returns the window's probe answer."""
        self.exe = self.desktop.copy_exe()
        self.ini = os.path.splitext(self.exe)[0] + ".ini"
        if ini is not None:
            with open(self.ini, "wb") as f:
                f.write(ini)
        self.program = self.desktop.start_program(exe=self.exe)
        window = self.desktop.wait_window(timeout_ms)
        self.assertTrue(window.ok, f"no graph window: {window}\n{self.program.log()}")
        time.sleep(settle)
        return self.desktop.find()
