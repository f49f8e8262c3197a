#!/usr/bin/env python3
"""End-to-end tests of start-up, the single instance, the command line and closing the main window."""

import os
import signal
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import Session, check, check_equal, fail, main, stays_true, wait_for  # noqa: E402

MAIN_TITLE = r"Zolpane \(.*\)"
EMPTY_CLIP_TEXT = "Empty" + "\u00a0" * 6
CODE_PAGE = "cp1252"  # the code page of the C.UTF-8 locale the sessions run the program in


def default_settings_bytes():
    """settings.ini as a first start must write it: four sections in a fixed order, a blank line after each
    of the first three, DefaultProjectPath still empty (the folders are not known yet when it is written),
    PasteMethod repeated at the end of [Zolpane], the 30 clip hotkeys, then the five special hotkeys."""
    lines = ["[General]", "RunOnStartup=0", "OpenWindowAtStartup=1", "DisabledIP=0", "Charset=6", ""]
    lines += ["[Zolpane]", "Exiting=1", "PasteMethod=1", "ZPAlwaysOnTop=0", "DefaultProjectName=Default.zp",
              "DefaultProjectPath=", "MinimizeOnCopy=0", "HideOnCopy=0", "AutoPaste=1", "SentenceCaseKeepBig=1",
              "AutoPasteOther=0", "AskDeletingClip=1", "DefaultFontName=0", "DefaultFontSize=0"]
    lines += [f"RecentProject{i}=" for i in range(1, 11)]
    lines += ["PasteMethod=1", ""]
    lines += ["[WindowPos]", "frmConfPasteBoxX=", "frmConfPasteBoxY=", "frmzolpaneX=", "frmzolpaneY=", ""]
    lines += ["[Hotkeys]"]
    control, control_shift, control_alt = 2, 6, 3
    key_0 = 48
    for clip in range(1, 31):
        group, digit = divmod(clip - 1, 10)  # clips 1-10, 11-20, 21-30 share a modifier; keys 1..9, then 0
        modifier = (control, control_shift, control_alt)[group]
        key = key_0 + digit + 1 if digit < 9 else key_0
        lines += [f"Clip{clip}Mod={modifier}", f"Clip{clip}Key={key}"]
    for name, modifier, key in (("HKShowZP", 3, ord("H")), ("HKGlobalMenu", 3, ord("G")),
                                ("HKPasteNext", 2, ord("Q")), ("HKPasteMenu", 3, ord("C")),
                                ("HKSettings", 3, ord("S"))):
        lines += [f"{name}Mod={modifier}", f"{name}Key={key}"]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def project_bytes(clips):
    """A project file: the index zp.ini and one data file per clip, packed as count, then name length, name,
    data length and data of each member. clips maps a clip number to the text of a simple clip."""
    index = []
    members = []
    for i in range(1, 31):
        text = clips.get(i, EMPTY_CLIP_TEXT)
        index += [f"[Clip{i}]", "Format = TXT-SIMPLE", f"Name = {text}", "Method = 1"]
        members.append((f"clip{i}.dat", (text + "\r\n").encode(CODE_PAGE)))
    members.insert(0, ("zp.ini", ("\r\n".join(index) + "\r\n").encode(CODE_PAGE)))
    out = struct.pack("<i", len(members))
    for name, data in members:
        encoded = name.encode(CODE_PAGE)
        out += struct.pack("<h", len(encoded)) + encoded + struct.pack("<i", len(data)) + data
    return out


def write_project(session, file_name, clips):
    path = os.path.join(session.workdir, file_name)
    with open(path, "wb") as f:
        f.write(project_bytes(clips))
    return path


def first_difference(actual, expected):
    a, e = actual.split(b"\r\n"), expected.split(b"\r\n")
    for n, (x, y) in enumerate(zip(a, e), 1):
        if x != y:
            return f"line {n}: expected {y!r}, got {x!r}"
    return f"{len(a)} lines where {len(e)} were expected" if len(a) != len(e) else "line ends differ"


def start_first_instance(s, *args):
    """Starts the program and returns it with its main window once that window is shown."""
    zp = s.start_zolpane(*args)
    window = s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)
    return zp, window


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


# --------------------------------------------------------------------------------------------------------

def test_first_start_writes_default_settings_and_opens_default_project():
    with Session("first-start", tray=True) as s:
        settings = s.home_path("settings.ini")
        check(not os.path.exists(settings), "the session's program folder starts empty")
        zp = s.start_zolpane()
        window = s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)
        check_equal(s.window_name(window), "Zolpane (default.zp)", "title of the main window")
        actual = read_bytes(settings)
        expected = default_settings_bytes()
        if actual != expected:
            fail(f"settings.ini differs from the default file: {first_difference(actual, expected)}")
        check(os.path.isdir(s.home_path("temp")), "the temp folder is created")
        check(os.path.isdir(s.home_path("projects")), "the projects folder is created")
        check(zp.running(), "the program keeps running")


def test_second_start_without_arguments_says_already_running():
    with Session("second-start") as s:
        first, window = start_first_instance(s)
        second = s.start_zolpane(name="zolpane-second")
        box = s.wait_for_window("Zolpane", pid=second.pid)
        check(second.running(), "the second start waits while its box is open")
        check(not s.windows(pattern=MAIN_TITLE, pid=second.pid), "the second start shows no main window")
        s.activate(box)
        s.key("Return")
        second.wait(10)
        check(first.running(), "the first instance still runs")
        check_equal(s.zolpane_pids(), [first.pid], "running zolpane processes")
        check(s.is_viewable(window), "the first instance's window stays shown")


