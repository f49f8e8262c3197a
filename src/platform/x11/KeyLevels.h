#pragma once

#include <QtGlobal>

#include <array>

// The symbols (X keysyms) on the levels of a key's first group: plain, Shift, Level 3, Shift+Level 3.
// 0 (NoSymbol) marks an empty level; a key whose levels are all 0 carries no symbol.
struct KeyLevels {
    static constexpr int kMaxLevels = 4;
    using Symbol = unsigned long;

    quint8 keycode = 0;
    std::array<Symbol, kMaxLevels> symbols = {};

    bool isEmpty() const {
        for (Symbol s : symbols)
            if (s)
                return false;
        return true;
    }
    bool operator==(const KeyLevels&) const = default;
};
