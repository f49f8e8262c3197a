#include "platform/HotkeySystem.h"
#include "platform/KeyCodes.h"
#include "platform/KeySymbols.h"

bool HotkeySystem::isSupportedKey(int virtualKey) {
    return KeySymbols::forVirtualKey(virtualKey) != 0;
}

bool HotkeySystem::anyKeyDown() const {
    for (int key = 16; key <= 123; ++key)
        if ((key <= 18 || isSupportedKey(key)) && isKeyDown(key))
            return true;
    return false;
}

bool HotkeySystem::anyOfKeysDown(const QList<int>& virtualKeys) const {
    for (int key : virtualKeys)
        if (isKeyDown(key))
            return true;
    return false;
}

bool HotkeySystem::watchKeyReleases(bool) {
    return false;
}

QList<bool> HotkeySystem::registerHotkeys(const QList<Registration>& registrations) {
    QList<bool> taken;
    taken.reserve(registrations.size());
    for (const Registration& r : registrations)
        taken.append(registerHotkey(r.id, r.modifierCode, r.virtualKey));
    return taken;
}

QList<int> HotkeySystem::keysOf(int modifierCode, int virtualKey) {
    QList<int> keys;
    if (modifierCode & HotkeyModifier::Control)
        keys.append(KeyCode::Control);
    if (modifierCode & HotkeyModifier::Shift)
        keys.append(KeyCode::Shift);
    if (modifierCode & HotkeyModifier::Alt)
        keys.append(KeyCode::Alt);
    if (virtualKey)
        keys.append(virtualKey);
    return keys;
}

bool HotkeySystem::isHotkeyHeld(int id, int modifierCode, int virtualKey) const {
    Q_UNUSED(id);
    return anyOfKeysDown(keysOf(modifierCode, virtualKey));
}
