#!/usr/bin/env python3
"""A copy-only clip after a rich-text paste the Tk window could not take, a typed clip and a Shift+Insert paste:
the copy-only clip must reach the clipboard and nothing else. (To be merged into test_paste.py; runs on its own
with the same command line.)"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import Session, check, check_equal, main, stays_true, wait_for  # noqa: E402
from test_paste import CONTROL_MASK, PASTE_TIMEOUT, QUIET_PERIOD, Clip, Target, press, start_hidden  # noqa: E402


# Tk waits up to five seconds (five one-second ticks) for a clipboard owner's answer before it gives up and asks
# again for another form; what must not happen after a paste is watched for at least this long from its keys.
TK_SELECTION_WAIT = 8.0


def test_a_copy_only_clip_after_failed_rich_text_and_other_pastes_pastes_nothing():
    rtf = r"{\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Rich \b bold\b0  text\par}"
    with Session("copy-only-after-pastes", tray=True) as s:
        target = Target(s, "Target")
        zp = start_hidden(s, {1: Clip("rich", fmt="RTF", data=rtf, method=1), 2: Clip("typed", method=2),
                              3: Clip("inserted", method=3), 4: Clip("copied only", method=0)})
        target.activate()
        press(s, "ctrl+1")
        wait_for(lambda: ("v", CONTROL_MASK) in target.keys(), PASTE_TIMEOUT, "Control+V sent for the rich text")
        pasted_at = time.monotonic()
        wait_for(lambda: "text/rtf" in s.clipboard_targets(), PASTE_TIMEOUT, "the rich text on the clipboard")
        # What the plain-text window asked for on Control+V, asked again (checked at the end, after the symptom).
        plain = s.run(["xclip", "-selection", "clipboard", "-t", "UTF8_STRING", "-o"], check=False)
        press(s, "ctrl+2")
        target.wait_for_text("typed", "clip 2 typed key by key")
        press(s, "ctrl+3")
        target.wait_for_text("typedinserted", "clip 3 pasted with Shift+Insert")
        keys_before = target.keys()
        press(s, "ctrl+4")
        wait_for(lambda: s.clipboard_get() == b"copied only", PASTE_TIMEOUT, "clip 4 on the clipboard")
        # The window's paste of the rich text has ended by now, had it still waited for an answer: nothing of a
        # later clip may arrive through it.
        watch = max(QUIET_PERIOD, pasted_at + TK_SELECTION_WAIT - time.monotonic())
        stays_true(lambda: target.text() == "typedinserted", watch,
                   "a clip with paste method 0 is only copied: the window's text stays as it was")
        # After clip 3 only the user's hotkey reaches the window (its Control; the 4 is grabbed).
        sent = [k for k in target.keys()[len(keys_before):] if k[0] != "Control_L"]
        check_equal(sent, [], "keys reaching the window after the copy-only clip")
        # The cause: plain text asked of the rich text must be refused outright. Answered with a property that is
        # never written, it left the window waiting until it gave up and asked again, for a later clip.
        check(plain.returncode != 0 and "not available" in plain.stderr,
              f"UTF8_STRING refused for rich text: status {plain.returncode}, {plain.stdout!r}, {plain.stderr!r}")
        check(zp.running(), "Zolpane keeps running")


if __name__ == "__main__":
    main(globals(), timeout=120)
