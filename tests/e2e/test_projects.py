#!/usr/bin/env python3
"""End-to-end tests of projects: opening one named on the command line, a project handed over by a second
start, saving through the File menu, and the .zp file association written at start."""

import os
import re
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import check, check_equal, main, wait_for  # noqa: E402
from test_foundation import CODE_PAGE, EMPTY_CLIP_TEXT, default_settings_bytes, project_bytes  # noqa: E402
from test_tray import Session  # noqa: E402  (key autorepeat off)

MAIN_TITLE = r"Zolpane \(.*\)"
MIME_TYPE = "application/x-zolpane-project"


# --------------------------------------------------------------------------------------------------------
# Helpers

def write_settings(s, extra="", **overrides):
    """settings.ini of an earlier run (so that no first-run wizard takes the focus from the main window), with
    some values replaced and extra lines appended."""
    text = default_settings_bytes().decode(CODE_PAGE)
    for key, value in overrides.items():
        text, count = re.subn(rf"(?m)^{key}=[^\r]*", lambda m: f"{key}={value}", text)
        check(count == 1, f"the default settings hold one {key}")
    with open(s.home_path("settings.ini"), "wb") as f:
        f.write((text + extra).encode(CODE_PAGE))


def write_project(s, file_name, clips, folder=None):
    path = os.path.join(folder or s.workdir, file_name)
    with open(path, "wb") as f:
        f.write(project_bytes(clips))
    return path


def read_project(path):
    """The members of a project file, name to bytes, checking that the container is complete."""
    with open(path, "rb") as f:
        data = f.read()
    check(len(data) >= 4, f"{path} holds at least the member count")
    (count,) = struct.unpack_from("<i", data, 0)
    offset = 4
    members = {}
    for n in range(count):
        check(offset + 2 <= len(data), f"member {n + 1} of {count} has its name length")
        (name_length,) = struct.unpack_from("<h", data, offset)
        offset += 2
        name = data[offset:offset + name_length].decode(CODE_PAGE)
        offset += name_length
        check(offset + 4 <= len(data), f"member {name!r} has its data length")
        (length,) = struct.unpack_from("<i", data, offset)
        offset += 4
        check(offset + length <= len(data), f"member {name!r} holds its {length} bytes")
        members[name] = data[offset:offset + length]
        offset += length
    check_equal(offset, len(data), f"size of {path} (nothing after the last member)")
    return members


def clip_names(zp_ini):
    """Clip number to the Name value of its section in zp.ini."""
    names = {}
    section = None
    for line in zp_ini.decode(CODE_PAGE).split("\r\n"):
        match = re.fullmatch(r"\[Clip(\d+)\]", line)
        if match:
            section = int(match.group(1))
        elif section and line.startswith("Name = "):
            names[section] = line[len("Name = "):]
    return names


def read_settings(s):
    with open(s.home_path("settings.ini"), "rb") as f:
        return f.read().decode(CODE_PAGE).split("\r\n")


def start_with_project(s, path, title):
    write_settings(s)
    zp = s.start_zolpane(path)
    window = s.wait_for_window(title, pid=zp.pid)
    return zp, window


def wait_for_row_text(s, expected, what):
    s.key("ctrl+a", "ctrl+c")
    wait_for(lambda: s.clipboard_get() == expected.encode(), 5, what)


# --------------------------------------------------------------------------------------------------------

def test_start_with_a_project_path_shows_its_clips():
    with Session("project-start") as s:
        path = write_project(s, "My clips.zp", {1: "first clip text", 2: "second one", 30: "the last clip"})
        zp, window = start_with_project(s, path, "Zolpane (My clips.zp)")
        s.activate(window)
        # Row 1 has the focus after the project is loaded; Tab goes on in clip order.
        wait_for_row_text(s, "first clip text", "row 1's text on the clipboard")
        s.key("Tab")
        wait_for_row_text(s, "second one", "row 2's text on the clipboard")
        s.key(*["Tab"] * 28)
        wait_for_row_text(s, "the last clip", "row 30's text on the clipboard")
        check(zp.running(), "the program keeps running")


def test_start_with_a_project_path_adds_it_to_the_recent_projects():
    with Session("project-recent") as s:
        path = write_project(s, "recent one.zp", {1: "r"})
        zp, window = start_with_project(s, path, "Zolpane (recent one.zp)")
        s.activate(window)
        s.key("alt+F4")
        check_equal(zp.wait(10), 0, "exit status")
        lines = read_settings(s)
        check("RecentProject1=" + path in lines, f"RecentProject1 names the project (settings: {lines[:40]})")


