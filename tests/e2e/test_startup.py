"""Start-up, the single instance between processes, hiding and ending the main window, and always on top as
the window manager keeps it."""

import os

import pytest

from conftest import MAIN_TITLE, read_project, settings_bytes, stays_true, wait_for

pytestmark = pytest.mark.no_autorepeat
MIME_TYPE = "application/x-zolpane-project"


def copy_row(d, expected, what):
    """Copies the focused row's text and waits for it on the clipboard."""
    d.key("ctrl+a", "ctrl+c")
    wait_for(lambda: d.clipboard_get() == expected.encode(), what)


def test_first_start_writes_the_default_settings_and_keeps_other_default_applications(wm, tray, program):
    mimeapps = os.path.join(wm.config_home, "mimeapps.list")
    with open(mimeapps, "w") as f:
        f.write("[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
                "text/plain=editor.desktop;\nimage/png=viewer.desktop;\n")
    zp = program.start()
    window = program.main_window(zp)
    assert wm.window_name(window) == "Zolpane (default.zp)"
    with open(program.path("settings.ini"), "rb") as f:
        assert f.read() == settings_bytes()
    assert os.path.isdir(program.path("temp")) and os.path.isdir(program.path("projects"))

    def lines():
        with open(mimeapps) as f:
            return f.read().splitlines()
    wait_for(lambda: f"{MIME_TYPE}=Zolpane.desktop;" in lines(), "Zolpane to be added to mimeapps.list")
    kept = lines()
    assert kept.count("text/plain=editor.desktop;") == 2 and "image/png=viewer.desktop;" in kept, kept
    assert kept.index(f"{MIME_TYPE}=Zolpane.desktop;") > kept.index("[Default Applications]"), kept
    with open(os.path.join(wm.data_home, "applications", "Zolpane.desktop")) as f:
        assert f'Exec="{program.bin}" %f' in f.read().splitlines()


def test_second_start_without_arguments_says_already_running(wm, program):
    first = program.start()
    window = program.main_window(first)
    second = program.start(name="zolpane-second")
    box = wm.wait_for_window("Zolpane", pid=second.pid)
    assert second.running() and not wm.windows(pattern=MAIN_TITLE, pid=second.pid)
    wm.activate(box)
    wm.key("Return")
    second.wait()
    assert program.pids() == [first.pid] and wm.is_viewable(window)


def test_second_start_with_a_project_hands_it_to_the_running_instance(wm, program):
    first_path = program.write_project("first.zp", {1: "from the first project"})
    second_path = program.write_project("second.zp", {1: "from the second project"})
    program.write_settings()
    zp = program.start(first_path)
    window = program.main_window(zp, "Zolpane (first.zp)")
    wm.activate(window)
    copy_row(wm, "from the first project", "row 1 of the project named on the command line")
    # An unsaved change does not hold the hand-over up: nothing is asked.
    wm.key("End")
    wm.type_text(" changed")
    assert program.start(second_path, name="zolpane-second").wait() == 0
    wait_for(lambda: wm.window_name(window) == "Zolpane (second.zp)", "the second project in the title")
    wait_for(lambda: not os.path.exists(program.path("loadbuff.dat")), "the hand-over file to be consumed")
    assert not wm.windows("Zolpane", visible=True) and program.pids() == [zp.pid]
    wm.activate(window)
    copy_row(wm, "from the second project", "row 1 of the handed-over project")
    assert read_project(first_path)["clip1.dat"] == b"from the first project\r\n"


@pytest.mark.parametrize("args, shown", [(["NOWINDOW"], False), (["nowindow", "please"], True)])
def test_nowindow_alone_keeps_the_main_window_hidden(wm, tray, program, args, shown):
    zp = program.start(*args)
    if shown:
        assert wm.window_name(program.main_window(zp)) == "Zolpane (default.zp)"
        return
    # A hand-over is read by the main window's timer, which runs once start-up (which shows the window when
    # it does) has finished: once the file is consumed, the window would be shown by now.
    wait_for(lambda: os.path.isdir(program.path("projects")), "the program to prepare its folders")
    program.start(program.write_project("probe.zp", {}), name="zolpane-second").wait()
    wait_for(lambda: not os.path.exists(program.path("loadbuff.dat")), "the hand-over file to be consumed")
    stays_true(lambda: zp.running() and not wm.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True),
               "the main window must stay hidden and the program run")


@pytest.mark.parametrize("how", ["Escape", "close request"])
def test_escape_and_the_close_button_hide_the_main_window(wm, program, how):
    zp = program.start()
    window = program.main_window(zp)
    if how == "Escape":
        wm.activate(window)
        wm.key("Escape")
    else:
        wm.close_window(window)
    wait_for(lambda: not wm.is_viewable(window), "the main window to be hidden")
    stays_true(lambda: zp.running() and not wm.is_viewable(window) and not wm.windows("Zolpane", visible=True),
               "the program must keep running, hidden, without asking anything")


@pytest.mark.parametrize("changed", [False, True])
def test_alt_f4_in_a_row_ends_the_program(wm, program, changed):
    path = program.write_project("exit.zp", {1: "before"})
    program.write_settings()
    zp = program.start(path)
    window = program.main_window(zp, "Zolpane (exit.zp)")
    wm.activate(window)
    if changed:
        wm.key("ctrl+a")
        wm.type_text("after")
    wm.key("alt+F4")
    if changed:
        box = wm.wait_for_window("Zolpane", pid=zp.pid)
        assert "There are some unsaved changes in current Zolpane project. Would you like to save them?" in zp.log()
        wm.activate(box)
        wm.key("y")
    assert zp.wait() == 0 and program.pids() == []
    assert read_project(path)["clip1.dat"] == (b"after\r\n" if changed else b"before\r\n")
    for key in ("frmzolpaneX", "frmzolpaneY"):  # the window's place, in twips
        assert program.setting(key).lstrip("-").isdigit()


def test_always_on_top_lets_the_dialogs_come_first(wm, program):
    def above():
        return "_NET_WM_STATE_ABOVE" in wm.wm_state(window)
    program.write_settings(ZPAlwaysOnTop=1)
    zp = program.start(program.write_project("top.zp", {1: "pinned"}))
    window = program.main_window(zp, "Zolpane (top.zp)")
    wait_for(above, "the main window on top from the start")
    # Clip properties (F4 in a row), settings (global hotkey; Escape asks whether to save), quick slots (menu).
    for keys, title, asks in ((["F4"], "Clip properties", False), (["ctrl+alt+s"], "Zolpane Settings", True),
                              (["alt+o", "z"], "ZolProjects Configuration", False)):
        wm.activate(window)
        wm.key(*keys)
        dialog = wm.wait_for_window(title, pid=zp.pid)
        wait_for(lambda: not above(), f"the main window to let {title} come first")
        assert wm.is_viewable(window)
        wm.activate(dialog)
        wm.key("Escape")
        if asks:
            wm.activate(wm.wait_for_window("Zolpane", pid=zp.pid))
            wm.key("n")
        wait_for(lambda: not wm.windows(title, pid=zp.pid, visible=True), f"{title} to close")
        wait_for(above, f"the main window on top again after {title}")
        assert wm.is_viewable(window)
