#!/usr/bin/python3
"""A scripted desktop behind the real xdg-desktop-portal: the backend side of GlobalShortcuts and RemoteDesktop.

It binds every shortcut to its preferred trigger (except those the test names), grants or refuses the keyboard,
records every call as a JSON line in RECORD, and types the keysyms it is sent through FORWARDER (a process that
reads "keysym pressed" lines), as a compositor types them with its layout. The test drives it through
org.zolpane.PortalTest on /org/zolpane/PortalTest: Activate/Deactivate a shortcut, leave shortcuts unbound,
refuse the consent.

Usage: desktop_backend.py RECORD FORWARDER-ARGV..."""

import json
import subprocess
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.impl.portal.desktop.zptest"
GS = "org.freedesktop.impl.portal.GlobalShortcuts"
RD = "org.freedesktop.impl.portal.RemoteDesktop"
SESSION = "org.freedesktop.impl.portal.Session"
TEST = "org.zolpane.PortalTest"
PROPS = "org.freedesktop.DBus.Properties"
KEYBOARD = 1

record_file = open(sys.argv[1], "a", buffering=1)
forwarder = subprocess.Popen(sys.argv[2:], stdin=subprocess.PIPE, text=True, bufsize=1)


def record(call, **fields):
    line = json.dumps({"call": call, **fields})
    record_file.write(line + "\n")
    print(line, flush=True)  # for the log a failed test leaves


class Session(dbus.service.Object):
    def __init__(self, bus, path, kind):
        super().__init__(bus, path)
        self.path, self.kind = path, kind

    @dbus.service.method(SESSION, in_signature="", out_signature="")
    def Close(self):
        record("Session.Close", kind=self.kind)
        self.remove_from_connection()


class Properties(dbus.service.Object):
    PROPERTIES = {GS: {"version": dbus.UInt32(1)},
                  RD: {"version": dbus.UInt32(1), "AvailableDeviceTypes": dbus.UInt32(KEYBOARD)}}

    @dbus.service.method(PROPS, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.PROPERTIES[interface][name]

    @dbus.service.method(PROPS, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.PROPERTIES.get(interface, {})


class RemoteDesktop(Properties):
    # Methods of the same name on two interfaces live in two classes (python-dbus looks them up by name).
    @dbus.service.method(RD, in_signature="oosa{sv}", out_signature="ua{sv}")
    def CreateSession(self, handle, session, app_id, options):
        record("RemoteDesktop.CreateSession", app_id=app_id)
        self.sessions[str(session)] = Session(self.bus, session, "RemoteDesktop")
        return 0, {"session_id": str(session)}

    @dbus.service.method(RD, in_signature="oosa{sv}", out_signature="ua{sv}")
    def SelectDevices(self, handle, session, app_id, options):
        record("RemoteDesktop.SelectDevices", options={k: str(v) for k, v in options.items()})
        return 0, {}

    @dbus.service.method(RD, in_signature="oossa{sv}", out_signature="ua{sv}")
    def Start(self, handle, session, app_id, parent, options):
        self.starts += 1
        record("RemoteDesktop.Start", granted=self.consent)
        if not self.consent:
            return 1, {}
        return 0, {"devices": dbus.UInt32(KEYBOARD), "restore_token": f"token-{self.starts}"}

    @dbus.service.method(RD, in_signature="oa{sv}iu", out_signature="")
    def NotifyKeyboardKeysym(self, session, options, keysym, state):
        record("NotifyKeyboardKeysym", keysym=int(keysym), pressed=bool(state))
        if forwarder.poll() is not None:
            record("forwarder ended", status=forwarder.returncode)
            return
        forwarder.stdin.write(f"{int(keysym)} {int(state)}\n")

    @dbus.service.method(RD, in_signature="oa{sv}iu", out_signature="")
    def NotifyKeyboardKeycode(self, session, options, keycode, state):
        record("NotifyKeyboardKeycode", keycode=int(keycode))


class Backend(RemoteDesktop):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.bus, self.sessions, self.unbound, self.consent, self.starts = bus, {}, set(), True, 0
        self.shortcut_session = None
        Control(bus, self)

    @dbus.service.method(GS, in_signature="oosa{sv}", out_signature="ua{sv}")
    def CreateSession(self, handle, session, app_id, options):
        record("GlobalShortcuts.CreateSession", app_id=app_id)
        self.sessions[str(session)] = Session(self.bus, session, "GlobalShortcuts")
        self.shortcut_session = session
        return 0, {}

    @dbus.service.method(GS, in_signature="ooa(sa{sv})sa{sv}", out_signature="ua{sv}")
    def BindShortcuts(self, handle, session, shortcuts, parent, options):
        record("BindShortcuts", shortcuts=[[str(i), {k: str(v) for k, v in p.items()}] for i, p in shortcuts])
        bound = [(i, {"description": p.get("description", ""),
                      "trigger_description": "" if str(i) in self.unbound else p.get("preferred_trigger", "")})
                 for i, p in shortcuts]
        return 0, {"shortcuts": dbus.Array(bound, signature="(sa{sv})")}

    @dbus.service.method(GS, in_signature="oo", out_signature="ua{sv}")
    def ListShortcuts(self, handle, session):
        return 0, {"shortcuts": dbus.Array([], signature="(sa{sv})")}

    @dbus.service.signal(GS, signature="osta{sv}")
    def Activated(self, session, shortcut, timestamp, options):
        pass

    @dbus.service.signal(GS, signature="osta{sv}")
    def Deactivated(self, session, shortcut, timestamp, options):
        pass


class Control(dbus.service.Object):
    def __init__(self, bus, backend):
        super().__init__(bus, "/org/zolpane/PortalTest")
        self.backend = backend

    @dbus.service.method(TEST, in_signature="s", out_signature="")
    def Activate(self, shortcut):
        self.backend.Activated(self.backend.shortcut_session, shortcut, dbus.UInt64(0), {})

    @dbus.service.method(TEST, in_signature="s", out_signature="")
    def Deactivate(self, shortcut):
        self.backend.Deactivated(self.backend.shortcut_session, shortcut, dbus.UInt64(0), {})

    @dbus.service.method(TEST, in_signature="as", out_signature="")
    def LeaveUnbound(self, shortcuts):
        self.backend.unbound = {str(s) for s in shortcuts}

    @dbus.service.method(TEST, in_signature="b", out_signature="")
    def SetConsent(self, granted):
        self.backend.consent = bool(granted)


DBusGMainLoop(set_as_default=True)
session_bus = dbus.SessionBus()
backend = Backend(session_bus)
name = dbus.service.BusName(NAME, session_bus)
record("ready")
GLib.MainLoop().run()
