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

QString WaylandNotice::text() {
    return QStringLiteral(
        "This desktop runs a Wayland session. Zolpane works there through XWayland, so:\r\n"
        "- its own hotkeys work only while an X11 application has the keyboard focus;\r\n"
        "- pasting reaches X11 applications only: Zolpane pastes into the last X11 window you used.\r\n\r\n"
        "To use Zolpane from any application, add keyboard shortcuts in your desktop's settings that run\r\n"
        "    zolpane --paste N\r\n"
        "for the clips you use (N from 1 to 30), or zolpane --paste-next, zolpane --clip-menu or "
        "zolpane --clipboard-menu. Zolpane waits until the shortcut's keys are released. The clip is always put "
        "on the clipboard: in a Wayland application paste it with Ctrl+V (with Options > Auto Paste turned off, "
        "Zolpane only copies).");
}

void WaylandNotice::showIfWanted(bool wayland, Settings& settings, QObject* context) {
    if (!wayland || settings.ReadNumber(Section, Key) == 1)
        return;
    Messages::ShowNotice(text(), context, [&settings](bool dontShowAgain) {
        if (dontShowAgain)
            settings.WriteSetting(Section, Key, QStringLiteral("1"));
    });
}
