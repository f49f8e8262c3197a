#!/usr/bin/env python3
"""End-to-end tests of copying and pasting clips into another application, and of the global hotkeys.

The foreign application is a Tk text window (tk_paste_target.tcl) that writes its text to a file after every
change and logs the key presses it receives. Zolpane starts hidden ("nowindow") on a project written here as
the default project, so that the Tk window is the last active window when a hotkey is pressed.
"""

import ctypes
import ctypes.util
import os
import pwd
import struct
import sys
import textwrap
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import Session, check, check_equal, fail, main, stays_true, wait_for  # noqa: E402
from test_foundation import EMPTY_CLIP_TEXT, default_settings_bytes  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
PASTE_TARGET = os.path.join(HERE, "tk_paste_target.tcl")
MAIN_TITLE = r"Zolpane \(.*\)"

# Upper bounds for waiting, not expectations.
PASTE_TIMEOUT = 10.0
READY_TIMEOUT = 15.0
# How long something that must not happen is watched for.
QUIET_PERIOD = 1.0

CZECH = "Příliš žluťoučký kůň {a}+b~c"
CZECH_TYPED = "Příliš žluťoučký kůň a+b~c"


# --------------------------------------------------------------------------------------------------------
# Files the program reads

class Clip:
    """One clip of a project: format token, the row's text (for TXT-SIMPLE the text itself), the data file's
    content (None: derived from the text) and the paste method code."""

    def __init__(self, text, fmt="TXT-SIMPLE", data=None, method=1):
        self.text = text
        self.fmt = fmt
        self.data = data
        self.method = method


def project_bytes(clips, code_page="cp1252"):
    """A project container: zp.ini and clip1.dat ... clip30.dat. clips maps a clip number to a Clip (or a str
    for a simple clip with method 1); the other clips are empty."""
    index = []
    members = []
    for i in range(1, 31):
        clip = clips.get(i, Clip(EMPTY_CLIP_TEXT))
        if isinstance(clip, str):
            clip = Clip(clip)
        index += [f"[Clip{i}]", f"Format = {clip.fmt}", f"Name = {clip.text}", f"Method = {clip.method}"]
        data = clip.data
        if data is None:
            data = (clip.text + "\r\n").encode(code_page)
        elif isinstance(data, str):
            data = (data + "\r\n").encode(code_page)
        members.append((f"clip{i}.dat", data))
    members.insert(0, ("zp.ini", ("\r\n".join(index) + "\r\n").encode(code_page)))
    out = struct.pack("<i", len(members))
    for name, data in members:
        encoded = name.encode(code_page)
        out += struct.pack("<h", len(encoded)) + encoded + struct.pack("<i", len(data)) + data
    return out


