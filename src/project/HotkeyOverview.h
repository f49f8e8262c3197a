#pragma once

#include <QByteArray>
#include <QString>

#include <array>

class ClipTable;

// The printable HTML page listing every non-empty clip with its number, text and hotkey.
namespace HotkeyOverview {

struct ClipHotkey {
    int mod = 0;         // 1 Alt, 2 Ctrl, 4 Shift
    int key = 0;         // virtual-key code
    QString desktopKeys; // where the desktop binds the keys: what it bound, shown instead
};
using Hotkeys = std::array<ClipHotkey, 31>; // indexed 1..30

// "Ctrl + 1" style text; "" for modifier sets without a prefix (none, Alt+Shift).
QString hotkeyText(int mod, int key);
// The page's bytes (ANSI code page, CR LF line ends). generated is the "time date" text.
QByteArray pageContent(const QString& projectName, const ClipTable& table, const Hotkeys& hotkeys,
                       const QString& generated);
// Writes the page; false after any error.
bool WriteHotkeyOverview(const QString& path, const QString& projectName, const ClipTable& table,
                         const Hotkeys& hotkeys);

} // namespace HotkeyOverview
