#include "startup/WaylandNotice.h"

#include "services/Messages.h"
#include "services/Settings.h"

namespace {

const QString Section = QStringLiteral("Zolpane");
const QString Key = QStringLiteral("WaylandNoticeShown");

} // namespace

bool WaylandNotice::isWaylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString WaylandNotice::text(const Situation& s) {
    QString text = QStringLiteral("This desktop runs a Wayland session. Here Zolpane\r\n");
    if (!s.sendsKeys)
        text += QStringLiteral("- cannot send keys (the desktop offers no way to): it puts clips on the clipboard, "
                               "paste them with Ctrl+V;\r\n");
    else if (!s.keysReachWayland)
        text += QStringLiteral("- pastes into X11 applications only: in a Wayland application paste the clip with "
                               "Ctrl+V;\r\n");
    else
        text += QStringLiteral("- pastes into Wayland and X11 applications by every paste method;\r\n");
    if (s.sendsKeys)
        text += s.tracksWindows ? QStringLiteral("- pastes into the application you used last;\r\n")
                                : QStringLiteral("- pastes into the window in front when the paste starts;\r\n");
    if (s.desktopHotkeys)
        text += QStringLiteral("- has hotkeys in every application: your desktop binds them and may ask you to "
                               "confirm or change their keys.\r\n");
    else
        text += s.ownHotkeys
                    ? QStringLiteral("- has hotkeys that work only while an X11 application has the focus.\r\n")
                    : QStringLiteral("- has no hotkeys of its own.\r\n");
    // Where the desktop binds the hotkeys, its own dialog sets them up: no shortcuts of the user's are needed.
    if (!s.desktopHotkeys)
        text += QStringLiteral(
            "\r\nTo use Zolpane from any application, add keyboard shortcuts in your desktop's settings that run\r\n"
            "    zolpane --paste N\r\n"
            "for the clips you use (N from 1 to 30), or zolpane --paste-next, --clip-menu, --clipboard-menu, --show or "
            "--settings. zolpane --print-bindings prints them all for your hotkeys, ready for the configuration of "
            "sway, "
            "Hyprland, labwc, river or Wayfire. With Options > Auto Paste turned off, Zolpane only copies.");
    if (!s.tray)
        text += QStringLiteral("\r\n\r\nNo tray shows Zolpane's icon on this desktop: closing the window hides "
                               "Zolpane, and zolpane --show brings it back.");
    return text;
}

void WaylandNotice::showIfWanted(bool wayland, const Situation& situation, Settings& settings, QObject* context) {
    if (!wayland || settings.ReadNumber(Section, Key) == 1)
        return;
    Messages::ShowNotice(text(situation), context, [&settings](bool dontShowAgain) {
        if (dontShowAgain)
            settings.WriteSetting(Section, Key, QStringLiteral("1"));
    });
}