def bmp_bytes(pixels):
    """A 24-bit Windows bitmap of pixels (rows top to bottom of (r, g, b)), rows bottom-up, padded to 4 bytes."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    rows = b""
    for row in reversed(pixels):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        rows += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


def png_pixels(data):
    """Decodes an 8-bit RGB or RGBA PNG (not interlaced) into rows of (r, g, b)."""
    check(data.startswith(b"\x89PNG\r\n\x1a\n"), f"a PNG file, got {data[:16]!r}")
    pos = 8
    idat = b""
    width = height = color_type = None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, color_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
            check(depth == 8 and color_type in (2, 6) and interlace == 0,
                  f"an 8-bit RGB(A) PNG, got depth {depth}, colour type {color_type}, interlace {interlace}")
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    channels = 3 if color_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + b) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return rows


def settings_bytes(**values):
    """The default settings.ini with some [Zolpane] values changed (every line of a key, since PasteMethod
    appears twice)."""
    lines = default_settings_bytes().decode("ascii").split("\r\n")
    for key, value in values.items():
        found = False
        for n, line in enumerate(lines):
            if line.startswith(key + "="):
                lines[n] = f"{key}={value}"
                found = True
        check(found, f"settings.ini has a {key} line")
    return "\r\n".join(lines).encode("ascii")


# --------------------------------------------------------------------------------------------------------
# The foreign application

class Target:
    """A Tk text window of this session, with its own title."""

    def __init__(self, session, title):
        self.session = session
        self.title = title
        self.out = os.path.join(session.root, f"target-{title}.txt")
        self.process = session.start_process(f"tk-{title}", ["wish", PASTE_TARGET, self.out, title])
        wait_for(lambda: os.path.exists(self.out), READY_TIMEOUT, f"the Tk window {title} to show itself")
        self.window = session.wait_for_window(title)

    def text(self):
        with open(self.out, encoding="utf-8") as f:
            return f.read()

    def keys(self):
        """The key presses the window received so far: (keysym, X modifier state)."""
        found = []
        for line in self.process.log().splitlines():
            parts = line.split()
            if len(parts) == 4 and parts[0] == "K":
                found.append((parts[1], int(parts[2])))
        return found

    def activate(self):
        self.session.activate(self.window)

    def wait_for_text(self, expected, what):
        wait_for(lambda: self.text() == expected, PASTE_TIMEOUT, f"{what} (expected {expected!r})")


SHIFT_MASK, LOCK_MASK, CONTROL_MASK, MOD2_MASK = 1, 2, 4, 16


def modifier_state(session):
    """The X modifier state now (Shift, Lock, Control, Mod1..5 bits), as the pointer query reports it."""
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    window, child = ctypes.c_ulong(), ctypes.c_ulong()
    coords = [ctypes.c_int() for _ in range(4)]
    mask = ctypes.c_uint()
    x.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
    d = x.XOpenDisplay(session.display.encode())
    if not d:
        fail(f"cannot open display {session.display}")
    try:
        x.XQueryPointer(d, x.XDefaultRootWindow(d), ctypes.byref(window), ctypes.byref(child),
                        *[ctypes.byref(c) for c in coords], ctypes.byref(mask))
    finally:
        x.XCloseDisplay(d)
    return mask.value


# --------------------------------------------------------------------------------------------------------
# Starting the program

def start_hidden(session, clips, code_page=None, **settings):
    """Writes settings.ini and the default project, starts Zolpane with "nowindow" and waits until its tray
    icon is embedded (the hotkeys are registered before the icon is added)."""
    with open(session.home_path("settings.ini"), "wb") as f:
        f.write(settings_bytes(**settings))
    os.makedirs(session.home_path("projects"), exist_ok=True)
    python_code_page = f"cp{code_page}" if code_page else "cp1252"
    with open(session.home_path("projects", "default.zp"), "wb") as f:
        f.write(project_bytes(clips, python_code_page))
    env = session.zolpane_env()
    if code_page:
        env["ZOLPANE_CODEPAGE"] = str(code_page)
    zp = session.start_process("zolpane", [session.zolpane_bin, "nowindow"], env=env)
    wait_for_tray_icon(session, zp)
    return zp


def wait_for_tray_icon(session, zp):
    def embedded():
        if not zp.running():
            fail(f"Zolpane ended at start-up: {zp.log()}")
        return any(is_tray_icon(session, wid) for wid in windows_of(session, zp))
    wait_for(embedded, READY_TIMEOUT, "Zolpane's tray icon (it follows the hotkey registration)")


def windows_of(session, process):
    """Every window carrying the process id (named or not)."""
    out = session.xdotool("search", "--pid", process.pid, check=False)
    return [int(w) for w in out.split()]


def is_tray_icon(session, wid):
    tree = session.run(["xwininfo", "-id", str(wid), "-tree"], check=False).stdout
    return any(line.strip().startswith("Parent window id:") and '"wmsystemtray"' in line
               for line in tree.splitlines())


def press(session, combination):
    """Presses and releases a combination the way xdotool does (the modifiers go up before the key)."""
    session.xdotool("key", combination)


# --------------------------------------------------------------------------------------------------------
# A client that holds a key grab of its own

GRABBER = textwrap.dedent("""
    import ctypes, ctypes.util, sys
    x = ctypes.CDLL(ctypes.util.find_library("X11"))
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XStringToKeysym.restype = ctypes.c_ulong
    x.XStringToKeysym.argtypes = [ctypes.c_char_p]
    x.XKeysymToKeycode.restype = ctypes.c_ubyte
    x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int,
                           ctypes.c_int, ctypes.c_int]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    d = x.XOpenDisplay(None)
    root = x.XDefaultRootWindow(d)
    code = x.XKeysymToKeycode(d, x.XStringToKeysym(sys.argv[1].encode()))
    control, lock, numlock = 4, 2, 16
    for extra in (0, lock, numlock, lock | numlock):
        x.XGrabKey(d, code, control | extra, root, 1, 1, 1)
    x.XSync(d, 0)
    print("grabbed", code, flush=True)
    event = (ctypes.c_long * 24)()
    while True:
        x.XNextEvent(d, event)
        kind = ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0]
        if kind == 2:
            print("pressed", flush=True)
