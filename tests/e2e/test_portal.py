"""Hotkeys and keys through the desktop portals, as on GNOME and KDE Plasma: the real xdg-desktop-portal with a
scripted desktop behind it (portal_session.py). The desktop binds the program's shortcuts and reports their
presses and releases; the program's keys go to it as keysyms, which it types into the window in front with its
US layout. The program runs as a native Wayland client with ZOLPANE_KEYS=portal (sway would also offer it a
virtual keyboard)."""

import os
import re

import pytest

from processes import stays_true, wait_for
from zolpane_files import Clip
from portal_session import PortalDesktop, portal  # noqa: F401 (fixture)
from test_wayland import CZECH
from wayland_session import QtTarget, sway, xwayland  # noqa: F401 (fixtures)

PORTAL_KEYS = {"ZOLPANE_KEYS": "portal"}
CONTROL_L, SHIFT_L, V, INSERT = 0xffe3, 0xffe1, 0x76, 0xff63


def shortcut(clip):
    """The portal's id of a clip's hotkey."""
    return str(clip + 6)


def test_hotkeys_and_keys_through_the_portals(sway, portal):
    multi = "ASCII typed\n\tkey by key"
    sway.start_zolpane({3: Clip("multi", fmt="TXT-LONG", data=multi.replace("\n", "\r\n"), method=2),
                        4: Clip(CZECH, method=2), 5: "by Ctrl+V", 6: Clip(" by Shift+Insert", method=3)},
                       code_page=1250, **PORTAL_KEYS)
    target = QtTarget(sway, "A")
    wait_for(lambda: portal.calls("RemoteDesktop.Start"), "the keyboard granted")
    binds = portal.calls("BindShortcuts")
    assert len(binds) == 1 and len(binds[0]["shortcuts"]) == 35, binds
    shortcuts = dict(binds[0]["shortcuts"])
    assert shortcuts[shortcut(3)] == {"description": "Paste clip 3", "preferred_trigger": "CTRL+3"}
    assert shortcuts["3"] == {"description": "Paste the next clip", "preferred_trigger": "CTRL+q"}
    # The keyboard alone; portal 1.16 keeps persist_mode and restore_token from its desktop (version 1).
    assert portal.calls("RemoteDesktop.SelectDevices")[0]["options"] == {"types": "1"}

    # A clip's paste waits until the desktop reports the shortcut's release.
    portal.control("Activate", f"string:{shortcut(3)}")
    stays_true(lambda: target.text() == "", "nothing may be typed while the shortcut is held")
    portal.control("Deactivate", f"string:{shortcut(3)}")
    target.wait_text(multi, "clip 3 typed key by key")
    assert CONTROL_L not in portal.typed()
    # Czech letters the desktop's layout lacks go in whole by Ctrl+V; no keysym of them is sent.
    expected = target.text()
    for n, added in ((4, CZECH), (5, "by Ctrl+V"), (6, " by Shift+Insert")):
        expected += added
        portal.press(shortcut(n))
        target.wait_text(expected, f"clip {n} pasted")
    assert all(k < 0x100 or k >= 0xff00 for k in portal.typed()), "a keysym outside the layout was sent"
    assert portal.typed()[-6:] == [CONTROL_L, V, CONTROL_L, V, SHIFT_L, INSERT]

    # The desktop's consent token is kept and offered at the next start, so that the user is asked once.
    settings = sway.program.path("settings.ini")
    wait_for(lambda: b"PortalRestoreToken=token-1" in open(settings, "rb").read(), "the token kept")
    sway.desktop.processes[-2].stop()  # the program, before its target
    monitor = sway.start("dbus-monitor", "dbus-monitor", "--session", "member='SelectDevices'")
    wait_for(lambda: "NameAcquired" in monitor.log(), "the bus monitor")
    sway.start_zolpane(**PORTAL_KEYS)
    wait_for(lambda: len(portal.calls("RemoteDesktop.SelectDevices")) == 2, "the second start's request")
    asked = monitor.log().split("interface=org.freedesktop.portal.RemoteDesktop; member=SelectDevices")[-1]
    for option in (r'"persist_mode"\s+variant\s+uint32 2', r'"restore_token"\s+variant\s+string "token-1"'):
        assert re.search(option, asked), asked


def test_a_refused_consent_is_explained_and_loses_nothing(sway, portal):
    portal.control("SetConsent", "boolean:false")
    zp = sway.start_zolpane({1: "still copied"}, **PORTAL_KEYS)
    target = QtTarget(sway, "A")
    wait_for(lambda: "excl Zolpane Zolpane cannot paste by itself: the desktop's request to allow Zolpane to type was "
             "declined" in zp.log(), "the refusal explained", alive=zp)
    wait_for(lambda: any(v.get("name") == "Zolpane" for v in sway.views()), "the message on the screen")
    portal.press(shortcut(1))
    wait_for(lambda: sway.paste("text") == b"still copied", "the clip copied all the same", alive=zp)
    stays_true(lambda: target.text() == "" and not portal.typed(), "no key may be sent")
    assert b"PortalRestoreToken" not in open(sway.program.path("settings.ini"), "rb").read()


def test_shortcuts_the_desktop_leaves_unbound_and_new_keys(sway, portal):
    portal.control("LeaveUnbound", "array:string:10")
    probe = sway.run("env", "QT_QPA_PLATFORM=offscreen", os.environ["ZP_PLATFORM_PROBE"], "--portal-hotkeys")
    assert probe.stdout.splitlines() == ["9=CTRL+3 10=", "9=CTRL+ALT+3 10="]
    binds = [dict(call["shortcuts"]) for call in portal.calls("BindShortcuts")]
    assert [b["9"]["preferred_trigger"] for b in binds] == ["CTRL+3", "CTRL+ALT+3"]
    # Each binding in a session of its own, the old one closed first: GNOME binds once per session.
    order = [c["call"] for c in portal.calls() if c["call"] in ("GlobalShortcuts.CreateSession", "Session.Close")]
    assert order[:3] == ["GlobalShortcuts.CreateSession", "Session.Close", "GlobalShortcuts.CreateSession"], order


@pytest.mark.parametrize("bus", ["no session bus", "a portal without those interfaces"])
def test_without_the_portals_the_compositor_serves(sway, bus):
    if bus != "no session bus":
        PortalDesktop(sway, backend=False)
    zp = sway.start_zolpane({1: "through the virtual keyboard"}, ZOLPANE_HOTKEYS="portal", **PORTAL_KEYS)
    target = QtTarget(sway, "A")
    for forced in ("ZOLPANE_HOTKEYS", "ZOLPANE_KEYS"):
        assert f"{forced}=portal is not possible here" in zp.log()
    sway.press(1)  # the desktop's shortcut runs zolpane --paste 1
    target.wait_text("through the virtual keyboard", "clip 1 pasted")
