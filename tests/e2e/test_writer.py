"""Clips pasted into LibreOffice Writer with its X11 plugin, which takes a key pressed again at once for the
keyboard's auto-repeat, and which reuses the list of clipboard forms it read up to two seconds before."""

import time

from processes import wait_for
from zolpane_files import Clip

RTF = r"{\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Rich \b bold\b0  text\par}"
TYPED = "2000 aabbcc Mississippi 1100\n\nzz ee"


def test_repeated_keys_typed_key_by_key_all_arrive(wm, tray, writer, program):
    program.start_hidden({1: Clip("typed", fmt="TXT-LONG", data=TYPED.replace("\n", "\r\n"), method=2)})
    wm.activate(writer.window)
    wm.key("ctrl+1")
    time.sleep(2)  # the typing takes a fraction of that; a select-all amid it would be typed over
    wait_for(lambda: writer.select_all() == TYPED.encode(), f"the clip typed into Writer ({TYPED!r})")


def test_clips_of_other_kinds_pasted_over_a_selection_one_after_another(wm, tray, writer, program):
    program.start_hidden({1: Clip("rich", fmt="RTF", data=RTF), 2: "plain clip"})
    wm.activate(writer.window)
    wm.type_text("some words")
    writer.select_all()
    # Each paste replaces the selected text soon after the one before, while Writer may still hold the list of
    # forms of the clip before: refused the form it expects, it would show a modal box that takes every key.
    # (A pasted paragraph leaves an empty one after it.)
    for hotkey, text in (("ctrl+1", "Rich bold text"), ("ctrl+2", "plain clip"), ("ctrl+1", "Rich bold text")):
        wm.key(hotkey)
        wait_for(lambda: writer.select_all().rstrip(b"\n") == text.encode(), f"{text!r} pasted over the selection")
    assert b"<b>bold</b>" in writer.select_all("text/html")
