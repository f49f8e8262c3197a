#pragma once

#include "platform/KeyAction.h"

#include <QtGlobal>

// The keysyms (as X11 and xkbcommon number them) that type a character or press a key, shared by every key
// backend; 0 means no keysym.
namespace KeySymbols {

// Latin-1 characters are their own keysyms, others the Unicode range; line breaks are Return, a tab Tab, a
// backspace BackSpace; other control characters and lone surrogates have none.
quint32 forCharacter(char32_t c);
quint32 forSpecialKey(SpecialKey key);
// The key codes a hotkey can use, as the settings file stores them (digits, letters, F1-F12, Page Up/Down, End,
// Home, Insert), converted in one table; 0 for any other code.
quint32 forVirtualKey(int virtualKey);

constexpr quint32 Return = 0xff0d;
constexpr quint32 Insert = 0xff63;
constexpr quint32 ShiftL = 0xffe1;
constexpr quint32 ControlL = 0xffe3;
constexpr quint32 AltL = 0xffe9;

} // namespace KeySymbols
