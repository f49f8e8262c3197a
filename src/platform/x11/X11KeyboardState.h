#pragma once

struct _XDisplay;
class X11KeyMap;

// The keys down on the keyboard as the server sees them (keys faked through XTest included), and the Caps Lock
// state. Lock keys (Caps, Shift, Num and Scroll Lock) being held changes nothing and never counts as down.
namespace X11KeyboardState {

// Whether a key of a modifier row (but the Lock row) is down; with release, each is let go and the server has
// handled that on return.
bool modifiersDown(_XDisplay* display, const X11KeyMap& map, bool release);
// Whether any key is down.
bool anyKeyDown(_XDisplay* display, const X11KeyMap& map);
// Unlocks Caps Lock; true when it was locked.
bool unlockCapsLock(_XDisplay* display);
void lockCapsLock(_XDisplay* display);

} // namespace X11KeyboardState
