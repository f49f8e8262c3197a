#include "paste/HotkeyKeyList.h"

#include "platform/KeyCodes.h"

const std::array<HotkeyKeyEntry, 54>& HotkeyKeyList() {
    static const std::array<HotkeyKeyEntry, 54> list = [] {
        std::array<HotkeyKeyEntry, 54> l;
        size_t n = 0;
        l[n++] = {QStringLiteral("(none)"), 0};
        for (int d = 0; d <= 9; ++d)
            l[n++] = {QString::number(d), KeyCode::Digit0 + d};
        for (char c = 'a'; c <= 'z'; ++c)
            l[n++] = {QString(QLatin1Char(c)), KeyCode::A + (c - 'a')};
        for (int k = 1; k <= 12; ++k)
            l[n++] = {QStringLiteral("F%1").arg(k), KeyCode::F1 + k - 1};
        l[n++] = {QStringLiteral("HOME"), KeyCode::Home};
        l[n++] = {QStringLiteral("INSERT"), KeyCode::Insert};
        l[n++] = {QStringLiteral("PAGE DOWN"), KeyCode::PageDown};
        l[n++] = {QStringLiteral("PAGE UP"), KeyCode::PageUp};
        l[n++] = {QStringLiteral("END"), KeyCode::End};
        return l;
    }();
    return list;
}
