#!/usr/bin/env python3
"""Takes the pictures of the user guide and of the quick-start wizard from the real program: starts a virtual
display (Xvfb with openbox and a tray host), runs Zolpane on a sample project in a scratch folder, drives it with
xdotool and captures its windows and menus with ImageMagick. Run it through scripts/screenshots.sh.

usage: screenshots.py ZOLPANE_EXECUTABLE OUTPUT_FOLDER [--keep]    (--keep: keep the scratch folder and its logs)

The wizard's pictures (wizard-*.png) are compiled into the program, and wizard.png shows the wizard: after new
pictures the program is rebuilt and pictured once more, as screenshots.sh does."""

import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
OPENBOX_RC = os.path.join(HERE, "..", "tests", "e2e", "openbox-rc.xml")
SCREEN = "1024x768x24"
TIMEOUT = 15.0
GUIDE_WIDTH = 800  # the widest picture of the guide
WIZARD_WIDTH = 300  # the pictures on the wizard's pages
MAIN_TITLE = re.compile(r"Zolpane \(.*\)")
EMPTY = "Empty" + "\u00a0" * 6
_libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6")

RTF = (r"{\rtf1\ansi\deff0{\fonttbl{\f0\fswiss DejaVu Sans;}}{\colortbl ;\red200\green40\blue40;\red30\green90\blue170;}"
       r"\f0\fs22 Dear customer,\par\par thank you for your order. Your parcel leaves our store \b today\b0  "
       r"and arrives within \i two working days\i0 .\par\par \cf1\b Please note:\b0\cf0  the store is closed on "
       r"public holidays.\par\par \cf2 Kind regards,\par Jana Nov\'e1kov\'e1\cf0\par}")
LONG_TEXT = "Jana Novakova\r\nSales department\r\nExample Trading Ltd.\r\n12 Station Road\r\nCambridge CB1 2AB"
# The sample project: clip number -> (row text, format, data); the others are empty.
SAMPLE = {
    1: ("Kind regards, Jana Novakova", "TXT-SIMPLE", None),
    2: ("jana.novakova@example.org", "TXT-SIMPLE", None),
    3: ("+44 1223 555 0199", "TXT-SIMPLE", None),
    4: ("Postal address", "TXT-LONG", LONG_TEXT),
    5: ("(RTF) Order reply", "RTF", RTF),
    6: ("(IMG) Logo", "IMG", "picture"),
    7: ("Called on %date% at %time%", "TXT-SIMPLE", None),
    8: ("https://zolpane.org/", "TXT-SIMPLE", None),
    9: ("Order number: ", "TXT-SIMPLE", None),
    16: ("git status --short", "TXT-SIMPLE", None),
    17: ("Příliš žluťoučký kůň", "TXT-SIMPLE", None),
}


