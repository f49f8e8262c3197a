#!/usr/bin/env python3
"""Pasting as a user feels it, measured against the real program on its own Xvfb + openbox display.

    python3 bench/bench_paste_e2e.py [path/to/zolpane] [--rounds N]

Prints three figures:
- hotkey to paste: from the release of Ctrl+1 (held 30-80 ms, sent through XTest by this script) to the
  moment the Tk text window sees its text change, over N rounds (default 200): median, 90th percentile, worst;
- key-by-key typing of 2,000-character texts full of letters missing from the US layout (everyday Czech,
  everyday Russian, random words of 65 such letters): characters per second, and how many arrived wrong;
- idle wake-ups: context switches of every thread of the program over 10 s while nothing happens.

The Tk window (tests/e2e/tk_target.tcl) stamps each change with its own wall-clock time, and this script takes
the release time from the same clock just before it sends the key releases, so the figure holds the program's
whole share: noticing the release, activating the window, sending Control+V and serving the clipboard. The
desktop, the processes and the program's files come from the end-to-end tests' conftest.py (which needs
pytest importable). Figures only; nothing is asserted.
"""

import argparse
import contextlib
import ctypes
import ctypes.util
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
E2E = os.path.join(REPO, "tests", "e2e")
sys.path.insert(0, E2E)

from conftest import (START_TIMEOUT, TK_TARGET, Clip, Desktop, Program, _owns_abstract_socket,  # noqa: E402
                      _start_xvfb, _watched, start_tray_host, wait_for)
TYPED_LENGTH = 2000
IDLE_SECONDS = 10.0

# Letters of the 1250 code page that a US layout lacks, with plain ones and signs the typing must escape.
LETTERS = ("ěščřžýáíéúůťďňóĺľŕôäöüßąćęłńśźżőű" "ĚŠČŘŽÝÁÍÉÚŮŤĎŇÓĹĽŔÔÄÖÜĄĆĘŁŃŚŹŻŐŰ" "abcdefghijklmnopqrstuvwxyz")
SIGNS = "+^%~()[];|\"'.,-!?/"


# Everyday Czech: about 30 letters beyond the layout, so the spare keys hold them all at once.
PROSE = ("Příliš žluťoučký kůň úpěl ďábelské ódy. Hleď, toť čarovný je loužek, kde hedvábné štěstí září. "
         "Nechť již hříšné saxofony ďáblů rozezvučí síň úděsnými tóny waltzu, tanga a quickstepu. "
         "Úchvatný ťuhýk šťastně sedí na žluté větvi; Řehoř a Ďurica čtou Šťastný úsměv (2. vydání) + 15 % slev. ")


# Everyday Russian: capitals and small letters, about 50 letters beyond the layout.
RUSSIAN = ("Съешь же ещё этих мягких французских булок, да выпей чаю. В чащах юга жил бы цитрус? Да, но фальшивый "
           "экземпляр! Широкая электрификация южных губерний даст мощный толчок подъёму сельского хозяйства. "
           "Эх, Чужак! Общий съём цен шляп (юфть) — вдрызг! Жевать Щи, Фыркнуть Юле, Ёжик Цапнул Ягоду. ")


