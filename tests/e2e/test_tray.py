#!/usr/bin/env python3
"""End-to-end tests of the tray icon, the tray menu (which is also the clipboard menu of Ctrl+Alt+G), the clip
menu of Ctrl+Alt+C and the run-at-login entry written from the tray menu.

Once open (by a hotkey or a right click on the icon), menus are driven with the keyboard: arrow keys to reach
an item without an access key of its own, access keys everywhere else. The mouse is left where it is while a
menu is open, so that no item is highlighted by hovering."""

import ctypes
import datetime
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import check, check_equal, main, stays_true, wait_for, xlib  # noqa: E402
from test_foundation import CODE_PAGE, default_settings_bytes, project_bytes  # noqa: E402

MAIN_TITLE = r"Zolpane \(.*\)"
TRAY_HOST_CLASS = "wmsystemtray"
# Where the mouse rests while a menu is popped up by a hotkey: clear of the Tk target, the tray host and the
# main window's title bar, well inside the screen so that the menu opens at the pointer.
MENU_POINT = (700, 300)


# --------------------------------------------------------------------------------------------------------
# Helpers

class Session(harness.Session):
    """The harness's session with key autorepeat switched off on its X server: a key that xdotool presses and
    releases stays a single key press even when xdotool is held up between the two (the server would otherwise
    repeat the key after 660 ms, and a menu would move by one item more)."""

    def __enter__(self):
        super().__enter__()
        try:
            x = xlib()
            x.lib.XAutoRepeatOff.argtypes = [ctypes.c_void_p]
            d = x.open(self.display)
            try:
                x.lib.XAutoRepeatOff(d)
                x.lib.XSync(d, 0)
            finally:
                x.lib.XCloseDisplay(d)
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self


def write_settings(s, **overrides):
    """settings.ini as a first start writes it, with some values replaced, so that the program starts as an
    installed program (no first-run wizard)."""
    text = default_settings_bytes().decode("ascii")
    for key, value in overrides.items():
        text, count = re.subn(rf"(?m)^{key}=[^\r]*", f"{key}={value}", text)
        check(count == 1, f"the default settings hold one {key}")
    with open(s.home_path("settings.ini"), "wb") as f:
        f.write(text.encode("ascii"))


def write_project(s, file_name, clips):
    path = os.path.join(s.workdir, file_name)
    with open(path, "wb") as f:
        f.write(project_bytes(clips))
    return path


def read_settings(s):
    with open(s.home_path("settings.ini"), "rb") as f:
        return f.read().decode(CODE_PAGE).split("\r\n")


def setting(s, key):
    values = [line.split("=", 1)[1] for line in read_settings(s) if line.startswith(key + "=")]
    check(len(values) == 1, f"one {key} line in settings.ini, found {values}")
    return values[0]


def window_info(s, wid, *options):
    result = s.run(["xwininfo", *options, "-id", str(wid)], check=False)
    return result.stdout if result.returncode == 0 else ""


def parent_of(s, wid):
    match = re.search(r"Parent window id: (0x[0-9a-f]+)", window_info(s, wid, "-children"))
    return int(match.group(1), 16) if match else None


def window_class(s, wid):
    result = s.run(["xprop", "-id", str(wid), "WM_CLASS"], check=False)
    return result.stdout if result.returncode == 0 else ""


def docked_tray_icons(s, pid):
    """The program's windows that are mapped as children of a window of the tray host: an icon docked in the
    tray (a tray host reparents the icon window into its own)."""
    icons = []
    for line in s.xdotool("search", "--class", "zolpane", check=False).split():
        wid = int(line)
        if s.window_pid(wid) != pid or not s.is_viewable(wid):
            continue
        parent = parent_of(s, wid)
        if parent and TRAY_HOST_CLASS in window_class(s, parent):
            icons.append(wid)
    return icons


def wait_for_tray_icon(s, zp):
    return wait_for(lambda: docked_tray_icons(s, zp.pid), 15, "the tray icon to dock into the tray host")[0]


def is_top_level(s, wid):
    tree = window_info(s, wid, "-children")
    root = re.search(r"Root window id: (0x[0-9a-f]+)", tree)
    parent = re.search(r"Parent window id: (0x[0-9a-f]+)", tree)
    return bool(root and parent) and root.group(1) == parent.group(1)


