#pragma once

#include "startup/CommandRequest.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

struct AppPaths;

// Key bindings for a Wayland desktop's own configuration that run this program's commands: where no program may
// grab keys of its own (sway, Hyprland, labwc, river, Wayfire), the desktop runs "zolpane --paste N" and the
// others with the combinations the user chose for Zolpane's hotkeys.
namespace DesktopBindings {

enum class Desktop { Sway, Hyprland, Labwc, River, Wayfire };

// One hotkey: the command it stands for, its modifier code (1 Alt, 2 Control, 4 Shift) and virtual-key code. A key
// of 0, or one without a name on Linux, is no key: the binding is written commented out, to be given a key.
struct Hotkey {
    CommandRequest request;
    int modifierCode = 0;
    int key = 0;
};

std::optional<Desktop> desktopNamed(QStringView name);
// "sway, hyprland, labwc, river or wayfire", for messages.
QString desktopNames();

// The bindings as text for the desktop's configuration, after a comment line saying where they go. program is
// the absolute path of the executable the desktop runs.
QString format(const QList<Hotkey>& hotkeys, Desktop desktop, const QString& program);

// The 35 hotkeys of settings.ini, in the order clips 1-30, paste next, clip menu, clipboard menu, main window,
// settings; the values of a new settings file when there is none yet. Nothing, with the reason in error, when
// the file is there but cannot be read.
std::optional<QList<Hotkey>> readHotkeys(const AppPaths& paths, QString* error);

} // namespace DesktopBindings
