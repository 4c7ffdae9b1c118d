"""End-to-end test bench: runs Windows programs under Wine on a private Xvfb display.

One Bench per test class (setUpClass/tearDownClass). Every Bench of a run shares one Xvfb display
and one booted prefix with one running Wine server, since starting those costs more than most
tests; each keeps its own temp dir, program copies and inspector process, and on close stops only
the processes it started, by id. The shared display and server go when the run ends (shutdown()).

Environment (set by tools/test.sh; defaults suit a developer build):
  QUORREL_BUILD       the Windows build dir (holds quorrel.exe and tests/*.exe)  [build/win]
  QUORREL_WINEPREFIX  the Wine prefix for this run                              [<build>/wineprefix]
  QUORREL_ARTIFACTS   where screenshots go                                       [<build>/artifacts]

The build's own bitness picks Wine's loader for every Wine call of the run: a 64-bit build (the
twin tested on kernels without 32-bit code) runs with Wine's 64-bit loader (tools/wine_arch.sh).

Test programs available in <build>/tests/: inspector.exe (window lister/driver) and qtarget.exe
(a window that logs the input it receives; see tests/helpers/*.cpp).
"""
import atexit
import glob
import json
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.abspath(os.environ.get("QUORREL_BUILD", os.path.join(ROOT, "build", "win")))
PREFIX = os.path.abspath(os.environ.get("QUORREL_WINEPREFIX", os.path.join(BUILD, "wineprefix")))
ARTIFACTS = os.path.abspath(os.environ.get("QUORREL_ARTIFACTS", os.path.join(BUILD, "artifacts")))
QUORREL = os.path.join(BUILD, "quorrel.exe")
TESTS = os.path.join(BUILD, "tests")


def pe_bits(path):
    """32 or 64 from a Windows program's PE header (its machine field); None if unreadable."""
    try:
        with open(path, "rb") as f:
            head = f.read(4096)
        offset = int.from_bytes(head[60:64], "little")
        machine = int.from_bytes(head[offset + 4:offset + 6], "little")
    except (OSError, ValueError):
        return None
    return {0x14C: 32, 0x8664: 64}.get(machine)


BITS = pe_bits(QUORREL) or 32
WINE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree=d;mshtml=d;winemenubuilder.exe=d",
    "WINEPREFIX": PREFIX,
    "QUORREL_WIN_ARCH": str(BITS),
}
if BITS == 64:
    # /usr/bin/wine and the tools that call it pick the 32-bit loader whenever it is installed.
    WINE_ENV["WINELOADER"] = "/usr/lib/wine/wine64"
    WINE_ENV["PATH"] = os.path.join(ROOT, "tools", "wine64") + os.pathsep + os.environ.get("PATH", "")


def wine_env(display=None, extra=None):
    env = dict(os.environ)
    env.update(WINE_ENV)
    if display:
        env["DISPLAY"] = display
    if extra:
        env.update(extra)
    return env


def ensure_prefix():
    """Boots the run's prefix once (about 15 s; windows draw their own frames there, which spares
    the 2 s Wine waits for an absent window manager on every hide); later calls return at once."""
    env = wine_env()
    env.pop("DISPLAY", None)
    env["QUORREL_WINEPREFIX"] = PREFIX
    subprocess.run([os.path.join(ROOT, "tests", "wine_emulator.sh"), "--prepare"], env=env,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=300, check=False)


def copy_prefix(source, target):
    """A private copy of a prefix, for a Wine server of its own: hard links for the files Wine
    only reads (1.3 GB of them), real copies of the registry and .ini files it may rewrite."""
    subprocess.run(["cp", "-al", source, target], check=True)
    for path in glob.glob(os.path.join(target, "*.reg")) + glob.glob(os.path.join(target, "drive_c", "windows", "*.ini")):
        original = os.path.join(source, os.path.relpath(path, target))
        os.unlink(path)
        shutil.copy2(original, path)


