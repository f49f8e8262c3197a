"""libX11 for what the command-line tools cannot do, each call on a short-lived connection of its own (a long one
dies with Xlib's I/O error when the server does)."""

import contextlib
import ctypes
import ctypes.util

SHIFT_MASK, LOCK_MASK, CONTROL_MASK, MOD2_MASK = 1, 2, 4, 16

# Xlib's default error handler would end the tests on any error, e.g. BadWindow for a window that has just gone.
_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_P, _L, _I = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
for _name, _args, _result in (
        ("XOpenDisplay", [ctypes.c_char_p], _P), ("XCloseDisplay", [_P], _I), ("XSync", [_P, _I], _I),
        ("XInternAtom", [_P, ctypes.c_char_p, _I], _L), ("XGetSelectionOwner", [_P, _L], _L),
        ("XDefaultRootWindow", [_P], _L), ("XSendEvent", [_P, _L, _I, ctypes.c_long, _P], _I),
        ("XAutoRepeatOff", [_P], _I), ("XGrabKeyboard", [_P, _L, _I, _I, _I, _L], _I),
        ("XUngrabKeyboard", [_P, _L], _I), ("XQueryPointer", [_P, _L] + [_P] * 7, _I)):
    getattr(_x11, _name).argtypes, getattr(_x11, _name).restype = _args, _result
_ignore_errors = ctypes.CFUNCTYPE(_I, _P, _P)(lambda display, event: 0)
_x11.XSetErrorHandler(_ignore_errors)


@contextlib.contextmanager
def xlib(display):
    """A connection and its root window."""
    if not (d := _x11.XOpenDisplay(display.encode())):
        raise OSError(f"cannot open X display {display}")
    try:
        yield d, _x11.XDefaultRootWindow(d)
    finally:
        _x11.XCloseDisplay(d)


def client_message(display, window, message_type, data, to_root):
    with xlib(display) as (d, root):
        atom = lambda v: _x11.XInternAtom(d, v.encode(), 0) if isinstance(v, str) else v  # noqa: E731
        # XClientMessageEvent as longs: type, serial, send_event, display, window, message_type, format, data.
        event = (ctypes.c_long * 24)(33, 0, 0, 0, window, atom(message_type), 32, *map(atom, data))
        mask = 0x180000 if to_root else 0  # SubstructureNotify | SubstructureRedirect
        if not _x11.XSendEvent(d, root if to_root else window, 0, mask, event):
            raise OSError(f"XSendEvent about window {window:#x} failed")
        _x11.XSync(d, 0)


class XlibCalls:
    """What a desktop (self.display) asks libX11 directly."""

    def close_window(self, wid):
        client_message(self.display, wid, "WM_PROTOCOLS", ["WM_DELETE_WINDOW", 0], to_root=False)

    def maximize(self, wid):
        client_message(self.display, wid, "_NET_WM_STATE", [1, "_NET_WM_STATE_MAXIMIZED_VERT",
                                                            "_NET_WM_STATE_MAXIMIZED_HORZ"], to_root=True)

    def selection_owner(self, selection):
        with xlib(self.display) as (d, root):
            return _x11.XGetSelectionOwner(d, _x11.XInternAtom(d, selection.encode(), 0))

    def keyboard_grabbed(self):
        """Whether a client holds the keyboard: a grab of our own is refused (one that succeeds is given back)."""
        with xlib(self.display) as (d, root):
            if (status := _x11.XGrabKeyboard(d, root, 0, 1, 1, 0)) == 0:
                _x11.XUngrabKeyboard(d, 0)
            _x11.XSync(d, 0)
            return status != 0

    def modifier_state(self):
        values = [ctypes.c_ulong(), ctypes.c_ulong()] + [ctypes.c_int() for _ in range(4)] + [ctypes.c_uint()]
        with xlib(self.display) as (d, root):
            _x11.XQueryPointer(d, root, *map(ctypes.byref, values))
        return values[-1].value


def autorepeat_off(display):
    with xlib(display) as (d, root):
        _x11.XAutoRepeatOff(d)
        _x11.XSync(d, 0)
