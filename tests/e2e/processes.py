"""The processes of one test's desktop, each ended by its id, and the command-line tools run against its display."""

import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import subprocess
import time

import pytest

import x11_client

# Upper bounds for waiting, never expectations; QUIET: how long something that must not happen is watched for.
START_TIMEOUT, WAIT_TIMEOUT, STOP_TIMEOUT, QUIET = 15.0, 10.0, 5.0, 1.0

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


class Desktop(x11_client.XlibCalls):
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

    def remove(self):
        """Ends every process, then deletes the folder (kept, and named, with ZOLPANE_E2E_KEEP=1)."""
        self.stop_all()
        if os.environ.get("ZOLPANE_E2E_KEEP"):
            print(f"kept {self.root}")
        else:
            shutil.rmtree(self.root, ignore_errors=True)

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
