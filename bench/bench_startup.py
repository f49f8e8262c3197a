#!/usr/bin/env python3
"""Start-up as a user sees it, side by side with a floor and a peer on one desktop (Xvfb, openbox, wmsystemtray).

    python3 bench/bench_startup.py [path/to/zolpane] [--runs N] [--settle S]

Each round starts, one after the other and in a rotating order:
- Zolpane with "nowindow": fork to its tray icon docked and viewable in the tray host;
- Zolpane started normally (main window shown at start-up): fork to its main window viewable;
- a bare Qt 6 tray-icon program (bench/BareTray.cpp), the floor of the tray start: fork to its tray icon;
- a bare Qt 6 main window (bench/BareWindow.cpp: a menu bar, a text box, a status bar), the floor of the normal
  start: fork to its window viewable;
- CopyQ, a Qt clipboard manager, where installed: fork to its tray icon.
The times come from bench/StartupProbe.cpp, which forks the program and waits for the X server's events (no
polling). Each program runs installed (settings of an earlier start; one start each before the rounds warms the
file cache and writes the peer's configuration), is left SETTLE seconds, has its memory read and is ended by its
id. Prints medians, best and worst over the rounds, the ratios, memory, and the machine's load. Figures only;
nothing is asserted.
"""

import os
import shutil
import statistics
import subprocess
import sys

from desktop import START_TIMEOUT, bench_desktop, helper_binary, machine_load, program_parser

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "e2e"))
from conftest import Program  # noqa: E402

# A project as a user has one: every row filled, so the start builds what a real start builds.
CLIPS = {n: f"clip {n}: the quick brown fox jumps over the lazy dog" for n in range(1, 31)}


class Contender:
    def __init__(self, name, mode, argv, env):
        self.name, self.mode, self.argv, self.env = name, mode, argv, env
        self.times, self.cpu, self.peak_kib, self.rss_kib, self.tree_kib = [], [], [], [], []

    def start_once(self, probe, settle, log, record=True):
        result = subprocess.run([probe, self.mode, str(int(settle * 1000)), "--log", log, "--", *self.argv],
                                env=self.env, capture_output=True, text=True, timeout=START_TIMEOUT + settle + 30)
        fields = result.stdout.split()
        if result.returncode != 0 or len(fields) < 10 or fields[0] != "ms":
            raise RuntimeError(f"{self.name}: {result.stdout.strip() or result.stderr.strip()} (log {log})")
        if record:
            values = dict(zip(fields[::2], fields[1::2]))
            self.times.append(float(values["ms"]))
            self.cpu.append(float(values["cpu_ms"]))
            self.peak_kib.append(int(values["hwm_kib"]))
            self.rss_kib.append(int(values["rss_kib"]))
            self.tree_kib.append(int(values["tree_rss_kib"]))

    def median(self):
        return statistics.median(self.times)

    def summary(self):
        return (f"median {self.median():.1f} ms (best {min(self.times):.1f}, worst {max(self.times):.1f}), processor "
                f"time until then {statistics.median(self.cpu):.1f} ms; "
                f"memory after start: peak {statistics.median(self.peak_kib) / 1024:.1f} MiB, resident "
                f"{statistics.median(self.rss_kib) / 1024:.1f} MiB"
                + (f", with its helper processes {statistics.median(self.tree_kib) / 1024:.1f} MiB"
                   if max(self.tree_kib) > max(self.rss_kib) else ""))


def copyq_version():
    try:
        out = subprocess.run(["copyq", "--version"], capture_output=True, text=True, timeout=30).stdout
    except (OSError, subprocess.SubprocessError):
        return "CopyQ"
    first = next((line for line in out.splitlines() if line.lower().startswith("copyq")), "CopyQ")
    return first.strip()


def main():
    parser = program_parser()
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--settle", type=float, default=3.0, help="seconds before the memory is read")
    options = parser.parse_args()
    program = os.path.abspath(options.program)
    os.environ["ZOLPANE_BIN"] = program
    probe, bare = helper_binary(program, "startup_probe"), helper_binary(program, "bare_tray")
    bare_window = helper_binary(program, "bare_window")

    load_before = machine_load()
    with bench_desktop("bench-start") as d:
        zp = Program(d)
        zp.write_settings()
        os.makedirs(zp.path("projects"), exist_ok=True)
        zp.write_project("default.zp", CLIPS, zp.path("projects"))
        zp_env = d.env(ZOLPANE_HOME=zp.home, LC_ALL="C.UTF-8", LANG="C.UTF-8")
        contenders = [Contender("Zolpane, nowindow: to the tray icon", "tray", [program, "nowindow"], zp_env),
                      Contender("Zolpane, normal start: to the main window", "window", [program], zp_env),
                      Contender("bare Qt 6 tray program: to the tray icon", "tray", [bare], d.env()),
                      Contender("bare Qt 6 main window: to the window", "window", [bare_window], d.env())]
        peer = None
        if shutil.which("copyq"):
            peer = Contender(f"{copyq_version()}: to the tray icon", "tray", ["copyq"], d.env())
            contenders.append(peer)
        else:
            print("CopyQ is not installed (apt-get install --no-install-recommends copyq): no peer figure")

        for c in contenders:
            c.start_once(probe, 1.0, os.path.join(d.root, "warm-up.log"), record=False)
        for run in range(options.runs):
            for i in range(len(contenders)):
                c = contenders[(run + i) % len(contenders)]
                c.start_once(probe, options.settle, os.path.join(d.root, f"run{run}.log"))
    load_after = machine_load()

    print(f"start-up, fork to the first visible thing ({options.runs} rounds, interleaved; {load_before} before, "
          f"{load_after} after)")
    for c in contenders:
        print(f"  {c.name}: {c.summary()}")
    tray, window, floor, window_floor = contenders[:4]
    ratios = [f"Zolpane tray / bare Qt tray {tray.median() / floor.median():.2f}",
              f"Zolpane window / bare Qt window {window.median() / window_floor.median():.2f}"]
    if peer:
        ratios = [f"Zolpane tray / CopyQ tray {tray.median() / peer.median():.2f}",
                  f"Zolpane window / CopyQ tray {window.median() / peer.median():.2f}",
                  f"bare Qt window / CopyQ tray {window_floor.median() / peer.median():.2f}"] + ratios
    print("  ratios of the medians: " + ", ".join(ratios))


if __name__ == "__main__":
    main()
