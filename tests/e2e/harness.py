"""End-to-end harness: runs the real Zolpane against its own X server.

Every test gets a Session: a fresh Xvfb display, openbox with the configuration beside this file (its
keyboard section is empty, so keys such as Alt+F4 reach the program), optionally the tray host
wmsystemtray and the Tk text window the tests paste into, and Zolpane itself with its own ZOLPANE_HOME,
XDG folders and HOME. Leaving the session ends exactly the processes it started, by their ids, in reverse
order, and removes its temporary folder.

Only the Python standard library and Debian's X tools are used: Xvfb, openbox, xdotool, xclip, xprop,
xwininfo (x11-utils), wish (tk), wmsystemtray and ImageMagick's `import` for screenshots. X requests the
tools cannot make (selection owners, WM_DELETE_WINDOW) go through ctypes and libX11.

Running tests by hand, from the repository root, after building the program:

    ZOLPANE_BIN=build/zolpane python3 tests/e2e/test_foundation.py               # every test of a file
    ZOLPANE_BIN=build/zolpane python3 tests/e2e/test_foundation.py -k nowindow   # tests whose name contains it
    python3 tests/e2e/test_foundation.py --list                                  # names only

Without ZOLPANE_BIN the program is looked for at build/zolpane. ZOLPANE_E2E_KEEP=1 keeps each session's
temporary folder (its path is printed); ZOLPANE_E2E_ARTIFACTS names the folder that receives a screenshot,
the window list and the process logs of every failed test (default: e2e-artifacts in the current folder).
"""

import argparse
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
OPENBOX_RC = os.path.join(HERE, "openbox-rc.xml")
TK_TARGET = os.path.join(HERE, "tk_target.tcl")

# Upper bounds for waiting; none of them is a measured expectation.
START_TIMEOUT = 15.0
STOP_TIMEOUT = 5.0


class TestFailure(AssertionError):
    pass


class TestTimeout(Exception):
    pass


def fail(message):
    raise TestFailure(message)


def check(condition, message):
    if not condition:
        fail(message)


def check_equal(actual, expected, what):
    if actual != expected:
        fail(f"{what}: expected {expected!r}, got {actual!r}")


# The processes every wait depends on (X server, window manager, tray host) of the sessions now open. A wait
# fails as soon as one of them has ended, with that process's own output, instead of running into its timeout.
_infrastructure = []


def _check_infrastructure():
    for process in _infrastructure:
        if not process.stopped_on_purpose and not process.running():
            fail(f"{process.name} (pid {process.pid}) ended with status {process.returncode()}; "
                 f"its output:\n{process.log().strip() or '(none)'}")


