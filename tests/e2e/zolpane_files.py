"""The program's files as a test writes them: settings.ini as a first start writes it, and project containers."""

import collections
import struct

# A clip of a project: the row's text, format, the data file's content (default: the text) and method.
Clip = collections.namedtuple("Clip", "text fmt data method", defaults=("TXT-SIMPLE", None, 1))


def settings_bytes(**overrides):
    """settings.ini as a first start writes it, with the values of some keys replaced (on each of their lines)."""
    lines = ["[General]", "RunOnStartup=0", "OpenWindowAtStartup=1", "DisabledIP=0", "Charset=6", "", "[Zolpane]",
             "Exiting=1", "PasteMethod=1", "ZPAlwaysOnTop=0", "DefaultProjectName=Default.zp", "DefaultProjectPath=",
             "MinimizeOnCopy=0", "HideOnCopy=0", "AutoPaste=1", "SentenceCaseKeepBig=1", "AutoPasteOther=0",
             "AskDeletingClip=1", "DefaultFontName=0", "DefaultFontSize=0"]
    lines += [f"RecentProject{i}=" for i in range(1, 11)] + ["PasteMethod=1", "", "[WindowPos]", "frmConfPasteBoxX=",
              "frmConfPasteBoxY=", "frmzolpaneX=", "frmzolpaneY=", "", "[Hotkeys]"]
    for clip in range(30):  # clips 1-10 Ctrl, 11-20 Ctrl+Shift, 21-30 Ctrl+Alt; keys 1..9, then 0
        lines += [f"Clip{clip + 1}Mod={(2, 6, 3)[clip // 10]}", f"Clip{clip + 1}Key={48 + (clip % 10 + 1) % 10}"]
    for name, key in (("HKShowZP", "H"), ("HKGlobalMenu", "G"), ("HKPasteNext", "Q"), ("HKPasteMenu", "C"),
                      ("HKSettings", "S")):
        lines += [f"{name}Mod={2 if key == 'Q' else 3}", f"{name}Key={ord(key)}"]
    for key, value in overrides.items():
        assert any(line.startswith(key + "=") for line in lines), f"settings.ini has no {key}"
        lines = [f"{key}={value}" if line.startswith(key + "=") else line for line in lines]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def project_bytes(clips, code_page="cp1252"):
    """A container of zp.ini and clip1.dat ... clip30.dat: count, then name length, name, data length and data of
    each. clips maps clip numbers to a Clip or to the text of a simple clip; the others are empty."""
    index, members = [], []
    for i in range(1, 31):
        clip = clips.get(i, "Empty" + "\u00a0" * 6)
        clip = Clip(clip) if isinstance(clip, str) else clip
        index += [f"[Clip{i}]", f"Format = {clip.fmt}", f"Name = {clip.text}", f"Method = {clip.method}"]
        data = clip.text if clip.data is None else clip.data
        members.append((f"clip{i}.dat", data if isinstance(data, bytes) else (data + "\r\n").encode(code_page)))
    members.insert(0, ("zp.ini", ("\r\n".join(index) + "\r\n").encode(code_page)))
    return struct.pack("<i", len(members)) + b"".join(
        struct.pack("<h", len(name)) + name.encode() + struct.pack("<i", len(data)) + data for name, data in members)