def popups(s, pid):
    """The program's open menus: mapped override-redirect windows straight under the root that are not tooltips.
    Not the docked tray icon (override-redirect as well, but inside the tray host) and not the icon's tooltip,
    which appears when the pointer rests on the icon (menus are typed as normal windows)."""
    found = []
    for line in s.xdotool("search", "--onlyvisible", "--pid", pid, check=False).split():
        wid = int(line)
        if "Override Redirect State: yes" not in window_info(s, wid) or not is_top_level(s, wid):
            continue
        kind = s.run(["xprop", "-id", str(wid), "_NET_WM_WINDOW_TYPE"], check=False).stdout
        if "_NET_WM_WINDOW_TYPE_TOOLTIP" not in kind:
            found.append(wid)
    return found


_GRAB_SUCCESS = 0


def keyboard_grabbed(display):
    """Whether some client holds an active keyboard grab: a grab of our own is then refused. A grab that
    succeeds is given back at once."""
    x = xlib()
    lib = x.lib
    lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    lib.XDefaultRootWindow.restype = ctypes.c_ulong
    lib.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_ulong]
    lib.XUngrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    d = x.open(display)
    try:
        status = lib.XGrabKeyboard(d, lib.XDefaultRootWindow(d), 0, 1, 1, 0)  # GrabModeAsync, CurrentTime
        if status == _GRAB_SUCCESS:
            lib.XUngrabKeyboard(d, 0)
        lib.XSync(d, 0)
        return status != _GRAB_SUCCESS
    finally:
        lib.XCloseDisplay(d)


def wait_for_menus(s, zp, count, what):
    """Waits until count menus are open and the keyboard is grabbed (by the open menu): keys sent before the
    menu holds the keyboard go to the focused window instead."""
    wait_for(lambda: len(popups(s, zp.pid)) == count and keyboard_grabbed(s.display), 10,
             f"{what} ({count} open menu window(s) holding the keyboard)")


def wait_for_no_menu(s, zp, what):
    wait_for(lambda: not popups(s, zp.pid), 10, what)


# A second press of the same button at the same place within the double-click interval (400 ms in Qt unless
# the desktop says otherwise) is a double click, which opens no menu; clicks on the icon keep this far apart.
CLICK_SPACING = 1.0
_last_click = {}


def click_tray_icon(s, icon, button):
    last = _last_click.get((id(s), button))
    if last is not None:
        time.sleep(max(0.0, last + CLICK_SPACING - time.monotonic()))
    s.xdotool("mousemove", "--window", icon, 8, 8)
    s.xdotool("click", button)
    _last_click[(id(s), button)] = time.monotonic()


def start_installed(s, *args, **settings):
    """Starts the program with settings of an earlier run; returns it once its hotkeys and tray icon exist
    (the tray icon is added after the hotkeys are registered)."""
    write_settings(s, **settings)
    zp = s.start_zolpane(*args)
    if s.want_tray:
        wait_for_tray_icon(s, zp)
    return zp


def autostart_entry(s):
    return os.path.join(s.config_home, "autostart", "ZolpaneSW.desktop")


def desktop_value(path, key):
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith(key + "="):
                return line.rstrip("\n").split("=", 1)[1]
    return None


def open_options_submenu_from_tray(s, zp, icon):
    """Right-clicks the tray icon and opens "&Options" with the arrow keys: Up from the unselected menu reaches
    the last item ("E&xit"), a second Up "&Options" ("C&opy To Clipboard" shares its access key)."""
    click_tray_icon(s, icon, 3)
    wait_for_menus(s, zp, 1, "the tray menu")
    s.key("Up", "Up", "Right")
    wait_for_menus(s, zp, 2, "the Options submenu")


# --------------------------------------------------------------------------------------------------------

def test_tray_icon_docks_into_the_tray_host():
    with Session("tray-icon", tray=True) as s:
        zp = s.start_zolpane()
        icon = wait_for_tray_icon(s, zp)
        geometry = window_info(s, icon)
        width = int(re.search(r"Width: (\d+)", geometry).group(1))
        height = int(re.search(r"Height: (\d+)", geometry).group(1))
        check(width > 1 and height > 1, f"the docked icon has a size ({width}x{height})")
        check_equal(len(docked_tray_icons(s, zp.pid)), 1, "number of docked tray icons")


