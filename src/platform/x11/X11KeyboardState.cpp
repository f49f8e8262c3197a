#include "platform/x11/X11KeyboardState.h"
#include "platform/x11/X11KeyMap.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

constexpr int kLockRow = 1; // the Lock row of the modifier mapping

struct ModifierMapDeleter {
    void operator()(XModifierKeymap* map) const { XFreeModifiermap(map); }
};

bool isDown(const char keys[32], unsigned int keycode) {
    return keycode < 256 && (keys[keycode / 8] & (1 << (keycode % 8)));
}

} // namespace

bool X11KeyboardState::modifiersDown(Display* display, const X11KeyMap& keyMap, bool release, Keymap* seen) {
    const std::unique_ptr<XModifierKeymap, ModifierMapDeleter> map(XGetModifierMapping(display));
    if (!map)
        return false;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    if (seen)
        std::copy(std::begin(keys), std::end(keys), seen->begin());
    bool any = false;
    for (int row = 0; row < 8; ++row) {
        if (row == kLockRow)
            continue;
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode keycode = map->modifiermap[row * map->max_keypermod + i];
            // Num Lock sits in a modifier row too, but it is a lock whose key being held changes nothing.
            if (!keycode || !isDown(keys, keycode) || X11KeyMap::isLockSymbol(keyMap.column(keycode, 0)))
                continue;
            any = true;
            if (release)
                XTestFakeKeyEvent(display, keycode, False, CurrentTime);
        }
    }
    if (any && release)
        XSync(display, False);
    return any;
}

bool X11KeyboardState::anyKeyDown(Display* display, const X11KeyMap& keyMap) {
    Keymap keys{};
    XQueryKeymap(display, keys.data());
    return anyKeyDown(keys, keyMap);
}

bool X11KeyboardState::anyKeyDown(const Keymap& keys, const X11KeyMap& keyMap) {
    for (unsigned int keycode = 8; keycode < 256; ++keycode)
        if (isDown(keys.data(), keycode) && !X11KeyMap::isLockSymbol(keyMap.column(quint8(keycode), 0)))
            return true;
    return false;
}

bool X11KeyboardState::capsLockLocked(Display* display) {
    XkbStateRec state{};
    return XkbGetState(display, XkbUseCoreKbd, &state) == Success && (state.locked_mods & LockMask);
}

void X11KeyboardState::setCapsLock(Display* display, bool locked) {
    XkbLockModifiers(display, XkbUseCoreKbd, LockMask, locked ? LockMask : 0);
}
