"""Wayland sessions for the end-to-end tests: a headless sway (virtual keyboard, data-control, foreign-toplevel;
with XWayland on request) or a headless weston (none of the three). The compositor and every client of the test
run as uid 65534, since sway refuses to run as root and the program's socket serves its own user only; the
test's folders are handed to that uid. The user's keyboard is one virtual keyboard made before any window (keys
get lost when keyboards come and go). Ctrl+Alt+N runs `zolpane --paste N`, as a user's desktop shortcut does."""

import contextlib
import glob
import json
import os
import subprocess

import pytest

from conftest import Program
from processes import START_TIMEOUT, wait_for
from zolpane_files import settings_bytes

UID = 65534
TARGET = os.environ.get("ZP_WAYLAND_TARGET", "")


def as_user(argv):
    return ["setpriv", f"--reuid={UID}", f"--regid={UID}", "--clear-groups", "--pdeathsig", "TERM", *argv]


def hand_over(root):
    """Gives root and everything in it to the session's uid (the test, as root, still reads and removes it)."""
    for folder, _, files in os.walk(root):
        for path in [folder] + [os.path.join(folder, f) for f in files]:
            os.chown(path, UID, UID)


class Session:
    def __init__(self, d):
        if os.geteuid() != 0:
            pytest.skip(f"the session runs as uid {UID}, which takes root to switch to")
        self.desktop, self.program, self.vars = d, Program(d), {}
        self.runtime = os.path.join(d.root, "runtime")
        hand_over(d.root)
        for path in (self.program.bin, TARGET):
            assert subprocess.run(as_user(["test", "-x", path])).returncode == 0, \
                f"uid {UID} cannot run {path!r}: every folder above it must be readable and searchable by all"

    def env(self, **extra):
        """The session's environment; DISPLAY only where XWayland serves the program."""
        env = self.desktop.env(ZOLPANE_HOME=self.program.home, LC_ALL="C.UTF-8", LANG="C.UTF-8",
                               XDG_SESSION_TYPE="wayland", **self.vars, **extra)
        return {k: v for k, v in env.items() if v or k != "DISPLAY"}

    def start(self, name, *argv, watch=False, **env):
        return self.desktop.start(name, as_user(argv), env=self.env(**env), watch=watch)

    def run(self, *argv, check=True, text=True):
        """Runs a client of the session to its end."""
        result = subprocess.run(as_user(argv), env=self.env(), capture_output=True, text=text, timeout=30)
        assert not check or result.returncode == 0, f"{' '.join(argv)} failed: {result.stderr!r}"
        return result

    def paste(self, mime):
        """What the clipboard holds as mime, read by a client that has no window."""
        return self.run("wl-paste", "--no-newline", "--type", mime, check=False, text=False).stdout

    def start_zolpane(self, clips=None, code_page=1252, **env):
        """Starts installed and hidden with clips as the default project (None: the files of the last start);
        returns once its socket is there."""
        os.makedirs(self.program.path("projects"), exist_ok=True)
        if clips is not None:
            with open(self.program.path("settings.ini"), "wb") as f:  # the Wayland notice was seen before
                f.write(settings_bytes().replace(b"[Zolpane]\r\n", b"[Zolpane]\r\nWaylandNoticeShown=1\r\n"))
            self.program.write_project("default.zp", clips, self.program.path("projects"), f"cp{code_page}")
            hand_over(self.program.home)
        zp = self.start("zolpane", self.program.bin, "nowindow", ZOLPANE_CODEPAGE=str(code_page), **env)
        wait_for(lambda: zp.running() and glob.glob(os.path.join(self.runtime, "zolpane-*.socket")),
                 "the program's socket", START_TIMEOUT, alive=zp)
        return zp

    def zolpane(self, *args):
        """The command line run to its end, as a desktop shortcut runs it."""
        return self.run(self.program.bin, *args, check=False)


