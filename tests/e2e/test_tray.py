"""The tray icon, the tray menu (also the clipboard menu of Ctrl+Alt+G), the clip menu of Ctrl+Alt+C and the
run-at-login entry switched from the tray menu.

Once open, menus are driven with the keyboard (arrow keys for items without an access key of their own); the
pointer rests clear of every window meanwhile, so no item is highlighted by hovering."""

import datetime
import os
import re
import time

import pytest

from conftest import MAIN_TITLE, start_tray_host, stays_true, wait_for

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


def wait_for_menus(d, zp, count, what):
    """Until count menus are open and one holds the keyboard (keys sent earlier reach the focused window)."""
    wait_for(lambda: len(popups(d, zp)) == count and (count == 0 or d.keyboard_grabbed()), f"{what} ({count} menus)")


def open_menu(d, zp, hotkey, *keys, menus=1):
    """Opens a menu by its hotkey over the active window, then goes on with keys into menus submenus."""
    d.xdotool("mousemove", *MENU_POINT)
    d.key(hotkey)
    wait_for_menus(d, zp, 1, f"the menu of {hotkey}")
    if keys:
        d.key(*keys)
        wait_for_menus(d, zp, menus, f"the submenus after {keys}")


_last_click = {}


def click(d, zp, icon, button, *keys, menus=1):
    """Clicks the tray icon; a right click opens the tray menu, then keys go on into menus submenus. Clicks
    on the icon keep a second apart, so that no two make a double click."""
    time.sleep(max(0.0, _last_click.get(button, 0) + 1.0 - time.monotonic()))
    d.xdotool("mousemove", "--window", icon, 8, 8)
    d.xdotool("click", button)
    _last_click[button] = time.monotonic()
    if button == 3:
        wait_for_menus(d, zp, 1, "the tray menu")
        if keys:
            d.key(*keys)
            wait_for_menus(d, zp, menus, f"the submenus after {keys}")


def test_tray_menu_hides_and_shows_the_main_window_and_exits(wm, tray, program):
    program.write_settings()
    zp = program.start()
    window = program.main_window(zp)
    icon = program.wait_for_tray_icon(zp)
    click(wm, zp, icon, 3, "Down", "Down", "Return", menus=0)  # "Hide &Zolpane"; "Show &Zolpane" shares the key
    wait_for(lambda: not wm.is_viewable(window), "the main window to be hidden")
    click(wm, zp, icon, 3, "Down", "Return", menus=0)
    wait_for(lambda: wm.is_viewable(window) and wm.active_window() == window, "the main window shown and active")
    click(wm, zp, icon, 3, "x", menus=0)  # "E&xit"
    assert zp.wait() == 0 and program.pids() == [] and not wm.windows("Zolpane", visible=True)


def test_left_click_on_the_tray_icon_shows_the_hidden_main_window(wm, tray, program):
    program.write_settings()
    zp = program.start("nowindow")
    icon = program.wait_for_tray_icon(zp)
    assert not wm.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True)
    click(wm, zp, icon, 1)
    window = program.main_window(zp)
    wait_for(lambda: wm.active_window() == window, "the shown main window to be active")


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


def names_today(text):
    """Whether text is today's short date: day, month (number or name) and year (two or four digits)."""
    today = datetime.date.today()
    parts = sorted(p.lower().rstrip(".").lstrip("0") for p in re.findall(r"[^\W_]+", text))
    months = {str(today.month), today.strftime("%b").lower(), today.strftime("%B").lower()}
    return len(parts) == 3 and str(today.day) in parts and any(
        sorted([str(today.day), m, y]) == parts for m in months for y in (str(today.year), str(today.year % 100)))


# The clipboard menu works on the clipboard; the window that was active keeps the keyboard, and receives a
# paste only when auto paste of the clipboard commands is on. "Clipboard Formating" (third item) and "C&opy To
# Clipboard" (fourth; "&Options" shares its key) are reached with the arrow keys.
@pytest.mark.parametrize("keys, auto_paste, clipboard, pasted", [
    (["Down"] * 3 + ["Right", "c", "s"], 0, lambda t: t == "Hello world. How are you.", lambda t: t == ""),
    (["Down"] * 4 + ["Right", "d"], 1, names_today, names_today)], ids=["sentences", "current date"])
