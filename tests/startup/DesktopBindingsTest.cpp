#include "startup/DesktopBindings.h"
#include "TestSupport.h"

#include <QtTest>

using namespace TestSupport;
using Command = CommandRequest::Command;
using DesktopBindings::Desktop;

// One hotkey as a binding in each desktop's syntax, after the line saying where the bindings go.
class DesktopBindingsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void format_data() {
        columns<int, int, int, int, int, QString, QString>("desktop", "command", "clip", "modifiers", "key", "lines",
                                                           "program");
        const auto row = [](const char* name, Desktop d, Command c, int clip, int m, int k, QString lines,
                            QString program = "/usr/bin/zolpane") {
            QTest::newRow(name) << int(d) << int(c) << clip << m << k << lines << program;
        };
        const QString odd = "/opt/Tom & Jerry's/zolpane"; // a space, a quote and an ampersand
        row("sway letter", Desktop::Sway, Command::Show, 0, 3, 72, "bindsym Ctrl+Alt+h exec /usr/bin/zolpane --show");
        row("sway Shift digit", Desktop::Sway, Command::Paste, 11, 6, 49,
            "bindsym Ctrl+Shift+1 exec /usr/bin/zolpane --paste 11");
        row("sway no key", Desktop::Sway, Command::Paste, 5, 2, 0, "# bindsym KEY exec /usr/bin/zolpane --paste 5");
        row("hyprland F-key", Desktop::Hyprland, Command::ClipMenu, 0, 1, 123,
            "bind = ALT, F12, exec, /usr/bin/zolpane --clip-menu");
        row("hyprland PgUp alone", Desktop::Hyprland, Command::Settings, 0, 0, 33,
            "bind = , Prior, exec, /usr/bin/zolpane --settings");
        row("labwc odd path", Desktop::Labwc, Command::Paste, 1, 7, 90,
            "<keybind key=\"C-A-S-z\"><action name=\"Execute\" "
            "command=\"'/opt/Tom &amp; Jerry'\\''s/zolpane' --paste 1\"/></keybind>",
            odd);
        row("labwc key without name", Desktop::Labwc, Command::PasteNext, 0, 2, 124,
            "<!-- <keybind key=\"KEY\"><action name=\"Execute\" command=\"/usr/bin/zolpane &#45;&#45;paste&#45;next\"/>"
            "</keybind> -->");
        row("river odd path", Desktop::River, Command::Paste, 1, 3, 36,
            "riverctl map normal Control+Alt Home spawn "
            "''\\''/opt/Tom & Jerry'\\''\\'\\'''\\''s/zolpane'\\'' --paste 1'",
            odd);
        row("river Insert alone", Desktop::River, Command::ClipboardMenu, 0, 0, 45,
            "riverctl map normal None Insert spawn '/usr/bin/zolpane --clipboard-menu'");
        row("wayfire Shift PgDn", Desktop::Wayfire, Command::Paste, 30, 4, 34,
            "[command]\nbinding_zolpane_paste_30 = <shift> KEY_PAGEDOWN\n"
            "command_zolpane_paste_30 = /usr/bin/zolpane --paste 30");
        row("wayfire no key", Desktop::Wayfire, Command::Show, 0, 0, 0,
            "[command]\n# binding_zolpane_show = KEY\n# command_zolpane_show = /usr/bin/zolpane --show");
    }
    void format() {
        const auto [desktop, command, clip, modifiers, key, lines, program] =
            fetch<int, int, int, int, int, QString, QString>("desktop", "command", "clip", "modifiers", "key", "lines",
                                                             "program");
        const DesktopBindings::Hotkey hotkey{{Command(command), clip}, modifiers, key};
        QCOMPARE(DesktopBindings::format({hotkey}, Desktop(desktop), program).section(u'\n', 1), lines + u'\n');
    }
};

ZP_TEST_CLASS(DesktopBindingsTest)

#include "DesktopBindingsTest.moc"
