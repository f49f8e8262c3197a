#pragma once

#include <QString>

class QObject;
class Settings;

// On a Wayland session the program runs through XWayland: its key grabs see keys only while an X11 window has
// the focus, and the keys it sends reach X11 windows only. The user is told once each start, with a way to
// be told no more, and shown the command line that desktop shortcuts can run instead.
class WaylandNotice final {
public:
    // True for a session whose environment names a Wayland display.
    static bool isWaylandSession();
    static QString text();

    // Shows the notice when wayland is true and the user has not turned it off; ticking the box turns it off
    // for good (WaylandNoticeShown=1 in section Zolpane). Returns at once; the settings are written when the box
    // closes, while context lives.
    static void showIfWanted(bool wayland, Settings& settings, QObject* context);
};
