"""The clip editor opened from a row of the main window: what it hands back is what the clip's hotkey pastes."""

import os
import subprocess

from conftest import Clip, wait_for

EDITOR_TITLE = "Configure Clip to Paste"
RTF = r"{\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Rich \b bold\b0  text\par}"


def open_editor(wm, program, clips):
    """Starts with the main window on a project of clips, and opens the editor on row 1 with F3."""
    program.write_settings()
    os.makedirs(program.path("projects"), exist_ok=True)
    program.write_project("default.zp", clips, program.path("projects"))
    zp = program.start()
    wm.activate(program.main_window(zp))
    return zp, reopen(wm, zp)


def reopen(wm, zp):
    wm.key("F3")
    editor = wm.wait_for_window(EDITOR_TITLE, pid=zp.pid)
    wait_for(lambda: wm.active_window() == editor, "the editor to take the focus")
    return editor


def closed(wm, zp):
    wait_for(lambda: not wm.windows(EDITOR_TITLE, pid=zp.pid, visible=True), "the editor to close")


def test_long_text_typed_in_the_editor_is_pasted_whole_and_cancel_keeps_it(wm, tray, target, program):
    zp, _ = open_editor(wm, program, {})
    wm.type_text("first line")
    wm.key("Return")
    wm.type_text("second line")
    wm.key("F1")
    closed(wm, zp)
    target.activate()
    wm.key("ctrl+1")
    target.wait_text("first line\nsecond line", "the long clip pasted whole")
    wm.activate(program.main_window(zp))
    reopen(wm, zp)
    wm.type_text("more")
    wm.key("F2")  # hands nothing back
    closed(wm, zp)
    target.activate()
    wm.key("ctrl+1")
    target.wait_text("first line\nsecond line" * 2, "the clip unchanged by the cancelled edit")


def load_with_f4(wm, zp, path):
    """F4 in the editor and the file's name typed into the open dialog; returns once the dialog has closed."""
    wm.key("F4")
    dialog = wm.wait_for_window("Open File", pid=zp.pid)
    wait_for(lambda: wm.active_window() == dialog, "the file dialog to take the focus")
    wm.type_text(path)
    wm.key("Return")
    wait_for(lambda: not wm.windows("Open File", pid=zp.pid, visible=True), "the file dialog to close")


def assert_hotkey_pastes_picture(wm, zp, target, expected):
    """Closes the editor with F1; clip 1's hotkey then puts a picture of the same pixels as the file on the
    clipboard."""
    pasted = os.path.join(wm.root, "pasted.png")
    wm.key("F1")
    closed(wm, zp)
    target.activate()
    wm.key("ctrl+1")
    wait_for(lambda: "image/png" in wm.clipboard_targets(), "the picture on the clipboard")
    with open(pasted, "wb") as f:
        f.write(wm.clipboard_get("image/png"))
    assert wm.run("identify", "-format", "%wx%h", pasted) == wm.run("identify", "-format", "%wx%h", expected)
    differing = subprocess.run(["compare", "-metric", "AE", expected, pasted, "null:"], capture_output=True, text=True)
    assert differing.stderr.strip() == "0", f"pixels differing from {expected}: {differing.stderr}"


def old_picture_clip(wm):
    """A 2 x 2 grey picture clip, and the same picture as a PNG file."""
    png = os.path.join(wm.root, "old.png")
    wm.run("convert", "-size", "2x2", "xc:gray", png)
    bmp = subprocess.run(["convert", png, "BMP3:-"], capture_output=True, check=True).stdout
    return Clip("(IMG) Old", fmt="IMG", data=bmp), png


def test_picture_loaded_with_f4_is_what_the_hotkey_puts_on_the_clipboard(wm, tray, target, program):
    png = os.path.join(wm.root, "load.png")
    wm.run("convert", "-size", "9x6", "xc:yellow", "-fill", "purple", "-draw", "rectangle 0,0 3,2", png)
    zp, editor = open_editor(wm, program, {1: old_picture_clip(wm)[0]})
    load_with_f4(wm, zp, png)
    wait_for(lambda: wm.active_window() == editor, "the editor to have the focus again")
    assert_hotkey_pastes_picture(wm, zp, target, png)


def test_an_unreadable_picture_loaded_with_f4_is_refused_and_the_clip_keeps_its_picture(wm, tray, target, program):
    cut = os.path.join(wm.root, "cut.png")
    wm.run("convert", "-size", "64x64", "gradient:red-blue", cut)
    with open(cut, "r+b") as f:  # a PNG cut off in the middle of its image data
        f.truncate(os.path.getsize(cut) // 2)
    clip, old = old_picture_clip(wm)
    zp, editor = open_editor(wm, program, {1: clip})
    load_with_f4(wm, zp, cut)
    box = wm.wait_for_window("Zolpane - Error", pid=zp.pid)
    wait_for(lambda: wm.active_window() == box, "the error box to take the focus")
    wm.key("Return")
    wait_for(lambda: wm.active_window() == editor, "the editor to have the focus again")
    assert_hotkey_pastes_picture(wm, zp, target, old)


def test_rich_text_handed_back_keeps_its_text_and_formatting(wm, tray, target, program):
    zp, editor = open_editor(wm, program, {1: Clip("(RTF) Rich", fmt="RTF", data=RTF)})
    # The custom name has the focus after opening a rich text clip; a click goes into the text.
    wm.xdotool("mousemove", "--window", editor, 200, 150, "click", "1")
    wm.key("ctrl+End")
    wm.type_text(" more")
    wm.key("F1")
    closed(wm, zp)
    target.activate()
    wm.key("ctrl+1")
    wait_for(lambda: "text/rtf" in wm.clipboard_targets(), "the rich text on the clipboard")
    rtf = wm.clipboard_get("text/rtf").decode("ascii")
    assert rtf.startswith("{\\rtf1") and "\\b" in rtf, rtf
    assert "Rich" in rtf and "bold" in rtf and "text more" in rtf, rtf
