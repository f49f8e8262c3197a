"""Each test gets its own Xvfb, openbox (openbox-rc.xml leaves every key to the program), on request wmsystemtray,
Tk windows (tk_target.tcl) and Zolpane with its own ZOLPANE_HOME, HOME and XDG folders; it ends exactly the processes
it started, by their ids. A failed test leaves a screenshot, the window list, the logs and the program's folder in
$ZOLPANE_E2E_ARTIFACTS (default: ./e2e-artifacts). ZOLPANE_E2E_KEEP=1 keeps each test's temporary folder."""

import collections
import contextlib
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import time

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
TK_TARGET = os.path.join(HERE, "tk_target.tcl")
# Upper bounds for waiting, never expectations; QUIET: how long something that must not happen is watched for.
START_TIMEOUT, WAIT_TIMEOUT, STOP_TIMEOUT, TEST_TIMEOUT, QUIET = 15.0, 10.0, 5.0, 150, 1.0
WRITER_START_TIMEOUT = 90.0  # a first start on a new profile, with both cores busy
MAIN_TITLE = r"Zolpane \(.*\)"
SHIFT_MASK, LOCK_MASK, CONTROL_MASK, MOD2_MASK = 1, 2, 4, 16


def pytest_configure(config):
    config.addinivalue_line("markers", "no_autorepeat: switch key autorepeat off on the test's X server")
    # ctest ends a test that runs too long with SIGTERM: end the run as Ctrl+C does, so fixtures still clean up.
    signal.signal(signal.SIGTERM, signal.default_int_handler)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    if (yield).get_result().failed:
        item.zp_failed = True


@pytest.fixture(autouse=True)
def time_limit():
    def expired(signum, frame):
        pytest.fail(f"the test did not end within {TEST_TIMEOUT} s")
    previous = signal.signal(signal.SIGALRM, expired)
    signal.alarm(TEST_TIMEOUT)
    yield
    signal.alarm(0)
    signal.signal(signal.SIGALRM, previous)


# The X server, window manager and tray host of the running test: a wait fails at once when one has ended.
_watched = []


def wait_for(predicate, what, timeout=WAIT_TIMEOUT, interval=0.05, alive=None):
    """Polls predicate until its result is truthy and returns it; fails after timeout, or at once when a watched
    helper or the process alive has ended."""
    deadline = time.monotonic() + timeout
    while True:
        for p in _watched + ([alive] if alive else []):
            if not p.stopped and not p.running():
                pytest.fail(f"{p.name} (pid {p.pid}) ended with status {p.popen.poll()}; its output:\n"
                            f"{p.log().strip() or '(none)'}")
        try:
            value = predicate()
            if value:
                return value
            last = repr(value)
        except (OSError, subprocess.SubprocessError, ValueError) as e:
            last = f"{type(e).__name__}: {e}"
        if time.monotonic() >= deadline:
            pytest.fail(f"timed out after {timeout:g} s waiting for {what} (last result: {last})")
        time.sleep(interval)


def stays_true(predicate, what, duration=QUIET):
    """Fails at the first poll within duration seconds where predicate does not hold."""
    deadline = time.monotonic() + duration
    while True:
        assert (value := predicate()), f"{what} (result: {value!r})"
        if time.monotonic() >= deadline:
            return
        time.sleep(0.05)


# libX11, for what the command-line tools cannot do; Xlib's default error handler would end the tests on any
# error, e.g. BadWindow for a window that has just gone.
_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_P, _L, _I = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
for _name, _args, _result in (
        ("XOpenDisplay", [ctypes.c_char_p], _P), ("XCloseDisplay", [_P], _I), ("XSync", [_P, _I], _I),
        ("XInternAtom", [_P, ctypes.c_char_p, _I], _L), ("XGetSelectionOwner", [_P, _L], _L),
        ("XDefaultRootWindow", [_P], _L), ("XSendEvent", [_P, _L, _I, ctypes.c_long, _P], _I),
        ("XAutoRepeatOff", [_P], _I), ("XGrabKeyboard", [_P, _L, _I, _I, _I, _L], _I),
        ("XUngrabKeyboard", [_P, _L], _I), ("XQueryPointer", [_P, _L] + [_P] * 7, _I)):
    getattr(_x11, _name).argtypes, getattr(_x11, _name).restype = _args, _result
_ignore_errors = ctypes.CFUNCTYPE(_I, _P, _P)(lambda display, event: 0)
_x11.XSetErrorHandler(_ignore_errors)