def test_second_start_with_another_project_makes_the_running_one_load_it():
    with Session("project-handover") as s:
        first = write_project(s, "first.zp", {1: "from the first project"})
        second = write_project(s, "second.zp", {1: "from the second project", 4: "four"})
        zp, window = start_with_project(s, first, "Zolpane (first.zp)")
        s.activate(window)
        wait_for_row_text(s, "from the first project", "row 1 of the first project")
        # An unsaved change does not hold the hand-over up: no question is asked.
        s.key("End")
        s.type_text(" changed")
        handover = s.start_zolpane(second, name="zolpane-second")
        check_equal(handover.wait(10), 0, "exit status of the second start")
        wait_for(lambda: s.window_name(window) == "Zolpane (second.zp)", 5,
                 "the running instance to show the second project in its title")
        check(not s.windows(title="Zolpane", visible=True), "no question or message box is shown")
        check_equal(s.zolpane_pids(), [zp.pid], "running zolpane processes")
        s.activate(window)
        wait_for_row_text(s, "from the second project", "row 1 of the second project")
        with open(first, "rb") as f:
            check_equal(f.read(), project_bytes({1: "from the first project"}), "the first project file (not saved)")


def test_save_project_from_the_file_menu_writes_the_typed_text():
    with Session("project-save") as s:
        path = write_project(s, "save me.zp", {1: "old text", 2: "kept"})
        zp, window = start_with_project(s, path, "Zolpane (save me.zp)")
        s.activate(window)
        wait_for_row_text(s, "old text", "row 1 of the loaded project")
        s.key("ctrl+a")
        s.type_text("new text")
        # "&Save Project" and "&Save Project as..." share their access key: S marks the first, Return runs it.
        s.key("alt+f")
        s.key("s", "Return")
        wait_for(lambda: read_project(path)["clip1.dat"] == b"new text\r\n", 10, "the project file to be saved")
        members = read_project(path)
        check_equal(members["clip2.dat"], b"kept\r\n", "clip2.dat")
        check_equal(members["clip3.dat"], (EMPTY_CLIP_TEXT + "\r\n").encode(CODE_PAGE), "clip3.dat (an empty clip)")
        names = clip_names(members["zp.ini"])
        check_equal(names.get(1), "new text", "Name of [Clip1] in zp.ini")
        check_equal(names.get(2), "kept", "Name of [Clip2] in zp.ini")
        check_equal(len(names), 30, "clip sections in zp.ini")
        check_equal(s.window_name(window), "Zolpane (save me.zp)", "title after saving")
        check(not s.windows(title="Zolpane", visible=True), "no question or message box is shown")
        # Saved means unchanged: leaving the program asks nothing.
        s.activate(window)
        s.key("alt+F4")
        check_equal(zp.wait(10), 0, "exit status")
        check(read_project(path)["clip1.dat"] == b"new text\r\n", "the file keeps the saved text")


def test_save_project_on_a_new_project_asks_for_a_file_name():
    with Session("project-save-as") as s:
        write_settings(s)
        zp = s.start_zolpane()
        window = s.wait_for_window("Zolpane (default.zp)", pid=zp.pid)
        s.activate(window)
        s.key("alt+f", "n")  # "&New Project"
        wait_for(lambda: s.window_name(window) == "Zolpane (new project)", 5, "the title of a new project")
        s.activate(window)
        s.type_text("fresh text")
        s.key("alt+f")
        s.key("s", "Return")
        dialog = s.wait_for_window("Save Zolpane Project", pid=zp.pid, timeout=10)
        s.activate(dialog)
        target = os.path.join(s.workdir, "Fresh One.zp")
        s.type_text(target)
        s.key("Return")
        wait_for(lambda: os.path.exists(target), 10, "the project file to be written")
        wait_for(lambda: read_project(target).get("clip1.dat") == b"fresh text\r\n", 10,
                 "clip1.dat to hold the typed text")
        wait_for(lambda: s.window_name(window) == "Zolpane (Fresh One.zp)", 5, "the title to name the saved file")
        s.activate(window)
        s.key("alt+F4")
        check_equal(zp.wait(10), 0, "exit status")
        check(f"RecentProject1={target}" in read_settings(s), "the saved project heads the recent projects")


def test_load_project_from_the_file_menu_opens_the_chosen_file():
    with Session("project-load") as s:
        path = write_project(s, "to load.zp", {1: "loaded through the dialog"})
        write_settings(s)
        zp = s.start_zolpane()
        window = s.wait_for_window("Zolpane (default.zp)", pid=zp.pid)
        s.activate(window)
        s.key("alt+f", "l")  # "&Load Project"
        dialog = s.wait_for_window("Load Zolpane Project", pid=zp.pid, timeout=10)
        s.activate(dialog)
        s.type_text(path)
        s.key("Return")
        wait_for(lambda: s.window_name(window) == "Zolpane (to load.zp)", 10, "the title to name the loaded file")
        s.activate(window)
        wait_for_row_text(s, "loaded through the dialog", "row 1 of the loaded project")


