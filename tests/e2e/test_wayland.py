"""Clips pasted on a Wayland desktop: the desktop's shortcut runs `zolpane --paste N`, and the running instance
pastes into the window in front through the compositor's virtual keyboard and data-control. Here the program is a
Wayland client itself (no DISPLAY); test_wayland_xwayland.py runs the same cases with the program on XWayland."""

import os
import subprocess

from processes import stays_true, wait_for
from zolpane_files import Clip
from test_paste import RTF
from wayland_session import QtTarget, Terminal, sway, weston, xwayland  # noqa: F401 (fixtures)

# Czech letters and signs the user's (US) layout lacks, and a few it has, typed key by key (no braces: typing
# leaves them out).
CZECH = "Příliš žluťoučký kůň úpěl ďábelské ódy „€ 5 × 3“ +b~c%^"
# What a desktop without the three protocols must fall back from, named in the program's log.
PROTOCOLS = ("zwp_virtual_keyboard_manager_v1", "zwlr_foreign_toplevel_manager_v1", "data_control_manager")


def test_the_session_with_stand_ins(sway):
    """The session's own parts, with wl-copy and wtype in the program's place."""
    target = QtTarget(sway, "A")
    sway.msg("bindsym Ctrl+Alt+0 exec wl-copy -- 'stand-in € ×'")
    with sway.holding_ctrl(0):
        wait_for(lambda: sway.paste("text") == "stand-in € ×".encode(), "the bound command to copy")
        # Keys of another keyboard are its own: the Ctrl held on the user's does not reach them.
        sway.keys("-M", "ctrl", "v", "-m", "ctrl", "-k", "Return", "x")
        target.wait_text("stand-in € ×\nx", "Ctrl+V and keys while Ctrl is held")
    sway.start("wl-copy", "wl-copy", "--foreground", "--primary", "--", "primary\nselection")
    wait_for(lambda: sway.run("wl-paste", "-n", "-p", check=False).stdout == "primary\nselection", "the selection")
    terminal = Terminal(sway)
    sway.keys("-M", "shift", "-k", "Insert", "-m", "shift")
    wait_for(lambda: terminal.received() == b"primary\rselection", "Shift+Insert to paste the primary selection")
    sway.focus("A")
    sway.press(0)
    sway.keys("y")
    target.wait_text("stand-in € ×\nxy", "a key after the focus moved back and a binding")


def test_bindings_paste_into_the_window_in_front(sway):
    multi = Clip("multi", fmt="TXT-LONG", data="first line\r\n\tsecond\r\nthird")
    sway.start_zolpane({1: "one line", 2: Clip(CZECH, method=2), 3: Clip("for the terminal", method=3), 4: multi},
                       code_page=1250)
    target = QtTarget(sway, "A")
    for n, added in ((1, "one line"), (2, CZECH), (4, "first line\n\tsecond\nthird")):
        expected = target.text() + added
        sway.press(n)
        target.wait_text(expected, f"clip {n} pasted")
    terminal = Terminal(sway)
    sway.press(3)
    wait_for(lambda: terminal.received() == b"for the terminal", "clip 3 pasted with Shift+Insert into the terminal")
    assert sway.paste("text") == b"for the terminal"
    stays_true(lambda: target.text().endswith("third"), "nothing may reach the window behind")


def test_rich_text_and_picture_clips_are_served_to_another_window(sway):
    work = os.path.join(sway.desktop.root, "work")
    bmp, png = os.path.join(work, "clip.bmp"), os.path.join(work, "clipboard.png")
    subprocess.run(["convert", "-size", "7x5", "xc:blue", "-fill", "red", "-draw", "rectangle 0,0 2,4", "-fill",
                    "rgb(0,200,0)", "-draw", "rectangle 0,0 6,0", "-type", "TrueColor", "BMP3:" + bmp], check=True)
    with open(bmp, "rb") as f:
        sway.start_zolpane({1: Clip("rich", fmt="RTF", data=RTF), 2: Clip("a picture", fmt="IMG", data=f.read())})
    target = QtTarget(sway, "A")
    sway.press(1)
    target.wait_text("Rich bold text", "the rich text's plain text pasted")
    assert sway.focused().get("app_id") == "A" and sway.paste("text/rtf") == RTF.encode()
    sway.press(2)
    wait_for(lambda: sway.paste("image/png").startswith(b"\x89PNG"), "the picture on the clipboard")
    with open(png, "wb") as f:
        f.write(sway.paste("image/png"))
    differing = subprocess.run(["compare", "-metric", "AE", bmp, png, "null:"], capture_output=True, text=True)
    assert differing.stderr.strip() == "0", f"pixels differing from the clip: {differing.stderr}"
    assert sway.focused().get("app_id") == "A" and target.text() == "Rich bold text"


def test_the_program_window_in_front_pastes_into_the_last_other_window(sway):
    zp = sway.start_zolpane({1: "for B"})
    a, b = QtTarget(sway, "A"), QtTarget(sway, "B")
    sway.focus("A")
    sway.focus("B")
    assert sway.zolpane("--show").returncode == 0
    wait_for(lambda: sway.focused().get("pid") == zp.pid, "the main window to take the focus")
    sway.press(1)
    b.wait_text("for B", "clip 1 pasted into B")
    assert a.text() == ""


def test_a_held_ctrl_does_not_change_the_pasted_text(sway):
    sway.start_zolpane({1: Clip("avx held", method=2), 2: Clip("held too", method=3)})
    target = QtTarget(sway, "A")
    for n, expected in ((1, "avx held"), (2, "avx heldheld too")):
        with sway.holding_ctrl(n):  # Ctrl+A, Ctrl+V, Ctrl+X or Ctrl+Shift+Insert would edit the text
            stays_true(lambda: expected.startswith(target.text()), f"only clip {n} may arrive while Ctrl is held")
        target.wait_text(expected, f"clip {n} pasted")


def test_the_clipboard_text_of_another_client_is_read_and_replaced(sway):
    """The clipboard menu's commands work on the text another application copied, without our window's focus."""
    sway.start("wl-copy", "wl-copy", "--foreground", "--", "Grüße from another client")
    probe = sway.start("probe", os.environ["ZP_PLATFORM_PROBE"], "--clipboard", "Grüße from another client",
                       QT_QPA_PLATFORM="offscreen")
    wait_for(lambda: "read" in probe.log(), "the other client's text read", alive=probe)
    wait_for(lambda: sway.paste("text") == b"replaced by the probe", "the probe's text on the clipboard", alive=probe)


def test_a_desktop_without_the_protocols(weston):
    zp = weston.start_zolpane({1: "nowhere"})
    wait_for(lambda: all(name in zp.log() for name in PROTOCOLS), f"the fallbacks for {PROTOCOLS} logged", alive=zp)
    result = weston.zolpane("--paste", "1")
    assert (result.returncode, result.stderr) == (0, ""), result
    stays_true(zp.running, "the program keeps running")