def unix_to_wine(path):
    """Wine maps the Unix root to drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Display:
    """A private Xvfb server."""

    def __init__(self, width=1280, height=1024):
        self.number = None
        for n in range(40, 140):
            if os.path.exists("/tmp/.X%d-lock" % n) or os.path.exists("/tmp/.X11-unix/X%d" % n):
                continue
            proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "%dx%dx24" % (width, height),
                                     "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    start_new_session=True)
            for _ in range(50):
                if os.path.exists("/tmp/.X11-unix/X%d" % n):
                    break
                if proc.poll() is not None:
                    break
                time.sleep(0.1)
            if proc.poll() is None and os.path.exists("/tmp/.X11-unix/X%d" % n):
                self.number = n
                self.proc = proc
                break
        if self.number is None:
            raise RuntimeError("no free X display")
        self.name = ":%d" % self.number

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()


_shared = {"display": None, "server": False}
DONE = re.compile(rb"(?m)^#done (-?\d+)\r?\n")  # how the inspector ends an answer


def shared_display():
    """The run's display, started on first use."""
    if _shared["display"] is None:
        _shared["display"] = Display()
        atexit.register(shutdown)
    return _shared["display"]


def start_server(env):
    """Starts the prefix's server and its services once per run, detached from any pipe: a
    daemon that inherited a test's output pipe would keep it open for ever. The server stays
    (-p) between classes, so no class pays for its start again."""
    if _shared["server"]:
        return
    subprocess.run(["wineserver", "-p"], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=False)
    subprocess.run(["wine", "cmd.exe", "/c", "exit"], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=False)
    _shared["server"] = True


def shutdown():
    """Ends the run's Wine server (the prefix is the run's own) and its display."""
    if _shared["server"]:
        env = wine_env()
        subprocess.run(["wineserver", "-k"], env=env, timeout=30, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, timeout=30, check=False)
        _shared["server"] = False
    if _shared["display"] is not None:
        _shared["display"].stop()
        _shared["display"] = None