def test_unsaved_changes_are_saved_at_exit_when_the_user_says_yes():
    with Session("project-exit-save") as s:
        path = write_project(s, "exit.zp", {1: "before"})
        zp, window = start_with_project(s, path, "Zolpane (exit.zp)")
        s.activate(window)
        wait_for_row_text(s, "before", "row 1 of the loaded project")
        s.key("ctrl+a")
        s.type_text("after")
        s.key("alt+F4")
        box = s.wait_for_window("Zolpane", pid=zp.pid, timeout=10)
        check("quest Zolpane There are some unsaved changes in current Zolpane project. Would you like to save "
              "them?" in zp.log(), f"the exit question is asked (log: {zp.log()!r})")
        s.activate(box)
        s.key("y")
        check_equal(zp.wait(10), 0, "exit status")
        check_equal(read_project(path)["clip1.dat"], b"after\r\n", "clip1.dat after saving at exit")


def test_default_project_is_opened_at_the_next_start():
    with Session("project-default") as s:
        folder = os.path.join(s.workdir, "My Projects")
        os.makedirs(folder)
        path = write_project(s, "Work Clips.zp", {1: "the default clips"}, folder=folder)
        zp, window = start_with_project(s, path, "Zolpane (Work Clips.zp)")
        s.activate(window)
        s.key("alt+f", "m")  # "&Make This Project Default"
        box = s.wait_for_window("Zolpane", pid=zp.pid, timeout=10)
        s.activate(box)
        s.key("y")
        # The name is written first, then the folder.
        wait_for(lambda: {"DefaultProjectName=Work Clips.zp", f"DefaultProjectPath={folder}/"} <= set(read_settings(s)),
                 5, "the default project's name and folder to be stored")
        s.activate(window)
        s.key("alt+F4")
        check_equal(zp.wait(10), 0, "exit status")

        again = s.start_zolpane(name="zolpane-again")
        window = s.wait_for_window(pattern=MAIN_TITLE, pid=again.pid)
        check_equal(s.window_name(window).lower(), "zolpane (work clips.zp)", "title at the next start")
        s.activate(window)
        wait_for_row_text(s, "the default clips", "row 1 of the default project")


def test_recent_project_from_the_file_menu_opens_it():
    with Session("project-recent-menu") as s:
        older = write_project(s, "older.zp", {1: "from the recent list"})
        current = write_project(s, "current.zp", {1: "current"})
        write_settings(s, RecentProject1=older)
        zp = s.start_zolpane(current)
        window = s.wait_for_window("Zolpane (current.zp)", pid=zp.pid)
        s.activate(window)
        # The command line put current.zp first; older.zp is now the second entry.
        s.key("alt+f", "r")  # "&Recent Projects"
        s.key("Down", "Return")
        wait_for(lambda: s.window_name(window) == "Zolpane (older.zp)", 10, "the recent project to be opened")
        s.activate(window)
        wait_for_row_text(s, "from the recent list", "row 1 of the recent project")
        s.key("alt+F4")
        # Any key in a row but Ctrl+A counts as typing, Ctrl+C too: the exit asks about saving.
        box = s.wait_for_window("Zolpane", pid=zp.pid, timeout=10)
        s.activate(box)
        s.key("n")
        check_equal(zp.wait(10), 0, "exit status")
        check_equal(read_project(older)["clip1.dat"], b"from the recent list\r\n", "older.zp (not saved)")
        lines = read_settings(s)
        check(f"RecentProject1={older}" in lines and f"RecentProject2={current}" in lines,
              f"the opened project moves to the front of the recent list: {lines}")


def test_quick_slot_key_in_a_row_opens_the_slot_project():
    with Session("project-quick-slot") as s:
        slot = write_project(s, "slot three.zp", {1: "quick slot clips"})
        current = write_project(s, "current.zp", {1: "current"})
        write_settings(s, extra=f"[ZolProjects]\r\nZolProject3={slot}\r\n")
        zp = s.start_zolpane(current)
        window = s.wait_for_window("Zolpane (current.zp)", pid=zp.pid)
        s.activate(window)
        s.key("ctrl+F3")
        wait_for(lambda: s.window_name(window) == "Zolpane (slot three.zp)", 10, "slot 3's project to be opened")
        s.activate(window)
        wait_for_row_text(s, "quick slot clips", "row 1 of the slot's project")


def is_above(s, window):
    out = s.run(["xprop", "-id", str(window), "_NET_WM_STATE"], check=False).stdout
    return "_NET_WM_STATE_ABOVE" in out


