"""settings.ini as something else may have left it: far too large, with a line of megabytes, binary bytes, a
section repeated. The program starts, takes its hotkeys from the file, and keeps every other byte of it."""

import os
import random

import pytest

from conftest import MAIN_TITLE, settings_bytes, wait_for

pytestmark = pytest.mark.no_autorepeat
MB = 1 << 20


def junk_keys(size):
    """Distinct key lines, size bytes of them."""
    lines, total, i = [], 0, 0
    while total < size:
        line = b"junk%d=some value %d\r\n" % (i, i)
        lines.append(line)
        total += len(line)
        i += 1
    return b"".join(lines)


def before_hotkeys(settings, extra):
    at = settings.index(b"[Hotkeys]\r\n") + len(b"[Hotkeys]\r\n")
    return settings[:at] + extra + settings[at:]


SHAPES = {
    "50 MB after the settings": lambda s: s + b"[Junk]\r\n" + junk_keys(50 * MB),
    "50 MB in the hotkeys before their keys": lambda s: before_hotkeys(s, junk_keys(50 * MB)),
    "a line of 10 MB": lambda s: before_hotkeys(s, b"Note=" + b"x" * (10 * MB) + b"\r\n"),
    "binary bytes": lambda s: random.Random(7).randbytes(MB) + b"\n" + s + random.Random(8).randbytes(MB),
    # Only the first [Hotkeys] counts: its Ctrl+Alt+H, not the J of the copies.
    "the hotkeys section 100,000 times": lambda s: s + b"[Hotkeys]\r\nHKShowZPKey=74\r\n" * 100_000,
}


def without_exit_values(content):
    """The file's lines but those whose values the program writes at exit: recent projects, window position."""
    return [line for line in content.split(b"\r\n") if not line.startswith((b"RecentProject", b"frmzolpane"))]


@pytest.mark.parametrize("shape", SHAPES.values(), ids=SHAPES.keys())
def test_the_program_starts_reads_its_hotkeys_and_keeps_the_rest_of_the_file(wm, tray, program, shape):
    content = shape(settings_bytes())
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
