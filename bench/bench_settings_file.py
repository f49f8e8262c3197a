#!/usr/bin/env python3
"""Start-up and exit with a hostile settings.ini (50 MB of other lines after the settings or inside the section the
program reads first, a line of 10 MB, binary bytes, a section 100,000 times) beside the settings a first start
writes.

    python3 bench/bench_settings_file.py [path/to/zolpane] [--runs N]

For each file the program starts with its main window shown, on an Xvfb display with openbox; printed are the
seconds from the start to the main window viewable (polled every 50 ms) and from SIGTERM to the end of the
process (the exit writes the recent projects and the window position into the file). Medians, best and worst
over the runs, and the machine's load. Figures only; nothing is asserted."""

import argparse
import os
import random
import shutil
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))
from conftest import Program, _start_xvfb  # noqa: E402
from processes import START_TIMEOUT, Desktop, wait_for  # noqa: E402
from zolpane_files import settings_bytes  # noqa: E402

MB = 1 << 20


def junk_keys(size):
    """About size bytes of distinct key lines."""
    lines, total = [], 0
    while total < size:
        lines.append(b"junk%d=some value %d\r\n" % (len(lines), len(lines)))
        total += len(lines[-1])
    return b"".join(lines)


def before_hotkeys(settings, extra):
    at = settings.index(b"[Hotkeys]\r\n") + len(b"[Hotkeys]\r\n")
    return settings[:at] + extra + settings[at:]


SHAPES = {
    "50 MB after the settings": lambda s: s + b"[Junk]\r\n" + junk_keys(50 * MB),
    "50 MB in the hotkeys before their keys": lambda s: before_hotkeys(s, junk_keys(50 * MB)),
    "a line of 10 MB": lambda s: before_hotkeys(s, b"Note=" + b"x" * (10 * MB) + b"\r\n"),
    "binary bytes": lambda s: random.Random(7).randbytes(MB) + b"\n" + s + random.Random(8).randbytes(MB),
    "the hotkeys section 100,000 times": lambda s: s + b"[Hotkeys]\r\nHKShowZPKey=74\r\n" * 100_000,
}


def one_run(d, content):
    if os.path.exists(d.home):
        shutil.rmtree(d.home)
    os.makedirs(os.path.join(d.home, "projects"))
    program = Program(d)
    with open(program.path("settings.ini"), "wb") as f:
        f.write(content)
    program.write_project("default.zp", {1: "first clip"}, program.path("projects"))
    started = time.monotonic()
    zp = program.start()
    program.main_window(zp)
    shown = time.monotonic() - started
    stopping = time.monotonic()
    zp.stop()
    return shown, time.monotonic() - stopping


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program", nargs="?", default=os.path.join(os.path.dirname(HERE), "build", "zolpane"))
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    os.environ["ZOLPANE_BIN"] = os.path.abspath(args.program)
    files = {"as a first start writes it": settings_bytes()}
    files.update((name, shape(settings_bytes())) for name, shape in SHAPES.items())
    d = Desktop(tempfile.mkdtemp(prefix="zp-bench-settings-"))
    try:
        _start_xvfb(d)
        d.start("openbox", ["openbox", "--sm-disable", "--config-file",
                            os.path.join(os.path.dirname(HERE), "tests", "e2e", "openbox-rc.xml")], watch=True)
        wait_for(lambda: "window id #" in d.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False),
                 "openbox to manage the screen", START_TIMEOUT)
        print(f"{'settings.ini':42} {'size':>8}   start to main window (s)   exit (s)")
        for name, content in files.items():
            runs = [one_run(d, content) for _ in range(args.runs)]
            shown, ended = [r[0] for r in runs], [r[1] for r in runs]
            print(f"{name:42} {len(content) / (1 << 20):6.1f}MB   median {statistics.median(shown):.2f} "
                  f"({min(shown):.2f}-{max(shown):.2f})      {statistics.median(ended):.2f}")
        one, five, fifteen = os.getloadavg()
        print(f"load average {one:.2f}, {five:.2f}, {fifteen:.2f} on {os.cpu_count()} cores")
    finally:
        d.remove()


if __name__ == "__main__":
    main()
