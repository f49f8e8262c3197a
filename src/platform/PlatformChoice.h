#pragma once

#include <QString>

// Which backend serves each desktop service, chosen by what the session offers (the X display Qt runs on, the
// Wayland compositor's globals), never by the desktop's name. ZOLPANE_KEYS forces the key route where a desktop
// misreports; an impossible choice is logged and the automatic one used.
namespace PlatformChoice {

// What the session offers.
struct Offer {
    bool x11 = false;             // Qt runs on an X display (also XWayland)
    bool wayland = false;         // a Wayland compositor answers on WAYLAND_DISPLAY
    bool foreignToplevel = false; // zwlr_foreign_toplevel_manager_v1
    bool virtualKeyboard = false; // zwp_virtual_keyboard_manager_v1
    QString dataControl;          // the data-control manager offered (ext first), "" when none
};

enum class Windows { X11, ForeignToplevel, FocusOnly, Headless };
enum class Hotkeys { X11, CommandLineOnly, Headless };
enum class Keys { XTest, VirtualKeyboard, None, Headless };
enum class Clip { Qt, DataControl };

struct Choice {
    Windows windows = Windows::Headless;
    Hotkeys hotkeys = Hotkeys::Headless;
    Keys keys = Keys::Headless;
    Clip clipboard = Clip::Qt;
    // One line per service: the source chosen and why.
    QString log;
};

// forcedKeys: the value of ZOLPANE_KEYS ("virtual-keyboard", "xtest", or "" for the automatic choice).
Choice choose(const Offer& offer, const QString& forcedKeys);

} // namespace PlatformChoice
