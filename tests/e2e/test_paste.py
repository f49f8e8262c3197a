"""Clips pasted by the global hotkeys into a Tk window, which logs the key presses it gets; Zolpane starts
hidden on a default project written here."""

import os
import re
import subprocess
import time

import pytest

from processes import QUIET, stays_true, wait_for
from x11_client import CONTROL_MASK, LOCK_MASK, MOD2_MASK, SHIFT_MASK
from zolpane_files import Clip

CTRL_V, SHIFT_INSERT = ("v", CONTROL_MASK), ("Insert", SHIFT_MASK)
RTF = r"{\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Rich \b bold\b0  text\par}"
# More letters missing from the US layout than Xvfb has spare keys: the keys are lent more than once.
CZECH = "Příliš žluťoučký kůň úpěl ďábelské ódy {a}+b~c ĚŠČŘŽÝÁÍÉÚŮŤĎŇÓĹĽŔÔÄÖÜ"


@pytest.mark.parametrize("release_first", ["1", "ctrl"])
def test_clip_hotkey_pastes_once_every_key_is_released(wm, tray, target, program, release_first):
    program.start_hidden({1: "first clip", 2: "second clip"})
    wm.clipboard_set("before")
    target.activate()
    untouched = lambda: target.text() == "" and wm.clipboard_get() == b"before"  # noqa: E731
    wm.xdotool("keydown", "ctrl+1")  # held past the autorepeat delay: repeated presses paste nothing more
    try:
        stays_true(untouched, "nothing may happen while Ctrl+1 is held")
    finally:
        wm.xdotool("keyup", release_first)
    stays_true(untouched, "nothing may happen while a key of the hotkey is still held", 0.5)
    wm.xdotool("keyup", "ctrl" if release_first == "1" else "1")
    target.wait_text("first clip", "clip 1 pasted")
    assert CTRL_V in target.keys()
    wm.key("ctrl+2")
    target.wait_text("first clipsecond clip", "clip 2 pasted after clip 1")


def test_rich_text_and_picture_clips_and_methods_in_a_row(wm, tray, target, program):
    # 7 pixels wide, so the bitmap's rows are padded; the top row differs, so upside-down would show.
    bmp, png = os.path.join(wm.root, "clip.bmp"), os.path.join(wm.root, "clipboard.png")
    wm.run("convert", "-size", "7x5", "xc:blue", "-fill", "red", "-draw", "rectangle 0,0 2,4", "-fill",
           "rgb(0,200,0)", "-draw", "rectangle 0,0 6,0", "-type", "TrueColor", "BMP3:" + bmp)
    with open(bmp, "rb") as f:
        program.start_hidden({1: Clip("rich", fmt="RTF", data=RTF), 2: Clip("typed", method=2),
                              3: Clip("inserted", method=3), 4: Clip("a picture", fmt="IMG", data=f.read(), method=2),
                              5: Clip("copied only", method=0), 6: Clip("five", method=3)})
    wm.clipboard_set("rm -rf ~/old-selection", selection="primary")  # a stale mouse selection
    target.activate()
    wm.key("ctrl+1")
    # The rich text in RTF first, for word processors, and as HTML and plain text for everyone else: the
    # plain-text window takes the text.
    target.wait_text("Rich bold text", "the rich text's plain text pasted")
    targets = wm.clipboard_targets()
    assert targets[0] == "text/rtf" and {"text/html", "UTF8_STRING", "text/plain;charset=utf-8"} <= set(targets)
    assert wm.clipboard_get("text/rtf") == RTF.encode()
    assert re.search(rb"font-weight:\s*[67]00;?\">bold<", wm.clipboard_get("text/html"))
    wm.key("ctrl+2")
    target.wait_text("Rich bold texttyped", "clip 2 typed key by key")
    assert wm.clipboard_get(selection="primary") == b"rm -rf ~/old-selection"  # Control+V leaves it alone
    wm.key("ctrl+3")
    target.wait_text("Rich bold texttypedinserted", "clip 3 pasted with Shift+Insert")
    # Terminals paste the primary selection on Shift+Insert: the clip is there too, served as on the clipboard.
    assert wm.clipboard_get(selection="primary") == b"inserted"
    assert "UTF8_STRING" in wm.clipboard_get("TARGETS", selection="primary").decode().split()
    # A form the clip lacks is refused at once there too, not answered with data that never comes.
    refused = subprocess.run(["xclip", "-selection", "primary", "-t", "image/png", "-o"], env=wm.env(),
                             capture_output=True, text=True, timeout=30)
    assert refused.returncode != 0 and "not available" in refused.stderr, refused
    wm.key("ctrl+4")  # key by key cannot type a picture: Control+V is sent instead
    wait_for(lambda: target.keys().count(CTRL_V) == 2, "Control+V sent for the picture")
    pasted_at = time.monotonic()
    assert not {"UTF8_STRING", "STRING", "TEXT", "text/plain"} & set(wm.clipboard_targets())
    with open(png, "wb") as f:
        f.write(wm.clipboard_get("image/png"))
    assert wm.run("identify", "-format", "%m %wx%h", png) == "PNG 7x5"
    differing = subprocess.run(["compare", "-metric", "AE", bmp, png, "null:"], capture_output=True, text=True)
    assert differing.stderr.strip() == "0", f"pixels differing from the clip: {differing.stderr}"
    wm.key("ctrl+5")  # paste method 0: only copied
    wait_for(lambda: wm.clipboard_get() == b"copied only", "clip 5 on the clipboard")
    # Tk waits up to five seconds for a clipboard owner's answer before it asks for another form: watched for
    # longer than that from the picture's paste, nothing of the copy-only clip may arrive.
    stays_true(lambda: target.text() == "Rich bold texttypedinserted", "nothing more may arrive",
               max(QUIET, pasted_at + 8.0 - time.monotonic()))
    wm.key("ctrl+q")  # paste next goes on from clip 5, the clip copied last
    target.wait_text("Rich bold texttypedinsertedfive", "paste next to paste clip 6")
    assert target.keys().count(SHIFT_INSERT) == 2 and target.keys().count(CTRL_V) == 2, target.keys()


