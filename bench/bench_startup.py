#!/usr/bin/env python3
"""Start-up benchmark: time from starting Zolpane to its main window being shown, and peak memory.

Starts its own Xvfb and openbox, then starts the program RUNS times, each with a fresh program folder that
already holds a settings file (a normal start, not the first one). Prints median, best and worst time to a
visible main window and the peak resident memory (VmHWM) of the process once the window is up.

Usage: bench/bench_startup.py [path/to/zolpane] [runs]
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BINARY = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "zolpane")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 15


def start_display(tmp):
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_fd, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(read_fd)
    display = ":" + number.decode().strip()
    env = dict(os.environ, DISPLAY=display)
    env.pop("WAYLAND_DISPLAY", None)
    wm = subprocess.Popen(["openbox", "--sm-disable", "--config-file", os.path.join(ROOT, "tests/e2e/openbox-rc.xml")],
                          env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        probe = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env, capture_output=True, text=True)
        if "window id" in probe.stdout:
            break
        time.sleep(0.05)
    return env, [wm, xvfb]


def main_window_visible(env):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", r"^Zolpane \("], env=env,
                           capture_output=True, text=True)
    return found.returncode == 0 and found.stdout.strip() != ""


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def main():
    if not os.path.exists(BINARY):
        sys.exit(f"no program at {BINARY}: build it first")
    tmp = tempfile.mkdtemp(prefix="zp-bench-start-")
    env, helpers = start_display(tmp)
    times, peaks = [], []
    try:
        for run in range(RUNS):
            home = os.path.join(tmp, f"home{run}")
            os.makedirs(home)
            # A settings file from an earlier start: no first-run introduction.
            with open(os.path.join(home, "settings.ini"), "wb") as f:
                f.write(b"[General]\r\nRunOnStartup=0\r\nOpenWindowAtStartup=1\r\nCharset=6\r\n")
            run_env = dict(env, ZOLPANE_HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                           XDG_DATA_HOME=os.path.join(home, "data"), XDG_RUNTIME_DIR=tmp)
            started = time.monotonic()
            proc = subprocess.Popen([BINARY], env=run_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            while not main_window_visible(run_env):
                if time.monotonic() - started > 20 or proc.poll() is not None:
                    raise RuntimeError("the main window did not appear")
                time.sleep(0.002)
            times.append((time.monotonic() - started) * 1000)
            time.sleep(0.3)
            peaks.append(peak_rss_kib(proc.pid))
            proc.send_signal(signal.SIGTERM)
            proc.wait(10)
    finally:
        for helper in helpers:
            helper.terminate()
            helper.wait(10)
        shutil.rmtree(tmp, ignore_errors=True)
    print(f"start to main window shown ({RUNS} runs): median {statistics.median(times):.0f} ms, "
          f"best {min(times):.0f} ms, worst {max(times):.0f} ms")
    print(f"peak resident memory: median {statistics.median(peaks) / 1024:.1f} MiB, "
          f"max {max(peaks) / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