class Bench:
    def __init__(self, name="bench"):
        ensure_prefix()
        self.name = name
        self.display = shared_display()
        self.tmp = tempfile.mkdtemp(prefix="quorrel-%s-" % name)
        self.procs = []
        self.env = wine_env(self.display.name)
        self._inspector = None
        self._answer = b""
        self.last_code = None  # the exit code of the last inspector verb
        start_server(self.env)

    # --- processes --------------------------------------------------------
    def start(self, exe, *args, cwd=None, env=None):
        """Starts a Windows program; returns the Popen. Stopped by close() or stop()."""
        full_env = dict(self.env)
        if env:
            full_env.update(env)
        proc = subprocess.Popen(["wine", exe] + [str(a) for a in args], cwd=cwd or self.tmp,
                                env=full_env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        self.procs.append(proc)
        return proc

    def run(self, exe, *args, timeout=60, env=None, cwd=None):
        """Runs a Windows program to its end; its output is collected through files, so
        that a process it starts in the background cannot hold the call open."""
        full_env = dict(self.env)
        if env:
            full_env.update(env)
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            proc = subprocess.Popen(["wine", exe] + [str(a) for a in args], env=full_env,
                                    cwd=cwd or self.tmp, stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err, start_new_session=True)
            try:
                proc.wait(timeout)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
                raise
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(proc.args, proc.returncode, out.read(), err.read())

    def stop(self, proc, timeout=5):
        """Stops one started program (its whole process group)."""
        if proc.poll() is None:
            try:
                os.killpg(proc.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                proc.wait(timeout)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait(timeout)

    def stop_all(self):
        """Stops every program this bench started (a test's tearDown)."""
        for proc in self.procs:
            self.stop(proc)
        self.procs = []

    def close(self):
        self.stop_all()
        self._stop_inspector()
        shutil.rmtree(self.tmp, ignore_errors=True)

    # --- inspection --------------------------------------------------------
    def inspector(self, *args, timeout=30):
        """One inspector verb (see tests/helpers/inspector.cpp); returns what it printed. The
        bench's inspector process answers them all: a Wine start per poll costs far more."""
        if self._inspector is None or self._inspector.poll() is not None:
            self._inspector = subprocess.Popen(
                ["wine", os.path.join(TESTS, "inspector.exe"), "serve"], env=self.env, cwd=self.tmp,
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                start_new_session=True)
            self._answer = b""
        proc = self._inspector
        request = "\t".join(str(a) for a in args) + "\n"
        deadline = time.time() + timeout
        try:
            proc.stdin.write(request.encode("cp1252", "replace"))
            proc.stdin.flush()
            while True:
                done = DONE.search(self._answer)
                if done:
                    break
                left = deadline - time.time()
                if left <= 0 or not select.select([proc.stdout], [], [], left)[0]:
                    raise subprocess.TimeoutExpired(proc.args, timeout)
                chunk = os.read(proc.stdout.fileno(), 65536)
                if not chunk:
                    raise RuntimeError("inspector ended (exit code %r)" % proc.wait(5))
                self._answer += chunk
        except BaseException:
            self._stop_inspector()
            raise
        text = self._answer[:done.start()].replace(b"\r\n", b"\n").decode("ascii", "replace")
        self.last_code = int(done.group(1))
        self._answer = self._answer[done.end():]
        return text

    def _stop_inspector(self):
        proc, self._inspector = self._inspector, None
        if proc is None:
            return
        try:
            proc.stdin.close()
        except OSError:
            pass
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            pass
        self.stop(proc)
        proc.stdout.close()

    def windows(self, exe="quorrel.exe"):
        """Top-level windows of processes named exe (None: all), as dicts:
        hwnd, class, text, style, exstyle, id, visible, enabled, rect, client, owner, iconic,
        topmost, exe, children (each: hwnd, class, text, style, id, rect, client, ...)."""
        args = ["list"] + ([exe] if exe else [])
        result = []
        for line in self.inspector(*args).splitlines():
            line = line.strip()
            if line.startswith("{"):
                result.append(json.loads(line))
        return result

    def wait_window(self, text=None, cls=None, exe="quorrel.exe", visible=True, timeout=20,
                    predicate=None):
        deadline = time.time() + timeout
        last = []
        while time.time() < deadline:
            last = self.windows(exe)
            for w in last:
                if text is not None and w["text"] != text:
                    continue
                if cls is not None and w["class"] != cls:
                    continue
                if visible and not w["visible"]:
                    continue
                if predicate and not predicate(w):
                    continue
                return w
            time.sleep(0.1)
        raise AssertionError("no window text=%r class=%r; saw %r" %
                             (text, cls, [(w["class"], w["text"]) for w in last]))

    def message_box(self, text=None, timeout=20, predicate=None):
        """A visible message box once it is whole. Wine builds one with every kind of button
        and then removes those it does not need, and a busy machine has shown one midway: the
        box is taken once two looks a moment apart agree."""
        box = self.wait_window(text=text, cls="#32770", timeout=timeout, predicate=predicate)
        for _ in range(20):
            time.sleep(0.05)
            again = self.wait_window(cls="#32770", timeout=timeout, predicate=lambda w: w["hwnd"] == box["hwnd"])
            if [c["hwnd"] for c in again["children"]] == [c["hwnd"] for c in box["children"]]:
                return again
            box = again
        return box

    def wait_gone(self, hwnd, exe="quorrel.exe", timeout=10):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if all(w["hwnd"] != hwnd for w in self.windows(exe)):
                return
            time.sleep(0.1)
        raise AssertionError("window %d still there" % hwnd)

    @staticmethod
    def message_box_text(box):
        """The message text of a standard message box: its static control without an icon."""
        texts = [c["text"] for c in box["children"]
                 if c["class"].lower() == "static" and c["text"]]
        return texts[0] if texts else None

    @staticmethod
    def buttons(window):
        return [c["text"] for c in window["children"] if c["class"].lower() == "button"]

    def held_keys(self):
        """Virtual keys (and mouse buttons 1, 2, 4) the desktop reports as pressed now."""
        return [int(v) for v in self.inspector("held").split()]

    def click(self, window, button_text):
        self.inspector("click", str(window["hwnd"]), button_text)

    def command(self, window, command_id):
        self.inspector("command", str(window["hwnd"]), str(command_id))

    def close_window(self, window):
        self.inspector("close", str(window["hwnd"]))

    def post(self, hwnd, message, wparam=0, lparam=0):
        """Posts any message to a window, as the shell does for a tray icon's callback.
        1 when it was posted."""
        self.inspector("post", str(hwnd), str(message), str(wparam), str(lparam))
        return int(self.last_code == 0)

    # --- X input and pictures ---------------------------------------------------
    def xdo(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                              capture_output=True, text=True, timeout=60).stdout

    def x_window(self, title):
        """X window id of the first mapped window whose name is title, or None."""
        out = self.xdo("search", "--onlyvisible", "--name", "^%s$" % title).split()
        return out[0] if out else None

    def focus(self, title):
        wid = self.x_window(title)
        if wid:
            self.xdo("windowfocus", "--sync", wid)
        return wid

    def foreground(self):
        """The window that takes the keyboard input now (0: none)."""
        return int(self.inspector("foreground").split()[0])

    def activate(self, title, x, y, exe=None):
        """Clicks at (x, y) in the window titled title until Wine makes it the foreground window
        (the one that gets the keys). A window closing elsewhere can hand the activation to its
        owner just after the click, so one click is not always enough; on a loaded machine a
        few clicks have been seen to leave no window in front at all, and then the window is
        brought to the front directly (and the log says so)."""
        hwnd = self.wait_window(text=title, exe=exe)["hwnd"]

        def in_front(seconds):
            for _ in range(int(seconds * 10)):
                time.sleep(0.1)
                if self.foreground() == hwnd:
                    return True
            return False

        for _ in range(3):
            self.focus(title)
            self.xdo("mousemove", x, y)
            self.xdo("click", 1)
            if in_front(1):
                return
        fg = self.foreground()
        seen = [(w["exe"], w["class"], w["text"]) for w in self.windows(None) if w["hwnd"] == fg]
        print("\nbench: three clicks left %d %r in front of %r; activating it directly" % (fg, seen, title),
              flush=True)
        self.inspector("activate", hwnd)
        if not in_front(2):
            raise AssertionError("window %r never became the foreground window" % title)

    def screenshot(self, name, window_title=None):
        """Saves a PNG of the screen (or of one X window) under the artifacts dir; returns the path."""
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name if name.endswith(".png") else name + ".png")
        target = "root"
        if window_title:
            target = self.x_window(window_title) or "root"
        subprocess.run(["import", "-display", self.display.name, "-window", target, path],
                       env=self.env, timeout=30, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    # --- files ------------------------------------------------------------
    def path(self, *parts):
        return os.path.join(self.tmp, *parts)

    def private_quorrel(self, folder="app"):
        """A copy of quorrel.exe in its own folder under the temp dir, so that the settings
        file it writes next to itself belongs to this test alone. Returns the exe's path."""
        target = self.path(folder)
        os.makedirs(target, exist_ok=True)
        exe = os.path.join(target, "quorrel.exe")
        shutil.copy(QUORREL, exe)
        return exe


def read_target_log(path):
    """Parses a qtarget log into (tick, event, {field: int}) tuples."""
    events = []
    if not os.path.exists(path):
        return events
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) < 2:
                continue
            fields = {}
            for p in parts[2:]:
                k, _, v = p.partition("=")
                try:
                    fields[k] = int(v)
                except ValueError:
                    fields[k] = v
            events.append((int(parts[0]), parts[1], fields))
    return events