def test_copy_key_pastes_into_the_previous_window_when_the_newest_is_closed(wm, tray, targets, program):
    older, newer = targets("Older"), targets("Newer")
    zp = program.start_hidden({1: Clip("long", fmt="TXT-LONG", data="for the older\r\nwindow"), 2: "for the newer"},
                              HideOnCopy=1)
    older.activate()
    wm.maximize(older.window)
    wait_for(lambda: "MAXIMIZED_HORZ" in wm.wm_state(older.window), "the older window to be maximized")
    newer.activate()
    wm.key("ctrl+2")
    newer.wait_text("for the newer", "clip 2 pasted into the newer window")
    # The program's own window in front never enters the record: the newer window stays the newest.
    wm.key("ctrl+alt+h")
    window = program.main_window(zp)
    wm.activate(window)
    wm.close_window(newer.window)
    newer.process.wait()
    assert wm.active_window() == window
    wm.key("F2")  # the copy key of row 1, whose clip is not a simple one
    older.wait_text("for the older\nwindow", "clip 1 pasted into the older window")
    assert wm.clipboard_get() == b"for the older\nwindow" and "MAXIMIZED_HORZ" in wm.wm_state(older.window)
    wait_for(lambda: not wm.is_viewable(window), "the main window to hide after the copy")


def test_a_paste_whose_window_never_gets_the_focus_is_not_reported_as_pasted(wm, tray, target, program):
    zp = program.start_hidden({1: "lost"})
    for window in wm.windows("wmsystemtray", visible=True):  # else the focus falls back to the tray host
        wm.xdotool("windowunmap", window)
    target.activate()
    wm.xdotool("windowunmap", target.window)  # still there, so activating it succeeds, but it never gets the focus
    wm.key("ctrl+1")
    wait_for(lambda: "clip 1 not pasted: the last active application did not get the focus" in zp.log(),
             "the failed paste to be reported")
    assert target.text() == "" and wm.clipboard_get() == b"lost"


def unchanged_length(target, seconds):
    before = len(target.text())
    time.sleep(seconds)
    return before if len(target.text()) == before else 0


# The user's first key alone pauses the typing, whichever modifier it is: Control on the way to Ctrl+2, Shift
# on the way to Ctrl+Shift+2 (clip 12). The user's Shift is the right one: xdotool presses its keys through the
# same XTest device as the typing, which lets go of the left Shift after each capital and so would let go of a
# left Shift xdotool holds too (a real keyboard is a device of its own).
@pytest.mark.parametrize("first, then, pasted", [("ctrl", "2", "TWO"), ("Shift_R", "ctrl+2", "TWELVE")],
                         ids=["Control", "Shift"])
