#!/usr/bin/env python3
"""Pasting as a user feels it, measured against the real program on its own Xvfb + openbox + wmsystemtray desktop,
side by side with a floor in the same run.

    python3 bench/bench_paste_e2e.py [path/to/zolpane] [--rounds N] [--typing-rounds N]

Prints:
- hotkey to paste: from the release of the hotkey (held 30-80 ms, sent through XTest by this script) to the
  moment the Tk text window sees its text change, N rounds (default 1,000) each of Zolpane (Ctrl+1, clip 1) and,
  interleaved, of the floor bench/PasteFloor.cpp (Ctrl+F9: an Xlib grab, key releases from XInput 2 events and
  Control+V through XTest to whatever has the focus, nothing else): median, 95th percentile, worst, the ratio of
  the medians, and how many pastes were lost or brought the wrong text;
- key-by-key typing of 2,000-character texts full of letters missing from the US layout (everyday Czech,
  everyday Russian, random words of 65 such letters): characters per second, and how many arrived wrong;
- idle wake-ups: context switches of every thread of the program over 10 s, in the tray and with the main window
  shown behind another application's window.

The Tk window (tests/e2e/tk_target.tcl) stamps each change with its own wall-clock time and reports it on its
standard output, which this script reads through a pipe as it comes (no polling); the release time comes from the
same clock just before the key releases go out, so the figure holds the program's whole share: noticing the
release, activating the window, confirming its focus, sending Control+V and serving the clipboard. The machine's
load is printed with the figures. Figures only; nothing is asserted.
"""

import ctypes
import ctypes.util
import os
import random
import select
import signal
import statistics
import subprocess
import sys
import time

from desktop import START_TIMEOUT, bench_desktop, helper_binary, machine_load, program_parser

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
from conftest import TK_TARGET, Program  # noqa: E402
from processes import Process, _libc  # noqa: E402
from zolpane_files import Clip  # noqa: E402

TYPED_LENGTH = 2000
IDLE_SECONDS = 10.0
# A paste that has not arrived after this long is counted as lost.
LOST_AFTER = 3.0

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


class PipedProcess(Process):
    """A process of the desktop (ended with it, by its id) whose standard output is read through a pipe as lines
    arrive: the reader sleeps in select() until the process writes."""

    def __init__(self, d, name, argv):
        self.name, self.log_path, self.stopped = name, os.devnull, False
        self.popen = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                      env=d.env(), cwd=d.work,
                                      preexec_fn=lambda: _libc.prctl(1, signal.SIGTERM, 0, 0, 0))
        self.pid = self.popen.pid
        self.pending = b""
        d.processes.append(self)

    def send(self, line):
        self.popen.stdin.write(line.encode() + b"\n")
        self.popen.stdin.flush()

    def line(self, timeout):
        """The next line of output, or None once timeout seconds have passed without one."""
        deadline = time.monotonic() + timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.popen.stdout], [], [], left)[0]:
                return None
            chunk = os.read(self.popen.stdout.fileno(), 65536)
            if not chunk:
                raise RuntimeError(f"{self.name} ended")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line.decode("utf-8", "replace")

    def wait_line(self, wanted, timeout):
        deadline = time.monotonic() + timeout
        while (line := self.line(max(0.0, deadline - time.monotonic()))) is not None:
            if wanted(line):
                return line
        raise TimeoutError(f"{self.name} did not report in time")


class BenchTarget:
    """The Tk window: "clear" on its standard input, its report lines ("T <µs> <length>") through a pipe."""

    def __init__(self, d):
        self.out = os.path.join(d.root, "bench-target.txt")
        self.process = PipedProcess(d, "tk-bench", ["wish", TK_TARGET, self.out, "BenchTarget"])
        self.process.wait_line(lambda line: line == "ready", START_TIMEOUT)
        self.window = d.wait_for_window("BenchTarget")

    def clear(self):
        self.process.send("clear")
        self.process.wait_line(lambda line: line == "cleared", 10)

    def changes_until(self, length, timeout):
        """(time, length) of every text change until the text has length characters; the changes so far when
        timeout seconds pass first."""
        changes = []
        deadline = time.monotonic() + timeout
        while not changes or changes[-1][1] < length:
            line = self.process.line(max(0.0, deadline - time.monotonic()))
            if line is None:
                break
            parts = line.split()
            if len(parts) == 3 and parts[0] == "T":
                changes.append((int(parts[1]) / 1e6, int(parts[2])))
        return changes

    def text(self):
        with open(self.out, encoding="utf-8") as f:
            return f.read()

    def settled_text(self, expected, timeout=1.0):
        """The text once Tk has written it out (it writes when idle, just after reporting the change)."""
        deadline = time.monotonic() + timeout
        while (text := self.text()) != expected and time.monotonic() < deadline:
            time.sleep(0.002)  # checking the result, after the measurement
        return text


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
    """Wake-ups of the program over IDLE_SECONDS: each wake-up of a thread ends in a voluntary context switch."""
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