""")


# --------------------------------------------------------------------------------------------------------

def test_clip_hotkey_pastes_clip_one_once_the_keys_are_released():
    with Session("hotkey-release", tray=True) as s:
        target = Target(s, "Target")
        zp = start_hidden(s, {1: "first clip", 2: "second clip"})
        s.clipboard_set("before")
        target.activate()
        untouched = lambda: target.text() == "" and s.clipboard_get() == b"before"  # noqa: E731
        s.xdotool("keydown", "ctrl+1")
        try:
            stays_true(untouched, QUIET_PERIOD, "nothing may happen while Ctrl+1 is held")
        finally:
            s.xdotool("keyup", "1")
        stays_true(untouched, QUIET_PERIOD / 2, "nothing may happen while Ctrl is still held")
        s.xdotool("keyup", "ctrl")
        target.wait_for_text("first clip", "clip 1 pasted into the Tk window")
        # The paste used Control+V, pressed by the program after the user's keys were up.
        check(("v", CONTROL_MASK) in target.keys(), f"Control+V reached the window: {target.keys()}")
        press(s, "ctrl+2")
        target.wait_for_text("first clipsecond clip", "clip 2 pasted after clip 1")
        check(zp.running(), "Zolpane keeps running")


def test_key_by_key_types_unicode_text_without_braces():
    with Session("key-by-key", tray=True) as s:
        target = Target(s, "Target")
        # Clip 1 asks for key by key itself; clip 2 takes the program's default, which is key by key here.
        zp = start_hidden(s, {1: Clip(CZECH, method=2), 2: Clip("x{y}(z)%", method=4)}, code_page=1250,
                          PasteMethod=2)
        target.activate()
        press(s, "ctrl+1")
        target.wait_for_text(CZECH_TYPED, "clip 1 typed key by key")
        # The clipboard holds the clip as it is: typing, not pasting, dropped the braces.
        check_equal(s.clipboard_get().decode("utf-8"), CZECH, "the clipboard")
        check(("v", CONTROL_MASK) not in target.keys(), "key by key sends no Control+V")
        press(s, "ctrl+2")
        target.wait_for_text(CZECH_TYPED + "xy(z)%", "clip 2 typed key by key through the default method")
        check(zp.running(), "Zolpane keeps running")


def test_shift_insert_pastes_with_method_three():
    with Session("shift-insert", tray=True) as s:
        target = Target(s, "Target")
        start_hidden(s, {1: Clip("inserted text", method=3), 2: Clip("default method", method=4)}, PasteMethod=3)
        target.activate()
        press(s, "ctrl+1")
        target.wait_for_text("inserted text", "clip 1 pasted with Shift+Insert")
        press(s, "ctrl+2")
        target.wait_for_text("inserted textdefault method", "clip 2 pasted with the default method Shift+Insert")
        keys = target.keys()
        check(keys.count(("Insert", SHIFT_MASK)) == 2, f"two Shift+Insert reached the window: {keys}")
        check(("v", CONTROL_MASK) not in keys, f"no Control+V was sent: {keys}")


def test_picture_clip_puts_an_image_on_the_clipboard():
    red, blue, green = (255, 0, 0), (0, 0, 255), (0, 200, 0)
    # 7 pixels wide, so the bitmap's rows are padded; the top row differs, so upside-down would show.
    pixels = [[green] * 7] + [[red] * 3 + [blue] * 4 for _ in range(4)]
    with Session("picture", tray=True) as s:
        target = Target(s, "Target")
        start_hidden(s, {1: Clip("a picture", fmt="IMG", data=bmp_bytes(pixels), method=2)})
        target.activate()
        press(s, "ctrl+1")
        wait_for(lambda: "image/png" in s.clipboard_targets(), PASTE_TIMEOUT, "image/png among the clipboard targets")
        targets = s.clipboard_targets()
        for text_target in ("UTF8_STRING", "STRING", "TEXT", "text/plain"):
            check(text_target not in targets, f"no {text_target} for a picture: {targets}")
        check_equal(png_pixels(s.clipboard_get("image/png")), pixels, "the pixels of the clipboard's PNG")
        # Key by key cannot type a picture: Control+V is sent instead.
        wait_for(lambda: ("v", CONTROL_MASK) in target.keys(), PASTE_TIMEOUT, "Control+V sent for the picture")


def test_rtf_clip_offers_rich_text_only():
    rtf = r"{\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Rich \b bold\b0  text\par}"
    with Session("rtf", tray=True) as s:
        target = Target(s, "Target")
        start_hidden(s, {1: Clip("rich", fmt="RTF", data=rtf)})
        target.activate()
        press(s, "ctrl+1")
        wait_for(lambda: "text/rtf" in s.clipboard_targets(), PASTE_TIMEOUT, "text/rtf among the clipboard targets")
        targets = s.clipboard_targets()
        for text_target in ("UTF8_STRING", "STRING", "TEXT", "text/plain"):
            check(text_target not in targets, f"no {text_target} beside the rich text: {targets}")
        check_equal(s.clipboard_get("text/rtf"), rtf.encode("cp1252"), "the clipboard's text/rtf")
        # Control+V reaches the plain-text window, which finds nothing it can paste.
        wait_for(lambda: ("v", CONTROL_MASK) in target.keys(), PASTE_TIMEOUT, "Control+V sent for the rich text")
        stays_true(lambda: target.text() == "", QUIET_PERIOD, "a plain-text window receives nothing")


def test_paste_next_walks_the_non_empty_clips():
    with Session("paste-next", tray=True) as s:
        target = Target(s, "Target")
        zp = start_hidden(s, {2: "B", 5: "E", 29: "Z"})
        target.activate()
        expected = ""
        # Right after start-up the next clip is the first non-empty one; from clip 29 it wraps to clip 2.
        for clip in ("B", "E", "Z", "B"):
            press(s, "ctrl+q")
            expected += clip
            target.wait_for_text(expected, f"paste next to paste {clip}")
        # A clip hotkey sets the last clip: paste next goes on after it.
        press(s, "ctrl+5")
        expected += "E"
        target.wait_for_text(expected, "clip 5 pasted by its hotkey")
        press(s, "ctrl+q")
        expected += "Z"
        target.wait_for_text(expected, "paste next to go on after clip 5")
        check(zp.running(), "Zolpane keeps running")


def test_paste_goes_to_the_previous_window_when_the_newest_is_closed():
    with Session("previous-window", tray=True) as s:
        older = Target(s, "Older")
        newer = Target(s, "Newer")
        zp = start_hidden(s, {1: "for the older window", 2: "for the newer window"})
        older.activate()
        newer.activate()
        press(s, "ctrl+2")
        newer.wait_for_text("for the newer window", "clip 2 pasted into the newer window")
        # The program's own window in front: it never enters the record, so the newer window stays newest.
        press(s, "ctrl+alt+h")
        window = s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)
        s.activate(window)
        s.close_window(newer.window)
        newer.process.wait(PASTE_TIMEOUT)
        check(s.active_window() == window, "the main window is still the active one")
        press(s, "ctrl+1")
        older.wait_for_text("for the older window", "clip 1 pasted into the older window")
        check(zp.running(), "Zolpane keeps running")


def test_copy_key_of_a_row_pastes_into_the_last_foreign_window():
    long_text = "a long clip\r\nof two lines"
    with Session("copy-key", tray=True) as s:
        target = Target(s, "Target")
        zp = start_hidden(s, {1: Clip("long", fmt="TXT-LONG", data=long_text)}, HideOnCopy=1)
        target.activate()
        press(s, "ctrl+alt+h")
        window = s.wait_for_window(pattern=MAIN_TITLE, pid=zp.pid)
        s.activate(window)
        # Row 1 has the focus; F2 on a clip that is not a simple one is its copy key.
        s.key("F2")
        target.wait_for_text("a long clip\nof two lines", "clip 1 pasted into the Tk window")
        check_equal(s.clipboard_get(), b"a long clip\r\nof two lines", "the clipboard")
        wait_for(lambda: not s.is_viewable(window), PASTE_TIMEOUT, "the main window to hide after the copy")


def test_a_hotkey_taken_by_another_client_leaves_the_others_working():
    with Session("grabbed", tray=True) as s:
        target = Target(s, "Target")
        grabber = s.start_process("grabber", [sys.executable, "-c", GRABBER, "2"])
        wait_for(lambda: "grabbed" in grabber.log(), READY_TIMEOUT, "the other client to grab Ctrl+2")
        zp = start_hidden(s, {1: "one", 2: "two", 3: "three"})
        target.activate()
        press(s, "ctrl+1")
        target.wait_for_text("one", "clip 1 pasted")
        press(s, "ctrl+2")
        wait_for(lambda: "pressed" in grabber.log(), PASTE_TIMEOUT, "Ctrl+2 to reach the client that grabbed it")
        press(s, "ctrl+3")
        target.wait_for_text("onethree", "clip 3 pasted; clip 2's taken hotkey did nothing")
        check(s.clipboard_get() == b"three", "clip 3 is on the clipboard")
        check(zp.running(), "Zolpane keeps running")
        shown = [w for w in windows_of(s, zp) if s.is_viewable(w) and not is_tray_icon(s, w)]
        check_equal(shown, [], "windows shown by Zolpane (a refused hotkey is not reported)")


def without_one_character(actual, expected):
    """Whether actual is expected with at most one character left out."""
    if actual == expected:
        return True
    if len(actual) != len(expected) - 1:
        return False
    n = next((i for i, (a, e) in enumerate(zip(actual, expected)) if a != e), len(actual))
    return actual[n:] == expected[n + 1:]


def unchanged_length(target, seconds):
    """The length of the Tk window's text when it stays the same for seconds, else 0."""
    before = len(target.text())
    time.sleep(seconds)
    return before if len(target.text()) == before and before > 0 else 0


