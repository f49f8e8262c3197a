"""settings.ini as something else may have left it (its shapes are read and written in tests/services): the
program starts with 50 MB, keeps every byte it does not own and reports a number too large, a full file system and
a settings.ini that is no file; a termination signal ends it while such a report waits for an answer."""

import errno
import os
import signal
import subprocess

import pytest

from conftest import MAIN_TITLE
from processes import wait_for
from zolpane_files import settings_bytes

pytestmark = pytest.mark.no_autorepeat
MB = 1 << 20


def without_exit_values(content):
    """The file's lines but those whose values the program writes at exit: recent projects, window position."""
    return [line for line in content.split(b"\r\n") if not line.startswith((b"RecentProject", b"frmzolpane"))]


# 50 MB of distinct key lines at the start of [Hotkeys], before the keys the program reads; or a number too large for
# its setting, which stops the loading with a message while the start goes on.
@pytest.mark.parametrize("junk", [50 * MB, 0], ids=["50 MB", "number too large"])
def test_the_program_starts_takes_its_hotkeys_and_keeps_the_rest_of_the_file(wm, tray, program, junk):
    content = settings_bytes(**({} if junk else {"HKShowZPMod": "9" * 20})).replace(
        b"[Hotkeys]\r\n", b"[Hotkeys]\r\n" + b"".join(b"junk%d=some value\r\n" % i for i in range(junk // 20)))
    with open(program.path("settings.ini"), "wb") as f:
        f.write(content)
    zp = program.start("nowindow")
    if not junk:
        box = wm.wait_for_window("Zolpane - Error", pid=zp.pid)
        assert "Error while loading settings!" in zp.log()
        wm.activate(box)
        wm.key("Return")
    program.wait_for_tray_icon(zp)  # which follows the hotkeys' registration
    if junk:
        wm.key("ctrl+alt+h")
        wait_for(lambda: wm.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True),
                 "Ctrl+Alt+H (from the file) to show the main window", alive=zp)
    zp.stop()
    assert zp.popen.returncode == 0, zp.log()
    with open(program.path("settings.ini"), "rb") as f:
        assert without_exit_values(f.read()) == without_exit_values(content)


@pytest.fixture
def small_home(program):
    """The program folder on a tmpfs of 1 MB; skipped where mounting is not permitted (no root, a container)."""
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m,mode=0700", "tmpfs", program.home],
                             capture_output=True, text=True)
    if mounted.returncode != 0:
        pytest.skip(f"cannot mount a tmpfs as the program folder: {mounted.stderr.strip()}")
    yield program.home
    subprocess.run(["umount", "--lazy", program.home], check=False)  # the program may still hold files there


def fill(folder):
    """Writes a file until the file system is full; returns its path."""
    path = os.path.join(folder, "filler")
    with open(path, "wb", buffering=0) as f, pytest.raises(OSError, match="No space left on device"):
        while f.write(bytes(1 << 16)):
            pass
    return path


def error_box(wm, zp, text):
    box = wm.wait_for_window("Zolpane - Error", pid=zp.pid)
    wait_for(lambda: text in zp.log(), f"{text!r} in the log")
    return box


def test_a_full_file_system_is_reported_at_start_and_at_exit_where_settings_ini_keeps_its_content(wm, program,
                                                                                                  small_home):
    """At exit, the box waits for an answer: a termination signal ends the program all the same."""
    program.write_settings()
    filler = fill(small_home)
    zp = program.start("nowindow")  # no room for the single-instance lock
    wm.activate(error_box(wm, zp, "Error while starting Zolpane."))
    wm.key("Return")
    assert zp.wait() != 0 and "No space left on device" in zp.log()
    os.remove(filler)
    zp = program.start(name="zolpane-full-at-exit")
    window = program.main_window(zp)
    fill(small_home)
    wm.activate(window)
    wm.key("alt+F4")  # the exit writes the window's place
    error_box(wm, zp, "Unable to write settings! Please check if you have got write permissions to "
                      f"{program.path('settings.ini')}.\r\n\r\nError number: {errno.ENOSPC}")
    zp.popen.send_signal(signal.SIGTERM)  # a logout does not wait for the box
    assert zp.wait() == 0
    with open(program.path("settings.ini"), "rb") as f:
        assert f.read() == settings_bytes()
    assert not [n for n in os.listdir(small_home) if n.endswith(".part")]


@pytest.mark.parametrize("kind", ["folder", "FIFO"])
def test_a_settings_ini_that_is_no_file_is_reported_at_start_and_sigterm_ends_the_program_under_the_box(
        wm, program, kind):
    (os.mkdir if kind == "folder" else os.mkfifo)(program.path("settings.ini"))
    zp = program.start("nowindow")
    wm.wait_for_window("Zolpane - Error", pid=zp.pid)
    assert "Error while loading settings!" in zp.log()
    zp.popen.send_signal(signal.SIGTERM)
    assert zp.wait() == 0
    assert "Unable to write settings!" not in zp.log()  # the exit's writes fail alike and are not reported again