def test_second_start_with_a_project_hands_it_to_the_running_instance():
    with Session("handover") as s:
        project = write_project(s, "handed over.zp", {1: "handed over text"})
        first, window = start_first_instance(s)
        check_equal(s.window_name(window), "Zolpane (default.zp)", "title before the hand-over")
        second = s.start_zolpane(project, name="zolpane-second")
        status = second.wait(10)
        check(status >= 0, f"the second start ends normally (status {status})")
        check(not s.windows(title="Zolpane", visible=True), "no information box is shown")
        wait_for(lambda: s.window_name(window) == "Zolpane (handed over.zp)", 5,
                 "the running instance to show the handed-over project in its title")
        wait_for(lambda: not os.path.exists(s.home_path("loadbuff.dat")), 5, "the hand-over file to be consumed")
        check_equal(s.zolpane_pids(), [first.pid], "running zolpane processes")
        # The running instance really loaded the project: row 1 (which has the focus) holds its clip.
        s.activate(window)
        s.key("ctrl+a", "ctrl+c")
        wait_for(lambda: s.clipboard_get() == b"handed over text", 5, "row 1's text on the clipboard")


def test_second_start_writes_the_command_line_into_the_hand_over_file():
    with Session("handover-file") as s:
        project = write_project(s, "My clips.zp", {1: "mine"})
        first, window = start_first_instance(s)
        # Stop the running instance so that it cannot consume the file before it is read here.
        os.kill(first.pid, signal.SIGSTOP)
        try:
            handover = s.home_path("loadbuff.dat")
            # A stale, longer hand-over is replaced, not overwritten in place.
            with open(handover, "wb") as f:
                f.write(b"/some/much/longer/path/of/an/older/hand-over/that/never/was/read.zp\r\n")
            second = s.start_zolpane(project, name="zolpane-second")
            second.wait(10)
            check_equal(read_bytes(handover), project.encode(CODE_PAGE) + b"\r\n", "loadbuff.dat")
        finally:
            os.kill(first.pid, signal.SIGCONT)
        wait_for(lambda: s.window_name(window) == "Zolpane (My clips.zp)", 5,
                 "the running instance to open the handed-over project")
        wait_for(lambda: not os.path.exists(handover), 5, "the hand-over file to be consumed")


def test_nowindow_in_capitals_keeps_the_main_window_hidden():
    with Session("nowindow", tray=True) as s:
        project = write_project(s, "probe.zp", {})
        zp = s.start_zolpane("NOWINDOW")
        wait_for(lambda: os.path.isdir(s.home_path("projects")), 15, "the program to prepare its folders")
        # A hand-over is read by the main window's timer, which runs only once start-up has finished, and
        # start-up shows the main window (when it does) before that. So once the file is consumed the window
        # would be shown by now.
        second = s.start_zolpane(project, name="zolpane-second")
        second.wait(10)
        wait_for(lambda: not os.path.exists(s.home_path("loadbuff.dat")), 15,
                 "the running instance to consume the hand-over file")
        stays_true(lambda: zp.running() and not s.windows(pattern=MAIN_TITLE, pid=zp.pid, visible=True), 1.0,
                   "the main window must stay hidden and the program must run")
        check_equal(s.zolpane_pids(), [zp.pid], "running zolpane processes")


def test_nowindow_followed_by_more_words_shows_the_main_window():
    with Session("nowindow-more") as s:
        zp = s.start_zolpane("nowindow", "please")
        window = s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)
        check_equal(s.window_name(window), "Zolpane (default.zp)", "title of the main window")


def test_escape_hides_the_main_window():
    with Session("escape") as s:
        zp, window = start_first_instance(s)
        s.activate(window)
        s.key("Escape")
        wait_for(lambda: not s.is_viewable(window), 5, "the main window to be hidden")
        stays_true(lambda: zp.running() and not s.is_viewable(window), 1.0,
                   "the program must keep running with its window hidden")


def test_closing_the_main_window_hides_it():
    with Session("close") as s:
        zp, window = start_first_instance(s)
        s.close_window(window)
        wait_for(lambda: not s.is_viewable(window), 5, "the main window to be hidden")
        asked = lambda: s.windows(title="Zolpane", visible=True)  # noqa: E731
        stays_true(lambda: zp.running() and not s.is_viewable(window) and not asked(), 1.0,
                   "the program must keep running, hidden, without asking anything")


def test_alt_f4_in_a_row_ends_the_program():
    with Session("alt-f4") as s:
        zp, window = start_first_instance(s)
        s.activate(window)
        s.key("alt+F4")
        status = zp.wait(10)
        check_equal(status, 0, "exit status")
        check_equal(s.zolpane_pids(), [], "running zolpane processes")


def test_exit_stores_the_main_window_position():
    with Session("exit-position") as s:
        zp, window = start_first_instance(s)
        s.activate(window)
        s.key("alt+F4")
        zp.wait(10)
        settings = read_bytes(s.home_path("settings.ini")).decode(CODE_PAGE).split("\r\n")
        for key in ("frmzolpaneX", "frmzolpaneY"):
            values = [line.split("=", 1)[1] for line in settings if line.startswith(key + "=")]
            check(len(values) == 1, f"one {key} line in settings.ini, found {values}")
            check(values[0].lstrip("-").isdigit(), f"{key} holds a position in twips, found {values[0]!r}")


if __name__ == "__main__":
    main(globals(), timeout=90)