def test_clipboard_menu_hotkey_works_on_the_clipboard(wm, tray, target, program, keys, auto_paste, clipboard,
                                                      pasted):
    program.write_settings(AutoPasteOther=auto_paste)
    zp = program.start("nowindow")
    program.wait_for_tray_icon(zp)
    wm.clipboard_set("hello world. how are you")
    target.activate()
    open_menu(wm, zp, "ctrl+alt+g", *keys, menus=0)
    wait_for(lambda: clipboard((wm.clipboard_get() or b"").decode()), "the clipboard's new text")
    if auto_paste:
        wait_for(lambda: target.text() == wm.clipboard_get().decode(), "the new text to be pasted")
    assert pasted(target.text()) and wm.active_window() == target.window
    assert wm.clipboard_targets().count("UTF8_STRING") == 1
    text = target.text()
    wm.type_text("ok")
    target.wait_text(text + "ok", "text typed after the menu to reach the Tk window")


def test_clip_menu_pastes_the_chosen_clip_follows_the_clips_and_cleans_the_clipboard(wm, tray, target, program):
    program.write_settings()
    zp = program.start(program.write_project("first.zp", {1: "kiwi", 2: "zebra crossing"}))
    program.main_window(zp, "Zolpane (first.zp)")
    target.activate()
    # The entry of clip 2 is "(2) &zebra crossing": its access key is the clip text's first character.
    open_menu(wm, zp, "ctrl+alt+c", "z", menus=0)
    target.wait_text("zebra crossing", "clip 2 pasted into the Tk window")
    assert wm.clipboard_get() == b"zebra crossing"
    stays_true(lambda: target.text() == "zebra crossing", "the clip must be pasted once", 0.5)
    # Another project replaces the clips; the menu is built anew when it opens again.
    program.start(program.write_project("second.zp", {1: "mango", 3: "lemon"}), name="zolpane-second").wait()
    wait_for(lambda: not os.path.exists(program.path("loadbuff.dat")), "the hand-over to be read")
    target.activate()
    open_menu(wm, zp, "ctrl+alt+c", "l", menus=0)
    target.wait_text("zebra crossinglemon", "clip 3 of the second project pasted")
    target.activate()
    open_menu(wm, zp, "ctrl+alt+c", "c", menus=0)  # "&Clean Clipboard"
    wait_for(lambda: not wm.clipboard_targets(), "the clipboard to be emptied")
    stays_true(lambda: target.text() == "zebra crossinglemon", "nothing may be pasted", 0.5)


def test_run_at_startup_from_the_tray_menu_rewrites_removes_and_writes_the_autostart_entry(wm, tray, program):
    entry = os.path.join(wm.config_home, "autostart", "ZolpaneSW.desktop")
    os.makedirs(os.path.dirname(entry))
    with open(entry, "w") as f:
        f.write('[Desktop Entry]\nType=Application\nName=Zolpane\nExec="/old/place/zolpane" nowindow\n')
    exec_line = f'Exec="{program.bin}" nowindow'

    def lines():
        with open(entry) as f:
            return f.read().splitlines()
    program.write_settings(RunOnStartup=1)
    zp = program.start()
    icon = program.wait_for_tray_icon(zp)
    wait_for(lambda: exec_line in lines(), "the entry to name the program's current path")
    # "&Options" is reached from below: "E&xit" is the last item, and "C&opy To Clipboard" shares its key.
    for expect_entry in (False, True):
        click(wm, zp, icon, 3, "Up", "Up", "Right", "r", menus=0)  # "&Run At Startup"
        wait_for(lambda: os.path.exists(entry) == expect_entry, "the entry to follow the menu item")
        assert program.setting("RunOnStartup") == str(int(expect_entry))
    assert exec_line in lines() and "Type=Application" in lines() and zp.running()