def test_always_on_top_keeps_the_main_window_shown_around_its_dialogs():
    with Session("always-on-top") as s:
        path = write_project(s, "top.zp", {1: "pinned"})
        write_settings(s, ZPAlwaysOnTop=1)
        zp = s.start_zolpane(path)
        window = s.wait_for_window("Zolpane (top.zp)", pid=zp.pid)
        wait_for(lambda: is_above(s, window), 5, "the main window to stay on top from the start")
        # Clip properties (F4 in a row), settings (global hotkey), quick slots (Options menu). Escape in the
        # settings asks whether to save them.
        for keys, title, asks in ((["F4"], "Clip properties", False), (["ctrl+alt+s"], "Zolpane Settings", True),
                                  (["alt+o", "z"], "ZolProjects Configuration", False)):
            s.activate(window)
            s.key(*keys)
            dialog = s.wait_for_window(title, pid=zp.pid)
            wait_for(lambda: not is_above(s, window), 5, f"the main window to let {title} come first")
            check(s.is_viewable(window), f"the main window is still shown while {title} is open")
            s.activate(dialog)
            s.key("Escape")
            if asks:
                box = s.wait_for_window("Zolpane", pid=zp.pid)
                s.activate(box)
                s.key("n")
            wait_for(lambda: not s.windows(title=title, pid=zp.pid, visible=True), 5, f"{title} to close")
            wait_for(lambda: is_above(s, window), 5, f"the main window on top again after {title}")
            check(s.is_viewable(window), f"the main window is still shown after {title}")


def test_project_file_association_is_written_at_start():
    with Session("association") as s:
        write_settings(s)
        zp = s.start_zolpane()
        s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)
        program = os.path.realpath(s.zolpane_bin)

        mime = os.path.join(s.data_home, "mime", "packages", "zolpane.xml")
        wait_for(lambda: os.path.exists(mime), 5, "the MIME package to be written")
        with open(mime, encoding="utf-8") as f:
            text = f.read()
        check(f'<mime-type type="{MIME_TYPE}">' in text, f"zolpane.xml declares {MIME_TYPE}: {text!r}")
        check('<glob pattern="*.zp"/>' in text, f"zolpane.xml matches *.zp: {text!r}")
        check("<comment>Zolpane Project</comment>" in text, f"zolpane.xml describes the type: {text!r}")

        entry = os.path.join(s.data_home, "applications", "Zolpane.desktop")
        values = desktop_entry(entry)
        check_equal(values.get("Type"), "Application", "Type of Zolpane.desktop")
        check_equal(values.get("MimeType"), MIME_TYPE + ";", "MimeType of Zolpane.desktop")
        check_equal(values.get("Exec"), f'"{program}" %f', "Exec of Zolpane.desktop")
        check(values.get("Icon"), "Zolpane.desktop names an icon")

        with open(os.path.join(s.config_home, "mimeapps.list"), encoding="utf-8") as f:
            lines = f.read().splitlines()
        check("[Default Applications]" in lines, f"mimeapps.list has its default section: {lines}")
        section = lines[lines.index("[Default Applications]") + 1:]
        section = section[:next((i for i, l in enumerate(section) if l.startswith("[")), len(section))]
        check(f"{MIME_TYPE}=Zolpane.desktop;" in section, f"Zolpane is the default for {MIME_TYPE}: {lines}")
        check(not os.path.exists(os.path.join(s.config_home, "autostart", "ZolpaneSW.desktop")),
              "no autostart entry while RunOnStartup is 0")


def test_association_keeps_the_users_other_default_applications():
    with Session("association-keep") as s:
        write_settings(s)
        mimeapps = os.path.join(s.config_home, "mimeapps.list")
        with open(mimeapps, "w", encoding="utf-8") as f:
            f.write("[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
                    "text/plain=editor.desktop;\nimage/png=viewer.desktop;\n")
        zp = s.start_zolpane()
        s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)

        def lines():
            with open(mimeapps, encoding="utf-8") as f:
                return f.read().splitlines()
        wait_for(lambda: f"{MIME_TYPE}=Zolpane.desktop;" in lines(), 5, "Zolpane to be added to mimeapps.list")
        kept = lines()
        for line in ("[Added Associations]", "text/plain=editor.desktop;", "image/png=viewer.desktop;"):
            check(line in kept, f"{line!r} is kept in mimeapps.list: {kept}")
        check_equal(kept.count("text/plain=editor.desktop;"), 2, "text/plain lines in mimeapps.list")
        start = kept.index("[Default Applications]")
        check(kept.index(f"{MIME_TYPE}=Zolpane.desktop;") > start,
              f"the Zolpane line is in [Default Applications]: {kept}")


def desktop_entry(path):
    values = {}
    group = None
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line:
                key, value = line.split("=", 1)
                values.setdefault(key, value)
    return values


if __name__ == "__main__":
    main(globals(), timeout=90)
