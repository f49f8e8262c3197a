#pragma once

#include "platform/HotkeyModifier.h"

#include <QList>
#include <QtGlobal>

/// Keys that type no character: editing, navigation and function keys.
enum class SpecialKey : quint8 {
    NoKey, // not a special key: the action types a character
    Enter,
    Tab,
    Escape,
    Backspace,
    Delete,
    Insert,
    Home,
    End,
    PageUp,
    PageDown,
    Left,
    Right,
    Up,
    Down,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
};

/// Modifier bits of a key action: the bits of a hotkey's modifier code.
enum KeyModifier : quint8 {
    AltModifier = HotkeyModifier::Alt,
    ControlModifier = HotkeyModifier::Control,
    ShiftModifier = HotkeyModifier::Shift
};

/**
 * @brief One keystroke to send: a character or a special key, with the modifiers held around it.
 *
 * A character is typed as the key that produces it on the current layout (with Shift when that key needs it);
 * a character the layout lacks is typed all the same. With modifiers, the key of the character is pressed while
 * they are held, so Control with 'v' is the Control+V shortcut.
 */
struct KeyAction {
    char32_t character = 0;             ///< the character, when key is SpecialKey::NoKey
    SpecialKey key = SpecialKey::NoKey; ///< a special key, else NoKey
    quint8 modifiers = 0;               ///< KeyModifier bits held while the key is pressed

    static KeyAction typed(char32_t c, quint8 mods = 0) { return {c, SpecialKey::NoKey, mods}; }
    static KeyAction special(SpecialKey k, quint8 mods = 0) { return {0, k, mods}; }
    friend bool operator==(const KeyAction&, const KeyAction&) = default;
};

using KeyActions = QList<KeyAction>;
