#pragma once

#include <array>

struct _XDisplay;
class X11KeyMap;

// The keys down on the keyboard as the server sees them (keys faked through XTest included), and the Caps Lock
// state. Lock keys (Caps, Shift, Num and Scroll Lock) being held changes nothing and never counts as down.
namespace X11KeyboardState {

// The keys down, one bit a keycode, as XQueryKeymap gives them.
using Keymap = std::array<char, 32>;

// Whether a key of a modifier row (but the Lock row) is down; with release, each is let go and the server has
// handled that on return. seen, when given, gets the keys that were down before any was let go.
bool modifiersDown(_XDisplay* display, const X11KeyMap& map, bool release, Keymap* seen = nullptr);
// Whether any key is down, now or in keys read before.
bool anyKeyDown(_XDisplay* display, const X11KeyMap& map);
bool anyKeyDown(const Keymap& keys, const X11KeyMap& map);
// Whether Caps Lock is locked now.
bool capsLockLocked(_XDisplay* display);
void setCapsLock(_XDisplay* display, bool locked);

} // namespace X11KeyboardState
