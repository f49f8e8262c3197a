"""The tray icon and menu, the clipboard menu of Ctrl+Alt+G and the clip menu of Ctrl+Alt+C. Open menus are
driven with the keyboard; the pointer rests clear of every window, so no item is highlighted by hovering."""

import os
import re
import time

import pytest

from conftest import MAIN_TITLE, start_tray_host
from processes import stays_true, wait_for

pytestmark = pytest.mark.no_autorepeat
MENU_POINT = (700, 300)


def popups(d, zp):
    """The program's open menus: shown override-redirect windows straight under the root, not tooltips."""
    found = []
    for wid in map(int, d.xdotool("search", "--onlyvisible", "--pid", zp.pid, check=False).split()):
        tree = d.window_info(wid, "-children")
        root, parent = (re.search(rf"{kind} window id: (\S+)", tree) for kind in ("Root", "Parent"))
        if ("Override Redirect State: yes" in d.window_info(wid) and root and parent and root[1] == parent[1]
                and "_NET_WM_WINDOW_TYPE_TOOLTIP" not in d.run("xprop", "-id", str(wid), "_NET_WM_WINDOW_TYPE")):
            found.append(wid)
    return found


_last_click = [0.0]


def open_menu(d, zp, opener, *keys):
    """Opens a menu, by a hotkey over the active window or by a right click on the tray icon whose id is opener
    (clicks keep a second apart, so that no two make a double click), then chooses an item with keys."""
    if isinstance(opener, int):
        time.sleep(max(0.0, _last_click[0] + 1.0 - time.monotonic()))
        d.xdotool("mousemove", "--window", opener, 8, 8)
        d.xdotool("click", 3)
        _last_click[0] = time.monotonic()
    else:
        d.xdotool("mousemove", *MENU_POINT)
        d.key(opener)
    # Keys sent before the menu holds the keyboard reach the focused window.
    wait_for(lambda: len(popups(d, zp)) == 1 and d.keyboard_grabbed(), f"the menu of {opener}")
    d.key(*keys)
    wait_for(lambda: not popups(d, zp), f"the menus to close after {keys}")


def test_nowindow_then_the_tray_icon_and_menu_show_hide_switch_run_at_startup_and_exit(wm, tray, program):
    entry = os.path.join(wm.config_home, "autostart", "ZolpaneSW.desktop")
    os.makedirs(os.path.dirname(entry))
    with open(entry, "w") as f:
        f.write('[Desktop Entry]\nType=Application\nName=Zolpane\nExec="/old/place/zolpane" nowindow\n')
    program.write_settings(RunOnStartup=1)
    zp = program.start("NOWINDOW")
    icon = program.wait_for_tray_icon(zp)
    wait_for(lambda: f'Exec="{program.bin}" nowindow' in open(entry).read().splitlines(),
             "the start-up to write the program's current path into the autostart entry")
    # A hand-over is read by the main window's timer, which runs once start-up (which shows the window when it
    # does) has finished: once the file is consumed, the window would be shown by now.
    program.start(program.write_project("probe.zp", {}), name="zolpane-second").wait()
    wait_for(lambda: not os.path.exists(program.path("loadbuff.dat")), "the hand-over file to be consumed")
    stays_true(lambda: not wm.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True), "nowindow: the window hidden")
    wm.xdotool("mousemove", "--window", icon, 8, 8)
    wm.xdotool("click", 1)  # a left click shows the window
    window = program.main_window(zp)
    wait_for(lambda: wm.active_window() == window, "the shown main window to be active")
    open_menu(wm, zp, icon, "Down", "Down", "Return")  # "Hide &Zolpane"; "Show &Zolpane" shares the key
    wait_for(lambda: not wm.is_viewable(window), "the main window to be hidden")
    open_menu(wm, zp, icon, "Down", "Return")
    wait_for(lambda: wm.is_viewable(window) and wm.active_window() == window, "the main window shown and active")
    # "&Options" is reached from below: "E&xit" is the last item, and "C&opy To Clipboard" shares its key.
    open_menu(wm, zp, icon, "Up", "Up", "Right", "r")  # "&Run At Startup"
    wait_for(lambda: not os.path.exists(entry), "the autostart entry to be removed")
    open_menu(wm, zp, icon, "x")  # "E&xit"
    assert zp.wait() == 0 and not wm.windows("Zolpane", visible=True)