class Sway(Session):
    def __init__(self, d, xwayland):
        super().__init__(d)
        env_file = os.path.join(d.root, "session.env")
        config = [f"xwayland {'enable' if xwayland else 'disable'}", "output HEADLESS-1 resolution 800x600",
                  "default_border none", "focus_follows_mouse no",
                  f"exec env > {env_file}.tmp && mv {env_file}.tmp {env_file}"]
        config += [f"bindsym Ctrl+Alt+{n} exec {self.program.bin} --paste {n}" for n in range(1, 10)]
        with open(os.path.join(d.root, "sway.conf"), "w") as f:
            f.write("\n".join(config) + "\n")
        self.process = self.start("sway", "sway", "-c", os.path.join(d.root, "sway.conf"), watch=True,
                                  WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        wait_for(lambda: os.path.exists(env_file), "sway to run its start-up commands", START_TIMEOUT)
        with open(env_file) as f:
            found = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        self.vars = {k: found[k] for k in ("WAYLAND_DISPLAY", "SWAYSOCK")}
        assert xwayland == ("DISPLAY" in found), f"XWayland {'not ' * xwayland}announced: {found}"
        d.display = found.get("DISPLAY")  # Desktop.env passes it on
        self.start("keyboard", "wtype", "-s", "900000")  # the user's keyboard, which stays
        wait_for(lambda: self.msg("get_seats")[0]["capabilities"] & 2, "the seat to have a keyboard")

    def msg(self, *args):
        return json.loads(self.run("swaymsg", "--raw", *(["-t", *args] if args[0].startswith("get_") else args))
                          .stdout)

    def views(self, node=None):
        node = node or self.msg("get_tree")
        found = [node] if node.get("pid") else []
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            found += self.views(child)
        return found

    def focused(self):
        return next((v for v in self.views() if v["focused"]), {})

    def focus(self, app_id):
        self.msg(f'[app_id="{app_id}"] focus')
        wait_for(lambda: self.focused().get("app_id") == app_id, f"{app_id} to have the focus")

    def keys(self, *args):
        """Keys pressed by a keyboard of its own (wtype's arguments)."""
        self.run("wtype", *args)

    def press(self, n):
        """The desktop shortcut Ctrl+Alt+n."""
        self.keys("-M", "ctrl", "-M", "alt", str(n), "-m", "alt", "-m", "ctrl")

    @contextlib.contextmanager
    def holding_ctrl(self, n):
        """Ctrl+Alt+n pressed like a user who lets go of Alt and n and holds Ctrl until the block ends."""
        holder = self.desktop.start("held-ctrl", as_user(["wtype", "-M", "ctrl", "-M", "alt", str(n), "-m", "alt",
                                                          "-", "-m", "ctrl"]), env=self.env(), stdin=subprocess.PIPE)
        try:
            yield holder
        finally:
            holder.popen.stdin.close()  # wtype reads its (empty) text to the end, then lets go of Ctrl
            holder.wait()


class QtTarget:
    """A Qt plain-text window of app_id name; its report file holds its text (extra: the target's further
    arguments)."""

    def __init__(self, session, name, *extra):
        self.name, self.out = name, os.path.join(session.desktop.root, "work", f"target-{name}.txt")
        self.process = session.start(f"qt-{name}", TARGET, name, self.out, *extra, QT_QPA_PLATFORM="wayland")
        wait_for(lambda: os.path.exists(self.out) and any(v.get("app_id") == name for v in session.views()),
                 f"the window {name}", START_TIMEOUT, alive=self.process)

    def text(self):
        with open(self.out, encoding="utf-8") as f:
            return f.read()

    def wait_text(self, expected, what):
        wait_for(lambda: self.text() == expected, f"{what} (expected {expected!r})", alive=self.process)


class Terminal:
    """foot running a reader that keeps every byte it gets, unchanged (raw mode), in a file."""

    def __init__(self, session, name="terminal"):
        self.name, self.out = name, os.path.join(session.desktop.root, "work", f"{name}.bin")
        self.process = session.start(name, "foot", f"--app-id={name}", "sh", "-c",
                                     'stty raw -echo && exec cat > "$0"', self.out)
        wait_for(lambda: os.path.exists(self.out) and session.focused().get("app_id") == name,
                 "the terminal's reader", START_TIMEOUT, alive=self.process)

    def received(self):
        with open(self.out, "rb") as f:
            return f.read()


class Weston(Session):
    def __init__(self, d, xwayland):
        if xwayland:
            pytest.skip("weston 10 headless with XWayland ends with SIGSEGV once an X client takes the clipboard")
        super().__init__(d)
        self.vars = {"WAYLAND_DISPLAY": "wayland-zp"}
        self.process = self.start("weston", "weston", "--backend=headless-backend.so", "--socket=wayland-zp",
                                  watch=True)
        wait_for(lambda: os.path.exists(os.path.join(self.runtime, "wayland-zp")), "weston's socket", START_TIMEOUT)


@pytest.fixture
def xwayland():
    """Whether the program runs on XWayland (DISPLAY set) beside the native Wayland targets."""
    return False


def _session(request, session):
    yield session
    if getattr(request.node, "zp_failed", False) and isinstance(session, Sway) and session.process.running():
        session.start("sway-tree", "swaymsg", "-t", "get_tree").wait()  # its output goes to the artifacts


@pytest.fixture
def sway(request, desktop, xwayland):
    yield from _session(request, Sway(desktop, xwayland))


@pytest.fixture
def weston(request, desktop, xwayland):
    yield from _session(request, Weston(desktop, xwayland))
