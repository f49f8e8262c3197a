#pragma once

#include "platform/KeyAction.h"

#include <QtGlobal>

#include <span>

// The keysyms (as X11 and xkbcommon number them) that type a character or press a key, shared by every key
// backend; 0 means no keysym.
namespace KeySymbols {

// Latin-1 characters are their own keysyms, others the Unicode range; line breaks are Return, a tab Tab, a
// backspace BackSpace; other control characters and lone surrogates have none.
quint32 forCharacter(char32_t c);
quint32 forSpecialKey(SpecialKey key);
// A key a hotkey can use: its code as the settings file stores it (the classic virtual-key number), its keysym,
// the keysym's name (desktops that bind keysyms), the Linux input event name (desktops that bind those) and the
// name the hotkey pickers show.
struct HotkeyKey {
    int virtualKey;
    quint32 keysym;
    const char* keysymName;
    const char* linuxName;
    const char* shownName;
};
// Every key a hotkey can use, in the order the pickers list them: digits, letters, F1-F12, Home, Insert, Page
// Down, Page Up, End. The one table of these keys.
std::span<const HotkeyKey> hotkeyKeys();
// The row of a key code, null for a code no hotkey can use.
const HotkeyKey* hotkeyKey(int virtualKey);
// The keysym of a hotkey key code, 0 for any other code.
quint32 forVirtualKey(int virtualKey);

constexpr quint32 Return = 0xff0d;
constexpr quint32 ShiftL = 0xffe1;
constexpr quint32 ControlL = 0xffe3;
constexpr quint32 AltL = 0xffe9;

} // namespace KeySymbols
