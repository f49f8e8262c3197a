"""The desktop of the scripted benchmarks, as the end-to-end tests have it: Xvfb, openbox and the tray host
wmsystemtray, from tests/e2e/conftest.py (which needs pytest importable). Also the machine's load, printed with
the figures."""

import argparse
import contextlib
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
E2E = os.path.join(REPO, "tests", "e2e")
sys.path.insert(0, E2E)

from conftest import _owns_abstract_socket, _start_xvfb, start_tray_host  # noqa: E402
from processes import START_TIMEOUT, Desktop, _watched, wait_for  # noqa: E402


@contextlib.contextmanager
def bench_desktop(name):
    """A desktop as the end-to-end tests have it (Xvfb, openbox, the tray host wmsystemtray), ended with the
    block: its processes by their ids, in reverse order, and its folder."""
    d = Desktop(tempfile.mkdtemp(prefix=f"zp-{name}-"))
    try:
        for _ in range(3):
            # As the tests' display fixture: a server that took the number of one still ending is replaced.
            xvfb = _start_xvfb(d)
            if _owns_abstract_socket(xvfb, d.display):
                break
            xvfb.stop()
            _watched.remove(xvfb)
        else:
            raise RuntimeError("no usable X display after three servers")
        d.start("openbox", ["openbox", "--sm-disable", "--config-file", os.path.join(E2E, "openbox-rc.xml")],
                watch=True)
        wait_for(lambda: "window id #" in d.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False),
                 "openbox to manage the screen", START_TIMEOUT)
        start_tray_host(d)
        yield d
    finally:
        d.remove()


def machine_load():
    """The load averages over 1, 5 and 15 minutes and the number of processors, as uptime shows them."""
    one, five, fifteen = os.getloadavg()
    return f"load average {one:.2f}, {five:.2f}, {fifteen:.2f} on {os.cpu_count()} cores"


def helper_binary(program, name):
    """A helper program of the benchmarks (bench/CMakeLists.txt), built beside the program under test."""
    path = os.path.join(os.path.dirname(os.path.abspath(program)), "bench", name)
    if not os.access(path, os.X_OK):
        sys.exit(f"no {path}: build the target {name} (bench/run-benchmarks.sh does)")
    return path


def program_parser():
    """An argument parser whose first, optional argument is the program measured: $ZOLPANE_BIN or build/zolpane."""
    parser = argparse.ArgumentParser()
    parser.add_argument("program", nargs="?", default=os.environ.get("ZOLPANE_BIN")
                        or os.path.join(REPO, "build", "zolpane"))
    return parser
