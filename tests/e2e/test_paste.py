"""Clips pasted into another application by the global hotkeys: the Tk window logs the key presses it gets.
Zolpane starts hidden on a default project written here, so that the Tk window is the last active window."""

import os
import subprocess
import sys
import textwrap
import time

import pytest

from conftest import CONTROL_MASK, LOCK_MASK, MOD2_MASK, QUIET, SHIFT_MASK, Clip, stays_true, wait_for

CTRL_V, SHIFT_INSERT = ("v", CONTROL_MASK), ("Insert", SHIFT_MASK)
RTF = r"{\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Rich \b bold\b0  text\par}"
# More letters missing from the US layout than Xvfb has spare keys: the keys are lent more than once.
CZECH = "Příliš žluťoučký kůň úpěl ďábelské ódy {a}+b~c ĚŠČŘŽÝÁÍÉÚŮŤĎŇÓĹĽŔÔÄÖÜ"
CZECH_TYPED = CZECH.replace("{", "").replace("}", "")


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


# Clip 1 names its method, clip 2 (method 4, unknown) takes the default method of the settings.
@pytest.mark.parametrize("method, clip1, clip2, pasted, shift_inserts", [
    (2, CZECH, Clip("long", fmt="TXT-LONG", data="x{y}(z)%\r\nline", method=4), [CZECH_TYPED, "xy(z)%\nline"], 0),
    (3, "ĚŠČ inserted", Clip("default method", method=4), ["ĚŠČ inserted", "default method"], 2)],
    ids=["key by key", "Shift+Insert"])
def test_paste_methods_reach_the_window(wm, tray, target, program, method, clip1, clip2, pasted, shift_inserts):
    program.start_hidden({1: Clip(clip1, method=method), 2: clip2}, code_page=1250, PasteMethod=method)
    target.activate()
    wm.key("ctrl+1")
    target.wait_text(pasted[0], "clip 1 pasted")
    assert wm.clipboard_get().decode() == clip1  # the clip as it is: typing, not pasting, drops the braces
    wm.key("ctrl+2")
    target.wait_text("".join(pasted), "clip 2 pasted with the default method")
    assert CTRL_V not in target.keys() and target.keys().count(SHIFT_INSERT) == shift_inserts, target.keys()


def test_picture_clip_puts_an_image_on_the_clipboard(wm, tray, target, program):
    # 7 pixels wide, so the bitmap's rows are padded; the top row differs, so upside-down would show.
    bmp, png = os.path.join(wm.root, "clip.bmp"), os.path.join(wm.root, "clipboard.png")
    wm.run("convert", "-size", "7x5", "xc:blue", "-fill", "red", "-draw", "rectangle 0,0 2,4", "-fill",
           "rgb(0,200,0)", "-draw", "rectangle 0,0 6,0", "-type", "TrueColor", "BMP3:" + bmp)
    with open(bmp, "rb") as f:
        program.start_hidden({1: Clip("a picture", fmt="IMG", data=f.read(), method=2)})
    target.activate()
    wm.key("ctrl+1")
    wait_for(lambda: "image/png" in wm.clipboard_targets(), "image/png among the clipboard's targets")
    assert not {"UTF8_STRING", "STRING", "TEXT", "text/plain"} & set(wm.clipboard_targets())
    with open(png, "wb") as f:
        f.write(wm.clipboard_get("image/png"))
    assert wm.run("identify", "-format", "%m %wx%h", png) == "PNG 7x5"
    differing = subprocess.run(["compare", "-metric", "AE", bmp, png, "null:"], capture_output=True, text=True)
    assert differing.stderr.strip() == "0", f"pixels differing from the clip: {differing.stderr}"
    # Key by key cannot type a picture: Control+V is sent instead.
    wait_for(lambda: CTRL_V in target.keys(), "Control+V sent for the picture")


