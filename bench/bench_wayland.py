#!/usr/bin/env python3
"""Pasting on a wlroots Wayland desktop as a user feels it: the headless sway session of the Wayland end-to-end
tests (tests/e2e/wayland_session.py, run as uid 65534, so this takes root), a Qt text window as the target, and a
floor in the same run.

    python3 bench/bench_wayland.py [path/to/zolpane] [--rounds N] [--typing-rounds N]

Prints:
- binding to paste: from just before the binding's keys go out (Ctrl+Alt+N through a virtual keyboard of their
  own, as the tests press them) to the moment the target has the new text, N rounds (default 200) each of Zolpane
  (Ctrl+Alt+1 runs `zolpane --paste 1`, a one-line clip pasted with Ctrl+V) and, interleaved, of the floor
  (Ctrl+Alt+0 runs `wl-copy TEXT && wtype -M ctrl v -m ctrl`, a new text each round): median, 95th percentile,
  worst, the ratio of the medians, and how many pastes were lost or brought the wrong text;
- key-by-key typing of 2,000 characters of Czech (letters, capitals and signs the US layout lacks): characters per
  second and wrong characters, for Zolpane (clip 2, key by key) and for `wtype TEXT`, interleaved.

The target stamps each change of its text with CLOCK_MONOTONIC and writes it to a FIFO this script reads as it
comes (no polling); the start is taken from the same clock. The machine's load is printed with the figures.
Figures only; nothing is asserted. ZOLPANE_E2E_KEEP=1 keeps the session's folder (the program's log in it).
"""

import os
import select
import statistics
import sys
import tempfile
import time

from desktop import machine_load, program_parser
from bench_paste_e2e import percentile, prose_text

import wayland_session  # noqa: E402
from processes import Desktop  # noqa: E402
from zolpane_files import Clip  # noqa: E402
from wayland_session import UID, QtTarget, Sway  # noqa: E402

LOST_AFTER = 3.0  # a paste that has not arrived after this long is counted as lost
LINE = "Zolpane pasted this line"
CZECH = ("Příliš žluťoučký kůň úpěl ďábelské ódy „€ 5 × 3“. Hleď, toť čarovný je loužek, kde hedvábné štěstí "
         "září. Nechť již hříšné saxofony ďáblů rozezvučí síň úděsnými tóny waltzu, tanga a quickstepu. Úchvatný "
         "ťuhýk šťastně sedí na žluté větvi; Řehoř a Ďurica čtou „Šťastný úsměv“ za 15 € × 2, ŤUHÝK Ó ŇADRA. ")


class Target(QtTarget):
    """The tests' Qt window, also reporting each change ("<µs> <length>") through a FIFO read as lines come."""

    def __init__(self, session, name):
        path = os.path.join(session.desktop.work, f"changes-{name}")
        os.mkfifo(path, 0o600)
        os.chown(path, UID, UID)
        self.fd, self.pending = os.open(path, os.O_RDONLY | os.O_NONBLOCK), b""  # open before the writer
        super().__init__(session, name, path)

    def changes_until(self, done, timeout):
        """(seconds, length) of each change until done(length) holds for one; those so far after timeout."""
        changes, deadline = [], time.monotonic() + timeout
        while not changes or not done(changes[-1][1]):
            while b"\n" not in self.pending:
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                    return changes
                chunk = os.read(self.fd, 65536)
                if not chunk:
                    raise RuntimeError("the target ended")
                self.pending += chunk
            line, self.pending = self.pending.split(b"\n", 1)
            at, length = line.split()
            changes.append((int(at) / 1e6, int(length)))
        return changes

    def clear(self, sway):
        sway.keys("-M", "ctrl", "a", "-m", "ctrl", "-k", "BackSpace")
        if self.text():
            self.changes_until(lambda length: length == 0, 10)


def wrong_characters(typed, expected):
    return sum(1 for a, b in zip(typed, expected) if a != b) + abs(len(typed) - len(expected))


class Pasting:
    def __init__(self, name, press):
        self.name, self.press, self.latencies, self.lost, self.wrong = name, press, [], 0, 0

    def round(self, sway, target, n):
        before = target.text()
        text = self.press(n, prepare=True)
        expected = before + text
        start = time.monotonic()
        self.press(n)
        changes = target.changes_until(lambda length: length >= len(expected), LOST_AFTER)
        if not changes or changes[-1][1] < len(expected):
            self.lost += 1
            time.sleep(1.0)  # a late paste lands before the next round reads the text
            return
        self.latencies.append(1000 * (changes[-1][0] - start))
        self.wrong += target.text() != expected

    def summary(self):
        lat = self.latencies or [float("nan")]
        return (f"{self.name}: median {statistics.median(lat):.1f} ms, 95% {percentile(lat, 0.95):.1f} ms, "
                f"worst {max(lat):.1f} ms, best {min(lat):.1f} ms; lost {self.lost}, wrong {self.wrong}")


