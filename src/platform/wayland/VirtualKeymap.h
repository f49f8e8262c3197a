#pragma once

#include "platform/KeyAction.h"

#include <QByteArray>
#include <QList>

// The keymaps a virtual keyboard uploads to type a sending: each holds exactly the keysyms its strokes need, one
// key each, so any character can be typed whatever the user's layout; a sending with more distinct keysyms than
// one keymap has keys is cut into several parts, each with its own keymap. Modifiers go as a mask (the virtual
// keyboard's modifiers request), so no key needs a second level.
namespace VirtualKeymap {

// The real modifier bits of an xkb state; the keymap maps its modifier keys onto them.
constexpr quint32 ShiftMask = 1u << 0;
constexpr quint32 ControlMask = 1u << 2;
constexpr quint32 AltMask = 1u << 3; // Mod1

// Keycodes as the protocol counts them (evdev codes: xkb keycode - 8). The modifier keys come first.
constexpr quint32 FirstXkbKeycode = 8;
constexpr quint32 ModifierKeys = 3;
// X11 clients behind XWayland know keycodes up to 255 only.
constexpr quint32 MaxXkbKeycode = 255;
constexpr int KeysPerKeymap = int(MaxXkbKeycode - FirstXkbKeycode - ModifierKeys);

struct Stroke {
    quint32 key;       // evdev keycode of the key to press and release
    quint32 modifiers; // the modifier mask held around it
};

struct Part {
    QByteArray keymap; // xkb keymap text (format xkb_v1), ending in a NUL as the protocol wants it
    QList<Stroke> strokes;
};

// The parts that type keys, in order. Actions with no keysym (a control character) are left out.
QList<Part> plan(const KeyActions& keys);
quint32 maskOf(quint8 keyModifiers);

} // namespace VirtualKeymap