def test_without_a_tray_host_the_hotkey_shows_the_window_and_the_icon_docks_later(wm, program):
    program.write_settings()
    zp = program.start("nowindow")
    stays_true(lambda: zp.running() and not wm.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True),
               "the program must run, hidden, without a tray host")

    def shown_after_hotkey():
        # Pressed again until it works: nothing tells from outside when the hotkeys are registered.
        wm.key("ctrl+alt+h")
        time.sleep(0.5)
        return wm.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True)
    window = wait_for(shown_after_hotkey, "Ctrl+Alt+H to show the main window", timeout=20)[0]
    wait_for(lambda: wm.active_window() == window, "the shown main window to be active")
    start_tray_host(wm)
    icon = program.wait_for_tray_icon(zp)
    size = re.search(r"Width: (\d+)\s+Height: (\d+)", wm.window_info(icon))
    assert int(size[1]) > 1 and int(size[2]) > 1 and len(program.tray_icons(zp)) == 1


# The clipboard menu (Ctrl+Alt+G) works on the clipboard; the window that was active keeps the keyboard, and
# receives a paste only when auto paste of the clipboard commands is on. "Clipboard Formating" (third item) and
# "C&opy To Clipboard" (fourth; "&Options" shares its key) are reached with the arrow keys. Then the clip menu
# (Ctrl+Alt+C) pastes a clip and cleans the clipboard.
@pytest.mark.parametrize("keys, auto_paste, clipboard, pasted", [
    (["Down"] * 3 + ["Right", "c", "s"], 0, lambda t: t == "Hello world. How are you.", lambda t: t == ""),
    (["Down"] * 4 + ["Right", "d"], 1, lambda t: re.search(r"\d", t), lambda t: t)], ids=["sentences", "current date"])
def test_clipboard_and_clip_menus_work_over_another_window(wm, tray, target, program, keys, auto_paste, clipboard,
                                                           pasted):
    # With auto paste the paste goes by Shift+Insert, which terminals take from the primary selection.
    zp = program.start_hidden({1: "kiwi", 2: "zebra crossing"}, AutoPasteOther=auto_paste, PasteMethod=3 if auto_paste else 1)
    wm.clipboard_set("hello world. how are you")
    target.activate()
    open_menu(wm, zp, "ctrl+alt+g", *keys)
    wait_for(lambda: clipboard(wm.clipboard_get().decode()), "the clipboard's new text")
    if auto_paste:
        wait_for(lambda: target.text() == wm.clipboard_get().decode(), "the new text to be pasted")
        assert wm.clipboard_get(selection="primary") == wm.clipboard_get()
    assert pasted(target.text()) and wm.active_window() == target.window
    assert wm.clipboard_targets().count("UTF8_STRING") == 1
    text = target.text() + "ok"
    wm.type_text("ok")
    target.wait_text(text, "text typed after the menu to reach the Tk window")
    # The entry of clip 2 is "(2) &zebra crossing": its access key is the clip text's first character.
    open_menu(wm, zp, "ctrl+alt+c", "z")
    target.wait_text(text + "zebra crossing", "clip 2 pasted into the Tk window")
    assert wm.clipboard_get() == b"zebra crossing"
    open_menu(wm, zp, "ctrl+alt+c", "c")  # "&Clean Clipboard"
    wait_for(lambda: not wm.clipboard_targets(), "the clipboard to be emptied")
    stays_true(lambda: target.text() == text + "zebra crossing", "the clip pasted once, and nothing more", 0.5)