@contextlib.contextmanager
def xlib(display):
    """A short-lived connection and its root (a long one dies with Xlib's I/O error when the server does)."""
    if not (d := _x11.XOpenDisplay(display.encode())):
        raise OSError(f"cannot open X display {display}")
    try:
        yield d, _x11.XDefaultRootWindow(d)
    finally:
        _x11.XCloseDisplay(d)


def client_message(display, window, message_type, data, to_root):
    with xlib(display) as (d, root):
        atom = lambda v: _x11.XInternAtom(d, v.encode(), 0) if isinstance(v, str) else v  # noqa: E731
        # XClientMessageEvent as longs: type, serial, send_event, display, window, message_type, format, data.
        event = (ctypes.c_long * 24)(33, 0, 0, 0, window, atom(message_type), 32, *map(atom, data))
        mask = 0x180000 if to_root else 0  # SubstructureNotify | SubstructureRedirect
        if not _x11.XSendEvent(d, root if to_root else window, 0, mask, event):
            raise OSError(f"XSendEvent about window {window:#x} failed")
        _x11.XSync(d, 0)


_libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6", use_errno=True)


class Process:
    def __init__(self, name, argv, env, cwd, log_path, pass_fds=(), stdin=subprocess.DEVNULL):
        self.name, self.log_path, self.stopped = name, log_path, False
        with open(log_path, "wb") as log:
            # PR_SET_PDEATHSIG: SIGTERM when the tests die (killed by ctest, say): no Xvfb outlives a crashed run.
            self.popen = subprocess.Popen(argv, stdin=stdin, stdout=log, stderr=subprocess.STDOUT, env=env, cwd=cwd,
                                          pass_fds=pass_fds, preexec_fn=lambda: _libc.prctl(1, signal.SIGTERM, 0, 0, 0))
        self.pid = self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout=WAIT_TIMEOUT):
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            pytest.fail(f"{self.name} (pid {self.pid}) still runs after {timeout:g} s")

    def log(self):
        with open(self.log_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def stop(self):
        """SIGTERM (and SIGCONT for a stopped process), SIGKILL after a bound; this process only, by its id."""
        self.stopped = True
        if self.popen.poll() is None:
            self.popen.send_signal(signal.SIGTERM)
            self.popen.send_signal(signal.SIGCONT)
            try:
                self.popen.wait(timeout=STOP_TIMEOUT)
            except subprocess.TimeoutExpired:
                self.popen.kill()
                self.popen.wait(timeout=STOP_TIMEOUT)


class Desktop:
    def __init__(self, root):
        self.root, self.display, self.processes = root, None, []
        for name in ("zolpane-home", "home", "runtime", "config", "data", "cache", "work"):
            os.makedirs(os.path.join(root, name), mode=0o700)
        self.home, self.work = os.path.join(root, "zolpane-home"), os.path.join(root, "work")
        self.config_home, self.data_home = os.path.join(root, "config"), os.path.join(root, "data")

    def env(self, **extra):
        """This desktop's display and folders; no Wayland, no session bus, nothing of an outer desktop."""
        env = {k: v for k, v in os.environ.items() if k not in (
            "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM", "XAUTHORITY", "SESSION_MANAGER",
            "DESKTOP_SESSION", "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "ZOLPANE_CODEPAGE")}
        env.update(DISPLAY=self.display or "", HOME=os.path.join(self.root, "home"), NO_AT_BRIDGE="1",
                   XDG_RUNTIME_DIR=os.path.join(self.root, "runtime"), XDG_CONFIG_HOME=self.config_home,
                   XDG_DATA_HOME=self.data_home, XDG_CACHE_HOME=os.path.join(self.root, "cache"), **extra)
        return env

    def start(self, name, argv, env=None, watch=False, **options):
        """Starts a process that ends with the test; watch: every wait fails at once when it has ended."""
        log_path = os.path.join(self.root, f"{len(self.processes):02d}-{name}.log")
        process = Process(name, argv, env or self.env(), self.work, log_path, **options)
        self.processes.append(process)
        if watch:
            _watched.append(process)
        return process

    def stop_all(self):
        for process in reversed(self.processes):
            process.stop()
        _watched.clear()

    def run(self, *argv, check=True, text=True):
        result = subprocess.run(argv, env=self.env(), capture_output=True, text=text, timeout=30)
        assert not check or result.returncode == 0, f"{' '.join(argv)} failed: {result.stderr!r}"
        return result.stdout

    def xdotool(self, *args, check=True):
        return self.run("xdotool", *map(str, args), check=check).strip()

    def xdotool_id(self, *args):
        out = self.xdotool(*args, check=False)
        return int(out) if out.isdigit() else None

    def key(self, *keys):
        self.xdotool("key", "--delay", "30", *keys)

    def type_text(self, text):
        """Types ASCII text (xdotool is unreliable for other characters)."""
        self.xdotool("type", "--delay", "30", text)

    def window_name(self, wid):
        return self.run("xdotool", "getwindowname", str(wid), check=False).rstrip("\n")

    def active_window(self):
        return self.xdotool_id("getactivewindow")

    def window_info(self, wid, *options):
        return self.run("xwininfo", *options, "-id", str(wid), check=False)

    def is_viewable(self, wid):
        return "Map State: IsViewable" in self.window_info(wid)

    def wm_state(self, wid):
        return self.run("xprop", "-id", str(wid), "_NET_WM_STATE", check=False)

    def windows(self, title=None, pattern=None, pid=None, visible=False):
        """Windows named title or matching the regex pattern in full, optionally of one process, only viewable."""
        search = "^" + re.sub(r"([.\[\]()*+?{}|^$\\])", r"\\\1", title) + "$" if title is not None else "."
        ids = self.xdotool("search", *(["--onlyvisible"] if visible else []), "--name", search, check=False)
        return [int(w) for w in ids.split() if ((name := self.window_name(w)) == title or title is None)
                and (pattern is None or re.fullmatch(pattern, name)) and (pid is None or self.xdotool_id("getwindowpid", w) == pid)]

    def wait_for_window(self, title=None, pattern=None, pid=None, timeout=START_TIMEOUT):
        return wait_for(lambda: self.windows(title, pattern, pid, visible=True),
                        f"a shown window {title if title is not None else pattern!r}", timeout)[0]

    def activate(self, wid):
        """Brings wid to the front and waits until it is active and focused (keys sent before can be lost)."""
        self.xdotool("windowactivate", "--sync", wid, check=False)
        wait_for(lambda: self.active_window() == wid and self.xdotool_id("getwindowfocus") == wid,
                 f"window {wid:#x} to be active and focused")

    def close_window(self, wid):
        client_message(self.display, wid, "WM_PROTOCOLS", ["WM_DELETE_WINDOW", 0], to_root=False)

    def maximize(self, wid):
        client_message(self.display, wid, "_NET_WM_STATE", [1, "_NET_WM_STATE_MAXIMIZED_VERT",
                                                            "_NET_WM_STATE_MAXIMIZED_HORZ"], to_root=True)

    def selection_owner(self, selection):
        with xlib(self.display) as (d, root):
            return _x11.XGetSelectionOwner(d, _x11.XInternAtom(d, selection.encode(), 0))

    def keyboard_grabbed(self):
        """Whether a client holds the keyboard: a grab of our own is refused (one that succeeds is given back)."""
        with xlib(self.display) as (d, root):
            if (status := _x11.XGrabKeyboard(d, root, 0, 1, 1, 0)) == 0:
                _x11.XUngrabKeyboard(d, 0)
            _x11.XSync(d, 0)
            return status != 0

    def modifier_state(self):
        values = [ctypes.c_ulong(), ctypes.c_ulong()] + [ctypes.c_int() for _ in range(4)] + [ctypes.c_uint()]
        with xlib(self.display) as (d, root):
            _x11.XQueryPointer(d, root, *map(ctypes.byref, values))
        return values[-1].value

    def clipboard_targets(self):
        return self.clipboard_get("TARGETS").decode().split()

    def clipboard_get(self, target=None, selection="clipboard"):
        return self.run("xclip", "-selection", selection, *(["-t", target] if target else []), "-o",
                        check=False, text=False)

    def clipboard_set(self, text, selection="clipboard"):
        path = os.path.join(self.root, f"clip-{len(self.processes)}.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        self.start("xclip", ["xclip", "-quiet", "-selection", selection, "-i", path])
        wait_for(lambda: self.clipboard_get(selection=selection) == text.encode(), f"xclip to serve the {selection}")

    def save_artifacts(self, name):
        base = os.environ.get("ZOLPANE_E2E_ARTIFACTS") or os.path.join(os.getcwd(), "e2e-artifacts")
        folder = os.path.join(base, re.sub(r"[^\w.-]+", "_", name) + time.strftime("-%Y%m%d-%H%M%S"))
        os.makedirs(folder, exist_ok=True)
        if self.display and self.processes and self.processes[0].running():
            self.run("import", "-window", "root", os.path.join(folder, "screen.png"), check=False)
            with open(os.path.join(folder, "windows.txt"), "w") as f:
                for w in self.windows():
                    print(f"{w:#x} pid={self.xdotool_id('getwindowpid', w)} viewable={self.is_viewable(w)} "
                          f"name={self.window_name(w)!r}", file=f)
                print(f"active={self.active_window()} focus={self.xdotool_id('getwindowfocus')}", file=f)
        for process in self.processes:
            shutil.copy(process.log_path, folder)
        # The program's socket (there when XDG_RUNTIME_DIR is unset) and a FIFO a test made cannot be copied.
        shutil.copytree(self.home, os.path.join(folder, "zolpane-home"), dirs_exist_ok=True,
                        ignore=lambda at, names: [n for n in names if not (os.path.isfile(os.path.join(at, n)) or
                                                                           os.path.isdir(os.path.join(at, n)))])
        print(f"artifacts of the failed test: {folder}")
        for process in (p for p in self.processes if p.name.startswith("zolpane")):
            state = "running" if process.running() else f"exit status {process.popen.poll()}"
            print(f"--- {process.name} pid {process.pid} ({state}), last lines of its output:")
            print("\n".join(process.log().splitlines()[-30:]) or "(none)")


@pytest.fixture
def desktop(request):
    d = Desktop(tempfile.mkdtemp(prefix="zp-e2e-"))
    yield d
    signal.alarm(0)  # the clean-up has bounds of its own and must not be cut short
    try:
        if getattr(request.node, "zp_failed", False):
            d.save_artifacts(request.node.name)
    finally:
        d.stop_all()
        if os.environ.get("ZOLPANE_E2E_KEEP"):
            print(f"kept {d.root}")
        else:
            shutil.rmtree(d.root, ignore_errors=True)


def _start_xvfb(d):
    read_fd, write_fd = os.pipe()
    try:
        # -noreset: the server would otherwise reset (refusing connections for a moment, and turning autorepeat
        # back on) whenever its last client goes, e.g. an xprop that checks for openbox before openbox connects.
        xvfb = d.start("Xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                                "-noreset"], watch=True, pass_fds=(write_fd,))
        os.close(write_fd)
        number = b""
        while not number.endswith(b"\n"):
            if not select.select([read_fd], [], [], START_TIMEOUT)[0] or not (chunk := os.read(read_fd, 64)):
                pytest.fail(f"Xvfb did not report a display number: {xvfb.log()}")
            number += chunk
    finally:
        os.close(read_fd)
    d.display = ":" + number.decode().strip()
    return xvfb


def _owns_abstract_socket(xvfb, display):
    """Whether the server listens on the abstract socket of its display, which clients try first."""
    sockets = set()
    for fd in os.listdir(f"/proc/{xvfb.pid}/fd"):
        with contextlib.suppress(FileNotFoundError):  # closed since the listing
            sockets.add(os.readlink(f"/proc/{xvfb.pid}/fd/{fd}"))
    with open("/proc/net/unix") as f:
        rows = [line.split() for line in f]
    return any(len(r) == 8 and r[7] == "@/tmp/.X11-unix/X" + display[1:] and f"socket:[{r[6]}]" in sockets for r in rows)


@pytest.fixture
def display(desktop, request):
    """A fresh Xvfb. While a server of another test still ends, Xvfb can take its display number without its
    abstract socket, and the ending server then removes the socket file too: such a server is replaced."""
    for attempt in range(3):
        xvfb = _start_xvfb(desktop)
        if _owns_abstract_socket(xvfb, desktop.display):
            break
        print(f"display {desktop.display} has no abstract socket; starting another")
        xvfb.stop()  # a stopped helper is no longer watched
    else:
        pytest.fail("no usable X display after three servers")
    if request.node.get_closest_marker("no_autorepeat"):
        # A key xdotool presses and releases stays one key press even when xdotool is held up in between
        # (the server would repeat it after 660 ms, and a menu would move one item further).
        with xlib(desktop.display) as (d, root):
            _x11.XAutoRepeatOff(d)
            _x11.XSync(d, 0)
    return desktop.display


@pytest.fixture
def wm(desktop, display):
    desktop.start("openbox", ["openbox", "--sm-disable", "--config-file", os.path.join(HERE, "openbox-rc.xml")],
                  watch=True)
    wait_for(lambda: "window id #" in desktop.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False),
             "openbox to manage the screen", START_TIMEOUT)
    return desktop


def start_tray_host(d):
    process = d.start("wmsystemtray", ["wmsystemtray", "--non-wmaker"], watch=True)
    wait_for(lambda: d.selection_owner("_NET_SYSTEM_TRAY_S0"), "wmsystemtray to own the tray selection", START_TIMEOUT)
    return process


@pytest.fixture
def tray(wm):
    return start_tray_host(wm)


class Target:
    """A Tk text window of its own title; it logs the key presses it receives."""

    def __init__(self, d, title):
        self.desktop, self.title = d, title
        self.out = os.path.join(d.root, f"target-{title}.txt")
        self.process = d.start(f"tk-{title}", ["wish", TK_TARGET, self.out, title])
        wait_for(lambda: os.path.exists(self.out), f"the Tk window {title}", START_TIMEOUT, alive=self.process)
        self.window = d.wait_for_window(title)

    def text(self):
        with open(self.out, encoding="utf-8") as f:
            return f.read()

    def keys(self):
        return [(p[1], int(p[2])) for p in map(str.split, self.process.log().splitlines()) if len(p) == 4 and p[0] == "K"]

    def activate(self):
        self.desktop.activate(self.window)

    def wait_text(self, expected, what, timeout=WAIT_TIMEOUT):
        wait_for(lambda: self.text() == expected, f"{what} (expected {expected!r})", timeout)


@pytest.fixture
def targets(wm):
    return lambda title: Target(wm, title)


@pytest.fixture
def target(targets):
    return targets("Target")


class Writer:
    """LibreOffice Writer with its X11 plugin on a new document and a profile of its own."""

    def __init__(self, d):
        self.desktop, profile = d, os.path.join(d.root, "writer-profile")
        self.process = d.start("writer", ["soffice", "--writer", "--norestore", "--nologo",
                                          "-env:UserInstallation=file://" + profile], env=d.env(SAL_USE_VCLPLUGIN="gen"))
        self.window = wait_for(lambda: d.windows(pattern=r".* - LibreOffice Writer", visible=True),
                               "Writer's document window", WRITER_START_TIMEOUT, alive=self.process)[0]

    def select_all(self, target="UTF8_STRING"):
        """Selects the whole text and reads it through the primary selection: the clipboard stays as it is."""
        self.desktop.key("ctrl+a")
        return self.desktop.run("xclip", "-selection", "primary", "-t", target, "-o", check=False, text=False)


@pytest.fixture
def writer(wm):
    return Writer(wm)


# A clip of a project: the row's text, format, the data file's content (default: the text) and method.
Clip = collections.namedtuple("Clip", "text fmt data method", defaults=("TXT-SIMPLE", None, 1))


def settings_bytes(**overrides):
    """settings.ini as a first start writes it, with the values of some keys replaced (on each of their lines)."""
    lines = ["[General]", "RunOnStartup=0", "OpenWindowAtStartup=1", "DisabledIP=0", "Charset=6", "", "[Zolpane]",
             "Exiting=1", "PasteMethod=1", "ZPAlwaysOnTop=0", "DefaultProjectName=Default.zp", "DefaultProjectPath=",
             "MinimizeOnCopy=0", "HideOnCopy=0", "AutoPaste=1", "SentenceCaseKeepBig=1", "AutoPasteOther=0",
             "AskDeletingClip=1", "DefaultFontName=0", "DefaultFontSize=0"]
    lines += [f"RecentProject{i}=" for i in range(1, 11)] + ["PasteMethod=1", "", "[WindowPos]", "frmConfPasteBoxX=",
              "frmConfPasteBoxY=", "frmzolpaneX=", "frmzolpaneY=", "", "[Hotkeys]"]
    for clip in range(30):  # clips 1-10 Ctrl, 11-20 Ctrl+Shift, 21-30 Ctrl+Alt; keys 1..9, then 0
        lines += [f"Clip{clip + 1}Mod={(2, 6, 3)[clip // 10]}", f"Clip{clip + 1}Key={48 + (clip % 10 + 1) % 10}"]
    for name, key in (("HKShowZP", "H"), ("HKGlobalMenu", "G"), ("HKPasteNext", "Q"), ("HKPasteMenu", "C"),
                      ("HKSettings", "S")):
        lines += [f"{name}Mod={2 if key == 'Q' else 3}", f"{name}Key={ord(key)}"]
    for key, value in overrides.items():
        assert any(line.startswith(key + "=") for line in lines), f"settings.ini has no {key}"
        lines = [f"{key}={value}" if line.startswith(key + "=") else line for line in lines]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


class Program:
    def __init__(self, d):
        self.desktop, self.home, self.bin = d, d.home, os.path.realpath(os.environ.get("ZOLPANE_BIN", ""))
        assert os.access(self.bin, os.X_OK), f"no Zolpane executable at {self.bin!r}; set ZOLPANE_BIN"

    def path(self, *parts):
        return os.path.join(self.home, *parts)

    def write_settings(self, **overrides):
        """Settings of an earlier run, so the program starts installed (no first-run wizard)."""
        with open(self.path("settings.ini"), "wb") as f:
            f.write(settings_bytes(**overrides))

    def setting(self, key):
        with open(self.path("settings.ini"), "rb") as f:
            values = [line.split("=", 1)[1] for line in f.read().decode("cp1252").split("\r\n")
                      if line.startswith(key + "=")]
        assert len(values) == 1, f"one {key} line in settings.ini, found {values}"
        return values[0]

    def write_project(self, file_name, clips, folder=None, code_page="cp1252"):
        """A container of zp.ini and clip1.dat ... clip30.dat: count, then name length, name, data length and data
        of each. clips maps clip numbers to a Clip or to the text of a simple clip; the others are empty."""
        index, members = [], []
        for i in range(1, 31):
            clip = clips.get(i, "Empty" + "\u00a0" * 6)
            clip = Clip(clip) if isinstance(clip, str) else clip
            index += [f"[Clip{i}]", f"Format = {clip.fmt}", f"Name = {clip.text}", f"Method = {clip.method}"]
            data = clip.text if clip.data is None else clip.data
            members.append((f"clip{i}.dat", data if isinstance(data, bytes) else (data + "\r\n").encode(code_page)))
        members.insert(0, ("zp.ini", ("\r\n".join(index) + "\r\n").encode(code_page)))
        path = os.path.join(folder or self.desktop.work, file_name)
        with open(path, "wb") as f:
            f.write(struct.pack("<i", len(members)))
            for name, data in members:
                f.write(struct.pack("<h", len(name)) + name.encode() + struct.pack("<i", len(data)) + data)
        return path

    def start(self, *args, name="zolpane", code_page=None):
        """Starts the program (not waiting for it) in a fixed language: a fixed code page for its files."""
        env = self.desktop.env(ZOLPANE_HOME=self.home, LC_ALL="C.UTF-8", LANG="C.UTF-8",
                               **({"ZOLPANE_CODEPAGE": str(code_page)} if code_page else {}))
        return self.desktop.start(name, [self.bin, *args], env=env)

    def start_hidden(self, clips, code_page=None, **settings):
        """Starts installed with clips as the default project and "nowindow"; returns once the tray icon (which
        follows the hotkeys' registration) is docked."""
        self.write_settings(**settings)
        os.makedirs(self.path("projects"), exist_ok=True)
        self.write_project("default.zp", clips, self.path("projects"), f"cp{code_page or 1252}")
        zp = self.start("nowindow", code_page=code_page)
        self.wait_for_tray_icon(zp)
        return zp

    def tray_icons(self, zp):
        """The program's shown windows inside a window of the tray host: its docked tray icon."""
        found = []
        for wid in map(int, self.desktop.xdotool("search", "--pid", zp.pid, check=False).split()):
            parent = re.search(r"Parent window id: \S+ (.*)", self.desktop.window_info(wid, "-tree"))
            if parent and '"wmsystemtray"' in parent.group(1) and self.desktop.is_viewable(wid):
                found.append(wid)
        return found

    def wait_for_tray_icon(self, zp):
        return wait_for(lambda: self.tray_icons(zp), "the tray icon to dock into the tray host", START_TIMEOUT,
                        alive=zp)[0]

    def main_window(self, zp, title=None):
        return self.desktop.wait_for_window(title, None if title else MAIN_TITLE, pid=zp.pid)


@pytest.fixture
def program(wm):
    return Program(wm)