def test_a_hotkey_pressed_while_a_clip_is_typed_waits_for_the_typing(wm, tray, target, program, first, then, pasted):
    # 3,000 characters of signs and letters missing from the layout: none does anything in the Tk window when
    # typed with Control, where letters would be editing commands and digits our own hotkeys.
    typed = "ČŘŽ (+;) [~,] %^| {Ů} .=- " * 111
    expected = typed.replace("{", "").replace("}", "")
    zp = program.start_hidden({1: Clip(typed, method=2), 2: "TWO", 12: "TWELVE"}, code_page=1250)
    target.activate()
    wm.key("ctrl+1")
    wait_for(lambda: len(target.text()) > 20, "the typing of clip 1 to begin")
    pauses = zp.log().count("typing pauses")
    # The modifier goes down alone first: the typing pauses, so that no typed key becomes a shortcut or another
    # character and no typed Shift changes the hotkey. The typing goes on only once every key is up.
    wm.xdotool("keydown", first)
    try:
        assert len(target.text()) < len(expected), f"clip 1 is still being typed when {first} goes down"
        wait_for(lambda: zp.log().count("typing pauses") > pauses, f"the typing to pause while {first} is down")
        so_far = wait_for(lambda: unchanged_length(target, 0.5), "the text typed before the pause")
        assert so_far < len(expected)
        wm.xdotool("keydown", then)
        try:
            stays_true(lambda: len(target.text()) == so_far, f"typing must wait while {first}+{then} is down", 0.3)
        finally:
            wm.xdotool("keyup", then)
    finally:
        wm.xdotool("keyup", first)
    wait_for(lambda: target.text().endswith(pasted), f"{pasted} pasted after clip 1", timeout=30)
    # A modifier pressed at the very moment a typed key is on its way to the server may still meet that one:
    # with Control it is lost, with Shift it may become another character.
    text = target.text()[:-len(pasted)]
    n = next((i for i, (a, e) in enumerate(zip(text, expected)) if a != e), len(text))
    assert text == expected or len(text) == len(expected) - 1 and text[n:] == expected[n + 1:] \
        or len(text) == len(expected) and text[n + 1:] == expected[n + 1:], \
        f"clip 1 typed in full but for one character at most: {len(text)} of {len(expected)}, first difference at {n}"


# Key by key types what the layout lacks and keeps the letters' case; the hotkeys of every group work with the
# lock keys on. Clip 11 (method 4) takes the default method of the settings.
@pytest.mark.parametrize("lock_keys", [["Caps_Lock"], ["Num_Lock"], ["Caps_Lock", "Num_Lock"]])
def test_every_group_and_key_by_key_with_the_lock_keys(wm, tray, target, program, lock_keys):
    long = Clip("long", fmt="TXT-LONG", data="x{y}(z)%\r\nline", method=2)
    program.start_hidden({1: "AbC", 11: Clip(CZECH, method=4), 12: long, 21: Clip("gHi", method=3)}, code_page=1250,
                         PasteMethod=2)
    target.activate()
    wm.key(*lock_keys)
    locks = (LOCK_MASK if "Caps_Lock" in lock_keys else 0) | (MOD2_MASK if "Num_Lock" in lock_keys else 0)
    wait_for(lambda: wm.modifier_state() & (LOCK_MASK | MOD2_MASK) == locks, "the lock keys to be on")
    typed = CZECH.replace("{", "").replace("}", "")
    for hotkey, text, what in (("ctrl+1", "AbC", "clip 1 pasted with Control+V"),
                               ("ctrl+shift+1", "AbC" + typed, "clip 11 typed key by key"),
                               ("ctrl+shift+2", "AbC" + typed + "xy(z)%\nline", "clip 12 typed key by key"),
                               ("ctrl+alt+1", "AbC" + typed + "xy(z)%\nlinegHi", "clip 21 pasted with Shift+Insert")):
        wm.key(hotkey)
        target.wait_text(text, what)
    keys = [(key, state & ~(LOCK_MASK | MOD2_MASK)) for key, state in target.keys()]
    assert keys.count(CTRL_V) == 1 and keys.count(SHIFT_INSERT) == 1, keys
    assert wm.modifier_state() & (LOCK_MASK | MOD2_MASK) == locks
