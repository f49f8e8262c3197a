"""A desktop that offers its portals, for the end-to-end tests: a headless sway (wayland_session.py) with a session
bus of its own, Debian's real xdg-desktop-portal, and behind it a scripted desktop (portal/desktop_backend.py)
that binds shortcuts, grants the keyboard and types the keysyms it is sent with a US layout."""

import json
import os

import pytest

from processes import START_TIMEOUT, wait_for
from wayland_session import Sway

HERE = os.path.dirname(os.path.abspath(__file__))
FRONTEND = "/usr/libexec/xdg-desktop-portal"
DESKTOP = "org.freedesktop.impl.portal.desktop.zptest"


class PortalDesktop:
    def __init__(self, sway, backend=True):
        self.sway, self.record_path = sway, os.path.join(sway.desktop.root, "portal-calls.jsonl")
        bus = os.path.join(sway.runtime, "bus")
        sway.start("session-bus", "dbus-daemon", "--session", "--nofork", f"--address=unix:path={bus}", watch=True)
        wait_for(lambda: os.path.exists(bus), "the session bus", START_TIMEOUT)
        sway.vars["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={bus}"
        if backend:
            open(self.record_path, "w").close()
            os.chown(self.record_path, 65534, 65534)
            self.backend = sway.start("portal-desktop", "/usr/bin/python3", os.path.join(HERE, "portal",
                                      "desktop_backend.py"), self.record_path, os.environ["ZP_LAYOUT_KEYBOARD"],
                                      watch=True)
            wait_for(lambda: self.calls("ready"), "the scripted desktop", START_TIMEOUT, alive=self.backend)
        # Without the scripted desktop the portal finds no backend at all: it offers neither interface.
        portals = os.path.join(HERE, "portal") if backend else os.path.join(sway.desktop.root, "work")
        self.frontend = sway.start("portal", FRONTEND, "--replace", XDG_CURRENT_DESKTOP="zptest",
                                   XDG_DESKTOP_PORTAL_DIR=portals, watch=True)
        wait_for(lambda: self.owned("org.freedesktop.portal.Desktop"), "the portal service", START_TIMEOUT,
                 alive=self.frontend)

    def owned(self, name):
        return "true" in self.dbus("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                                   f"string:{name}", check=False)

    def dbus(self, destination, path, method, *args, check=True):
        return self.sway.run("dbus-send", "--session", "--print-reply", f"--dest={destination}", path, method, *args,
                             check=check).stdout

    def control(self, method, *args):
        """A call of the scripted desktop's test interface (Activate, Deactivate, LeaveUnbound, SetConsent)."""
        self.dbus(DESKTOP, "/org/zolpane/PortalTest", f"org.zolpane.PortalTest.{method}", *args)

    def press(self, shortcut):
        """The user presses and lets go of the keys the desktop bound to a shortcut."""
        self.control("Activate", f"string:{shortcut}")
        self.control("Deactivate", f"string:{shortcut}")

    def calls(self, name=None):
        with open(self.record_path, encoding="utf-8") as f:
            calls = [json.loads(line) for line in f if line.strip()]
        return [c for c in calls if name is None or c["call"] == name]

    def typed(self):
        """The keysyms the desktop was sent to press, in order."""
        return [c["keysym"] for c in self.calls("NotifyKeyboardKeysym") if c["pressed"]]


@pytest.fixture
def portal(sway):
    if not os.access(FRONTEND, os.X_OK):
        pytest.fail(f"{FRONTEND} is missing: the test packages include xdg-desktop-portal")
    yield PortalDesktop(sway)