def test_a_hotkey_pressed_while_a_clip_is_typed_waits_for_the_typing():
    # 3,000 characters of signs and letters missing from the layout: none of them does anything in the Tk window
    # when typed with Control, where letters would be editing commands and digits our own hotkeys.
    typed = "ČŘŽ (+;) [~,] %^| {Ů} .=- " * 111
    expected = typed.replace("{", "").replace("}", "")
    with Session("hotkey-while-typing", tray=True) as s:
        target = Target(s, "Target")
        zp = start_hidden(s, {1: Clip(typed, method=2), 2: "TWO"}, code_page=1250)
        target.activate()
        press(s, "ctrl+1")
        wait_for(lambda: len(target.text()) > 20, PASTE_TIMEOUT, "the typing of clip 1 to begin")
        # The next hotkey comes while clip 1 is still being typed. Its Control must not turn the typed keys into
        # shortcuts: the typing pauses while it is down. (Control goes down first, on its own, so that the typing
        # has paused by the time the hotkey's key goes down; then no typed Shift can change the hotkey.)
        s.xdotool("keydown", "ctrl")
        try:
            check(len(target.text()) < len(expected), "clip 1 is still being typed when Control goes down")
            wait_for(lambda: "typing pauses" in zp.log(), PASTE_TIMEOUT, "the typing to pause while Control is down")
            typed_so_far = wait_for(lambda: unchanged_length(target, 0.5), PASTE_TIMEOUT,
                                    "the Tk window to show what was typed before the pause")
            check(typed_so_far < len(expected), "the typing paused before the end of clip 1")
            # The hotkey's key grab would take every typed key; the typing goes on only once all keys are up.
            s.xdotool("keydown", "2")
            try:
                stays_true(lambda: len(target.text()) == typed_so_far, 0.3, "typing must wait while Ctrl+2 is down")
            finally:
                s.xdotool("keyup", "2")
        finally:
            s.xdotool("keyup", "ctrl")
        wait_for(lambda: target.text().endswith("TWO"), PASTE_TIMEOUT * 3, "clip 2 pasted after clip 1")
        # Control pressed at the very moment a typed key is on its way to the server may still meet that one.
        text = target.text()[:-3]
        check(without_one_character(text, expected),
              f"clip 1 typed in full (at most one character lost): {len(text)} of {len(expected)} characters")
        check(zp.running(), "Zolpane keeps running")


