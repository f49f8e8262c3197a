#include "paste/HotkeyKeyList.h"

#include "platform/KeySymbols.h"

const std::array<HotkeyKeyEntry, 54>& HotkeyKeyList() {
    static const std::array<HotkeyKeyEntry, 54> list = [] {
        std::array<HotkeyKeyEntry, 54> l;
        l[0] = {QStringLiteral("(none)"), 0};
        size_t n = 1;
        for (const KeySymbols::HotkeyKey& key : KeySymbols::hotkeyKeys())
            l[n++] = {QString::fromLatin1(key.shownName), key.virtualKey};
        return l;
    }();
    return list;
}
