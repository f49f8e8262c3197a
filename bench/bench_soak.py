#!/usr/bin/env python3
"""Long use of one running program, on its own Xvfb + openbox + wmsystemtray desktop: whether it keeps its memory,
file descriptors and X resources, and whether it still pastes, loads, saves and edits right at the end.

    python3 bench/bench_soak.py [path/to/zolpane] [--pastes N] [--projects N] [--editors N]

Three phases against one instance:
1. N pastes (default 10,000) by global hotkey into the Tk text window (tests/e2e/tk_target.tcl), each of one of
   five clips chosen at random: Ctrl+V, Shift+Insert and key by key (each clip's method stored in the project),
   plain and beyond ASCII. The window is cleared before each paste; a paste is lost when nothing arrived within
   a few seconds, wrong when the text differs from the clip's.
2. N loads and saves (default 1,000) of two projects with pictures, taken in turns: the project is handed to the
   running instance by a second start ("zolpane path.zp", through loadbuff.dat), then saved with File > Save
   Project of the main window. Each file event is awaited through inotify; each saved file is read back and its
   pictures compared with the ones written at the start, pixel for pixel.
3. N openings and closings (default 1,000) of the clip editor: F3 on the first row, F2 to close it without
   handing anything back. The root window's _NET_CLIENT_LIST and _NET_ACTIVE_WINDOW are followed with xprop -spy
   (no polling).

Before the phases everything they do is done once (each clip pasted, the main window, its menu and the editor
shown, a project loaded and saved) and the default project loaded back with the window hidden; after them the same
state is restored, so the start and the end compare like with like, without what is made on first use. Prints the
resident memory (VmRSS) at the start, after the first 500 pastes (the warm-up) and after each phase, its growth
since the warm-up; open file descriptors and the program's X resources (xrestop) at the start and the end; lost,
wrong and failed operations; the time of each phase and the machine's load. Figures only; nothing is asserted.
"""

import os
import random
import re
import select
import struct
import sys
import time

from desktop import bench_desktop, machine_load, program_parser
from bench_paste_e2e import BenchTarget, Pasting, PipedProcess, XTest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "e2e"))
from conftest import Program  # noqa: E402
from processes import _libc  # noqa: E402
from zolpane_files import Clip  # noqa: E402

WARM_UP = 500
WAIT = 10.0  # seconds before a load, save or editor step counts as failed
# Seconds before the start and the end are measured: Qt's thread pool ends a thread left idle for 30 s.
SETTLE = 35.0
EDITOR_TITLE = "Configure Clip to Paste"
# Ctrl+1 .. Ctrl+5: text and paste method (1 Ctrl+V, 2 key by key, 3 Shift+Insert).
CLIPS = {1: ("plain ASCII through Ctrl+V", 1), 2: ("Grüße aus Köln, café crème", 3),
         3: ("key by key: naïve façade, 5 €", 2), 4: ("½ × ¾ = 0,375? «Ünïcödé» via Ctrl+V", 1),
         5: ("Shift+Insert, plain", 3)}
XRES = ("windows", "GCs", "fonts", "pixmaps", "pictures", "cursors", "passive grabs", "unknowns", "pixmap bytes",
        "other bytes")


def bmp(width, height, seed):
    """A 24-bit picture file as the program writes one (bottom row first, rows padded to four bytes)."""
    row = (width * 3 + 3) & ~3
    pixels = bytearray(row * height)
    for y in range(height):
        for x in range(width):
            pixels[y * row + 3 * x:y * row + 3 * x + 3] = bytes(((x * seed) & 255, (y * 7) & 255, (x ^ y) & 255))
    header = struct.pack("<2sIIIIiiHHIIiiII", b"BM", 54 + len(pixels), 0, 54, 40, width, height, 1, 24, 0,
                         len(pixels), 2835, 2835, 0, 0)
    return header + bytes(pixels)


def members(path):
    """The members of a project container: name -> data."""
    with open(path, "rb") as f:
        data = f.read()
    count, at, result = struct.unpack_from("<i", data)[0], 4, {}
    for _ in range(count):
        (n,) = struct.unpack_from("<h", data, at)
        name = data[at + 2:at + 2 + n].decode()
        (size,) = struct.unpack_from("<i", data, at + 2 + n)
        result[name] = data[at + 6 + n:at + 6 + n + size]
        at += 6 + n + size
    return result


class FolderEvents:
    """inotify on folders: waits in select() for an event on a named file."""
    CLOSE_WRITE, MOVED_TO, CREATE, DELETE = 0x8, 0x80, 0x100, 0x200

    def __init__(self, *folders):
        self.fd = _libc.inotify_init1(os.O_CLOEXEC)
        for folder in folders:
            _libc.inotify_add_watch(self.fd, folder.encode(),
                                    self.CLOSE_WRITE | self.MOVED_TO | self.CREATE | self.DELETE)

    def drain(self):
        while select.select([self.fd], [], [], 0)[0]:
            os.read(self.fd, 65536)

    def wait(self, name, *masks, timeout=WAIT):
        """True once an event of each of masks (any of the events one mask names) has come for name, in any order."""
        deadline, missing = time.monotonic() + timeout, list(masks)
        while missing and select.select([self.fd], [], [], max(0.0, deadline - time.monotonic()))[0]:
            buf, at = os.read(self.fd, 65536), 0
            while at < len(buf):
                _, event, _, size = struct.unpack_from("iIII", buf, at)
                if buf[at + 16:at + 16 + size].rstrip(b"\0").decode() == name:
                    missing = [mask for mask in missing if not event & mask]
                at += 16 + size
        return not missing