def wait_for(predicate, timeout, message, interval=0.05):
    """Polls predicate until it returns something truthy, which is returned. Fails with message after timeout
    seconds, naming the last value seen (or the last exception the predicate raised), and at once when a
    process of the desktop under test has ended."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        _check_infrastructure()
        try:
            value = predicate()
            if value:
                return value
            last = repr(value)
        except (OSError, subprocess.SubprocessError, ValueError) as e:
            last = f"{type(e).__name__}: {e}"
        if time.monotonic() >= deadline:
            fail(f"timed out after {timeout:g} s waiting for {message} (last result: {last})")
        time.sleep(interval)


def stays_true(predicate, duration, message, interval=0.05):
    """Checks that predicate holds on every poll for duration seconds; fails at the first poll where it does
    not. Used for things that must not happen (a window that must stay hidden, a process that must live)."""
    deadline = time.monotonic() + duration
    while True:
        value = predicate()
        if not value:
            fail(f"{message} (result: {value!r})")
        if time.monotonic() >= deadline:
            return
        time.sleep(interval)


# --------------------------------------------------------------------------------------------------------
# libX11 through ctypes, for the few requests the command-line tools cannot make.

class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


_CLIENT_MESSAGE = 33
_ERROR_HANDLER_TYPE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class _Xlib:
    def __init__(self):
        name = ctypes.util.find_library("X11") or "libX11.so.6"
        lib = ctypes.CDLL(name)
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XGetSelectionOwner.restype = ctypes.c_ulong
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.POINTER(_XEvent)]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XSetErrorHandler.argtypes = [_ERROR_HANDLER_TYPE]
        lib.XSetErrorHandler.restype = ctypes.c_void_p
        # Xlib's default handler ends the process on any error, e.g. BadWindow for a window that has just
        # gone away; the harness only wants the request to fail.
        self._handler = _ERROR_HANDLER_TYPE(lambda display, event: 0)
        lib.XSetErrorHandler(self._handler)
        self.lib = lib

    def open(self, display):
        d = self.lib.XOpenDisplay(display.encode())
        if not d:
            raise OSError(f"cannot open X display {display}")
        return d


_xlib = None


def xlib():
    global _xlib
    if _xlib is None:
        _xlib = _Xlib()
    return _xlib


def selection_owner(display, selection):
    """The window id owning the named selection on display, 0 when none."""
    x = xlib()
    d = x.open(display)
    try:
        atom = x.lib.XInternAtom(d, selection.encode(), 0)
        return int(x.lib.XGetSelectionOwner(d, atom))
    finally:
        x.lib.XCloseDisplay(d)


def send_wm_delete(display, window):
    """Asks a window to close the way a window manager's close button does (WM_DELETE_WINDOW)."""
    x = xlib()
    d = x.open(display)
    try:
        event = _XEvent()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = x.lib.XInternAtom(d, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x.lib.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        if not x.lib.XSendEvent(d, window, 0, 0, ctypes.byref(event)):
            raise OSError(f"XSendEvent to window {window:#x} failed")
        x.lib.XSync(d, 0)
    finally:
        x.lib.XCloseDisplay(d)


# --------------------------------------------------------------------------------------------------------
# Processes

_libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6", use_errno=True)
_PR_SET_PDEATHSIG = 1


def _die_with_harness():
    # A child started by the harness gets SIGTERM if the harness itself dies (e.g. killed by ctest), so no
    # Xvfb or program outlives a crashed test run.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)


class Process:
    def __init__(self, name, popen, log_path):
        self.name = name
        self.popen = popen
        self.log_path = log_path
        self.stopped_on_purpose = False

    @property
    def pid(self):
        return self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def returncode(self):
        return self.popen.poll()

    def wait(self, timeout):
        """Waits for the process to end; returns its exit status, fails after timeout seconds."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            fail(f"{self.name} (pid {self.pid}) still runs after {timeout:g} s")

    def log(self):
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode("utf-8", "replace")
        except OSError:
            return ""

    def stop(self):
        """SIGTERM, then SIGKILL after a bound; only this process, by its id."""
        self.stopped_on_purpose = True
        if self.popen.poll() is not None:
            return
        try:
            self.popen.send_signal(signal.SIGTERM)
            self.popen.send_signal(signal.SIGCONT)  # a stopped process would otherwise never see the SIGTERM
            self.popen.wait(timeout=STOP_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.popen.kill()
            self.popen.wait(timeout=STOP_TIMEOUT)
        except ProcessLookupError:
            pass


def zolpane_bin():
    """The program under test: $ZOLPANE_BIN, else build/zolpane of this repository."""
    path = os.path.abspath(os.environ.get("ZOLPANE_BIN") or os.path.join(REPO, "build", "zolpane"))
    if not os.access(path, os.X_OK):
        fail(f"Zolpane executable not found at {path}; set ZOLPANE_BIN")
    return path


def _posix_ere_escape(text):
    return re.sub(r"([.\[\]()*+?{}|^$\\])", r"\\\1", text)


# --------------------------------------------------------------------------------------------------------
# The session

class Session:
    """One test's private desktop. Use as a context manager:

        with Session("name", tray=True, target=True) as s:
            zp = s.start_zolpane()
            win = s.wait_for_window("Zolpane (default.zp)", pid=zp.pid)
    """

    def __init__(self, name, tray=False, target=False):
        self.name = name
        self.want_tray = tray
        self.want_target = target
        self.processes = []
        self.display = None
        self.root = None
        self.target = None
        self.target_out = None
        self.home = None

    # ---- setting up

    def __enter__(self):
        self.root = tempfile.mkdtemp(prefix=f"zp-e2e-{self.name}-")
        try:
            self.home = self.mkdir("zolpane-home")
            self.user_home = self.mkdir("home")
            self.runtime_dir = self.mkdir("runtime", mode=0o700)
            self.config_home = self.mkdir("config")
            self.data_home = self.mkdir("data")
            self.cache_home = self.mkdir("cache")
            self.workdir = self.mkdir("work")
            self._start_desktop()
            if self.want_tray:
                self._start_tray()
            if self.want_target:
                self._start_target()
        except BaseException:
            self._report_failure(sys.exc_info())
            self._cleanup()
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            self._report_failure((exc_type, exc, tb))
        self._cleanup()
        return False

    def mkdir(self, relative, mode=0o755):
        path = os.path.join(self.root, relative)
        os.makedirs(path, exist_ok=True)
        os.chmod(path, mode)
        return path

    def tool_env(self):
        """Environment for X tools and the program: this session's display and folders, no Wayland, no
        session bus (so nothing reaches a desktop outside the test)."""
        env = dict(os.environ)
        for key in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM", "XAUTHORITY",
                    "SESSION_MANAGER", "DESKTOP_SESSION", "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE"):
            env.pop(key, None)
        env.update({
            "DISPLAY": self.display or "",
            "HOME": self.user_home,
            "XDG_RUNTIME_DIR": self.runtime_dir,
            "XDG_CONFIG_HOME": self.config_home,
            "XDG_DATA_HOME": self.data_home,
            "XDG_CACHE_HOME": self.cache_home,
            "NO_AT_BRIDGE": "1",
        })
        return env

    def start_infrastructure(self, name, argv, pass_fds=()):
        """Starts a process the whole session depends on; every wait fails at once when it ends."""
        process = self.start_process(name, argv, pass_fds=pass_fds)
        _infrastructure.append(process)
        return process

    def start_process(self, name, argv, env=None, cwd=None, pass_fds=()):
        log_path = os.path.join(self.root, f"{len(self.processes):02d}-{name}.log")
        with open(log_path, "wb") as log:
            popen = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                     env=env if env is not None else self.tool_env(),
                                     cwd=cwd or self.workdir, pass_fds=pass_fds,
                                     preexec_fn=_die_with_harness)
        process = Process(name, popen, log_path)
        self.processes.append(process)
        return process

    def _start_desktop(self):
        # Xvfb -displayfd takes the lowest display number it can bind. A server of another test ending at
        # that moment can still remove the socket of the number just taken, leaving a display nobody can
        # reach; openbox then fails to connect. Such a start is abandoned and made again on a new server.
        for attempt in range(1, 4):
            first = len(self.processes)
            try:
                self._start_xvfb()
                self._start_openbox()
                return
            except TestFailure as e:
                if attempt == 3:
                    raise
                print(f"    display {self.display} unusable ({e}); starting another", flush=True)
                for process in reversed(self.processes[first:]):
                    process.stop()
                del self.processes[first:]

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        try:
            xvfb = self.start_infrastructure("Xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                               "1280x800x24", "-nolisten", "tcp"], pass_fds=(write_fd,))
            os.close(write_fd)
            write_fd = -1
            number = b""
            deadline = time.monotonic() + START_TIMEOUT
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0 or not xvfb.running():
                    fail(f"Xvfb did not report a display number: {xvfb.log()}")
                ready, _, _ = select.select([read_fd], [], [], remaining)
                if ready:
                    chunk = os.read(read_fd, 64)
                    if not chunk:
                        fail(f"Xvfb closed its display pipe: {xvfb.log()}")
                    number += chunk
        finally:
            os.close(read_fd)
            if write_fd >= 0:
                os.close(write_fd)
        self.display = ":" + number.decode().strip()

    def _start_openbox(self):
        openbox = self.start_infrastructure("openbox", ["openbox", "--sm-disable", "--config-file", OPENBOX_RC])

        def wm_ready():
            if not openbox.running():
                fail(f"openbox ended: {openbox.log().strip()}")
            out = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).stdout
            return "window id #" in out
        wait_for(wm_ready, START_TIMEOUT, "openbox to manage the screen")

    def _start_tray(self):
        self.start_infrastructure("wmsystemtray", ["wmsystemtray", "--non-wmaker"])
        wait_for(lambda: selection_owner(self.display, "_NET_SYSTEM_TRAY_S0"), START_TIMEOUT,
                 "wmsystemtray to own _NET_SYSTEM_TRAY_S0")

    def _start_target(self):
        self.target_out = os.path.join(self.root, "tk-target.txt")
        self.target = self.start_process("tk-target", ["wish", TK_TARGET, self.target_out])

        def shown():
            if not self.target.running():
                fail(f"the Tk target ended with status {self.target.returncode()}: {self.target.log().strip()}")
            return os.path.exists(self.target_out)
        wait_for(shown, START_TIMEOUT, "the Tk target to show its window")
        self.target_window = self.wait_for_window("TkTarget")  # Tk sets no _NET_WM_PID

    # ---- the program

    @property
    def zolpane_bin(self):
        return zolpane_bin()

    def zolpane_env(self):
        env = self.tool_env()
        env["ZOLPANE_HOME"] = self.home
        # A fixed language gives a fixed code page (1252) for the files the program writes.
        env["LC_ALL"] = "C.UTF-8"
        env["LANG"] = "C.UTF-8"
        env.pop("ZOLPANE_CODEPAGE", None)
        return env

    def start_zolpane(self, *args, name="zolpane"):
        """Starts the program with the given arguments in this session's folders (not waiting for it)."""
        return self.start_process(name, [self.zolpane_bin, *args], env=self.zolpane_env())

    def home_path(self, *parts):
        return os.path.join(self.home, *parts)

    def zolpane_pids(self):
        """Ids of every running zolpane process of this session (found in /proc by executable and
        ZOLPANE_HOME), also those the session did not start itself."""
        target = os.path.realpath(self.zolpane_bin)
        marker = b"ZOLPANE_HOME=" + self.home.encode()
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                if os.path.realpath(f"/proc/{entry}/exe") != target:
                    continue
                with open(f"/proc/{entry}/environ", "rb") as f:
                    environ = f.read().split(b"\0")
                with open(f"/proc/{entry}/stat", "rb") as f:
                    state = f.read().rsplit(b")", 1)[1].split()[0]
            except OSError:
                continue
            if marker in environ and state not in (b"Z", b"X"):
                found.append(int(entry))
        return sorted(found)

    # ---- X tools

    def run(self, argv, check=True, input=None, timeout=10):
        result = subprocess.run(argv, env=self.tool_env(), input=input, capture_output=True,
                                timeout=timeout, text=isinstance(input, str) or input is None)
        if check and result.returncode != 0:
            fail(f"{' '.join(argv)} failed ({result.returncode}): {result.stderr!r}")
        return result

    def xdotool(self, *args, check=True):
        return self.run(["xdotool", *[str(a) for a in args]], check=check).stdout.strip()

    def windows(self, title=None, pattern=None, pid=None, visible=False):
        """Window ids whose name equals title (exactly) or matches the Python regex pattern (in full), or
        every named window; optionally only those of one process or only viewable ones."""
        args = ["search"]
        if visible:
            args.append("--onlyvisible")
        args += ["--name", "^" + _posix_ere_escape(title) + "$" if title is not None else "."]
        out = self.xdotool(*args, check=False)
        ids = [int(line) for line in out.split()]
        result = []
        for wid in ids:
            name = self.window_name(wid)
            if name is None:
                continue
            if title is not None and name != title:
                continue
            if pattern is not None and not re.fullmatch(pattern, name):
                continue
            if pid is not None and self.window_pid(wid) != pid:
                continue
            result.append(wid)
        return result

    def window_name(self, wid):
        result = self.run(["xdotool", "getwindowname", str(wid)], check=False)
        if result.returncode != 0:
            return None
        return result.stdout.rstrip("\n")

    def window_pid(self, wid):
        result = self.run(["xdotool", "getwindowpid", str(wid)], check=False)
        return int(result.stdout) if result.returncode == 0 and result.stdout.strip().isdigit() else None

    def is_viewable(self, wid):
        result = self.run(["xwininfo", "-id", str(wid)], check=False)
        return result.returncode == 0 and "Map State: IsViewable" in result.stdout

    def wait_for_window(self, title=None, pattern=None, pid=None, timeout=START_TIMEOUT, visible=True):
        """The id of a (by default viewable) window with that title; fails when none appears in time."""
        what = repr(title) if title is not None else f"matching {pattern!r}"
        found = wait_for(lambda: self.windows(title=title, pattern=pattern, pid=pid, visible=visible), timeout,
                         f"a {'visible ' if visible else ''}window {what}" + (f" of pid {pid}" if pid else ""))
        return found[0]

    def active_window(self):
        out = self.xdotool("getactivewindow", check=False)
        return int(out) if out.isdigit() else None

    def focused_window(self):
        out = self.xdotool("getwindowfocus", check=False)
        return int(out) if out.isdigit() else None

    def active_window_title(self):
        wid = self.active_window()
        return self.window_name(wid) if wid else None

    def activate(self, wid, timeout=5.0):
        """Brings wid to the front and waits until it is both the active window and holds the input focus
        (keys sent before both agree can be lost)."""
        self.xdotool("windowactivate", "--sync", wid, check=False)
        wait_for(lambda: self.active_window() == wid and self.focused_window() == wid, timeout,
                 f"window {wid:#x} to be active and focused")

    def key(self, *keys):
        """Sends key combinations (xdotool names, e.g. "alt+F4") to whatever has the focus."""
        self.xdotool("key", "--delay", "30", *keys)

    def type_text(self, text):
        """Types ASCII text (xdotool is unreliable for other characters)."""
        self.xdotool("type", "--delay", "30", text)

    def close_window(self, wid):
        """Asks a window to close, as the window manager's close button does."""
        send_wm_delete(self.display, wid)

    def clipboard_targets(self, selection="clipboard"):
        result = self.run(["xclip", "-selection", selection, "-t", "TARGETS", "-o"], check=False)
        return result.stdout.split() if result.returncode == 0 else []

    def clipboard_get(self, target=None, selection="clipboard"):
        """The clipboard's content as bytes (optionally of one target), None when nothing is offered."""
        argv = ["xclip", "-selection", selection, "-o"]
        if target:
            argv[3:3] = ["-t", target]
        result = subprocess.run(argv, env=self.tool_env(), capture_output=True, timeout=10)
        return result.stdout if result.returncode == 0 else None

    def clipboard_set(self, data, target=None, selection="clipboard"):
        """Puts data (str or bytes) on the clipboard; an xclip kept in the foreground serves it until
        another client takes the selection, and is ended with the session."""
        if isinstance(data, str):
            data = data.encode()
        path = os.path.join(self.root, f"clip-{len(self.processes)}.bin")
        with open(path, "wb") as f:
            f.write(data)
        argv = ["xclip", "-quiet", "-selection", selection, "-i", path]
        if target:
            argv[4:4] = ["-t", target]
        owner = self.start_process("xclip", argv)
        wait_for(lambda: self.clipboard_get(target=target, selection=selection) == data, START_TIMEOUT,
                 "xclip to serve the clipboard")
        return owner

    def target_text(self):
        """The Tk target's text as last written to its file."""
        with open(self.target_out, encoding="utf-8") as f:
            return f.read()

    def screenshot(self, path):
        self.run(["import", "-window", "root", path], check=False, timeout=30)
        return path

    # ---- reports and cleanup

    def _report_failure(self, exc_info):
        if not self.root:
            return
        base = os.environ.get("ZOLPANE_E2E_ARTIFACTS") or os.path.join(os.getcwd(), "e2e-artifacts")
        folder = os.path.join(base, f"{self.name}-{time.strftime('%Y%m%d-%H%M%S')}-{os.getpid()}")
        try:
            os.makedirs(folder, exist_ok=True)
            if self.display and self.processes and self.processes[0].running():
                self.screenshot(os.path.join(folder, "screen.png"))
                listing = []
                for wid in self.windows():
                    listing.append(f"{wid:#x} pid={self.window_pid(wid)} viewable={self.is_viewable(wid)} "
                                   f"name={self.window_name(wid)!r}")
                listing.append(f"active={self.active_window()} focus={self.focused_window()}")
                with open(os.path.join(folder, "windows.txt"), "w") as f:
                    f.write("\n".join(listing) + "\n")
            for process in self.processes:
                if os.path.exists(process.log_path):
                    shutil.copy(process.log_path, folder)
            if os.path.isdir(self.home):
                shutil.copytree(self.home, os.path.join(folder, "zolpane-home"), dirs_exist_ok=True,
                                ignore_dangling_symlinks=True)
            print(f"    artifacts of the failed test: {folder}")
        except (OSError, subprocess.SubprocessError, TestFailure) as e:
            print(f"    (could not save all artifacts: {e})")
        for process in self.processes:
            if process.name.startswith("zolpane"):
                text = process.log().strip()
                status = "running" if process.running() else f"exit status {process.returncode()}"
                print(f"    --- {process.name} pid {process.pid} ({status}) output:")
                for line in (text.splitlines()[-30:] if text else ["(none)"]):
                    print(f"    | {line}")

    def _cleanup(self):
        _infrastructure[:] = [p for p in _infrastructure if p not in self.processes]
        for process in reversed(self.processes):
            try:
                process.stop()
            except (OSError, subprocess.SubprocessError) as e:
                print(f"    could not stop {process.name} (pid {process.pid}): {e}")
        if self.root:
            if os.environ.get("ZOLPANE_E2E_KEEP"):
                print(f"    kept {self.root}")
            else:
                shutil.rmtree(self.root, ignore_errors=True)


# --------------------------------------------------------------------------------------------------------
# The runner

def main(namespace, timeout=90, needs_program=True):
    """Runs the test_* functions of a test module in their order of definition, each with its own time
    limit; prints one line per test and a summary, and exits with status 1 when any test failed."""
    parser = argparse.ArgumentParser()
    parser.add_argument("-k", action="append", default=[], help="run only tests whose name contains this")
    parser.add_argument("--list", action="store_true", help="list the tests and exit")
    options = parser.parse_args()

    tests = [(name, fn) for name, fn in namespace.items() if name.startswith("test_") and callable(fn)]
    if options.k:
        tests = [(name, fn) for name, fn in tests if any(k in name for k in options.k)]
    if options.list:
        for name, _ in tests:
            print(name)
        return
    if not tests:
        print("no test matches")
        sys.exit(1)
    try:
        if needs_program:
            zolpane_bin()
    except TestFailure as e:
        print(f"{e}\n0 passed, {len(tests)} failed")
        sys.exit(1)

    def on_alarm(signum, frame):
        raise TestTimeout(f"the test did not end within {timeout} s")

    def on_term(signum, frame):
        raise SystemExit(f"ended by signal {signum}")

    signal.signal(signal.SIGALRM, on_alarm)
    signal.signal(signal.SIGTERM, on_term)

    passed, failed = [], []
    for name, fn in tests:
        print(f"RUN  {name}", flush=True)
        started = time.monotonic()
        signal.alarm(timeout)
        try:
            fn()
            signal.alarm(0)
            passed.append(name)
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except (TestFailure, TestTimeout, OSError, subprocess.SubprocessError) as e:
            signal.alarm(0)
            failed.append(name)
            print(f"FAIL {name}: {e}", flush=True)
            if not isinstance(e, TestFailure):
                traceback.print_exc(file=sys.stdout)
        except Exception:
            signal.alarm(0)
            failed.append(name)
            print(f"FAIL {name}: unexpected error", flush=True)
            traceback.print_exc(file=sys.stdout)
    print(f"{len(passed)} passed, {len(failed)} failed" + (f": {', '.join(failed)}" if failed else ""),
          flush=True)
    sys.exit(1 if failed else 0)