def test_left_click_on_the_tray_icon_shows_the_hidden_main_window():
    with Session("tray-left-click", tray=True) as s:
        zp = start_installed(s, "nowindow")
        icon = wait_for_tray_icon(s, zp)
        check(not s.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True), "the main window starts hidden")
        click_tray_icon(s, icon, 1)
        window = s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid, timeout=10)
        wait_for(lambda: s.active_window() == window, 10, "the shown main window to be the active window")


def test_tray_menu_hides_and_shows_the_main_window():
    with Session("tray-show-hide", tray=True) as s:
        zp = start_installed(s)
        window = s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)
        icon = wait_for_tray_icon(s, zp)
        # "Hide &Zolpane" is the second item ("Show &Zolpane" shares its access key).
        click_tray_icon(s, icon, 3)
        wait_for_menus(s, zp, 1, "the tray menu")
        s.key("Down", "Down", "Return")
        wait_for(lambda: not s.is_viewable(window), 10, "the main window to be hidden")
        wait_for_no_menu(s, zp, "the tray menu to close")
        check(zp.running(), "the program keeps running with its window hidden")
        click_tray_icon(s, icon, 3)
        wait_for_menus(s, zp, 1, "the tray menu while the main window is hidden")
        s.key("Down", "Return")
        wait_for(lambda: s.is_viewable(window), 10, "the main window to be shown again")
        wait_for(lambda: s.active_window() == window, 10, "the shown main window to be the active window")


def test_clipboard_menu_hotkey_makes_sentences_of_the_clipboard_text():
    with Session("clipboard-menu", tray=True, target=True) as s:
        zp = start_installed(s, "nowindow")
        s.clipboard_set("hello world. how are you")
        s.activate(s.target_window)
        s.xdotool("mousemove", *MENU_POINT)
        s.key("ctrl+alt+g")
        wait_for_menus(s, zp, 1, "the clipboard menu")
        # "Clipboard Formating" has no access key: it is the third item.
        s.key("Down", "Down", "Down", "Right")
        wait_for_menus(s, zp, 2, "the Clipboard Formating submenu")
        s.key("c")
        wait_for_menus(s, zp, 3, "the Case Conversion submenu")
        s.key("s")
        wait_for(lambda: s.clipboard_get() == b"Hello world. How are you.", 10,
                 "the clipboard text to be made into sentences")
        wait_for_no_menu(s, zp, "the menus to close")
        # None of the keys meant for the menu reached the window that was active, and that window still has the
        # keyboard: what is typed next goes there.
        check_equal(s.target_text(), "", "text of the Tk window")
        check_equal(s.active_window(), s.target_window, "the active window after the clipboard menu")
        s.type_text("ok")
        wait_for(lambda: s.target_text() == "ok", 10, "text typed after the menu to reach the Tk window")
        check_equal(s.clipboard_targets().count("UTF8_STRING"), 1, "the new text is offered as UTF8_STRING")


def test_clip_menu_hotkey_pastes_the_chosen_clip_into_the_last_active_window():
    with Session("clip-menu", tray=True, target=True) as s:
        project = write_project(s, "menu clips.zp", {1: "apple pie", 2: "zebra crossing", 5: "quiet please"})
        zp = start_installed(s, project)
        s.wait_for_window("Zolpane (menu clips.zp)", pid=zp.pid)
        s.activate(s.target_window)
        s.xdotool("mousemove", *MENU_POINT)
        s.key("ctrl+alt+c")
        wait_for_menus(s, zp, 1, "the clip menu")
        # The entry of clip 2 is "(2) &zebra crossing": its access key is the clip text's first character.
        s.key("z")
        wait_for(lambda: s.target_text() == "zebra crossing", 10, "clip 2 to be pasted into the Tk window")
        check_equal(s.clipboard_get(), b"zebra crossing", "the clipboard after choosing clip 2")
        wait_for_no_menu(s, zp, "the clip menu to close")
        stays_true(lambda: s.target_text() == "zebra crossing", 0.5, "the clip must be pasted once")


