"""The clip editor opened from a row of the main window: what it hands back is what the clip's hotkey pastes."""

import os
import subprocess

import pytest

from processes import wait_for
from zolpane_files import Clip

EDITOR_TITLE = "Configure Clip to Paste"
RTF = r"{\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Rich \b bold\b0  text\par}"


def open_editor(wm, program, clips):
    """Starts with the main window on a project of clips, and opens the editor on row 1 with F3."""
    program.write_settings()
    os.makedirs(program.path("projects"), exist_ok=True)
    program.write_project("default.zp", clips, program.path("projects"))
    zp = program.start()
    wm.activate(program.main_window(zp))
    wm.key("F3")
    editor = wm.wait_for_window(EDITOR_TITLE, pid=zp.pid)
    wait_for(lambda: wm.active_window() == editor, "the editor to take the focus")
    return zp, editor


def closed(wm, zp):
    wait_for(lambda: not wm.windows(EDITOR_TITLE, pid=zp.pid, visible=True), "the editor to close")


@pytest.mark.parametrize("readable", [True, False], ids=["picture", "unreadable picture"])
def test_a_picture_loaded_with_f4_is_what_the_hotkey_pastes_and_an_unreadable_one_is_refused(wm, tray, target, program,
                                                                                              readable):
    old, load, pasted = (os.path.join(wm.root, name) for name in ("old.png", "load.png", "pasted.png"))
    wm.run("convert", "-size", "2x2", "xc:gray", old)
    bmp = subprocess.run(["convert", old, "BMP3:-"], capture_output=True, check=True).stdout
    wm.run("convert", *(["-size", "9x6", "xc:yellow", "-fill", "purple", "-draw", "rectangle 0,0 3,2"] if readable
                        else ["-size", "64x64", "gradient:red-blue"]), load)
    if not readable:
        with open(load, "r+b") as f:  # a PNG cut off in the middle of its image data
            f.truncate(os.path.getsize(load) // 2)
    zp, editor = open_editor(wm, program, {1: Clip("(IMG) Old", fmt="IMG", data=bmp)})
    wm.key("F4")
    dialog = wm.wait_for_window("Open File", pid=zp.pid)
    wait_for(lambda: wm.active_window() == dialog, "the file dialog to take the focus")
    wm.type_text(load)
    wm.key("Return")
    wait_for(lambda: not wm.windows("Open File", pid=zp.pid, visible=True), "the file dialog to close")
    if not readable:
        box = wm.wait_for_window("Zolpane - Error", pid=zp.pid)
        wait_for(lambda: wm.active_window() == box, "the error box to take the focus")
        wm.key("Return")
    wait_for(lambda: wm.active_window() == editor, "the editor to have the focus again")
    wm.key("F1")
    closed(wm, zp)
    target.activate()
    wm.key("ctrl+1")  # puts the loaded picture, or the old one kept, on the clipboard
    wait_for(lambda: "image/png" in wm.clipboard_targets(), "the picture on the clipboard")
    with open(pasted, "wb") as f:
        f.write(wm.clipboard_get("image/png"))
    expected = load if readable else old
    assert wm.run("identify", "-format", "%wx%h", pasted) == wm.run("identify", "-format", "%wx%h", expected)
    differing = subprocess.run(["compare", "-metric", "AE", expected, pasted, "null:"], capture_output=True, text=True)
    assert differing.stderr.strip() == "0", f"pixels differing from {expected}: {differing.stderr}"


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