def test_hotkeys_of_every_group_work_with_caps_lock_and_num_lock_on():
    with Session("locks", tray=True) as s:
        target = Target(s, "Target")
        zp = start_hidden(s, {1: "AbC", 11: Clip("dEf ŘÍ", method=2), 21: Clip("gHi", method=3)}, code_page=1250)
        target.activate()
        s.key("Caps_Lock", "Num_Lock")
        locks = LOCK_MASK | MOD2_MASK
        wait_for(lambda: modifier_state(s) & locks == locks, PASTE_TIMEOUT, "Caps Lock and Num Lock to be on")
        press(s, "ctrl+1")
        target.wait_for_text("AbC", "clip 1 pasted with Control+V")
        # Typed key by key: the letters keep their case although Caps Lock is on.
        press(s, "ctrl+shift+1")
        target.wait_for_text("AbCdEf ŘÍ", "clip 11 typed key by key")
        press(s, "ctrl+alt+1")
        target.wait_for_text("AbCdEf ŘÍgHi", "clip 21 pasted with Shift+Insert")
        check(modifier_state(s) & locks == locks, "Caps Lock and Num Lock are still on")
        check(zp.running(), "Zolpane keeps running")


def test_placeholders_are_expanded_in_their_exact_spelling():
    user = pwd.getpwuid(os.geteuid()).pw_name
    with Session("placeholders", tray=True) as s:
        target = Target(s, "Target")
        start_hidden(s, {1: "[%user%|%USER%|%User%]", 2: Clip("<%user%>", method=2)})
        target.activate()
        press(s, "ctrl+1")
        target.wait_for_text(f"[{user}|%USER%|%User%]", "clip 1 pasted with the user name")
        press(s, "ctrl+2")
        target.wait_for_text(f"[{user}|%USER%|%User%]<{user}>", "clip 2 typed with the user name")