class RootWatch:
    """The window manager's client list and active window, as xprop -spy reports their changes."""

    def __init__(self, d):
        self.clients, self.active = [], 0
        self.spy = PipedProcess(d, "xprop-spy", ["xprop", "-root", "-spy", "_NET_CLIENT_LIST", "_NET_ACTIVE_WINDOW"])
        self.until(lambda: self.clients)

    def until(self, done, timeout=WAIT):
        deadline = time.monotonic() + timeout
        while not done():
            line = self.spy.line(max(0.0, deadline - time.monotonic()))
            if line is None:
                return False
            ids = [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", line)]
            if line.startswith("_NET_CLIENT_LIST"):
                self.clients = ids
            elif line.startswith("_NET_ACTIVE_WINDOW"):
                self.active = ids[0] if ids else 0
        return True


def rss_mib(pid):
    with open(f"/proc/{pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:")) / 1024


def open_files(pid):
    """What each open file descriptor refers to (taken while the program is idle)."""
    return {int(fd): os.readlink(f"/proc/{pid}/fd/{fd}") for fd in os.listdir(f"/proc/{pid}/fd")}


def x_resources(d, pid):
    """The program's X resources as xrestop counts them."""
    out = d.run("xrestop", "-b", "-m", "1", check=False)
    block = re.search(rf"\( PID:\s*{pid}\s*\):\n((?:\t.*\n?)*)", out)
    fields = dict(re.findall(r"\t(\w[\w ]*?)\s*: ~?(\d+)", block.group(1))) if block else {}
    return {name: int(fields.get(name, -1)) for name in XRES}


def hand_over(d, events, path):
    """Starts the program a second time with path; True once loadbuff.dat has been put in place (written, or linked
    or renamed into place whole) and the running one has deleted it, in either order."""
    events.drain()
    second = Program(d).start(path, name="handover")
    second.wait()
    d.processes.remove(second)
    os.remove(second.log_path)
    return events.wait("loadbuff.dat", FolderEvents.CLOSE_WRITE | FolderEvents.MOVED_TO | FolderEvents.CREATE,
                       FolderEvents.DELETE)


def paste_phase(target, keys, pasters, count, zp, figures):
    rng = random.Random(10)
    for n in range(count):
        rng.choice(pasters).round(target, keys, rng.uniform(0.03, 0.08))
        time.sleep(0.03)  # the program takes a hotkey as a new one once the keys have settled
        if n + 1 == min(WARM_UP, count):
            figures["RSS after warm-up"] = rss_mib(zp.pid)


def project_phase(d, main, projects, count):
    """Loads and saves the projects in turns; returns (failed loads, failed saves, saves without the pictures)."""
    events = FolderEvents(d.home, d.work)
    titles = PipedProcess(d, "xprop-title", ["xprop", "-id", str(main), "-spy", "_NET_WM_NAME"])
    failed_loads = failed_saves = damaged = 0
    for n in range(count):
        path, pictures = projects[n % len(projects)]
        name = os.path.basename(path)
        try:  # the title names the project once it is loaded; the projects take turns, so it changes each time
            loaded = hand_over(d, events, path) and titles.wait_line(lambda line: line.endswith(f'"Zolpane ({name})"'),
                                                                     WAIT)
        except TimeoutError:
            loaded = False
        if not loaded:
            failed_loads += 1
            continue
        events.drain()
        d.key("alt+f", "s", "Return")  # File > Save Project ("s" moves to the first of the two "&S" items)
        if not events.wait(name, FolderEvents.CLOSE_WRITE | FolderEvents.MOVED_TO):
            failed_saves += 1
            d.key("Escape")
            d.activate(main)
        elif any(members(path).get(member) != data for member, data in pictures.items()):
            damaged += 1
    os.close(events.fd)
    titles.stop()
    return failed_loads, failed_saves, damaged


def editor_phase(d, root, main, count):
    """Opens the editor with F3 and closes it with F2 count times; returns (failed openings, failed closings)."""
    failed_open = failed_close = 0
    for _ in range(count):
        root.until(lambda: False, timeout=0)  # what has been reported so far
        before, editor = set(root.clients), []
        d.key("F3")

        def shown():
            # The new client that has become the active window, once it is the editor.
            if root.active in root.clients and root.active not in before and root.active not in editor:
                editor.append(root.active)
                return d.window_name(root.active) == EDITOR_TITLE
            return False
        if not root.until(shown):
            failed_open += 1
            d.activate(main)
            continue
        d.key("F2")
        if not root.until(lambda: editor[-1] not in root.clients and root.active == main):
            failed_close += 1
            d.activate(main)
    return failed_open, failed_close