def test_clip_menu_entries_follow_the_clips_when_they_change():
    with Session("clip-menu-rebuild", tray=True, target=True) as s:
        first = write_project(s, "first.zp", {1: "kiwi"})
        second = write_project(s, "second.zp", {1: "mango", 3: "lemon"})
        zp = start_installed(s, first)
        s.wait_for_window("Zolpane (first.zp)", pid=zp.pid)
        s.activate(s.target_window)
        s.xdotool("mousemove", *MENU_POINT)
        s.key("ctrl+alt+c")
        wait_for_menus(s, zp, 1, "the clip menu")
        s.key("k")
        wait_for(lambda: s.target_text() == "kiwi", 10, "clip 1 of the first project to be pasted")
        wait_for_no_menu(s, zp, "the clip menu to close")
        # Another project replaces the clips; the menu is rebuilt when it pops up again.
        handover = s.start_zolpane(second, name="zolpane-second")
        handover.wait(10)
        wait_for(lambda: not os.path.exists(s.home_path("loadbuff.dat")), 10, "the hand-over to be read")
        s.activate(s.target_window)
        s.key("ctrl+alt+c")
        wait_for_menus(s, zp, 1, "the clip menu again")
        s.key("l")
        wait_for(lambda: s.target_text() == "kiwilemon", 10, "clip 3 of the second project to be pasted")


def test_clean_clipboard_from_the_clip_menu_empties_the_clipboard():
    with Session("clean-clipboard", tray=True, target=True) as s:
        project = write_project(s, "one clip.zp", {1: "apple pie"})
        zp = start_installed(s, project)
        s.wait_for_window("Zolpane (one clip.zp)", pid=zp.pid)
        s.clipboard_set("left over")
        s.activate(s.target_window)
        s.xdotool("mousemove", *MENU_POINT)
        s.key("ctrl+alt+c")
        wait_for_menus(s, zp, 1, "the clip menu")
        s.key("c")  # "&Clean Clipboard"
        wait_for(lambda: not s.clipboard_targets(), 10, "the clipboard to be emptied")
        check(s.clipboard_get() in (None, b""), f"no text on the clipboard, found {s.clipboard_get()!r}")
        wait_for_no_menu(s, zp, "the clip menu to close")
        check_equal(s.target_text(), "", "text of the Tk window (nothing is pasted)")


def test_current_date_from_the_clipboard_menu_is_pasted_into_the_last_active_window():
    with Session("current-date", tray=True, target=True) as s:
        zp = start_installed(s, "nowindow", AutoPasteOther=1)
        s.activate(s.target_window)
        s.xdotool("mousemove", *MENU_POINT)
        before = datetime.date.today()
        s.key("ctrl+alt+g")
        wait_for_menus(s, zp, 1, "the clipboard menu")
        # "C&opy To Clipboard" shares its access key with "&Options": it is the fourth item.
        s.key("Down", "Down", "Down", "Down", "Right")
        wait_for_menus(s, zp, 2, "the Copy To Clipboard submenu")
        s.key("d")  # "Current &Date"
        text = wait_for(lambda: s.target_text(), 10, "the date to be pasted into the Tk window")
        after = datetime.date.today()
        check(any(names_date(text, day) for day in {before, after}), f"the pasted text {text!r} is today's date")
        check_equal(s.clipboard_get(), text.encode(), "the clipboard holds the pasted date")


def test_settings_from_the_tray_menu_opens_the_settings_dialog():
    with Session("tray-settings", tray=True) as s:
        zp = start_installed(s, "nowindow")
        open_options_submenu_from_tray(s, zp, wait_for_tray_icon(s, zp))
        s.key("s")  # "&Settings..."
        s.wait_for_window("Zolpane Settings", pid=zp.pid, timeout=10)
        check(not s.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True), "the main window stays hidden")


def test_exit_from_the_tray_menu_ends_the_program():
    with Session("tray-exit", tray=True) as s:
        zp = start_installed(s)
        s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)
        icon = wait_for_tray_icon(s, zp)
        click_tray_icon(s, icon, 3)
        wait_for_menus(s, zp, 1, "the tray menu")
        s.key("x")  # "E&xit"
        check_equal(zp.wait(10), 0, "exit status")
        check_equal(s.zolpane_pids(), [], "running zolpane processes")
        check(not s.windows(title="Zolpane", visible=True), "no question was asked at exit")


