#include "platform/KeySymbols.h"

#include "platform/KeyCodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr quint32 kF1 = 0xffbe;
constexpr quint32 kDigit0 = 0x30;
constexpr quint32 kLetterA = 0x61; // the lower-case letter: hotkeys name the key, not its upper case

// Special keys in the order of SpecialKey, F1-F12 excepted (they follow kF1).
constexpr std::array<quint32, 15> kSpecial = {0,      0xff0d, 0xff09, 0xff1b, 0xff08, 0xffff, 0xff63, 0xff50,
                                              0xff57, 0xff55, 0xff56, 0xff51, 0xff53, 0xff52, 0xff54};

// The hotkey keys other than digits, letters and function keys.
constexpr std::pair<int, quint32> kNamedHotkeyKeys[] = {
    {KeyCode::PageUp, 0xff55}, {KeyCode::PageDown, 0xff56}, {KeyCode::End, 0xff57},
    {KeyCode::Home, 0xff50},   {KeyCode::Insert, 0xff63}};

} // namespace

namespace KeySymbols {

quint32 forCharacter(char32_t c) {
    switch (c) {
    case U'\n':
    case U'\r':
        return Return;
    case U'\t':
        return 0xff09;
    case U'\b':
        return 0xff08;
    default:
        break;
    }
    if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff))
        return c;
    if (c < 0x20 || (c >= 0x7f && c < 0xa0) || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff))
        return 0;
    return 0x01000000 | c;
}

quint32 forSpecialKey(SpecialKey key) {
    const int index = int(key);
    if (index < int(kSpecial.size()))
        return kSpecial[size_t(index)];
    const int f = index - int(SpecialKey::F1);
    return (f >= 0 && f < 12) ? kF1 + quint32(f) : 0;
}

quint32 forVirtualKey(int virtualKey) {
    if (virtualKey >= KeyCode::Digit0 && virtualKey <= KeyCode::Digit9)
        return kDigit0 + quint32(virtualKey - KeyCode::Digit0);
    if (virtualKey >= KeyCode::A && virtualKey <= KeyCode::Z)
        return kLetterA + quint32(virtualKey - KeyCode::A);
    if (virtualKey >= KeyCode::F1 && virtualKey <= KeyCode::F12)
        return kF1 + quint32(virtualKey - KeyCode::F1);
    const auto* named = std::find_if(std::begin(kNamedHotkeyKeys), std::end(kNamedHotkeyKeys),
                                     [virtualKey](const auto& row) { return row.first == virtualKey; });
    return named != std::end(kNamedHotkeyKeys) ? named->second : 0;
}

} // namespace KeySymbols
