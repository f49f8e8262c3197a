#include "platform/KeySymbols.h"

#include <algorithm>
#include <array>

namespace {

constexpr quint32 kF1 = 0xffbe;

// Special keys in the order of SpecialKey, F1-F12 excepted (they follow kF1).
constexpr std::array<quint32, 15> kSpecial = {0,      0xff0d, 0xff09, 0xff1b, 0xff08, 0xffff, 0xff63, 0xff50,
                                              0xff57, 0xff55, 0xff56, 0xff51, 0xff53, 0xff52, 0xff54};

// clang-format off
constexpr KeySymbols::HotkeyKey kHotkeyKeys[] = {
    {48, 0x30, "0", "KEY_0", "0"}, {49, 0x31, "1", "KEY_1", "1"}, {50, 0x32, "2", "KEY_2", "2"},
    {51, 0x33, "3", "KEY_3", "3"}, {52, 0x34, "4", "KEY_4", "4"}, {53, 0x35, "5", "KEY_5", "5"},
    {54, 0x36, "6", "KEY_6", "6"}, {55, 0x37, "7", "KEY_7", "7"}, {56, 0x38, "8", "KEY_8", "8"},
    {57, 0x39, "9", "KEY_9", "9"}, {65, 0x61, "a", "KEY_A", "a"}, {66, 0x62, "b", "KEY_B", "b"},
    {67, 0x63, "c", "KEY_C", "c"}, {68, 0x64, "d", "KEY_D", "d"}, {69, 0x65, "e", "KEY_E", "e"},
    {70, 0x66, "f", "KEY_F", "f"}, {71, 0x67, "g", "KEY_G", "g"}, {72, 0x68, "h", "KEY_H", "h"},
    {73, 0x69, "i", "KEY_I", "i"}, {74, 0x6a, "j", "KEY_J", "j"}, {75, 0x6b, "k", "KEY_K", "k"},
    {76, 0x6c, "l", "KEY_L", "l"}, {77, 0x6d, "m", "KEY_M", "m"}, {78, 0x6e, "n", "KEY_N", "n"},
    {79, 0x6f, "o", "KEY_O", "o"}, {80, 0x70, "p", "KEY_P", "p"}, {81, 0x71, "q", "KEY_Q", "q"},
    {82, 0x72, "r", "KEY_R", "r"}, {83, 0x73, "s", "KEY_S", "s"}, {84, 0x74, "t", "KEY_T", "t"},
    {85, 0x75, "u", "KEY_U", "u"}, {86, 0x76, "v", "KEY_V", "v"}, {87, 0x77, "w", "KEY_W", "w"},
    {88, 0x78, "x", "KEY_X", "x"}, {89, 0x79, "y", "KEY_Y", "y"}, {90, 0x7a, "z", "KEY_Z", "z"},
    {112, 0xffbe, "F1", "KEY_F1", "F1"}, {113, 0xffbf, "F2", "KEY_F2", "F2"}, {114, 0xffc0, "F3", "KEY_F3", "F3"},
    {115, 0xffc1, "F4", "KEY_F4", "F4"}, {116, 0xffc2, "F5", "KEY_F5", "F5"}, {117, 0xffc3, "F6", "KEY_F6", "F6"},
    {118, 0xffc4, "F7", "KEY_F7", "F7"}, {119, 0xffc5, "F8", "KEY_F8", "F8"}, {120, 0xffc6, "F9", "KEY_F9", "F9"},
    {121, 0xffc7, "F10", "KEY_F10", "F10"}, {122, 0xffc8, "F11", "KEY_F11", "F11"}, {123, 0xffc9, "F12", "KEY_F12", "F12"},
    {36, 0xff50, "Home", "KEY_HOME", "HOME"}, {45, 0xff63, "Insert", "KEY_INSERT", "INSERT"}, {34, 0xff56, "Next", "KEY_PAGEDOWN", "PAGE DOWN"},
    {33, 0xff55, "Prior", "KEY_PAGEUP", "PAGE UP"}, {35, 0xff57, "End", "KEY_END", "END"},
};
// clang-format on

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

std::span<const HotkeyKey> hotkeyKeys() {
    return kHotkeyKeys;
}

const HotkeyKey* hotkeyKey(int virtualKey) {
    const auto* key = std::find_if(std::begin(kHotkeyKeys), std::end(kHotkeyKeys),
                                   [virtualKey](const HotkeyKey& k) { return k.virtualKey == virtualKey; });
    return key != std::end(kHotkeyKeys) ? key : nullptr;
}

quint32 forVirtualKey(int virtualKey) {
    const HotkeyKey* key = hotkeyKey(virtualKey);
    return key ? key->keysym : 0;
}

} // namespace KeySymbols