def prose_text(length, prose=PROSE):
    return (prose * (length // len(prose) + 1))[:length].rstrip().ljust(length, "x")


def unicode_text(length):
    """Random words of every letter of the 1250 code page a US layout lacks (more of them than the spare keys
    hold at once, so keys are lent again and again) with signs the typing must escape."""
    rng = random.Random(1250)
    words = []
    total = 0
    while total < length:
        word = "".join(rng.choice(LETTERS) for _ in range(rng.randint(2, 9)))
        if rng.random() < 0.3:
            word += rng.choice(SIGNS)
        words.append(word)
        total += len(word) + 1
    return " ".join(words)[:length].rstrip().ljust(length, "x")


class XTest:
    """Key events through the XTest extension on a connection of our own."""

    def __init__(self, display):
        x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XStringToKeysym.restype = ctypes.c_ulong
        x.XStringToKeysym.argtypes = [ctypes.c_char_p]
        x.XKeysymToKeycode.restype = ctypes.c_ubyte
        x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.x, self.xtst = x, xtst
        self.d = x.XOpenDisplay(display.encode())
        if not self.d:
            raise OSError(f"cannot open display {display}")

    def keycode(self, name):
        return self.x.XKeysymToKeycode(self.d, self.x.XStringToKeysym(name.encode()))

    def combination(self, modifier, key, hold=0.0):
        """Presses modifier+key, holds them for hold seconds and lets go (key first, as people and xdotool do);
        returns the wall-clock time just before the releases went out. The server has them a round trip later at
        most, so a figure measured from here errs on the long side, also when this script is preempted."""
        m, k = self.keycode(modifier), self.keycode(key)
        for code in (m, k):
            self.xtst.XTestFakeKeyEvent(self.d, code, 1, 0)
        self.x.XSync(self.d, 0)
        if hold:
            time.sleep(hold)
        released = time.time()
        for code in (k, m):
            self.xtst.XTestFakeKeyEvent(self.d, code, 0, 0)
        self.x.XSync(self.d, 0)
        return released

    def close(self):
        self.x.XCloseDisplay(self.d)


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
        d.stop_all()
        shutil.rmtree(d.root, ignore_errors=True)


class BenchTarget:
    """The Tk window, with a pipe to its standard input for "clear" and its report lines in its log."""

    def __init__(self, d):
        self.out = os.path.join(d.root, "bench-target.txt")
        self.process = d.start("tk-bench", ["wish", TK_TARGET, self.out, "BenchTarget"], stdin=subprocess.PIPE)
        self.read_from = 0
        wait_for(self.ready, "the Tk window", START_TIMEOUT)
        self.window = d.wait_for_window("BenchTarget")

    def ready(self):
        if not self.process.running():
            raise RuntimeError(f"the Tk window ended: {self.process.log()}")
        return "ready" in self.process.log().splitlines()

    def lines(self):
        """Report lines written since the last call."""
        with open(self.process.log_path, "rb") as f:
            f.seek(self.read_from)
            data = f.read()
        end = data.rfind(b"\n") + 1
        self.read_from += end
        return data[:end].decode("utf-8", "replace").splitlines()

    def clear(self):
        self.lines()
        self.process.popen.stdin.write(b"clear\n")
        self.process.popen.stdin.flush()
        deadline = time.monotonic() + 10
        while "cleared" not in self.lines():
            if time.monotonic() > deadline:
                raise TimeoutError("the Tk window did not clear its text")
            time.sleep(0.002)

    def changes_until(self, length, timeout):
        """(time, length) of every text change until the text has length characters."""
        changes = []
        deadline = time.monotonic() + timeout
        while True:
            for line in self.lines():
                parts = line.split()
                if len(parts) == 3 and parts[0] == "T":
                    changes.append((int(parts[1]) / 1e6, int(parts[2])))
            if changes and changes[-1][1] >= length:
                return changes
            if time.monotonic() > deadline:
                raise TimeoutError(f"the text did not reach {length} characters (changes: {changes[-3:]})")
            time.sleep(0.001)

    def text(self):
        with open(self.out, encoding="utf-8") as f:
            return f.read()


def context_switches(pid):
    """(voluntary, involuntary) context switches summed over the threads of pid, and CPU seconds."""
    voluntary = involuntary = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        voluntary += int(line.split()[1])
                    elif line.startswith("nonvoluntary_ctxt_switches:"):
                        involuntary += int(line.split()[1])
        except OSError:
            pass
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return voluntary, involuntary, cpu


def per_thread_switches(pid):
    result = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/comm") as f:
                name = f.read().strip()
            with open(f"/proc/{pid}/task/{task}/status") as f:
                count = sum(int(line.split()[1]) for line in f if "ctxt_switches:" in line)
            result[f"{name}/{task}"] = count
        except OSError:
            pass
    return result


def measure_idle(pid, label):
    before_threads = per_thread_switches(pid)
    v0, i0, c0 = context_switches(pid)
    time.sleep(IDLE_SECONDS)
    v1, i1, c1 = context_switches(pid)
    after_threads = per_thread_switches(pid)
    busy = {name: after_threads[name] - count for name, count in before_threads.items()
            if name in after_threads and after_threads[name] != count}
    print(f"idle wake-ups ({label}): {(v1 - v0) / IDLE_SECONDS:.1f}/s voluntary, "
          f"{(i1 - i0) / IDLE_SECONDS:.1f}/s involuntary, CPU {1000 * (c1 - c0) / IDLE_SECONDS:.2f} ms/s"
          + (f"; by thread over {IDLE_SECONDS:g} s: {busy}" if busy else ""))


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def type_rounds(target, keys, hotkey, label, text, rounds):
    """Types text key by key rounds times through the clip hotkey Ctrl+hotkey and prints one line a round."""
    for round_ in range(rounds):
        target.clear()
        time.sleep(0.2)
        released = keys.combination("Control_L", hotkey)
        changes = target.changes_until(len(text), 120)
        first, last = changes[0][0], changes[-1][0]
        time.sleep(0.2)
        typed = target.text()
        wrong = sum(1 for a, b in zip(typed, text) if a != b) + abs(len(typed) - len(text))
        print(f"key by key, {label}, {len(text)} characters ({len({c for c in text if ord(c) > 127})} distinct "
              f"beyond ASCII), round {round_ + 1}: {len(text) / (last - released):.0f} chars/s from the release "
              f"({last - released:.2f} s), {len(text) / max(last - first, 1e-6):.0f} chars/s while typing; "
              f"first character after {1000 * (first - released):.0f} ms; wrong characters: {wrong}")
        for n, (a, b) in enumerate(zip(typed, text)):
            if a != b:
                print(f"    first difference at {n}: typed {typed[n:n + 20]!r}, expected {text[n:n + 20]!r}")
                break


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program", nargs="?", default=os.environ.get("ZOLPANE_BIN")
                        or os.path.join(REPO, "build", "zolpane"))
    parser.add_argument("--rounds", type=int, default=200)
    parser.add_argument("--typing-rounds", type=int, default=3)
    options = parser.parse_args()
    os.environ["ZOLPANE_BIN"] = os.path.abspath(options.program)

    czech, letters = prose_text(TYPED_LENGTH), unicode_text(TYPED_LENGTH)
    with bench_desktop("bench-paste") as d:
        target = BenchTarget(d)
        zp = Program(d).start_hidden({1: "x", 2: Clip(czech, method=2), 3: Clip(letters, method=2)}, code_page=1250)
        d.activate(target.window)
        time.sleep(2.0)  # start-up's last events settle
        measure_idle(zp.pid, "after start-up")

        keys = XTest(d.display)
        try:
            latencies = []
            rng = random.Random(25)
            for _ in range(options.rounds):
                target.clear()
                # People hold a hotkey for some tens of milliseconds; the program looks at the keys while they are
                # down, so the moment of release falls anywhere between two looks.
                released = keys.combination("Control_L", "1", hold=rng.uniform(0.03, 0.08))
                changes = target.changes_until(1, 10)
                latencies.append((changes[0][0] - released) * 1000)
                # The program lets the keys settle before it takes the next hotkey as a new one.
                time.sleep(0.03)
            print(f"hotkey release to paste ({len(latencies)} rounds): median {statistics.median(latencies):.1f} ms, "
                  f"90% {percentile(latencies, 0.9):.1f} ms, worst {max(latencies):.1f} ms, "
                  f"best {min(latencies):.1f} ms")
            type_rounds(target, keys, "2", "everyday Czech", czech, options.typing_rounds)
            type_rounds(target, keys, "3", "random letters", letters, options.typing_rounds)
        finally:
            keys.close()
        # Lent keys are given back once even a slow target has surely read the last typed key (two milliseconds a
        # key from the start of the sending) and a second more: at most five seconds after 2,000 characters.
        time.sleep(6.0)
        measure_idle(zp.pid, "after pasting")

    # Cyrillic needs the 1251 code page for the project file, so a program of its own.
    with bench_desktop("bench-paste-ru") as d:
        target = BenchTarget(d)
        russian = prose_text(TYPED_LENGTH, RUSSIAN)
        Program(d).start_hidden({2: Clip(russian, method=2)}, code_page=1251)
        d.activate(target.window)
        keys = XTest(d.display)
        try:
            type_rounds(target, keys, "2", "everyday Russian", russian, options.typing_rounds)
        finally:
            keys.close()


if __name__ == "__main__":
    main()