def test_methods_in_a_row_and_copy_only_clips_send_nothing_more(wm, tray, target, program):
    zp = program.start_hidden({1: Clip("rich", fmt="RTF", data=RTF), 2: Clip("typed", method=2),
                               3: Clip("inserted", method=3), 4: Clip("method zero", method=0),
                               5: Clip("method five", method=5), 6: "six"})
    target.activate()
    wm.key("ctrl+1")
    # Control+V reaches the plain-text window, which finds nothing it can paste.
    wait_for(lambda: CTRL_V in target.keys(), "Control+V sent for the rich text")
    pasted_at = time.monotonic()
    wait_for(lambda: "text/rtf" in wm.clipboard_targets(), "text/rtf among the clipboard's targets")
    assert not {"UTF8_STRING", "STRING", "TEXT", "text/plain"} & set(wm.clipboard_targets())
    assert wm.clipboard_get("text/rtf") == RTF.encode()
    # Plain text asked of the rich text is refused outright: answered with a property never written, it left
    # the Tk window waiting, and a later clip arrived through that old paste.
    plain = subprocess.run(["xclip", "-selection", "clipboard", "-t", "UTF8_STRING", "-o"], env=wm.env(),
                           capture_output=True, text=True, timeout=30)
    assert plain.returncode != 0 and "not available" in plain.stderr, plain
    wm.key("ctrl+2")
    target.wait_text("typed", "clip 2 typed key by key")
    wm.key("ctrl+3")
    target.wait_text("typedinserted", "clip 3 pasted with Shift+Insert")
    before = len(target.keys())
    for clip, text in (("4", b"method zero"), ("5", b"method five")):
        wm.key("ctrl+" + clip)
        wait_for(lambda: wm.clipboard_get() == text, f"clip {clip} on the clipboard")
    # Tk waits up to five seconds for a clipboard owner's answer before it asks for another form: watched for
    # longer than that from the rich text's paste.
    stays_true(lambda: target.text() == "typedinserted", "clips of method 0 and 5 are only copied",
               max(QUIET, pasted_at + 8.0 - time.monotonic()))
    # Only the hotkeys' own keys may reach the window after clip 3: the program sends nothing.
    assert [k for k in target.keys()[before:] if k[0] not in ("Control_L", "4", "5")] == []
    assert target.keys().count(SHIFT_INSERT) == 1 and target.keys().count(CTRL_V) == 1, target.keys()
    wm.key("ctrl+q")  # paste next goes on from clip 5, the clip copied last
    target.wait_text("typedinsertedsix", "paste next to paste clip 6")
    assert zp.running()


def test_without_auto_paste_a_clip_is_only_copied(wm, tray, target, program):
    program.start_hidden({1: "copied only"}, AutoPaste=0)
    target.activate()
    wm.key("ctrl+1")
    wait_for(lambda: wm.clipboard_get() == b"copied only", "clip 1 on the clipboard")
    stays_true(lambda: target.text() == "" and CTRL_V not in target.keys(), "nothing may be pasted")


def test_paste_goes_to_the_previous_window_when_the_newest_is_closed(wm, tray, targets, program):
    older, newer = targets("Older"), targets("Newer")
    zp = program.start_hidden({1: "for the older window", 2: "for the newer window"})
    older.activate()
    wm.maximize(older.window)
    wait_for(lambda: "MAXIMIZED_HORZ" in wm.wm_state(older.window), "the older window to be maximized")
    newer.activate()
    wm.key("ctrl+2")
    newer.wait_text("for the newer window", "clip 2 pasted into the newer window")
    # The program's own window in front never enters the record: the newer window stays the newest.
    wm.key("ctrl+alt+h")
    window = program.main_window(zp)
    wm.activate(window)
    wm.close_window(newer.window)
    newer.process.wait()
    assert wm.active_window() == window
    wm.key("ctrl+1")
    older.wait_text("for the older window", "clip 1 pasted into the older window")
    assert "MAXIMIZED_HORZ" in wm.wm_state(older.window)


def test_copy_key_of_a_row_pastes_into_the_last_foreign_window(wm, tray, target, program):
    zp = program.start_hidden({1: Clip("long", fmt="TXT-LONG", data="a long clip\r\nof two lines")}, HideOnCopy=1)
    target.activate()
    wm.key("ctrl+alt+h")
    window = program.main_window(zp)
    wm.activate(window)
    wm.key("F2")  # the copy key of a row whose clip is not a simple one
    target.wait_text("a long clip\nof two lines", "clip 1 pasted into the Tk window")
    assert wm.clipboard_get() == b"a long clip\r\nof two lines"
    wait_for(lambda: not wm.is_viewable(window), "the main window to hide after the copy")