class Pasting:
    """The latencies of one paster and how many of its pastes were lost or wrong."""

    def __init__(self, name, modifier, key, expected):
        self.name, self.modifier, self.key, self.expected = name, modifier, key, expected
        self.latencies, self.lost, self.wrong = [], 0, 0

    def round(self, target, keys, hold):
        target.clear()
        released = keys.combination(self.modifier, self.key, hold=hold)
        changes = target.changes_until(len(self.expected), LOST_AFTER)
        if not changes:
            self.lost += 1
            return
        self.latencies.append((changes[0][0] - released) * 1000)
        if target.settled_text(self.expected) != self.expected:
            self.wrong += 1

    def summary(self):
        if not self.latencies:
            return f"{self.name}: nothing arrived ({self.lost} lost)"
        lat = self.latencies
        return (f"{self.name}: median {statistics.median(lat):.2f} ms, 95% {percentile(lat, 0.95):.2f} ms, "
                f"worst {max(lat):.1f} ms, best {min(lat):.2f} ms; lost {self.lost}, wrong {self.wrong}")


def paste_rounds(target, keys, pasters, rounds):
    rng = random.Random(25)
    for n in range(rounds):
        # Interleaved, the order turning every round, so that both meet the same machine.
        for paster in (pasters if n % 2 == 0 else reversed(pasters)):
            # People hold a hotkey for some tens of milliseconds; the release falls anywhere in that time.
            paster.round(target, keys, rng.uniform(0.03, 0.08))
            # The program lets the keys settle before it takes the next hotkey as a new one.
            time.sleep(0.03)


def type_rounds(target, keys, hotkey, label, text, rounds):
    """Types text key by key rounds times through the clip hotkey Ctrl+hotkey and prints one line a round."""
    for round_ in range(rounds):
        target.clear()
        time.sleep(0.2)
        released = keys.combination("Control_L", hotkey)
        changes = target.changes_until(len(text), 120)
        if not changes or changes[-1][1] < len(text):
            print(f"key by key, {label}, round {round_ + 1}: the text did not arrive ({changes[-1:]})")
            continue
        first, last = changes[0][0], changes[-1][0]
        typed = target.settled_text(text)
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
    parser = program_parser()
    parser.add_argument("--rounds", type=int, default=1000)
    parser.add_argument("--typing-rounds", type=int, default=3)
    options = parser.parse_args()
    program = os.path.abspath(options.program)
    os.environ["ZOLPANE_BIN"] = program
    floor_binary = helper_binary(program, "paste_floor")

    czech, letters = prose_text(TYPED_LENGTH), unicode_text(TYPED_LENGTH)
    print(f"machine: {machine_load()} at the start")
    with bench_desktop("bench-paste") as d:
        target = BenchTarget(d)
        zp = Program(d).start_hidden({1: "x", 2: Clip(czech, method=2), 3: Clip(letters, method=2)}, code_page=1250)
        floor = PipedProcess(d, "paste-floor", [floor_binary, "F9", "y"])
        floor.wait_line(lambda line: line == "ready", START_TIMEOUT)
        d.activate(target.window)
        time.sleep(2.0)  # start-up's last events settle
        measure_idle(zp.pid, "in the tray")

        keys = XTest(d.display)
        try:
            pasters = [Pasting("Zolpane (Ctrl+1)", "Control_L", "1", "x"),
                       Pasting("floor: Xlib grab, XInput 2 release, XTest Control+V (Ctrl+F9)", "Control_L", "F9",
                               "y")]
            paste_rounds(target, keys, pasters, options.rounds)
            zolpane, bare = pasters
            print(f"hotkey release to paste ({options.rounds} rounds each, interleaved; {machine_load()} at the end):")
            for paster in pasters:
                print(f"  {paster.summary()}")
            if zolpane.latencies and bare.latencies:
                print(f"  ratio of the medians, Zolpane / floor: "
                      f"{statistics.median(zolpane.latencies) / statistics.median(bare.latencies):.2f}")
            type_rounds(target, keys, "2", "everyday Czech", czech, options.typing_rounds)
            type_rounds(target, keys, "3", "random letters", letters, options.typing_rounds)
        finally:
            keys.close()
        # Lent keys are given back once even a slow target has surely read the last typed key (two milliseconds a
        # key from the start of the sending) and a second more: at most five seconds after 2,000 characters.
        time.sleep(6.0)
        measure_idle(zp.pid, "in the tray after typing")
        # The main window shown (its hotkey, Ctrl+Alt+H) and then left behind another application's window.
        d.key("ctrl+alt+h")
        Program(d).main_window(zp)
        d.activate(target.window)
        time.sleep(1.0)
        measure_idle(zp.pid, "main window shown, another window active")

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