def typing(sway, target, label, start_typing, text, results):
    target.clear(sway)
    time.sleep(0.2)
    start = time.monotonic()
    start_typing()
    changes = target.changes_until(lambda length: length >= len(text), 120)
    typed = target.text()
    wrong = wrong_characters(typed, text)
    if not changes or changes[-1][1] < len(text):
        print(f"  {label}: the text did not arrive in 120 s ({len(typed)} characters, {wrong} wrong)")
        return
    seconds = changes[-1][0] - start
    first = next(at for at, length in changes if length)  # the clearing may report its empty text twice
    results.setdefault(label, []).append((len(text) / seconds, wrong))
    print(f"  {label}: {len(text) / seconds:.0f} chars/s ({seconds:.2f} s, first character after "
          f"{1000 * (first - start):.0f} ms), wrong characters: {wrong}")
    first = next((n for n, (a, b) in enumerate(zip(typed, text)) if a != b), None)
    if first is not None:
        print(f"    first difference at {first}: typed {typed[first:first + 20]!r}, expected "
              f"{text[first:first + 20]!r}")


def main():
    parser = program_parser()
    parser.add_argument("--rounds", type=int, default=200)
    parser.add_argument("--typing-rounds", type=int, default=3)
    options = parser.parse_args()
    if os.geteuid() != 0:
        sys.exit(f"the session runs as uid {UID}: run this as root")
    program = os.path.abspath(options.program)
    os.environ["ZOLPANE_BIN"] = program
    wayland_session.TARGET = os.environ.get("ZP_WAYLAND_TARGET") or os.path.join(
        os.path.dirname(program), "tests", "e2e", "wayland", "zp_wayland_target")
    czech = prose_text(2000, CZECH)

    print(f"machine: {machine_load()} at the start")
    d = Desktop(tempfile.mkdtemp(prefix="zp-bench-wayland-"))
    try:
        sway = Sway(d, xwayland=False)
        sway.start_zolpane({1: LINE, 2: Clip("Czech", fmt="TXT-LONG", data=czech, method=2)}, code_page=1250)
        target = Target(sway, "bench")
        time.sleep(1.0)  # start-up settles

        def zolpane(n, prepare=False):
            return LINE if prepare else sway.press(1)

        def floor(n, prepare=False):
            if not prepare:
                return sway.press(0)
            text = f"floor pasted line {n:06d}"
            sway.msg(f"bindsym --no-warn Ctrl+Alt+0 exec wl-copy -- '{text}' && wtype -M ctrl v -m ctrl")
            return text

        pasters = [Pasting("Zolpane (zolpane --paste 1)", zolpane),
                   Pasting("floor (wl-copy TEXT && wtype -M ctrl v -m ctrl)", floor)]
        for n in range(options.rounds):
            for paster in (pasters if n % 2 == 0 else reversed(pasters)):  # both meet the same machine
                paster.round(sway, target, n)
                time.sleep(0.05)
            if n % 50 == 49:
                target.clear(sway)  # the target rewrites its whole report file on each change
        print(f"binding to text in the target ({options.rounds} rounds each, interleaved; {machine_load()} "
              f"at the end):")
        for paster in pasters:
            print(f"  {paster.summary()}")
        if all(p.latencies for p in pasters):
            ratio = statistics.median(pasters[0].latencies) / statistics.median(pasters[1].latencies)
            print(f"  ratio of the medians, Zolpane / floor: {ratio:.2f}")

        print(f"key by key, everyday Czech, {len(czech)} characters "
              f"({len({c for c in czech if ord(c) > 127})} distinct beyond ASCII):")
        results = {}
        runs = [("Zolpane (clip 2, key by key)", lambda: sway.press(2)),
                ("wtype TEXT", lambda: sway.start("wtype-typing", "wtype", czech))]
        for n in range(options.typing_rounds):
            for label, start_typing in (runs if n % 2 == 0 else reversed(runs)):
                typing(sway, target, label, start_typing, czech, results)
        print(f"  medians ({machine_load()} at the end):")
        for label, figures in results.items():
            print(f"    {label}: {statistics.median(f[0] for f in figures):.0f} chars/s, wrong characters "
                  f"{statistics.median(f[1] for f in figures):g} (rounds arrived: {len(figures)})")
    finally:
        d.remove()


if __name__ == "__main__":
    main()
