#pragma once

#include "platform/KeyAction.h"
#include "platform/x11/KeyLevels.h"

#include <QHash>
#include <QList>

#include <optional>

struct _XDisplay;

// The keyboard layout as the server's core keyboard mapping shows it: which key (and whether with Shift) types
// a symbol in the active group, and which keys carry no symbol at all (spare keys).
class X11KeyMap final {
public:
    using Symbol = unsigned long; // an X keysym

    struct Key {
        quint8 keycode = 0;
        bool shift = false; // the symbol is on the key's second level
    };

    // Reads the mapping and the keyboard's state (active group, Caps Lock) afresh (one request each).
    void load(_XDisplay* display);
    // Whether Caps Lock was locked when the state was read.
    bool capsLockLocked() const { return m_capsLockLocked; }

    std::optional<Key> find(Symbol symbol) const {
        return m_index.contains(symbol) ? std::optional(m_index.value(symbol)) : std::nullopt;
    }
    // The symbol on a key's level (0 or 1) of the active group, 0 (NoSymbol) when none.
    Symbol symbolAt(quint8 keycode, int level) const;
    // The symbol in a column of the core mapping, whatever the active group.
    Symbol column(quint8 keycode, int column) const;
    QList<quint8> spareKeycodes() const;
    // Whether the mapping shows the key with these symbols, as written on its first two levels and, where the
    // mapping has the columns for them, on Level 3 and 4.
    bool shows(const KeyLevels& key) const;

    static bool isLockSymbol(Symbol symbol);

private:
    int m_minKeycode = 8;
    int m_maxKeycode = 7;
    int m_perKeycode = 0;
    int m_group = 0;
    bool m_capsLockLocked = false;
    QList<Symbol> m_symbols;
    QHash<Symbol, Key> m_index;
};