def test_program_runs_without_a_tray_host_and_the_hotkey_shows_the_main_window():
    with Session("no-tray-host") as s:
        zp = start_installed(s, "nowindow")
        stays_true(lambda: zp.running() and not s.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True), 1.0,
                   "the program must run, hidden, without a tray host")

        def shown_after_hotkey():
            # Pressed again until it works: nothing tells from outside when the hotkeys are registered.
            s.key("ctrl+alt+h")
            return wait_or_none(lambda: s.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True), 1.0)
        window = wait_for(shown_after_hotkey, 20, "Ctrl+Alt+H to show the main window")[0]
        check_equal(s.window_name(window), "Zolpane (default.zp)", "title of the main window")
        wait_for(lambda: s.active_window() == window, 10, "the shown main window to be the active window")
        check(zp.running(), "the program keeps running")


def test_tray_icon_docks_when_the_tray_host_starts_later():
    with Session("late-tray-host") as s:
        zp = start_installed(s, "nowindow")
        stays_true(zp.running, 0.5, "the program must run without a tray host")
        s._start_tray()
        wait_for_tray_icon(s, zp)


def test_run_at_startup_from_the_tray_menu_writes_and_removes_the_autostart_entry():
    with Session("run-at-startup", tray=True) as s:
        zp = start_installed(s)
        icon = wait_for_tray_icon(s, zp)
        entry = autostart_entry(s)
        check(not os.path.exists(entry), "no autostart entry while Run At Startup is off")

        open_options_submenu_from_tray(s, zp, icon)
        s.key("r")  # "&Run At Startup"
        wait_for(lambda: os.path.exists(entry), 10, "the autostart entry to be written")
        wait_for_no_menu(s, zp, "the tray menu to close")
        exec_value = desktop_value(entry, "Exec")
        check_equal(exec_value, f'"{os.path.realpath(s.zolpane_bin)}" nowindow', "Exec of the autostart entry")
        check_equal(desktop_value(entry, "Type"), "Application", "Type of the autostart entry")
        check_equal(setting(s, "RunOnStartup"), "1", "RunOnStartup after switching it on")

        open_options_submenu_from_tray(s, zp, icon)
        s.key("r")
        wait_for(lambda: not os.path.exists(entry), 10, "the autostart entry to be removed")
        wait_for_no_menu(s, zp, "the tray menu to close")
        check_equal(setting(s, "RunOnStartup"), "0", "RunOnStartup after switching it off")
        check(zp.running(), "the program keeps running")


def test_run_at_startup_setting_rewrites_the_entry_with_the_current_program_path():
    with Session("autostart-moved", tray=True) as s:
        entry = autostart_entry(s)
        os.makedirs(os.path.dirname(entry))
        with open(entry, "w", encoding="utf-8") as f:
            f.write('[Desktop Entry]\nType=Application\nName=Zolpane\nExec="/old/place/zolpane" nowindow\n')
        zp = start_installed(s, RunOnStartup=1)
        wait_for(lambda: desktop_value(entry, "Exec") == f'"{os.path.realpath(s.zolpane_bin)}" nowindow', 10,
                 "the autostart entry to name the program's current path")
        check_equal(setting(s, "RunOnStartup"), "1", "RunOnStartup")
        # The tray menu's item shows the state: choosing it now switches start at login off.
        open_options_submenu_from_tray(s, zp, wait_for_tray_icon(s, zp))
        s.key("r")
        wait_for(lambda: not os.path.exists(entry), 10, "the autostart entry to be removed")


def names_date(text, day):
    """Whether text is a short date of day in some order: day, month (number or English name) and year (two or
    four digits), and nothing else."""
    parts = [p.lower().rstrip(".") for p in re.findall(r"[^\W_]+", text)]
    if len(parts) != 3:
        return False
    months = {str(day.month), f"{day.month:02d}", day.strftime("%b").lower(), day.strftime("%B").lower()}
    for order in ((0, 1, 2), (0, 2, 1), (1, 0, 2), (1, 2, 0), (2, 0, 1), (2, 1, 0)):
        d, m, y = (parts[i] for i in order)
        if d.lstrip("0") == str(day.day) and m in months and y in (str(day.year), f"{day.year % 100:02d}"):
            return True
    return False


def wait_or_none(predicate, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


if __name__ == "__main__":
    main(globals(), timeout=90)
