"""Start-up, the single instance between processes, hiding and ending the main window, and always on top as
the window manager keeps it."""

import os

import pytest

from conftest import MAIN_TITLE
from processes import stays_true, wait_for
from zolpane_files import settings_bytes

pytestmark = pytest.mark.no_autorepeat
MIME_TYPE = "application/x-zolpane-project"


def file_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def test_first_start_writes_the_defaults_a_second_says_already_running_and_closing_hides(wm, tray, program):
    mimeapps = os.path.join(wm.config_home, "mimeapps.list")
    with open(mimeapps, "w") as f:
        f.write("[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
                "text/plain=editor.desktop;\nimage/png=viewer.desktop;\n")
    zp = program.start("nowindow", "please")  # "nowindow" with anything else shows the window
    window = program.main_window(zp)
    assert wm.window_name(window) == "Zolpane (default.zp)"
    assert file_bytes(program.path("settings.ini")) == settings_bytes()
    assert os.path.isdir(program.path("temp")) and os.path.isdir(program.path("projects"))
    lines = lambda: file_bytes(mimeapps).decode().splitlines()  # noqa: E731
    wait_for(lambda: f"{MIME_TYPE}=Zolpane.desktop;" in lines(), "Zolpane to be added to mimeapps.list")
    kept = lines()
    assert kept.count("text/plain=editor.desktop;") == 2 and "image/png=viewer.desktop;" in kept, kept
    assert kept.index(f"{MIME_TYPE}=Zolpane.desktop;") > kept.index("[Default Applications]"), kept
    entry = file_bytes(os.path.join(wm.data_home, "applications", "Zolpane.desktop"))
    assert f'Exec="{program.bin}" %f' in entry.decode().splitlines()
    second = program.start(name="zolpane-second")
    box = wm.wait_for_window("Zolpane", pid=second.pid)
    assert second.running() and not wm.windows(pattern=MAIN_TITLE, pid=second.pid)
    wm.activate(box)
    wm.key("Return")
    second.wait()
    assert zp.running() and wm.is_viewable(window)
    wm.close_window(window)  # as the window manager's close button does
    wait_for(lambda: not wm.is_viewable(window), "the main window to be hidden")
    stays_true(lambda: zp.running() and not wm.is_viewable(window) and not wm.windows("Zolpane", visible=True),
               "the program must keep running, hidden, without asking anything")


def test_a_second_start_hands_a_project_over_and_alt_f4_in_a_row_ends_the_program(wm, program):
    first_path = program.write_project("first.zp", {1: "from the first project"})
    second_path = program.write_project("second.zp", {1: "from the second project"})
    program.write_settings()
    zp = program.start(first_path)
    window = program.main_window(zp, "Zolpane (first.zp)")
    wm.activate(window)
    # An unsaved change does not hold the hand-over up: nothing is asked, nothing saved.
    wm.key("End")
    wm.type_text(" changed")
    assert program.start(second_path, name="zolpane-second").wait() == 0
    wait_for(lambda: wm.window_name(window) == "Zolpane (second.zp)", "the second project in the title")
    assert not wm.windows("Zolpane", visible=True) and zp.running()
    assert b"changed" not in file_bytes(first_path)
    # What is no regular file the second start refuses itself (the kinds of path: ZolpaneAppTest::handOver).
    refused = program.start("/dev/zero", name="zolpane-refused")
    assert refused.wait() == 1 and "zolpane: /dev/zero is not a project file." in refused.log(), refused.log()
    assert wm.window_name(window) == "Zolpane (second.zp)" and not os.path.exists(program.path("loadbuff.dat"))
    wm.activate(window)
    wm.key("alt+F4")  # nothing changed in the second project: nothing is asked
    assert zp.wait() == 0
    for key in ("frmzolpaneX", "frmzolpaneY"):  # the window's place, in twips
        assert program.setting(key).lstrip("-").isdigit()


@pytest.mark.parametrize("exiting", [1, 2], ids=["asks", "saves without asking"])
def test_alt_f4_with_unsaved_changes_saves_them_as_the_exit_setting_says(wm, program, exiting):
    path = program.write_project("exit.zp", {1: "before"})
    program.write_settings(Exiting=exiting)
    zp = program.start(path)
    window = program.main_window(zp, "Zolpane (exit.zp)")
    if exiting == 2:  # a file that holds no project (an ISO image begins with 32 KiB of zeros) is refused first
        iso = os.path.join(wm.work, "v.iso")
        with open(iso, "wb") as f:
            f.write(bytes(32768) + b"\1CD001" + os.urandom(25000))
        before = file_bytes(iso)
        assert program.start(iso, name="zolpane-second").wait() == 0  # handed over
        box = wm.wait_for_window("Zolpane - Error", pid=zp.pid)
        assert "Unable to load project. File you are trying to load can be damaged or doesn't exist." in zp.log()
        wm.activate(box)
        wm.key("Return")
        wait_for(lambda: not wm.is_viewable(box), "the error box to close")
        assert wm.window_name(window) == "Zolpane (exit.zp)"
    wm.activate(window)
    wm.key("ctrl+a")
    wm.type_text("after")
    wm.key("alt+F4")
    if exiting == 1:
        box = wm.wait_for_window("Zolpane", pid=zp.pid)
        assert "There are some unsaved changes in current Zolpane project. Would you like to save them?" in zp.log()
        wm.activate(box)
        wm.key("y")
    assert zp.wait() == 0
    assert b"after\r\n" in file_bytes(path) and b"before\r\n" not in file_bytes(path)
    assert exiting == 1 or file_bytes(iso) == before


def test_always_on_top_lets_the_dialogs_come_first(wm, program):
    above = lambda: "_NET_WM_STATE_ABOVE" in wm.wm_state(window)  # noqa: E731
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