class Desktop:
    """The virtual display and the processes started on it; ends exactly those, by their ids."""

    def __init__(self, root):
        self.root, self.processes, self.display = root, [], None
        for name in ("zolpane-home", "home", "runtime", "config", "data", "cache"):
            os.makedirs(os.path.join(root, name), mode=0o700)
        self.home = os.path.join(root, "zolpane-home")

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items() if k not in (
            "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM", "XAUTHORITY", "SESSION_MANAGER",
            "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "ZOLPANE_CODEPAGE", "ZOLPANE_HOME")}
        env.update(DISPLAY=self.display or "", HOME=os.path.join(self.root, "home"), NO_AT_BRIDGE="1",
                   XDG_RUNTIME_DIR=os.path.join(self.root, "runtime"), XDG_CONFIG_HOME=os.path.join(self.root, "config"),
                   XDG_DATA_HOME=os.path.join(self.root, "data"), XDG_CACHE_HOME=os.path.join(self.root, "cache"),
                   LC_ALL="C.UTF-8", LANG="C.UTF-8", **extra)
        return env

    def start(self, name, argv, **options):
        log = open(os.path.join(self.root, f"{len(self.processes):02d}-{name}.log"), "wb")
        # PR_SET_PDEATHSIG: the process gets SIGTERM when this script dies, so no Xvfb outlives a failed run.
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   env=options.pop("env", None) or self.env(),
                                   preexec_fn=lambda: _libc.prctl(1, signal.SIGTERM, 0, 0, 0), **options)
        self.processes.append((name, process))
        return process

    def stop_all(self):
        for name, process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def run(self, *argv, check=True):
        result = subprocess.run(argv, env=self.env(), capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(argv)} failed: {result.stderr.strip()}")
        return result.stdout

    def xdotool(self, *args, check=False):
        return self.run("xdotool", *map(str, args), check=check).strip()

    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys, check=True)
        time.sleep(0.3)

    def start_display(self):
        read_fd, write_fd = os.pipe()
        self.start("Xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", SCREEN, "-nolisten", "tcp",
                            "-noreset"], pass_fds=(write_fd,))
        os.close(write_fd)
        number = b""
        while not number.endswith(b"\n"):
            if not select.select([read_fd], [], [], TIMEOUT)[0] or not (chunk := os.read(read_fd, 64)):
                raise RuntimeError("Xvfb did not report a display number")
            number += chunk
        os.close(read_fd)
        self.display = ":" + number.decode().strip()
        # A plain desktop colour around the menus (Xvfb's root is black).
        self.run("display", "-window", "root", "-size", "8x8", "xc:#6d8aa5", check=False)
        self.start("openbox", ["openbox", "--sm-disable", "--config-file", OPENBOX_RC])
        wait_for(lambda: "window id #" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False),
                 "openbox")
        self.start("wmsystemtray", ["wmsystemtray", "--non-wmaker"])
        wait_for(lambda: self.run("xdotool", "search", "--class", "wmsystemtray", check=False).strip(),
                 "the tray host")

    def windows(self, pattern, pid=None):
        """Shown windows whose whole title matches pattern, of the process pid when given (Tk names no pid)."""
        ids = self.xdotool("search", "--onlyvisible", *(["--pid", pid] if pid else ["--name", "."]))
        return [int(w) for w in ids.split() if re.fullmatch(pattern, self.xdotool("getwindowname", w))]

    def wait_window(self, pattern, pid=None):
        window = wait_for(lambda: self.windows(pattern, pid), f"a window {pattern!r}")[0]
        wait_for(lambda: self.xdotool("getactivewindow") == str(window), f"{pattern!r} to be active")
        time.sleep(0.8)  # painted
        return window

    def geometry(self, window):
        info = self.run("xwininfo", "-id", str(window), check=False)
        value = lambda name: int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))  # noqa: E731
        return value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")

    def frame(self, window):
        """The window with the window manager's frame (its ancestor right under the root)."""
        while True:
            tree = self.run("xwininfo", "-tree", "-id", str(window), check=False)
            root = re.search(r"Root window id: (\S+)", tree).group(1)
            parent = re.search(r"Parent window id: (\S+)", tree).group(1)
            if parent == root:
                return window
            window = int(parent, 16)

    def popups(self, pid):
        """The program's open menus: shown override-redirect windows straight under the root."""
        found = []
        for wid in map(int, self.xdotool("search", "--onlyvisible", "--pid", pid).split()):
            tree = self.run("xwininfo", "-children", "-id", str(wid), check=False)
            root, parent = (re.search(rf"{kind} window id: (\S+)", tree) for kind in ("Root", "Parent"))
            kind = self.run("xprop", "-id", str(wid), "_NET_WM_WINDOW_TYPE", check=False)
            if ("Override Redirect State: yes" in self.run("xwininfo", "-id", str(wid), check=False) and root
                    and parent and root[1] == parent[1] and "TOOLTIP" not in kind):
                found.append(wid)
        return found


