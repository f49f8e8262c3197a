"""settings.ini as something else may have left it. Its shapes (a line of megabytes, binary bytes, a section
repeated, 50 MB) are read and written in tests/services/IniFileTest.cpp, and bench/bench_settings_file.py times the
start with each; here the program starts with the largest, takes its hotkeys from the file and keeps every other
byte of it, and a number too large for its setting is reported."""

import os

import pytest

from conftest import MAIN_TITLE, settings_bytes, wait_for

pytestmark = pytest.mark.no_autorepeat
MB = 1 << 20


def junk_in_the_hotkeys(settings, size):
    """size bytes of distinct key lines at the start of [Hotkeys], before the keys the program reads."""
    at = settings.index(b"[Hotkeys]\r\n") + len(b"[Hotkeys]\r\n")
    return settings[:at] + b"".join(b"junk%d=some value\r\n" % i for i in range(size // 20)) + settings[at:]


def without_exit_values(content):
    """The file's lines but those whose values the program writes at exit: recent projects, window position."""
    return [line for line in content.split(b"\r\n") if not line.startswith((b"RecentProject", b"frmzolpane"))]


def test_with_50_mb_the_program_starts_reads_its_hotkeys_and_keeps_the_rest_of_the_file(wm, tray, program):
    content = junk_in_the_hotkeys(settings_bytes(), 50 * MB)
    with open(program.path("settings.ini"), "wb") as f:
        f.write(content)
    os.makedirs(program.path("projects"))
    program.write_project("default.zp", {1: "first clip"}, program.path("projects"))
    zp = program.start("nowindow")
    program.wait_for_tray_icon(zp)  # which follows the hotkeys' registration
    wm.key("ctrl+alt+h")
    wait_for(lambda: wm.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True),
             "Ctrl+Alt+H (from the file) to show the main window", alive=zp)
    zp.stop()
    assert zp.popen.returncode == 0, zp.log()
    with open(program.path("settings.ini"), "rb") as f:
        kept = f.read()
    assert without_exit_values(kept) == without_exit_values(content)


def test_a_number_too_large_for_its_setting_stops_the_loading_with_a_message_and_the_start_goes_on(wm, tray, program):
    content = settings_bytes(HKShowZPMod="9" * 20)
    with open(program.path("settings.ini"), "wb") as f:
        f.write(content)
    zp = program.start("nowindow")
    box = wm.wait_for_window("Zolpane - Error", pid=zp.pid)
    assert "Error while loading settings!" in zp.log()
    wm.activate(box)
    wm.key("Return")
    program.wait_for_tray_icon(zp)
    zp.stop()
    assert zp.popen.returncode == 0, zp.log()
    with open(program.path("settings.ini"), "rb") as f:
        assert without_exit_values(f.read()) == without_exit_values(content)
