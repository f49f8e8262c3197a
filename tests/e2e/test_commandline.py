"""The command line driving a running Zolpane over its program folder's local socket, as a desktop shortcut runs
it, and the notice a Wayland session gets. Each instance starts hidden on a default project written here."""

import glob
import os
import stat
import subprocess

import pytest

from processes import stays_true, wait_for
from x11_client import CONTROL_MASK
from zolpane_files import settings_bytes

NOT_RUNNING = "Zolpane is not running"


def command_env(program, home=None, **changes):
    """The program's environment for the program folder home; a change to None removes the variable."""
    env = {**program.desktop.env(ZOLPANE_HOME=home or program.home, LC_ALL="C.UTF-8", LANG="C.UTF-8"), **changes}
    return {key: value for key, value in env.items() if value is not None}


def zolpane(program, *args, home=None, **changes):
    """Runs the command line to its end, as a desktop shortcut does."""
    return subprocess.run([program.bin, *args], env=command_env(program, home, **changes), cwd=program.desktop.work,
                          capture_output=True, text=True, timeout=30)


def start_instance(program, home, clips, name="zolpane", **changes):
    """Starts hidden for the program folder home with clips as its default project; returns once its icon docks."""
    os.makedirs(os.path.join(home, "projects"), exist_ok=True)
    with open(os.path.join(home, "settings.ini"), "wb") as f:
        f.write(settings_bytes())
    program.write_project("default.zp", clips, os.path.join(home, "projects"))
    zp = program.desktop.start(name, [program.bin, "nowindow"], env=command_env(program, home, **changes))
    program.wait_for_tray_icon(zp)
    return zp


@pytest.mark.parametrize("place", ["runtime folder", "program folder"])
def test_paste_waits_until_the_shortcut_keys_are_up(wm, tray, target, program, place):
    # Without XDG_RUNTIME_DIR (as for root) the socket lives in the program folder.
    unset = {"XDG_RUNTIME_DIR": None} if place == "program folder" else {}
    start_instance(program, program.home, {1: "from the command line", 2: " and the next"}, **unset)
    sockets = glob.glob(os.path.join(program.home if unset else os.path.join(wm.root, "runtime"), "zolpane-*.socket"))
    assert len(sockets) == 1 and stat.S_ISSOCK(os.stat(sockets[0]).st_mode), sockets
    assert stat.S_IMODE(os.stat(sockets[0]).st_mode) & 0o077 == 0, oct(os.stat(sockets[0]).st_mode)
    target.activate()
    wm.xdotool("keydown", "super")  # the shortcut's key, which no hotkey of Zolpane has, is still held
    try:
        result = zolpane(program, "--paste", "1", **unset)
        assert (result.returncode, result.stdout, result.stderr) == (0, "", ""), result
        stays_true(lambda: target.text() == "", "nothing may be pasted while a key is held")
    finally:
        wm.xdotool("keyup", "super")
    target.wait_text("from the command line", "clip 1 pasted once the key is up")
    assert zolpane(program, "--paste-next", **unset).returncode == 0
    target.wait_text("from the command line and the next", "the next clip pasted")
    assert target.keys().count(("v", CONTROL_MASK)) == 2, target.keys()  # Control+V alone, without Super


def test_options_and_instances_of_other_folders(wm, tray, target, program):
    # Options need no display; a request finds no instance.
    for args, status, out, err in ((["--help"], 0, "--paste N", ""), (["--version"], 0, "zolpane ", ""),
                                   (["--paste", "31"], 2, "", "not a clip number from 1 to 30"),
                                   (["--paste", "1"], 1, "", NOT_RUNNING)):
        result = zolpane(program, *args, DISPLAY=None)
        assert result.returncode == status and out in result.stdout and err in result.stderr, (args, result)
    start_instance(program, program.home, {1: "A"})
    # An option is never taken for a project to hand over, even when a file has its name.
    open(os.path.join(wm.work, "--weird.zp"), "w").close()
    result = zolpane(program, "--weird.zp")
    assert result.returncode == 2 and "unknown option '--weird.zp'" in result.stderr, result
    assert not os.path.exists(program.path("loadbuff.dat"))

    other = os.path.join(wm.root, "other-home")
    target.activate()
    result = zolpane(program, "--paste", "1", home=other)
    assert result.returncode == 1 and NOT_RUNNING in result.stderr, result
    stays_true(lambda: target.text() == "", "the instance of another folder must not paste")
    second = start_instance(program, other, {1: "B"}, name="zolpane-other")
    target.activate()
    for home, expected in ((other, "B"), (program.home, "BA")):
        assert zolpane(program, "--paste", "1", home=home).returncode == 0
        target.wait_text(expected, f"clip 1 of {home}")

    # Killed, the second instance leaves its socket behind: nothing answers there, and its next start takes the
    # socket over.
    second.popen.kill()
    second.wait()
    assert len(glob.glob(os.path.join(wm.root, "runtime", "zolpane-*.socket"))) == 2
    result = zolpane(program, "--paste", "1", home=other)
    assert result.returncode == 1 and NOT_RUNNING in result.stderr, result
    start_instance(program, other, {1: "C"}, name="zolpane-restarted")
    target.activate()
    assert zolpane(program, "--paste", "1", home=other).returncode == 0
    target.wait_text("BAC", "clip 1 of the restarted instance")

    # A menu request is answered before the menu, or here the box saying there is nothing to paste, comes up.
    empty = start_instance(program, os.path.join(wm.root, "empty-home"), {}, name="zolpane-empty")
    result = zolpane(program, "--clip-menu", home=os.path.join(wm.root, "empty-home"))
    assert (result.returncode, result.stderr) == (0, ""), result
    wm.wait_for_window("Zolpane - Error", pid=empty.pid)
    assert "No clips to paste!" in empty.log()


def test_a_wayland_session_is_told_once_until_the_user_turns_it_off(wm, tray, program):
    wayland = {"WAYLAND_DISPLAY": "wayland-zp-test"}
    zp = start_instance(program, program.home, {}, **wayland)
    # The notice comes with the tray icon docked, not before it.
    box = wm.wait_for_window("Zolpane", pid=zp.pid)
    assert program.tray_icons(zp) and "zolpane --paste N" in zp.log()
    wm.activate(box)
    # To "Do not show this again", tick it, then OK. (Its Alt+D ticks it only after the button's press animation.)
    wm.key("Tab", "space", "Return")
    wait_for(lambda: not wm.is_viewable(box), "the notice to close")
    wait_for(lambda: "WaylandNoticeShown=1" in open(program.path("settings.ini"), encoding="cp1252").read(),
             "the notice to be turned off in settings.ini")