def main():
    parser = program_parser()
    parser.add_argument("--pastes", type=int, default=10000)
    parser.add_argument("--projects", type=int, default=1000)
    parser.add_argument("--editors", type=int, default=1000)
    options = parser.parse_args()
    os.environ["ZOLPANE_BIN"] = os.path.abspath(options.program)

    print(f"machine: {machine_load()} at the start")
    figures, times, loads = {}, {}, {}
    with bench_desktop("bench-soak") as d:
        target = BenchTarget(d)
        program = Program(d)
        zp = program.start_hidden({k: Clip(text, method=method) for k, (text, method) in CLIPS.items()})
        root = RootWatch(d)
        keys = XTest(d.display)
        projects = []
        for letter, size in (("A", (320, 240)), ("B", (200, 150))):
            pictures = {"clip1.dat": bmp(*size, 3), "clip3.dat": bmp(size[1], size[0], 5)}
            clips = {1: Clip(f"(IMG) {letter} one", fmt="IMG", data=pictures["clip1.dat"]), 2: f"text of {letter}",
                     3: Clip(f"(IMG) {letter} two", fmt="IMG", data=pictures["clip3.dat"])}
            projects.append((program.write_project(f"{letter}.zp", clips), pictures))

        def show():
            d.key("ctrl+alt+h")
            window = program.main_window(zp)
            d.activate(window)
            return window

        def hide():
            """Back to the state of the start: the default project, the main window hidden, the Tk window active."""
            events = FolderEvents(d.home)
            hand_over(d, events, program.path("projects", "default.zp"))
            os.close(events.fd)
            d.activate(main_window)
            d.key("Escape")
            root.until(lambda: main_window not in root.clients)
            d.activate(target.window)
            time.sleep(SETTLE)

        def pasters():
            return [Pasting(f"Ctrl+{k} ({('Ctrl+V', 'key by key', 'Shift+Insert')[method - 1]}, {text!r})",
                            "Control_L", str(k), text) for k, (text, method) in CLIPS.items()]

        # Everything the phases do, done once: what is made on first use is then there at the start.
        for paster in pasters():
            paster.round(target, keys, 0.05)
            time.sleep(0.03)
        main_window = show()
        project_phase(d, main_window, projects, 1)
        editor_phase(d, root, main_window, 1)
        hide()
        start = rss_mib(zp.pid), open_files(zp.pid), x_resources(d, zp.pid)

        def phase(name, work):
            began = time.monotonic()
            result = work()
            times[name], loads[name] = time.monotonic() - began, machine_load()
            figures[f"RSS after {name}"] = rss_mib(zp.pid)
            return result

        clips = pasters()
        phase("pastes", lambda: paste_phase(target, keys, clips, options.pastes, zp, figures))
        keys.close()
        show()
        load_save = phase("projects", lambda: project_phase(d, main_window, projects, options.projects))
        d.activate(main_window)
        editor = phase("editors", lambda: editor_phase(d, root, main_window, options.editors))
        hide()
        end = rss_mib(zp.pid), open_files(zp.pid), x_resources(d, zp.pid)

    warm = figures.get("RSS after warm-up", start[0])
    print(f"\nsoak of {os.path.abspath(options.program)}: {options.pastes} pastes, {options.projects} loads and "
          f"saves, {options.editors} editor openings")
    for name in times:
        print(f"  {name}: {times[name]:.0f} s, {loads[name]} at its end")
    print("pastes by clip:")
    for paster in clips:
        print(f"  {paster.summary()}")

    def row(label, first="", last="", change="", target="0"):
        print(f"{label:34}{first:>12}{last:>12}{change:>10}   {target}".rstrip())
    print()
    row("", "start", "end", "change", "target")
    row("resident memory (MiB)", f"{start[0]:.1f}", f"{end[0]:.1f}", f"{end[0] - start[0]:+.1f}", "")
    for name in ("warm-up", "pastes", "projects", "editors"):
        if (value := figures.get(f"RSS after {name}")) is not None:
            row(f"  after {name}", "", f"{value:.1f}", f"{value - warm:+.1f}", "(from here)" if name == "warm-up" else "")
    row("  growth since the warm-up (MiB)", "", "", f"{end[0] - warm:+.2f}", "<= 2")
    row("open file descriptors", len(start[1]), len(end[1]), len(end[1]) - len(start[1]))
    for fd, link in sorted(set(start[1].items()) ^ set(end[1].items())):
        print(f"    {'gone' if start[1].get(fd) == link else 'new'}: {fd} -> {link}")
    for name in XRES:
        row(f"X {name}", start[2][name], end[2][name], end[2][name] - start[2][name])
    row("lost pastes", change=sum(p.lost for p in clips))
    row("wrong pastes", change=sum(p.wrong for p in clips))
    for label, value in zip(("failed loads", "failed saves", "saves without their pictures",
                             "editor: failed openings", "editor: failed closings"), load_save + editor):
        row(label, change=value)


if __name__ == "__main__":
    main()
