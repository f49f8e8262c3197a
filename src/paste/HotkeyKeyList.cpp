#include "paste/HotkeyKeyList.h"

const std::array<HotkeyKeyEntry, 54>& HotkeyKeyList() {
    static const std::array<HotkeyKeyEntry, 54> list = [] {
        std::array<HotkeyKeyEntry, 54> l;
        size_t n = 0;
        l[n++] = {QStringLiteral("(none)"), 0};
        for (int d = 0; d <= 9; ++d)
            l[n++] = {QString::number(d), 48 + d};
        for (char c = 'a'; c <= 'z'; ++c)
            l[n++] = {QString(QLatin1Char(c)), 65 + (c - 'a')};
        for (int k = 1; k <= 12; ++k)
            l[n++] = {QStringLiteral("F%1").arg(k), 111 + k};
        l[n++] = {QStringLiteral("HOME"), 36};
        l[n++] = {QStringLiteral("INSERT"), 45};
        l[n++] = {QStringLiteral("PAGE DOWN"), 34};
        l[n++] = {QStringLiteral("PAGE UP"), 33};
        l[n++] = {QStringLiteral("END"), 35};
        return l;
    }();
    return list;
}
