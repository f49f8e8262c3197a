#pragma once

#include <QString>

// Which backend serves each desktop service, chosen by what the session offers (the X display Qt runs on, the
// Wayland compositor's globals, the desktop portal's interfaces), never by the desktop's name. ZOLPANE_HOTKEYS and
// ZOLPANE_KEYS force a route where a desktop misreports; an impossible choice is logged and the automatic one used.
// On an X11 session the X server serves every application, so the portal is used there only when forced.
namespace PlatformChoice {

// What the session offers.
struct Offer {
    bool x11 = false;             // Qt runs on an X display (also XWayland)
    bool wayland = false;         // a Wayland compositor answers on WAYLAND_DISPLAY
    bool foreignToplevel = false; // zwlr_foreign_toplevel_manager_v1
    bool virtualKeyboard = false; // zwp_virtual_keyboard_manager_v1
    QString dataControl;          // the data-control manager offered (ext first), "" when none
    bool portalShortcuts = false; // the desktop portal's GlobalShortcuts
    bool portalKeys = false;      // the desktop portal's RemoteDesktop with a keyboard
    bool portalClipboard = false; // the desktop portal's Clipboard (shared in a RemoteDesktop session)
};

enum class Windows { X11, ForeignToplevel, FocusOnly, Headless };
enum class Hotkeys { X11, Portal, CommandLineOnly, Headless };
enum class Keys { XTest, VirtualKeyboard, Portal, None, Headless };
enum class Clip { Qt, DataControl, Portal };

struct Choice {
    Windows windows = Windows::Headless;
    Hotkeys hotkeys = Hotkeys::Headless;
    Keys keys = Keys::Headless;
    Clip clipboard = Clip::Qt;
    // One line per service: the source chosen and why.
    QString log;
};

// The values of ZOLPANE_HOTKEYS ("portal", "x11", "none") and ZOLPANE_KEYS ("portal", "virtual-keyboard",
// "xtest"); "" for the automatic choice.
struct Forced {
    QString hotkeys;
    QString keys;
};
Choice choose(const Offer& offer, const Forced& forced = {});

} // namespace PlatformChoice