def wait_for(predicate, what, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise RuntimeError(f"timed out waiting for {what}")
        time.sleep(0.1)
    return value


def write_project(path, clips, picture):
    """A project container: the count, then name length, name, data length and data of zp.ini and each clip."""
    index, members = [], []
    for i in range(1, 31):
        text, fmt, data = clips.get(i, (EMPTY, "TXT-SIMPLE", None))
        index += [f"[Clip{i}]", f"Format = {fmt}", f"Name = {text}", "Method = 4"]
        if fmt == "IMG":
            members.append((f"clip{i}.dat", picture))
        else:
            members.append((f"clip{i}.dat", ((text if data is None else data) + "\r\n").encode("cp1250")))
    members.insert(0, ("zp.ini", ("\r\n".join(index) + "\r\n").encode("cp1250")))
    with open(path, "wb") as f:
        f.write(struct.pack("<i", len(members)))
        for name, data in members:
            f.write(struct.pack("<h", len(name)) + name.encode() + struct.pack("<i", len(data)) + data)


class Shooter:
    def __init__(self, desktop, out):
        self.d, self.out, self.taken = desktop, out, []

    def save(self, source, name, width):
        """Stores source (a picture file) as name, no wider than width, without metadata."""
        target = os.path.join(self.out, name)
        self.d.run("convert", source, "-resize", f"{width}x>", "+dither", "-colors", "256", "-strip", "-define",
                   "png:compression-level=9", target)
        self.taken.append(name)
        return target

    def window(self, window, name, width=GUIDE_WIDTH):
        """A window with its title bar; returns the stored picture and the full-size capture."""
        raw = os.path.join(self.d.root, "raw-" + name)
        self.d.run("import", "-window", str(self.d.frame(window)), raw)
        return self.save(raw, name, width), raw

    def area(self, box, name, width=GUIDE_WIDTH):
        raw = os.path.join(self.d.root, "raw-" + name)
        x, y, w, h = box
        self.d.run("import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", raw)
        return self.save(raw, name, width), raw

    def menus(self, pid, name, width=GUIDE_WIDTH):
        """The open menus as one picture with a margin of the desktop."""
        boxes = [self.d.geometry(w) for w in self.d.popups(pid)]
        left, top = min(b[0] for b in boxes) - 8, min(b[1] for b in boxes) - 8
        right, bottom = max(b[0] + b[2] for b in boxes) + 8, max(b[1] + b[3] for b in boxes) + 8
        return self.area((max(left, 0), max(top, 0), right - max(left, 0), bottom - max(top, 0)), name, width)


def close_menus(d, pid):
    for _ in range(4):
        if not d.popups(pid):
            return
        d.key("Escape")
    wait_for(lambda: not d.popups(pid), "the menus to close")


def go_to_row(d, main, state, row):
    """Moves the keyboard focus from the row in state["row"] to row with Tab (rows are in tab order)."""
    d.xdotool("windowactivate", "--sync", main)
    time.sleep(0.3)
    steps = row - state["row"]
    if steps:
        d.key(*(["Tab"] if steps > 0 else ["shift+Tab"]) * abs(steps))
    state["row"] = row


def shoot(binary, out):
    os.makedirs(out, exist_ok=True)
    root = tempfile.mkdtemp(prefix="zolpane-shots-")
    d = Desktop(root)
    shots = Shooter(d, out)
    try:
        d.start_display()
        picture = subprocess.run(["convert", "-size", "320x180", "gradient:#1d5fa8-#8fd0ff", "-fill", "#ffd24a",
                                  "-draw", "circle 70,90 70,40", "-fill", "white", "-font", "DejaVu-Sans-Bold",
                                  "-pointsize", "30", "-annotate", "+138+82", "Example", "-pointsize", "22",
                                  "-annotate", "+140+118", "Trading Ltd.", "-strip", "BMP3:-"],
                                 capture_output=True, check=True).stdout
        project = os.path.join(d.root, "home", "Work.zp")
        write_project(project, SAMPLE, picture)
        # The first start: no settings.ini yet, so the quick-start wizard opens.
        zp = d.start("zolpane", [binary, project], env=d.env(ZOLPANE_HOME=d.home, ZOLPANE_CODEPAGE="1250"))
        wizard = d.wait_window(r"Zolpane Quick Overview", zp.pid)
        shots.window(wizard, "wizard.png")
        d.key("Escape")
        main = d.wait_window(MAIN_TITLE.pattern, zp.pid)
        # A text window to paste into, opened after the program (the window active at its start enters its record
        # of active windows without a title); the main window then names it as the last active window.
        script = os.path.join(d.root, "notes.tcl")
        with open(script, "w") as f:
            f.write("wm title . {Letter - Notes}\nwm geometry . 560x360+430+320\ntext .t\npack .t -fill both -expand 1\n"
                    "focus .t\n")
        notes = d.start("wish", ["wish", script])
        notes = d.wait_window(r"Letter - Notes")
        d.xdotool("windowactivate", "--sync", main)
        d.key("Home")  # row 1 shows the start of its text
        time.sleep(0.5)
        d.xdotool("mousemove", 1000, 740)
        _, main_raw = shots.window(main, "main-window.png")
        shots.save(main_raw, "wizard-main.png", WIZARD_WIDTH)
        state = {"row": 1}
        # The clip properties of row 1: paste method and hotkey.
        go_to_row(d, main, state, 1)
        d.key("F4")
        properties = d.wait_window(r"Clip properties", zp.pid)
        _, raw = shots.window(properties, "properties.png")
        shots.save(raw, "wizard-hotkeys.png", WIZARD_WIDTH)
        d.key("Escape")
        wait_for(lambda: not d.windows(r"Clip properties", zp.pid), "the clip properties to close")

        # The settings dialog (Ctrl+Alt+S), tab by tab (the Clipboard Menu tab is only described in the guide).
        d.key("ctrl+alt+s")
        dialog = d.wait_window(r"Zolpane Settings", zp.pid)
        for tab, name in enumerate(("settings-general.png", "settings-pasting.png", None, "settings-hotkeys.png")):
            if tab:
                d.key("ctrl+Tab")
                time.sleep(0.5)
            if name:
                shots.window(dialog, name)
        # Esc asks whether to save the settings; Esc again answers No. (Alt+C would be the hotkey tab's "&Control".)
        d.key("Escape")
        wait_for(lambda: d.xdotool("getwindowname", d.xdotool("getactivewindow")) == "Zolpane", "the question")
        d.key("Escape")
        wait_for(lambda: not d.windows(r"Zolpane Settings", zp.pid), "the settings to close")

        # The tray menu with the case conversions open, the main window out of the way. Its hotkey Ctrl+Alt+G opens
        # it at the mouse pointer, away from the tray host in the screen's corner; a right click on the icon opens
        # the same menu.
        d.xdotool("windowminimize", "--sync", main)
        d.xdotool("mousemove", 160, 120)
        d.key("ctrl+alt+g")
        wait_for(lambda: d.popups(zp.pid), "the tray menu")
        d.key("Down", "Down", "Down", "Right")
        wait_for(lambda: len(d.popups(zp.pid)) == 2, "the clipboard formatting menu")
        time.sleep(0.5)
        shots.menus(zp.pid, "wizard-tray.png", WIZARD_WIDTH)
        d.key("Right")
        wait_for(lambda: len(d.popups(zp.pid)) == 3, "the case conversion menu")
        time.sleep(0.5)
        shots.menus(zp.pid, "tray-menu.png")
        close_menus(d, zp.pid)

        # The clip menu (Ctrl+Alt+C) over the text window.
        d.xdotool("windowactivate", "--sync", notes)
        d.xdotool("mousemove", 470, 360)
        d.key("ctrl+alt+c")
        wait_for(lambda: d.popups(zp.pid), "the clip menu")
        time.sleep(0.5)
        shots.menus(zp.pid, "clip-menu.png")
        close_menus(d, zp.pid)

        # The clip editor in its three modes. Closing it gives the focus back to the row it edited.
        for row, name in ((4, "editor-text.png"), (5, "editor-rich-text.png"), (6, "editor-picture.png")):
            go_to_row(d, main, state, row)
            d.key("F3")
            editor = d.wait_window(r"Configure Clip to Paste", zp.pid)
            _, raw = shots.window(editor, name)
            if row == 5:
                shots.save(raw, "wizard-editor.png", WIZARD_WIDTH)
            d.key("F2")
            wait_for(lambda: not d.windows(r"Configure Clip to Paste", zp.pid), "the editor to close")
    finally:
        d.stop_all()
        if "--keep" in sys.argv:
            print(f"kept {root}")
        else:
            shutil.rmtree(root, ignore_errors=True)
    print("pictures:", ", ".join(shots.taken))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    shoot(os.path.realpath(sys.argv[1]), sys.argv[2])