GRABBER = textwrap.dedent("""
    import ctypes, ctypes.util, sys
    x = ctypes.CDLL(ctypes.util.find_library("X11"))
    x.XOpenDisplay.argtypes, x.XOpenDisplay.restype = [ctypes.c_char_p], ctypes.c_void_p
    x.XDefaultRootWindow.argtypes, x.XDefaultRootWindow.restype = [ctypes.c_void_p], ctypes.c_ulong
    x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong] + [ctypes.c_int] * 3
    x.XSync.argtypes = x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    d = x.XOpenDisplay(None)
    for locks in (0, 2, 16, 18):  # Control with no lock, Caps Lock, Num Lock, both
        x.XGrabKey(d, x.XKeysymToKeycode(d, ord(sys.argv[1])), 4 | locks, x.XDefaultRootWindow(d), 1, 1, 1)
    x.XSync(d, 0)
    print("grabbed", flush=True)
    event = (ctypes.c_long * 24)()
    while True:
        x.XNextEvent(d, event)
        if event[0] & 0xffffffff == 2:
            print("pressed", flush=True)
""")


def test_a_hotkey_taken_by_another_client_is_refused_and_the_others_work(wm, tray, target, program):
    grabber = wm.start("grabber", [sys.executable, "-c", GRABBER, "2"])
    wait_for(lambda: "grabbed" in grabber.log(), "the other client to grab Ctrl+2")
    zp = program.start_hidden({1: "one", 2: "two", 3: "three"})
    assert "hotkey of clip 2 refused" in zp.log()  # the X error of the grab is not swallowed
    target.activate()
    wm.key("ctrl+1")
    target.wait_text("one", "clip 1 pasted")
    wm.key("ctrl+2")
    wait_for(lambda: "pressed" in grabber.log(), "Ctrl+2 to reach the client that grabbed it")
    wm.key("ctrl+3")
    target.wait_text("onethree", "clip 3 pasted; clip 2's taken hotkey did nothing")
    assert wm.clipboard_get() == b"three"
    shown = [w for w in map(int, wm.xdotool("search", "--pid", zp.pid).split()) if wm.is_viewable(w)]
    assert shown == program.tray_icons(zp), "a refused hotkey shows nothing"


def unchanged_length(target, seconds):
    """The length of the Tk window's text when it stays the same for seconds, else 0."""
    before = len(target.text())
    time.sleep(seconds)
    return before if len(target.text()) == before else 0


# The user's first key alone pauses the typing, whichever modifier it is: Control on the way to Ctrl+2, Shift
# on the way to Ctrl+Shift+2 (clip 12).
@pytest.mark.parametrize("first, then, pasted", [("ctrl", "2", "TWO"), ("shift", "ctrl+2", "TWELVE")],
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


@pytest.mark.parametrize("lock_keys", [["Caps_Lock"], ["Num_Lock"], ["Caps_Lock", "Num_Lock"]])
def test_hotkeys_of_every_group_work_with_the_lock_keys_on(wm, tray, target, program, lock_keys):
    program.start_hidden({1: "AbC", 11: Clip("dEf ŘÍ", method=2), 21: Clip("gHi", method=3)}, code_page=1250)
    target.activate()
    wm.key(*lock_keys)
    locks = (LOCK_MASK if "Caps_Lock" in lock_keys else 0) | (MOD2_MASK if "Num_Lock" in lock_keys else 0)
    wait_for(lambda: wm.modifier_state() & (LOCK_MASK | MOD2_MASK) == locks, "the lock keys to be on")
    wm.key("ctrl+1")
    target.wait_text("AbC", "clip 1 pasted with Control+V")
    wm.key("ctrl+shift+1")  # typed key by key, the letters keep their case
    target.wait_text("AbCdEf ŘÍ", "clip 11 typed key by key")
    wm.key("ctrl+alt+1")
    target.wait_text("AbCdEf ŘÍgHi", "clip 21 pasted with Shift+Insert")
    assert wm.modifier_state() & (LOCK_MASK | MOD2_MASK) == locks


def test_with_every_recorded_window_gone_the_clip_is_still_copied(wm, tray, targets, program):
    first = targets("Target")
    zp = program.start_hidden({1: "still copied", 2: "two"})
    first.activate()
    wm.close_window(first.window)
    first.process.wait()
    wm.key("ctrl+1")
    wait_for(lambda: wm.clipboard_get() == b"still copied", "clip 1 on the clipboard")
    stays_true(zp.running, "Zolpane must keep running")
    # A new window is recorded as soon as it is active, and receives the next paste.
    again = targets("Again")
    again.activate()
    wm.key("ctrl+2")
    again.wait_text("two", "clip 2 pasted into the new window")
