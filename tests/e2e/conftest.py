"""Each test gets its own Xvfb, openbox (openbox-rc.xml leaves every key to the program), on request wmsystemtray,
Tk windows (tk_target.tcl) and Zolpane with its own ZOLPANE_HOME, HOME and XDG folders; it ends exactly the processes
it started, by their ids. A failed test leaves a screenshot, the window list, the logs and the program's folder in
$ZOLPANE_E2E_ARTIFACTS (default: ./e2e-artifacts). ZOLPANE_E2E_KEEP=1 keeps each test's temporary folder."""

import contextlib
import os
import re
import select
import signal
import tempfile

import pytest

import x11_client
from processes import START_TIMEOUT, WAIT_TIMEOUT, Desktop, wait_for
from zolpane_files import project_bytes, settings_bytes

HERE = os.path.dirname(os.path.abspath(__file__))
TK_TARGET = os.path.join(HERE, "tk_target.tcl")
TEST_TIMEOUT = 150
WRITER_START_TIMEOUT = 90.0  # a first start on a new profile, with both cores busy
MAIN_TITLE = r"Zolpane \(.*\)"


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


@pytest.fixture
def desktop(request):
    d = Desktop(tempfile.mkdtemp(prefix="zp-e2e-"))
    yield d
    signal.alarm(0)  # the clean-up has bounds of its own and must not be cut short
    try:
        if getattr(request.node, "zp_failed", False):
            d.save_artifacts(request.node.name)
    finally:
        d.remove()


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
        x11_client.autorepeat_off(desktop.display)
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
        """The project (see project_bytes) in folder, by default the work folder; returns its path."""
        path = os.path.join(folder or self.desktop.work, file_name)
        with open(path, "wb") as f:
            f.write(project_bytes(clips, code_page))
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
