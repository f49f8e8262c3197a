#pragma once

#include <QString>

class QObject;
class Settings;

// On a Wayland session what Zolpane can do depends on what the compositor offers: the user is told once each
// start what works here and how desktop shortcuts reach Zolpane, with a way to be told no more.
class WaylandNotice final {
public:
    // What the session's services can do, as the platform layer reports it.
    struct Situation {
        bool sendsKeys = true;         // keys can be sent at all
        bool keysReachWayland = false; // ... also to Wayland applications, not only to X11 ones
        bool tracksWindows = false;    // the last application is known and brought back
        bool ownHotkeys = false;       // key grabs of our own (through XWayland)
        bool desktopHotkeys = false;   // the desktop binds our hotkeys (its shortcut portal), in every application
        bool tray = true;              // a tray shows our icon
    };

    // True for a session whose environment names a Wayland display.
    static bool isWaylandSession();
    static QString text(const Situation& situation);

    // Shows the notice when wayland is true and the user has not turned it off; ticking the box turns it off
    // for good (WaylandNoticeShown=1 in section Zolpane). Returns at once; the settings are written when the box
    // closes, while context lives.
    static void showIfWanted(bool wayland, const Situation& situation, Settings& settings, QObject* context);
};
