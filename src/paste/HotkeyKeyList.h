#pragma once

#include <QString>

#include <array>

// The keys a user can choose for a hotkey, in the order the key lists show them, each with its
// virtual-key code: "(none)", the digits, the letters, F1-F12, HOME, INSERT, PAGE DOWN, PAGE UP, END.
struct HotkeyKeyEntry {
    QString text;
    int keyCode;
};

const std::array<HotkeyKeyEntry, 54>& HotkeyKeyList();