def test_copy_without_auto_paste_or_with_an_unknown_method_sends_no_keys():
    with Session("no-paste", tray=True) as s:
        target = Target(s, "Target")
        start_hidden(s, {1: Clip("method zero", method=0), 2: Clip("method five", method=5), 3: "three"})
        target.activate()
        press(s, "ctrl+1")
        wait_for(lambda: s.clipboard_get() == b"method zero", PASTE_TIMEOUT, "clip 1 on the clipboard")
        press(s, "ctrl+2")
        wait_for(lambda: s.clipboard_get() == b"method five", PASTE_TIMEOUT, "clip 2 on the clipboard")
        stays_true(lambda: target.text() == "" and ("v", CONTROL_MASK) not in target.keys(), QUIET_PERIOD,
                   "nothing may be sent for a clip whose method is not 1, 2 or 3")
        # Paste next goes on from clip 2, the clip copied last.
        press(s, "ctrl+q")
        target.wait_for_text("three", "paste next to paste clip 3")

    with Session("auto-paste-off", tray=True) as s:
        target = Target(s, "Target")
        start_hidden(s, {1: "copied only"}, AutoPaste=0)
        target.activate()
        press(s, "ctrl+1")
        wait_for(lambda: s.clipboard_get() == b"copied only", PASTE_TIMEOUT, "clip 1 on the clipboard")
        stays_true(lambda: target.text() == "" and ("v", CONTROL_MASK) not in target.keys(), QUIET_PERIOD,
                   "without auto paste nothing may be pasted")


def test_with_every_recorded_window_gone_the_clip_is_still_copied():
    with Session("no-window-left", tray=True) as s:
        target = Target(s, "Target")
        zp = start_hidden(s, {1: "still copied", 2: "two"})
        target.activate()
        s.close_window(target.window)
        target.process.wait(PASTE_TIMEOUT)
        press(s, "ctrl+1")
        wait_for(lambda: s.clipboard_get() == b"still copied", PASTE_TIMEOUT, "clip 1 on the clipboard")
        stays_true(zp.running, QUIET_PERIOD, "Zolpane must keep running")
        # A new window is recorded as soon as it is active, and receives the next paste.
        again = Target(s, "Again")
        again.activate()
        press(s, "ctrl+2")
        again.wait_for_text("two", "clip 2 pasted into the new window")


if __name__ == "__main__":
    main(globals(), timeout=120)
